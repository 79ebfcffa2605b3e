// The central draw and the other output operations, against a stand-in brush
// library (its FindBrush slot) and output records made here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/src/bindings.h"
#include "graphics/src/draw_object.h"
#include "graphics/src/draw_record.h"
#include "graphics/src/image_objects.h"
#include "graphics/src/output.h"
#include "support/graphics_fixtures.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::Paint;

// The brush library as DrawObject sees it: records that begin with
// BrushRecordHead, found by number.
std::vector<BrushRecordHead*> gBrushes;
unsigned gLastAccess = 0;
int gRebuilds = 0;

int FindFakeBrush(lua_State*, const ObjectId* id, brush::BrushRecord** out, unsigned access) {
  gLastAccess = access;
  for (BrushRecordHead* b : gBrushes) {
    if (b->header.id == *id) {
      if ((access & 8) && b->kind == 1) return kErrNotAllowed;
      *out = reinterpret_cast<brush::BrushRecord*>(b);
      return 0;
    }
  }
  return kErrUnknownBrush;
}
int RebuildFakeBrushes(int dropHardware, int keepHardware) {
  ++gRebuilds;
  return dropHardware == 0 && keepHardware == 1 ? 1234 : 0;
}
// Only these two entries are called; the rest stay empty.
const brush::BrushInterface kFakeBrushLibrary = [] {
  brush::BrushInterface fake{};
  fake.FindBrush = FindFakeBrush;
  fake.RebuildBrushes = RebuildFakeBrushes;
  return fake;
}();

std::vector<Rect> gChanged;
void RecordChange(OutputRecord*, int x, int y, int w, int h) {
  gChanged.push_back({x, y, w, h});
}
const OutputOps kOps = {RecordChange, nullptr};

const char* ErrorArgument() {
  return tzx::host::State().errorString.c_str();
}

class GraphicsDraw : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    saved_ = gBound;
    gBound.brush = &kFakeBrushLibrary;
    gBrushes.clear();
    gChanged.clear();
    target_ = testing::ColorBitmap(20, 10);
    testing::DrawInto(&output_, target_.get(), &kOps);
  }
  void TearDown() override {
    gBound = saved_;
    for (BrushRecordHead* b : gBrushes) FreeBitmapSet(&b->bitmap, &b->mask, &b->alpha);
    for (BrushRecordHead* b : gBrushes) FreeBitmap(b->chunky);
    owned_.clear();
    target_.reset();
    GraphicsTest::TearDown();
  }

  // A brush of the given number with a colour bitmap filled with `color`.
  BrushRecordHead* AddBrush(int number, int width, int height, uint32_t color) {
    owned_.push_back(std::make_unique<BrushRecordHead>());
    BrushRecordHead* b = owned_.back().get();
    b->header.type = 3;
    b->header.id = {number, nullptr};
    b->width = width;
    b->height = height;
    b->transparentPen = -1;
    b->bitmap = AllocBitmap(width, height, 0, nullptr);
    Paint(b->bitmap, [color](int, int) { return color; });
    gBrushes.push_back(b);
    return b;
  }

  int Draw(int type, int number, int x, int y, DrawObjectArgs args = {}) {
    ObjectId id{number, nullptr};
    args.type = type;
    args.id = &id;
    args.x = x;
    args.y = y;
    return DrawObject(nullptr, &args);
  }

  uint32_t At(int x, int y) { return ReadPixel(target_.get(), x, y, 0); }

  BoundSiblings saved_;
  Bitmap target_;
  OutputRecord output_{};
  std::vector<std::unique_ptr<BrushRecordHead>> owned_;
};

