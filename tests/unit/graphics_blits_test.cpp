// The blit family: plain, converting, masked, alpha and keyed copies, fills,
// text blits and channel operations, each clipped at the edges.
#include <gtest/gtest.h>

#include "graphics/src/blits.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::ColorBitmap;
using testing::GraphicsTest;
using testing::Paint;

class GraphicsBlits : public GraphicsTest {};

uint32_t Pattern(int x, int y) {
  return static_cast<uint32_t>((x * 30) << 16 | (y * 30) << 8 | (x + y) * 8);
}

// The reference blend: round((s·a + d·(255 - a)) / 255) per channel.
uint32_t Blend(uint32_t s, uint32_t d, uint32_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t cs = (s >> shift) & 255, cd = (d >> shift) & 255;
    out |= ((cs * a + cd * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

TEST_F(GraphicsBlits, PlainBlitClipsAtEveryEdge) {
  Bitmap source = ColorBitmap(8, 6);
  Bitmap target = ColorBitmap(5, 5);
  Paint(source.get(), Pattern);
  Paint(target.get(), [](int, int) { return 0x010101u; });
  ASSERT_EQ(BlitBitmap(source.get(), 1, 1, target.get(), -2, 3, 8, 8), 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      // Target (x, y) came from source (x + 3, y - 2) where both exist.
      bool copied = y >= 3 && x + 3 < 8;
      EXPECT_EQ(ReadPixel(target.get(), x, y, 0), copied ? Pattern(x + 3, y - 2) : 0x010101u)
          << x << "," << y;
    }
  }
  // Wholly outside: nothing happens and nothing fails.
  EXPECT_EQ(BlitBitmap(source.get(), 0, 0, target.get(), 5, 0, 3, 3), 0);
  EXPECT_EQ(BlitBitmap(source.get(), 8, 0, target.get(), 0, 0, 3, 3), 0);
}

TEST_F(GraphicsBlits, BlitConvertsBetweenFormats) {
  Bitmap source = ColorBitmap(7, 3);
  Paint(source.get(), [](int x, int y) { return 0x00F08810u + x * 8 + y * 0x0800; });
  for (int format = 0; format < 14; ++format) {
    Bitmap middle = ColorBitmap(7, 3, format);
    Bitmap back = ColorBitmap(7, 3);
    ASSERT_EQ(BlitBitmap(source.get(), 0, 0, middle.get(), 0, 0, 7, 3), 0);
    ASSERT_EQ(BlitBitmap(middle.get(), 0, 0, back.get(), 0, 0, 7, 3), 0);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 7; ++x) {
        uint32_t expected = 0x00F08810u + x * 8 + y * 0x0800;
        // Green keeps 5 bits in the 15-bit formats.
        if (format < 4) expected &= 0xF8F8F8;
        if (format >= 4 && format < 8) expected &= 0xF8FCF8;
        EXPECT_EQ(ReadPixel(back.get(), x, y, 0), expected) << format;
      }
    }
  }
}

// Widths that need no row padding copy as one run; the rows must still land
// right in a target of another format.
TEST_F(GraphicsBlits, UnpaddedBitmapsCopyWhole) {
  Bitmap source = ColorBitmap(8, 3);
  Paint(source.get(), Pattern);
  for (int format : {kFormatArgb32, kFormatRgb24, kFormatBgr16}) {
    Bitmap target = ColorBitmap(8, 3, format);
    ASSERT_EQ(BlitBitmap(source.get(), 0, 0, target.get(), 0, 0, 8, 3), 0);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 8; ++x) {
        uint32_t expected = format == kFormatBgr16 ? Pattern(x, y) & 0xF8FCF8 : Pattern(x, y);
        EXPECT_EQ(ReadPixel(target.get(), x, y, 0), expected) << format << ": " << x << "," << y;
      }
    }
  }
}

TEST_F(GraphicsBlits, BlitRefusesWrongKindsAndMissingBitmaps) {
  Bitmap color = ColorBitmap(2, 2);
  Bitmap alpha = testing::AlphaPlane(2, 2);
  EXPECT_EQ(BlitBitmap(nullptr, 0, 0, color.get(), 0, 0, 1, 1), kErrLockBitmap);
  EXPECT_EQ(BlitBitmap(alpha.get(), 0, 0, color.get(), 0, 0, 1, 1), kErrRange);
  EXPECT_EQ(CopyBitmapPixels(alpha.get(), 0, 0, color.get(), 0, 0, 1, 1), kErrRange);
  EXPECT_EQ(BlitBitmapMasked(color.get(), alpha.get(), 0, 0, color.get(), 0, 0, 1, 1), kErrRange);
}

