#include "pixels/pens.h"

namespace tzx::pixels {
namespace {

// Distances start below this, so a palette entry always wins the first test.
constexpr int kFarthest = 196000;

}  // namespace

int NearestPen(uint32_t color, const uint32_t* palette, int count) {
  int best = -1;
  int bestDistance = kFarthest;
  int r = (color >> 16) & 255, g = (color >> 8) & 255, b = color & 255;
  for (int i = 0; i < count; ++i) {
    int dr = r - static_cast<int>((palette[i] >> 16) & 255);
    int dg = g - static_cast<int>((palette[i] >> 8) & 255);
    int db = b - static_cast<int>(palette[i] & 255);
    int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      if (distance == 0) return i;
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

int DepthForColors(int count) {
  for (int depth = 1; depth <= 8; ++depth) {
    if ((1 << depth) >= count) return depth;
  }
  return 9;
}

}  // namespace tzx::pixels
