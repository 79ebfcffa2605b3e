// Programs watched on a worker thread ("Tessera external program thread"):
// their output and their end reach the script as the host messages the event
// library turns into "RunOutput" and "RunFinished" events.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/processes.h"
#include "run.h"
#include "tzx/dos.h"
#include "tzx/host.h"
#include "tzx/siblings.h"

namespace tzx::dos {

// Run flags.
enum RunFlags : uint32_t {
  kRunNoWait = 0x1,
  kRunForceExe = 0x2,
  kRunEvents = 0x4,
  kRunRequestWord = 0x8,
  kRunHide = 0x40,
  kRunConsoleMode = 0x80,
  kRunCaptureOutput = 0x100,
};

struct ProgramRun {
  ProgramRun* next;
  HostThread* thread;
  // Stored after the record; `directory` is null when the program starts in
  // the current directory.
  char* program;
  char* arguments;
  char verb[64];
  char* directory;
  uint32_t flags;
  int32_t userData;  // registry reference, kNoRef when none
  bool outputEvents;
  bool finishedEvent;
  int32_t exitCode;
  // Set by the worker once it has nothing more to do with the record.
  std::atomic<int32_t> finished;
  ProgramOutput output;
  int32_t rawMode;
  int32_t returnCode;
  platform::NativeFile stop;  // raised to end the worker early
};

// What Run hands to StartProgramRun; the strings are copied.
struct RunRequest {
  ProgramRequest program;
  uint32_t flags;
  const char* verb;
  bool outputEvents;
  bool finishedEvent;
  int32_t rawMode;
  int32_t returnCode;
};

// Makes the record, starts its worker and appends it to ProgramRunsList; the
// record takes `userData` over (also on failure, when it is released).
// 0, 1000, or 1287 when the worker cannot be started.
int StartProgramRun(lua_State* L, const RunRequest& request, int32_t userData);

// Dos interface slot 1: unlinks the run and frees it, its worker stopped
// first (a program still running goes on on its own).
void FreeProgramRun(lua_State* L, ProgramRun* run);

// Frees the runs whose worker ended without an event that would free them.
void FreeFinishedRuns(lua_State* L);
// At library close: every run, workers first.
void FreeAllProgramRuns(lua_State* L);

// Hands messages that workers posted to the event library, which takes its
// own reference of their user data, so that the poster may release its own.
void HandOverPostedMessages(lua_State* L);

// One block from the host's memory: the message and `length` bytes of text.
WorkerEventMessage* NewWorkerMessage(const ObjectId& object, int32_t userData, int32_t value,
                                     const char* text, size_t length);

}  // namespace tzx::dos
