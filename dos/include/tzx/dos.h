// The interface dos.tzx hands its siblings: open files, finished program runs,
// linked directory trees and the two I/O switches.
#pragma once

#include <cstddef>

#include "tzx/types.h"

namespace tzx::dos {

struct FileNode;
struct ProgramRun;

struct DosInterface {
  int (*findFileHandle)(const ObjectId* id, FileNode** out);
  void (*freeProgramRun)(lua_State* L, ProgramRun* run);
  const void* makeLinkedEntryPath;
  const void* freeDirTree;
  const void* readDirTree;
  const void* openFileThroughScript;
  const void* declareLinkedDirectory;
  int* currentIoMode;
  int* useCarriageReturn;
  const void* end;  // always null
};
static_assert(offsetof(DosInterface, currentIoMode) == 7 * sizeof(void*));
static_assert(sizeof(DosInterface) == 10 * sizeof(void*));

}  // namespace tzx::dos
