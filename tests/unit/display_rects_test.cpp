// Changed rectangles: the add rule of the dirty and refresh lists and the
// merge pass that Flip and refreshes run before copying.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "display/src/dirty_rects.h"

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

// The merge as first written: every pair tested, no shortcut. MergeRects must
// give exactly its results.
void ReferenceMerge(std::vector<DirtyRect>& r) {
  int count = int(r.size());
  for (int i = 0; i < count; ++i) {
    if (r[i].x1 == kConsumed) continue;
    DirtyRect a = r[i];
    for (int j = 0; j < count; ++j) {
      const DirtyRect& b = r[j];
      if (j == i || b.x1 == kConsumed) continue;
      if (b.x1 - a.x2 > 1 || a.x1 - b.x2 > 1 || b.y1 - a.y2 > 1 || a.y1 - b.y2 > 1) continue;
      a = DirtyRect{std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2),
                    std::max(a.y2, b.y2)};
      r[j].x1 = kConsumed;
    }
    r[i] = a;
  }
}

// Rectangles of up to `side` pixels a side with corners in -spread ..
// spread; some entries already consumed.
std::vector<DirtyRect> RandomRects(std::mt19937& random, int count, int spread, int side) {
  std::uniform_int_distribution<int> corner(-spread, spread), size(1, side), consumed(0, 19);
  std::vector<DirtyRect> r;
  for (int i = 0; i < count; ++i) {
    int x = corner(random), y = corner(random);
    r.push_back(
        DirtyRect{consumed(random) ? x : kConsumed, y, x + size(random) - 1, y + size(random) - 1});
  }
  return r;
}

void ExpectSameMerge(std::vector<DirtyRect> r) {
  std::vector<DirtyRect> expected = r;
  ReferenceMerge(expected);
  MergeRects(r.data(), int(r.size()));
  for (size_t i = 0; i < r.size(); ++i) {
    ASSERT_TRUE(Same(r[i], expected[i].x1, expected[i].y1, expected[i].x2, expected[i].y2))
        << "entry " << i << " of " << r.size();
  }
}

TEST(DisplayRects, MergeMatchesThePairwisePassOnRandomLists) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    // Dense lists merge a lot; sparse ones mostly stay apart, with gaps of
    // zero, one or two pixels.
    int count = int(random() % 80);
    int spread = 8 << (random() % 8);
    ExpectSameMerge(RandomRects(random, count, spread, 1 + int(random() % 12)));
  }
}

TEST(DisplayRects, MergeMatchesThePairwisePassOnGridsWithAndWithoutContact) {
  // Squares of 4 on a grid of pitch 4 touch their neighbours; of pitch 5 they
  // do not. One square widened by a pixel makes a single contact in a list of
  // 400 apart.
  for (int pitch : {4, 5}) {
    std::vector<DirtyRect> r;
    for (int i = 0; i < 400; ++i) {
      int x = (i % 20) * pitch - 30, y = (i / 20) * pitch - 30;
      r.push_back(DirtyRect{x, y, x + 3, y + 3});
    }
    ExpectSameMerge(r);
    r[217].x1 -= 1;
    ExpectSameMerge(r);
  }
}

TEST(DisplayRects, MergeMatchesThePairwisePassOnListsLongerThanTheDirtyList) {
  std::mt19937 random(7);
  ExpectSameMerge(RandomRects(random, kRectListBlock + 100, 4000, 6));
  ExpectSameMerge(RandomRects(random, kRectListBlock, 4000, 6));
}

}  // namespace
