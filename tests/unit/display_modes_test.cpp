// Screen modes and the scale state on plain values: the mode full screen
// takes, the sizes a monitor lists, where a scaled picture sits and how
// window points map back to it.
#include <gtest/gtest.h>

#include <vector>

#include "display/src/modes.h"

namespace {

using namespace tzx::display;
using tzx::platform::ScreenMode;

int Choose(const std::vector<ScreenMode>& modes, int width, int height, int depth = 32) {
  return ChooseMode(modes.data(), int(modes.size()), width, height, depth);
}

TEST(DisplayModes, ChoosesTheSmallestModeThatHolds) {
  const std::vector<ScreenMode> modes = {
      {640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
  EXPECT_EQ(Choose(modes, 800, 600), 1);
  EXPECT_EQ(Choose(modes, 700, 500), 1);
  EXPECT_EQ(Choose(modes, 1, 1), 0);
  EXPECT_EQ(Choose(modes, 1024, 768), 2);
  EXPECT_EQ(Choose(modes, 1025, 600), -1);
  EXPECT_EQ(Choose(modes, 640, 769), -1);
  EXPECT_EQ(ChooseMode(nullptr, 0, 1, 1, 0), -1);
}

TEST(DisplayModes, DepthMustReach) {
  const std::vector<ScreenMode> modes = {{800, 600, 16, 60}, {1024, 768, 32, 60}};
  EXPECT_EQ(Choose(modes, 640, 480, 32), 1);
  EXPECT_EQ(Choose(modes, 640, 480, 16), 0);
  EXPECT_EQ(Choose(modes, 640, 480, 0), 0);
}

// A mode that is narrower but taller than the best so far still wins when it
// is smaller, whatever order the window system lists the modes in.
TEST(DisplayModes, ChoiceDoesNotDependOnOrder) {
  const std::vector<ScreenMode> a = {{1280, 720, 32, 60}, {1024, 768, 32, 60}, {800, 600, 32, 60}};
  const std::vector<ScreenMode> b = {{800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 720, 32, 60}};
  EXPECT_EQ(Choose(a, 1000, 700), 1);
  EXPECT_EQ(Choose(b, 1000, 700), 1);
  // Same width, lower: the tighter one.
  const std::vector<ScreenMode> c = {{800, 600, 32, 60}, {800, 500, 32, 60}};
  EXPECT_EQ(Choose(c, 700, 500), 1);
  // Equal areas: the first listed.
  const std::vector<ScreenMode> d = {{800, 600, 32, 60}, {800, 600, 32, 75}};
  EXPECT_EQ(Choose(d, 800, 600), 0);
}

TEST(DisplayModes, EachSizeOnceInFirstSeenOrder) {
  ModeSize sizes[] = {{800, 600}, {640, 480}, {800, 600}, {1024, 768}, {640, 480}, {800, 600}};
  ASSERT_EQ(UniqueSizes(sizes, 6), 3);
  EXPECT_EQ(sizes[0].width, 800);
  EXPECT_EQ(sizes[1].width, 640);
  EXPECT_EQ(sizes[2].width, 1024);
  ModeSize one[] = {{1, 2}};
  EXPECT_EQ(UniqueSizes(one, 1), 1);
  EXPECT_EQ(UniqueSizes(one, 0), 0);
  // Same width, other height: two sizes.
  ModeSize tall[] = {{800, 600}, {800, 500}};
  EXPECT_EQ(UniqueSizes(tall, 2), 2);
}

TEST(DisplayModes, ViewOfAScaledPicture) {
  auto expect = [](PictureView v, int x, int y, int w, int h) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.width, w);
    EXPECT_EQ(v.height, h);
  };
  expect(ViewOf(64, 48, 160, 96, false, false), 0, 0, 64, 48);
  expect(ViewOf(64, 48, 160, 96, true, false), 0, 0, 160, 96);
  // Wider window: borders left and right; taller: top and bottom.
  expect(ViewOf(64, 48, 160, 96, true, true), 16, 0, 128, 96);
  expect(ViewOf(64, 48, 100, 200, true, true), 0, 62, 100, 75);
  // Exactly the aspect: no border.
  expect(ViewOf(64, 48, 640, 480, true, true), 0, 0, 640, 480);
  // 640 × 360 in 1920 × 1080: 16:9 both.
  expect(ViewOf(640, 360, 1920, 1080, true, true), 0, 0, 1920, 1080);
  // A window one pixel high still shows one row.
  expect(ViewOf(64, 48, 1000, 1, true, true), 499, 0, 1, 1);
}

TEST(DisplayModes, WindowPointsMapBackToThePicture) {
  const PictureView v{16, 0, 128, 96};
  int x, y;
  ToPicture(v, 64, 48, 16, 0, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  ToPicture(v, 64, 48, 143, 95, &x, &y);
  EXPECT_EQ(x, 63);
  EXPECT_EQ(y, 47);
  ToPicture(v, 64, 48, 144, 96, &x, &y);
  EXPECT_EQ(x, 64);
  EXPECT_EQ(y, 48);
  // Left of the picture stays left of it, not at 0.
  ToPicture(v, 64, 48, 15, -1, &x, &y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  // Unscaled: plain offset.
  ToPicture(PictureView{0, 0, 64, 48}, 64, 48, 70, 5, &x, &y);
  EXPECT_EQ(x, 70);
  EXPECT_EQ(y, 5);
}

TEST(DisplayModes, KeepAspectFollowsTheSideThatMoved) {
  int w = 200, h = 100;
  KeepAspect(64, 48, 160, 120, &w, &h);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 150);
  w = 170;
  h = 300;
  KeepAspect(64, 48, 160, 120, &w, &h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);
  w = 1;
  h = 1;
  KeepAspect(1000, 10, 1000, 10, &w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
}

}  // namespace
