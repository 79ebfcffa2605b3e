// "clipboard": the text of the clipboard. The host keeps it in memory, so
// that headless runs and tests paste what they put there:
//
//   SetClipboardText(text)   nil empties the clipboard
//   GetClipboardText()       the text, or nil when there is none
#include <cstring>

extern "C" {
#include <lua.h>
}

#include "../arg_checks.h"
#include "../services.h"
#include "sibling.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

char* gText = nullptr;  // host memory, NUL-terminated UTF-8
size_t gLength = 0;

// Slot 0.
char* GetText() {
  if (!gText) return nullptr;
  auto* copy = static_cast<char*>(kMemory.alloc(gLength + 1, 0));
  if (copy) std::memcpy(copy, gText, gLength + 1);
  return copy;
}

void Empty() {
  kMemory.free(gText);
  gText = nullptr;
  gLength = 0;
}

// SetClipboardText(text)
int SetClipboardText(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  if (lua_isnil(L, 1)) {
    Empty();
    return 0;
  }
  size_t length = 0;
  const char* text = CheckString(L, 1, &length);
  if (!kUtf8.isValid(text, length)) return kErrUtf8;
  auto* copy = static_cast<char*>(kMemory.alloc(length + 1, 0));
  if (!copy) return kErrNoMemory;
  std::memcpy(copy, text, length);
  copy[length] = 0;
  Empty();
  gText = copy;
  gLength = length;
  return 0;
}

// GetClipboardText()
int GetClipboardText(lua_State* L) {
  kArguments.beginCommand(L, 0, 0, 0, 0);
  if (gText) {
    lua_pushlstring(L, gText, gLength);
  } else {
    lua_pushnil(L);
  }
  return 1;
}

const ClipboardSibling kInterface = {GetText};
const void* Interface() {
  return &kInterface;
}

void Reset(lua_State*) {
  Empty();
}

const CommandRow kCommands[] = {
    {"SetClipboardText", SetClipboardText},
    {"GetClipboardText", GetClipboardText},
    {nullptr, nullptr},
};

}  // namespace

const HostSibling kClipboardSibling = {"clipboard", Interface, kCommands, Reset};

}  // namespace tzx::host
