// The sibling libraries graphics.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/brush.h"
#include "tzx/graphics_records.h"
#include "tzx/siblings.h"
#include "tzx/siblings/anim.h"
#include "tzx/siblings/bgpic.h"
#include "tzx/siblings/layers.h"
#include "tzx/siblings/sprite.h"
#include "tzx/text.h"
#include "tzx/types.h"

namespace tzx::graphics {

struct BoundSiblings {
  const AnimSibling* anim = nullptr;
  const BgPicSibling* bgpic = nullptr;
  const brush::BrushInterface* brush = nullptr;
  const void* clipregion = nullptr;
  const void* display = nullptr;
  const FiltersSibling* filters = nullptr;
  const ImageIoSibling* imageio = nullptr;
  const LayersSibling* layers = nullptr;
  const PaletteSibling* palette = nullptr;
  const SpriteSibling* sprite = nullptr;
  const text::TextInterface* text = nullptr;
  const void* video = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::graphics
