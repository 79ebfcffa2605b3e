// The central draw with a draw record: scaling, transparency, tint, flips,
// border and shadow pixel by pixel, the filters in priority order through a
// stand-in filters library, and palette pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "graphics/src/bindings.h"
#include "graphics/src/draw_effects.h"
#include "graphics/src/draw_object.h"
#include "graphics/src/draw_record.h"
#include "graphics/src/filters.h"
#include "graphics/src/output.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::Paint;

std::vector<Rect> gChanged;
void RecordChange(OutputRecord*, int x, int y, int w, int h) {
  gChanged.push_back({x, y, w, h});
}
const OutputOps kOps = {RecordChange, nullptr};

// The filters library: each call is written down with what it was handed.
std::vector<std::string> gCalls;
struct Seen {
  BitmapHandle* first;
  BitmapHandle* second;
  BitmapHandle* third;
  int width;
  int height;
  double value;
} gSeen;
int Grayscale(BitmapHandle* p, int w, int h, int, int) {
  gCalls.push_back("grayscale");
  gSeen = {p, nullptr, nullptr, w, h, 0};
  return 0;
}
int Invert(BitmapHandle* p, int w, int h, int) {
  gCalls.push_back("invert");
  gSeen = {p, nullptr, nullptr, w, h, 0};
  // Inverts for real so that palette views can be checked.
  for (int x = 0; x < w; ++x) WritePixel(p, x, 0, ReadPixel(p, x, 0, 0) ^ 0xFFFFFF, 0);
  return 0;
}
int Convolve(int code, BitmapHandle* image, BitmapHandle* alpha, int w, int h, double radius,
             double sigma, double) {
  gCalls.push_back(std::string("convolve ") + static_cast<char>(code));
  gSeen = {image, alpha, nullptr, w, h, radius + sigma};
  return 0;
}
int Pixelate(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int w, int h, int size) {
  gCalls.push_back("pixelate");
  gSeen = {color, mask, third, w, h, static_cast<double>(size)};
  return 0;
}
int Solarize(BitmapHandle*, int, int, int) {
  gCalls.push_back("solarize");
  return 1234;
}
FiltersSibling MakeFilters() {
  FiltersSibling f{};
  f.grayscale = Grayscale;
  f.invert = Invert;
  f.convolve = Convolve;
  f.pixelate = Pixelate;
  f.solarize = Solarize;
  return f;
}
const FiltersSibling kFilters = MakeFilters();

enum Kind { kBlur = 0, kGrayscale = 6, kInvert = 7, kSolarize = 14 };

class DrawEffects : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    saved_ = gBound;
    gChanged.clear();
    gCalls.clear();
    target_ = testing::ColorBitmap(20, 12);
    testing::DrawInto(&output_, target_.get(), &kOps);
    InitDrawRecord(&transform_, &tags_, 0, 0, 0, 0);
  }
  void TearDown() override {
    gBound = saved_;
    gInterface.RotateBitmapSet = nullptr;
    target_.reset();
    GraphicsTest::TearDown();
  }

  // Draws the planes at (x, y) with the fixture's draw record.
  int Draw(const BitmapHandle* color, int x, int y, const BitmapHandle* mask = nullptr,
           const BitmapHandle* alpha = nullptr) {
    DrawObjectArgs args{};
    args.type = kDrawBitmap;
    args.bitmap = const_cast<BitmapHandle*>(color);
    args.mask = const_cast<BitmapHandle*>(mask);
    args.alpha = const_cast<BitmapHandle*>(alpha);
    args.x = x;
    args.y = y;
    args.transform = &transform_;
    args.tags = &tags_;
    return DrawObject(nullptr, &args);
  }
  uint32_t At(int x, int y) { return ReadPixel(target_.get(), x, y, 0); }
  void Fill(uint32_t color) {
    Paint(target_.get(), [color](int, int) { return color; });
  }
  static Bitmap Solid(int w, int h, uint32_t color) {
    Bitmap b = testing::ColorBitmap(w, h);
    Paint(b.get(), [color](int, int) { return color; });
    return b;
  }

  BoundSiblings saved_;
  Bitmap target_;
  OutputRecord output_{};
  TransformRecord transform_{};
  TagRecord tags_{};
};

