// The colour model's arithmetic on plain values: building and mixing colours,
// and the random-colour table (pens and palette depths are in pixels/pens.h).
#pragma once

#include <cstdint>

namespace tzx::graphics {

// A script number truncated toward zero to 32 bits; values beyond 32 bits wrap
// and non-finite values give 0.
int32_t TruncateToInt32(double v);

// (r << 16) | (g << 8) | b with plain 32-bit shifts: nothing is clamped.
uint32_t ComposeRgb(int32_t r, int32_t g, int32_t b);
uint32_t ComposeArgb(int32_t alpha, int32_t color);

// Mixes red, green and blue of two colours; ratio 0 gives color1, and the
// step toward color2 rounds toward minus infinity. Alpha is dropped. The
// ratio must lie in 0..255.
uint32_t MixRgb(int32_t color1, int32_t color2, int32_t ratio);
inline bool MixRatioValid(int32_t ratio) {
  return static_cast<uint32_t>(ratio) <= 255;
}

inline constexpr int kRandomColorCount = 246;
// The colour of the random table that a random number r in [0, 1) selects.
uint32_t RandomTableColor(double r);

// The colour as an output of `depth` bits shows it: 15 and 16 keep the top
// bits of each channel and drop alpha; other depths change nothing.
uint32_t RealColor(uint32_t color, int depth);

}  // namespace tzx::graphics
