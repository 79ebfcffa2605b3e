// Whole bitmap sets: made from 0xAARRGGBB arrays and read back, cropped,
// flipped and copied; every failure frees what was made.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/src/bitmap_sets.h"
#include "graphics/src/image_objects.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::GraphicsTest;
using testing::Paint;

class GraphicsBitmapSets : public GraphicsTest {};

TEST_F(GraphicsBitmapSets, ConvertFromArrayWithKeyAndAlpha) {
  // Three pixels a row, a row length of four.
  std::vector<uint32_t> pixels = {0x80FF00FF, 0xFF123456, 0x00ABCDEF, 0xDEADBEEF,
                                  0x10FF00FF, 0x20000000, 0x30FFFFFF, 0xDEADBEEF};
  BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  ASSERT_EQ(ConvertBitmapSet(pixels.data(), 0xFF00FF, 3, 2, 4, 0, kConvertAlphaFromTopByte, nullptr,
                             &color, &mask, &alpha),
            0);
  ASSERT_TRUE(color && mask && alpha);
  EXPECT_EQ(ReadPixel(color, 1, 0, 0), 0x123456u);
  EXPECT_EQ(ReadPixel(color, 2, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(ReadPixel(mask, 0, 0, 0), 0u);  // the key's RGB, whatever its alpha
  EXPECT_EQ(ReadPixel(mask, 0, 1, 0), 0u);
  EXPECT_EQ(ReadPixel(mask, 1, 0, 0), 1u);
  EXPECT_EQ(ReadPixel(alpha, 0, 0, 0), 0x80u);
  EXPECT_EQ(ReadPixel(alpha, 2, 1, 0), 0x30u);
  FreeBitmapSet(&color, &mask, &alpha);

  // No key, no alpha flag: a colour bitmap alone.
  ASSERT_EQ(
      ConvertBitmapSet(pixels.data(), 0xFFFFFFFF, 3, 2, 4, 0, 0, nullptr, &color, &mask, &alpha),
      0);
  EXPECT_EQ(mask, nullptr);
  EXPECT_EQ(alpha, nullptr);
  FreeBitmapSet(&color, &mask, &alpha);

  EXPECT_EQ(ConvertBitmapSet(pixels.data(), 0, 0, 2, 4, 0, 0, nullptr, &color, &mask, &alpha),
            kErrRange);
  EXPECT_EQ(ConvertBitmapSet(pixels.data(), 0, 5, 2, 4, 0, 0, nullptr, &color, &mask, &alpha),
            kErrRange);  // row length below the width
  EXPECT_EQ(ConvertBitmapSet(pixels.data(), 0, 1 << 21, 1, 0, 0, 0, nullptr, &color, &mask, &alpha),
            kErrAllocBitmap);
}

TEST_F(GraphicsBitmapSets, ConvertTakesPixelsOverOrFreesThemOnceCopied) {
  // Room for 3 rows of 8 words; 3 × 2 pixels in rows of 4 words and a spare
  // row are the store layout of a colour bitmap.
  auto block = [] {
    auto* p = static_cast<uint32_t*>(HostAlloc(8 * 3 * 4, true));
    for (int i = 0; i < 24; ++i) p[i] = 0x80000000u | (0x010203u * i);
    return p;
  };
  uint32_t* pixels = block();
  BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  ASSERT_EQ(
      ConvertBitmapSet(pixels, 0x010203, 3, 2, 4, 0, kConvertAlphaFromTopByte | kConvertTakePixels,
                       nullptr, &color, &mask, &alpha),
      0);
  LockRecord lock;
  ASSERT_TRUE(LockBitmap(color, kLockReadOnly, &lock));
  EXPECT_EQ(lock.pixels, reinterpret_cast<uint8_t*>(pixels));  // no copy
  EXPECT_EQ(ReadPixel(color, 2, 1, 1), 0x80000000u | 0x010203u * 6);
  EXPECT_EQ(ReadPixel(mask, 1, 0, 0), 0u);  // the key
  EXPECT_EQ(ReadPixel(mask, 2, 0, 0), 1u);
  EXPECT_EQ(ReadPixel(alpha, 0, 1, 0), 0x80u);
  FreeBitmapSet(&color, &mask, &alpha);  // frees the block with the bitmap

  // Rows longer than the bitmap's, or bitmaps of the output's format, cannot
  // keep the block: it is copied, then freed.
  pixels = block();
  ASSERT_EQ(ConvertBitmapSet(pixels, 0xFFFFFFFF, 3, 2, 8, 0, kConvertTakePixels, nullptr, &color,
                             nullptr, nullptr),
            0);
  ASSERT_TRUE(LockBitmap(color, kLockReadOnly, &lock));
  EXPECT_NE(lock.pixels, reinterpret_cast<uint8_t*>(pixels));
  EXPECT_EQ(ReadPixel(color, 1, 1, 0), 0x010203u * 9);
  FreeBitmap(color);
  gOutputFormat = kFormatRgb24;
  ASSERT_EQ(ConvertBitmapSet(block(), 0xFFFFFFFF, 3, 2, 4, 0, kConvertTakePixels, nullptr, &color,
                             nullptr, nullptr),
            0);
  EXPECT_EQ(GetBitmapAttr(color, kAttrFormat), kFormatRgb24);
  EXPECT_EQ(ReadPixel(color, 2, 1, 0), 0x010203u * 6);
  FreeBitmap(color);
  gOutputFormat = kFormatNone;

  // On failure the block stays the caller's, also when the bitmap had taken
  // it already: an alpha channel of this size is refused before any pixel
  // is read.
  pixels = block();
  EXPECT_EQ(
      ConvertBitmapSet(pixels, 0, 0, 2, 4, 0, kConvertTakePixels, nullptr, &color, &mask, &alpha),
      kErrRange);
  EXPECT_EQ(ConvertBitmapSet(pixels, 0xFFFFFFFF, 1 << 20, 1 << 20, 1 << 20, 0,
                             kConvertAlphaFromTopByte | kConvertTakePixels, nullptr, &color, &mask,
                             &alpha),
            kErrAllocAlpha);
  HostFree(pixels);
}

TEST_F(GraphicsBitmapSets, ArrayRoundTripThroughPlanes) {
  Bitmap color = testing::ColorBitmap(4, 3, kFormatRgb24);
  Bitmap alpha = testing::AlphaPlane(4, 3);
  Bitmap mask = testing::MaskPlane(4, 3);
  std::vector<uint32_t> in(12);
  for (int i = 0; i < 12; ++i) in[i] = (i * 20u) << 24 | (0x102030u * (i + 1) & 0xFFFFFF);
  ASSERT_EQ(CopyRGBArray(in.data(), 4, color.get(), mask.get(), alpha.get(), 0, 0, 4, 3, 1), 0);
  EXPECT_EQ(ReadPixel(mask.get(), 0, 0, 0), 0u);  // alpha byte 0
  EXPECT_EQ(ReadPixel(mask.get(), 1, 0, 0), 1u);

  uint32_t* out = BitmapToARGBArray(color.get(), nullptr, alpha.get(), 0, 0, 4, 3);
  ASSERT_NE(out, nullptr);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], in[i]) << i;
  HostFree(out);

  // With a mask only, alpha is 0 or 255; a region reaching outside is zero there.
  out = BitmapToARGBArray(color.get(), mask.get(), nullptr, 2, 1, 3, 3);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out[0], 0xFF000000u | (in[6] & 0xFFFFFF));
  EXPECT_EQ(out[2], 0u);
  EXPECT_EQ(out[6], 0u);
  HostFree(out);

  // Without planes the pixels' own alpha stays (none in 24-bit pixels).
  out = BitmapToARGBArray(color.get(), nullptr, nullptr, 0, 0, 1, 1);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out[0], in[0] & 0xFFFFFF);
  HostFree(out);
  EXPECT_EQ(BitmapToARGBArray(alpha.get(), nullptr, nullptr, 0, 0, 1, 1), nullptr);
}

