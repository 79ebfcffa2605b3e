// Bitmap transformation: the exact turns, the pixel engine against a plain
// per-pixel reference in doubles, masks, smoothing next to hidden pixels,
// planes carried along, and the failures that must leave a set unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/src/bitmap_sets.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/transform.h"
#include "graphics/src/transform_bitmap.h"
#include "graphics/src/transform_matrix.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::graphics {
namespace {

using testing::Paint;

void Rotation(double angle, double out[4]) {
  TransformRecord t{};
  t.scaleX = t.scaleY = 1.0;
  t.rotate = angle;
  BuildTransformMatrix(&t, 0, 0, 0, 0);
  std::memcpy(out, t.matrix, sizeof t.matrix);
}

// A set of planes and its size; every plane is freed at the end.
struct Set {
  BitmapHandle* color = nullptr;
  BitmapHandle* mask = nullptr;
  BitmapHandle* alpha = nullptr;
  BitmapHandle* index = nullptr;
  int width = 0, height = 0;
  ~Set() {
    for (BitmapHandle* b : {color, mask, alpha, index}) FreeBitmap(b);
  }
  int Apply(const double m[4], int smooth = 0) {
    return RotateBitmapSet(&color, &mask, &alpha, &index, width, height, m, smooth, &width,
                           &height);
  }
  int Turn(double angle) {
    return RotateBitmap(&color, &mask, &alpha, &index, width, height, angle, 0, &width, &height);
  }
  std::vector<uint32_t> Pixels(const BitmapHandle* b) const {
    std::vector<uint32_t> out;
    for (int y = 0; y < b->height; ++y) {
      for (int x = 0; x < b->width; ++x) out.push_back(ReadPixel(b, x, y, 1));
    }
    return out;
  }
};

// Every pixel different: 0xFF, row in the middle byte, column + 1 below.
void Picture(Set* s, int w, int h) {
  s->width = w;
  s->height = h;
  s->color = AllocBitmap(w, h, 0, nullptr);
  Paint(s->color, [](int x, int y) { return static_cast<uint32_t>(0x000100 * y + x + 1); });
}

using Transform = testing::GraphicsTest;

TEST_F(Transform, QuarterTurnsAreExactTransposes) {
  Set a, b;
  Picture(&a, 40, 10);
  a.alpha = AllocAlpha(40, 10, 0, nullptr, 0);
  Paint(a.alpha, [](int x, int y) { return static_cast<uint32_t>(x * 5 + y); });
  ASSERT_EQ(a.Turn(90), 0);
  ASSERT_EQ(a.width, 10);
  ASSERT_EQ(a.height, 40);
  EXPECT_EQ(a.mask, nullptr);  // no corners opened: no mask made
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 10; ++x) {
      // Destination (x, y) is source (w - 1 - y, x): counter-clockwise on screen.
      ASSERT_EQ(ReadPixel(a.color, x, y, 0), 0x000100u * x + (39 - y) + 1) << x << "," << y;
      ASSERT_EQ(ReadPixel(a.alpha, x, y, 0), static_cast<uint32_t>((39 - y) * 5 + x));
    }
  }
  Picture(&b, 40, 10);
  b.alpha = AllocAlpha(40, 10, 0, nullptr, 0);
  Paint(b.alpha, [](int x, int y) { return static_cast<uint32_t>(x * 5 + y); });
  ASSERT_EQ(b.Turn(-270), 0);
  EXPECT_EQ(b.Pixels(b.color), a.Pixels(a.color));
  EXPECT_EQ(b.Pixels(b.alpha), a.Pixels(a.alpha));

  // 270 and -90 the other way; sizes not multiples of the blocks.
  Set c, d;
  Picture(&c, 37, 70);
  Picture(&d, 37, 70);
  ASSERT_EQ(c.Turn(270), 0);
  ASSERT_EQ(d.Turn(-90), 0);
  EXPECT_EQ(c.Pixels(c.color), d.Pixels(d.color));
  ASSERT_EQ(c.width, 70);
  for (int y = 0; y < 37; ++y) {
    for (int x = 0; x < 70; ++x) {
      // Destination (x, y) is source (y, h - 1 - x).
      ASSERT_EQ(ReadPixel(c.color, x, y, 0), 0x000100u * (69 - x) + y + 1);
    }
  }
}

