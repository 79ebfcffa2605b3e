// A C module as scripts load them with require: built without the
// interpreter, it calls the C API that tessera carries and exports.
extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

namespace {

int Add(lua_State* L) {
  lua_pushnumber(L, luaL_checknumber(L, 1) + luaL_checknumber(L, 2));
  return 1;
}

int Join(lua_State* L) {
  luaL_checkstring(L, 1);
  luaL_checkstring(L, 2);
  lua_concat(L, 2);
  return 1;
}

const luaL_Reg kFunctions[] = {{"add", Add}, {"join", Join}, {nullptr, nullptr}};

}  // namespace

extern "C" __attribute__((visibility("default"))) int luaopen_tzxprobe(lua_State* L) {
  luaL_register(L, "tzxprobe", kFunctions);
  return 1;
}
