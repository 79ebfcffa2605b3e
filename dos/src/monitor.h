// Directory monitors: a worker thread ("Tessera directory monitor") per
// watched folder posts its changes to the script thread as host messages 11
// (the folder changed) and 15 (one entry added, removed or modified), which
// the event library turns into "DirectoryChanged" events.
#pragma once

#include <cstdint>

#include "platform/watches.h"
#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::dos {

// Changes closer together than this make one message 11 (without "all").
inline constexpr int kCoalesceMilliseconds = 100;

struct DirectoryMonitor {
  HostThread* thread;
  char path[1024];
  int32_t all;            // every change its own message 11
  int32_t reportChanges;  // a message 15 for each entry that changed
  platform::NativeFile stop;
  platform::DirectoryWatch watch;
  char* buffer;  // what the worker reads the changes through
  // Copied into every message.
  ObjectId object;
  int32_t userData;
};

struct MonitorRequest {
  const char* path;
  int32_t all;
  int32_t reportChanges;
  ObjectId object;
  int32_t userData;
};

// Starts watching: the watch is active when this returns 0; 1000, or 1627
// when the folder cannot be watched or the worker cannot start.
int StartMonitor(const MonitorRequest& request, DirectoryMonitor** out);

// Stops the worker and frees the record. The caller releases the user data
// after handing posted messages over (HandOverPostedMessages).
void StopMonitor(DirectoryMonitor* monitor);

}  // namespace tzx::dos