TEST_F(Transform, QuarterTurnsCarryMasksAndPens) {
  Set s;
  s.width = 19;
  s.height = 5;
  s.index = AllocIndexBitmap(19, 5, 1);
  s.mask = AllocMask(nullptr, 19, 5, 0, nullptr, 0);
  Paint(s.index, [](int x, int y) { return static_cast<uint32_t>(x + 19 * y); });
  Paint(s.mask, [](int x, int y) { return static_cast<uint32_t>((x + y) % 3 == 0); });
  ASSERT_EQ(s.Turn(270), 0);
  for (int y = 0; y < 19; ++y) {
    for (int x = 0; x < 5; ++x) {
      const int sx = y, sy = 4 - x;
      ASSERT_EQ(ReadPixel(s.index, x, y, 0), static_cast<uint32_t>(sx + 19 * sy));
      ASSERT_EQ(ReadPixel(s.mask, x, y, 0), static_cast<uint32_t>((sx + sy) % 3 == 0));
    }
  }
}

TEST_F(Transform, HalfTurnIsBothFlips) {
  Set a, b;
  Picture(&a, 13, 7);
  Picture(&b, 13, 7);
  a.mask = AllocMask(nullptr, 13, 7, 0, nullptr, 0);
  b.mask = AllocMask(nullptr, 13, 7, 0, nullptr, 0);
  Paint(a.mask, [](int x, int y) { return static_cast<uint32_t>(x > y); });
  Paint(b.mask, [](int x, int y) { return static_cast<uint32_t>(x > y); });
  ASSERT_EQ(a.Turn(180), 0);
  ASSERT_EQ(FlipBitmapSet(b.color, b.mask, nullptr, nullptr, 1), 0);
  ASSERT_EQ(FlipBitmapSet(b.color, b.mask, nullptr, nullptr, 0), 0);
  EXPECT_EQ(a.width, 13);
  EXPECT_EQ(a.Pixels(a.color), b.Pixels(b.color));
  EXPECT_EQ(a.Pixels(a.mask), b.Pixels(b.mask));
  Set c;
  Picture(&c, 13, 7);
  ASSERT_EQ(c.Turn(-180), 0);
  EXPECT_EQ(c.Pixels(c.color), b.Pixels(b.color));
}

// Rotation 0, an identity given as such and whole turns keep size and pixels
// (the 360-degree matrix is not exactly the identity).
TEST_F(Transform, IdentityAndWholeTurnsKeepEverything) {
  for (double angle : {0.0, 360.0, 720.0, -360.0}) {
    Set a, ref;
    Picture(&a, 9, 4);
    Picture(&ref, 9, 4);
    ASSERT_EQ(a.Turn(angle), 0) << angle;
    EXPECT_EQ(a.width, 9) << angle;
    EXPECT_EQ(a.height, 4) << angle;
    EXPECT_EQ(a.mask, nullptr) << angle;
    EXPECT_EQ(a.Pixels(a.color), ref.Pixels(ref.color)) << angle;
  }
  Set b;
  Picture(&b, 9, 4);
  const double identity[4] = {1, 0, 0, 1};
  ASSERT_EQ(b.Apply(identity), 0);
  EXPECT_EQ(b.width, 9);
  EXPECT_EQ(b.height, 4);
  EXPECT_EQ(IsIdentityMatrix(identity), 1);
  double turn[4];
  Rotation(360, turn);
  EXPECT_EQ(IsIdentityMatrix(turn), 0);
}

