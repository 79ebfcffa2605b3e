// Execute and Run: external programs started without a shell.
#include <cctype>
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "platform/file_system.h"
#include "program_runs.h"
#include "run.h"
#include "stored_programs.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics.h"

namespace tzx::dos {
namespace {

// The program and its options as the script gave them. The strings stay on
// the interpreter's stack for the command's length.
struct ProgramCall {
  std::string_view text;       // argument 1
  std::string_view arguments;  // argument 2 when it is a string
  bool explicitArguments = false;
  int32_t resetKeys = 1;
  int32_t captureOutput = 0;
  int32_t forceExe = 0, hide = 0, consoleMode = 0;
  char directory[1024] = "";
  char verb[256] = "";
  char program[1024] = "";  // what is started: the program, or its copy
  // Run only.
  int32_t rawMode = 0, returnCode = 0;
  int userDataIndex = 0;  // stack index of the user data, 0 when none
  char ignoreHandlers[256] = "";
};

std::string_view StringArgument(lua_State* L, int n) {
  size_t length = 0;
  const char* s = Lua().checklstring(L, n, &length);
  return {s, length};
}

// Reads the arguments: Run's forms and keys with `run`, else Execute's.
void ReadProgramCall(lua_State* L, bool run, ProgramCall* call) {
  call->text = StringArgument(L, 1);
  int top = Lua().gettop(L);
  if (top >= 2 && Lua().type(L, 2) == kLuaNumber) {
    call->resetKeys = static_cast<int32_t>(Lua().checkinteger(L, 2));
    if (run && top >= 3) call->userDataIndex = 3;
    return;
  }
  if (top >= 2 && (top >= 3 || Lua().type(L, 2) != kLuaNil)) {
    call->arguments = StringArgument(L, 2);
    call->explicitArguments = true;
  }
  if (top < 3) return;
  Lua().checktable(L, 3);
  Args().fieldInt(L, 3, "resetkeys", &call->resetKeys);
  Args().fieldInt(L, 3, "forceexe", &call->forceExe);
  Args().fieldInt(L, 3, "hide", &call->hide);
  Args().fieldInt(L, 3, "consolemode", &call->consoleMode);
  Args().fieldString(L, 3, "directory", call->directory, sizeof call->directory);
  Args().fieldString(L, 3, "verb", call->verb, sizeof call->verb);
  if (!run) {
    Args().fieldInt(L, 3, "captureoutput", &call->captureOutput);
    return;
  }
  Args().fieldInt(L, 3, "rawmode", &call->rawMode);
  Args().fieldInt(L, 3, "returncode", &call->returnCode);
  Args().fieldString(L, 3, "ignorehandlers", call->ignoreHandlers, sizeof call->ignoreHandlers);
  // Pushed once; the reference is taken after every check.
  Args().fieldByKey(L, 3, "userdata");
  call->userDataIndex = Lua().gettop(L);
}

// Whether `name` is one of the event names of the list (separated by blanks,
// commas or semicolons; case does not matter).
bool ListsEvent(const char* list, const char* name) {
  const size_t length = std::strlen(name);
  for (const char* p = list; *p;) {
    while (*p == ' ' || *p == '\t' || *p == ',' || *p == ';') ++p;
    const char* start = p;
    while (*p && *p != ' ' && *p != '\t' && *p != ',' && *p != ';') ++p;
    if (static_cast<size_t>(p - start) != length) continue;
    size_t i = 0;
    while (i < length && std::tolower(static_cast<unsigned char>(start[i])) == name[i]) ++i;
    if (i == length) return true;
  }
  return false;
}

bool HoldsNul(std::string_view s) {
  return s.find('\0') != std::string_view::npos;
}

// The program, its arguments and its directory as the system will get them:
// 1055 for an empty or unusable name, 1286 for a directory that is not one.
int CheckedRequest(ProgramCall& call, ProgramRequest* request) {
  *request = ProgramRequest{call.text, call.arguments, nullptr, false};
  if (!call.explicitArguments &&
      !SplitProgramText(call.text, &request->program, &request->arguments))
    return kErrRange;
  if (request->program.empty() || HoldsNul(request->program) || HoldsNul(request->arguments))
    return kErrRange;
  if (call.directory[0]) {
    platform::FileStatus status;
    if (!platform::Examine(call.directory, &status) || !status.directory)
      return ErrorWithString(kErrOpenDir, call.directory);
    request->directory = call.directory;
  }
  if (int rc = ResolveProgram(request->program, call.program, sizeof call.program)) return rc;
  request->program = call.program;
  return 0;
}

// Keys held when the program took the focus no longer count as held.
void ResetKeys() {
  if (!gBound.graphics || !gBound.display) return;
  auto* graphics = gBound.graphics;
  auto* display = gBound.display;
  graphics::OutputRecord* output = *graphics->currentOutput;
  if (output && display->ClearWindowData) display->ClearWindowData(output);
}

}  // namespace

// Execute(program, [arguments | resetkeys], [options]): nothing, or with
// "captureoutput" the exit code and the program's standard output.
int Execute(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ProgramCall call;
  ReadProgramCall(L, false, &call);

  ProgramRequest request;
  if (int rc = CheckedRequest(call, &request)) return rc;
  request.captureOutput = call.captureOutput != 0;
  ProgramResult result;
  int error = ExecuteProgram(request, &result);
  if (result.started && call.resetKeys) ResetKeys();
  if (error) return error;
  if (!request.captureOutput) {
    if (result.started) return 0;
    std::string_view p = request.program;
    // The name for the message; the command's stack keeps it no longer.
    char name[1024];
    size_t n = p.size() < sizeof name - 1 ? p.size() : sizeof name - 1;
    std::memcpy(name, p.data(), n);
    name[n] = '\0';
    return ErrorWithString(kErrOpenRead, name);
  }
  Lua().pushnumber(L, result.exitCode);
  // Copied into the interpreter before the buffer is freed.
  ProgramOutput output = result.output;
  Lua().pushlstring(L, output.data ? output.data : "", output.length);
  FreeProgramOutput(&output);
  return 2;
}

// Run(program, [arguments | resetkeys], [options | userdata]): starts the
// program and returns at once; its output and its end arrive as the events
// "RunOutput" (text as it comes) and "RunFinished" (exit code, 127 when it
// could not start).
int Run(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ProgramCall call;
  call.resetKeys = 0;
  ReadProgramCall(L, true, &call);

  const bool outputEvents = !ListsEvent(call.ignoreHandlers, "runoutput");
  const bool finishedEvent = !ListsEvent(call.ignoreHandlers, "runfinished");
  if ((outputEvents || finishedEvent) && !gBound.event)
    return ErrorWithString(kErrSiblingAbsent, "event");
  ProgramRequest request;
  if (int rc = CheckedRequest(call, &request)) return rc;
  FreeFinishedRuns(L);

  RunRequest run{request,
                 kRunNoWait | (outputEvents || finishedEvent ? kRunEvents : 0u) |
                     (call.forceExe ? kRunForceExe : 0u) | (call.hide ? kRunHide : 0u) |
                     (call.consoleMode ? kRunConsoleMode : 0u),
                 call.verb,
                 outputEvents,
                 finishedEvent,
                 call.rawMode,
                 call.returnCode};
  int32_t userData = kNoRef;
  if (call.userDataIndex && Lua().type(L, call.userDataIndex) != kLuaNil) {
    Lua().pushvalue(L, call.userDataIndex);
    userData = Lua().ref(L, kRegistryIndex);
  }
  if (int rc = StartProgramRun(L, run, userData)) return rc;
  if (call.resetKeys) ResetKeys();
  return 0;
}

}  // namespace tzx::dos
