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
  const display::DisplayInterface* display = nullptr;
  const FiltersSibling* filters = nullptr;
  // Set whenever the library runs: start-up refuses without graphics.
  const graphics::GraphicsInterface* graphics = nullptr;
  const void* icon = nullptr;
  const ImageIoSibling* imageio = nullptr;
  const LayersSibling* layers = nullptr;
  const ObjectSibling* object = nullptr;
  const OffscreenSibling* offscreen = nullptr;
  const PaletteSibling* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* vectorpath = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::brush