TEST_F(DrawEffects, ScalingPlacesTheScaledObject) {
  Bitmap b = testing::ColorBitmap(2, 1);
  Paint(b.get(), [](int x, int) { return x ? 0x0000FFu : 0xFF0000u; });
  transform_.matrix[0] = transform_.matrix[3] = 2.0;
  ASSERT_EQ(Draw(b.get(), 1, 1), 0);
  EXPECT_EQ(At(1, 1), 0xFF0000u);
  EXPECT_EQ(At(2, 2), 0xFF0000u);
  EXPECT_EQ(At(3, 1), 0x0000FFu);
  EXPECT_EQ(At(4, 2), 0x0000FFu);
  EXPECT_EQ(At(5, 1), 0u);
  EXPECT_EQ(At(1, 3), 0u);
  ASSERT_EQ(gChanged.size(), 1u);
  EXPECT_EQ(gChanged[0].width, 4);
  EXPECT_EQ(gChanged[0].height, 2);
  // Position codes place the scaled size.
  ASSERT_EQ(Draw(b.get(), kRight, kBottom), 0);
  EXPECT_EQ(At(16, 10), 0xFF0000u);
  EXPECT_EQ(At(19, 11), 0x0000FFu);
  // Smooth scaling interpolates; a negative factor mirrors.
  Bitmap grey = testing::ColorBitmap(2, 1);
  Paint(grey.get(), [](int x, int) { return x ? 0xFFFFFFu : 0u; });
  transform_.matrix[0] = -1.5;
  transform_.matrix[3] = 1.0;
  transform_.smoothScale = 1;
  ASSERT_EQ(Draw(grey.get(), 0, 5), 0);
  EXPECT_EQ(At(0, 5), 0xFFFFFFu);
  EXPECT_EQ(At(1, 5), 0x7F7F7Fu);
  EXPECT_EQ(At(2, 5), 0u);
  // A mirror alone keeps the size.
  transform_.matrix[0] = 1.0;
  transform_.matrix[3] = -1.0;
  Bitmap column = testing::ColorBitmap(1, 2);
  Paint(column.get(), [](int, int y) { return y ? 0xFFu : 0xFF00u; });
  ASSERT_EQ(Draw(column.get(), 8, 8), 0);
  EXPECT_EQ(At(8, 8), 0xFFu);
  EXPECT_EQ(At(8, 9), 0xFF00u);
  EXPECT_EQ(gChanged.back().height, 2);
}

TEST_F(DrawEffects, RequestedSizeWithoutItsMatrix) {
  Bitmap b = Solid(2, 2, 0x123456);
  transform_.width = 6;
  ASSERT_EQ(Draw(b.get(), 0, 0), 0);
  EXPECT_EQ(gChanged.back().width, 6);
  EXPECT_EQ(gChanged.back().height, 2);
}

TEST_F(DrawEffects, TransparencyWithOtherEffects) {
  Bitmap b = Solid(1, 1, 0xFFFFFF);
  transform_.matrix[0] = 2.0;
  tags_.transparency = 128;
  ASSERT_EQ(Draw(b.get(), 0, 0), 0);
  EXPECT_EQ(At(0, 0), 0x7F7F7Fu);
  EXPECT_EQ(At(1, 0), 0x7F7F7Fu);
  // A mask's hidden pixels stay hidden when it becomes an alpha channel.
  Bitmap two = Solid(2, 1, 0xFFFFFF);
  Bitmap mask = testing::MaskPlane(2, 1);
  Paint(mask.get(), [](int x, int) { return x ? 1u : 0u; });
  ASSERT_EQ(Draw(two.get(), 0, 1, mask.get()), 0);
  EXPECT_EQ(At(1, 1), 0u);
  EXPECT_EQ(At(2, 1), 0x7F7F7Fu);
}

