// The event loop (interface slot 51) and the jobs through which the script
// thread reaches windows: the thread that enters the loop becomes the
// window thread and pumps window messages; the script's main chunk runs on a
// second thread. Jobs run on the window thread one at a time while the
// caller waits.
#pragma once

#include <cstdint>
#include <type_traits>

#include "tzx/types.h"

namespace tzx::display {

// Runs `job(context)` on the window thread while the caller waits and
// returns its result; the window messages the job caused are handled before
// the caller goes on. On the window thread itself, and while no loop runs,
// the job runs at once. One job is in flight at a time.
int RunOnWindowThread(int (*job)(void*), void* context);

template <class Job>
int OnWindowThread(Job&& job) {
  using J = std::remove_reference_t<Job>;
  return RunOnWindowThread([](void* c) -> int { return (*static_cast<J*>(c))(); }, &job);
}

int RunEventLoop(lua_State* L);
void SignalLoop(int stop);
bool LoopRunning();

// Handles every waiting window message (window thread, or the script thread
// while no loop runs).
void PumpMessages();

}  // namespace tzx::display