TEST_F(GraphicsBlits, MaskedBlitCopiesOnlyVisiblePixels) {
  for (int targetFormat : {kFormatArgb32, kFormatRgb16}) {
    Bitmap source = ColorBitmap(19, 2);
    Bitmap mask = testing::MaskPlane(19, 2);
    Bitmap target = ColorBitmap(19, 2, targetFormat);
    Paint(source.get(), [](int, int) { return 0xF8FCF8u; });
    Paint(mask.get(), [](int x, int y) { return static_cast<uint32_t>((x + y) % 3 == 0); });
    ASSERT_EQ(BlitBitmapMasked(source.get(), mask.get(), 2, 0, target.get(), 0, 0, 19, 2), 0);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 17; ++x) {
        bool on = (x + 2 + y) % 3 == 0;  // the mask is read at the source position
        EXPECT_EQ(ReadPixel(target.get(), x, y, 0), on ? 0xF8FCF8u : 0u) << x;
      }
      EXPECT_EQ(ReadPixel(target.get(), 17, y, 0), 0u);  // beyond the source
    }
  }
}

TEST_F(GraphicsBlits, AlphaBlitMatchesTheReferenceBlend) {
  // 256 columns hold every alpha; odd widths reach the scalar tail.
  for (int width : {256, 259}) {
    Bitmap source = ColorBitmap(width, 2);
    Bitmap alpha = testing::AlphaPlane(width, 2);
    Bitmap target = ColorBitmap(width, 2);
    auto s = [](int x, int y) { return static_cast<uint32_t>(0x00FF8000 + x * 3 + y); };
    auto d = [](int x, int y) { return static_cast<uint32_t>(0x000080FF - x - y * 7); };
    Paint(source.get(), s);
    Paint(target.get(), d);
    Paint(alpha.get(), [](int x, int y) { return static_cast<uint32_t>((x + y) & 255); });
    ASSERT_EQ(BlitBitmapAlpha(source.get(), alpha.get(), 0, 0, target.get(), 0, 0, width, 2, 255),
              0);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < width; ++x) {
        ASSERT_EQ(ReadPixel(target.get(), x, y, 0), Blend(s(x, y), d(x, y), (x + y) & 255))
            << width << ": " << x << "," << y;
      }
    }
  }
}

TEST_F(GraphicsBlits, AlphaBlitLevelsAndFormats) {
  Bitmap source = ColorBitmap(9, 1);
  Bitmap alpha = testing::AlphaPlane(9, 1);
  Paint(source.get(), [](int, int) { return 0xFFFFFFu; });
  Paint(alpha.get(), [](int, int) { return 255u; });
  // Level 128 halves an opaque source.
  Bitmap target = ColorBitmap(9, 1);
  ASSERT_EQ(BlitBitmapAlpha(source.get(), alpha.get(), 0, 0, target.get(), 0, 0, 9, 1, 128), 0);
  EXPECT_EQ(ReadPixel(target.get(), 4, 0, 0), 0x808080u);
  // Without a channel the level alone decides; level 0 draws nothing.
  Bitmap plain = ColorBitmap(9, 1);
  ASSERT_EQ(BlitBitmapAlpha(source.get(), nullptr, 0, 0, plain.get(), 0, 0, 9, 1, 255), 0);
  EXPECT_EQ(ReadPixel(plain.get(), 8, 0, 0), 0xFFFFFFu);
  Bitmap untouched = ColorBitmap(9, 1);
  ASSERT_EQ(BlitBitmapAlpha(source.get(), nullptr, 0, 0, untouched.get(), 0, 0, 9, 1, 0), 0);
  EXPECT_EQ(ReadPixel(untouched.get(), 0, 0, 0), 0u);
  // Into a 16-bit target through 0xAARRGGBB.
  Bitmap rgb16 = ColorBitmap(9, 1, kFormatRgb16);
  Paint(alpha.get(), [](int x, int) { return x == 3 ? 0u : 255u; });
  ASSERT_EQ(BlitBitmapAlpha(source.get(), alpha.get(), 0, 0, rgb16.get(), 0, 0, 9, 1, 255), 0);
  EXPECT_EQ(ReadPixel(rgb16.get(), 2, 0, 0), 0xF8FCF8u);
  EXPECT_EQ(ReadPixel(rgb16.get(), 3, 0, 0), 0u);
}