TEST_F(DrawEffects, TintAndFlipsAreTheLibrarysOwn) {
  gBound.filters = nullptr;
  Bitmap b = testing::ColorBitmap(3, 2);
  Paint(b.get(), [](int x, int y) { return y ? 0x0000FFu : (x == 0 ? 0xFF0000u : 0x00FF00u); });
  Bitmap mask = testing::MaskPlane(3, 2);
  Paint(mask.get(), [](int x, int y) { return x == 0 && y == 0 ? 0u : 1u; });
  tags_.filters[kFilterXFlip].enabled = 1;
  tags_.filters[kFilterYFlip].enabled = 1;
  ASSERT_EQ(Draw(b.get(), 0, 0, mask.get()), 0);
  // Both flips: (x, y) comes from (2 - x, 1 - y), the mask with the pixels.
  EXPECT_EQ(At(0, 0), 0x0000FFu);
  EXPECT_EQ(At(0, 1), 0x00FF00u);
  EXPECT_EQ(At(2, 1), 0u);  // the hidden corner
  EXPECT_EQ(At(1, 1), 0x00FF00u);
  EXPECT_EQ(ReadPixel(b.get(), 0, 0, 0), 0xFF0000u);  // the object itself is untouched

  InitDrawRecord(&transform_, &tags_, 0, 0, 0, 0);
  FilterEntry& tint = tags_.filters[kFilterTint];
  tint.enabled = 1;
  tint.ints[0] = 0xFF0000;
  tint.ints[1] = 128;
  Bitmap blue = Solid(1, 1, 0x0000FF);
  ASSERT_EQ(Draw(blue.get(), 5, 5), 0);
  // Half way from blue to red, each step toward minus infinity.
  EXPECT_EQ(At(5, 5), 0x7F007Fu);
  tint.ints[1] = 255;
  ASSERT_EQ(Draw(blue.get(), 6, 5), 0);
  EXPECT_EQ(At(6, 5), 0xFE0000u);
}

TEST_F(DrawEffects, ShadowFromTheDefaults) {
  Fill(0xFFFFFF);
  Bitmap b = Solid(2, 2, 0xFF0000);
  SharedState().drawTagDefaults.shadow.on = 1;
  DrawObjectArgs args{};
  args.type = kDrawBitmap;
  args.bitmap = b.get();
  args.x = 2;
  args.y = 2;
  ASSERT_EQ(DrawObject(nullptr, &args), 0);
  // Size 4 toward the south-east, black at half strength over white.
  EXPECT_EQ(At(2, 2), 0xFF0000u);
  EXPECT_EQ(At(3, 3), 0xFF0000u);
  EXPECT_EQ(At(6, 6), 0x808080u);
  EXPECT_EQ(At(7, 7), 0x808080u);
  EXPECT_EQ(At(5, 5), 0xFFFFFFu);
  EXPECT_EQ(At(8, 8), 0xFFFFFFu);
  ASSERT_EQ(gChanged.size(), 1u);
  EXPECT_EQ(gChanged[0].x, 2);
  EXPECT_EQ(gChanged[0].y, 2);
  EXPECT_EQ(gChanged[0].width, 6);
  EXPECT_EQ(gChanged[0].height, 6);
}

TEST_F(DrawEffects, ShadowDirectionsAndShapes) {
  Fill(0xFFFFFF);
  Bitmap b = Solid(2, 1, 0x0000FF);
  Bitmap mask = testing::MaskPlane(2, 1);
  Paint(mask.get(), [](int x, int) { return x ? 1u : 0u; });
  tags_.shadow.on = 1;
  tags_.shadow.size = 2;
  tags_.shadow.direction = kShdwnorthwest;
  tags_.shadow.color = 0x00FF00;  // opaque
  ASSERT_EQ(Draw(b.get(), 5, 5, mask.get()), 0);
  EXPECT_EQ(At(6, 5), 0x0000FFu);
  EXPECT_EQ(At(5, 5), 0xFFFFFFu);  // hidden by the mask
  EXPECT_EQ(At(4, 3), 0x00FF00u);  // the shadow of pixel (6, 5)
  EXPECT_EQ(At(3, 3), 0xFFFFFFu);  // the shadow of the hidden pixel
  EXPECT_EQ(gChanged.back().x, 3);
  EXPECT_EQ(gChanged.back().y, 3);
}

