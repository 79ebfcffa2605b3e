// Colour replacement over a plain pixel buffer.
#pragma once

#include <cstdint>

namespace tzx::brush {

struct ColorPair {
  uint32_t from;
  uint32_t to;
};

// Passes every pixel through the pairs in list order: a pixel whose colour
// bits equal a pair's `from` takes that pair's `to` in those bits, and later
// pairs see the new value. Pixels of 1 to 4 bytes (pixel_access.h).
void ReplacePixelColors(uint8_t* pixels, int width, int height, int bytesPerRow, int bytesPerPixel,
                        uint32_t colorBits, const ColorPair* pairs, int count);

}  // namespace tzx::brush
