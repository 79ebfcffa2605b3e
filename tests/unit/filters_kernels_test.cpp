// The filters library's arithmetic on small pictures with hand-computed
// results; uniform pictures stay uniform where the definition says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "siblings/filters/distortions.h"
#include "siblings/filters/filter_kernels.h"

namespace tzx::host::filters {
namespace {

const Memory kHeap{[](size_t n) { return std::malloc(n); }, [](void* p) { std::free(p); }};

struct Pic {
  int width, height;
  std::vector<uint32_t> px;
  Pic(int w, int h, uint32_t fill = 0) : width(w), height(h), px(w * h, fill) {}
  Picture View() { return Picture{px.data(), width, width, height}; }
  uint32_t& At(int x, int y) { return px[y * width + x]; }
};

TEST(FilterKernels, ColourEffectsByDefinition) {
  Pic p(4, 1);
  p.px = {0x80FF0000u, 0x12345678u, 0xFF808080u, 0x00000000u};
  Grayscale(p.View());
  EXPECT_EQ(p.px[0], 0x804D4D4Du);  // (77 x 255 + 128) >> 8 = 77
  EXPECT_EQ(p.px[2], 0xFF808080u);

  p.px = {0x12345678u, 0xFF000000u, 0x00FFFFFFu, 0x7F7F7F7Fu};
  Invert(p.View());
  EXPECT_EQ(p.px[0], 0x12CBA987u);
  EXPECT_EQ(p.px[1], 0xFFFFFFFFu);
  EXPECT_EQ(p.px[2], 0x00000000u);

  p.px = {0x00C88080u, 0x00818181u, 0x00000000u, 0x00FFFFFFu};
  Solarize(p.View(), 128);
  EXPECT_EQ(p.px[0], 0x00378080u);  // 200 -> 55; 128 stays
  EXPECT_EQ(p.px[1], 0x007E7E7Eu);
  EXPECT_EQ(p.px[3], 0x00000000u);

  p.px = {0x00404040u, 0x00000000u, 0x00FFFFFFu, 0x00808080u};
  Gamma(p.View(), 2.0, 1.0, 1.0);
  EXPECT_EQ(p.px[0], 0x00804040u);  // 255 (64 / 255)^0.5 = 127.75
  EXPECT_EQ(p.px[1], 0u);
  EXPECT_EQ(p.px[2], 0x00FFFFFFu);
}

TEST(FilterKernels, NeutralSettingsChangeNothing) {
  Pic p(5, 1);
  p.px = {0x11336699u, 0xFF102030u, 0x00FEDCBAu, 0x80808080u, 0x00FF00FFu};
  const auto original = p.px;
  Contrast(p.View(), 0, 3);
  EXPECT_EQ(p.px, original);
  Modulate(p.View(), 100, 100, 100);
  EXPECT_EQ(p.px, original);
  Sepia(p.View(), 0);
  EXPECT_EQ(p.px, original);
}

TEST(FilterKernels, SepiaAndMonochrome) {
  Pic p(2, 1);
  p.px = {0xFFFFFFFFu, 0x00000000u};
  Sepia(p.View(), 255);
  EXPECT_EQ(p.px[0], 0xFFFFFFEFu);  // blue: 937 x 255 / 1000 = 238.9
  EXPECT_EQ(p.px[1], 0u);
  p.px = {0x447F7F7Fu, 0x00808080u};
  Monochrome(p.View(), 0);
  EXPECT_EQ(p.px[0], 0x44000000u);
  EXPECT_EQ(p.px[1], 0x00FFFFFFu);
}

TEST(FilterKernels, NeighbourhoodEffectsOnUniformPictures) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{300, 1}, std::pair{1, 200}}) {
    Pic p(w, h, 0x80336699u);
    std::vector<uint8_t> alpha(w * h, 77);
    ASSERT_TRUE(Blur(p.View(), BytePlane{alpha.data(), w}, 4, 0, kHeap));
    for (uint32_t c : p.px) ASSERT_EQ(c, 0x80336699u);
    for (uint8_t a : alpha) ASSERT_EQ(a, 77);
    ASSERT_TRUE(Sharpen(p.View(), 2, 1.0, kHeap));
    for (uint32_t c : p.px) ASSERT_EQ(c, 0x80336699u);
    ASSERT_TRUE(OilPaint(p.View(), 2, kHeap));
    for (uint32_t c : p.px) ASSERT_EQ(c, 0x80336699u);
    Pic e = p;
    ASSERT_TRUE(Edge(e.View(), 1, kHeap));
    for (uint32_t c : e.px) ASSERT_EQ(c, 0x80000000u);
    Pic r = p;
    ASSERT_TRUE(Emboss(r.View(), 0, 1.0, kHeap));
    for (uint32_t c : r.px) ASSERT_EQ(c, 0x80808080u);
    Pic k = p;
    ASSERT_TRUE(Charcoal(k.View(), 3, 1.0, kHeap));
    for (uint32_t c : k.px) ASSERT_EQ(c, 0x80FFFFFFu);
  }
}