TEST_F(GraphicsBlits, AlphaToAlpha) {
  Bitmap source = testing::AlphaPlane(4, 1);
  Bitmap target = testing::AlphaPlane(4, 1);
  Paint(source.get(), [](int x, int) { return static_cast<uint32_t>(x * 80); });
  Paint(target.get(), [](int, int) { return 128u; });
  ASSERT_EQ(BlitAlphaToAlpha(source.get(), 0, 0, target.get(), 0, 0, 4, 1, kAlphaOver), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 128u);
  EXPECT_EQ(ReadPixel(target.get(), 1, 0, 0), 80u + (128u * 175 + 127) / 255);
  EXPECT_EQ(ReadPixel(target.get(), 3, 0, 0), 240u + (128u * 15 + 127) / 255);
  ASSERT_EQ(BlitAlphaToAlpha(source.get(), 1, 0, target.get(), 0, 0, 4, 1, kAlphaCopy), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 80u);
  EXPECT_EQ(ReadPixel(target.get(), 2, 0, 0), 240u);
  EXPECT_EQ(ReadPixel(target.get(), 3, 0, 0), 248u);  // beyond the source: as blended
}

TEST_F(GraphicsBlits, TransparentColorIsSkipped) {
  Bitmap source = ColorBitmap(4, 1);
  Bitmap target = ColorBitmap(4, 1);
  Paint(source.get(), [](int x, int) { return x % 2 ? 0xFF00FFu : 0x112233u; });
  Paint(target.get(), [](int, int) { return 0x445566u; });
  // Alpha bits of the key play no part.
  ASSERT_EQ(BlitBitmapTransparent(source.get(), 0, 0, target.get(), 0, 0, 4, 1, 0x80FF00FF), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 0x112233u);
  EXPECT_EQ(ReadPixel(target.get(), 1, 0, 0), 0x445566u);
  ASSERT_EQ(BlitBitmapTransparent(source.get(), 0, 0, target.get(), 0, 0, 4, 1, 0xFFFFFFFF), 0);
  EXPECT_EQ(ReadPixel(target.get(), 1, 0, 0), 0xFF00FFu);
}

TEST_F(GraphicsBlits, FillsOfEveryKind) {
  Bitmap color = ColorBitmap(5, 4, kFormatRgb24);
  ASSERT_EQ(FillBitmapRect(color.get(), -1, 2, 3, 9, 0x123456), 0);
  EXPECT_EQ(ReadPixel(color.get(), 0, 3, 0), 0x123456u);
  EXPECT_EQ(ReadPixel(color.get(), 1, 2, 0), 0x123456u);
  EXPECT_EQ(ReadPixel(color.get(), 2, 2, 0), 0u);
  EXPECT_EQ(ReadPixel(color.get(), 0, 1, 0), 0u);

  Bitmap mask = testing::MaskPlane(40, 2);
  ASSERT_EQ(FillBitmapRect(mask.get(), 3, 1, 30, 1, 1), 0);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(ReadPixel(mask.get(), x, 1, 0), x >= 3 && x < 33) << x;
  EXPECT_EQ(ReadPixel(mask.get(), 5, 0, 0), 0u);
  ASSERT_EQ(FillBitmapRect(mask.get(), 10, 1, 5, 1, 0), 0);
  EXPECT_EQ(ReadPixel(mask.get(), 12, 1, 0), 0u);

  Bitmap alpha = testing::AlphaPlane(3, 3);
  ASSERT_EQ(FillBitmapRect(alpha.get(), 1, 1, 5, 5, 0x1C8), 0);
  EXPECT_EQ(ReadPixel(alpha.get(), 2, 2, 0), 0xC8u);
  EXPECT_EQ(ReadPixel(alpha.get(), 0, 0, 0), 0u);
  EXPECT_EQ(FillBitmapRect(nullptr, 0, 0, 1, 1, 0), kErrLockBitmap);
}

