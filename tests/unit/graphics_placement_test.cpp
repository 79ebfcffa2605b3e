// Placement: position codes with offsets and anchors, the current display as
// the default area, keep-aspect sizes, clipping and rectangles, shadows.
#include <gtest/gtest.h>

#include "graphics/src/placement.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {
namespace {

using testing::GraphicsTest;

class GraphicsPlacement : public GraphicsTest {};

TEST_F(GraphicsPlacement, PositionCodes) {
  EXPECT_EQ(ResolveX(kCenter + 10, 50, 200, 0.0), 85);
  EXPECT_EQ(ResolveX(kRight, 50, 200, 0.5), 175);
  EXPECT_EQ(ResolveX(kLeft - 3, 50, 200, 0.0), -3);
  EXPECT_EQ(ResolveX(kLeftout, 50, 200, 0.0), -50);
  EXPECT_EQ(ResolveX(kRightout + 4999, 50, 200, 0.0), 200 + 4999);
  EXPECT_EQ(ResolveY(kTop, 10, 100, 0.0), 0);
  EXPECT_EQ(ResolveY(kBottom, 10, 100, 0.0), 90);
  EXPECT_EQ(ResolveY(kTopout, 10, 100, 0.0), -10);
  EXPECT_EQ(ResolveY(kBottomout, 10, 100, 0.0), 100);
  EXPECT_EQ(ResolveY(kCenter, 11, 100, 0.0), 44);  // (100 - 11) / 2
  // Horizontal codes mean nothing vertically, and the reverse.
  EXPECT_EQ(ResolveY(kLeft, 10, 100, 0.0), kLeft);
  EXPECT_EQ(ResolveX(kTop, 10, 100, 0.0), kTop);
  // Offsets reach ±4999; -5000 from a code is a plain number.
  EXPECT_EQ(ResolveX(-95000, 50, 200, 0.0), -95000);
  EXPECT_EQ(ResolveX(kCenter - 4999, 0, 200, 0.0), 100 - 4999);
  // Plain coordinates and extreme values pass unchanged.
  EXPECT_EQ(ResolveX(123, 50, 200, 0.5), 123);
  EXPECT_EQ(ResolveX(INT32_MAX, 50, 200, 0.0), INT32_MAX);
  EXPECT_EQ(ResolveX(INT32_MIN, 50, 200, 0.0), INT32_MIN);
}

TEST_F(GraphicsPlacement, AreaZeroMeansTheCurrentDisplay) {
  EXPECT_EQ(ResolveX(kRight, 50, 0, 0.0), -50);  // no display: area 0
  OutputRecord display{};
  display.width = 640;
  display.height = 480;
  gCurrentDisplay = &display;
  EXPECT_EQ(ResolveX(kRight, 40, 0, 0.0), 600);
  EXPECT_EQ(ResolveY(kCenter, 80, 0, 0.0), 200);
  // An inner view replaces the size, and its origin counts.
  display.view = {100, 50, 200, 100};
  EXPECT_EQ(ResolveX(kRight, 40, 0, 0.0), 260);
  EXPECT_EQ(ResolveY(kTop, 80, 0, 0.0), 50);
  // A given area is used as it is.
  EXPECT_EQ(ResolveX(kRight, 40, 100, 0.0), 60);
}

TEST_F(GraphicsPlacement, KeepAspect) {
  int w = kKeepasprat, h = 101;
  EXPECT_EQ(ResolveKeepAspect(300, 200, &w, &h), 0);
  EXPECT_EQ(w, 152);  // 151.5 rounds up
  w = 100;
  h = kKeepasprat;
  EXPECT_EQ(ResolveKeepAspect(300, 200, &w, &h), 0);
  EXPECT_EQ(h, 67);  // 66.67
  w = 1;
  h = kKeepasprat;
  EXPECT_EQ(ResolveKeepAspect(1000, 1, &w, &h), 0);
  EXPECT_EQ(h, 1);  // raised to at least 1
  w = h = kKeepasprat;
  EXPECT_EQ(ResolveKeepAspect(300, 200, &w, &h), kErrRange);
  w = 0;
  h = kKeepasprat;
  EXPECT_EQ(ResolveKeepAspect(300, 200, &w, &h), 0);
  EXPECT_EQ(h, kKeepasprat);  // nothing changes for a size below 1
  w = 30;
  h = 20;
  EXPECT_EQ(ResolveKeepAspect(300, 200, &w, &h), 0);
  EXPECT_EQ(w, 30);
  // A source without an aspect cannot lend one.
  w = kKeepasprat;
  h = 10;
  EXPECT_EQ(ResolveKeepAspect(300, 0, &w, &h), kErrRange);
}

TEST_F(GraphicsPlacement, ClipBlitToTarget) {
  int sx = 0, sy = 0, x = -5, y = -2, w = 20, h = 10;
  ASSERT_TRUE(ClipBlitToTarget(nullptr, &sx, &sy, &x, &y, &w, &h, 20, 10, 12, 7, 0));
  EXPECT_EQ(sx, 5);
  EXPECT_EQ(sy, 2);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(w, 12);  // the target's width
  EXPECT_EQ(h, 7);
  // With a region its edges replace the target's.
  Rect region{3, 4, 5, 6};
  sx = sy = 0;
  x = y = 0;
  w = h = 20;
  ASSERT_TRUE(ClipBlitToTarget(&region, &sx, &sy, &x, &y, &w, &h, 20, 20, 100, 100, 1));
  EXPECT_EQ(sx, 3);
  EXPECT_EQ(sy, 4);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 6);
  // The flag 0 ignores the region.
  sx = sy = x = y = 0;
  w = h = 20;
  ASSERT_TRUE(ClipBlitToTarget(&region, &sx, &sy, &x, &y, &w, &h, 20, 20, 100, 100, 0));
  EXPECT_EQ(w, 20);
  // A negative source position moves the destination instead.
  sx = -3;
  sy = 0;
  x = 10;
  y = 0;
  w = h = 5;
  ASSERT_TRUE(ClipBlitToTarget(nullptr, &sx, &sy, &x, &y, &w, &h, 20, 20, 100, 100, 0));
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(x, 13);
  EXPECT_EQ(w, 2);
  // Entirely outside: nothing left.
  sx = sy = 0;
  x = 100;
  y = 0;
  w = h = 5;
  EXPECT_FALSE(ClipBlitToTarget(nullptr, &sx, &sy, &x, &y, &w, &h, 20, 20, 100, 100, 0));
  EXPECT_EQ(w, 0);
  // Far-away coordinates do not overflow.
  sx = sy = 0;
  x = INT32_MIN + 1;
  y = 0;
  w = INT32_MAX;
  h = 5;
  EXPECT_FALSE(ClipBlitToTarget(nullptr, &sx, &sy, &x, &y, &w, &h, 20, 20, 100, 100, 0));
}

