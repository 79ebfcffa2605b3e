// Colour quantisation: exact palettes in first-met order, transparency
// entries, median cut with the inverse colour map against a brute-force
// nearest colour, the dither error limits, remapping with a free pen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>
#include <vector>

#include "graphics/src/bitmaps.h"
#include "graphics/src/quantize.h"
#include "support/graphics_fixtures.h"
#include "tzx/graphics_layout.h"

namespace tzx::graphics {
namespace {

using testing::GraphicsTest;

// A picture of 0x00RRGGBB words without row padding, and its index pixels.
struct Picture {
  int width, height;
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> index;
  uint32_t palette[256] = {};

  Picture(int w, int h) : width(w), height(h), pixels(w * h), index(w * h, 0xEE) {}

  QuantizeRequest Request(int colors) {
    QuantizeRequest r;
    r.source = reinterpret_cast<const uint8_t*>(pixels.data());
    r.sourceFormat = kFormatArgb32;
    r.sourceBytesPerRow = width * 4;
    r.index = index.data();
    r.indexBytesPerRow = width;
    r.width = width;
    r.height = height;
    r.palette = palette;
    r.colors = colors;
    return r;
  }
  uint8_t At(int x, int y) const { return index[y * width + x]; }
};

// Ten colours, each first met at a known place; the top bytes are set to show
// that they are not part of the colour.
Picture TenColours() {
  Picture p(7, 5);
  for (int i = 0; i < p.width * p.height; ++i) {
    p.pixels[i] = 0xFF000000u | (0x101010u * ((i * 3) % 10 + 1));
  }
  return p;
}

class GraphicsQuantize : public GraphicsTest {};

TEST_F(GraphicsQuantize, FewColoursKeptExactlyInFirstMetOrder) {
  Picture p = TenColours();
  QuantizeRequest r = p.Request(16);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 10);
  EXPECT_EQ(r.transparentPen, -1);
  std::vector<uint32_t> order;
  for (uint32_t c : p.pixels) {
    c &= 0xFFFFFF;
    if (std::find(order.begin(), order.end(), c) == order.end()) order.push_back(c);
  }
  ASSERT_EQ(order.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(p.palette[i], order[i]) << i;
  for (int i = 0; i < p.width * p.height; ++i) {
    EXPECT_EQ(p.palette[p.index[i]], p.pixels[i] & 0xFFFFFF) << i;
  }
}

TEST_F(GraphicsQuantize, ExactlyAsManyColoursAsWantedStayExact) {
  Picture p = TenColours();
  QuantizeRequest r = p.Request(10);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 10);
  for (int i = 0; i < p.width * p.height; ++i) {
    EXPECT_EQ(p.palette[p.index[i]], p.pixels[i] & 0xFFFFFF) << i;
  }
}

TEST_F(GraphicsQuantize, MaskAddsTheTransparentColourAfterTheList) {
  Picture p = TenColours();
  // Hide the last pixel of each row; every colour still shows elsewhere.
  std::vector<uint8_t> mask(MaskRowBytes(p.width) * p.height, 0);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x + 1 < p.width; ++x) SetMaskBit(&mask[y * MaskRowBytes(p.width)], x, true);
  }
  QuantizeRequest r = p.Request(16);
  r.mask = mask.data();
  r.maskBytesPerRow = MaskRowBytes(p.width);
  r.transparentColor = 0x00FF00FF;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 11);
  EXPECT_EQ(r.transparentPen, 10);
  EXPECT_EQ(p.palette[10], 0xFF00FFu);
  for (int y = 0; y < p.height; ++y) {
    EXPECT_EQ(p.At(p.width - 1, y), 10) << y;
    EXPECT_EQ(p.palette[p.At(0, y)], p.pixels[y * p.width] & 0xFFFFFF);
  }
}

TEST_F(GraphicsQuantize, TransparentColourAmongTheColoursBecomesThePen) {
  Picture p = TenColours();
  QuantizeRequest r = p.Request(16);
  r.transparentColor = p.pixels[4] & 0xFFFFFF;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 10);
  ASSERT_GE(r.transparentPen, 0);
  EXPECT_EQ(p.palette[r.transparentPen], p.pixels[4] & 0xFFFFFF);
}