TEST_F(GraphicsBitmapSets, CropEveryPlane) {
  Bitmap color = testing::ColorBitmap(6, 5, kFormatRgb16);
  Bitmap mask = testing::MaskPlane(6, 5);
  Bitmap alpha = testing::AlphaPlane(6, 5);
  Paint(color.get(), [](int x, int y) { return static_cast<uint32_t>(x * 8 << 16 | y * 8); });
  Paint(mask.get(), [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); });
  Paint(alpha.get(), [](int x, int y) { return static_cast<uint32_t>(x * 10 + y); });
  BitmapHandle *c = nullptr, *m = nullptr, *a = nullptr;
  ASSERT_EQ(CropBitmapSet(color.get(), mask.get(), alpha.get(), nullptr, nullptr, 2, 1, 3, 9, &c,
                          &m, &a, nullptr, nullptr),
            0);
  ASSERT_TRUE(c && m && a);
  EXPECT_EQ(c->width, 3);
  EXPECT_EQ(c->height, 4);  // cut to the source
  EXPECT_EQ(GetBitmapAttr(c, kAttrFormat), kFormatRgb16);
  EXPECT_EQ(ReadPixel(c, 0, 0, 0), static_cast<uint32_t>(16 << 16 | 8));
  EXPECT_EQ(ReadPixel(m, 0, 0, 0), 1u);
  EXPECT_EQ(ReadPixel(a, 2, 3, 0), 44u);
  FreeBitmapSet(&c, &m, &a);

  // Palette brushes: index plane and a copy of the palette; 0 sizes take the source's.
  Bitmap index = testing::IndexPlane(4, 4);
  WritePixel(index.get(), 3, 3, 9, 0);
  std::vector<uint32_t> palette(256, 0x111111);
  BitmapHandle* i = nullptr;
  uint32_t* paletteCopy = nullptr;
  ASSERT_EQ(CropBitmapSet(nullptr, nullptr, nullptr, index.get(), palette.data(), 1, 1, 0, 0,
                          nullptr, nullptr, nullptr, &i, &paletteCopy),
            0);
  ASSERT_TRUE(i && paletteCopy);
  EXPECT_EQ(i->width, 3);
  EXPECT_EQ(ReadPixel(i, 2, 2, 0), 9u);
  EXPECT_EQ(paletteCopy[255], 0x111111u);
  FreeBitmap(i);
  HostFree(paletteCopy);

  EXPECT_EQ(CropBitmapSet(color.get(), nullptr, nullptr, nullptr, nullptr, 6, 0, 1, 1, &c, nullptr,
                          nullptr, nullptr, nullptr),
            kErrRange);
  EXPECT_EQ(CropBitmapSet(nullptr, mask.get(), nullptr, nullptr, nullptr, 0, 0, 1, 1, nullptr, &m,
                          nullptr, nullptr, nullptr),
            kErrRange);
}

