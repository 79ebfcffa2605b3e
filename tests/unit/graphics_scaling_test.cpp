// The scaling engine against the arithmetic it must keep: plain picks with single-precision
// ratios, smooth interpolation with 16.16 positions and truncating channel blends.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/src/blit_rows.h"
#include "graphics/src/scaling.h"
#include "graphics/src/scaling_kernels.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::graphics {
namespace {

// Frees the scratch when a test ends.
struct Scratch {
  ScaleScratch s;
  ~Scratch() { FreeScaleScratch(s); }
};

// A plane of `height` rows of `rowBytes`, surrounded by nothing in particular.
struct Plane {
  int width = 0, height = 0, rowBytes = 0;
  std::vector<uint8_t> bytes;
  Plane(int w, int h, int bytesPerRow) : width(w), height(h), rowBytes(bytesPerRow) {
    bytes.assign(static_cast<size_t>(std::max(h, 1)) * rowBytes, 0);
  }
  uint8_t* row(int y) { return bytes.data() + static_cast<size_t>(y) * rowBytes; }
  uint32_t pixel(int x, int y) {
    uint32_t v;
    std::memcpy(&v, row(y) + 4 * x, 4);
    return v;
  }
  void setPixel(int x, int y, uint32_t v) { std::memcpy(row(y) + 4 * x, &v, 4); }
  bool bit(int x, int y) { return MaskBit(row(y), x); }
  void setBit(int x, int y, bool on) { SetMaskBit(row(y), x, on); }
};

// --- Reference: the per-pixel formulas, written for clarity rather than speed. ---

int RefPlainColumn(int sw, int dw, int i) {
  const float rx = static_cast<float>(sw) / static_cast<float>(dw);
  const uint32_t step = static_cast<uint32_t>(rx * 65536.0f);
  uint32_t acc = 0;
  for (int k = 0; k < i; ++k) acc += step;
  return static_cast<int>(acc >> 16);
}

int RefPlainRow(int sh, int dh, int j) {
  const float ry = static_cast<float>(sh) / static_cast<float>(dh);
  float acc = 0.0f;
  for (int k = 0; k < j; ++k) acc += ry;
  return std::min(static_cast<int>(acc), sh - 1);
}

// 16.16 smooth position of destination index i.
int64_t RefSmoothPosition(int s, int d, int i) {
  const int64_t step = d > 1 ? (static_cast<int64_t>(s) - 1) * 65536 / (d - 1) : 0;
  return std::min<int64_t>(step * i, static_cast<int64_t>(s) * 65536 - 1);
}

int RefLerp(int a, int b, int f) {
  return a + (((b - a) * f) >> 16);
}

// One 8-bit value at destination (i, j); `at(x, y, channel)` reads the source.
template <class At>
int RefSmoothValue(int sw, int sh, int dw, int dh, int i, int j, int channel, At at) {
  const int64_t px = RefSmoothPosition(sw, dw, i), py = RefSmoothPosition(sh, dh, j);
  const int x = static_cast<int>(px >> 16), y = static_cast<int>(py >> 16);
  const int fx = static_cast<int>(px & 0xFFFF), fy = static_cast<int>(py & 0xFFFF);
  const int x1 = x == sw - 1 ? x : x + 1, y1 = y == sh - 1 ? y : y + 1;
  const int top = RefLerp(at(x, y, channel), at(x1, y, channel), fx);
  const int bottom = RefLerp(at(x, y1, channel), at(x1, y1, channel), fx);
  return RefLerp(top, bottom, fy);
}

// Integer source position of destination (i, j) in either mode.
std::pair<int, int> RefPick(bool smooth, int sw, int sh, int dw, int dh, int i, int j) {
  if (smooth) {
    return {static_cast<int>(RefSmoothPosition(sw, dw, i) >> 16),
            static_cast<int>(RefSmoothPosition(sh, dh, j) >> 16)};
  }
  return {RefPlainColumn(sw, dw, i), RefPlainRow(sh, dh, j)};
}

// --- Helpers ---

std::mt19937& Random() {
  static std::mt19937 generator(20240611);
  return generator;
}

// Random bytes; with `extremes`, only 0 and 255, where a lost carry or sign shows first.
void Fill(Plane& p, bool extremes) {
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto& b : p.bytes)
    b = static_cast<uint8_t>(extremes ? (byte(Random()) & 1) * 255 : byte(Random()));
}

ScaleRequest PixelRequest(Plane& src, Plane& dst, bool smooth) {
  ScaleRequest r;
  r.source = src.bytes.data();
  r.sourceRowBytes = src.rowBytes;
  r.destination = dst.bytes.data();
  r.destinationRowBytes = dst.rowBytes;
  r.sourceWidth = src.width;
  r.sourceHeight = src.height;
  r.destinationWidth = dst.width;
  r.destinationHeight = dst.height;
  r.smooth = smooth;
  return r;
}

// --- Cases with known answers ---

