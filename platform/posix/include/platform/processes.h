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
  // Made by the first WaitChild: what tells that the program ended.
  NativeFile watch = kNoFile;
  bool reaped = false;  // the exit code is in `exitCode` already
  int exitCode = 127;
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

// What WaitChild saw, as bits.
enum ChildActivity : int {
  kChildOutput = 1,  // the captured output has data or has ended
  kChildEnded = 2,   // the program ended (WaitProcess no longer blocks)
  kChildStop = 4,    // `stop` was raised
};
// Waits at most `timeoutMs` (-1: without limit) until the program writes,
// ends, or `stop` (a signal of threads.h, or kNoFile) is raised; 0 when the
// time ran out.
int WaitChild(ChildProcess* child, NativeFile stop, int timeoutMs);

// Lets go of a program that is still running: it goes on without us; a
// captured output is closed.
void ReleaseChild(ChildProcess* child);

}  // namespace tzx::platform