TEST_F(GraphicsDraw, NeedsAnOutputAndItsLibraries) {
  AddBrush(1, 2, 2, 0xFF0000);
  gCurrentOutput = nullptr;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrNoOutput);
  gCurrentOutput = &output_;
  output_.kind = kOutputDisplay;
  gBound.display = nullptr;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrSiblingAbsent);
  EXPECT_STREQ(ErrorArgument(), "display");
  output_.kind = kOutputBrush;
  gBound.brush = nullptr;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrSiblingAbsent);
  EXPECT_STREQ(ErrorArgument(), "brush");
  gBound.text = nullptr;
  EXPECT_EQ(Draw(kDrawTextObject, 1, 0, 0), kErrSiblingAbsent);
  EXPECT_STREQ(ErrorArgument(), "text");
  EXPECT_EQ(Draw(77, 1, 0, 0), kErrRange);
}

TEST_F(GraphicsDraw, BrushErrorsPassThrough) {
  EXPECT_EQ(Draw(kDrawBrush, 5, 0, 0), kErrUnknownBrush);
  EXPECT_EQ(gLastAccess, kFindForDraw);
  BrushRecordHead* vector = AddBrush(2, 4, 4, 0);
  vector->kind = 1;
  EXPECT_EQ(Draw(kDrawBrushPart, 2, 0, 0, {.width = 1, .height = 1}), kErrNotAllowed);
  EXPECT_EQ(gLastAccess, kFindForDrawPart);
  // A transformed vector brush cannot become a layer.
  vector->transformed = 1;
  output_.layers = 1;
  EXPECT_EQ(Draw(kDrawBrush, 2, 0, 0), kErrVectorLayerTransform);
  output_.layers = 0;
  // A hardware brush of another display.
  BrushRecordHead* hardware = AddBrush(3, 4, 4, 0);
  hardware->hardware = 1;
  int displayRecord = 0;
  hardware->displayKey = &displayRecord;
  EXPECT_EQ(Draw(kDrawBrush, 3, 0, 0), kErrForeignHardwareBrush);
  OutputRecord display{};
  display.owner = &displayRecord;
  gCurrentDisplay = &display;
  EXPECT_EQ(Draw(kDrawBrush, 3, 0, 0), 0);
}

TEST_F(GraphicsDraw, DrawsAtPositionCodesAndReportsTheChange) {
  AddBrush(1, 4, 3, 0x00FF00);
  ASSERT_EQ(Draw(kDrawBrush, 1, kCenter, kBottom), 0);
  // (20 - 4) / 2 = 8, 10 - 3 = 7.
  EXPECT_EQ(At(8, 7), 0x00FF00u);
  EXPECT_EQ(At(11, 9), 0x00FF00u);
  EXPECT_EQ(At(7, 7), 0u);
  EXPECT_EQ(At(12, 9), 0u);
  ASSERT_EQ(gChanged.size(), 1u);
  EXPECT_EQ(gChanged[0].x, 8);
  EXPECT_EQ(gChanged[0].y, 7);
  EXPECT_EQ(gChanged[0].width, 4);
  EXPECT_EQ(gChanged[0].height, 3);
  // Partly outside: only the visible part changes.
  ASSERT_EQ(Draw(kDrawBrush, 1, -2, -1), 0);
  EXPECT_EQ(At(0, 0), 0x00FF00u);
  EXPECT_EQ(gChanged[1].width, 2);
  EXPECT_EQ(gChanged[1].height, 2);
  // Wholly outside: nothing to report.
  ASSERT_EQ(Draw(kDrawBrush, 1, 30, 0), 0);
  EXPECT_EQ(gChanged.size(), 2u);
}