TEST(GraphicsScaling, SmoothTwoByTwoToThreeByTwoTruncatesTheMiddle) {
  Plane src(2, 2, 8), dst(3, 2, 12);
  for (int y = 0; y < 2; ++y) {
    src.setPixel(0, y, 0x000000);
    src.setPixel(1, y, 0xFFFFFF);
  }
  Scratch scratch;
  ASSERT_EQ(ScalePixels(PixelRequest(src, dst, true), scratch.s), 0);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(dst.pixel(0, y), 0x000000u);
    EXPECT_EQ(dst.pixel(1, y), 0x7F7F7Fu);
    EXPECT_EQ(dst.pixel(2, y), 0xFFFFFFu);
  }
}

TEST(GraphicsScaling, PlainColumnChoiceDownAndUp) {
  Scratch scratch;
  Plane four(4, 1, 16), two(2, 1, 8);
  for (int x = 0; x < 4; ++x) four.setPixel(x, 0, 0xFF000010u + x);
  ASSERT_EQ(ScalePixels(PixelRequest(four, two, false), scratch.s), 0);
  EXPECT_EQ(two.pixel(0, 0), 0xFF000010u);
  EXPECT_EQ(two.pixel(1, 0), 0xFF000012u);

  Plane up(4, 1, 16);
  ASSERT_EQ(ScalePixels(PixelRequest(two, up, false), scratch.s), 0);
  EXPECT_EQ(up.pixel(0, 0), 0xFF000010u);
  EXPECT_EQ(up.pixel(1, 0), 0xFF000010u);
  EXPECT_EQ(up.pixel(2, 0), 0xFF000012u);
  EXPECT_EQ(up.pixel(3, 0), 0xFF000012u);
}

// Two rows stretched: the single-precision running sum decides, not the exact ratio and not a
// double-precision sum.
TEST(GraphicsScaling, PlainRowsFollowTheSinglePrecisionSum) {
  Scratch scratch;
  Plane src(1, 2, 4);
  src.setPixel(0, 0, 0xA0);
  src.setPixel(0, 1, 0xB1);
  // 2 -> 24: after 12 additions of 1/12 the float sum stays below 1 (exactly 1 in doubles).
  Plane tall(1, 24, 4);
  ASSERT_EQ(ScalePixels(PixelRequest(src, tall, false), scratch.s), 0);
  EXPECT_EQ(tall.pixel(0, 11), 0xA0u);
  EXPECT_EQ(tall.pixel(0, 12), 0xA0u);
  EXPECT_EQ(tall.pixel(0, 13), 0xB1u);
  // 2 -> 12: after 6 additions of 1/6 the float sum reaches 1 (a double sum stays below).
  Plane twelve(1, 12, 4);
  ASSERT_EQ(ScalePixels(PixelRequest(src, twelve, false), scratch.s), 0);
  EXPECT_EQ(twelve.pixel(0, 5), 0xA0u);
  EXPECT_EQ(twelve.pixel(0, 6), 0xB1u);
}

// Bits take the integer positions of the mode: plain 4 -> 3 picks columns 0, 1, 2 and smooth
// picks 0, 1, 3; smooth 2 -> 3 picks 0, 0, 1 where the pixels blend.
TEST(GraphicsScaling, MasksAreNeverInterpolated) {
  Scratch scratch;
  Plane srcMask(4, 1, MaskRowBytes(4)), dstMask(3, 1, MaskRowBytes(3));
  srcMask.setBit(0, 0, true);
  srcMask.setBit(2, 0, true);
  ScaleRequest r;
  r.sourceMask = srcMask.bytes.data();
  r.sourceMaskRowBytes = srcMask.rowBytes;
  r.destinationMask = dstMask.bytes.data();
  r.destinationMaskRowBytes = dstMask.rowBytes;
  r.sourceWidth = 4;
  r.sourceHeight = 1;
  r.destinationWidth = 3;
  r.destinationHeight = 1;
  ASSERT_EQ(ScaleMask(r, scratch.s), 0);
  EXPECT_EQ(dstMask.row(0)[0], 0xA0);  // 1 0 1, padding bits clear
  r.smooth = true;
  ASSERT_EQ(ScaleMask(r, scratch.s), 0);
  EXPECT_EQ(dstMask.row(0)[0], 0x80);  // 1 0 0

  Plane src(2, 1, 8), dst(3, 1, 12), mask2(2, 1, 2), mask3(3, 1, 2);
  src.setPixel(0, 0, 0xFFFFFFFF);
  mask2.setBit(0, 0, true);
  ScaleRequest both = PixelRequest(src, dst, true);
  both.sourceMask = mask2.bytes.data();
  both.sourceMaskRowBytes = mask2.rowBytes;
  both.destinationMask = mask3.bytes.data();
  both.destinationMaskRowBytes = mask3.rowBytes;
  ASSERT_EQ(ScalePixels(both, scratch.s), 0);
  ASSERT_EQ(ScaleMask(both, scratch.s), 0);
  EXPECT_EQ(dst.pixel(1, 0), 0x7F7F7F7Fu);
  EXPECT_EQ(mask3.row(0)[0], 0xC0);  // 1 1 0
}