TEST_F(GraphicsQuantize, EightBitSourceWithTransparentPen) {
  const int w = 5, h = 2;
  std::vector<uint8_t> pens = {0, 1, 2, 3, 1, 3, 3, 0, 2, 1};
  const uint32_t sourcePalette[4] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
  std::vector<uint8_t> index(w * h);
  uint32_t palette[256];
  QuantizeRequest r;
  r.source = pens.data();
  r.sourceFormat = kFormatByte;
  r.sourceBytesPerRow = w;
  r.sourcePalette = sourcePalette;
  r.sourceTransparentPen = 3;
  r.index = index.data();
  r.indexBytesPerRow = w;
  r.width = w;
  r.height = h;
  r.palette = palette;
  r.colors = 4;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 4);  // three colours and the transparency entry
  EXPECT_EQ(r.transparentPen, 3);
  EXPECT_EQ(palette[0], 0x112233u);
  EXPECT_EQ(palette[1], 0x445566u);
  EXPECT_EQ(palette[2], 0x778899u);
  for (int i = 0; i < w * h; ++i) {
    if (pens[i] == 3) {
      EXPECT_EQ(index[i], 3) << i;
    } else {
      EXPECT_EQ(palette[index[i]], sourcePalette[pens[i]]) << i;
    }
  }
}

TEST_F(GraphicsQuantize, SixteenBitSourceWindow) {
  // A 4 x 2 window at (1, 1) of a 6 x 3 RGB 5-6-5 picture.
  std::vector<uint16_t> words(6 * 3, 0xFFFF);
  words[1 * 6 + 1] = 0xF800;  // red
  words[1 * 6 + 2] = 0x07E0;  // green
  words[1 * 6 + 3] = 0x001F;  // blue
  words[1 * 6 + 4] = 0xF800;
  for (int x = 1; x <= 4; ++x) words[2 * 6 + x] = 0x0000;
  std::vector<uint8_t> index(4 * 2);
  uint32_t palette[256];
  QuantizeRequest r;
  r.source = reinterpret_cast<const uint8_t*>(words.data());
  r.sourceFormat = kFormatRgb16;
  r.sourceBytesPerRow = 12;
  r.sourceX = 1;
  r.sourceY = 1;
  r.index = index.data();
  r.indexBytesPerRow = 4;
  r.width = 4;
  r.height = 2;
  r.palette = palette;
  r.colors = 256;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  ASSERT_EQ(r.colors, 4);
  EXPECT_EQ(palette[0], 0xF80000u);
  EXPECT_EQ(palette[1], 0x00FC00u);
  EXPECT_EQ(palette[2], 0x0000F8u);
  EXPECT_EQ(palette[3], 0x000000u);
  EXPECT_EQ(std::vector<uint8_t>(index.begin(), index.end()),
            (std::vector<uint8_t>{0, 1, 2, 0, 3, 3, 3, 3}));
}

// 300 distinct colours spread over the whole cube.
Picture ManyColours() {
  Picture p(30, 10);
  uint32_t seed = 12345;
  std::set<uint32_t> seen;
  for (auto& c : p.pixels) {
    do {
      seed = seed * 1103515245u + 12345u;
      c = (seed >> 8) & 0xFFFFFF;
    } while (!seen.insert(c).second);
  }
  return p;
}

