// The sibling libraries display.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/brush.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::display {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* application = nullptr;
  const void* async = nullptr;
  const void* bgpic = nullptr;
  const void* brush = nullptr;
  const void* clipboard = nullptr;
  const void* event = nullptr;
  const void* graphics = nullptr;
  const void* icon = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* menu = nullptr;
  const void* object = nullptr;
  const void* palette = nullptr;
  const void* pointer = nullptr;
  const void* requester = nullptr;
  const void* serialize = nullptr;
  const void* sound = nullptr;
  const void* sprite = nullptr;
  const void* system = nullptr;
  const void* text = nullptr;
  const void* transitionfx = nullptr;
  const void* video = nullptr;
};

extern BoundSiblings gBound;

// graphics is bound whenever the library runs: start-up refuses without it.
inline const graphics::GraphicsInterface& Gfx() {
  return *static_cast<const graphics::GraphicsInterface*>(gBound.graphics);
}
inline const EventSibling* EventLib() {
  return static_cast<const EventSibling*>(gBound.event);
}
inline const brush::BrushInterface* BrushLib() {
  return static_cast<const brush::BrushInterface*>(gBound.brush);
}
inline const ImageIoSibling* ImageIoLib() {
  return static_cast<const ImageIoSibling*>(gBound.imageio);
}
inline const PaletteSibling* PaletteLib() {
  return static_cast<const PaletteSibling*>(gBound.palette);
}

}  // namespace tzx::display