// Mirrors through the engine: every source row and column arrives once.
TEST_F(Transform, MirrorsLoseNoRowOrColumn) {
  const double flips[2][4] = {{-1, 0, 0, 1}, {1, 0, 0, -1}};
  for (int f = 0; f < 2; ++f) {
    Set s;
    Picture(&s, 6, 5);
    ASSERT_EQ(s.Apply(flips[f]), 0);
    // The bounds rule adds one pixel on each axis; it stays empty.
    ASSERT_EQ(s.width, 7);
    ASSERT_EQ(s.height, 6);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 6; ++x) {
        const int sx = f == 0 ? 5 - x : x, sy = f == 0 ? y : 4 - y;
        ASSERT_EQ(ReadPixel(s.color, x, y, 0), 0x000100u * sy + sx + 1) << f << ":" << x << y;
        ASSERT_EQ(ReadPixel(s.mask, x, y, 0), 1u);
      }
    }
    for (int y = 0; y < 6; ++y) EXPECT_EQ(ReadPixel(s.mask, 6, y, 0), 0u);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(ReadPixel(s.mask, x, 5, 0), 0u);
  }
}

// The bits of a turned picture without mask are set exactly where the
// pixel's centre maps into the source.
TEST_F(Transform, FortyFiveDegreeMaskCoversTheInside) {
  Set s;
  Picture(&s, 31, 17);
  double m[4];
  Rotation(45, m);
  ASSERT_EQ(s.Apply(m), 0);
  const Bounds b = MatrixBoundsOf(m, 31, 17);
  ASSERT_EQ(s.width, b.width);
  const double d = m[0] * m[3] - m[2] * m[1];
  int inside = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const double X = x + 0.5 + b.left, Y = y + 0.5 + b.top;
      const double sx = (m[3] * X - m[2] * Y) / d, sy = (-m[1] * X + m[0] * Y) / d;
      const double edge = std::min({sx, 31 - sx, sy, 17 - sy});
      if (std::fabs(edge) < 1e-6) continue;  // on an edge: either is right
      const bool in = edge > 0;
      inside += in;
      ASSERT_EQ(ReadPixel(s.mask, x, y, 0), in ? 1u : 0u) << x << "," << y;
      if (in) {
        ASSERT_EQ(ReadPixel(s.color, x, y, 0),
                  0x000100u * static_cast<int>(sy) + static_cast<int>(sx) + 1);
      }
    }
  }
  EXPECT_NEAR(inside, 31 * 17, 40);
}

// Smoothing takes no colour from hidden neighbours, and a pixel whose four
// neighbours are all hidden stays transparent.
TEST_F(Transform, SmoothingIgnoresHiddenNeighbours) {
  Set s;
  s.width = s.height = 24;
  s.color = AllocBitmap(24, 24, 0, nullptr);
  s.mask = AllocMask(nullptr, 24, 24, 0, nullptr, 0);
  // Visible pixels are shades of red; hidden ones green. A hidden 6x6 hole.
  auto visible = [](int x, int y) {
    return (x + 2 * y) % 5 != 0 && !(x >= 9 && x < 15 && y >= 9 && y < 15);
  };
  Paint(s.color,
        [&](int x, int y) { return visible(x, y) ? 0x400000u * (x % 4) + 0x3F0000u : 0x00FF00u; });
  Paint(s.mask, [&](int x, int y) { return static_cast<uint32_t>(visible(x, y)); });
  double m[4];
  Rotation(30, m);
  ASSERT_EQ(s.Apply(m, 1), 0);
  int drawn = 0, holes = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (ReadPixel(s.mask, x, y, 0)) {
        ++drawn;
        ASSERT_EQ(ReadPixel(s.color, x, y, 0) & 0x00FFFF, 0u) << x << "," << y;
      } else {
        ++holes;
      }
    }
  }
  EXPECT_GT(drawn, 300);
  // The middle of the hole maps to hidden neighbours only.
  const Bounds b = MatrixBoundsOf(m, 24, 24);
  const double cx = m[0] * 12 + m[2] * 12 - b.left, cy = m[1] * 12 + m[3] * 12 - b.top;
  EXPECT_EQ(ReadPixel(s.mask, static_cast<int>(cx), static_cast<int>(cy), 0), 0u);
  EXPECT_GT(holes, 0);
}

