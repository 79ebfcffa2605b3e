// The glyph blend against its definition, (s·a + d·(255 − a)) / 255 per
// channel with the destination's alpha kept, on rows whose widths leave
// every remainder of the vector paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "text/src/glyph_blend.h"
#include "tzx/graphics_records.h"

namespace tzx::text {
namespace {

uint32_t Expected(uint32_t d, uint32_t s, uint32_t a) {
  uint32_t out = d & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t t = ((s >> shift) & 255) * a + ((d >> shift) & 255) * (255 - a) + 128;
    out |= ((t + (t >> 8)) >> 8) << shift;
  }
  return out;
}

TEST(GlyphBlend, EveryWidthMatchesTheDefinition) {
  constexpr int kPitch = 48, kRows = 3;
  const uint32_t color = 0x3C9AF1;
  for (int w = 1; w <= 41; ++w) {
    std::vector<uint8_t> coverage(kPitch * kRows, 0);
    std::vector<uint32_t> pixels(kPitch * kRows), before;
    uint32_t seed = 12345u + w;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int y = 0; y < kRows; ++y) {
      for (int x = 0; x < w; ++x) {
        // Runs of empty and full coverage as between and inside strokes.
        const uint32_t pick = next() % 4;
        coverage[y * kPitch + x] = static_cast<uint8_t>(pick == 0 ? 0 : pick == 1 ? 255 : next());
      }
    }
    for (uint32_t& p : pixels) p = next() * 2654435761u;
    before = pixels;
    GlyphCanvas c;
    InitCanvas(&c, reinterpret_cast<uint8_t*>(pixels.data()), kPitch * 4, graphics::kFormatArgb32,
               kCanvasColor, kPitch, kRows);
    c.color = color;
    BlendCoverage(&c, 0, 0, coverage.data(), kPitch, w, kRows);
    for (int i = 0; i < kPitch * kRows; ++i) {
      const uint32_t a = coverage[i];
      const uint32_t want = a == 0 ? before[i] : Expected(before[i], color, a);
      ASSERT_EQ(pixels[i], want) << "width " << w << " pixel " << i;
    }
  }
}

}  // namespace
}  // namespace tzx::text
