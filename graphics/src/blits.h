// The blit family on bitmap handles. Every blit clips its rectangle to the
// source, the target and any plane it reads; results are 0 or an error code
// (kErrLockBitmap for a handle without pixels, kErrRange for a handle of the
// wrong kind).
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Colour to colour, converting between the two pixel formats.
int BlitBitmap(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
               int y, int width, int height);
// Only the pixels whose bit in the source's mask is set.
int BlitBitmapMasked(const BitmapHandle* source, const BitmapHandle* mask, int sourceX, int sourceY,
                     BitmapHandle* target, int x, int y, int width, int height);
// Blends through the source's alpha channel (null: a uniform alpha of 255),
// the alpha scaled by level 0..255.
int BlitBitmapAlpha(const BitmapHandle* source, const BitmapHandle* alpha, int sourceX, int sourceY,
                    BitmapHandle* target, int x, int y, int width, int height, int level);
enum AlphaToAlphaMode : int { kAlphaCopy = 0, kAlphaOver = 1 };
int BlitAlphaToAlpha(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                     int x, int y, int width, int height, int mode);
// Only the pixels whose RGB differs from the transparent colour's;
// NOTRANSPARENCY copies everything.
int BlitBitmapTransparent(const BitmapHandle* source, int sourceX, int sourceY,
                          BitmapHandle* target, int x, int y, int width, int height,
                          uint32_t transparentColor);
// Any kind: colour bitmaps take the colour, alpha channels and index bitmaps
// its low byte, masks set their bits for a non-zero colour.
int FillBitmapRect(BitmapHandle* bitmap, int x, int y, int width, int height, uint32_t color);
// The colour through an 8-bit coverage plane, its opacity scaled by level.
// Index and mask targets take the pen (colour's low byte) or the bit where the
// coverage reaches 128.
int FillAlphaRect(const BitmapHandle* coverage, int sourceX, int sourceY, BitmapHandle* target,
                  int x, int y, int width, int height, uint32_t color, int level);
// The colour (pen, level, bit) where the mask's bits are set.
int FillMaskRect(const BitmapHandle* mask, int sourceX, int sourceY, BitmapHandle* target, int x,
                 int y, int width, int height, uint32_t color);
int BlitOrFill(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
               int y, int width, int height, uint32_t color);
// Between bitmaps of one kind (colour bitmaps of any formats).
int CopyBitmapPixels(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                     int x, int y, int width, int height);
enum MaskCopyMode : int { kMaskCopy = 0, kMaskOr = 1 };
int CopyMaskToMask(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                   int x, int y, int width, int height, int mode);
// Text blits: source and target sizes are given by the caller; mode 0 copies,
// mode 1 blends with the level.
int BlitTextPlane(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
                  int y, int width, int height, int sourceWidth, int sourceHeight, int targetWidth,
                  int targetHeight, int mode, int level);
int BlitTextColor(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
                  int y, int width, int height, int sourceWidth, int sourceHeight, int targetWidth,
                  int targetHeight, int mode, int level);
int ScaleAlpha(const BitmapHandle* source, BitmapHandle* target, int height, int level);
// Moves every pixel of the rectangle toward the colour by level / 256, the
// way MixRGB mixes; the pixels' alpha bytes stay.
int TintBitmap(BitmapHandle* bitmap, int x, int y, int width, int height, uint32_t color,
               int level);

}  // namespace tzx::graphics
