// The interface graphics.tzx hands its siblings: bitmaps, blits, draw tags and the shared graphics state.
// Slots are typed as the library's topics are built; callers index by slot.
#pragma once

namespace tzx::graphics {

inline constexpr int kInterfaceSlots = 181;

struct GraphicsInterface {
  const void* slots[kInterfaceSlots];
};

}  // namespace tzx::graphics
