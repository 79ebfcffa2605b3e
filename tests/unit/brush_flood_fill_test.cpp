// Flood fill against a plain breadth-first reference fill on random pictures:
// the same pixels must come out, for every pixel size, narrow surfaces and
// both the seed and the boundary fill.
#include <gtest/gtest.h>

#include <cstring>
#include <queue>
#include <random>
#include <vector>

#include "brush/src/flood_fill.h"
#include "brush/src/pixel_access.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"

namespace tzx::brush {
namespace {

struct Picture {
  int width;
  int height;
  int bytesPerPixel;
  int stride;  // pixels
  std::vector<uint8_t> bytes;

  uint8_t* At(int x, int y) { return bytes.data() + (size_t(y) * stride + x) * bytesPerPixel; }
  uint32_t Get(int x, int y) {
    switch (bytesPerPixel) {
      case 1:
        return GetPixel<1>(At(x, y));
      case 2:
        return GetPixel<2>(At(x, y));
      case 3:
        return GetPixel<3>(At(x, y));
      default:
        return GetPixel<4>(At(x, y));
    }
  }
  void Set(int x, int y, uint32_t v) {
    switch (bytesPerPixel) {
      case 1:
        return PutPixel<1>(At(x, y), v);
      case 2:
        return PutPixel<2>(At(x, y), v);
      case 3:
        return PutPixel<3>(At(x, y), v);
      default:
        return PutPixel<4>(At(x, y), v);
    }
  }
};

// Pixels drawn from a few values, so that areas are large and ragged. For
// 4-byte pixels the byte outside the colour bits is random as well.
Picture RandomPicture(std::mt19937& rng, int width, int height, int bytesPerPixel,
                      const std::vector<uint32_t>& values, uint32_t colorBits) {
  Picture p{width, height, bytesPerPixel, width + 3, {}};
  p.bytes.resize(size_t(p.stride) * height * bytesPerPixel);
  std::uniform_int_distribution<size_t> pick(0, values.size() - 1);
  std::uniform_int_distribution<uint32_t> noise;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.Set(x, y, (values[pick(rng)] & colorBits) | (noise(rng) & ~colorBits));
    }
  }
  return p;
}

// The reference: every 4-connected pixel reachable from the seed through
// pixels that `passable` accepts gets the fill value.
template <class Passable>
void ReferenceFill(Picture* p, int sx, int sy, uint32_t fill, Passable passable) {
  std::vector<char> seen(size_t(p->width) * p->height, 0);
  std::queue<std::pair<int, int>> queue;
  queue.push({sx, sy});
  seen[size_t(sy) * p->width + sx] = 1;
  std::vector<std::pair<int, int>> area;
  while (!queue.empty()) {
    auto [x, y] = queue.front();
    queue.pop();
    area.push_back({x, y});
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int i = 0; i < 4; ++i) {
      int nx = x + dx[i], ny = y + dy[i];
      if (nx < 0 || ny < 0 || nx >= p->width || ny >= p->height) continue;
      if (seen[size_t(ny) * p->width + nx] || !passable(p->Get(nx, ny))) continue;
      seen[size_t(ny) * p->width + nx] = 1;
      queue.push({nx, ny});
    }
  }
  for (auto [x, y] : area) p->Set(x, y, fill);
}

FillSurface SurfaceOf(Picture* p, uint32_t colorBits, uint32_t border, uint32_t fill) {
  FillSurface s{};
  s.pixels = p->bytes.data();
  s.width = p->width;
  s.height = p->height;
  s.stride = p->stride;
  s.bytesPerPixel = p->bytesPerPixel;
  s.compareMask = colorBits;
  s.border = border;
  s.fill = fill;
  return s;
}

uint32_t BitsFor(int bytesPerPixel) {
  return bytesPerPixel == 4 ? 0x00FFFFFF : (1u << (8 * bytesPerPixel)) - 1;
}

class BrushFloodFill : public graphics::testing::GraphicsTest {};

TEST_F(BrushFloodFill, SeedFillMatchesReferenceOnRandomPictures) {
  std::mt19937 rng(1234);
  const int sizes[][2] = {{1, 17}, {2, 9}, {3, 13}, {4, 4}, {17, 1}, {31, 23}, {64, 48}, {97, 5}};
  for (int bpp = 1; bpp <= 4; ++bpp) {
    const uint32_t bits = BitsFor(bpp);
    const std::vector<uint32_t> values = {0x000102, 0x0A0B0C & bits, 0x777777 & bits};
    const uint32_t fill = 0x123456 & bits;
    for (auto [w, h] : sizes) {
      for (int round = 0; round < 12; ++round) {
        Picture ours = RandomPicture(rng, w, h, bpp, values, bits);
        Picture reference = ours;
        const int sx = std::uniform_int_distribution<int>(0, w - 1)(rng);
        const int sy = std::uniform_int_distribution<int>(0, h - 1)(rng);
        const uint32_t seed = ours.Get(sx, sy) & bits;
        ReferenceFill(&reference, sx, sy, fill, [&](uint32_t v) { return (v & bits) == seed; });
        ASSERT_EQ(FloodFill(SurfaceOf(&ours, bits, kNoBorder, fill), sx, sy), 0);
        ASSERT_EQ(ours.bytes, reference.bytes)
            << "bpp " << bpp << ", " << w << "x" << h << ", seed " << sx << "," << sy;
      }
    }
  }
}