// The nearest palette entry to a histogram cell's centre, by the weighted
// distance the inverse map uses; the first of equals wins.
int BruteNearest(const uint32_t* palette, int count, uint32_t c) {
  const int r = (((c >> 16) & 255) >> 3 << 3) + 4;
  const int g = (((c >> 8) & 255) >> 2 << 2) + 2;
  const int b = ((c & 255) >> 3 << 3) + 4;
  int best = -1;
  long bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    const long dr = 2L * (r - static_cast<int>((palette[i] >> 16) & 255));
    const long dg = 3L * (g - static_cast<int>((palette[i] >> 8) & 255));
    const long db = 1L * (b - static_cast<int>(palette[i] & 255));
    const long d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

TEST_F(GraphicsQuantize, MedianCutMapsEveryPixelToItsNearestEntry) {
  Picture p = ManyColours();
  QuantizeRequest r = p.Request(256);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  ASSERT_GT(r.colors, 200);
  ASSERT_LE(r.colors, 256);
  for (int i = 0; i < p.width * p.height; ++i) {
    EXPECT_EQ(p.index[i], BruteNearest(p.palette, r.colors, p.pixels[i])) << i;
  }
}

// Hidden pixels take no part in the counts: the others still get their
// nearest entry, the hidden ones the transparent pen after the colours.
TEST_F(GraphicsQuantize, MedianCutMapsVisiblePixelsNearestAndHiddenToThePen) {
  Picture p = ManyColours();
  std::vector<uint8_t> alpha(p.width * p.height, 255);
  for (size_t i = 0; i < alpha.size(); i += 7) alpha[i] = 0;
  QuantizeRequest r = p.Request(64);
  r.alpha = alpha.data();
  r.alphaBytesPerRow = p.width;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  ASSERT_EQ(r.transparentPen, r.colors - 1);
  for (int i = 0; i < p.width * p.height; ++i) {
    if (alpha[i] == 0) {
      EXPECT_EQ(p.index[i], r.transparentPen) << i;
    } else {
      EXPECT_EQ(p.index[i], BruteNearest(p.palette, r.colors - 1, p.pixels[i])) << i;
    }
  }
}

TEST_F(GraphicsQuantize, MedianCutWithTransparencyLeavesOneEntry) {
  Picture p = ManyColours();
  std::vector<uint8_t> alpha(p.width * p.height, 255);
  alpha[0] = 254;
  QuantizeRequest r = p.Request(16);
  r.alpha = alpha.data();
  r.alphaBytesPerRow = p.width;
  r.dither = true;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.colors, 16);
  EXPECT_EQ(r.transparentPen, 15);
  EXPECT_EQ(p.index[0], 15);
  for (int i = 1; i < p.width * p.height; ++i) EXPECT_LT(p.index[i], 15) << i;
}

// A cell counts at most 65535 pixels: one box of 70000 pixels in the lowest
// cell (centre 4, 2, 4) and 20000 in the highest (252, 254, 252) has the mean
// (4 * 65535 + 252 * 20000) / 85535 = 62 in red and blue, 61 in green
// (59 and 58 if every pixel counted).
TEST_F(GraphicsQuantize, CellCountsStopAt65535) {
  Picture p(300, 300);
  for (int i = 0; i < 90000; ++i) p.pixels[i] = i < 70000 ? 0xFF000000u : 0x80FFFFFFu;
  QuantizeRequest r = p.Request(1);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  ASSERT_EQ(r.colors, 1);
  EXPECT_EQ(p.palette[0], 0x3E3D3Eu);
  for (int i = 0; i < 90000; ++i) ASSERT_EQ(p.index[i], 0) << i;
}

TEST_F(GraphicsQuantize, DitherErrorsAreLimited) {
  EXPECT_EQ(LimitDitherError(0), 0);
  EXPECT_EQ(LimitDitherError(15), 15);
  EXPECT_EQ(LimitDitherError(16), 16);
  EXPECT_EQ(LimitDitherError(17), 16);
  EXPECT_EQ(LimitDitherError(18), 17);
  EXPECT_EQ(LimitDitherError(47), 31);
  EXPECT_EQ(LimitDitherError(48), 32);
  EXPECT_EQ(LimitDitherError(255), 32);
  EXPECT_EQ(LimitDitherError(-48), -32);
  EXPECT_EQ(LimitDitherError(-17), -16);
  EXPECT_EQ(LimitDitherError(-1000), -32);
}

TEST_F(GraphicsQuantize, DitheringKeepsAUniformAreaOnItsColour) {
  // A colour that is in the palette exactly never spreads an error.
  Picture p(16, 16);
  for (auto& c : p.pixels) c = 0x336699;
  p.palette[0] = 0x000000;
  p.palette[1] = 0x336699;
  p.palette[2] = 0xFFFFFF;
  QuantizeRequest r = p.Request(3);
  r.remap = true;
  r.dither = true;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  for (uint8_t pen : p.index) EXPECT_EQ(pen, 1);
}

