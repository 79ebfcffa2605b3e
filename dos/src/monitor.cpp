#include "monitor.h"

#include <chrono>
#include <cstring>

#include "platform/threads.h"
#include "program_runs.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

constexpr const char kThreadName[] = "Tessera directory monitor";
constexpr int kThreadStack = 16384;
constexpr size_t kBufferSize = 65536;

using Clock = std::chrono::steady_clock;

void Post(DirectoryMonitor* m, int message, int32_t value, const char* name, size_t length) {
  if (WorkerEventMessage* record = NewWorkerMessage(m->object, m->userData, value, name, length))
    Host().ext->threads->postMessage(message, record, 0, 0, 0, 0);
}

void PostChanged(DirectoryMonitor* m) {
  Post(m, kMsgDirectoryChanged, 0, "", 0);
}

void ReportEntry(void* context, const char* name, platform::WatchChange change) {
  Post(static_cast<DirectoryMonitor*>(context), kMsgDirectoryReport, change, name,
       std::strlen(name));
}

void NoteChange(void*, const char*, platform::WatchChange) {}

// Every change as its own message 15.
void ReportChanges(DirectoryMonitor* m) {
  for (;;) {
    platform::WatchResult r = platform::WaitDirectoryChanges(&m->watch, m->stop, -1, m->buffer,
                                                             kBufferSize, ReportEntry, m);
    if (r == platform::kWatchStopped) return;
    if (r == platform::kWatchGone) {
      // The folder itself went: its last report, named "".
      ReportEntry(m, "", platform::kWatchRemoved);
      return;
    }
  }
}

// Messages 11. Without "all", the first change opens a window of 0.1 s whose
// further changes it takes in; one message goes when the window closes, so
// that the last change is always followed by a message.
void ReportFolderChanges(DirectoryMonitor* m) {
  bool pending = false;
  Clock::time_point deadline;
  for (;;) {
    int timeout = -1;
    if (pending) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      timeout = left > 0 ? static_cast<int>(left) : 0;
    }
    platform::WatchResult r = platform::WaitDirectoryChanges(&m->watch, m->stop, timeout, m->buffer,
                                                             kBufferSize, NoteChange, m);
    if (r == platform::kWatchStopped) return;
    if (r == platform::kWatchGone) {
      PostChanged(m);
      return;
    }
    if (r == platform::kWatchChanges) {
      if (m->all) {
        PostChanged(m);
      } else if (!pending) {
        pending = true;
        deadline = Clock::now() + std::chrono::milliseconds(kCoalesceMilliseconds);
      }
    }
    if (pending && Clock::now() >= deadline) {
      pending = false;
      PostChanged(m);
    }
  }
}

void WatchFolder(void* argument) {
  auto* m = static_cast<DirectoryMonitor*>(argument);
  if (m->reportChanges) {
    ReportChanges(m);
  } else {
    ReportFolderChanges(m);
  }
}

void FreeMonitor(DirectoryMonitor* m) {
  platform::CloseDirectoryWatch(&m->watch);
  platform::CloseStopSignal(m->stop);
  HostFree(m->buffer);
  HostFree(m);
}

}  // namespace

int StartMonitor(const MonitorRequest& request, DirectoryMonitor** out) {
  auto* m = AllocRecord<DirectoryMonitor>();
  if (!m) return kErrNoMemory;
  m->stop = platform::kNoFile;
  m->buffer = static_cast<char*>(HostAlloc(kBufferSize, false));
  if (!m->buffer) {
    FreeMonitor(m);
    return kErrNoMemory;
  }
  std::strncpy(m->path, request.path, sizeof m->path - 1);
  m->all = request.all;
  m->reportChanges = request.reportChanges;
  m->object = request.object;
  m->userData = request.userData;
  m->stop = platform::CreateStopSignal();
  // Watched before the command returns, so that no change after it is missed.
  if (m->stop == platform::kNoFile || !platform::OpenDirectoryWatch(m->path, &m->watch)) {
    FreeMonitor(m);
    return kErrMonitorDirectory;
  }
  m->thread = Threads().createThread(kThreadName, WatchFolder, m, 0, kThreadStack, 0, 0, 0);
  if (!m->thread) {
    FreeMonitor(m);
    return kErrMonitorDirectory;
  }
  *out = m;
  return 0;
}

void StopMonitor(DirectoryMonitor* m) {
  platform::RaiseStopSignal(m->stop);
  Threads().stopThread(m->thread);
  FreeMonitor(m);
}

}  // namespace tzx::dos
