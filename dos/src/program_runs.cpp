#include "program_runs.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/threads.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

ProgramRun* gProgramRunsList = nullptr;

constexpr const char kThreadName[] = "Tessera external program thread";
constexpr int kThreadStack = 16384;
// One read of the program's output, posted as one "RunOutput" event.
constexpr size_t kOutputChunk = 65536;

void Post(int message, WorkerEventMessage* record) {
  if (record) Threads().postMessage(message, record, 0, 0, 0, 0);
}

// Posts what the program wrote as it comes; false at the output's end.
bool ForwardOutput(ProgramRun* run, platform::ChildProcess* child, char* chunk) {
  int64_t n = platform::ReadSome(child->output, chunk, kOutputChunk);
  if (n <= 0) {
    platform::CloseNativeFile(child->output);
    child->output = platform::kNoFile;
    return false;
  }
  Post(kMsgProgramOutput,
       NewWorkerMessage(ObjectId{}, run->userData, 0, chunk, static_cast<size_t>(n)));
  return true;
}

// The worker: starts the program, forwards its output and reports its end,
// unless the record's stop signal ends the watch first.
void WatchProgram(void* argument) {
  auto* run = static_cast<ProgramRun*>(argument);
  char* chunk = run->outputEvents ? static_cast<char*>(HostAlloc(kOutputChunk, false)) : nullptr;
  char** argv = NewArgumentVector(run->program, run->arguments);
  platform::ChildProcess child;
  bool started = argv && (chunk || !run->outputEvents) &&
                 platform::StartProcess(argv, run->directory, run->outputEvents, &child);
  HostFree(argv);
  bool stopped = false;
  if (started) {
    for (;;) {
      int seen = platform::WaitChild(&child, run->stop, -1);
      if (seen & platform::kChildStop) {
        stopped = true;
        break;
      }
      if (seen & platform::kChildOutput) ForwardOutput(run, &child, chunk);
      if (seen & platform::kChildEnded) {
        // What is left in the pipe, without waiting on programs the program
        // started, which may hold the pipe open.
        while (child.output != platform::kNoFile &&
               (platform::WaitChild(&child, platform::kNoFile, 0) & platform::kChildOutput) &&
               ForwardOutput(run, &child, chunk)) {
        }
        break;
      }
    }
  }
  HostFree(chunk);
  if (stopped) {
    platform::ReleaseChild(&child);
    run->finished.store(1, std::memory_order_release);
    return;
  }
  if (started) {
    run->exitCode = platform::WaitProcess(&child);
    platform::ReleaseChild(&child);
  } else {
    run->exitCode = 127;
  }
  if (run->finishedEvent) {
    WorkerEventMessage* message = NewWorkerMessage(ObjectId{}, run->userData, run->exitCode,
                                                   run->program, std::strlen(run->program));
    if (message) {
      message->run = run;
      Post(kMsgProgramFinished, message);
      return;
    }
  }
  run->finished.store(1, std::memory_order_release);
}

char* CopyAfter(char** at, std::string_view text) {
  char* start = *at;
  std::memcpy(start, text.data(), text.size());
  start[text.size()] = '\0';
  *at += text.size() + 1;
  return start;
}

void Unlink(ProgramRun* run) {
  for (ProgramRun** p = &gProgramRunsList; *p; p = &(*p)->next) {
    if (*p == run) {
      *p = run->next;
      return;
    }
  }
}

bool Listed(const ProgramRun* run) {
  for (ProgramRun* r = gProgramRunsList; r; r = r->next) {
    if (r == run) return true;
  }
  return false;
}

// Stops the worker (when it runs) and frees the record, which is unlinked.
void Destroy(lua_State* L, ProgramRun* run) {
  if (run->thread) {
    platform::RaiseStopSignal(run->stop);
    Threads().stopThread(run->thread);
  }
  platform::CloseStopSignal(run->stop);
  FreeProgramOutput(&run->output);
  if (run->userData != kNoRef) {
    HandOverPostedMessages(L);
    Lua().unref(L, kRegistryIndex, run->userData);
  }
  run->~ProgramRun();
  HostFree(run);
}

}  // namespace

WorkerEventMessage* NewWorkerMessage(const ObjectId& object, int32_t userData, int32_t value,
                                     const char* text, size_t length) {
  auto* m = static_cast<WorkerEventMessage*>(
      HostAlloc(offsetof(WorkerEventMessage, text) + length + 1, false));
  if (!m) return nullptr;
  m->object = object;
  m->userData = userData;
  m->value = value;
  m->run = nullptr;
  m->length = static_cast<uint32_t>(length);
  if (length) std::memcpy(m->text, text, length);
  m->text[length] = '\0';
  return m;
}

void HandOverPostedMessages(lua_State* L) {
  Threads().eventCheck(L, 0, 0, nullptr);
}

int StartProgramRun(lua_State* L, const RunRequest& request, int32_t userData) {
  const ProgramRequest& p = request.program;
  const size_t directoryLength = p.directory ? std::strlen(p.directory) : 0;
  // The record, then the program, the arguments and the directory.
  void* block = HostAlloc(sizeof(ProgramRun) + p.program.size() + 1 + p.arguments.size() + 1 +
                          directoryLength + 1);
  platform::NativeFile stop = block ? platform::CreateStopSignal() : platform::kNoFile;
  if (!block || stop == platform::kNoFile) {
    HostFree(block);
    if (userData != kNoRef) Lua().unref(L, kRegistryIndex, userData);
    return block ? kErrThread : kErrNoMemory;
  }
  auto* run = new (block) ProgramRun{};
  char* at = static_cast<char*>(block) + sizeof(ProgramRun);
  run->program = CopyAfter(&at, p.program);
  run->arguments = CopyAfter(&at, p.arguments);
  run->directory = p.directory ? CopyAfter(&at, p.directory) : nullptr;
  if (request.verb) std::strncpy(run->verb, request.verb, sizeof run->verb - 1);
  run->flags = request.flags;
  run->userData = userData;
  run->outputEvents = request.outputEvents;
  run->finishedEvent = request.finishedEvent;
  run->exitCode = 127;
  run->rawMode = request.rawMode;
  run->returnCode = request.returnCode;
  run->stop = stop;
  // A worker that posts nothing does not keep WaitEvent waiting.
  const int flags = request.outputEvents || request.finishedEvent ? 0 : kThreadRaisesNoEvents;
  run->thread =
      Threads().createThread(kThreadName, WatchProgram, run, 0, kThreadStack, 0, flags, 0);
  if (!run->thread) {
    Destroy(L, run);
    return kErrThread;
  }
  ProgramRun** tail = &gProgramRunsList;
  while (*tail) tail = &(*tail)->next;
  *tail = run;
  return 0;
}

void FreeProgramRun(lua_State* L, ProgramRun* run) {
  // A record that is no longer listed was freed already (at library close).
  if (!run || !Listed(run)) return;
  Unlink(run);
  Destroy(L, run);
}

void FreeFinishedRuns(lua_State* L) {
  for (ProgramRun** p = &gProgramRunsList; *p;) {
    ProgramRun* run = *p;
    if (run->finished.load(std::memory_order_acquire)) {
      *p = run->next;
      Destroy(L, run);
    } else {
      p = &run->next;
    }
  }
}

void FreeAllProgramRuns(lua_State* L) {
  while (ProgramRun* run = gProgramRunsList) {
    gProgramRunsList = run->next;
    Destroy(L, run);
  }
}

}  // namespace tzx::dos