// White carries its error past 255 and black below 0; the values are held at
// the ends, so neither picture ever reaches the far entry.
TEST_F(GraphicsQuantize, DitheredValuesStayWithinTheChannelRange) {
  for (auto [colour, nearEnd, farEnd] :
       {std::tuple{0xFFFFFFu, 0xF0F0F0u, 0x000000u}, {0x000000u, 0x101010u, 0xFFFFFFu}}) {
    Picture p(16, 16);
    for (auto& c : p.pixels) c = colour;
    p.palette[0] = nearEnd;
    p.palette[1] = farEnd;
    QuantizeRequest r = p.Request(2);
    r.remap = true;
    r.dither = true;
    Quantize(r);
    ASSERT_EQ(r.success, 1);
    for (uint8_t pen : p.index) ASSERT_EQ(pen, 0) << std::hex << colour;
  }
}

TEST_F(GraphicsQuantize, DitheringMixesTwoEntriesForAColourBetween) {
  Picture p(32, 32);
  for (auto& c : p.pixels) c = 0x808080;
  p.palette[0] = 0x000000;
  p.palette[1] = 0xFFFFFF;
  QuantizeRequest r = p.Request(2);
  r.remap = true;
  r.dither = true;
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  long white = 0;
  for (uint8_t pen : p.index) white += pen;
  // Close to half, but not exactly: the limited errors bias it slightly.
  EXPECT_GT(white, 32 * 32 * 2 / 5);
  EXPECT_LT(white, 32 * 32 * 3 / 5);
}

TEST_F(GraphicsQuantize, RemapTakesTheFirstUnusedEntryForTransparency) {
  Picture p(4, 1);
  p.pixels = {0x000000, 0x0000FF, 0xFFFFFF, 0x0000FF};
  std::vector<uint8_t> mask(MaskRowBytes(4), 0);
  SetMaskBit(mask.data(), 0, true);
  SetMaskBit(mask.data(), 2, true);
  SetMaskBit(mask.data(), 3, true);
  p.palette[0] = 0x000000;
  p.palette[1] = 0x00FF00;  // nobody's nearest
  p.palette[2] = 0xFFFFFF;
  p.palette[3] = 0x0000FF;
  QuantizeRequest r = p.Request(4);
  r.remap = true;
  r.mask = mask.data();
  r.maskBytesPerRow = MaskRowBytes(4);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.transparentPen, 1);
  EXPECT_EQ(std::vector<uint8_t>(p.index.begin(), p.index.end()),
            (std::vector<uint8_t>{0, 1, 2, 3}));
}

TEST_F(GraphicsQuantize, RemapOntoAFullTwoEntryPaletteUsesEntryZero) {
  Picture p(3, 1);
  p.pixels = {0x000000, 0xFFFFFF, 0x000000};
  std::vector<uint8_t> mask(MaskRowBytes(3), 0);
  SetMaskBit(mask.data(), 0, true);
  SetMaskBit(mask.data(), 1, true);
  p.palette[0] = 0x000000;
  p.palette[1] = 0xFFFFFF;
  QuantizeRequest r = p.Request(2);
  r.remap = true;
  r.mask = mask.data();
  r.maskBytesPerRow = MaskRowBytes(3);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  EXPECT_EQ(r.transparentPen, 0);
  EXPECT_EQ(p.index[2], 0);
}

TEST_F(GraphicsQuantize, RemapWithEveryEntryUsedMergesTheClosestPair) {
  Picture p(4, 1);
  p.pixels = {0x000000, 0xFFFFFF, 0xF0F0F0, 0x123456};
  std::vector<uint8_t> mask(MaskRowBytes(4), 0);
  for (int x = 0; x < 3; ++x) SetMaskBit(mask.data(), x, true);
  p.palette[0] = 0x000000;
  p.palette[1] = 0xFFFFFF;
  p.palette[2] = 0xF0F0F0;
  QuantizeRequest r = p.Request(3);
  r.remap = true;
  r.mask = mask.data();
  r.maskBytesPerRow = MaskRowBytes(4);
  Quantize(r);
  ASSERT_EQ(r.success, 1);
  // 1 and 2 are the closest pair; 1's pixels move to 2 and 1 becomes the pen.
  EXPECT_EQ(r.transparentPen, 1);
  EXPECT_EQ(std::vector<uint8_t>(p.index.begin(), p.index.end()),
            (std::vector<uint8_t>{0, 2, 2, 1}));
}

