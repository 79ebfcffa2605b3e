// Brushes as arrays of colours and pens (row by row, without padding), for
// the commands that trade them with scripts.
#pragma once

#include <cstdint>

#include "brush_records.h"

namespace tzx::brush {

// The entries of a width x height array: 1218 below one pixel a side, 1055
// past 2^28 entries, which are refused before any allocation.
int ArraySize(int width, int height, int64_t* count);

// The brush's colours as a host block of 0xRRGGBB words (palette brushes
// through their palette), or 0xAARRGGBB with withAlpha: opaque where the
// brush has no plane, 0 on the transparent pen. 1388 without pixels.
int BrushColors(const BrushRecord& brush, bool withAlpha, uint32_t** values);

// The planes of a true-colour brush made from 0xRRGGBB words (0xAARRGGBB
// with alpha, which become an alpha channel); the key colour, unless kNoColor,
// becomes a mask. Fills n's planes, size, depth and transparent pen.
int ColorsToPlanes(const uint32_t* values, int width, int height, bool alpha, uint32_t key,
                   NewBrush* n);

// 1646 when a value is not a pen of the depth.
int CheckPens(const uint32_t* values, int64_t count, int depth);

// The brush's pens from the values, which CheckPens passed.
int WritePens(BrushRecord* brush, const uint32_t* values);

}  // namespace tzx::brush