// A plain reference of the engine's formulas: per pixel, in doubles.
struct Reference {
  std::vector<uint32_t> color;
  std::vector<uint8_t> drawn, ambiguous;
};
Reference Expected(const std::vector<uint32_t>& src, const std::vector<uint8_t>* mask, int w, int h,
                   const double m[6], int tw, int th, bool smooth) {
  Reference r{std::vector<uint32_t>(size_t(tw) * th), std::vector<uint8_t>(size_t(tw) * th),
              std::vector<uint8_t>(size_t(tw) * th)};
  const double d = m[0] * m[3] - m[2] * m[1];
  const double i00 = m[3] / d, i01 = -m[1] / d, i10 = -m[2] / d, i11 = m[0] / d;
  const double tx = -m[4] * i00 - m[5] * i10, ty = -m[4] * i01 - m[5] * i11;
  auto at = [&](int x, int y) { return src[size_t(y) * w + x]; };
  auto seen = [&](int x, int y) { return !mask || (*mask)[size_t(y) * w + x]; };
  for (int y = 0; y < th; ++y) {
    for (int x = 0; x < tw; ++x) {
      const size_t o = size_t(y) * tw + x;
      const double sx = i00 * (x + 0.5) + i10 * (y + 0.5) + tx;
      const double sy = i01 * (x + 0.5) + i11 * (y + 0.5) + ty;
      const double edge = std::min({sx, w - sx, sy, h - sy});
      if (std::fabs(edge) < 1e-6) {
        r.ambiguous[o] = 1;
        continue;
      }
      if (edge < 0) continue;
      const int nx = std::clamp(int(std::floor(sx)), 0, w - 1);
      const int ny = std::clamp(int(std::floor(sy)), 0, h - 1);
      r.drawn[o] = seen(nx, ny);
      if (!smooth) {
        r.color[o] = at(nx, ny);
        continue;
      }
      const double px = std::floor((sx - 0.5) * 65536), py = std::floor((sy - 0.5) * 65536);
      // Near a cell border the two ways of rounding may part: skip.
      if (std::fabs((sx - 0.5) * 65536 - std::round((sx - 0.5) * 65536)) < 1e-6 ||
          std::fabs((sy - 0.5) * 65536 - std::round((sy - 0.5) * 65536)) < 1e-6) {
        r.ambiguous[o] = 1;
        continue;
      }
      const int x0 = int(std::floor(px / 65536)), y0 = int(std::floor(py / 65536));
      const double fx = (px - x0 * 65536.0) / 65536, fy = (py - y0 * 65536.0) / 65536;
      const int xs[2] = {std::clamp(x0, 0, w - 1), std::clamp(x0 + 1, 0, w - 1)};
      const int ys[2] = {std::clamp(y0, 0, h - 1), std::clamp(y0 + 1, 0, h - 1)};
      uint32_t c[4] = {at(xs[0], ys[0]), at(xs[1], ys[0]), at(xs[0], ys[1]), at(xs[1], ys[1])};
      const bool v[4] = {seen(xs[0], ys[0]), seen(xs[1], ys[0]), seen(xs[0], ys[1]),
                         seen(xs[1], ys[1])};
      int first = 0;
      while (first < 4 && !v[first]) ++first;
      if (first == 4) {
        r.drawn[o] = 0;
        continue;
      }
      for (int i = 0; i < 4; ++i) {
        if (!v[i]) c[i] = c[first];
      }
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        auto ch = [&](int i) { return double((c[i] >> shift) & 0xFF); };
        const double value = ch(0) * (1 - fx) * (1 - fy) + ch(1) * fx * (1 - fy) +
                             ch(2) * (1 - fx) * fy + ch(3) * fx * fy;
        out |= uint32_t(std::trunc(value)) << shift;
      }
      r.color[o] = out;
    }
  }
  return r;
}