TEST_F(DrawEffects, BorderAroundTheShape) {
  Bitmap b = Solid(1, 1, 0xFF0000);
  tags_.border.on = 1;
  tags_.border.size = 2;
  tags_.border.color = 0x00FF00;
  ASSERT_EQ(Draw(b.get(), 5, 5), 0);
  EXPECT_EQ(At(5, 5), 0xFF0000u);
  EXPECT_EQ(At(3, 3), 0x00FF00u);
  EXPECT_EQ(At(7, 7), 0x00FF00u);
  EXPECT_EQ(At(7, 3), 0x00FF00u);
  EXPECT_EQ(At(2, 5), 0u);
  EXPECT_EQ(At(8, 5), 0u);
  EXPECT_EQ(gChanged.back().width, 5);
  // A transparency byte in the colour weakens the border.
  tags_.border.color = 0x8000FF00;
  ASSERT_EQ(Draw(b.get(), 15, 5), 0);
  EXPECT_EQ(At(14, 5), 0x007F00u);
  EXPECT_EQ(At(15, 5), 0xFF0000u);
  // Border and shadow: the shadow is the bordered object's.
  Fill(0xFFFFFF);
  tags_.border.color = 0x000000;
  tags_.border.size = 1;
  tags_.shadow.on = 1;
  tags_.shadow.size = 3;
  tags_.shadow.direction = kShdweast;
  tags_.shadow.color = 0x0000FF;
  ASSERT_EQ(Draw(b.get(), 5, 5), 0);
  EXPECT_EQ(At(5, 5), 0xFF0000u);
  EXPECT_EQ(At(4, 4), 0u);
  EXPECT_EQ(At(6, 6), 0u);
  EXPECT_EQ(At(7, 5), 0xFFu);  // border pixels moved 3 to the east
  EXPECT_EQ(At(9, 6), 0xFFu);
  EXPECT_EQ(At(10, 5), 0xFFFFFFu);
}

TEST_F(DrawEffects, FiltersRunInPriorityOrder) {
  gBound.filters = &kFilters;
  Bitmap b = Solid(3, 2, 0x404040);
  tags_.filters[kBlur].enabled = 1;
  tags_.filters[kBlur].floats[0] = 6.0f;
  tags_.filters[kInvert].enabled = 1;
  tags_.filters[kInvert].priority = 5;
  tags_.filters[kGrayscale].enabled = 1;
  tags_.filters[kGrayscale].priority = 5;
  tags_.filters[kFilterPixelate].enabled = 1;
  tags_.filters[kFilterPixelate].priority = 200;
  tags_.filters[kFilterPixelate].ints[0] = 3;
  ASSERT_EQ(Draw(b.get(), 0, 0), 0);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"pixelate", "grayscale", "invert", "convolve b"}));
  // Blur gets the radius and a third of it; the draw shows the inverted copy.
  EXPECT_EQ(gSeen.value, 8.0);
  EXPECT_EQ(gSeen.width, 3);
  EXPECT_EQ(At(0, 0), 0xBFBFBFu);
  EXPECT_EQ(ReadPixel(b.get(), 0, 0, 0), 0x404040u);
  // A filter's error ends the draw with its code.
  gCalls.clear();
  tags_.filters[kSolarize].enabled = 1;
  tags_.filters[kSolarize].priority = 255;
  EXPECT_EQ(Draw(b.get(), 0, 0), 1234);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"solarize"}));
}

