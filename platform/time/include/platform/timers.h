// The clock and one-shot timers that pace frames.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace tzx::platform {

// A monotonic clock reading: whole seconds and microseconds (0..999999).
struct ClockTime {
  int64_t seconds;
  int32_t microseconds;
};
ClockTime MonotonicClock();

// One-shot timers whose callbacks run on the queue's own thread; callbacks
// only set flags and signal, they never block.
class TimerQueue {
 public:
  using Callback = void (*)(void* context);

  TimerQueue() = default;
  ~TimerQueue();
  TimerQueue(const TimerQueue&) = delete;
  TimerQueue& operator=(const TimerQueue&) = delete;

  // Starts a timer that fires once after `delayMs`; returns its id, or 0 when
  // the queue's thread cannot be started.
  uint64_t Add(int delayMs, Callback callback, void* context);
  // Removes a timer; once it returns the callback is not running and will not
  // run.
  void Remove(uint64_t id);
  // Ends the thread; pending timers are dropped.
  void Stop();

 private:
  struct Timer {
    uint64_t id;
    int64_t due;  // microseconds on the monotonic clock
    Callback callback;
    void* context;
  };
  void Run();

  std::mutex mutex_;
  std::condition_variable signal_;
  std::vector<Timer> timers_;
  std::thread thread_;
  uint64_t nextId_ = 1;
  uint64_t firing_ = 0;  // id of the callback running now
  bool stopping_ = false;
};

}  // namespace tzx::platform
