// Text objects' core: rendering a request under a transform (reference
// pictures for a scale, quarter and 30-degree turns and a shear), the
// adjustment a matrix gives, copies, and deferred freeing.
#include "text/src/text_objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "graphics/src/blits.h"
#include "graphics/src/scale_bitmap.h"
#include "graphics/src/transform_matrix.h"
#include "graphics_fixtures.h"
#include "text/src/bindings.h"
#include "text/src/fonts.h"
#include "text/src/layout.h"
#include "text/src/style.h"
#include "text_pictures.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace tzx::text {
namespace {

using graphics::testing::Bitmap;
using graphics::testing::ColorBitmap;
using graphics::testing::LiveBlocks;

class TextObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    blocks_ = LiveBlocks();
    gBound.graphics = &graphics::gInterface;
    ASSERT_EQ(InitFonts(), 0);
    const FontRequest f{kSans, 14, kFontengineInbuilt, 1, 0, 0, nullptr, nullptr};
    ASSERT_EQ(OpenFontByName(f, &font_), 0);
    request_.style = InitialTextStyle();
    request_.style.font = font_;
    request_.style.fontColor = 0xFFE040;
    request_.style.flags = graphics::kAntialias;
    request_.text = "Text 1";
    request_.length = std::strlen(request_.text);
    DefaultListSettings(&request_);
    ObjectPlanes base;
    ASSERT_EQ(RenderPlain(request_, &base), 0);
    baseWidth_ = base.width;
    baseHeight_ = base.height;
    FreeObjectPlanes(&base);
  }
  void TearDown() override {
    FreeAllTextObjects(nullptr);
    // The scaler's working memory is kept between scales until graphics closes.
    graphics::ReleaseScaleScratch();
    CloseFonts();
    gBound.graphics = nullptr;
    EXPECT_EQ(LiveBlocks(), blocks_) << "memory blocks leaked";
  }

  // The rendering under a transform, blended over dark blue.
  Bitmap Render(graphics::TransformRecord t) {
    if (!t.matrixGiven) {
      graphics::BuildTransformMatrix(&t, t.width, t.height, baseWidth_, baseHeight_);
    }
    ObjectPlanes p;
    EXPECT_EQ(RenderTransformed(request_, t, baseWidth_, baseHeight_, &p), 0);
    Bitmap b = ColorBitmap(p.width, p.height);
    graphics::FillBitmapRect(b.get(), 0, 0, p.width, p.height, 0xFF102040);
    graphics::BlitBitmapAlpha(p.color, p.alpha, 0, 0, b.get(), 0, 0, p.width, p.height, 255);
    FreeObjectPlanes(&p);
    return b;
  }

  static graphics::TransformRecord Identity() {
    graphics::TransformRecord t{};
    t.scaleX = t.scaleY = 1.0;
    graphics::IdentityMatrix(t.matrix);
    return t;
  }

  FontRecord* font_ = nullptr;
  LayoutRequest request_;
  int baseWidth_ = 0;
  int baseHeight_ = 0;

 private:
  long blocks_ = 0;
};

TEST_F(TextObjectTest, ScaledTurnedAndTransformedPictures) {
  graphics::TransformRecord t = Identity();
  t.width = baseWidth_ * 2;
  t.height = baseHeight_ * 3 / 2;
  Bitmap scaled = Render(t);
  EXPECT_EQ(scaled->width, baseWidth_ * 2);
  EXPECT_EQ(scaled->height, baseHeight_ * 3 / 2);
  ExpectPicture(scaled.get(), "object_scaled", 2);

  t = Identity();
  t.rotate = 90;
  Bitmap quarter = Render(t);
  EXPECT_EQ(quarter->width, baseHeight_);
  EXPECT_EQ(quarter->height, baseWidth_);
  ExpectPicture(quarter.get(), "object_rotated_90", 2);

  t.rotate = 30;
  ExpectPicture(Render(t).get(), "object_rotated_30", 2);

  t = Identity();
  const double shear[4] = {1.0, 0.25, -0.5, 1.0};
  std::memcpy(t.matrix, shear, sizeof shear);
  t.matrixGiven = 1;
  ExpectPicture(Render(t).get(), "object_transformed", 2);
}

