#include "read_ahead.h"

#include <condition_variable>
#include <mutex>

#include "tzx/frame.h"

namespace tzx::dos {
namespace {

constexpr const char kThreadName[] = "Tessera file reader";
constexpr int kThreadStack = 16384;

struct ReadAhead {
  ReadAhead(FileHandle* f, uint8_t* const* b, size_t size) : file(f), buffers(b), chunkSize(size) {}
  FileHandle* file;
  uint8_t* const* buffers;
  size_t chunkSize;
  std::mutex mutex;
  std::condition_variable changed;
  int64_t filled[2] = {0, 0};  // bytes read into each buffer; 0 at the end, < 0 on failure
  bool full[2] = {false, false};
  bool stop = false;  // the consumer no longer waits
};

void ReadChunks(void* argument) {
  auto* r = static_cast<ReadAhead*>(argument);
  for (int turn = 0;; turn ^= 1) {
    {
      std::unique_lock lock(r->mutex);
      r->changed.wait(lock, [&] { return !r->full[turn] || r->stop; });
      if (r->stop) return;
    }
    const int64_t n = Files().readUnbuffered(r->file, r->buffers[turn], r->chunkSize);
    {
      std::lock_guard lock(r->mutex);
      r->filled[turn] = n;
      r->full[turn] = true;
    }
    r->changed.notify_all();
    if (n <= 0) return;
  }
}

}  // namespace

bool ReadAheadThrough(FileHandle* file, uint8_t* const buffers[2], size_t chunkSize,
                      ChunkConsumer consume, void* context) {
  ReadAhead r(file, buffers, chunkSize);
  HostThread* worker = Threads().createThread(kThreadName, ReadChunks, &r, 0, kThreadStack, 0,
                                              kThreadRaisesNoEvents, 0);
  if (!worker) return false;
  for (int turn = 0;; turn ^= 1) {
    int64_t n;
    {
      std::unique_lock lock(r.mutex);
      r.changed.wait(lock, [&] { return r.full[turn]; });
      n = r.filled[turn];
    }
    if (n <= 0) break;
    consume(context, buffers[turn], n);
    {
      std::lock_guard lock(r.mutex);
      r.full[turn] = false;
    }
    r.changed.notify_all();
  }
  {
    std::lock_guard lock(r.mutex);
    r.stop = true;
  }
  r.changed.notify_all();
  Threads().stopThread(worker);
  return true;
}

}  // namespace tzx::dos