TEST(GraphicsScaling, SmoothAlphaBlendsLikeAChannel) {
  Scratch scratch;
  Plane src(2, 2, 4), dst(3, 3, 4);
  src.row(0)[0] = 0;
  src.row(0)[1] = 255;
  src.row(1)[0] = 255;
  src.row(1)[1] = 255;
  ScaleRequest r;
  r.sourceAlpha = src.bytes.data();
  r.sourceAlphaRowBytes = src.rowBytes;
  r.destinationAlpha = dst.bytes.data();
  r.destinationAlphaRowBytes = dst.rowBytes;
  r.sourceWidth = r.sourceHeight = 2;
  r.destinationWidth = r.destinationHeight = 3;
  r.smooth = true;
  ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
  EXPECT_EQ(dst.row(0)[1], 127);
  EXPECT_EQ(dst.row(1)[0], 127);
  EXPECT_EQ(dst.row(1)[1], 191);  // top 127, bottom 255: 127 + (128 * 32768 >> 16)
  r.smooth = false;
  ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
  EXPECT_EQ(dst.row(1)[1], 0);  // column 0 of row 0: (0.667 * 65536) >> 16 truncates to 0
}

// A smooth scale to one column or row takes the first source column or row.
TEST(GraphicsScaling, OnePixelDestinationsTakeTheFirstSourcePixel) {
  Scratch scratch;
  Plane src(5, 4, 20);
  Fill(src, false);
  // Sizes whose steps divide evenly, so that the last destination pixel sits on the last source
  // pixel.
  Plane column(1, 7, 4), row(9, 1, 36);
  ASSERT_EQ(ScalePixels(PixelRequest(src, column, true), scratch.s), 0);
  ASSERT_EQ(ScalePixels(PixelRequest(src, row, true), scratch.s), 0);
  EXPECT_EQ(column.pixel(0, 0), src.pixel(0, 0));
  EXPECT_EQ(column.pixel(0, 6), src.pixel(0, 3));
  EXPECT_EQ(row.pixel(0, 0), src.pixel(0, 0));
  EXPECT_EQ(row.pixel(8, 0), src.pixel(4, 0));
  Plane one(1, 1, 4);
  ASSERT_EQ(ScalePixels(PixelRequest(src, one, true), scratch.s), 0);
  EXPECT_EQ(one.pixel(0, 0), src.pixel(0, 0));
}

TEST(GraphicsScaling, EmptyDestinationDoesNothingAndEmptySourceIsRefused) {
  Scratch scratch;
  Plane src(3, 3, 12), dst(3, 3, 12);
  Fill(src, false);
  const std::vector<uint8_t> before = dst.bytes;
  for (bool smooth : {false, true}) {
    ScaleRequest r = PixelRequest(src, dst, smooth);
    r.destinationWidth = 0;
    EXPECT_EQ(ScalePixels(r, scratch.s), 0);
    r.destinationWidth = 3;
    r.destinationHeight = -2;
    EXPECT_EQ(ScalePixels(r, scratch.s), 0);
    EXPECT_EQ(dst.bytes, before);
    r.destinationHeight = 3;
    r.sourceHeight = 0;
    EXPECT_EQ(ScalePixels(r, scratch.s), kErrRange);
  }
  EXPECT_EQ(scratch.s.positions.data, nullptr);  // nothing allocated for no work
}

// --- Everything against the reference ---

struct Sizes {
  int sw, sh, dw, dh;
};

