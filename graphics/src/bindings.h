// The sibling libraries graphics.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/graphics_records.h"
#include "tzx/siblings/sprite.h"
#include "tzx/types.h"

namespace tzx::graphics {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* bgpic = nullptr;
  const void* brush = nullptr;
  const void* clipregion = nullptr;
  const void* display = nullptr;
  const void* filters = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* video = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::graphics
