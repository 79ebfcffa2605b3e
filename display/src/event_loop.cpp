#include "event_loop.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_proc.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

struct Loop {
  std::atomic<bool> running{false};
  std::thread::id windowThread;
  std::atomic<bool> scriptDone{false};
  // The request block: one request in flight, guarded by `gate`.
  std::mutex gate;
  std::mutex mutex;
  std::condition_variable done;
  Request* request = nullptr;
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

void ServeRequest() {
  Request* r;
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    r = gLoop.request;
  }
  if (!r) return;
  r->result = ExecuteRequest(r);
  // What the request made the window system say is handled before the
  // caller goes on.
  PumpMessages();
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    gLoop.request = nullptr;
    gLoop.finished = true;
  }
  gLoop.done.notify_all();
}

}  // namespace

bool LoopRunning() {
  return gLoop.running.load();
}

int RunRequest(Request* r) {
  if (!gLoop.running) {
    r->result = ExecuteRequest(r);
    PumpMessages();
    return r->result;
  }
  if (std::this_thread::get_id() == gLoop.windowThread) {
    r->result = ExecuteRequest(r);
    return r->result;
  }
  std::lock_guard<std::mutex> gate(gLoop.gate);
  {
    std::lock_guard<std::mutex> lock(gLoop.mutex);
    gLoop.request = r;
    gLoop.finished = false;
  }
  Backend()->Wake();
  std::unique_lock<std::mutex> lock(gLoop.mutex);
  gLoop.done.wait(lock, [] { return gLoop.finished; });
  return r->result;
}

int RunRequest(int32_t code, intptr_t a, intptr_t b, intptr_t c, intptr_t d) {
  Request r{code, {a, b, c, d}, 0};
  return RunRequest(&r);
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
    ServeRequest();
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
