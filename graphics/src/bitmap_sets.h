// Operations on whole bitmap sets (colour bitmap, mask, alpha channel, index
// bitmap and palette): making them from 0xAARRGGBB arrays and back, cropping,
// flipping and copying.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// A colour bitmap from an array of 0xAARRGGBB pixels; with a transparent
// colour also a mask that hides the pixels of that RGB; an alpha channel from
// the top bytes when the flags ask for one (kConvert... flags). 0, or
// kErrAllocBitmap, kErrAllocMask, kErrAllocAlpha (nothing is kept), kErrRange
// for bad sizes.
int ConvertBitmapSet(const uint32_t* pixels, uint32_t transparentColor, int width, int height,
                     int rowLength, int hardware, uint32_t flags, void* display,
                     BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha);

int CropBitmapSet(const BitmapHandle* color, const BitmapHandle* mask, const BitmapHandle* alpha,
                  const BitmapHandle* index, const uint32_t* palette, int x, int y, int width,
                  int height, BitmapHandle** outColor, BitmapHandle** outMask,
                  BitmapHandle** outAlpha, BitmapHandle** outIndex, uint32_t** outPalette);

int FlipBitmapSet(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* alpha, BitmapHandle* index,
                  int horizontal);

uint32_t* BitmapToARGBArray(const BitmapHandle* color, const BitmapHandle* mask,
                            const BitmapHandle* alpha, int x, int y, int width, int height);
int CopyRGBArray(uint32_t* pixels, int rowLength, BitmapHandle* color, BitmapHandle* mask,
                 BitmapHandle* alpha, int x, int y, int width, int height, int toBitmaps);

// A new plane of the model's kind (and format) and the given size, zeroed.
BitmapHandle* AllocLike(const BitmapHandle* model, int width, int height);

BitmapHandle* CreateAlphaFromMask(const BitmapHandle* mask);
// A new bitmap of the same kind (and format) holding the rectangle.
BitmapHandle* CopyBitmapRect(const BitmapHandle* source, int x, int y, int width, int height);

}  // namespace tzx::graphics
