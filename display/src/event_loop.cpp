#include "event_loop.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_proc.h"
#include "window_system.h"

namespace tzx::display {

namespace {

struct Job {
  int (*call)(void*);
  void* context;
  int result;
};

struct Loop {
  std::atomic<bool> running{false};
  std::thread::id windowThread;
  std::atomic<bool> scriptDone{false};
  // One job in flight, guarded by `gate`.
  std::mutex gate;
  std::mutex mutex;
  std::condition_variable done;
  Job* job = nullptr;
  bool finished = false;
};
Loop gLoop;

struct ScriptRun {
  lua_State* L;
  int result;
};

void ScriptMain(void* argument) {
  auto* run = static_cast<ScriptRun*>(argument);
  run->result = Lua().callScript(run->L, 0, 0);
  gLoop.scriptDone = true;
  Backend()->Wake();
}

void ServeJob() {
  Job* job;
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    job = gLoop.job;
  }
  if (!job) return;
  job->result = job->call(job->context);
  // What the job made the window system say is handled before the caller
  // goes on.
  PumpMessages();
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    gLoop.job = nullptr;
    gLoop.finished = true;
  }
  gLoop.done.notify_all();
}

}  // namespace

bool LoopRunning() {
  return gLoop.running.load();
}

int RunOnWindowThread(int (*call)(void*), void* context) {
  if (!gLoop.running) {
    int result = call(context);
    PumpMessages();
    return result;
  }
  if (std::this_thread::get_id() == gLoop.windowThread) return call(context);
  Job job{call, context, 0};
  std::lock_guard<std::mutex> gate(gLoop.gate);
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    gLoop.job = &job;
    gLoop.finished = false;
  }
  Backend()->Wake();
  std::unique_lock<std::mutex> lock(gLoop.mutex);
  gLoop.done.wait(lock, [] { return gLoop.finished; });
  return job.result;
}

void PumpMessages() {
  platform::WindowMessage m;
  LockDisplays();
  while (Backend()->PeekMessage(&m)) DispatchWindowMessage(m);
  FinishRound();
  UnlockDisplays();
}

int RunEventLoop(lua_State* L) {
  // A loop already runs (a chunk run from inside a script): run in place.
  if (gLoop.running) return Lua().callScript(L, 0, 0);
  ScriptRun run{L, 0};
  gLoop.windowThread = std::this_thread::get_id();
  gLoop.scriptDone = false;
  gLoop.running = true;
  HostThread* thread = Host().ext->threads->createThread("Tessera script", ScriptMain, &run, 0,
                                                         16384, 0, kThreadRaisesNoEvents, 0);
  if (!thread) {
    gLoop.running = false;
    Lua().settop(L, -2);
    return kErrThread;
  }
  while (!gLoop.scriptDone) {
    Backend()->WaitMessage(50);
    PumpMessages();
    ServeJob();
  }
  Host().ext->threads->stopThread(thread);
  gLoop.running = false;
  PumpMessages();
  return run.result;
}

void SignalLoop(int) {
  Backend()->Wake();
}

}  // namespace tzx::display