// Long runs with few walls: rows are scanned several pixels at a time, so a
// run may end at any place within a group, and at the row's ends.
TEST_F(BrushFloodFill, LongRunsEndAnywhereInARow) {
  std::mt19937 rng(99);
  const uint32_t bits = BitsFor(4), open = 0x445566, wall = 0x000001, fill = 0x123456;
  for (int w = 1; w <= 21; ++w) {
    for (int round = 0; round < 40; ++round) {
      const int h = 1 + round % 7;
      Picture ours = RandomPicture(rng, w, h, 4, {open}, bits);
      std::uniform_int_distribution<int> at(0, w * h - 1);
      for (int walls = round % 5; walls > 0; --walls) {
        const int i = at(rng);
        ours.Set(i % w, i / w, wall);
      }
      Picture reference = ours;
      const int i = at(rng);
      const int sx = i % w, sy = i / w;
      const uint32_t seed = ours.Get(sx, sy) & bits;
      ReferenceFill(&reference, sx, sy, fill, [&](uint32_t v) { return (v & bits) == seed; });
      ASSERT_EQ(FloodFill(SurfaceOf(&ours, bits, kNoBorder, fill), sx, sy), 0);
      ASSERT_EQ(ours.bytes, reference.bytes) << w << "x" << h << ", seed " << sx << "," << sy;
    }
  }
}

TEST_F(BrushFloodFill, BoundaryFillMatchesReferenceOnRandomPictures) {
  std::mt19937 rng(99);
  const int sizes[][2] = {{1, 11}, {3, 7}, {16, 16}, {40, 30}, {70, 3}};
  for (int bpp = 1; bpp <= 4; ++bpp) {
    const uint32_t bits = BitsFor(bpp);
    const uint32_t border = 0x00FF00 & bits;
    // The fill value does not occur in the pictures: then the boundary fill
    // is the area up to the border.
    const std::vector<uint32_t> values = {border, 0x000001, 0x000002, 0x000003};
    const uint32_t fill = 0x0000F0;
    for (auto [w, h] : sizes) {
      for (int round = 0; round < 12; ++round) {
        Picture ours = RandomPicture(rng, w, h, bpp, values, bits);
        const int sx = std::uniform_int_distribution<int>(0, w - 1)(rng);
        const int sy = std::uniform_int_distribution<int>(0, h - 1)(rng);
        Picture reference = ours;
        if ((ours.Get(sx, sy) & bits) != border) {
          ReferenceFill(&reference, sx, sy, fill, [&](uint32_t v) { return (v & bits) != border; });
        }
        ASSERT_EQ(FloodFill(SurfaceOf(&ours, bits, border, fill), sx, sy), 0);
        ASSERT_EQ(ours.bytes, reference.bytes)
            << "bpp " << bpp << ", " << w << "x" << h << ", seed " << sx << "," << sy;
      }
    }
  }
}

TEST_F(BrushFloodFill, NarrowSurfacesFillTheWholeConnectedArea) {
  // Two pixels wide, the seed at the bottom right: the area reaches up and
  // left, and stops at the different pixel in row 1.
  Picture p{2, 5, 1, 2, {0, 0, 9, 0, 0, 0, 0, 0, 0, 0}};
  ASSERT_EQ(FloodFill(SurfaceOf(&p, 0xFF, kNoBorder, 7), 1, 4), 0);
  EXPECT_EQ(p.bytes, (std::vector<uint8_t>{7, 7, 9, 7, 7, 7, 7, 7, 7, 7}));

  // From the top left, down the columns to the first different pixel.
  Picture q{2, 4, 1, 2, {1, 1, 1, 1, 5, 5, 1, 1}};
  ASSERT_EQ(FloodFill(SurfaceOf(&q, 0xFF, kNoBorder, 3), 0, 0), 0);
  EXPECT_EQ(q.bytes, (std::vector<uint8_t>{3, 3, 3, 3, 5, 5, 1, 1}));
}