TEST_F(DrawEffects, ApplyFiltersDirectly) {
  Bitmap b = Solid(2, 2, 0x0000FF);
  BitmapHandle* color = b.get();
  FilterEntry entries[kFilterKinds] = {};
  entries[kFilterPixelate].enabled = 1;
  entries[kInvert].enabled = 1;
  entries[kFilterTint].enabled = 1;
  // Without the library its filters fail; the library's own have run before.
  gBound.filters = nullptr;
  entries[kFilterTint].priority = 9;
  entries[kFilterTint].ints[0] = 0xFF0000;
  entries[kFilterTint].ints[1] = 255;
  EXPECT_EQ(ApplyFilters(nullptr, entries, &color, nullptr, nullptr, nullptr, nullptr, 2, 2, 0),
            kErrSiblingAbsent);
  EXPECT_STREQ(tzx::host::State().errorString.c_str(), "filters");
  EXPECT_EQ(ReadPixel(color, 0, 0, 0), 0xFE0000u);
  // Geometry only: the colour filters stay out.
  gBound.filters = &kFilters;
  ASSERT_EQ(ApplyFilters(nullptr, entries, &color, nullptr, nullptr, nullptr, nullptr, 2, 2, 1), 0);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"pixelate"}));
  EXPECT_EQ(ReadPixel(color, 0, 0, 0), 0xFE0000u);
  // Quantisation is not a filter this build can run.
  FilterEntry quantize[kFilterKinds] = {};
  quantize[kFilterQuantize].enabled = 1;
  EXPECT_EQ(ApplyFilters(nullptr, quantize, &color, nullptr, nullptr, nullptr, nullptr, 2, 2, 0),
            kErrRange);
  EXPECT_EQ(ApplyFilters(nullptr, entries, nullptr, nullptr, nullptr, nullptr, nullptr, 2, 2, 0),
            kErrRange);
}

TEST_F(DrawEffects, PaletteFiltersWorkOnThePalette) {
  gBound.filters = &kFilters;
  Bitmap pens = testing::IndexPlane(2, 1);
  WritePixel(pens.get(), 1, 0, 1, 0);
  BitmapHandle* index = pens.get();
  std::vector<uint32_t> palette(256, 0);
  palette[0] = 0x102030;
  palette[1] = 0xFFFFFF;
  FilterEntry entries[kFilterKinds] = {};
  entries[kInvert].enabled = 1;
  entries[kBlur].enabled = 1;  // needs neighbours: skipped
  entries[kFilterPixelate].enabled = 1;
  ASSERT_EQ(
      ApplyFilters(nullptr, entries, nullptr, nullptr, nullptr, &index, palette.data(), 2, 1, 0),
      0);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"invert", "pixelate"}));
  // The pixelate call got the pens as its third plane, nothing else.
  EXPECT_EQ(gSeen.first, nullptr);
  EXPECT_EQ(gSeen.second, nullptr);
  EXPECT_EQ(gSeen.third, index);
  EXPECT_EQ(palette[0], 0xEFDFCFu);
  EXPECT_EQ(palette[1], 0u);
  EXPECT_EQ(palette[2], 0xFFFFFFu);  // all 256 entries are colours
  EXPECT_EQ(ReadPixel(index, 1, 0, 0), 1u);
}

TEST_F(DrawEffects, PalettePictures) {
  std::vector<uint32_t> palette(256, 0);
  palette[1] = 0x00FF00;
  palette[2] = 0x0000FF;
  Bitmap pens = testing::IndexPlane(2, 1);
  WritePixel(pens.get(), 0, 0, 1, 0);
  WritePixel(pens.get(), 1, 0, 2, 0);
  EffectPlanes work{};
  ASSERT_EQ(
      CopyEffectPlanes(nullptr, nullptr, nullptr, pens.get(), palette.data(), 2, 0, 0, 2, 1, &work),
      0);
  transform_.matrix[0] = 2.0;
  tags_.border.on = 1;
  tags_.border.size = 1;
  tags_.border.color = 0xFF0000;
  ASSERT_EQ(ApplyEffects(nullptr, transform_, tags_, &work), 0);
  // Scaled as pens, then turned into colours for the border; pen 2 was transparent.
  EXPECT_EQ(work.index, nullptr);
  EXPECT_EQ(work.width, 6);
  EXPECT_EQ(work.objectWidth, 4);
  EXPECT_EQ(work.originX, 1);
  EXPECT_EQ(ReadPixel(work.color, 1, 1, 0), 0x00FF00u);
  EXPECT_EQ(ReadPixel(work.alpha, 1, 1, 0), 255u);
  // The transparent pens: the first within the border's reach, the second not.
  EXPECT_EQ(ReadPixel(work.color, 3, 1, 0), 0xFF0000u);
  EXPECT_EQ(ReadPixel(work.alpha, 3, 1, 0), 255u);
  EXPECT_EQ(ReadPixel(work.alpha, 4, 1, 0), 0u);
  EXPECT_EQ(ReadPixel(work.color, 3, 0, 0), 0xFF0000u);
  FreeEffectPlanes(&work);
}

