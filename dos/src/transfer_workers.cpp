// The worker threads of a shared walk: a queue of the shared folder's
// folders, filled by the script thread as it lists that folder, and workers that
// each take a folder and walk it to its end with the same steps as any walk.
// The first failure stops every worker; the script thread reports it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/threads.h"
#include "transfer.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {

namespace {

constexpr const char kThreadName[] = "Tessera file walker";
constexpr int kThreadStack = 65536;
constexpr int kMaxWorkers = 16;
// How long the script thread waits between its looks at the host's events.
constexpr auto kAwaitSlice = std::chrono::milliseconds(10);

struct Worker {
  TransferShare* share;
  TransferOp* op;
  HostThread* thread;
};

}  // namespace

struct TransferShare {
  std::mutex mutex;
  std::condition_variable changed;  // a folder queued, the queue closed, a worker ended
  SharedFolder* folders = nullptr;  // host memory, grown by the script thread
  int count = 0, capacity = 0, next = 0;
  bool closed = false;
  std::atomic<bool> stop{false};
  int running = 0;
  int failure = 0;
  char failPath[kLongPath] = "";
  int maxWorkers = 0;
  int workerCount = 0;
  Worker workers[kMaxWorkers];
};

namespace {

// The next folder to walk; false once there is none and none will come, or
// the walk is stopped.
bool TakeFolder(TransferShare* s, SharedFolder* out) {
  std::unique_lock lock(s->mutex);
  s->changed.wait(lock, [&] { return s->next < s->count || s->closed || s->stop; });
  if (s->stop || s->next == s->count) return false;
  *out = s->folders[s->next++];
  return true;
}

void Work(void* argument) {
  auto* w = static_cast<Worker*>(argument);
  TransferShare* s = w->share;
  int rc = 0;
  SharedFolder folder;
  while (rc == 0 && TakeFolder(s, &folder)) {
    rc = OpenSharedFolder(w->op, folder);
    // No callback: the walk calls no script code and needs no Lua state.
    while (rc == kAsyncMore && !s->stop.load(std::memory_order_relaxed)) {
      rc = StepWalk(nullptr, w->op);
    }
    if (rc == kAsyncMore) rc = 0;  // stopped by another's failure
  }
  CloseWalk(w->op);
  {
    std::lock_guard lock(s->mutex);
    if (rc != 0) {
      if (s->failure == 0) {
        s->failure = rc;
        std::memcpy(s->failPath, w->op->failPath, sizeof s->failPath);
      }
      s->stop = true;
    }
    --s->running;
  }
  s->changed.notify_all();
}

void StartWorker(TransferOp* lead, TransferShare* s) {
  TransferOp* op = NewWorkerOp(lead);
  if (!op) return;  // the workers there are do the walk
  Worker& w = s->workers[s->workerCount];
  w.share = s;
  w.op = op;
  {
    std::lock_guard lock(s->mutex);
    ++s->running;
  }
  w.thread =
      Threads().createThread(kThreadName, Work, &w, 0, kThreadStack, 0, kThreadRaisesNoEvents, 0);
  if (!w.thread) {
    {
      std::lock_guard lock(s->mutex);
      --s->running;
    }
    HostFree(op->buffer);
    HostFree(op);
    return;
  }
  ++s->workerCount;
}

}  // namespace

bool BeginSharing(TransferOp* op) {
  void* block = HostAlloc(sizeof(TransferShare));
  if (!block) return false;
  auto* s = new (block) TransferShare;
  s->maxWorkers = std::min(platform::ProcessorCount(), kMaxWorkers);
  op->share = s;
  return true;
}

bool ShareFolder(TransferOp* op, const SharedFolder& folder) {
  TransferShare* s = op->share;
  // A worker for each folder waiting, up to one per processor.
  if (s->workerCount < s->maxWorkers && s->workerCount <= s->count) StartWorker(op, s);
  if (s->workerCount == 0) return false;
  {
    std::lock_guard lock(s->mutex);
    if (s->count == s->capacity) {
      const int capacity = std::max(64, s->capacity * 2);
      auto* grown = static_cast<SharedFolder*>(HostAlloc(capacity * sizeof(SharedFolder), false));
      if (!grown) return false;
      if (s->count) std::memcpy(grown, s->folders, s->count * sizeof(SharedFolder));
      HostFree(s->folders);
      s->folders = grown;
      s->capacity = capacity;
    }
    s->folders[s->count++] = folder;
  }
  s->changed.notify_one();
  return true;
}

bool WorkersFailed(const TransferOp* op) {
  return op->share->stop.load(std::memory_order_relaxed);
}

int AwaitWorkers(TransferOp* op) {
  TransferShare* s = op->share;
  {
    std::unique_lock lock(s->mutex);
    s->closed = true;
    s->changed.notify_all();
    if (!s->changed.wait_for(lock, kAwaitSlice, [&] { return s->running == 0; })) {
      return kAsyncMore;
    }
  }
  const int rc = s->failure;
  if (rc) std::memcpy(op->failPath, s->failPath, sizeof op->failPath);
  EndSharing(op);
  return rc;
}

void EndSharing(TransferOp* op) {
  TransferShare* s = op->share;
  if (!s) return;
  {
    std::lock_guard lock(s->mutex);
    s->stop = true;
    s->closed = true;
  }
  s->changed.notify_all();
  for (int i = 0; i < s->workerCount; ++i) {
    Worker& w = s->workers[i];
    Threads().stopThread(w.thread);  // waits for it to end
    HostFree(w.op->buffer);
    HostFree(w.op);
  }
  HostFree(s->folders);
  s->~TransferShare();
  HostFree(s);
  op->share = nullptr;
}

}  // namespace tzx::dos