TEST_F(GraphicsDraw, MaskAndAlphaChannels) {
  BrushRecordHead* masked = AddBrush(1, 4, 1, 0xFF0000);
  masked->mask = AllocMask(nullptr, 4, 1, 0, nullptr, 0);
  Paint(masked->mask, [](int x, int) { return static_cast<uint32_t>(x % 2); });
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(1, 0), 0xFF0000u);

  BrushRecordHead* blended = AddBrush(2, 4, 1, 0xFFFFFF);
  blended->alpha = AllocAlpha(4, 1, 0, nullptr, 0);
  Paint(blended->alpha, [](int x, int) { return static_cast<uint32_t>(x * 85); });
  ASSERT_EQ(Draw(kDrawBrush, 2, 0, 1), 0);
  EXPECT_EQ(At(0, 1), 0u);
  EXPECT_EQ(At(1, 1), 0x555555u);
  EXPECT_EQ(At(3, 1), 0xFFFFFFu);

  // A pre-parsed record's transparency halves what is drawn.
  TransformRecord transform;
  TagRecord tags;
  InitDrawRecord(&transform, &tags, 0, 0, 0, 0);
  tags.transparency = 128;
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 2, {.transform = &transform, .tags = &tags}), 0);
  EXPECT_EQ(At(0, 2), 0u);
  EXPECT_EQ(At(1, 2), 0x7F0000u);
  // Anchors move an object placed by a position code by a fraction of its size.
  transform.anchorX = 0.5;
  tags.transparency = 0;
  ASSERT_EQ(Draw(kDrawBrush, 2, kLeft + 10, 3, {.transform = &transform, .tags = &tags}), 0);
  EXPECT_EQ(At(11, 3), 0u);
  EXPECT_EQ(At(13, 3), 0x555555u);
  EXPECT_EQ(At(15, 3), 0xFFFFFFu);
  // A plain coordinate is where the object goes.
  ASSERT_EQ(Draw(kDrawBrush, 2, 0, 4, {.transform = &transform, .tags = &tags}), 0);
  EXPECT_EQ(At(3, 4), 0xFFFFFFu);
}

TEST_F(GraphicsDraw, BrushPartsResolveTheirSource) {
  BrushRecordHead* b = AddBrush(1, 6, 4, 0);
  Paint(b->bitmap, [](int x, int y) { return static_cast<uint32_t>(x << 16 | y); });
  ASSERT_EQ(
      Draw(kDrawBrushPart, 1, 0, 0, {.sourceX = kRight, .sourceY = 1, .width = 2, .height = 9}), 0);
  EXPECT_EQ(At(0, 0), static_cast<uint32_t>(4 << 16 | 1));
  EXPECT_EQ(At(1, 2), static_cast<uint32_t>(5 << 16 | 3));
  EXPECT_EQ(gChanged.back().height, 3);  // cut to what the source holds
  EXPECT_EQ(Draw(kDrawBrushPart, 1, 0, 0, {.sourceX = -1, .width = 1, .height = 1}),
            kErrNegativePosition);
  EXPECT_EQ(Draw(kDrawBrushPart, 1, 0, 0, {.sourceY = 4, .width = 1, .height = 1}), kErrOutside);
  EXPECT_EQ(Draw(kDrawBrushPart, 1, 0, 0, {.width = 0, .height = 1}), kErrSizeTooSmall);
}

TEST_F(GraphicsDraw, PaletteBrushes) {
  std::vector<uint32_t> palette(256, 0);
  palette[1] = 0x0000FF;
  palette[2] = 0xFFFF00;
  BrushRecordHead* b = AddBrush(1, 3, 1, 0);
  FreeBitmap(b->bitmap);
  b->bitmap = nullptr;
  b->chunky = AllocIndexBitmap(3, 1, 1);
  b->palette = palette.data();
  b->depth = 2;
  b->transparentPen = 2;
  WritePixel(b->chunky, 0, 0, 1, 0);
  WritePixel(b->chunky, 1, 0, 2, 0);
  Paint(target_.get(), [](int, int) { return 0x010101u; });
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(At(0, 0), 0x0000FFu);
  EXPECT_EQ(At(1, 0), 0x010101u);  // the transparent pen
  EXPECT_EQ(At(2, 0), 0u);         // pen 0

  // Onto a palette output: pens copied, but only as many as the output has.
  Bitmap pens = testing::IndexPlane(4, 4);
  std::vector<uint32_t> outputPalette = {0, 0xFFFFFF};
  output_.color = pens.get();
  output_.palette = outputPalette.data();
  output_.paletteDepth = 1;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrDepthExceeds);
  output_.paletteDepth = 2;
  outputPalette.resize(4);
  output_.palette = outputPalette.data();
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(ReadPixel(pens.get(), 0, 0, 0), 1u);
  EXPECT_EQ(ReadPixel(pens.get(), 1, 0, 0), 0u);

  // Colour brushes map to the nearest pens.
  AddBrush(2, 2, 1, 0xF0F0F0);
  ASSERT_EQ(Draw(kDrawBrush, 2, 2, 2), 0);
  EXPECT_EQ(ReadPixel(pens.get(), 3, 2, 0), 1u);
}