TEST(FilterKernels, BlurSpreadsAnImpulseSymmetrically) {
  Pic p(9, 9, 0xFF000000u);
  p.At(4, 4) = 0xFFFFFFFFu;
  ASSERT_TRUE(Blur(p.View(), BytePlane{nullptr, 0}, 3, 1.0, kHeap));
  const int centre = p.At(4, 4) & 255;
  EXPECT_LT(centre, 255);
  EXPECT_GT(centre, 0);
  EXPECT_EQ(p.At(3, 4), p.At(5, 4));
  EXPECT_EQ(p.At(4, 3), p.At(4, 5));
  EXPECT_EQ(p.At(3, 3), p.At(5, 5));
  EXPECT_LT(p.At(3, 4) & 255, centre);
  EXPECT_EQ(p.At(0, 0) & 255, 0u);  // beyond three sigma
  // The light is kept within rounding.
  int total = 0;
  for (uint32_t c : p.px) total += c & 255;
  EXPECT_NEAR(total, 255, 12);
}

TEST(FilterKernels, EdgeFindsAStep) {
  Pic p(4, 3, 0x00000000u);
  for (int y = 0; y < 3; ++y) p.At(2, y) = p.At(3, y) = 0x00FFFFFFu;
  ASSERT_TRUE(Edge(p.View(), 1, kHeap));
  EXPECT_EQ(p.At(0, 1), 0u);
  EXPECT_EQ(p.At(1, 1), 0x00FFFFFFu);  // |gx| = 4 x 255, / 4 = 255
  EXPECT_EQ(p.At(3, 1), 0u);
}

TEST(FilterKernels, PixelateAveragesColoursAndKeepsTopLeftBits) {
  Pic p(3, 2);
  p.px = {0x00000000u, 0x00000064u, 0x000000FFu, 0x000000C8u, 0x00000000u, 0x00000010u};
  std::vector<uint8_t> alpha = {0, 100, 7, 200, 0, 9};
  std::vector<uint8_t> mask = {0x80, 0x40};  // row 0: x0 on; row 1: x1 on
  Shape s{p.View(), BytePlane{mask.data(), 1}, BytePlane{alpha.data(), 3}, 3, 2};
  Pixelate(s, 2);
  // Block (0,0)-(1,1): mean of 0, 100, 200, 0 = 75.
  EXPECT_EQ(p.At(0, 0), 75u);
  EXPECT_EQ(p.At(1, 1), 75u);
  EXPECT_EQ(p.At(2, 0), 0x88u);  // (255 + 16) / 2 rounded
  EXPECT_EQ(alpha[0], 75);
  EXPECT_EQ(alpha[2], 8);           // (7 + 9) / 2
  EXPECT_EQ(mask[0] & 0xC0, 0xC0);  // the block's top-left bit was on
  EXPECT_EQ(mask[1] & 0xC0, 0xC0);
}

