// The print cursor's stops, margins and positions, and the growths a style
// adds to a font's measure.
#include <gtest/gtest.h>

#include "text/src/cursor.h"
#include "text/src/font_record.h"
#include "text/src/glyph_runs.h"
#include "text/src/style.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {
namespace {

TEST(TextCursor, TabStopsStayAscendingUpToThirtyTwo) {
  graphics::PrintCursor c{};
  const int32_t first[] = {80, 10, 40};
  ASSERT_EQ(AddTabStops(&c, first, 3), 0);
  const int32_t second[] = {20};
  ASSERT_EQ(AddTabStops(&c, second, 1), 0);
  EXPECT_EQ(c.tabCount, 4);
  EXPECT_EQ(c.tabs[0], 10);
  EXPECT_EQ(c.tabs[1], 20);
  EXPECT_EQ(c.tabs[3], 80);
  const int32_t negative[] = {5, -1};
  EXPECT_EQ(AddTabStops(&c, negative, 2), kErrNegativePosition);
  EXPECT_EQ(c.tabCount, 4);
  int32_t many[28];
  for (int i = 0; i < 28; ++i) many[i] = 100 + i;
  ASSERT_EQ(AddTabStops(&c, many, 28), 0);  // exactly full
  EXPECT_EQ(c.tabs[31], 127);
  EXPECT_EQ(AddTabStops(&c, many, 1), kErrTooMany);
  EXPECT_EQ(c.tabCount, 32);
}

TEST(TextCursor, MarginsAreClippedToTheOutputUnlessAsked) {
  graphics::PrintCursor c{};
  c.cursorX = 50;
  ASSERT_EQ(SetCursorMargins(&c, -10, 500, false, 320), 0);
  EXPECT_EQ(c.leftMargin, 0);
  EXPECT_EQ(c.rightMargin, 319);
  EXPECT_EQ(c.cursorX, 0);
  ASSERT_EQ(SetCursorMargins(&c, -10, 500, true, 320), 0);
  EXPECT_EQ(c.leftMargin, -10);
  EXPECT_EQ(c.rightMargin, 500);
  EXPECT_EQ(SetCursorMargins(&c, 30, 30, false, 320), kErrRange);
  EXPECT_EQ(SetCursorMargins(&c, 400, 500, false, 320), kErrRange);  // right clipped below left
  EXPECT_EQ(c.leftMargin, -10);
}

TEST(TextCursor, LocateKeepsXInsideTheMargins) {
  graphics::PrintCursor c{};
  c.leftMargin = 10;
  c.rightMargin = 100;
  LocateCursor(&c, 100, 7);
  EXPECT_EQ(c.cursorX, 100);
  EXPECT_EQ(c.cursorY, 7);
  LocateCursor(&c, 101, 8);
  EXPECT_EQ(c.cursorX, 10);
  LocateCursor(&c, 9, 8);
  EXPECT_EQ(c.cursorX, 10);
  EXPECT_TRUE(IsPositionCodeX(graphics::kRight + 20));
  EXPECT_TRUE(IsPositionCodeY(graphics::kBottom));
  EXPECT_FALSE(IsPositionCodeY(graphics::kLeft));
  EXPECT_FALSE(IsPositionCodeX(-50));
}

TEST(TextCursor, ZeroedCursorSpansTheOutput) {
  graphics::OutputRecord o{};
  o.width = 640;
  PrepareCursor(&o);
  EXPECT_EQ(o.cursor.rightMargin, 639);
  o.cursor.leftMargin = 5;
  o.cursor.rightMargin = 20;
  PrepareCursor(&o);
  EXPECT_EQ(o.cursor.rightMargin, 20);
}

struct TextExtent Measured() {
  struct TextExtent e {};
  e.width = 30;
  e.height = 12;
  e.inkX = 1;
  e.inkY = 2;
  e.inkRight = 28;
  e.inkBottom = 10;
  return e;
}

TEST(TextMeasure, SynthesisedBoldAndItalicWidenTheInk) {
  FontRecord font{};
  font.kind = kFontOutline;
  font.height = 12;
  font.ascender = 9;
  TextStyle s = InitialTextStyle();
  s.flags = graphics::kBold | graphics::kItalic;
  struct TextExtent e = Measured();
  GrowExtent(s, font, &e);
  EXPECT_EQ(e.inkRight, 28 + 1 + 4);
  EXPECT_EQ(e.inkX, 0);  // -(12 - 9) / 2
  EXPECT_EQ(InkWidth(e), 34);
  s.flags |= graphics::kAntialias;
  e = Measured();
  GrowExtent(s, font, &e);
  EXPECT_EQ(e.inkRight, 28 + 4);
  font.kind = kFontSystem;  // real faces: nothing to add
  e = Measured();
  GrowExtent(s, font, &e);
  EXPECT_EQ(e.inkRight, 28);
  EXPECT_EQ(InkWidth(e), 30);
}

TEST(TextMeasure, EdgeAndShadowGrowByDirection) {
  FontRecord font{};
  font.kind = kFontBitmap;
  TextStyle s = InitialTextStyle();
  s.flags = graphics::kEdge | graphics::kShadow;
  s.borderSize = 2;
  s.shadowSize = 3;
  s.shadowDir = graphics::kShdwnortheast;
  struct TextExtent e = Measured();
  GrowExtent(s, font, &e);
  EXPECT_EQ(e.minX, -2);
  EXPECT_EQ(e.minY, -5);
  EXPECT_EQ(e.maxX, 5);
  EXPECT_EQ(e.maxY, 2);
  s.flags = graphics::kShadow;
  s.shadowDir = graphics::kShdwsouthwest;
  font.kind = kFontColor;  // colour glyphs cast a longer shadow
  e = Measured();
  GrowExtent(s, font, &e);
  EXPECT_EQ(e.minX, -13);
  EXPECT_EQ(e.maxY, 13);
  EXPECT_EQ(e.minY, 0);
  EXPECT_EQ(e.maxX, 0);
}

}  // namespace
}  // namespace tzx::text
