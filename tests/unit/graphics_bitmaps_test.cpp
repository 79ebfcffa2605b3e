// Bitmap handles: row lengths and stores of the four kinds, borrowed pixels,
// locks, attributes and single pixels.
#include <gtest/gtest.h>

#include <vector>

#include "support/graphics_fixtures.h"
#include "tzx/frame.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::GraphicsTest;

class GraphicsBitmaps : public GraphicsTest {};

TEST_F(GraphicsBitmaps, RowLengthsOfEveryKind) {
  EXPECT_EQ(MaskRowBytes(17), 4);
  EXPECT_EQ(PlaneRowBytes(17), 20);
  EXPECT_EQ(MaskRowBytes(1), 2);
  EXPECT_EQ(MaskRowBytes(16), 2);
  EXPECT_EQ(MaskRowBytes(33), 6);
  EXPECT_EQ(ColorRowPixels(17), 20);
  EXPECT_EQ(ColorRowPixels(20), 20);

  LockRecord lock;
  Bitmap color(AllocBitmap(17, 5, 0, nullptr));
  ASSERT_TRUE(color && LockBitmap(color.get(), 0, &lock));
  EXPECT_EQ(lock.bytesPerRow, 80);
  EXPECT_EQ(lock.format, kFormatArgb32);
  EXPECT_EQ(lock.bytesPerPixel, 4);

  Bitmap alpha(AllocAlpha(17, 5, 0, nullptr, 0));
  ASSERT_TRUE(LockBitmap(alpha.get(), kLockReadOnly, &lock));
  EXPECT_EQ(lock.bytesPerRow, 20);
  EXPECT_EQ(lock.format, kFormatByte);

  Bitmap mask(AllocMask(nullptr, 17, 5, 0, nullptr, 0));
  ASSERT_TRUE(LockBitmap(mask.get(), 0, &lock));
  EXPECT_EQ(lock.bytesPerRow, 4);
  EXPECT_EQ(lock.format, kFormatMask);

  Bitmap index(AllocIndexBitmap(17, 5, 1));
  ASSERT_TRUE(LockBitmap(index.get(), 0, &lock));
  EXPECT_EQ(lock.bytesPerRow, 20);
  EXPECT_EQ(index->kind, kKindIndex);
  EXPECT_TRUE(IsIndexBitmap(index.get()));
  EXPECT_FALSE(IsIndexBitmap(alpha.get()));
}

TEST_F(GraphicsBitmaps, MaskBitsAreMostSignificantFirst) {
  uint8_t row[2] = {};
  SetMaskBit(row, 0, true);
  SetMaskBit(row, 9, true);
  EXPECT_EQ(row[0], 0x80);
  EXPECT_EQ(row[1], 0x40);
  EXPECT_TRUE(MaskBit(row, 9));
  EXPECT_FALSE(MaskBit(row, 8));
  SetMaskBit(row, 0, false);
  SetMaskBit(row, 9, true);  // setting a set bit keeps it
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[1], 0x40);
}

TEST_F(GraphicsBitmaps, ColorBitmapsTakeTheOutputFormat) {
  gOutputFormat = kFormatRgb16;
  Bitmap rgb16(AllocBitmap(3, 2, 0, nullptr));
  EXPECT_EQ(GetBitmapAttr(rgb16.get(), kAttrFormat), kFormatRgb16);
  EXPECT_EQ(GetBitmapAttr(rgb16.get(), kAttrBytesPerRow), 8);  // 4 pixels of 2 bytes
  EXPECT_EQ(GetBitmapAttr(rgb16.get(), kAttrBytesPerPixel), 2);
  gOutputFormat = kFormatRgb24;
  Bitmap rgb24(AllocBitmap(5, 2, 0, nullptr));
  EXPECT_EQ(GetBitmapAttr(rgb24.get(), kAttrBytesPerRow), 24);
  // Pens are not a colour bitmap format.
  gOutputFormat = kFormatByte;
  Bitmap fallback(AllocBitmap(5, 2, 0, nullptr));
  EXPECT_EQ(GetBitmapAttr(fallback.get(), kAttrFormat), kFormatArgb32);
  gOutputFormat = kFormatNone;
}