TEST(FilterKernels, MovingEffectsWithoutStrengthKeepPixels) {
  Pic p(6, 4);
  for (int i = 0; i < 24; ++i) p.px[i] = i;
  std::vector<uint8_t> pens(24);
  for (int i = 0; i < 24; ++i) pens[i] = static_cast<uint8_t>(100 + i);
  const auto colours = p.px;
  const auto penCopy = pens;
  Shape s{p.View(), BytePlane{nullptr, 0}, BytePlane{pens.data(), 6}, 6, 4};
  ASSERT_TRUE(Swirl(s, 0, kHeap));
  ASSERT_TRUE(WaterRipple(s, 16, 0, 0, 0.5, 0.5, kHeap));
  EXPECT_EQ(p.px, colours);
  EXPECT_EQ(pens, penCopy);
  // A turn moves colours and pens alike.
  ASSERT_TRUE(Swirl(s, 180, kHeap));
  for (int i = 0; i < 24; ++i) EXPECT_EQ(pens[i], 100 + static_cast<int>(p.px[i])) << i;
}

// Every pixel of odd and even sizes, the middle row and column included,
// reads the source its definition names: turned by degrees x (1 - d / R)^2
// about the centre, R = max(w, h) / 2, rounded half away from zero.
TEST(FilterKernels, SwirlMovesEveryPixelByItsDefinition) {
  for (auto [w, h] : {std::pair{5, 3}, {4, 4}, {7, 1}, {1, 6}, {1, 1}, {6, 5}}) {
    Pic p(w, h);
    for (int i = 0; i < w * h; ++i) p.px[i] = i;
    std::vector<uint8_t> pens(w * h);
    for (int i = 0; i < w * h; ++i) pens[i] = static_cast<uint8_t>(100 + i);
    Shape s{p.View(), BytePlane{nullptr, 0}, BytePlane{pens.data(), w}, w, h};
    ASSERT_TRUE(Swirl(s, 100, kHeap));
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0, r = std::max(w, h) / 2.0;
    auto round = [](double v) { return int(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5)); };
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
        const double a = d < r ? 100 * M_PI / 180 * (1 - d / r) * (1 - d / r) : 0;
        const int sx = std::clamp(round(cx + dx * std::cos(a) - dy * std::sin(a)), 0, w - 1);
        const int sy = std::clamp(round(cy + dx * std::sin(a) + dy * std::cos(a)), 0, h - 1);
        EXPECT_EQ(p.At(x, y), uint32_t(sy * w + sx)) << w << "x" << h << " at " << x << "," << y;
        EXPECT_EQ(pens[y * w + x], 100 + sy * w + sx) << w << "x" << h << " at " << x << "," << y;
      }
    }
  }
}

TEST(FilterKernels, InvertBytesCoversEveryRowByte) {
  std::vector<uint8_t> plane = {0x00, 0xFF, 0x0F, 0xF0, 0x12, 0x34};
  InvertBytes(plane.data(), 2, 3);
  EXPECT_EQ(plane, (std::vector<uint8_t>{0xFF, 0x00, 0xF0, 0x0F, 0xED, 0xCB}));
}

TEST(FilterKernels, ShadowAndBorderCoverage) {
  const std::vector<uint8_t> dot = {255};
  std::vector<uint8_t> out(3 * 3, 9);
  ASSERT_TRUE(ShadowCoverage(dot.data(), 1, 1, 1, 0, 128, true, BytePlane{out.data(), 3}, kHeap));
  // A disc of radius 1: the centre and its four neighbours, at half opacity.
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 128, 0, 128, 128, 128, 0, 128, 0}));
  std::vector<uint8_t> shadow(5 * 5, 9);
  ASSERT_TRUE(
      ShadowCoverage(dot.data(), 1, 1, 2, 0.8, 255, false, BytePlane{shadow.data(), 5}, kHeap));
  EXPECT_GT(shadow[12], shadow[13]);
  EXPECT_EQ(shadow[11], shadow[13]);
  EXPECT_EQ(shadow[7], shadow[17]);
}