// Scales pixels, alpha and mask together and compares every value with the reference; row
// padding of the destinations must stay untouched.
void CheckAgainstReference(const Sizes& z, bool smooth, bool extremes, ScaleScratch& scratch) {
  SCOPED_TRACE(testing::Message() << z.sw << "x" << z.sh << " -> " << z.dw << "x" << z.dh
                                  << (smooth ? " smooth" : " plain"));
  Plane src(z.sw, z.sh, 4 * z.sw + 12), alpha(z.sw, z.sh, z.sw + 3),
      mask(z.sw, z.sh, MaskRowBytes(z.sw));
  Fill(src, extremes);
  Fill(alpha, extremes);
  Fill(mask, false);
  Plane dst(z.dw, z.dh, 4 * z.dw + 8), dstAlpha(z.dw, z.dh, z.dw + 5),
      dstMask(z.dw, z.dh, MaskRowBytes(z.dw) + 2);
  for (Plane* p : {&dst, &dstAlpha, &dstMask}) std::fill(p->bytes.begin(), p->bytes.end(), 0xCD);

  ScaleRequest r = PixelRequest(src, dst, smooth);
  r.sourceAlpha = alpha.bytes.data();
  r.sourceAlphaRowBytes = alpha.rowBytes;
  r.destinationAlpha = dstAlpha.bytes.data();
  r.destinationAlphaRowBytes = dstAlpha.rowBytes;
  r.sourceMask = mask.bytes.data();
  r.sourceMaskRowBytes = mask.rowBytes;
  r.destinationMask = dstMask.bytes.data();
  r.destinationMaskRowBytes = dstMask.rowBytes;
  ASSERT_EQ(ScalePixels(r, scratch), 0);
  ASSERT_EQ(ScaleAlpha(r, scratch), 0);
  ASSERT_EQ(ScaleMask(r, scratch), 0);

  auto pixelAt = [&](int x, int y, int c) { return static_cast<int>(src.row(y)[4 * x + c]); };
  auto alphaAt = [&](int x, int y, int) { return static_cast<int>(alpha.row(y)[x]); };
  int mismatches = 0;
  for (int j = 0; j < z.dh && mismatches < 5; ++j) {
    for (int i = 0; i < z.dw && mismatches < 5; ++i) {
      const auto [x, y] = RefPick(smooth, z.sw, z.sh, z.dw, z.dh, i, j);
      uint32_t want = src.pixel(x, y);
      int wantAlpha = alpha.row(y)[x];
      if (smooth) {
        want = 0;
        for (int c = 0; c < 4; ++c) {
          want |= static_cast<uint32_t>(RefSmoothValue(z.sw, z.sh, z.dw, z.dh, i, j, c, pixelAt))
                  << (8 * c);
        }
        wantAlpha = RefSmoothValue(z.sw, z.sh, z.dw, z.dh, i, j, 0, alphaAt);
      }
      const bool ok = dst.pixel(i, j) == want && dstAlpha.row(j)[i] == wantAlpha &&
                      dstMask.bit(i, j) == mask.bit(x, y);
      if (!ok) {
        ++mismatches;
        ADD_FAILURE() << "at " << i << "," << j << ": pixel " << std::hex << dst.pixel(i, j)
                      << " want " << want << ", alpha " << int(dstAlpha.row(j)[i]) << " want "
                      << wantAlpha << ", bit " << dstMask.bit(i, j) << " want " << mask.bit(x, y);
      }
    }
  }
  // Row padding stays as it was; the unused bits of a mask row's last byte are clear.
  auto untouched = [](uint8_t* from, uint8_t* to) {
    return std::all_of(from, to, [](uint8_t b) { return b == 0xCD; });
  };
  for (int j = 0; j < z.dh; ++j) {
    ASSERT_TRUE(untouched(dst.row(j) + 4 * z.dw, dst.row(j) + dst.rowBytes)) << "row " << j;
    ASSERT_TRUE(untouched(dstAlpha.row(j) + z.dw, dstAlpha.row(j) + dstAlpha.rowBytes));
    ASSERT_TRUE(untouched(dstMask.row(j) + (z.dw + 7) / 8, dstMask.row(j) + dstMask.rowBytes));
    if (z.dw & 7) {
      ASSERT_EQ(dstMask.row(j)[z.dw / 8] & (0xFF >> (z.dw & 7)), 0);
    }
  }
}

TEST(GraphicsScaling, MatchesTheReferenceUpAndDown) {
  Scratch scratch;
  const int widths[] = {1, 2, 3, 5, 8, 13, 64};
  const int targets[] = {1, 2, 3, 4, 7, 9, 17, 31, 100};
  for (bool smooth : {false, true}) {
    for (int sw : widths) {
      for (int dw : targets) {
        for (int sh : {1, 2, 6, 13}) {
          for (int dh : {1, 3, 5, 20})
            CheckAgainstReference({sw, sh, dw, dh}, smooth, false, scratch.s);
        }
      }
    }
  }
}

TEST(GraphicsScaling, MatchesTheReferenceOnExtremeValues) {
  Scratch scratch;
  for (bool smooth : {false, true}) {
    for (const Sizes& z : {Sizes{37, 11, 101, 29}, Sizes{101, 29, 37, 11}, Sizes{640, 3, 333, 7},
                           Sizes{7, 7, 1000, 2}}) {
      CheckAgainstReference(z, smooth, true, scratch.s);
    }
  }
}

TEST(GraphicsScaling, ScratchIsReusedOnceGrown) {
  Scratch scratch;
  CheckAgainstReference({30, 30, 200, 150}, true, false, scratch.s);
  const void* positions = scratch.s.positions.data;
  const void* rows = scratch.s.rows.data;
  CheckAgainstReference({30, 30, 120, 90}, true, false, scratch.s);
  CheckAgainstReference({30, 30, 12, 9}, false, false, scratch.s);
  EXPECT_EQ(scratch.s.positions.data, positions);
  EXPECT_EQ(scratch.s.rows.data, rows);
}

