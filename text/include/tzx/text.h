// The interface text.tzx hands its siblings: fonts, text objects and text rendering for the siblings.
// Slots are typed as the library's topics are built; callers index by slot.
#pragma once

namespace tzx::text {

inline constexpr int kInterfaceSlots = 28;

struct TextInterface {
  const void* slots[kInterfaceSlots];
};

}  // namespace tzx::text