TEST_F(GraphicsBitmapSets, FlipEveryPlane) {
  for (int width : {5, 17}) {
    Bitmap color = testing::ColorBitmap(width, 3, kFormatRgb24);
    Bitmap mask = testing::MaskPlane(width, 3);
    Bitmap alpha = testing::AlphaPlane(width, 3);
    Paint(color.get(), [](int x, int y) { return static_cast<uint32_t>(x << 8 | y); });
    Paint(mask.get(), [](int x, int y) { return static_cast<uint32_t>(x == 1 && y == 0); });
    Paint(alpha.get(), [](int x, int y) { return static_cast<uint32_t>(x * 3 + y); });
    ASSERT_EQ(FlipBitmapSet(color.get(), mask.get(), alpha.get(), nullptr, 1), 0);
    EXPECT_EQ(ReadPixel(color.get(), 0, 2, 0), static_cast<uint32_t>((width - 1) << 8 | 2));
    EXPECT_EQ(ReadPixel(mask.get(), width - 2, 0, 0), 1u);
    EXPECT_EQ(ReadPixel(mask.get(), 1, 0, 0), 0u);
    EXPECT_EQ(ReadPixel(alpha.get(), width - 1, 1, 0), 1u);
    ASSERT_EQ(FlipBitmapSet(color.get(), mask.get(), alpha.get(), nullptr, 0), 0);
    EXPECT_EQ(ReadPixel(color.get(), 0, 0, 0), static_cast<uint32_t>((width - 1) << 8 | 2));
    EXPECT_EQ(ReadPixel(mask.get(), width - 2, 2, 0), 1u);
    EXPECT_EQ(ReadPixel(alpha.get(), width - 1, 1, 0), 1u);  // the middle row stays
  }
  EXPECT_EQ(FlipBitmapSet(nullptr, nullptr, nullptr, nullptr, 1), 0);
}