// A quarter turn written by hand is not the library's exact matrix: it goes
// through the pixel engine, whose box is one pixel larger each way and
// transparent there.
TEST_F(DrawEffects, RotationGoesThroughTheTransformation) {
  Bitmap b = testing::ColorBitmap(3, 1);
  Paint(b.get(), [](int x, int) { return static_cast<uint32_t>(x + 1); });
  transform_.matrix[0] = transform_.matrix[3] = 0.0;
  transform_.matrix[1] = 1.0;
  transform_.matrix[2] = -1.0;
  ASSERT_EQ(Draw(b.get(), 0, 0), 0);
  EXPECT_EQ(At(0, 0), 1u);
  EXPECT_EQ(At(0, 2), 3u);
  EXPECT_EQ(At(1, 0), 0u);
  EXPECT_EQ(gChanged.back().height, 4);
  // A singular matrix is refused.
  transform_.matrix[1] = 0.0;
  EXPECT_EQ(Draw(b.get(), 0, 0), kErrRange);
}

TEST_F(DrawEffects, TagTablesOfTheDraw) {
  lua_State* L = luaL_newstate();
  Bitmap b = Solid(2, 1, 0x00FF00);
  luaL_dostring(L, "return 0, 0, {scalex = 2, anchorx = 0.5}");
  DrawObjectArgs args{};
  args.type = kDrawBitmap;
  args.bitmap = b.get();
  args.x = kCenter;
  args.tagIndex = 3;
  ASSERT_EQ(DrawObject(L, &args), 0);
  // 4 wide at the centre of 20, moved by half its width.
  EXPECT_EQ(At(10, 0), 0x00FF00u);
  EXPECT_EQ(At(11, 0), 0x00FF00u);
  EXPECT_EQ(At(9, 0), 0u);
  lua_settop(L, 0);
  luaL_dostring(L, "return {filters = {[0] = {name = 'emboss'}}}");
  args.tagIndex = 1;
  gBound.filters = nullptr;
  EXPECT_EQ(DrawObject(L, &args), kErrSiblingAbsent);
  args.tagIndex = 2;  // promised but missing
  EXPECT_EQ(DrawObject(L, &args), kErrTableArgument);
  lua_close(L);
}

TEST_F(DrawEffects, ApplyDrawEffectsSlot) {
  BitmapHandle* color = AllocBitmap(2, 2, 0, nullptr);
  BitmapHandle* mask = nullptr;
  BitmapHandle* alpha = nullptr;
  int width = 2, height = 2, originX = -1, originY = -1;
  tags_.shadow.on = 1;
  tags_.shadow.size = 3;
  tags_.shadow.direction = kShdwnorth;
  ASSERT_EQ(ApplyDrawEffects(nullptr, &transform_, &tags_, &color, &mask, &alpha, &width, &height,
                             &originX, &originY),
            0);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 5);
  EXPECT_EQ(originX, 0);
  EXPECT_EQ(originY, 3);
  EXPECT_EQ(color->height, 5);
  EXPECT_NE(alpha, nullptr);
  FreeBitmapSet(&color, &mask, &alpha);
}

}  // namespace
}  // namespace tzx::graphics