TEST_F(GraphicsDraw, MaskAndAlphaOutputs) {
  BrushRecordHead* b = AddBrush(1, 3, 1, 0xFFFFFF);
  b->alpha = AllocAlpha(3, 1, 0, nullptr, 0);
  Paint(b->alpha, [](int x, int) { return static_cast<uint32_t>(x * 100); });
  Bitmap mask = testing::MaskPlane(5, 1);
  output_.kind = kOutputMask;
  output_.mask = mask.get();
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(ReadPixel(mask.get(), 1, 0, 0), 0u);  // 100 is less than half
  EXPECT_EQ(ReadPixel(mask.get(), 2, 0, 0), 1u);
  Bitmap alpha = testing::AlphaPlane(5, 1);
  output_.kind = kOutputAlpha;
  output_.alpha = alpha.get();
  ASSERT_EQ(Draw(kDrawBrush, 1, 1, 0), 0);
  EXPECT_EQ(ReadPixel(alpha.get(), 2, 0, 0), 100u);
  EXPECT_EQ(ReadPixel(alpha.get(), 3, 0, 0), 200u);
}

TEST_F(GraphicsDraw, FiltersOfTheFiltersLibraryNeedIt) {
  AddBrush(1, 2, 2, 0xFF);
  TransformRecord transform;
  TagRecord tags;
  // Filters beyond tint, flips and quantize need the filters library.
  InitDrawRecord(&transform, &tags, 0, 0, 0, 0);
  tags.filters[0].enabled = 1;
  gBound.filters = nullptr;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0, {.transform = &transform, .tags = &tags}), kErrSiblingAbsent);
  EXPECT_STREQ(ErrorArgument(), "filters");
  // The same from the defaults, for draws without tags.
  SharedState().drawTagDefaults.filters[0].enabled = 1;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrSiblingAbsent);
  EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(GraphicsDraw, OutputClipAndLayers) {
  AddBrush(1, 20, 10, 0xFFFFFF);
  output_.clip = {5, 2, 3, 3};
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(At(5, 2), 0xFFFFFFu);
  EXPECT_EQ(At(7, 4), 0xFFFFFFu);
  EXPECT_EQ(At(4, 2), 0u);
  EXPECT_EQ(At(8, 4), 0u);
  EXPECT_EQ(gChanged.back().width, 3);
  output_.layers = 1;
  gBound.layers = nullptr;
  EXPECT_EQ(Draw(kDrawBrush, 1, 0, 0), kErrSiblingAbsent);
  EXPECT_STREQ(ErrorArgument(), "layers");
}

int DrawCheckers(void*, int width, int height, const double*, BitmapHandle** color,
                 BitmapHandle** mask, BitmapHandle** alpha) {
  *color = AllocBitmap(width, height, 0, nullptr);
  *mask = AllocMask(nullptr, width, height, 0, nullptr, 0);
  *alpha = nullptr;
  Paint(*color, [](int, int) { return 0x00FFFFu; });
  Paint(*mask, [](int x, int y) { return static_cast<uint32_t>((x + y) % 2); });
  return 0;
}

