// Changed rectangles: the add rule of the dirty and refresh lists and the
// merge pass that Flip and refreshes run before copying.
#include <gtest/gtest.h>

#include "dirty_rects.h"

namespace {

using namespace tzx::display;

struct List {
  RectList list{};
  List() { EXPECT_TRUE(InitRectList(&list)); }
  ~List() { FreeRectList(&list); }
};

bool Same(const DirtyRect& r, int x1, int y1, int x2, int y2) {
  return r.x1 == x1 && r.y1 == y1 && r.x2 == x2 && r.y2 == y2;
}

TEST(DisplayRects, RectanglesAreKeptWithInclusiveCorners) {
  List l;
  AddRect(&l.list, 3, 4, 10, 20, 640, 480, false);
  ASSERT_EQ(l.list.count, 1);
  EXPECT_TRUE(Same(l.list.rects[0], 3, 4, 12, 23));
  AddRect(&l.list, 0, 0, 0, 5, 640, 480, false);  // empty: nothing to do
  EXPECT_EQ(l.list.count, 1);
  EXPECT_FALSE(l.list.everything);
}

TEST(DisplayRects, ARectangleCoveringTheDisplayMarksEverything) {
  List l;
  AddRect(&l.list, 5, 5, 2, 2, 64, 48, false);
  AddRect(&l.list, -4, 0, 100, 48, 64, 48, false);
  EXPECT_TRUE(l.list.everything);
  AddRect(&l.list, 1, 1, 2, 2, 64, 48, true);
  EXPECT_EQ(l.list.count, 1) << "nothing is added once everything changed";
  ClearRectList(&l.list);
  EXPECT_FALSE(l.list.everything);
  EXPECT_EQ(l.list.count, 0);
}

TEST(DisplayRects, AFullListWithoutGrowthMarksEverythingInsteadOfLosingAChange) {
  List l;
  for (int i = 0; i < kRectListBlock; ++i) AddRect(&l.list, i % 60, 0, 1, 1, 64, 48, false);
  EXPECT_EQ(l.list.count, kRectListBlock);
  EXPECT_FALSE(l.list.everything);
  AddRect(&l.list, 1, 1, 1, 1, 64, 48, false);
  EXPECT_TRUE(l.list.everything);
  EXPECT_EQ(l.list.capacity, kRectListBlock);
}

TEST(DisplayRects, AFullListThatMayGrowGrowsByABlockAndKeepsItsEntries) {
  List l;
  for (int i = 0; i < kRectListBlock; ++i) AddRect(&l.list, i % 60, i % 40, 1, 1, 64, 48, true);
  AddRect(&l.list, 7, 8, 2, 3, 64, 48, true);
  EXPECT_EQ(l.list.capacity, 2 * kRectListBlock);
  ASSERT_EQ(l.list.count, kRectListBlock + 1);
  EXPECT_TRUE(Same(l.list.rects[kRectListBlock - 1], 1023 % 60, 1023 % 40, 1023 % 60, 1023 % 40));
  EXPECT_TRUE(Same(l.list.rects[kRectListBlock], 7, 8, 8, 10));
  EXPECT_FALSE(l.list.everything);
}

TEST(DisplayRects, TouchingRectanglesBecomeOne) {
  // (0, 0, 10, 10) and (10, 0, 10, 10): Flip copies (0, 0, 20, 10).
  DirtyRect r[] = {{0, 0, 9, 9}, {10, 0, 19, 9}};
  MergeRects(r, 2);
  EXPECT_TRUE(Same(r[0], 0, 0, 19, 9));
  EXPECT_EQ(r[1].x1, kConsumed);
}

TEST(DisplayRects, ContainedOverlappingAndCornerTouchingRectanglesMerge) {
  DirtyRect inside[] = {{2, 2, 4, 4}, {0, 0, 9, 9}};
  MergeRects(inside, 2);
  EXPECT_TRUE(Same(inside[0], 0, 0, 9, 9));
  EXPECT_EQ(inside[1].x1, kConsumed);

  DirtyRect overlap[] = {{0, 0, 5, 5}, {3, 4, 8, 12}};
  MergeRects(overlap, 2);
  EXPECT_TRUE(Same(overlap[0], 0, 0, 8, 12));

  DirtyRect corner[] = {{0, 0, 4, 4}, {5, 5, 9, 9}};
  MergeRects(corner, 2);
  EXPECT_TRUE(Same(corner[0], 0, 0, 9, 9));
}

TEST(DisplayRects, RectanglesApartStayApart) {
  DirtyRect r[] = {{0, 0, 4, 4}, {6, 0, 9, 4}, {0, 6, 4, 9}};
  MergeRects(r, 3);
  EXPECT_TRUE(Same(r[0], 0, 0, 4, 4));
  EXPECT_TRUE(Same(r[1], 6, 0, 9, 4));
  EXPECT_TRUE(Same(r[2], 0, 6, 4, 9));
}

TEST(DisplayRects, AChainMergesIntoTheFirstAndConsumedOnesAreSkipped) {
  DirtyRect r[] = {{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}, {40, 40, 41, 41}};
  MergeRects(r, 4);
  EXPECT_TRUE(Same(r[0], 0, 0, 5, 1));
  EXPECT_EQ(r[1].x1, kConsumed);
  EXPECT_EQ(r[2].x1, kConsumed);
  EXPECT_TRUE(Same(r[3], 40, 40, 41, 41));
}

}  // namespace
