// Watching a folder for changes to its entries (not those of its subfolders).
#pragma once

#include <cstddef>

#include "platform/files.h"

namespace tzx::platform {

struct DirectoryWatch {
  NativeFile queue = kNoFile;
  int folder = -1;
};

enum WatchChange : int {
  kWatchAdded = 0,     // created, or renamed to this name
  kWatchRemoved = 1,   // deleted, or renamed away from this name
  kWatchModified = 2,  // written or its attributes changed
};

// The watch is active when this returns true; false when `path` is not a
// folder that can be watched.
bool OpenDirectoryWatch(const char* path, DirectoryWatch* watch);
void CloseDirectoryWatch(DirectoryWatch* watch);

// What WaitDirectoryChanges saw.
enum WatchResult : int {
  kWatchTimeout = 0,
  kWatchChanges = 1,  // `report` was called for each change
  kWatchStopped = 2,  // `stop` was raised
  kWatchGone = 3,     // the folder itself was deleted (changes before it reported)
};

// Reports a change to the entry `name` (relative to the folder).
using WatchReport = void (*)(void* context, const char* name, WatchChange change);

// Waits at most `timeoutMs` (-1: without limit) for changes or for `stop` (a
// signal of threads.h) and reports the changes that arrived, reading them
// through `buffer`. A stop wins over changes that arrived with it.
WatchResult WaitDirectoryChanges(DirectoryWatch* watch, NativeFile stop, int timeoutMs,
                                 char* buffer, size_t size, WatchReport report, void* context);

}  // namespace tzx::platform