TEST_F(GraphicsBitmapSets, AlphaFromMaskAndRectCopies) {
  Bitmap mask = testing::MaskPlane(9, 2);
  WritePixel(mask.get(), 8, 1, 1, 0);
  Bitmap alpha(CreateAlphaFromMask(mask.get()));
  ASSERT_TRUE(alpha);
  EXPECT_EQ(ReadPixel(alpha.get(), 8, 1, 0), 255u);
  EXPECT_EQ(ReadPixel(alpha.get(), 7, 1, 0), 0u);
  EXPECT_EQ(CreateAlphaFromMask(alpha.get()), nullptr);

  Bitmap part(CopyBitmapRect(mask.get(), 7, 0, 5, 5));
  ASSERT_TRUE(part);
  EXPECT_EQ(part->kind, kKindMask);
  EXPECT_EQ(part->width, 2);
  EXPECT_EQ(ReadPixel(part.get(), 1, 1, 0), 1u);
  EXPECT_EQ(CopyBitmapRect(mask.get(), 9, 0, 1, 1), nullptr);
}

TEST_F(GraphicsBitmapSets, ImageObjectsCountReferences) {
  std::vector<uint32_t> pixels = {0xFF102030, 0x00405060};
  ImageObject* image = CreateImageObject(2, 2, 1, pixels.data(), nullptr, nullptr, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(GetImageObjectType(image), kImagetypeRaster);
  int w, h;
  GetImageObjectSize(image, &w, &h);
  EXPECT_EQ(w * 10 + h, 21);
  EXPECT_EQ(RetainImageObject(image), image);
  EXPECT_EQ(image->refCount, 2);
  ReleaseImageObject(image);
  EXPECT_EQ(image->refCount, 1);

  BitmapHandle *c = nullptr, *m = nullptr, *a = nullptr;
  ASSERT_EQ(RasterizeImageObject(image, 0, 0, nullptr, &c, &m, &a), 0);
  EXPECT_EQ(ReadPixel(c, 1, 0, 0), 0x405060u);
  EXPECT_EQ(ReadPixel(a, 0, 0, 0), 255u);
  EXPECT_EQ(m, nullptr);
  FreeBitmapSet(&c, &m, &a);
  EXPECT_EQ(RasterizeImageObject(image, 4, 4, nullptr, &c, &m, &a), kErrRange);

  ImageObject* copy = CloneImageObject(image);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->pixels, image->pixels);
  EXPECT_EQ(copy->pixels[1], 0x00405060u);
  ReleaseImageObject(copy);
  ReleaseImageObject(image);

  // Without a source the pixels start cleared; types 0 and 1 are not cloned.
  image = CreateImageObject(0, 3, 3, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pixels[8], 0u);
  EXPECT_EQ(CloneImageObject(image), nullptr);
  FreeImageObjectData(image);
  EXPECT_EQ(image->pixels, nullptr);
  ReleaseImageObject(image);
  EXPECT_EQ(CreateImageObject(2, 0, 3, nullptr, nullptr, nullptr, nullptr), nullptr);
}

// A vector picture drawn by its creator at any size.
struct Drawn {
  int draws = 0;
  bool freed = false;
};
int DrawSquare(void* data, int width, int height, const double*, BitmapHandle** color,
               BitmapHandle** mask, BitmapHandle** alpha) {
  ++static_cast<Drawn*>(data)->draws;
  *color = AllocBitmap(width, height, 0, nullptr);
  *mask = nullptr;
  *alpha = nullptr;
  return *color ? 0 : kErrAllocBitmap;
}
void FreeDrawn(void* data) {
  static_cast<Drawn*>(data)->freed = true;
}

TEST_F(GraphicsBitmapSets, VectorPicturesAreDrawnByTheirCreator) {
  Drawn drawn;
  ImageObject* image = CreateImageObject(4, 10, 10, nullptr, &drawn, DrawSquare, FreeDrawn);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(GetImageObjectType(image), kImagetypeVector);
  BitmapHandle *c = nullptr, *m = nullptr, *a = nullptr;
  ASSERT_EQ(RasterizeImageObject(image, 30, 20, nullptr, &c, &m, &a), 0);
  EXPECT_EQ(c->width, 30);
  EXPECT_EQ(drawn.draws, 1);
  FreeBitmapSet(&c, &m, &a);
  EXPECT_EQ(CloneImageObject(image), nullptr);  // its data is the creator's
  SetImageObjectFields(image, 5, 40, 40);
  EXPECT_EQ(image->type, 5);
  EXPECT_EQ(image->width, 40);
  ReleaseImageObject(image);
  EXPECT_TRUE(drawn.freed);
}

}  // namespace
}  // namespace tzx::graphics
