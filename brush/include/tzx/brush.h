// The interface brush.tzx hands its siblings: brush lookup and brush services for the siblings.
// Slots are typed as the library's topics are built; callers index by slot.
#pragma once

namespace tzx::brush {

inline constexpr int kInterfaceSlots = 18;

struct BrushInterface {
  const void* slots[kInterfaceSlots];
};

}  // namespace tzx::brush
