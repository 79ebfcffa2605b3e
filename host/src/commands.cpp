#include "commands.h"

#include <cctype>
#include <map>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "command_scope.h"
#include "host_state.h"
#include "tzx/errors.h"

namespace tzx::host {
namespace {

std::map<std::string, int> gCommandCounts;

// Runs a library command: a result of 1000 or more is an error code and
// becomes an interpreter error with the catalogue's text. Once shutdown has
// begun (finalizers run by closing the interpreter) no command runs: the
// libraries are closed by then.
int Trampoline(lua_State* L) {
  const auto* row = static_cast<const CommandRow*>(lua_touserdata(L, lua_upvalueindex(1)));
  HostState& state = State();
  if (state.hasErrorString || state.hasErrorNumber) ClearErrorArguments();
  if (state.shuttingDown) {
    state.errorString = row->name;
    state.hasErrorString = true;
    RaiseError(L, kErrShuttingDown);
  }
  const int rc = RunCommand(L, row);
  if (rc >= 1000) RaiseError(L, rc);
  return rc < 0 ? 0 : rc;
}

}  // namespace

void RegisterCommandTable(lua_State* L, const CommandRow* table) {
  for (const CommandRow* row = table; row && row->name; ++row) {
    std::string lower = row->name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The row stays valid while its library is loaded, which outlasts the state.
    lua_pushlightuserdata(L, const_cast<CommandRow*>(row));
    lua_pushcclosure(L, Trampoline, 1);
    lua_pushvalue(L, -1);
    lua_setglobal(L, row->name);
    lua_setglobal(L, lower.c_str());
  }
}

void NameCommands(const CommandRow* table, const char* library) {
  int n = 0;
  for (const CommandRow* row = table; row && row->name; ++row) ++n;
  gCommandCounts[library] = n;
}

int CommandCountOf(const char* library) {
  auto it = gCommandCounts.find(library);
  return it == gCommandCounts.end() ? 0 : it->second;
}

void ForgetCommandTables() {
  gCommandCounts.clear();
}

}  // namespace tzx::host
