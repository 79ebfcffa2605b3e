// GetEnv, SetEnv and UnsetEnv: the process environment.
#include <cstring>

#include "commands.h"
#include "platform/environment.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// A string argument without an embedded NUL, which the environment could not
// hold; null otherwise.
const char* WholeString(lua_State* L, int n) {
  size_t length;
  const char* s = Lua().checklstring(L, n, &length);
  return std::strlen(s) == length ? s : nullptr;
}

}  // namespace

// GetEnv(name): the value ("" when unset) and 1 when set, else 0.
int GetEnv(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* name = WholeString(L, 1);
  const char* value = name && name[0] ? platform::EnvironmentValue(name) : nullptr;
  Lua().pushstring(L, value ? value : "");
  Lua().pushnumber(L, value ? 1 : 0);
  return 2;
}

// SetEnv(name, value)
int SetEnv(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const char* name = WholeString(L, 1);
  const char* value = WholeString(L, 2);
  if (!name || !value) return kErrRange;
  return platform::SetEnvironmentValue(name, value) ? 0 : kErrRange;
}

// UnsetEnv(name)
int UnsetEnv(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* name = WholeString(L, 1);
  if (!name) return kErrRange;
  return platform::RemoveEnvironmentValue(name) ? 0 : kErrRange;
}

}  // namespace tzx::dos
