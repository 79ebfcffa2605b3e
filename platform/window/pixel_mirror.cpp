#include <algorithm>
#include <cstring>

#include "platform/window_backend.h"

namespace tzx::platform {

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
