// Pixels of brush records: single pixels read and written at a position,
// colours replaced and areas flood-filled. The planes are chosen, locked and
// their colours made native here; the loops over plain buffers are those of
// replace_colors.h and flood_fill.h.
#pragma once

#include <cstdint>

#include "brush_records.h"
#include "replace_colors.h"

namespace tzx::brush {

// Position codes resolved against the brush.
void ResolveBrushPosition(const BrushRecord& brush, int* x, int* y);

bool PenInRange(const BrushRecord& brush, int64_t pen);

// The colour (the pen of a palette brush) at (x, y) and its level: the alpha
// value or mask bit of a true-colour brush, -1 without either, and 1 or 0
// for whether a pen is the transparent pen. kNoColor and -1 outside the
// brush; 1388 for a brush without pixels.
int ReadPixelAt(const BrushRecord& brush, int x, int y, uint32_t* color, int* level);

// Writes the colour (or pen) at (x, y) and, on a true-colour brush, the alpha
// level (-1: opaque) into its alpha channel or mask; nothing lands outside,
// like the graphics library's own pixel writes.
int WritePixelAt(const BrushRecord& brush, int x, int y, uint32_t color, int alpha);

// Replaces 0xRRGGBB colours (pens on a palette brush) in list order; the
// pairs are made native in place. 1646 for a pen outside the depth.
int ReplaceBrushColors(const BrushRecord& brush, ColorPair* pairs, int count);

struct FloodFillRequest {
  int x, y;           // may be position codes
  uint32_t border;    // kNoBorder: the seed fill
  uint32_t fill;      // 0xAARRGGBB; a pen, or a level in the alpha channel
  bool alphaChannel;  // fill the alpha channel instead of the colours
  bool colorSource;   // also set the alpha channel to the fill's top byte
};

// Fills from the request's point: 1154 and 1217 for a point outside, 1055
// for an alpha option without an alpha channel or both options at once,
// 1646 for a pen or level out of range.
int FloodFillBrush(const BrushRecord& brush, const FloodFillRequest& request);

}  // namespace tzx::brush