TEST_F(GraphicsBlits, ColourThroughCoverage) {
  Bitmap coverage = testing::AlphaPlane(3, 1);
  Paint(coverage.get(), [](int x, int) { return static_cast<uint32_t>(x * 127); });
  Bitmap color = ColorBitmap(3, 1);
  ASSERT_EQ(FillAlphaRect(coverage.get(), 0, 0, color.get(), 0, 0, 3, 1, 0xFF00FF00, 255), 0);
  EXPECT_EQ(ReadPixel(color.get(), 0, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(color.get(), 1, 0, 0), Blend(0xFF00, 0, 127));
  EXPECT_EQ(ReadPixel(color.get(), 2, 0, 0), Blend(0xFF00, 0, 254));

  Bitmap alpha = testing::AlphaPlane(3, 1);
  ASSERT_EQ(FillAlphaRect(coverage.get(), 0, 0, alpha.get(), 0, 0, 3, 1, 0, 255), 0);
  EXPECT_EQ(ReadPixel(alpha.get(), 2, 0, 0), 254u);

  // Index and mask targets take the pen or bit where half covered.
  Bitmap index = testing::IndexPlane(3, 1);
  ASSERT_EQ(FillAlphaRect(coverage.get(), 0, 0, index.get(), 0, 0, 3, 1, 7, 255), 0);
  EXPECT_EQ(ReadPixel(index.get(), 1, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(index.get(), 2, 0, 0), 7u);
  Bitmap mask = testing::MaskPlane(3, 1);
  ASSERT_EQ(FillAlphaRect(coverage.get(), 0, 0, mask.get(), 0, 0, 3, 1, 1, 129), 0);
  EXPECT_EQ(ReadPixel(mask.get(), 2, 0, 0), 1u);  // 254 at level 129 is 128
  EXPECT_EQ(ReadPixel(mask.get(), 1, 0, 0), 0u);
  EXPECT_EQ(FillAlphaRect(color.get(), 0, 0, mask.get(), 0, 0, 3, 1, 1, 128), kErrRange);
}

TEST_F(GraphicsBlits, ColourThroughMask) {
  Bitmap mask = testing::MaskPlane(10, 1);
  Paint(mask.get(), [](int x, int) { return static_cast<uint32_t>(x >= 4); });
  Bitmap color = ColorBitmap(10, 1, kFormatBgr15);
  ASSERT_EQ(FillMaskRect(mask.get(), 2, 0, color.get(), 0, 0, 10, 1, 0xFF0000), 0);
  EXPECT_EQ(ReadPixel(color.get(), 1, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(color.get(), 2, 0, 0), 0xF80000u);
  EXPECT_EQ(ReadPixel(color.get(), 8, 0, 0), 0u);  // beyond the mask
  Bitmap index = testing::IndexPlane(10, 1);
  ASSERT_EQ(FillMaskRect(mask.get(), 0, 0, index.get(), 0, 0, 10, 1, 3), 0);
  EXPECT_EQ(ReadPixel(index.get(), 4, 0, 0), 3u);
  Bitmap target = testing::MaskPlane(10, 1);
  WritePixel(target.get(), 0, 0, 1, 0);
  ASSERT_EQ(FillMaskRect(mask.get(), 0, 0, target.get(), 0, 0, 10, 1, 1), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 1u);  // ORed, not replaced
  EXPECT_EQ(ReadPixel(target.get(), 9, 0, 0), 1u);
}

TEST_F(GraphicsBlits, BlitOrFill) {
  Bitmap source = ColorBitmap(2, 2);
  Bitmap target = ColorBitmap(2, 2);
  Paint(source.get(), [](int, int) { return 0xABCDEFu; });
  ASSERT_EQ(BlitOrFill(nullptr, 0, 0, target.get(), 0, 0, 2, 2, 0x123456), 0);
  EXPECT_EQ(ReadPixel(target.get(), 1, 1, 0), 0x123456u);
  ASSERT_EQ(BlitOrFill(source.get(), 0, 0, target.get(), 1, 0, 2, 2, 0), 0);
  EXPECT_EQ(ReadPixel(target.get(), 1, 1, 0), 0xABCDEFu);
  EXPECT_EQ(ReadPixel(target.get(), 0, 1, 0), 0x123456u);
}

TEST_F(GraphicsBlits, MaskBitsAtAnyOffset) {
  Bitmap source = testing::MaskPlane(30, 1);
  Paint(source.get(), [](int x, int) { return static_cast<uint32_t>(x % 3 == 0); });
  Bitmap target = testing::MaskPlane(30, 1);
  Paint(target.get(), [](int, int) { return 1u; });
  ASSERT_EQ(CopyBitmapPixels(source.get(), 1, 0, target.get(), 5, 0, 20, 1), 0);
  for (int x = 0; x < 30; ++x) {
    bool expected = x < 5 || x >= 25 || (x - 4) % 3 == 0;
    EXPECT_EQ(ReadPixel(target.get(), x, 0, 0), expected) << x;
  }
  ASSERT_EQ(CopyMaskToMask(source.get(), 0, 0, target.get(), 0, 0, 30, 1, kMaskOr), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 1u);
}

TEST_F(GraphicsBlits, TextBlitsUseTheGivenSizes) {
  Bitmap source = testing::AlphaPlane(8, 8);
  Bitmap target = testing::AlphaPlane(8, 8);
  Paint(source.get(), [](int, int) { return 200u; });
  // The caller's sizes (4 × 4 source, 6 × 6 target) bound the copy.
  ASSERT_EQ(BlitTextPlane(source.get(), 0, 0, target.get(), 3, 3, 8, 8, 4, 4, 6, 6, 0, 255), 0);
  EXPECT_EQ(ReadPixel(target.get(), 5, 5, 0), 200u);
  EXPECT_EQ(ReadPixel(target.get(), 6, 6, 0), 0u);
  EXPECT_EQ(ReadPixel(target.get(), 2, 3, 0), 0u);
  ASSERT_EQ(BlitTextPlane(source.get(), 0, 0, target.get(), 0, 0, 1, 1, 8, 8, 8, 8, 1, 128), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 100u);  // 200 at level 128 over 0

  Bitmap colorSource = ColorBitmap(2, 2);
  Bitmap colorTarget = ColorBitmap(2, 2);
  Paint(colorSource.get(), [](int, int) { return 0xFEFEFEu; });
  ASSERT_EQ(
      BlitTextColor(colorSource.get(), 0, 0, colorTarget.get(), 0, 0, 2, 2, 2, 2, 1, 1, 0, 255), 0);
  EXPECT_EQ(ReadPixel(colorTarget.get(), 0, 0, 0), 0xFEFEFEu);
  EXPECT_EQ(ReadPixel(colorTarget.get(), 1, 0, 0), 0u);
  ASSERT_EQ(
      BlitTextColor(colorSource.get(), 0, 0, colorTarget.get(), 1, 1, 1, 1, 2, 2, 2, 2, 1, 128), 0);
  EXPECT_EQ(ReadPixel(colorTarget.get(), 1, 1, 0), 0x7F7F7Fu);
}

TEST_F(GraphicsBlits, ScaleAlphaAndTint) {
  Bitmap alpha = testing::AlphaPlane(3, 3);
  Paint(alpha.get(), [](int, int) { return 200u; });
  ASSERT_EQ(ScaleAlpha(alpha.get(), alpha.get(), 2, 51), 0);
  EXPECT_EQ(ReadPixel(alpha.get(), 2, 1, 0), 40u);
  EXPECT_EQ(ReadPixel(alpha.get(), 2, 2, 0), 200u);  // beyond the height given

  Bitmap color = ColorBitmap(2, 1);
  Paint(color.get(), [](int, int) { return 0x000000u; });
  WritePixel(color.get(), 1, 0, 0xAB000000, 1);
  ASSERT_EQ(TintBitmap(color.get(), 0, 0, 2, 1, 0xFFFFFF, 128), 0);
  EXPECT_EQ(ReadPixel(color.get(), 0, 0, 0), 0x7F7F7Fu);
  EXPECT_EQ(ReadPixel(color.get(), 1, 0, 1) >> 24, 0xABu);  // alpha byte kept
  EXPECT_EQ(TintBitmap(alpha.get(), 0, 0, 1, 1, 0, 1), kErrLockBitmap);
}

}  // namespace
}  // namespace tzx::graphics
