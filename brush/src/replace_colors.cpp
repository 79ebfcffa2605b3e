#include "replace_colors.h"

#include <cstddef>

#include "pixel_access.h"

namespace tzx::brush {

namespace {

template <int B>
void Replace(uint8_t* pixels, int width, int height, int bytesPerRow, uint32_t bits,
             const ColorPair* pairs, int count) {
  for (int y = 0; y < height; ++y) {
    uint8_t* p = pixels + static_cast<ptrdiff_t>(y) * bytesPerRow;
    for (int x = 0; x < width; ++x, p += B) {
      const uint32_t original = GetPixel<B>(p);
      uint32_t v = original;
      for (int i = 0; i < count; ++i) {
        if ((v & bits) == (pairs[i].from & bits)) v = (v & ~bits) | (pairs[i].to & bits);
      }
      if (v != original) PutPixel<B>(p, v);
    }
  }
}

}  // namespace

void ReplacePixelColors(uint8_t* pixels, int width, int height, int bytesPerRow, int bytesPerPixel,
                        uint32_t colorBits, const ColorPair* pairs, int count) {
  switch (bytesPerPixel) {
    case 1:
      return Replace<1>(pixels, width, height, bytesPerRow, colorBits, pairs, count);
    case 2:
      return Replace<2>(pixels, width, height, bytesPerRow, colorBits, pairs, count);
    case 3:
      return Replace<3>(pixels, width, height, bytesPerRow, colorBits, pairs, count);
    case 4:
      return Replace<4>(pixels, width, height, bytesPerRow, colorBits, pairs, count);
    default:
      return;
  }
}

}  // namespace tzx::brush
