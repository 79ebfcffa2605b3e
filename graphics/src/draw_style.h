// The draw style block of the shared state: fill style, form style, line
// width and their effects, kept in range and turned into draw tags.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Sizes of shadows and borders that a form style can ask for.
inline constexpr int kMaxEffectSize = 64;

// Line width at least 1; shadow and border sizes 1..64; a shadow direction
// outside 0..7 becomes south-east and a fill style outside 0..3 none.
void ClampDrawStyle(DrawStyle* style);

// The form style's border and shadow, and the outline of unfilled shapes
// wider than one pixel, as draw tags; a colour with alpha becomes the tags'
// transparency (true colour only) and loses its alpha. Palette mode (outputs
// with pens, unless noPalette) refuses pens beyond the palette with
// kErrPenRange.
int FormStyleToDrawTags(const DrawStyle* style, TagRecord* tags, int noPalette, uint32_t* color);

}  // namespace tzx::graphics
