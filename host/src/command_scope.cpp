#include "command_scope.h"

#include <new>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "host_state.h"
#include "tzx/errors.h"

namespace tzx::host {
namespace {

struct Pending {
  size_t depth;  // the command that recorded it; 0 outside commands
  CommandEndAction action;
};

// The names of the commands running now: the first gDepth entries. The vector
// only grows, so that entering a command is a store, not a push.
std::vector<const char*> gCommands;
size_t gDepth = 0;
std::vector<Pending> gPending;

// Runs, last first, the actions recorded at `depth` or deeper. Out of line: it
// is rarely needed, and inlined it would cost every command a larger frame.
[[gnu::noinline]] void RunActions(lua_State* L, size_t depth) {
  while (!gPending.empty() && gPending.back().depth >= depth) {
    CommandEndAction action = gPending.back().action;
    gPending.pop_back();
    action.run(L, &action);
  }
}

[[gnu::noinline]] void GrowCommandStack(lua_State* L) {
  try {
    gCommands.resize(gCommands.empty() ? 64 : gCommands.size() * 2);
  } catch (const std::bad_alloc&) {
    RaiseError(L, kErrNoMemory);
  }
}

[[gnu::noinline, noreturn]] void RefuseAtShutdown(lua_State* L, const CommandRow* row) {
  State().errorString = row->name;
  State().hasErrorString = true;
  RaiseError(L, kErrShuttingDown);
}

}  // namespace

// Every command call comes through here, so the usual path is kept short:
// the rare cases (error arguments left over, shutdown, a deeper stack than
// ever, actions to run) are tests that fall through.
int RunCommand(lua_State* L, const CommandRow* row) {
  HostState& state = State();
  if (state.hasErrorString || state.hasErrorNumber) ClearErrorArguments();
  if (state.shuttingDown) RefuseAtShutdown(L, row);
  if (gDepth == gCommands.size()) GrowCommandStack(L);
  gCommands[gDepth++] = row->name;
  const int rc = row->fn(L);
  // Stopping the host under a command unwinds the whole stack.
  if (gDepth != 0) {
    if (!gPending.empty()) RunActions(L, gDepth);
    --gDepth;
  }
  if (rc >= 1000) RaiseError(L, rc);
  return rc < 0 ? 0 : rc;
}

size_t CommandDepth() {
  return gDepth;
}

void UnwindCommands(lua_State* L, size_t depth) {
  if (gDepth > depth) gDepth = depth;
  RunActions(L, depth == 0 ? 0 : depth + 1);
}

const char* RunningCommand() {
  return gDepth == 0 ? nullptr : gCommands[gDepth - 1];
}

int AtCommandEnd(lua_State*, const CommandEndAction* action) {
  try {
    gPending.push_back(Pending{gDepth, *action});
  } catch (const std::bad_alloc&) {
    return 1000;
  }
  return 0;
}

int ScopedPcall(lua_State* L, int nargs, int nresults, int errfunc) {
  const size_t depth = CommandDepth();
  int status = lua_pcall(L, nargs, nresults, errfunc);
  if (status != 0) UnwindCommands(L, depth);
  return status;
}

namespace {

// The base library's pcall and xpcall, with the scoped protected call.
int Pcall(lua_State* L) {
  luaL_checkany(L, 1);
  int status = ScopedPcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
  lua_pushboolean(L, status == 0);
  lua_insert(L, 1);
  return lua_gettop(L);
}

int Xpcall(lua_State* L) {
  luaL_checkany(L, 2);
  lua_settop(L, 2);
  lua_insert(L, 1);  // the handler below the function
  int status = ScopedPcall(L, 0, LUA_MULTRET, 1);
  lua_pushboolean(L, status == 0);
  lua_replace(L, 1);
  return lua_gettop(L);
}

// A coroutine runs on the same command stack: commands it was running when
// its error ended it are left when the resume returns.
const char* NotSuspended(lua_State* L, lua_State* co) {
  if (L == co) return "running";
  switch (lua_status(co)) {
    case LUA_YIELD:
      return nullptr;
    case 0: {
      lua_Debug ar;
      if (lua_getstack(co, 0, &ar) > 0) return "normal";
      return lua_gettop(co) == 0 ? "dead" : nullptr;
    }
    default:
      return "dead";
  }
}

int Resume(lua_State* L, lua_State* co, int nargs) {
  if (!lua_checkstack(co, nargs)) luaL_error(L, "too many arguments to resume");
  if (const char* state = NotSuspended(L, co)) {
    lua_pushfstring(L, "cannot resume %s coroutine", state);
    return -1;
  }
  lua_xmove(L, co, nargs);
  const size_t depth = CommandDepth();
  int status = lua_resume(co, nargs);
  if (status == 0 || status == LUA_YIELD) {
    int nres = lua_gettop(co);
    if (!lua_checkstack(L, nres + 1)) luaL_error(L, "too many results to resume");
    lua_xmove(co, L, nres);
    return nres;
  }
  UnwindCommands(L, depth);
  lua_xmove(co, L, 1);  // the error message
  return -1;
}

int CoResume(lua_State* L) {
  lua_State* co = lua_tothread(L, 1);
  luaL_argcheck(L, co, 1, "coroutine expected");
  int r = Resume(L, co, lua_gettop(L) - 1);
  if (r < 0) {
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
  }
  lua_pushboolean(L, 1);
  lua_insert(L, -(r + 1));
  return r + 1;
}

int WrappedResume(lua_State* L) {
  lua_State* co = lua_tothread(L, lua_upvalueindex(1));
  int r = Resume(L, co, lua_gettop(L));
  if (r < 0) {
    if (lua_isstring(L, -1)) {
      luaL_where(L, 1);
      lua_insert(L, -2);
      lua_concat(L, 2);
    }
    lua_error(L);
  }
  return r;
}

int CoWrap(lua_State* L) {
  luaL_checktype(L, 1, LUA_TFUNCTION);
  lua_State* co = lua_newthread(L);
  lua_pushvalue(L, 1);
  lua_xmove(L, co, 1);
  lua_pushcclosure(L, WrappedResume, 1);
  return 1;
}

}  // namespace

void InstallScopedProtectedCalls(lua_State* L) {
  lua_pushcfunction(L, Pcall);
  lua_setglobal(L, "pcall");
  lua_pushcfunction(L, Xpcall);
  lua_setglobal(L, "xpcall");
  lua_getglobal(L, "coroutine");
  if (lua_istable(L, -1)) {
    lua_pushcfunction(L, CoResume);
    lua_setfield(L, -2, "resume");
    lua_pushcfunction(L, CoWrap);
    lua_setfield(L, -2, "wrap");
  }
  lua_pop(L, 1);
}

}  // namespace tzx::host