// A part of the destination, made in bands of rows, holds what the whole scale holds there:
// the positions, the interior split and the kept interpolated rows all start mid-way.
TEST(GraphicsScaling, PartsHoldWhatTheWholeScaleHolds) {
  Scratch scratch;
  for (bool smooth : {false, true}) {
    for (const Sizes& z : {Sizes{101, 47, 53, 29}, Sizes{23, 19, 70, 61}}) {
      SCOPED_TRACE(testing::Message() << z.sw << "x" << z.sh << (smooth ? " smooth" : " plain"));
      Plane src(z.sw, z.sh, 4 * z.sw), alpha(z.sw, z.sh, z.sw),
          mask(z.sw, z.sh, MaskRowBytes(z.sw));
      Fill(src, false);
      Fill(alpha, false);
      Fill(mask, false);
      Plane whole(z.dw, z.dh, 4 * z.dw), wholeAlpha(z.dw, z.dh, z.dw),
          wholeMask(z.dw, z.dh, MaskRowBytes(z.dw));
      ScaleRequest r = PixelRequest(src, whole, smooth);
      r.sourceAlpha = alpha.bytes.data();
      r.sourceAlphaRowBytes = alpha.rowBytes;
      r.sourceMask = mask.bytes.data();
      r.sourceMaskRowBytes = mask.rowBytes;
      r.destinationAlpha = wholeAlpha.bytes.data();
      r.destinationAlphaRowBytes = wholeAlpha.rowBytes;
      r.destinationMask = wholeMask.bytes.data();
      r.destinationMaskRowBytes = wholeMask.rowBytes;
      ASSERT_EQ(ScalePixels(r, scratch.s), 0);
      ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
      ASSERT_EQ(ScaleMask(r, scratch.s), 0);
      // The columns from 3 to the last but one, in bands of 5 rows from row 1 to the last.
      const int x0 = 3, w = z.dw - 4;
      Plane part(w, 5, 4 * w), partAlpha(w, 5, w), partMask(w, 5, MaskRowBytes(w));
      r.destination = part.bytes.data();
      r.destinationRowBytes = part.rowBytes;
      r.destinationAlpha = partAlpha.bytes.data();
      r.destinationAlphaRowBytes = partAlpha.rowBytes;
      r.destinationMask = partMask.bytes.data();
      r.destinationMaskRowBytes = partMask.rowBytes;
      r.partX = x0;
      r.partWidth = w;
      for (int top = 1; top < z.dh; top += 5) {
        r.partY = top;
        r.partHeight = std::min(5, z.dh - top);
        ASSERT_EQ(ScalePixels(r, scratch.s), 0);
        ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
        ASSERT_EQ(ScaleMask(r, scratch.s), 0);
        for (int y = 0; y < r.partHeight; ++y) {
          for (int x = 0; x < w; ++x) {
            ASSERT_EQ(part.pixel(x, y), whole.pixel(x0 + x, top + y)) << x << "," << top + y;
            ASSERT_EQ(partAlpha.row(y)[x], wholeAlpha.row(top + y)[x0 + x]);
            ASSERT_EQ(partMask.bit(x, y), wholeMask.bit(x0 + x, top + y));
          }
        }
      }
      // A part that leaves the destination is refused.
      r.partY = z.dh - 2;
      r.partHeight = 3;
      EXPECT_EQ(ScalePixels(r, scratch.s), kErrRange);
      r.partY = 0;
      r.partX = -1;
      EXPECT_EQ(ScaleAlpha(r, scratch.s), kErrRange);
    }
  }
}

// --- Scaled and blended a row at a time ---