TEST_F(GraphicsDraw, PicturesAndDirectBitmaps) {
  // A vector brush without planes is drawn from its picture at its size.
  BrushRecordHead* b = AddBrush(1, 3, 3, 0);
  FreeBitmap(b->bitmap);
  b->bitmap = nullptr;
  b->kind = 1;
  b->imageObject = CreateImageObject(4, 3, 3, nullptr, nullptr, DrawCheckers, nullptr);
  ASSERT_EQ(Draw(kDrawBrush, 1, 0, 0), 0);
  EXPECT_EQ(At(1, 0), 0x00FFFFu);
  EXPECT_EQ(At(0, 0), 0u);
  ReleaseImageObject(b->imageObject);

  std::vector<uint32_t> pixels = {0xFF123456, 0x00FFFFFF};
  ImageObject* raster = CreateImageObject(2, 2, 1, pixels.data(), nullptr, nullptr, nullptr);
  ASSERT_EQ(DrawImageObject(nullptr, raster, 5, 5), 0);
  EXPECT_EQ(At(5, 5), 0x123456u);
  EXPECT_EQ(At(6, 5), 0u);  // alpha 0 from the top byte
  ReleaseImageObject(raster);

  Bitmap bitmap = testing::ColorBitmap(2, 2);
  Bitmap alpha = testing::AlphaPlane(2, 2);
  Paint(bitmap.get(), [](int, int) { return 0x808080u; });
  Paint(alpha.get(), [](int, int) { return 255u; });
  DrawObjectArgs direct{.alpha = alpha.get(), .bitmap = bitmap.get()};
  ASSERT_EQ(Draw(kDrawBitmap, 0, 18, 8, direct), 0);
  EXPECT_EQ(At(19, 9), 0x808080u);
  EXPECT_EQ(Draw(kDrawBitmap, 0, 0, 0), kErrRange);  // no bitmap given
}

TEST_F(GraphicsDraw, ColoredMasksInColourAndPen) {
  Bitmap glyph = testing::MaskPlane(3, 1);
  Paint(glyph.get(), [](int x, int) { return static_cast<uint32_t>(x != 1); });
  ASSERT_EQ(DrawColoredMask(glyph.get(), 0, 0, 1, 1, 3, 1, 0xFF8000, -1, 255), 0);
  EXPECT_EQ(At(1, 1), 0xFF8000u);
  EXPECT_EQ(At(2, 1), 0u);
  ASSERT_EQ(DrawColoredMask(glyph.get(), 0, 0, 1, 2, 3, 1, 0xFFFFFF, -1, 128), 0);
  EXPECT_EQ(At(1, 2), 0x808080u);
  Bitmap coverage = testing::AlphaPlane(2, 1);
  Paint(coverage.get(), [](int x, int) { return x ? 255u : 0u; });
  ASSERT_EQ(DrawColoredMask(coverage.get(), 0, 0, 19, 0, 2, 1, 0x0000FF, -1, 255), 0);
  EXPECT_EQ(At(19, 0), 0u);
  EXPECT_EQ(gChanged.back().width, 1);  // clipped at the output's edge

  // Palette outputs take a pen; -1 is the current draw pen.
  Bitmap pens = testing::IndexPlane(4, 1);
  std::vector<uint32_t> palette(8, 0);
  output_.color = pens.get();
  output_.palette = palette.data();
  output_.paletteDepth = 3;
  SharedState().drawStyle.drawPen = 5;
  ASSERT_EQ(DrawColoredMask(glyph.get(), 0, 0, 0, 0, 3, 1, 0xFFFFFF, -1, 255), 0);
  EXPECT_EQ(ReadPixel(pens.get(), 0, 0, 0), 5u);
  ASSERT_EQ(DrawColoredMask(glyph.get(), 0, 0, 1, 0, 3, 1, 0xFFFFFF, 6, 255), 0);
  EXPECT_EQ(ReadPixel(pens.get(), 1, 0, 0), 6u);
  EXPECT_EQ(DrawColoredMask(target_.get(), 0, 0, 0, 0, 1, 1, 0, 0, 255), kErrRange);
}