TEST_F(GraphicsBitmaps, RefusesEmptyAndAbsurdSizes) {
  EXPECT_EQ(AllocBitmap(0, 5, 0, nullptr), nullptr);
  EXPECT_EQ(AllocBitmap(5, -1, 0, nullptr), nullptr);
  EXPECT_EQ(AllocAlpha(0, 1, 0, nullptr, 0), nullptr);
  EXPECT_EQ(AllocMask(nullptr, 1, 0, 0, nullptr, 0), nullptr);
  EXPECT_EQ(AllocIndexBitmap(1 << 30, 1, 1), nullptr);
  EXPECT_EQ(AllocBitmapOfFormat(4, 4, 15), nullptr);
  // A mask may take its size from a model.
  Bitmap model(AllocAlpha(9, 3, 0, nullptr, 0));
  Bitmap mask(AllocMask(model.get(), 0, 0, 0, nullptr, 0));
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->width, 9);
  EXPECT_EQ(mask->height, 3);
}

TEST_F(GraphicsBitmaps, BorrowedPixelsStayWithTheirOwner) {
  std::vector<uint8_t> pixels(4 * 8 * 3, 0);
  ColorStore store{8, 3, pixels.data(), 32, 4, kFormatArgb32, 1};
  BitmapHandle* wrapped = AllocBitmap(0, 0, kAllocBorrowed, &store);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_TRUE(wrapped->borrowed);
  EXPECT_EQ(wrapped->width, 8);
  WritePixel(wrapped, 2, 1, 0x123456, 0);
  EXPECT_EQ(pixels[32 + 8], 0x56);
  FreeBitmap(wrapped);  // the vector still owns its bytes

  std::vector<uint8_t> levels(12 * 2, 7);
  BitmapHandle* alpha = AllocAlpha(10, 2, 0, levels.data(), 12);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(ReadPixel(alpha, 9, 1, 0), 7u);
  uint8_t* p;
  int bytesPerRow;
  EXPECT_EQ(GetBitmapPixels(alpha, &p, &bytesPerRow, 1), alpha);
  EXPECT_EQ(p, levels.data());
  EXPECT_EQ(bytesPerRow, 12);
  ReleaseBitmapPixels(alpha);
  FreeBitmap(alpha);

  EXPECT_EQ(AllocBitmap(0, 0, kAllocBorrowed, nullptr), nullptr);
}

TEST_F(GraphicsBitmaps, AdoptedStoresBelongToTheBitmap) {
  // 5 pixels a row round up to 8; one spare row.
  auto* pixels = static_cast<uint8_t*>(HostAlloc(8 * 4 * 4, true));
  ColorStore store{5, 3, pixels, 32, 4, kFormatArgb32, 0};
  Bitmap adopted(AllocBitmap(0, 0, kAllocAdopt, &store));
  ASSERT_TRUE(adopted);
  EXPECT_FALSE(adopted->borrowed);
  EXPECT_EQ(GetBitmapAttr(adopted.get(), kAttrBytesPerRow), 32);
  WritePixel(adopted.get(), 4, 2, 0xABCDEF, 0);
  EXPECT_EQ(pixels[2 * 32 + 16], 0xEF);
  adopted.reset();  // frees the pixels: the fixture counts the blocks

  // Stores the library would not have made stay with the caller.
  auto* own = static_cast<uint8_t*>(HostAlloc(8 * 4 * 4, true));
  ColorStore tight{5, 3, own, 20, 4, kFormatArgb32, 0};  // rows not rounded up
  EXPECT_EQ(AllocBitmap(0, 0, kAllocAdopt, &tight), nullptr);
  ColorStore rgb16{5, 3, own, 16, 2, kFormatRgb16, 0};  // not the format of new bitmaps
  EXPECT_EQ(AllocBitmap(0, 0, kAllocAdopt, &rgb16), nullptr);
  EXPECT_EQ(AllocBitmap(0, 0, kAllocAdopt, nullptr), nullptr);
  // Under a 16-bit output new bitmaps are 16-bit, and that store fits.
  gOutputFormat = kFormatRgb16;
  Bitmap matching(AllocBitmap(0, 0, kAllocAdopt, &rgb16));
  EXPECT_TRUE(matching);
}