// ScaleOnto leaves on a target what the planes made by ScalePixels and ScaleAlpha leave when
// blended onto it with BlendRow32, in a part placed inside a larger target, both modes; the
// target's pixels outside the part stay as they were.
TEST(GraphicsScaling, ScaleOntoBlendsWhatThePlanesBlend) {
  Scratch scratch;
  for (bool smooth : {false, true}) {
    for (const Sizes& z : {Sizes{101, 47, 53, 29}, Sizes{23, 19, 70, 61}, Sizes{64, 64, 32, 32},
                           Sizes{1, 1, 9, 3}, Sizes{9, 5, 1, 1}}) {
      for (bool extremes : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << z.sw << "x" << z.sh << " -> " << z.dw << "x" << z.dh
                     << (smooth ? " smooth" : " plain") << (extremes ? " extremes" : ""));
        Plane src(z.sw, z.sh, 4 * z.sw + 4), alpha(z.sw, z.sh, z.sw + 1);
        Fill(src, extremes);
        Fill(alpha, extremes);
        // The part: from column 1 and row 2 to the last but one of each.
        const int x0 = std::min(1, z.dw - 1), y0 = std::min(2, z.dh - 1);
        const int w = std::max(1, z.dw - x0 - 1), h = std::max(1, z.dh - y0 - 1);
        Plane planes(w, h, 4 * w), levels(w, h, w);
        ScaleRequest r = PixelRequest(src, planes, smooth);
        r.destinationWidth = z.dw;
        r.destinationHeight = z.dh;
        r.sourceAlpha = alpha.bytes.data();
        r.sourceAlphaRowBytes = alpha.rowBytes;
        r.destinationAlpha = levels.bytes.data();
        r.destinationAlphaRowBytes = levels.rowBytes;
        r.partX = x0;
        r.partY = y0;
        r.partWidth = w;
        r.partHeight = h;
        ASSERT_EQ(ScalePixels(r, scratch.s), 0);
        ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
        // Targets with a border of 3 pixels around the part.
        Plane want(w + 6, h + 6, 4 * (w + 6) + 8), got(w + 6, h + 6, 4 * (w + 6) + 8);
        Fill(want, false);
        got.bytes = want.bytes;
        for (int y = 0; y < h; ++y) {
          BlendRow32(planes.row(y), levels.row(y), want.row(y + 3) + 12, w);
        }
        r.destination = nullptr;
        r.destinationAlpha = nullptr;
        ASSERT_EQ(ScaleOnto(r, scratch.s, got.row(3) + 12, got.rowBytes), 0);
        for (int y = 0; y < want.height; ++y) {
          for (int x = 0; x < want.width; ++x) {
            ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << x << "," << y;
          }
        }
      }
    }
  }
  // A request without an alpha channel does nothing; a part outside is refused.
  Plane src(4, 4, 16), target(4, 4, 16);
  ScaleRequest r = PixelRequest(src, target, true);
  EXPECT_EQ(ScaleOnto(r, scratch.s, target.bytes.data(), target.rowBytes), 0);
  Plane alpha(4, 4, 4);
  r.sourceAlpha = alpha.bytes.data();
  r.sourceAlphaRowBytes = alpha.rowBytes;
  r.partX = 2;
  r.partWidth = 3;
  r.partHeight = 1;
  EXPECT_EQ(ScaleOnto(r, scratch.s, target.bytes.data(), target.rowBytes), kErrRange);
}

// --- Each row kernel, whichever the engine picks on this machine ---

// Fractions where the signed-lane arithmetic changes sides, and random ones.
int KernelFraction(int i) {
  static const int kEdges[] = {0, 1, 255, 32767, 32768, 32769, 65534, 65535};
  if (i % 3 != 0) return kEdges[i % 8];
  return std::uniform_int_distribution<int>(0, 65535)(Random());
}

// A sorted random axis over a row `width` wide whose last `count / tail`
// entries sit on the last source pixel, with kernel fractions and weights.
struct RandomAxis {
  std::vector<int32_t> index, fraction;
  std::vector<uint64_t> weights;
  ScaleAxis axis;
  RandomAxis(int count, int width, int tail) : index(count), fraction(count), weights(count) {
    std::uniform_int_distribution<int> column(0, width - 2);
    for (int i = 0; i < count; ++i) index[i] = column(Random());
    std::sort(index.begin(), index.end());
    const int interior = count - count / tail;
    for (int i = 0; i < count; ++i) {
      if (i >= interior) index[i] = width - 1;
      fraction[i] = KernelFraction(i);
      weights[i] = FractionWeight(fraction[i]);
    }
    axis = ScaleAxis{index.data(), fraction.data(), weights.data(), count, width - 1, interior};
  }
};

TEST(GraphicsScaling, PixelRowKernelsAgreeWithTheFormula) {
  using Kernel = void (*)(const uint8_t*, const ScaleAxis&, uint8_t*);
  std::vector<Kernel> kernels = {InterpolatePixelRow};
  if (HasAvx2()) kernels.push_back(InterpolatePixelRowAvx2);
  for (bool extremes : {false, true}) {
    Plane row(61, 1, 4 * 61);
    Fill(row, extremes);
    for (int count : {1, 3, 4, 7, 8, 9, 16, 31, 64, 77}) {
      const RandomAxis random(count, row.width, 5);
      const ScaleAxis& axis = random.axis;
      const std::vector<int32_t>& index = random.index;
      const std::vector<int32_t>& fraction = random.fraction;
      for (size_t k = 0; k < kernels.size(); ++k) {
        std::vector<uint8_t> out(4 * count);
        kernels[k](row.bytes.data(), axis, out.data());
        for (int i = 0; i < count; ++i) {
          const int x = index[i], x1 = std::min(x + 1, row.width - 1);
          for (int c = 0; c < 4; ++c) {
            ASSERT_EQ(out[4 * i + c],
                      RefLerp(row.row(0)[4 * x + c], row.row(0)[4 * x1 + c], fraction[i]))
                << "kernel " << k << ", " << count << " pixels, pixel " << i << " channel " << c;
          }
        }
      }
    }
  }
}

