// What the libraries call in the "clipboard" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "clipboard": the text of the system's clipboard.
struct ClipboardSibling {
  // Slot 0: the clipboard's text as UTF-8 in a block of the host's memory,
  // which the caller frees; null when the clipboard holds no text.
  char* (*getText)();
  // Slot 1: the window system's clipboard now holds this text (UTF-8 of
  // `length` bytes), or none when `text` is null. Called by display from its
  // window thread when the clipboard changes and when a window opens.
  void (*systemText)(const char* text, size_t length);
};
static_assert(offsetof(ClipboardSibling, getText) == 0);
static_assert(offsetof(ClipboardSibling, systemText) == sizeof(void*));

}  // namespace tzx
