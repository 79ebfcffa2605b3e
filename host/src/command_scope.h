// The commands running now, innermost last, and what runs when each ends.
//
// A command's error unwinds past its C++ frames (the interpreter longjmps), so
// the end of a command is seen in two places: the trampoline after a normal
// return, and every protected call (the script's pcall, xpcall and coroutine
// resumes, the libraries' calls of script code, the host's own chunk calls),
// which cuts the stack back to the depth it had when it began.
#pragma once

#include <cstddef>

#include "tzx/host.h"

namespace tzx::host {

// Runs the command `row` as the innermost one; once it returns, runs the
// actions it recorded and leaves it. A code of 1000 or more becomes an
// interpreter error with the catalogue's text; otherwise returns the number of
// results. Once shutdown has begun (finalizers run by closing the interpreter)
// no command runs: the libraries are closed by then.
int RunCommand(lua_State* L, const CommandRow* row);
size_t CommandDepth();
// Leaves every command deeper than `depth`, running their actions, and with
// depth 0 also the actions recorded outside any command.
void UnwindCommands(lua_State* L, size_t depth);
// The innermost command's name, or null outside commands.
const char* RunningCommand();

int AtCommandEnd(lua_State* L, const CommandEndAction* action);

// A protected call that keeps the command stack right: lua_pcall, then the
// commands its error unwound are left.
int ScopedPcall(lua_State* L, int nargs, int nresults, int errfunc);

// Replaces pcall, xpcall, coroutine.resume and coroutine.wrap by versions
// that keep the command stack right.
void InstallScopedProtectedCalls(lua_State* L);

}  // namespace tzx::host