TEST(GraphicsScaling, AlphaRowKernelsAgreeWithTheFormula) {
  using Kernel = void (*)(const uint8_t*, const ScaleAxis&, uint8_t*);
  std::vector<Kernel> kernels = {InterpolateAlphaRow};
  if (HasAvx2()) kernels.push_back(InterpolateAlphaRowAvx2);
  for (bool extremes : {false, true}) {
    Plane row(61, 1, 61);
    Fill(row, extremes);
    for (int count : {1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 77}) {
      const RandomAxis random(count, row.width, 5);
      const ScaleAxis& axis = random.axis;
      const std::vector<int32_t>& index = random.index;
      const std::vector<int32_t>& fraction = random.fraction;
      for (size_t k = 0; k < kernels.size(); ++k) {
        std::vector<uint8_t> out(count);
        kernels[k](row.bytes.data(), axis, out.data());
        for (int i = 0; i < count; ++i) {
          const int x = index[i], x1 = std::min(x + 1, row.width - 1);
          ASSERT_EQ(out[i], RefLerp(row.bytes[x], row.bytes[x1], fraction[i]))
              << "kernel " << k << ", " << count << " values, value " << i;
        }
      }
    }
  }
}

TEST(GraphicsScaling, BlendKernelsAgreeWithTheFormula) {
  using Kernel = void (*)(const uint8_t*, const uint8_t*, int, uint8_t*, size_t);
  std::vector<Kernel> kernels = {BlendRows};
  if (HasAvx2()) kernels.push_back(BlendRowsAvx2);
  for (bool extremes : {false, true}) {
    Plane rows(100, 2, 100);
    Fill(rows, extremes);
    for (int i = 0; i < 24; ++i) {
      const int f = KernelFraction(i);
      for (size_t count : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 100u}) {
        for (size_t k = 0; k < kernels.size(); ++k) {
          std::vector<uint8_t> out(count);
          kernels[k](rows.row(0), rows.row(1), f, out.data(), count);
          for (size_t n = 0; n < count; ++n) {
            ASSERT_EQ(out[n], RefLerp(rows.row(0)[n], rows.row(1)[n], f))
                << "kernel " << k << ", fraction " << f << ", byte " << n << " of " << count;
          }
        }
      }
    }
  }
}

// The fused kernel against the kernels it stands for: colour and alpha rows blended down, then
// the colour blended onto the target by the alpha.
TEST(GraphicsScaling, BlendOntoKernelsAgreeWithBlendingThePlanes) {
  using Kernel = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, int,
                          uint8_t*, int32_t);
  std::vector<Kernel> kernels = {BlendRowsOnto};
  if (HasAvx2()) kernels.push_back(BlendRowsOntoAvx2);
  for (bool extremes : {false, true}) {
    Plane colour(300, 2, 1200), alpha(300, 2, 300), under(300, 1, 1200);
    Fill(colour, extremes);
    Fill(alpha, extremes);
    Fill(under, false);
    // Runs of clear and opaque pixels, which the kernels may skip or copy.
    for (int y = 0; y < 2; ++y) {
      std::fill(alpha.row(y) + 40, alpha.row(y) + 56, 0);
      std::fill(alpha.row(y) + 64, alpha.row(y) + 80, 255);
    }
    for (int i = 0; i < 24; ++i) {
      const int f = KernelFraction(i);
      for (int count : {1, 7, 8, 9, 31, 100, 257, 300}) {
        std::vector<uint8_t> blended(4 * count), levels(count);
        BlendRows(colour.row(0), colour.row(1), f, blended.data(), blended.size());
        BlendRows(alpha.row(0), alpha.row(1), f, levels.data(), levels.size());
        std::vector<uint8_t> want(under.bytes.begin(), under.bytes.begin() + 4 * count);
        for (int n = 0; n < count; ++n) {
          for (int c = 0; c < 4; ++c) {
            const uint32_t a = levels[n];
            want[4 * n + c] = static_cast<uint8_t>(
                DivideBy255(blended[4 * n + c] * a + want[4 * n + c] * (255 - a)));
          }
        }
        for (size_t k = 0; k < kernels.size(); ++k) {
          std::vector<uint8_t> got(under.bytes.begin(), under.bytes.begin() + 4 * count);
          kernels[k](colour.row(0), colour.row(1), alpha.row(0), alpha.row(1), f, got.data(),
                     count);
          ASSERT_EQ(got, want) << "kernel " << k << ", fraction " << f << ", " << count
                               << " pixels";
        }
      }
    }
  }
}

