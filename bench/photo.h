// A photograph-like picture for the benchmarks: a smooth random field (a few
// waves per channel) with noise, so that codecs and filters meet what real
// photographs give them rather than a pattern that compresses 200:1.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace tzx::bench {

// 0xAARRGGBB pixels, opaque; the same picture for the same size and seed.
inline std::vector<uint32_t> MakePhoto(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> phase(0, 6.283), freq(0.002, 0.02);
  std::normal_distribution<double> noise(0, 6);
  double f[3][4], p[3][4];
  for (auto& c : f)
    for (double& v : c) v = freq(random);
  for (auto& c : p)
    for (double& v : c) v = phase(random);
  std::vector<uint32_t> px(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t c = 0xFF000000u;
      for (int k = 0; k < 3; ++k) {
        const double v = 128 + 50 * std::sin(x * f[k][0] + p[k][0]) +
                         40 * std::sin(y * f[k][1] + p[k][1]) +
                         30 * std::sin((x + y) * f[k][2] + p[k][2]) + noise(random);
        c |= static_cast<uint32_t>(std::clamp(static_cast<int>(v), 0, 255)) << (16 - 8 * k);
      }
      px[static_cast<size_t>(y) * width + x] = c;
    }
  }
  return px;
}

}  // namespace tzx::bench
