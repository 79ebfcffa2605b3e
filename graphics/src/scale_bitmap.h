// The scaling slots: bitmap sets, single planes and raw pixel blocks resized
// by the scaling engine (scaling.h), with allocation, pixel access and error
// codes. The engine's position tables and row buffers are the library's own
// scratch, kept between calls.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Replaces every present plane of the set by a newWidth × newHeight copy of
// its width × height top-left part. Colour bitmaps keep their pixel format
// and are interpolated in smooth mode; masks and pens are never interpolated.
// 0 (also for a new size below 1, which does nothing), kErrRange for a plane
// smaller than width × height or of the wrong kind, kErrAllocBitmap,
// kErrAllocMask, kErrAllocAlpha, kErrAllocIndexBitmap, kErrLockBitmap or
// kErrNoMemory; on failure the set is unchanged.
int ScaleBitmap(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                BitmapHandle** index, int width, int height, int newWidth, int newHeight,
                int smooth);
// One alpha channel, mask or index bitmap, replaced by its scaled copy.
int ScaleAlphaOrMask(BitmapHandle** plane, int newWidth, int newHeight, int smooth);
// Raw pixels of any format with a byte size into a given buffer.
int ScaleRawPixels(const uint8_t* pixels, int bytesPerRow, uint8_t* target, int targetBytesPerRow,
                   int format, int width, int height, int newWidth, int newHeight, int smooth);
// The same into *target, or, when it is null, into a new host block of
// newWidth × newHeight pixels without row padding that *target receives.
int ScaleRawPixelsTo(const uint8_t* pixels, int bytesPerRow, int format, int width, int height,
                     uint8_t** target, int newWidth, int newHeight, int smooth);

// Frees the scratch (library close, state reset).
void ReleaseScaleScratch();

}  // namespace tzx::graphics
