// The transparency planes of true-colour brushes: masks and alpha channels.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

// A mask of the alpha channel's size, visible where the alpha is at least 128.
int MaskFromAlpha(const BitmapHandle* alpha, BitmapHandle** mask);

// Drops the mask (and its key colour) or the alpha channel of a true-colour
// brush.
void DeleteBrushMask(BrushRecord* brush);
void DeleteBrushAlpha(BrushRecord* brush);

// Hides the pixels of the RGB colour behind a new mask in place of the
// brush's planes; kNoColor makes the brush opaque.
int SetTransparentColor(BrushRecord* brush, uint32_t color);

// Makes the brush's transparency a mask or an alpha channel (kMask,
// kAlphachannel: the one plane made from the other or opaque) or none
// (kNone).
int ChangeTransparency(BrushRecord* brush, int kind);

}  // namespace tzx::brush
