#include "frame_pacing.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::display {

namespace {

constexpr int kMaxFpsLimit = 1000000;

int gFpsLimit = kDefaultFpsLimit;
bool gNoVWait = false;
platform::TimerQueue gTimers;

struct Alarm {
  std::mutex mutex;
  std::condition_variable signal;
  bool fired = false;
};

void Fire(void* context) {
  auto* alarm = static_cast<Alarm*>(context);
  {
    std::lock_guard<std::mutex> lock(alarm->mutex);
    alarm->fired = true;
  }
  alarm->signal.notify_all();
}

// Handles the host's events and tells whether the script is to stop.
int CheckEvents(lua_State* L) {
  int stop = 0;
  int rc = Host().ext->threads->eventCheck(L, 2, 0, &stop);
  return rc ? rc : stop ? kErrAborted : 0;
}

}  // namespace

int FpsLimitFor(double fps) {
  if (!(fps >= 1)) return kDefaultFpsLimit;
  return fps >= kMaxFpsLimit ? kMaxFpsLimit : int(fps);
}

int FrameWaitMilliseconds(int fpsLimit, platform::ClockTime now, platform::ClockTime previous) {
  int64_t seconds = now.seconds - previous.seconds;
  int64_t micros = int64_t{now.microseconds} - previous.microseconds;
  if (micros < 0) {
    micros += 1000000;
    --seconds;
  }
  int64_t frame = 1000000 / fpsLimit;
  if (seconds != 0 || micros >= frame) return 0;
  return int((frame - micros) / 1000);
}

int FpsLimit() {
  return gFpsLimit;
}

void SetFpsLimit(int fps) {
  gFpsLimit = fps;
}

bool VWaitDisabled() {
  return gNoVWait;
}

void SetVWaitDisabled(bool disabled) {
  gNoVWait = disabled;
}

int TimedWait(lua_State* L, int milliseconds) {
  Alarm alarm;
  uint64_t timer = gTimers.Add(milliseconds, Fire, &alarm);
  if (!timer) return kErrTimer;
  int rc = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(alarm.mutex);
      // Short slices, so that the host's events are not left waiting.
      alarm.signal.wait_for(lock, std::chrono::milliseconds(10), [&] { return alarm.fired; });
      if (alarm.fired) break;
    }
    if ((rc = CheckEvents(L))) break;
  }
  gTimers.Remove(timer);
  return rc;
}

int VWaitCore(lua_State* L, DisplayRecord* d) {
  int rc = 0;
  int wait = FrameWaitMilliseconds(gFpsLimit, platform::MonotonicClock(), d->frameTime);
  if (wait > 0) rc = TimedWait(L, wait);
  // Every frame lets the host handle its events, waited or not.
  if (rc == 0) rc = CheckEvents(L);
  d->frameTime = platform::MonotonicClock();
  return rc;
}

void StopFramePacing() {
  gTimers.Stop();
}

}  // namespace tzx::display
