// What the libraries call in the "anim" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

namespace tzx {

struct AnimSibling {
  const void* slots0to8[9];
  // Slot 9: the per-display step after the graphics back end changed.
  int (*rebuild)();
};
static_assert(offsetof(AnimSibling, rebuild) == 9 * sizeof(void*));

}  // namespace tzx
