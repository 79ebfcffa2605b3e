#include "platform/watches.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tzx::platform {
namespace {

constexpr uint32_t kEntryEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB;
constexpr uint32_t kFolderGone = IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT;

bool ChangeOf(uint32_t mask, WatchChange* change) {
  if (mask & (IN_CREATE | IN_MOVED_TO)) {
    *change = kWatchAdded;
  } else if (mask & (IN_DELETE | IN_MOVED_FROM)) {
    *change = kWatchRemoved;
  } else if (mask & (IN_MODIFY | IN_ATTRIB)) {
    *change = kWatchModified;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool OpenDirectoryWatch(const char* path, DirectoryWatch* watch) {
  int queue = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (queue < 0) return false;
  int folder = inotify_add_watch(queue, path, kEntryEvents | IN_DELETE_SELF | IN_ONLYDIR);
  if (folder < 0) {
    close(queue);
    return false;
  }
  watch->queue = queue;
  watch->folder = folder;
  return true;
}

void CloseDirectoryWatch(DirectoryWatch* watch) {
  // Closing the queue removes its watch.
  if (watch->queue != kNoFile) close(static_cast<int>(watch->queue));
  watch->queue = kNoFile;
  watch->folder = -1;
}

WatchResult WaitDirectoryChanges(DirectoryWatch* watch, NativeFile stop, int timeoutMs,
                                 char* buffer, size_t size, WatchReport report, void* context) {
  pollfd fds[2] = {{static_cast<int>(watch->queue), POLLIN, 0},
                   {static_cast<int>(stop), POLLIN, 0}};
  int ready;
  do {
    ready = poll(fds, stop == kNoFile ? 1 : 2, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return kWatchGone;
  if (stop != kNoFile && fds[1].revents) return kWatchStopped;
  if (ready == 0) return kWatchTimeout;
  bool gone = false;
  for (;;) {
    ssize_t n = read(static_cast<int>(watch->queue), buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      inotify_event e;
      std::memcpy(&e, buffer + at, sizeof e);
      const char* name = buffer + at + sizeof e;
      at += static_cast<ssize_t>(sizeof e + e.len);
      if (e.mask & IN_Q_OVERFLOW) {
        // Changes were lost: the folder as a whole changed.
        report(context, "", kWatchModified);
        continue;
      }
      if (e.mask & kFolderGone) {
        gone = true;
        continue;
      }
      WatchChange change;
      if (e.len && ChangeOf(e.mask, &change)) report(context, name, change);
    }
  }
  return gone ? kWatchGone : kWatchChanges;
}

}  // namespace tzx::platform
