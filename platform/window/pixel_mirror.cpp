#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "platform/window_backend.h"

namespace tzx::platform {

void CopyRowsTwice(const uint8_t* from, size_t fromStride, uint8_t* a, size_t aStride, uint8_t* b,
                   size_t bStride, size_t bytes, int rows) {
  if (bytes < 16) {
    for (int row = 0; row < rows; ++row, from += fromStride, a += aStride, b += bStride) {
      std::memcpy(a, from, bytes);
      std::memcpy(b, from, bytes);
    }
    return;
  }
  // Dirty rectangles are mostly a few dozen pixels wide, where two library
  // calls a row cost more than the copy: each 16 bytes is loaded once and
  // stored twice, the row's last 16 bytes overlapping what came before.
  const size_t last = bytes - 16;
  for (int row = 0; row < rows; ++row, from += fromStride, a += aStride, b += bStride) {
    for (size_t i = 0; i < last; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), v);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), v);
    }
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + last));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(a + last), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + last), v);
  }
}

void CopyMirrorRows(const uint8_t* pixels, int bytesPerRow, int width, int height,
                    const PixelRect* rects, int count, const PixelMirror& mirror) {
  for (int i = 0; i < count; ++i) {
    const int x1 = std::max(rects[i].x, 0), y1 = std::max(rects[i].y, 0);
    const int x2 = std::min(rects[i].x + rects[i].width, width);
    const int y2 = std::min(rects[i].y + rects[i].height, height);
    if (x2 <= x1) continue;
    for (int row = y1; row < y2; ++row) {
      std::memcpy(mirror.pixels + size_t(row) * mirror.bytesPerRow + size_t(x1) * 4,
                  pixels + size_t(row) * bytesPerRow + size_t(x1) * 4, size_t(x2 - x1) * 4);
    }
  }
}

}  // namespace tzx::platform
