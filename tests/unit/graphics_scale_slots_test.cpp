// The scaling slots on bitmap handles and raw blocks: what they allocate,
// which planes they scale how, their error codes, and that a failure leaves
// the set as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/src/bitmaps.h"
#include "graphics/src/pixel_formats.h"
#include "graphics/src/scale_bitmap.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {
namespace {

using testing::Paint;

class ScaleSlots : public testing::GraphicsTest {
 protected:
  void TearDown() override {
    for (BitmapHandle* b : {color_, mask_, alpha_, index_}) FreeBitmap(b);
    GraphicsTest::TearDown();
  }
  BitmapHandle* color_ = nullptr;
  BitmapHandle* mask_ = nullptr;
  BitmapHandle* alpha_ = nullptr;
  BitmapHandle* index_ = nullptr;
};

// The Part's case at the slot: rows (black, white) smoothly to three columns.
TEST_F(ScaleSlots, ScaleBitmapReplacesEveryPlane) {
  color_ = AllocBitmap(2, 2, 0, nullptr);
  mask_ = AllocMask(nullptr, 2, 2, 0, nullptr, 0);
  alpha_ = AllocAlpha(2, 2, 0, nullptr, 0);
  Paint(color_, [](int x, int) { return x ? 0xFFFFFFu : 0u; });
  Paint(mask_, [](int x, int) { return static_cast<uint32_t>(x); });
  Paint(alpha_, [](int x, int) { return x ? 255u : 0u; });
  BitmapHandle* oldColor = color_;
  ASSERT_EQ(ScaleBitmap(&color_, &mask_, &alpha_, nullptr, 2, 2, 3, 2, 1), 0);
  EXPECT_NE(color_, oldColor);
  EXPECT_EQ(color_->width, 3);
  EXPECT_EQ(mask_->width, 3);
  EXPECT_EQ(alpha_->height, 2);
  EXPECT_EQ(ReadPixel(color_, 1, 0, 0), 0x7F7F7Fu);
  EXPECT_EQ(ReadPixel(color_, 2, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(ReadPixel(alpha_, 1, 1, 0), 127u);  // alpha blends like a channel
  // The mask takes the bit at the integer position: 32768 >> 16 is column 0.
  EXPECT_EQ(ReadPixel(mask_, 1, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(mask_, 2, 0, 0), 1u);
}

TEST_F(ScaleSlots, PlainColumnsAndPensAreNeverBlended) {
  index_ = AllocIndexBitmap(4, 1, 1);
  color_ = AllocBitmap(4, 1, 0, nullptr);
  Paint(index_, [](int x, int) { return static_cast<uint32_t>(10 + x); });
  Paint(color_, [](int x, int) { return static_cast<uint32_t>(x * 0x10); });
  ASSERT_EQ(ScaleBitmap(&color_, nullptr, nullptr, &index_, 4, 1, 2, 1, 0), 0);
  EXPECT_EQ(ReadPixel(color_, 0, 0, 0), 0x00u);
  EXPECT_EQ(ReadPixel(color_, 1, 0, 0), 0x20u);  // columns 0 and 2
  EXPECT_EQ(ReadPixel(index_, 1, 0, 0), 12u);
  ASSERT_EQ(ScaleBitmap(&color_, nullptr, nullptr, &index_, 2, 1, 4, 1, 1), 0);
  // Pens are picked even in smooth mode.
  for (int x = 0; x < 4; ++x) {
    const uint32_t pen = ReadPixel(index_, x, 0, 0);
    EXPECT_TRUE(pen == 10 || pen == 12) << pen;
  }
  EXPECT_EQ(ReadPixel(color_, 1, 0, 0), 0x0Au);  // 0x00 to 0x20 a third of the way
}

TEST_F(ScaleSlots, KeepsThePixelFormat) {
  // A 16-bit bitmap scales through 32-bit copies and stays 16-bit.
  color_ = AllocBitmapOfFormat(2, 1, kFormatRgb16);
  WritePixel(color_, 0, 0, 0x000000, 0);
  WritePixel(color_, 1, 0, 0xF8FCF8, 0);
  ASSERT_EQ(ScaleBitmap(&color_, nullptr, nullptr, nullptr, 2, 1, 3, 1, 1), 0);
  EXPECT_EQ(GetBitmapAttr(color_, kAttrFormat), kFormatRgb16);
  EXPECT_EQ(ReadPixel(color_, 2, 0, 0), 0xF8FCF8u);
  EXPECT_EQ(ReadPixel(color_, 1, 0, 0), 0x787C78u);  // 0x7C, 0x7E, 0x7C in 5-6-5
}

TEST_F(ScaleSlots, ErrorsLeaveTheSetUnchanged) {
  color_ = AllocBitmap(4, 4, 0, nullptr);
  alpha_ = AllocAlpha(2, 2, 0, nullptr, 0);
  BitmapHandle* before = color_;
  // The alpha channel is smaller than the part to scale.
  EXPECT_EQ(ScaleBitmap(&color_, nullptr, &alpha_, nullptr, 4, 4, 8, 8, 0), kErrRange);
  EXPECT_EQ(color_, before);
  EXPECT_EQ(ScaleBitmap(&color_, nullptr, nullptr, nullptr, 0, 4, 8, 8, 0), kErrRange);
  // Planes swapped into the wrong pointers.
  EXPECT_EQ(ScaleBitmap(&alpha_, nullptr, nullptr, nullptr, 2, 2, 8, 8, 0), kErrRange);
  // A destination below one pixel is no work.
  EXPECT_EQ(ScaleBitmap(&color_, nullptr, nullptr, nullptr, 4, 4, 0, 8, 0), 0);
  EXPECT_EQ(color_, before);
  // Sizes no bitmap can have: the colour bitmap's allocation fails first.
  EXPECT_EQ(ScaleBitmap(&color_, nullptr, nullptr, nullptr, 4, 4, 1 << 21, 1, 0), kErrAllocBitmap);
  FreeBitmap(alpha_);
  alpha_ = nullptr;
  mask_ = AllocMask(nullptr, 4, 4, 0, nullptr, 0);
  EXPECT_EQ(ScaleBitmap(&color_, &mask_, nullptr, nullptr, 4, 4, 1 << 21, 1, 0), kErrAllocBitmap);
  EXPECT_EQ(ScaleBitmap(nullptr, &mask_, nullptr, nullptr, 4, 4, 1 << 21, 1, 0), kErrAllocMask);
  alpha_ = AllocAlpha(4, 4, 0, nullptr, 0);
  EXPECT_EQ(ScaleBitmap(nullptr, nullptr, &alpha_, nullptr, 4, 4, 1 << 21, 1, 0), kErrAllocAlpha);
  index_ = AllocIndexBitmap(4, 4, 1);
  EXPECT_EQ(ScaleBitmap(nullptr, nullptr, nullptr, &index_, 4, 4, 1 << 21, 1, 0),
            kErrAllocIndexBitmap);
  EXPECT_EQ(color_, before);
  // A handle without pixels cannot be opened.
  BitmapHandle empty{kKindColor, nullptr, 4, 4, 0, 0, 0};
  BitmapHandle* hollow = &empty;
  EXPECT_EQ(ScaleBitmap(&hollow, nullptr, nullptr, nullptr, 4, 4, 2, 2, 0), kErrLockBitmap);
}

TEST_F(ScaleSlots, ScalesOnlyTheTopLeftPart) {
  color_ = AllocBitmap(4, 2, 0, nullptr);
  Paint(color_, [](int x, int y) { return static_cast<uint32_t>(x + 16 * y); });
  ASSERT_EQ(ScaleBitmap(&color_, nullptr, nullptr, nullptr, 2, 1, 4, 2, 0), 0);
  EXPECT_EQ(ReadPixel(color_, 3, 1, 0), 1u);  // never beyond the 2 × 1 part
}

TEST_F(ScaleSlots, SinglePlanes) {
  mask_ = AllocMask(nullptr, 3, 1, 0, nullptr, 0);
  Paint(mask_, [](int x, int) { return x == 1 ? 1u : 0u; });
  ASSERT_EQ(ScaleAlphaOrMask(&mask_, 6, 2, 0), 0);
  EXPECT_EQ(mask_->kind, kKindMask);
  EXPECT_EQ(ReadPixel(mask_, 2, 1, 0), 1u);
  EXPECT_EQ(ReadPixel(mask_, 3, 1, 0), 1u);
  EXPECT_EQ(ReadPixel(mask_, 4, 0, 0), 0u);
  alpha_ = AllocAlpha(2, 1, 0, nullptr, 0);
  Paint(alpha_, [](int x, int) { return x ? 200u : 0u; });
  ASSERT_EQ(ScaleAlphaOrMask(&alpha_, 3, 1, 1), 0);
  EXPECT_EQ(ReadPixel(alpha_, 1, 0, 0), 100u);
  color_ = AllocBitmap(2, 2, 0, nullptr);
  EXPECT_EQ(ScaleAlphaOrMask(&color_, 3, 3, 0), kErrRange);
  EXPECT_EQ(ScaleAlphaOrMask(nullptr, 3, 3, 0), kErrRange);
}

TEST_F(ScaleSlots, RawBlocks) {
  const std::vector<uint32_t> source = {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF};
  const auto* bytes = reinterpret_cast<const uint8_t*>(source.data());
  uint8_t* made = nullptr;
  ASSERT_EQ(ScaleRawPixelsTo(bytes, 8, kFormatArgb32, 2, 2, &made, 3, 1, 1), 0);
  ASSERT_NE(made, nullptr);
  uint32_t row[3];
  std::memcpy(row, made, sizeof row);
  EXPECT_EQ(row[1], 0xFF7F7F7Fu);
  HostFree(made);
  // Into a given buffer, with its own row length.
  std::vector<uint32_t> target(2 * 5, 0xDEADBEEF);
  ASSERT_EQ(ScaleRawPixels(bytes, 8, reinterpret_cast<uint8_t*>(target.data()), 20, kFormatArgb32,
                           2, 2, 4, 2, 0),
            0);
  EXPECT_EQ(target[1], 0xFF000000u);
  EXPECT_EQ(target[2], 0xFFFFFFFFu);
  EXPECT_EQ(target[4], 0xDEADBEEFu);  // row padding untouched
  // 24-bit pixels have three bytes each.
  const uint8_t rgb[6] = {0, 0, 0, 0xFE, 0xFE, 0xFE};
  made = nullptr;
  ASSERT_EQ(ScaleRawPixelsTo(rgb, 6, kFormatRgb24, 2, 1, &made, 3, 1, 1), 0);
  EXPECT_EQ(made[3], 0x7F);
  EXPECT_EQ(made[8], 0xFE);
  HostFree(made);
  made = nullptr;
  EXPECT_EQ(ScaleRawPixelsTo(bytes, 8, 99, 2, 2, &made, 3, 1, 1), kErrRange);
  EXPECT_EQ(ScaleRawPixels(nullptr, 8, made, 12, kFormatArgb32, 2, 2, 3, 1, 1), kErrRange);
  EXPECT_EQ(ScaleRawPixelsTo(bytes, 8, kFormatArgb32, 2, 2, &made, 0, 1, 1), 0);
  EXPECT_EQ(made, nullptr);
}

// Bytes (pens, one channel) in padded rows scale as grey pixels would, in
// both modes, and the padding stays as it was.
TEST_F(ScaleSlots, BytesScaleLikeGreyPixels) {
  const int w = 5, h = 3, row = 8, newW = 7, newH = 4, newRow = 9;
  std::vector<uint8_t> source(row * h, 0xEE);
  std::vector<uint32_t> grey(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t v = static_cast<uint8_t>((x * 97 + y * 61) % 256);
      source[y * row + x] = v;
      grey[y * w + x] = v * 0x010101u;
    }
  }
  for (int smooth : {0, 1}) {
    std::vector<uint8_t> target(newRow * newH, 0xAB);
    std::vector<uint32_t> wide(newW * newH);
    ASSERT_EQ(ScaleRawPixels(source.data(), row, target.data(), newRow, kFormatByte, w, h, newW,
                             newH, smooth),
              0);
    ASSERT_EQ(ScaleRawPixels(reinterpret_cast<const uint8_t*>(grey.data()), w * 4,
                             reinterpret_cast<uint8_t*>(wide.data()), newW * 4, kFormatArgb32, w, h,
                             newW, newH, smooth),
              0);
    for (int y = 0; y < newH; ++y) {
      for (int x = 0; x < newW; ++x) {
        EXPECT_EQ(target[y * newRow + x], wide[y * newW + x] & 0xFF) << x << "," << y;
      }
      for (int x = newW; x < newRow; ++x) EXPECT_EQ(target[y * newRow + x], 0xAB);
    }
  }
}

}  // namespace
}  // namespace tzx::graphics
