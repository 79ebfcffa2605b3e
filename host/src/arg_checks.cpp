#include "arg_checks.h"

#include <cmath>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "command_scope.h"
#include "host_state.h"
#include "tzx/errors.h"

namespace tzx::host {

void ArgError(lua_State* L, int n, const char* message) {
  const char* name = RunningCommand();
  lua_Debug ar;
  if (!name && lua_getstack(L, 0, &ar)) {
    lua_getinfo(L, "n", &ar);
    name = ar.name;
  }
  luaL_error(L, "bad argument #%d to '%s' (%s)", n, name ? name : "?", message);
  __builtin_unreachable();
}

void TypeError(lua_State* L, int n, const char* expected) {
  ArgError(L, n, lua_pushfstring(L, "%s expected, got %s", expected, luaL_typename(L, n)));
}

const char* CheckString(lua_State* L, int n, size_t* length) {
  const char* s = lua_tolstring(L, n, length);
  if (!s) TypeError(L, n, lua_typename(L, LUA_TSTRING));
  return s;
}

double CheckNumber(lua_State* L, int n) {
  lua_Number v = lua_tonumber(L, n);
  if (v == 0 && !lua_isnumber(L, n)) TypeError(L, n, lua_typename(L, LUA_TNUMBER));
  return v;
}

int32_t CheckedInt32(lua_State* L, double v) {
  if (!(v > -2147483649.0 && v < 4294967296.0)) RaiseError(L, kErrRange);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(v)));
}

int32_t CheckInt32(lua_State* L, int n) {
  return CheckedInt32(L, CheckNumber(L, n));
}

void CheckType(lua_State* L, int n, int type) {
  if (lua_type(L, n) != type) TypeError(L, n, lua_typename(L, type));
}

}  // namespace tzx::host
