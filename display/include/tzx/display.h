// The interface display.tzx hands its siblings: displays and window services for the siblings.
// Slots are typed as the library's topics are built; callers index by slot.
#pragma once

namespace tzx::display {

inline constexpr int kInterfaceSlots = 60;

struct DisplayInterface {
  const void* slots[kInterfaceSlots];
};

}  // namespace tzx::display
