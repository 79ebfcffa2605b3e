#include "platform/timers.h"

#include <algorithm>
#include <chrono>

namespace tzx::platform {

namespace {

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

ClockTime MonotonicClock() {
  int64_t us = NowMicros();
  return ClockTime{us / 1000000, static_cast<int32_t>(us % 1000000)};
}

TimerQueue::~TimerQueue() {
  Stop();
}

uint64_t TimerQueue::Add(int delayMs, Callback callback, void* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return 0;
  try {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    uint64_t id = nextId_++;
    timers_.push_back(
        Timer{id, NowMicros() + int64_t{std::max(delayMs, 0)} * 1000, callback, context});
    signal_.notify_all();
    return id;
  } catch (...) {
    return 0;
  }
}

void TimerQueue::Remove(uint64_t id) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
  // A callback that already started finishes before the caller goes on.
  signal_.wait(lock, [this, id] { return firing_ != id; });
}

void TimerQueue::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    timers_.clear();
  }
  signal_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  stopping_ = false;
}

void TimerQueue::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    if (timers_.empty()) {
      signal_.wait(lock);
      continue;
    }
    auto next = std::min_element(timers_.begin(), timers_.end(),
                                 [](const Timer& a, const Timer& b) { return a.due < b.due; });
    int64_t wait = next->due - NowMicros();
    if (wait > 0) {
      signal_.wait_for(lock, std::chrono::microseconds(wait));
      continue;
    }
    Timer due = *next;
    timers_.erase(next);
    firing_ = due.id;
    lock.unlock();
    due.callback(due.context);
    lock.lock();
    firing_ = 0;
    signal_.notify_all();
  }
}

}  // namespace tzx::platform