TEST_F(GraphicsQuantize, ColourDistance) {
  EXPECT_EQ(ColorDistance(0x000000, 0x000000), 0);
  EXPECT_EQ(ColorDistance(0x000000, 0xFFFFFF), 765);
  EXPECT_EQ(ColorDistance(0xFFFFFF, 0x000000), 765);
  // Green alone: 2 x 10.
  EXPECT_EQ(ColorDistance(0x000000, 0x000A00), 20);
  // Red at r = 5: (517 * 100) >> 8 = 201, sqrt rounds to 14.
  EXPECT_EQ(ColorDistance(0x000000, 0x0A0000), 14);
}

TEST_F(GraphicsQuantize, EmptyWindowFails) {
  Picture p(1, 1);
  QuantizeRequest r = p.Request(16);
  r.width = 0;
  Quantize(r);
  EXPECT_EQ(r.success, 0);
}

}  // namespace
}  // namespace tzx::graphics

namespace tzx::graphics {
namespace {

using testing::ColorBitmap;

TEST_F(GraphicsQuantize, RemapToPaletteMakesAnIndexBitmap) {
  auto color = ColorBitmap(5, 3);
  testing::Paint(color.get(), [](int x, int) { return x < 2 ? 0x102030u : 0x405060u; });
  uint32_t palette[256];
  RemapRequest q{};
  q.color = color.get();
  q.palette = palette;
  q.colors = 8;
  q.transparentColor = -1;
  ASSERT_EQ(RemapToPalette(&q), 0);
  testing::Bitmap index(q.result);
  EXPECT_EQ(q.colors, 2);
  EXPECT_EQ(q.transparentPen, -1);
  EXPECT_EQ(palette[0], 0x102030u);
  EXPECT_EQ(palette[1], 0x405060u);
  EXPECT_EQ(ReadPixel(index.get(), 1, 2, 1), 0u);
  EXPECT_EQ(ReadPixel(index.get(), 4, 2, 1), 1u);
}

TEST_F(GraphicsQuantize, RemapToPaletteRefusesBadRequests) {
  auto color = ColorBitmap(4, 4);
  auto alpha = testing::AlphaPlane(3, 4);
  uint32_t palette[256];
  RemapRequest q{};
  q.color = color.get();
  q.palette = palette;
  q.colors = 0;
  EXPECT_EQ(RemapToPalette(&q), 1055);
  q.colors = 257;
  EXPECT_EQ(RemapToPalette(&q), 1055);
  q.colors = 16;
  q.alpha = alpha.get();
  EXPECT_EQ(RemapToPalette(&q), 1055);
  q.alpha = nullptr;
  q.color = nullptr;
  EXPECT_EQ(RemapToPalette(&q), 1055);
  EXPECT_EQ(q.result, nullptr);
}

TEST_F(GraphicsQuantize, ReduceColorsKeepsAlphaBytes) {
  auto color = ColorBitmap(16, 1);
  for (int x = 0; x < 16; ++x) WritePixel(color.get(), x, 0, 0x80000000u | (x * 0x111111u), 1);
  ASSERT_EQ(ReduceColors(color.get(), 2, false), 0);
  std::set<uint32_t> colours;
  for (int x = 0; x < 16; ++x) {
    const uint32_t raw = ReadPixel(color.get(), x, 0, 1);
    EXPECT_EQ(raw >> 24, 0x80u) << x;
    colours.insert(raw & 0xFFFFFF);
  }
  EXPECT_EQ(colours.size(), 2u);
}

}  // namespace
}  // namespace tzx::graphics
