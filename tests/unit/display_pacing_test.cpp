// Frame pacing: the frame-wait arithmetic, the stored limit, the one-shot
// timers, and a real frame wait through a running host.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "display/src/frame_pacing.h"
#include "platform/timers.h"
#include "tessera/host.h"

namespace {

using namespace tzx::display;
using tzx::platform::ClockTime;

TEST(DisplayPacing, AFrameWaitSleepsWhatIsLeftOfTheFrame) {
  // 50 frames a second: 20 ms a frame.
  EXPECT_EQ(FrameWaitMilliseconds(50, ClockTime{10, 5000}, ClockTime{10, 0}), 15);
  EXPECT_EQ(FrameWaitMilliseconds(50, ClockTime{10, 30000}, ClockTime{10, 0}), 0);
  EXPECT_EQ(FrameWaitMilliseconds(50, ClockTime{10, 20000}, ClockTime{10, 0}), 0);
  // Microseconds borrow across a second boundary.
  EXPECT_EQ(FrameWaitMilliseconds(50, ClockTime{11, 4000}, ClockTime{10, 999000}), 15);
  // Integer divisions: 60 frames are 16666 us; 1 ms gone leaves 15 ms.
  EXPECT_EQ(FrameWaitMilliseconds(60, ClockTime{3, 1000}, ClockTime{3, 0}), 15);
  // A whole second or more, or no previous frame: no wait.
  EXPECT_EQ(FrameWaitMilliseconds(1, ClockTime{11, 5000}, ClockTime{10, 0}), 0);
  EXPECT_EQ(FrameWaitMilliseconds(60, ClockTime{1000, 0}, ClockTime{0, 0}), 0);
  EXPECT_EQ(FrameWaitMilliseconds(1000000, ClockTime{5, 0}, ClockTime{5, 0}), 0);
}

TEST(DisplayPacing, TheLimitIsTruncatedAndNeverZero) {
  EXPECT_EQ(FpsLimitFor(0), 60);
  EXPECT_EQ(FpsLimitFor(-3), 60);
  EXPECT_EQ(FpsLimitFor(25.9), 25);
  EXPECT_EQ(FpsLimitFor(1), 1);
  EXPECT_EQ(FpsLimitFor(0.99), 60);
  EXPECT_EQ(FpsLimitFor(std::nan("")), 60);
  EXPECT_EQ(FpsLimitFor(1e12), 1000000);
}

struct Fired {
  std::atomic<int> count{0};
  std::atomic<int> order{0};
  int first = 0;
};

void FireA(void* c) {
  auto* f = static_cast<Fired*>(c);
  if (f->order++ == 0) f->first = 1;
  ++f->count;
}
void FireB(void* c) {
  auto* f = static_cast<Fired*>(c);
  if (f->order++ == 0) f->first = 2;
  ++f->count;
}

TEST(DisplayPacing, OneShotTimersFireOnceInOrderAndRemovedOnesNever) {
  tzx::platform::TimerQueue timers;
  Fired f;
  timers.Add(30, FireA, &f);
  timers.Add(5, FireB, &f);
  uint64_t removed = timers.Add(10, FireA, &f);
  timers.Remove(removed);
  for (int i = 0; i < 200 && f.count < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(f.count, 2);
  EXPECT_EQ(f.first, 2) << "the earlier timer fires first";
  timers.Stop();
  EXPECT_NE(timers.Add(1, FireA, &f), 0u) << "a stopped queue starts again";
  timers.Stop();
}

TEST(DisplayPacing, FramesOfARunningDisplayLastTheirTime) {
  tessera::HostOptions options;
  options.pluginDir = TZX_PLUGIN_DIR;
  tessera::Host host(options);
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_TRUE(
      host.RunString("CreateDisplay(1, {width = 8, height = 8}) OpenDisplay(1) "
                     "SetFPSLimit(20) VWait()",
                     &error))
      << error;
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(host.RunString("VWait() VWait()", &error)) << error;
  auto elapsed = std::chrono::steady_clock::now() - start;
  // Two frames of 50 ms, each at least 49 ms after the truncating division.
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 95);
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

}  // namespace
