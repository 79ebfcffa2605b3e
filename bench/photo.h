// A photograph-like picture for the benchmarks: a smooth random field (a few
// waves per channel) with noise, so that codecs and filters meet what real
// photographs give them rather than a pattern that compresses 200:1.
#pragma once

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The colours of 0x..RRGGBB pixels as a baseline JPEG of that quality.
inline std::vector<uint8_t> EncodeJpeg(const std::vector<uint32_t>& pixels, int width, int height,
                                       int quality) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    const uint32_t* src = pixels.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<uint8_t>(src[x] >> 16);
      row[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(src[x]);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

// Writes bytes to a file; false when it could not be written whole.
inline bool WriteBytes(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && whole;
}

}  // namespace tzx::bench
