// "clipboard": the text of the clipboard. The host keeps it in memory, so
// that headless runs and tests paste what they put there:
//
//   SetClipboardText(text)   nil empties the clipboard
//   GetClipboardText()       the text, or nil when there is none
//
// With a window system the memory follows the system's clipboard: display's
// window thread hands its text over (slot 1) when a window opens and whenever
// another program changes it, and SetClipboardText puts the text there
// through display. The memory is shared with that thread under a lock.
#include <cstring>
#include <mutex>

extern "C" {
#include <lua.h>
}

#include "../arg_checks.h"
#include "../host_state.h"
#include "../services.h"
#include "sibling.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

std::mutex gLock;
char* gText = nullptr;  // host memory, NUL-terminated UTF-8
size_t gLength = 0;
const display::DisplayInterface* gDisplay = nullptr;

// A NUL-terminated copy in the host's memory, or null.
char* Copy(const char* text, size_t length) {
  auto* copy = static_cast<char*>(kMemory.alloc(length + 1, 0));
  if (copy) {
    std::memcpy(copy, text, length);
    copy[length] = 0;
  }
  return copy;
}

// Takes `text` (host memory or null) as the clipboard's text.
void Replace(char* text, size_t length) {
  char* old;
  {
    std::lock_guard<std::mutex> lock(gLock);
    old = gText;
    gText = text;
    gLength = text ? length : 0;
  }
  kMemory.free(old);
}

// A copy of the text and its length; null when there is none (or no memory
// for the copy: *missing tells which).
char* CopyText(size_t* length, bool* missing) {
  std::lock_guard<std::mutex> lock(gLock);
  *length = gLength;
  *missing = gText == nullptr;
  return gText ? Copy(gText, gLength) : nullptr;
}

// Slot 0.
char* GetText() {
  size_t length;
  bool missing;
  return CopyText(&length, &missing);
}

// Slot 1, on display's window thread. Without memory for the new text the
// old one stays.
void SystemText(const char* text, size_t length) {
  if (!text) {
    Replace(nullptr, 0);
  } else if (char* copy = Copy(text, length)) {
    Replace(copy, length);
  }
}

// SetClipboardText(text)
int SetClipboardText(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  if (lua_isnil(L, 1)) {
    Replace(nullptr, 0);
    return 0;
  }
  size_t length = 0;
  const char* text = CheckString(L, 1, &length);
  if (!kUtf8.isValid(text, length)) return kErrUtf8;
  char* copy = Copy(text, length);
  if (!copy) return kErrNoMemory;
  Replace(copy, length);
  // The window system's clipboard takes it too where there is one; what it
  // then holds comes back through slot 1.
  if (gDisplay && gDisplay->SetSystemClipboard && !State().headless &&
      std::strlen(copy) == length) {
    gDisplay->SetSystemClipboard(copy);
  }
  return 0;
}

// GetClipboardText()
int GetClipboardText(lua_State* L) {
  kArguments.beginCommand(L, 0, 0, 0, 0);
  size_t length;
  bool missing;
  char* text = CopyText(&length, &missing);
  if (missing) {
    lua_pushnil(L);
    return 1;
  }
  if (!text) return kErrNoMemory;
  lua_pushlstring(L, text, length);
  kMemory.free(text);
  return 1;
}

const ClipboardSibling kInterface = {GetText, SystemText};
const void* Interface() {
  return &kInterface;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "display") == 0) {
    gDisplay = static_cast<const display::DisplayInterface*>(interface);
  }
}

void Reset(lua_State*) {
  Replace(nullptr, 0);
  gDisplay = nullptr;
}

const CommandRow kCommands[] = {
    {"SetClipboardText", SetClipboardText},
    {"GetClipboardText", GetClipboardText},
    {nullptr, nullptr},
};

}  // namespace

const HostSibling kClipboardSibling = {"clipboard", Interface, kCommands, Reset, Bind};

}  // namespace tzx::host