TEST_F(GraphicsDraw, OutputPalettesAndPens) {
  EXPECT_TRUE(UsesPenRange(1000));  // true colour: any pen
  EXPECT_EQ(MapColorToPen(0xFFFFFF), -1);
  uint32_t palette[256];
  EXPECT_EQ(GetDefaultPalette(palette), 0);
  std::vector<uint32_t> pens = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  output_.palette = pens.data();
  output_.paletteDepth = 2;
  EXPECT_TRUE(UsesPenRange(3));
  EXPECT_FALSE(UsesPenRange(4));
  EXPECT_FALSE(UsesPenRange(-1));
  EXPECT_EQ(MapColorToPen(0x10F010), 2);
  EXPECT_EQ(GetDefaultPalette(palette), 2);
  EXPECT_EQ(palette[3], 0x0000FFu);
  EXPECT_EQ(palette[4], 0u);
  EXPECT_TRUE(PenMatches(1, 0xFFFF0000));
  EXPECT_FALSE(PenMatches(1, 0x00FF00));
  EXPECT_FALSE(PenMatches(9, 0));
  EXPECT_EQ(FindNearestPen(0x0000F0, pens.data(), 2), 3);
  EXPECT_EQ(FindNearestPen(0x0000F0, pens.data(), 0), -1);
}

TEST_F(GraphicsDraw, PenModeOfThePaletteLibraryMapsEveryColourToTheDrawPen) {
  std::vector<uint32_t> pens = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  output_.palette = pens.data();
  output_.paletteDepth = 2;
  SharedState().drawStyle.drawPen = 3;
  int32_t mode = kPaletteModePen;
  const PaletteSibling palette{&mode, nullptr, nullptr};
  gBound.palette = &palette;
  EXPECT_EQ(MapColorToPen(0xFF0000), 3);  // no search, not even for an exact match
  mode = kPaletteModeRemap;
  EXPECT_EQ(MapColorToPen(0xFF0000), 1);
  // Fills of a pen output go through the mapping.
  Bitmap target = testing::IndexPlane(2, 1);
  output_.color = target.get();
  mode = kPaletteModePen;
  ASSERT_EQ(ClearRectCurrent(0, 0, 1, 1, 0x00FF00), 0);
  EXPECT_EQ(ReadPixel(target.get(), 0, 0, 0), 3u);
  mode = kPaletteModeRemap;
  ASSERT_EQ(ClearRectCurrent(1, 0, 1, 1, 0x00FF00), 0);
  EXPECT_EQ(ReadPixel(target.get(), 1, 0, 0), 2u);
  // Outputs without pens have nothing to map to.
  output_.palette = nullptr;
  mode = kPaletteModePen;
  EXPECT_EQ(MapColorToPen(0xFF0000), -1);
}

TEST_F(GraphicsDraw, ClearingAndCopyingTheOutput) {
  ASSERT_EQ(ClearRectCurrent(18, 8, 5, 5, 0x445566), 0);
  EXPECT_EQ(At(19, 9), 0x445566u);
  EXPECT_EQ(At(17, 9), 0u);
  EXPECT_EQ(gChanged.back().width, 2);
  EXPECT_EQ(ClearRect(0, 0, 1, 1, 0), kErrNoOutput);  // no current display
  gCurrentDisplay = &output_;
  ASSERT_EQ(ClearRect(0, 0, 1, 1, 0x010203), 0);
  EXPECT_EQ(At(0, 0), 0x010203u);

  BitmapHandle* copy = nullptr;
  ASSERT_EQ(CreateBitmapFromTarget(18, 8, 4, 4, &copy), 0);
  EXPECT_EQ(ReadPixel(copy, 1, 1, 0), 0x445566u);
  EXPECT_EQ(ReadPixel(copy, 3, 3, 0), 0u);  // beyond the output
  FreeBitmap(copy);
  EXPECT_EQ(CreateBitmapFromTarget(0, 0, 0, 4, &copy), kErrAllocBitmap);
  gCurrentOutput = nullptr;
  EXPECT_EQ(CreateBitmapFromTarget(0, 0, 1, 1, &copy), kErrNoOutput);
}

TEST_F(GraphicsDraw, NotifyObjectLibrariesReturnsTheFirstCode) {
  gRebuilds = 0;
  EXPECT_EQ(NotifyObjectLibraries(0), 1234);
  EXPECT_EQ(gRebuilds, 1);
  gBound.brush = nullptr;
  EXPECT_EQ(NotifyObjectLibraries(0), 0);
}

}  // namespace
}  // namespace tzx::graphics
