// What the libraries call in the "system" sibling, slot by slot.
#pragma once

#include <cstddef>

namespace tzx {

struct SystemSibling {
  // Slot 0: what the system does when a paste finds no text.
  void (*noText)(int);
};
static_assert(offsetof(SystemSibling, noText) == 0);

}  // namespace tzx
