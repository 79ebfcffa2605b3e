// Direct access to the pixels of one plane of a brush: colour bitmaps through
// the graphics library's lock, the 8-bit and 1-bit planes through its pixel
// access.
#pragma once

#include <cstdint>

#include "brush_records.h"

namespace tzx::brush {

struct PlaneLock {
  BitmapHandle* bitmap;
  uint8_t* pixels;
  int bytesPerRow;
  int bytesPerPixel;  // 0 for masks
  int format;         // pixel format; 14 for 8-bit planes, 15 for masks
  int width;
  int height;
  graphics::LockRecord lock;  // colour bitmaps
};

// False (nothing held) when the plane cannot be locked.
bool LockPlane(BitmapHandle* bitmap, bool write, PlaneLock* out);
void UnlockPlane(PlaneLock* lock);

inline uint8_t* PlaneRow(const PlaneLock& l, int y) {
  return l.pixels + static_cast<ptrdiff_t>(y) * l.bytesPerRow;
}

// A 0xAARRGGBB colour as a pixel of the format, read the way pixel_access.h
// reads pixels of its size.
uint32_t NativeColor(uint32_t argb, int format, int bytesPerPixel);

}  // namespace tzx::brush