// Pixels made from two source rows straight onto the target, against interpolating the rows
// across, then blending them down and onto the target; the last columns sit on the last source
// pixel.
TEST(GraphicsScaling, OntoKernelsAgreeWithTheRowKernels) {
  using Kernel = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                          const ScaleAxis&, int, uint8_t*);
  std::vector<Kernel> kernels = {InterpolateOnto};
  if (HasAvx2()) kernels.push_back(InterpolateOntoAvx2);
  for (bool extremes : {false, true}) {
    Plane colour(301, 2, 4 * 301), alpha(301, 2, 301), under(200, 1, 800);
    Fill(colour, extremes);
    Fill(alpha, extremes);
    Fill(under, false);
    // Clear and opaque stretches, which the kernels may skip or copy.
    for (int y = 0; y < 2; ++y) {
      std::fill(alpha.row(y) + 20, alpha.row(y) + 60, 0);
      std::fill(alpha.row(y) + 80, alpha.row(y) + 120, 255);
    }
    for (int count : {1, 7, 8, 9, 17, 64, 131, 200}) {
      const RandomAxis random(count, colour.width, 7);
      const ScaleAxis& axis = random.axis;
      std::vector<uint8_t> across(8 * count), levels(2 * count);
      InterpolatePixelRow(colour.row(0), axis, across.data());
      InterpolatePixelRow(colour.row(1), axis, across.data() + 4 * count);
      InterpolateAlphaRow(alpha.row(0), axis, levels.data());
      InterpolateAlphaRow(alpha.row(1), axis, levels.data() + count);
      for (int i = 0; i < 8; ++i) {
        const int f = KernelFraction(i);
        std::vector<uint8_t> want(under.bytes.begin(), under.bytes.begin() + 4 * count);
        BlendRowsOnto(across.data(), across.data() + 4 * count, levels.data(),
                      levels.data() + count, f, want.data(), count);
        for (size_t k = 0; k < kernels.size(); ++k) {
          std::vector<uint8_t> got(under.bytes.begin(), under.bytes.begin() + 4 * count);
          kernels[k](colour.row(0), colour.row(1), alpha.row(0), alpha.row(1), axis, f, got.data());
          ASSERT_EQ(got, want) << "kernel " << k << ", fraction " << f << ", " << count
                               << " pixels";
        }
      }
    }
  }
}

// --- Reads stay inside the source ---

// Bytes placed so that the last one is followed by an inaccessible page.
class GuardedBytes {
 public:
  explicit GuardedBytes(size_t size) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    pages_ = (size + page - 1) / page * page + page;
    base_ = static_cast<uint8_t*>(
        mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(base_ + pages_ - page, page, PROT_NONE);
    data_ = base_ + pages_ - page - size;
  }
  ~GuardedBytes() { munmap(base_, pages_); }
  uint8_t* data() const { return data_; }

 private:
  uint8_t* base_;
  uint8_t* data_;
  size_t pages_;
};

TEST(GraphicsScaling, NeverReadsPastTheLastSourceRowOrColumn) {
  Scratch scratch;
  for (const Sizes& z : {Sizes{5, 3, 17, 11}, Sizes{9, 7, 4, 3}, Sizes{1, 1, 6, 6},
                         Sizes{3, 1, 9, 8194}, Sizes{1, 1, 1, 8194}}) {
    GuardedBytes pixels(4u * z.sw * z.sh), alpha(static_cast<size_t>(z.sw) * z.sh),
        mask((z.sw + 7u) / 8 * z.sh);
    std::memset(pixels.data(), 0x5A, 4u * z.sw * z.sh);
    std::memset(alpha.data(), 0x33, static_cast<size_t>(z.sw) * z.sh);
    std::memset(mask.data(), 0xFF, (z.sw + 7u) / 8 * z.sh);
    std::vector<uint8_t> dst(4u * z.dw * z.dh), dstAlpha(static_cast<size_t>(z.dw) * z.dh),
        dstMask((z.dw + 7u) / 8 * z.dh);
    ScaleRequest r;
    r.source = pixels.data();
    r.sourceRowBytes = 4 * z.sw;
    r.destination = dst.data();
    r.destinationRowBytes = 4 * z.dw;
    r.sourceAlpha = alpha.data();
    r.sourceAlphaRowBytes = z.sw;
    r.destinationAlpha = dstAlpha.data();
    r.destinationAlphaRowBytes = z.dw;
    r.sourceMask = mask.data();
    r.sourceMaskRowBytes = (z.sw + 7) / 8;
    r.destinationMask = dstMask.data();
    r.destinationMaskRowBytes = (z.dw + 7) / 8;
    r.sourceWidth = z.sw;
    r.sourceHeight = z.sh;
    r.destinationWidth = z.dw;
    r.destinationHeight = z.dh;
    for (bool smooth : {false, true}) {
      r.smooth = smooth;
      ASSERT_EQ(ScalePixels(r, scratch.s), 0);
      ASSERT_EQ(ScaleAlpha(r, scratch.s), 0);
      ASSERT_EQ(ScaleMask(r, scratch.s), 0);
      // Uniform sources scale to the same values, the last destination row included.
      const size_t last = dst.size() - 4;
      EXPECT_EQ(dst[last], 0x5A);
      EXPECT_EQ(dstAlpha.back(), 0x33);
      EXPECT_EQ(dstMask.back() >> 7, 1);
    }
  }
}

}  // namespace
}  // namespace tzx::graphics
