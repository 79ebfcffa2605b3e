// Threads, messages posted to the script thread, event checks and waits.
#include "platform/threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "host_state.h"
#include "messages.h"
#include "services.h"
#include "tzx/errors.h"

namespace tzx {

struct HostThread {
  std::thread thread;
  bool eventSource;  // counted for WaitEvent while it runs
};

}  // namespace tzx

namespace tzx::host {
namespace {

std::mutex gQueueMutex;
std::condition_variable gQueueSignal;
std::deque<PostedMessage> gQueue;
std::map<int, MessageHandler> gHandlers;
// Windows and worker threads that can raise events.
std::atomic<int> gEventSources{0};

HostThread* CreateThread(const char* name, ThreadEntry entry, void* argument, int, int, int,
                         int flags, int) {
  auto* t = new HostThread;
  t->eventSource = !(flags & kThreadRaisesNoEvents);
  if (t->eventSource) ++gEventSources;
  std::string threadName = name ? name : "tessera worker";
  t->thread = std::thread([entry, argument, threadName] {
    platform::NameCurrentThread(threadName.c_str());
    entry(argument);
  });
  return t;
}

// Workers end on their own once what they wait on is closed; stopping waits
// for that.
void StopThread(HostThread* t) {
  if (!t) return;
  if (t->eventSource) --gEventSources;
  if (t->thread.joinable()) {
    if (t->thread.get_id() == std::this_thread::get_id()) {
      t->thread.detach();
    } else {
      t->thread.join();
    }
  }
  delete t;
}

void PostMessage(int message, void* data, int a, int b, int c, int) {
  {
    std::lock_guard<std::mutex> lock(gQueueMutex);
    gQueue.push_back(PostedMessage{message, data, a, b, c});
  }
  gQueueSignal.notify_all();
}

int EventCheck(lua_State* L, int, int, int* resultOut) {
  DispatchMessages(L);
  int stop = State().abortFlag != 0;
  if (resultOut) *resultOut = stop;
  return stop ? kErrAborted : 0;
}

// Waits until a message arrives (or the abort flag is raised), then
// dispatches.
int Wait(lua_State* L, int) {
  {
    std::unique_lock<std::mutex> lock(gQueueMutex);
    while (gQueue.empty() && !State().abortFlag) {
      gQueueSignal.wait_for(lock, std::chrono::milliseconds(20));
    }
  }
  return EventCheck(L, 0, 0, nullptr);
}

void EventSource(int delta) {
  gEventSources += delta;
}

void EnterCallback(lua_State*, int, int) {}
void LeaveCallback(lua_State*, int, int) {}

}  // namespace

void SetMessageHandler(int message, MessageHandler handler) {
  std::lock_guard<std::mutex> lock(gQueueMutex);
  gHandlers[message] = handler;
}

int DispatchMessages(lua_State* L) {
  int handled = 0;
  for (;;) {
    PostedMessage m;
    MessageHandler handler = nullptr;
    {
      std::lock_guard<std::mutex> lock(gQueueMutex);
      if (gQueue.empty()) break;
      m = gQueue.front();
      gQueue.pop_front();
      auto it = gHandlers.find(m.message);
      if (it != gHandlers.end()) handler = it->second;
    }
    if (handler) handler(L, m);
    ++handled;
  }
  return handled;
}

void ResetMessages() {
  std::lock_guard<std::mutex> lock(gQueueMutex);
  gQueue.clear();
  gHandlers.clear();
}

const ThreadServices kThreads = {
    .createThread = CreateThread,
    .stopThread = StopThread,
    .postMessage = PostMessage,
    .eventCheck = EventCheck,
    .wait = Wait,
    .enterCallback = EnterCallback,
    .leaveCallback = LeaveCallback,
    .eventSource = EventSource,
};

bool EventSourcesOpen() {
  if (gEventSources.load() > 0) return true;
  std::lock_guard<std::mutex> lock(gQueueMutex);
  return !gQueue.empty();
}

}  // namespace tzx::host