TEST_F(Transform, EngineMatchesThePlainReferenceOnRandomMatrices) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<double> entry(-2.5, 2.5);
  int compared = 0;
  for (int round = 0; round < 60; ++round) {
    const int w = 3 + random() % 40, h = 3 + random() % 40;
    const bool smooth = round % 2, masked = round % 3 == 0;
    double m[4] = {entry(random), entry(random), entry(random), entry(random)};
    if (std::fabs(m[0] * m[3] - m[1] * m[2]) < 0.05) continue;
    std::vector<uint32_t> src(size_t(w) * h);
    std::vector<uint8_t> bits(size_t(w) * h);
    for (auto& p : src) p = random();
    for (auto& b : bits) b = random() % 4 != 0;
    const Bounds b = MatrixBoundsOf(m, w, h);
    const int tw = b.width, th = b.height;
    const int maskRow = MaskRowBytes(w), toMaskRow = MaskRowBytes(tw);
    std::vector<uint8_t> srcMask(size_t(maskRow) * h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) SetMaskBit(srcMask.data() + y * maskRow, x, bits[y * w + x]);
    }
    std::vector<uint32_t> out(size_t(tw) * th);
    std::vector<uint8_t> outMask(size_t(toMaskRow) * th);
    TransformRequest r;
    r.color = {reinterpret_cast<const uint8_t*>(src.data()), 4 * w};
    if (masked) r.mask = {srcMask.data(), maskRow};
    r.width = w;
    r.height = h;
    r.toColor = {reinterpret_cast<uint8_t*>(out.data()), 4 * tw};
    r.toMask = {outMask.data(), toMaskRow};
    r.toWidth = tw;
    r.toHeight = th;
    const double full[6] = {m[0], m[1], m[2], m[3], -b.left, -b.top};
    std::memcpy(r.matrix, full, sizeof full);
    r.smooth = smooth;
    ASSERT_EQ(TransformPixels(r), 0);
    const Reference e = Expected(src, masked ? &bits : nullptr, w, h, full, tw, th, smooth);
    for (int y = 0; y < th; ++y) {
      for (int x = 0; x < tw; ++x) {
        const size_t o = size_t(y) * tw + x;
        if (e.ambiguous[o]) continue;
        ++compared;
        const bool drawn = MaskBit(outMask.data() + y * toMaskRow, x);
        ASSERT_EQ(drawn, e.drawn[o] != 0) << "round " << round << " at " << x << "," << y;
        if (e.drawn[o]) {
          ASSERT_EQ(out[o], e.color[o]) << "round " << round << " at " << x << "," << y;
        }
      }
    }
  }
  EXPECT_GT(compared, 20000);
}

