// Execute: external programs started without a shell.
#include <cstring>

#include "bindings.h"
#include "io_commands.h"
#include "platform/file_system.h"
#include "run.h"
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
};

std::string_view StringArgument(lua_State* L, int n) {
  size_t length = 0;
  const char* s = Lua().checklstring(L, n, &length);
  return {s, length};
}

// Reads every argument before anything is taken: a wrong type raises the
// host's argument error.
void ReadProgramCall(lua_State* L, ProgramCall* call) {
  call->text = StringArgument(L, 1);
  int top = Lua().gettop(L);
  if (top >= 2 && Lua().type(L, 2) == kLuaNumber) {
    call->resetKeys = static_cast<int32_t>(Lua().checkinteger(L, 2));
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
  Args().fieldInt(L, 3, "captureoutput", &call->captureOutput);
  Args().fieldString(L, 3, "directory", call->directory, sizeof call->directory);
  Args().fieldString(L, 3, "verb", call->verb, sizeof call->verb);
}

bool HoldsNul(std::string_view s) {
  return s.find('\0') != std::string_view::npos;
}

// Keys held when the program took the focus no longer count as held.
void ResetKeys() {
  if (!gBound.graphics || !gBound.display) return;
  auto* graphics = static_cast<const graphics::GraphicsInterface*>(gBound.graphics);
  auto* display = static_cast<const display::DisplayInterface*>(gBound.display);
  graphics::OutputRecord* output = *graphics->currentOutput;
  if (output && display->ClearWindowData) display->ClearWindowData(output);
}

}  // namespace

// Execute(program, [arguments | resetkeys], [options]): nothing, or with
// "captureoutput" the exit code and the program's standard output.
int Execute(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ProgramCall call;
  ReadProgramCall(L, &call);

  ProgramRequest request{call.text, call.arguments, nullptr, call.captureOutput != 0};
  if (!call.explicitArguments && !SplitProgramText(call.text, &request.program, &request.arguments))
    return kErrRange;
  if (request.program.empty() || HoldsNul(request.program) || HoldsNul(request.arguments))
    return kErrRange;
  if (call.directory[0]) {
    platform::FileStatus status;
    if (!platform::Examine(call.directory, &status) || !status.directory)
      return ErrorWithString(kErrOpenDir, call.directory);
    request.directory = call.directory;
  }

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

}  // namespace tzx::dos