TEST_F(BrushFloodFill, SeedOfTheFillValueChangesNothing) {
  Picture p{3, 2, 4, 3, std::vector<uint8_t>(24, 0)};
  p.Set(1, 1, 0xAA123456);  // the fill's colour under another alpha byte
  const std::vector<uint8_t> before = p.bytes;
  ASSERT_EQ(FloodFill(SurfaceOf(&p, 0x00FFFFFF, kNoBorder, 0x00123456), 1, 1), 0);
  EXPECT_EQ(p.bytes, before);
}

TEST_F(BrushFloodFill, ColourBitsDecideAndTheFillIsWrittenWhole) {
  // Equal colours under different alpha bytes are one area.
  Picture p{3, 1, 4, 3, std::vector<uint8_t>(12, 0)};
  p.Set(0, 0, 0x11000000);
  p.Set(1, 0, 0x22000000);
  p.Set(2, 0, 0x00000001);
  ASSERT_EQ(FloodFill(SurfaceOf(&p, 0x00FFFFFF, kNoBorder, 0xFF0000FF), 0, 0), 0);
  EXPECT_EQ(p.Get(0, 0), 0xFF0000FFu);
  EXPECT_EQ(p.Get(1, 0), 0xFF0000FFu);
  EXPECT_EQ(p.Get(2, 0), 0x00000001u);
}

TEST_F(BrushFloodFill, BoundaryFillStopsAtBorderAndAtFillInOtherRows) {
  // Row 0: a fill-valued pixel at x = 2 is crossed within the row. Other
  // rows are entered only through pixels that are neither border nor fill:
  // row 1 through x = 4, row 3 not at all past the fill-valued row 2.
  Picture p{5, 4, 1, 5, {0, 0, 4, 0, 0,  //
                         4, 4, 9, 4, 0,  //
                         4, 4, 4, 4, 4,  //
                         0, 0, 0, 0, 0}};
  ASSERT_EQ(FloodFill(SurfaceOf(&p, 0xFF, 9, 4), 0, 0), 0);
  EXPECT_EQ(p.bytes, (std::vector<uint8_t>{4, 4, 4, 4, 4,  //
                                           4, 4, 9, 4, 4,  //
                                           4, 4, 4, 4, 4,  //
                                           0, 0, 0, 0, 0}));

  // A seed on the border fills nothing.
  Picture q{3, 1, 1, 3, {9, 1, 1}};
  ASSERT_EQ(FloodFill(SurfaceOf(&q, 0xFF, 9, 4), 0, 0), 0);
  EXPECT_EQ(q.bytes, (std::vector<uint8_t>{9, 1, 1}));
}

TEST_F(BrushFloodFill, ParallelPlaneTakesTheLevelWhereverTheFillWent) {
  std::mt19937 rng(7);
  Picture p = RandomPicture(rng, 30, 20, 1, {1, 2}, 0xFF);
  Picture reference = p;
  const uint32_t seed = p.Get(4, 4);
  ReferenceFill(&reference, 4, 4, 3, [&](uint32_t v) { return v == seed; });
  std::vector<uint8_t> alpha(30 * 20, 0);
  FillSurface s = SurfaceOf(&p, 0xFF, kNoBorder, 3);
  s.alpha = alpha.data();
  s.alphaStride = 30;
  s.alphaValue = 200;
  ASSERT_EQ(FloodFill(s, 4, 4), 0);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      EXPECT_EQ(alpha[y * 30 + x], reference.Get(x, y) == 3 ? 200 : 0) << x << "," << y;
    }
  }
}

TEST_F(BrushFloodFill, ComplexAreasNeedMoreSpansThanTheFirstStack) {
  // A comb of one-pixel teeth needs a span per tooth at once: far more than
  // the stack starts with.
  const int w = 4001, h = 3;
  Picture p{w, h, 1, w, std::vector<uint8_t>(size_t(w) * h, 0)};
  for (int x = 1; x < w; x += 2) p.Set(x, 1, 1), p.Set(x, 2, 1);
  Picture reference = p;
  ReferenceFill(&reference, 0, 0, 5, [](uint32_t v) { return v == 0; });
  ASSERT_EQ(FloodFill(SurfaceOf(&p, 0xFF, kNoBorder, 5), 0, 0), 0);
  EXPECT_EQ(p.bytes, reference.bytes);
}

TEST_F(BrushFloodFill, SeedOutsideIsRefused) {
  Picture p{2, 2, 1, 2, {0, 0, 0, 0}};
  EXPECT_EQ(FloodFill(SurfaceOf(&p, 0xFF, kNoBorder, 1), 2, 0), kErrRange);
  EXPECT_EQ(FloodFill(SurfaceOf(&p, 0xFF, kNoBorder, 1), 0, -1), kErrRange);
}

}  // namespace
}  // namespace tzx::brush