TEST_F(GraphicsBitmaps, RawStoresLockLikeHandles) {
  std::vector<uint8_t> pixels(6 * 2 * 2);
  ColorStore store{5, 2, pixels.data(), 12, 2, kFormatBgr16, 0};
  LockRecord lock;
  ASSERT_TRUE(LockBitmap(&store, kLockRawStore, &lock));
  EXPECT_EQ(lock.pixels, pixels.data());
  EXPECT_EQ(lock.format, kFormatBgr16);
  EXPECT_EQ(lock.width, 5);
  EXPECT_EQ(lock.plainMemory, 1);
  UnlockBitmap(&lock);
  EXPECT_EQ(lock.success, 0);
  EXPECT_FALSE(LockBitmap(nullptr, 0, &lock));
}

TEST_F(GraphicsBitmaps, PixelAccessOfEveryKind) {
  Bitmap color = testing::ColorBitmap(4, 4, kFormatRgb15);
  WritePixel(color.get(), 1, 2, 0xFF12FF87, 0);
  EXPECT_EQ(ReadPixel(color.get(), 1, 2, 0), 0x10F880u);
  EXPECT_EQ(ReadPixel(color.get(), 1, 2, 1), (2u << 10) | (31u << 5) | 16u);
  WritePixel(color.get(), 0, 0, 0x7C00, 1);
  EXPECT_EQ(ReadPixel(color.get(), 0, 0, 0), 0xF80000u);

  Bitmap mask = testing::MaskPlane(20, 2);
  WritePixel(mask.get(), 9, 1, 5, 0);
  EXPECT_EQ(ReadPixel(mask.get(), 9, 1, 0), 1u);
  EXPECT_EQ(ReadPixel(mask.get(), 8, 1, 0), 0u);
  uint8_t* bits;
  int bytesPerRow;
  GetBitmapPixels(mask.get(), &bits, &bytesPerRow, 0);
  EXPECT_EQ(bits[bytesPerRow + 1], 0x40);  // most significant bit first
  WritePixel(mask.get(), 9, 1, 0, 0);
  EXPECT_EQ(ReadPixel(mask.get(), 9, 1, 0), 0u);

  Bitmap index = testing::IndexPlane(3, 3);
  WritePixel(index.get(), 2, 2, 0x1FF, 0);
  EXPECT_EQ(ReadPixel(index.get(), 2, 2, 0), 0xFFu);

  // Outside the bitmap nothing is read or written.
  WritePixel(index.get(), 3, 0, 9, 0);
  WritePixel(index.get(), -1, 0, 9, 0);
  EXPECT_EQ(ReadPixel(index.get(), 3, 0, 0), 0u);
  EXPECT_EQ(ReadPixel(nullptr, 0, 0, 0), 0u);
}

TEST_F(GraphicsBitmaps, AttributesAndData) {
  Bitmap color = testing::ColorBitmap(7, 3, kFormatRgb24);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrWidth), 7);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrHeight), 3);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrBytesPerRow), 24);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrBytesPerPixel), 3);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrVideo), 0);
  EXPECT_EQ(GetBitmapAttr(color.get(), kAttrData),
            reinterpret_cast<intptr_t>(GetBitmapData(color.get())));
  EXPECT_EQ(GetBitmapAttr(color.get(), 99), 0);
  EXPECT_EQ(AdapterBitmapFlags(0x8 | 0x10 | 0x20), 0u);
  MarkBitmapChanged(color.get());  // not a video bitmap: nothing to tell
  EXPECT_EQ(color->changed, 0);
  // Planes are not handed out as colour pixels.
  uint8_t* p;
  int bytesPerRow;
  EXPECT_EQ(GetBitmapPixels(color.get(), &p, &bytesPerRow, 0), nullptr);
}

TEST_F(GraphicsBitmaps, FreeBitmapSetClearsEachPointer) {
  BitmapHandle* color = AllocBitmap(2, 2, 0, nullptr);
  BitmapHandle* mask = AllocMask(nullptr, 2, 2, 0, nullptr, 0);
  BitmapHandle* alpha = nullptr;
  FreeBitmapSet(&color, &mask, &alpha);
  EXPECT_EQ(color, nullptr);
  EXPECT_EQ(mask, nullptr);
  FreeBitmapSet(nullptr, nullptr, nullptr);
  FreeBitmap(nullptr);
}

}  // namespace
}  // namespace tzx::graphics