// The border's dilation against its definition: every output pixel is the
// largest coverage within the disc, on shapes wider and taller than the disc.
TEST(FilterKernels, BorderDilationIsTheLargestCoverageWithinTheDisc) {
  for (const auto& [w, h, grow] :
       {std::tuple{7, 5, 3}, std::tuple{1, 9, 4}, std::tuple{12, 1, 2}}) {
    std::vector<uint8_t> cover(w * h);
    for (int i = 0; i < w * h; ++i) cover[i] = static_cast<uint8_t>((i * 73 + 11) % 251);
    const int ow = w + 2 * grow, oh = h + 2 * grow;
    std::vector<uint8_t> out(ow * oh, 9);
    ASSERT_TRUE(
        ShadowCoverage(cover.data(), w, h, grow, 0, 255, true, BytePlane{out.data(), ow}, kHeap));
    for (int y = 0; y < oh; ++y) {
      for (int x = 0; x < ow; ++x) {
        int best = 0;
        for (int sy = 0; sy < h; ++sy) {
          for (int sx = 0; sx < w; ++sx) {
            const int dx = x - grow - sx, dy = y - grow - sy;
            if (dx * dx + dy * dy <= grow * grow) best = std::max<int>(best, cover[sy * w + sx]);
          }
        }
        ASSERT_EQ(out[y * ow + x], best)
            << w << "x" << h << " grow " << grow << " at " << x << ", " << y;
      }
    }
  }
}

TEST(FilterKernels, DistortionGeometry) {
  Distortion d;
  // A barrel with d = 1 alone is the identity.
  const double barrel[4] = {0, 0, 0, 1};
  ASSERT_TRUE(PlanDistortion(12, 4, barrel, 10, 6, &d));
  double sx, sy;
  ASSERT_TRUE(SourceOf(d, 3, 2, &sx, &sy));
  EXPECT_NEAR(sx, 3.5, 1e-9);
  EXPECT_NEAR(sy, 2.5, 1e-9);
  // Perspective onto twice the size.
  const double corners[16] = {0, 0, 0, 0, 10, 0, 20, 0, 10, 6, 20, 12, 0, 6, 0, 12};
  ASSERT_TRUE(PlanDistortion(4, 16, corners, 10, 6, &d));
  EXPECT_EQ(d.outWidth, 20);
  EXPECT_EQ(d.outHeight, 12);
  ASSERT_TRUE(SourceOf(d, 19, 11, &sx, &sy));
  EXPECT_NEAR(sx, 9.75, 1e-9);
  EXPECT_NEAR(sy, 5.75, 1e-9);
  // Corners on a line make no picture.
  const double flat[16] = {0, 0, 0, 0, 10, 0, 10, 0, 10, 6, 20, 0, 0, 6, 30, 0};
  EXPECT_FALSE(PlanDistortion(4, 16, flat, 10, 6, &d));
  // An arc: the top middle of the destination reads the source's top middle.
  const double arc[1] = {90};
  ASSERT_TRUE(PlanDistortion(9, 1, arc, 40, 10, &d));
  ASSERT_TRUE(SourceOf(d, d.outWidth / 2, 0, &sx, &sy));
  EXPECT_NEAR(sx, 20, 1.5);
  EXPECT_LT(sy, 1.5);
  EXPECT_FALSE(PlanDistortion(9, 1, (const double[]){0}, 40, 10, &d));
  EXPECT_FALSE(PlanDistortion(7, 0, nullptr, 40, 10, &d));
}

}  // namespace
}  // namespace tzx::host::filters