TEST_F(Transform, AlphaAndPensAreCarriedThroughTheEngine) {
  Set s;
  s.width = 8;
  s.height = 6;
  s.color = AllocBitmap(8, 6, 0, nullptr);
  s.alpha = AllocAlpha(8, 6, 0, nullptr, 0);
  Paint(s.alpha, [](int x, int y) { return static_cast<uint32_t>(10 * x + y); });
  const double shear[4] = {1, 0, 0.5, 1};
  ASSERT_EQ(s.Apply(shear), 0);
  EXPECT_EQ(s.mask, nullptr);  // the alpha channel already hides the outside
  EXPECT_EQ(s.width, 12);      // ceil(8 + 3 + 1)
  EXPECT_EQ(s.height, 7);
  // Row 0 centre (x + 0.5, 0.5) comes from source (x + 0.5 - 0.25, 0.5).
  EXPECT_EQ(ReadPixel(s.alpha, 0, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(s.alpha, 7, 0, 0), 70u);
  EXPECT_EQ(ReadPixel(s.alpha, 8, 0, 0), 0u);  // outside: not written

  Set p;
  p.width = 5;
  p.height = 5;
  p.index = AllocIndexBitmap(5, 5, 1);
  Paint(p.index, [](int x, int y) { return static_cast<uint32_t>(1 + x + 5 * y); });
  double m[4];
  Rotation(30, m);
  ASSERT_EQ(RotateBitmapSet(nullptr, &p.mask, nullptr, &p.index, 5, 5, m, 1, &p.width, &p.height),
            0);
  ASSERT_NE(p.mask, nullptr);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const uint32_t pen = ReadPixel(p.index, x, y, 0);
      EXPECT_EQ(pen != 0, ReadPixel(p.mask, x, y, 0) == 1);  // pens are picked, never blended
      EXPECT_LE(pen, 25u);
    }
  }
}

TEST_F(Transform, OtherPixelFormatsTurnAndSmooth) {
  for (int smooth = 0; smooth < 2; ++smooth) {
    Set s;
    s.width = 10;
    s.height = 10;
    s.color = AllocBitmapOfFormat(10, 10, kFormatRgb16);
    Paint(s.color, [](int x, int) { return x < 5 ? 0xF80000u : 0x0000F8u; });
    double m[4];
    Rotation(20, m);
    ASSERT_EQ(s.Apply(m, smooth), 0);
    PixelView v;
    ASSERT_TRUE(ViewOf(s.color, &v));
    EXPECT_EQ(v.format, kFormatRgb16);
    EXPECT_EQ(ReadPixel(s.color, s.width / 2 - 3, s.height / 2, 0), 0xF80000u);
  }
}

TEST_F(Transform, FailuresLeaveTheSetUnchanged) {
  Set s;
  Picture(&s, 10, 10);
  s.alpha = AllocAlpha(10, 10, 0, nullptr, 0);
  BitmapHandle *color = s.color, *alpha = s.alpha;
  const double singular[4] = {1, 2, 2, 4};
  EXPECT_EQ(s.Apply(singular), kErrRange);
  const double huge[4] = {1e7, 0, 0, 1};
  EXPECT_EQ(s.Apply(huge), kErrAllocBitmap);
  const double infinite[4] = {INFINITY, 0, 0, 1};
  EXPECT_EQ(s.Apply(infinite), kErrRange);
  const double tall[4] = {1, 0, 0, 3e6};
  EXPECT_EQ(s.Apply(tall), kErrAllocBitmap);
  EXPECT_EQ(s.color, color);
  EXPECT_EQ(s.alpha, alpha);
  EXPECT_EQ(s.width, 10);
  EXPECT_EQ(s.mask, nullptr);
  // A plane smaller than the picture is refused.
  EXPECT_EQ(RotateBitmap(&s.color, nullptr, &s.alpha, nullptr, 11, 10, 30, 0, nullptr, nullptr),
            kErrRange);
}

TEST_F(Transform, BoundsFollowTheCorners) {
  const double m[4] = {2, 0, 0, 0.5};
  int x, y, w, h;
  MatrixBounds(m, 10, 10, &x, &y, &w, &h);
  EXPECT_EQ(w, 21);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(x, 0);
  const double mirror[4] = {-1, 0, 0, 1};
  MatrixBounds(mirror, 10, 4, &x, &y, &w, &h);
  EXPECT_EQ(x, -10);
  EXPECT_EQ(w, 11);
  const double flat[4] = {0, 0, 0, 0};
  MatrixBounds(flat, 10, 4, &x, &y, &w, &h);
  EXPECT_EQ(w, 1);  // never below 1
  EXPECT_EQ(h, 1);
}

}  // namespace
}  // namespace tzx::graphics
