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
};
static_assert(offsetof(ClipboardSibling, getText) == 0);

}  // namespace tzx
