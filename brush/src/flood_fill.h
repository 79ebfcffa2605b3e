// Flood fill over a plain pixel buffer: the seed fill (the 4-connected area of
// the seed's value) and the boundary fill (everything up to a border value).
#pragma once

#include <cstdint>

namespace tzx::brush {

inline constexpr uint32_t kNoBorder = 0xFFFFFFFF;

struct FillSurface {
  uint8_t* pixels;
  int width;
  int height;
  int stride;         // row length in pixels
  int bytesPerPixel;  // 1, 2, 3 (read and written big-endian: R, G, B) or 4
  // Bits of a pixel that take part in comparisons: all of them for pens and
  // levels, the colour bits of 32-bit pixels.
  uint32_t compareMask;
  uint32_t border;  // kNoBorder: seed fill
  uint32_t fill;    // written whole
  // A parallel plane (one byte per pixel) that every write also sets to
  // alphaValue; null when none.
  uint8_t* alpha;
  int alphaStride;  // in bytes
  uint8_t alphaValue;
};

// Fills from (x, y), which must lie inside. 0, or kErrNoMemory when the span
// stack cannot grow (what was filled stays filled).
int FloodFill(const FillSurface& surface, int x, int y);

}  // namespace tzx::brush