// A scale of an outline font is drawn by the font at that size: the same
// as a font opened twice as large, not the 1:1 pixels enlarged.
TEST_F(TextObjectTest, ScaledOutlineTextIsDrawnAtTheScale) {
  graphics::TransformRecord t = Identity();
  t.scaleX = t.scaleY = 2.0;
  Bitmap twice = Render(t);
  const FontRequest f{kSans, 28, kFontengineInbuilt, 1, 0, 0, nullptr, nullptr};
  FontRecord* large = nullptr;
  ASSERT_EQ(OpenFontByName(f, &large), 0);
  request_.style.font = large;
  ObjectPlanes plain;
  ASSERT_EQ(RenderPlain(request_, &plain), 0);
  baseWidth_ = plain.width;
  baseHeight_ = plain.height;
  FreeObjectPlanes(&plain);
  Bitmap direct = Render(Identity());
  // Apart from the margin (not scaled) the two agree closely; resampled
  // pixels would blur every edge.
  int fullTwice = 0, fullDirect = 0;
  for (int y = 0; y < twice->height; ++y)
    for (int x = 0; x < twice->width; ++x)
      fullTwice += (graphics::ReadPixel(twice.get(), x, y, 0) & 0xFFFFFF) == 0xFFE040;
  for (int y = 0; y < direct->height; ++y)
    for (int x = 0; x < direct->width; ++x)
      fullDirect += (graphics::ReadPixel(direct.get(), x, y, 0) & 0xFFFFFF) == 0xFFE040;
  EXPECT_GT(fullDirect, 0);
  EXPECT_NEAR(fullTwice, fullDirect, fullDirect / 5);
}

TEST_F(TextObjectTest, AdjustFollowsTheMatrix) {
  int x = 0, y = 0;
  const double turn[4] = {0.0, -1.0, 1.0, 0.0};
  TransformedAdjust(turn, -2, -3, &x, &y);
  EXPECT_EQ(x, -3);
  EXPECT_EQ(y, 2);
  const double half[4] = {0.5, 0.0, 0.0, 0.5};
  TransformedAdjust(half, -3, 3, &x, &y);
  EXPECT_EQ(x, -1);  // truncated toward zero
  EXPECT_EQ(y, 1);
}

TEST_F(TextObjectTest, CopiesAreIndependentAndFreesWaitForTheirUsers) {
  ObjectPlanes p;
  ASSERT_EQ(RenderPlain(request_, &p), 0);
  TextObject* a = nullptr;
  ASSERT_EQ(AddTextObject(ObjectId{1, nullptr}, request_, p, 8, false, &a), 0);
  TextObject* b = nullptr;
  ASSERT_EQ(CopyTextObjectRecord(*a, ObjectId{2, nullptr}, &b), 0);
  EXPECT_NE(a->request.text, b->request.text);
  EXPECT_NE(a->head.color, b->head.color);
  EXPECT_NE(a->head.alpha, b->head.alpha);
  a->transform.rotate = 90;
  ASSERT_EQ(RerenderTextObject(a), 0);
  EXPECT_EQ(a->head.width, b->head.height);
  EXPECT_EQ(b->head.width, p.width);
  // In use: the id goes at once, the record when the last user is done.
  b->head.pins = 1;
  FreeTextObjectRecord(nullptr, b);
  TextObject* found = nullptr;
  EXPECT_EQ(FindTextObjectRecord(ObjectId{2, nullptr}, 0, &found), kErrUnknownTextObject);
  EXPECT_EQ(FindTextObjectRecord(ObjectId{2, nullptr}, kFindDeferred, &found), 0);
  EXPECT_EQ(found, b);
  FreeDeferredTextObjects(nullptr);
  EXPECT_EQ(FindTextObjectRecord(ObjectId{2, nullptr}, kFindDeferred, &found), 0);
  b->head.pins = 0;
  FreeDeferredTextObjects(nullptr);
  EXPECT_EQ(FindTextObjectRecord(ObjectId{2, nullptr}, kFindDeferred, &found),
            kErrUnknownTextObject);
}

}  // namespace
}  // namespace tzx::text
