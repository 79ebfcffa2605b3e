// The interface dos.tzx hands its siblings: open files, finished program runs,
// linked directory trees and the two I/O switches.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::dos {

// One open script file (object type 44), kept in FilesList.
struct FileNode {
  ObjectHeader header;
  int32_t mode;      // MODE_READWRITE, MODE_READ or MODE_WRITE as the script passed it
  int32_t access;    // kAccessRead, kAccessWrite or kAccessReadWrite
  int32_t encoding;  // kEncodingNone (take the caller's), kEncodingLatin1 or kEncodingUtf8
  FileHandle* handle;
  bool seekable;  // the handle can move back (false for streams)
  // Pins of the running command (tzx/pins.h). A close of a pinned file takes
  // it out of the list at once and closes the handle when the pins go.
  int32_t pins;
  bool closePending;
};

struct ProgramRun;

struct DosInterface {
  // 0, or 1041 / 1179 (with the number as argument) when no file has the id.
  int (*findFileHandle)(const ObjectId* id, FileNode** out);
  void (*freeProgramRun)(lua_State* L, ProgramRun* run);
  const void* makeLinkedEntryPath;
  const void* freeDirTree;
  const void* readDirTree;
  const void* openFileThroughScript;
  const void* declareLinkedDirectory;
  int* currentIoMode;      // IO_BUFFERED or IO_UNBUFFERED, for ReadLine and WriteLine
  int* useCarriageReturn;  // non-zero: WriteLine ends lines with CR LF
  const void* end;         // always null
};
static_assert(offsetof(DosInterface, currentIoMode) == 7 * sizeof(void*));
static_assert(sizeof(DosInterface) == 10 * sizeof(void*));

}  // namespace tzx::dos
