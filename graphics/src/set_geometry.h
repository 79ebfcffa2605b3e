// Whole-set operations of the brush geometry commands: trimming a set to
// its visible pixels, mixing one picture into another, and repeating a
// plane over a new size.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// The smallest rectangle holding every visible pixel: alpha above 0, else a
// set mask bit, else (index bitmaps) a pen other than transparentPen; a set
// with none of these, or a palette set without transparent pen (-1), is
// visible everywhere. When the rectangle is smaller than the set, every
// present plane is replaced by its part. A set without any visible pixel
// is left whole. 0, kErrLockBitmap or an allocation code (the set is then
// unchanged).
int TrimBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                  BitmapHandle** index, int transparentPen, int* x, int* y, int* width,
                  int* height);

// Mixes the source picture into the target over the top-left width x height:
// each colour becomes MixRgb(target, source, level) (level 0..255). A side
// is a colour bitmap, or an index bitmap with its palette; a palette target
// takes the nearest of its 2^targetDepth pens. The target's alpha byte is
// kept. 0, kErrRange or kErrLockBitmap.
int MixBitmaps(BitmapHandle* target, const uint32_t* targetPalette, int targetDepth,
               const BitmapHandle* source, const uint32_t* sourcePalette, int width, int height,
               int level);

// A new plane of the texture's kind, width x height, whose pixel (i, j) is
// the texture's ((i + x) mod its width, (j + y) mod its height). 0, kErrRange
// or the allocation code of the kind.
int CreateTextureBitmap(const BitmapHandle* texture, int width, int height, int x, int y,
                        BitmapHandle** out);

}  // namespace tzx::graphics
