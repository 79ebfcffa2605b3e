// Programs started without a shell: each argument reaches the program as it
// is, never through a command interpreter.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace tzx::platform {

struct ChildProcess {
  intptr_t id = -1;
  // The reading end of the program's standard output when it is captured,
  // else kNoFile; the caller reads it with ReadSome and closes it.
  NativeFile output = kNoFile;
};

// Starts argv[0] (searched on PATH when it holds no '/') with the null-ended
// `argv`, in `directory` when that is not null; a relative program path is
// taken from the current directory, not from `directory`. The program shares
// the standard handles but for a captured standard output. False when it
// cannot be started.
bool StartProcess(char* const* argv, const char* directory, bool captureOutput, ChildProcess* out);

// Waits for the program to end: its exit code, 128 plus the signal's number
// when a signal ended it.
int WaitProcess(ChildProcess* child);

}  // namespace tzx::platform