TEST_F(GraphicsPlacement, ClipToRegionAndBounds) {
  Rect clip{10, 10, 10, 10};
  int sx = 0, sy = 0, x = 5, y = 15, w = 30, h = 30;
  ASSERT_TRUE(ClipBlitToRegion(&clip, &sx, &sy, &x, &y, &w, &h, 100, 100));
  EXPECT_EQ(sx, 5);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 5);
  EXPECT_FALSE(ClipBlitToRegion(nullptr, &sx, &sy, &x, &y, &w, &h, 100, 100));

  int rx = -4, ry = 3, rw = 10, rh = 10;
  ASSERT_TRUE(ClipSourceToBounds(&rx, &ry, &rw, &rh, 5, 8));
  EXPECT_EQ(rx, 0);
  EXPECT_EQ(rw, 5);
  EXPECT_EQ(ry, 3);
  EXPECT_EQ(rh, 5);
  rx = 2;
  ry = 2;
  rw = rh = 3;
  ASSERT_TRUE(ClipRect(&rx, &ry, &rw, &rh, 3, 0, 10, 10));
  EXPECT_EQ(rx, 3);
  EXPECT_EQ(rw, 2);
  EXPECT_FALSE(ClipRect(&rx, &ry, &rw, &rh, 50, 50, 1, 1));
}

TEST_F(GraphicsPlacement, Rectangles) {
  int x, y, w, h;
  ASSERT_TRUE(IntersectRect(0, 0, 10, 10, 5, 6, 10, 10, &x, &y, &w, &h));
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 6);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 4);
  x = -1;
  EXPECT_FALSE(IntersectRect(0, 0, 10, 10, 10, 0, 5, 5, &x, &y, &w, &h));  // touching only
  EXPECT_EQ(x, -1);                                                        // left alone on failure

  EXPECT_TRUE(RectInside(2, 2, 5, 5, 0, 0, 5, 5));
  EXPECT_FALSE(RectInside(2, 2, 6, 5, 0, 0, 5, 5));
  EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 9, 9, 5, 5));
  EXPECT_FALSE(RectsOverlap(0, 0, 10, 10, 10, 0, 5, 5));
  EXPECT_FALSE(RectsOverlap(0, 0, 0, 10, 0, 0, 5, 5));

  int32_t values[4] = {-1, 0, 3, INT32_MIN};
  ClampNonNegative(values);
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(values[2], 3);
  EXPECT_EQ(values[3], 0);
}

TEST_F(GraphicsPlacement, ShadowSizesAndMargins) {
  const int grows[8][2] = {{0, 1}, {1, 1}, {1, 0}, {1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, 1}};
  for (int d = 0; d < 8; ++d) {
    int w = 10, h = 20;
    ShadowGrowSize(&w, &h, 4, d);
    EXPECT_EQ(w, 10 + 4 * grows[d][0]) << d;
    EXPECT_EQ(h, 20 + 4 * grows[d][1]) << d;
  }
  int top, bottom, left, right;
  ShadowMargins(5, 1, &top, &bottom, &left, &right);  // north-east
  EXPECT_EQ(top, 5);
  EXPECT_EQ(right, 5);
  EXPECT_EQ(bottom, 0);
  EXPECT_EQ(left, 0);
  ShadowMargins(5, 5, &top, &bottom, &left, &right);  // south-west
  EXPECT_EQ(bottom, 5);
  EXPECT_EQ(left, 5);
  EXPECT_EQ(top + right, 0);
  ShadowMargins(5, 9, &top, &bottom, &left, &right);
  EXPECT_EQ(top + bottom + left + right, 0);
}

}  // namespace
}  // namespace tzx::graphics
