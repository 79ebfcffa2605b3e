// What the libraries call in the "vectorpath" sibling, slot by slot: unused
// slots are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

namespace tzx {

struct VectorPathSibling {
  const void* slots0to10[11];
  // Slot 11: releases a node the library attached to a font.
  void (*releaseNode)(void* data);
};
static_assert(offsetof(VectorPathSibling, releaseNode) == 11 * sizeof(void*));

}  // namespace tzx
