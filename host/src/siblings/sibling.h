// The host's own sibling libraries: each offers an interface table that is
// bound to every plug-in library, and may add script commands.
#pragma once

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::host {

struct HostSibling {
  const char* name;
  const void* (*interface)();
  const CommandRow* commands;  // may be null
  // Drops what the sibling holds of a closed host; may be null.
  void (*reset)(lua_State* L);
  // Receives the interface of each loaded library by name, before any
  // library starts; may be null.
  void (*bind)(const char* library, const void* interface) = nullptr;
  // Runs once the interpreter exists, before any library starts; may be null.
  void (*start)(lua_State* L) = nullptr;
};

// The time sibling's reading of "DD-Mon-YYYY hh:mm:ss" (slot 0): 0, or
// kErrRange for anything else or a day that does not exist.
int ParseDate(const char* text, DateRecord* out);

// The sibling of that name, or null.
const HostSibling* FindHostSibling(const char* name);

extern const HostSibling kObjectSibling;
extern const HostSibling kImageIoSibling;
extern const HostSibling kPaletteSibling;
extern const HostSibling kOffscreenSibling;
extern const HostSibling kEventSibling;
extern const HostSibling kTimeSibling;
extern const HostSibling kAsyncSibling;
extern const HostSibling kFiltersSibling;
extern const HostSibling kClipboardSibling;
extern const HostSibling kLayersSibling;

}  // namespace tzx::host
