// The sibling libraries brush.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/display.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"
#include "tzx/siblings/layers.h"

namespace tzx::brush {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* animio = nullptr;
  const void* bgpic = nullptr;
  const void* display = nullptr;
  const void* filters = nullptr;
  const void* graphics = nullptr;
  const void* icon = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* object = nullptr;
  const void* offscreen = nullptr;
  const void* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* vectorpath = nullptr;
};

extern BoundSiblings gBound;

// graphics is bound whenever the library runs: start-up refuses without it.
inline const graphics::GraphicsInterface& Gfx() {
  return *static_cast<const graphics::GraphicsInterface*>(gBound.graphics);
}

inline const ObjectSibling* ObjectLib() {
  return static_cast<const ObjectSibling*>(gBound.object);
}
inline const ImageIoSibling* ImageIoLib() {
  return static_cast<const ImageIoSibling*>(gBound.imageio);
}
inline const PaletteSibling* PaletteLib() {
  return static_cast<const PaletteSibling*>(gBound.palette);
}
inline const OffscreenSibling* OffscreenLib() {
  return static_cast<const OffscreenSibling*>(gBound.offscreen);
}
inline const display::DisplayInterface* DisplayLib() {
  return static_cast<const display::DisplayInterface*>(gBound.display);
}
inline const LayersSibling* LayersLib() {
  return static_cast<const LayersSibling*>(gBound.layers);
}

}  // namespace tzx::brush
