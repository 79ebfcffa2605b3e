// The interpreter's C API as the libraries see it: the classic stack model's
// pseudo-indices are translated to the embedded interpreter's.
#include "lua_api.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "arg_checks.h"
#include "command_scope.h"
#include "host_state.h"

static_assert(sizeof(tzx::LuaBuffer) == sizeof(luaL_Buffer));
static_assert(offsetof(tzx::LuaBuffer, buffer) == offsetof(luaL_Buffer, buffer));
static_assert(tzx::kLuaBufferSize == LUAL_BUFFERSIZE);
static_assert(LUA_TNIL == tzx::kLuaNil && LUA_TBOOLEAN == tzx::kLuaBoolean &&
              LUA_TLIGHTUSERDATA == tzx::kLuaLightUserdata && LUA_TNUMBER == tzx::kLuaNumber &&
              LUA_TSTRING == tzx::kLuaString && LUA_TTABLE == tzx::kLuaTable &&
              LUA_TFUNCTION == tzx::kLuaFunction && LUA_TUSERDATA == tzx::kLuaUserdata);

namespace tzx::host {

int TranslateIndex(int index) {
  if (index > kRegistryIndex) return index;  // stack positions, relative or absolute
  if (index == kRegistryIndex) return LUA_REGISTRYINDEX;
  if (index == kGlobalsIndex) return LUA_GLOBALSINDEX;
  return lua_upvalueindex(kGlobalsIndex - index);
}

namespace {

using I = int;
inline int T(int i) {
  return TranslateIndex(i);
}

int Gettop(lua_State* L) {
  return lua_gettop(L);
}
void Settop(lua_State* L, I i) {
  lua_settop(L, T(i));
}
void Pushvalue(lua_State* L, I i) {
  lua_pushvalue(L, T(i));
}
void Remove(lua_State* L, I i) {
  lua_remove(L, T(i));
}
void Insert(lua_State* L, I i) {
  lua_insert(L, T(i));
}
void Replace(lua_State* L, I i) {
  lua_replace(L, T(i));
}
int Type(lua_State* L, I i) {
  return lua_type(L, T(i));
}
int Isnumber(lua_State* L, I i) {
  return lua_isnumber(L, T(i));
}
int Isstring(lua_State* L, I i) {
  return lua_isstring(L, T(i));
}
size_t Strlen(lua_State* L, I i) {
  return lua_objlen(L, T(i));
}
void* Touserdata(lua_State* L, I i) {
  return lua_touserdata(L, T(i));
}
double Tonumber(lua_State* L, I i) {
  return lua_tonumber(L, T(i));
}
int Toboolean(lua_State* L, I i) {
  return lua_toboolean(L, T(i));
}
const char* Tolstring(lua_State* L, I i, size_t* n) {
  return lua_tolstring(L, T(i), n);
}
void Pushnil(lua_State* L) {
  lua_pushnil(L);
}
void Pushnumber(lua_State* L, double n) {
  lua_pushnumber(L, n);
}
void Pushboolean(lua_State* L, int b) {
  lua_pushboolean(L, b);
}
void Pushlstring(lua_State* L, const char* s, size_t n) {
  lua_pushlstring(L, s, n);
}
void Pushstring(lua_State* L, const char* s) {
  lua_pushstring(L, s);
}
void Pushlightuserdata(lua_State* L, void* p) {
  lua_pushlightuserdata(L, p);
}
void Pushcclosure(lua_State* L, LuaCFunction fn, int n) {
  lua_pushcclosure(L, fn, n);
}
void Newtable(lua_State* L) {
  lua_newtable(L);
}
void Gettable(lua_State* L, I i) {
  lua_gettable(L, T(i));
}
void Rawget(lua_State* L, I i) {
  lua_rawget(L, T(i));
}
void Rawgeti(lua_State* L, I i, int n) {
  lua_rawgeti(L, T(i), n);
}
void Settable(lua_State* L, I i) {
  lua_settable(L, T(i));
}
void Rawset(lua_State* L, I i) {
  lua_rawset(L, T(i));
}
void Rawseti(lua_State* L, I i, int n) {
  lua_rawseti(L, T(i), n);
}
int Next(lua_State* L, I i) {
  return lua_next(L, T(i));
}
void* Newuserdata(lua_State* L, size_t n) {
  return lua_newuserdata(L, n);
}
int Getmetatable(lua_State* L, I i) {
  return lua_getmetatable(L, T(i));
}
int Setmetatable(lua_State* L, I i) {
  return lua_setmetatable(L, T(i));
}
int Newmetatable(lua_State* L, const char* name) {
  return luaL_newmetatable(L, name);
}
void Getregmetatable(lua_State* L, const char* name) {
  luaL_getmetatable(L, name);
}
void* Checkudata(lua_State* L, I i, const char* name) {
  int n = T(i);
  void* p = lua_touserdata(L, n);
  if (p && lua_getmetatable(L, n)) {
    lua_getfield(L, LUA_REGISTRYINDEX, name);
    bool same = lua_rawequal(L, -1, -2);
    lua_pop(L, 2);
    if (same) return p;
  }
  TypeError(L, n, name);
}
int Pcall(lua_State* L, int nargs, int nresults, int errfunc) {
  return ScopedPcall(L, nargs, nresults, errfunc ? T(errfunc) : 0);
}
int Ref(lua_State* L, I i) {
  return luaL_ref(L, T(i));
}
void Unref(lua_State* L, I i, int ref) {
  luaL_unref(L, T(i), ref);
}
const char* Checklstring(lua_State* L, int n, size_t* len) {
  return CheckString(L, n, len);
}
const char* Optlstring(lua_State* L, int n, const char* d, size_t* len) {
  if (!lua_isnoneornil(L, n)) return CheckString(L, n, len);
  if (len) *len = d ? std::strlen(d) : 0;
  return d;
}
double Checknumber(lua_State* L, int n) {
  return CheckNumber(L, n);
}
double Optnumber(lua_State* L, int n, double d) {
  return lua_isnoneornil(L, n) ? d : CheckNumber(L, n);
}
// Integers are truncated toward zero; a value that is not finite or does not
// fit 32 bits (signed or unsigned) is refused rather than wrapped.
int32_t Checkinteger(lua_State* L, int n) {
  return CheckInt32(L, n);
}
int32_t Optinteger(lua_State* L, int n, int32_t d) {
  return lua_isnoneornil(L, n) ? d : CheckInt32(L, n);
}
uint32_t Checkunsigned(lua_State* L, int n) {
  return static_cast<uint32_t>(CheckInt32(L, n));
}
void Checktable(lua_State* L, int n) {
  CheckType(L, n, LUA_TTABLE);
}
void Checkfunction(lua_State* L, int n) {
  CheckType(L, n, LUA_TFUNCTION);
}

void Buffinit(lua_State* L, LuaBuffer* b) {
  luaL_buffinit(L, reinterpret_cast<luaL_Buffer*>(b));
}
char* Prepbuffer(LuaBuffer* b) {
  return luaL_prepbuffer(reinterpret_cast<luaL_Buffer*>(b));
}
void Addlstring(LuaBuffer* b, const char* s, size_t n) {
  luaL_addlstring(reinterpret_cast<luaL_Buffer*>(b), s, n);
}
void Addstring(LuaBuffer* b, const char* s) {
  luaL_addstring(reinterpret_cast<luaL_Buffer*>(b), s);
}
void Pushresult(LuaBuffer* b) {
  luaL_pushresult(reinterpret_cast<luaL_Buffer*>(b));
}

int Compare(lua_State* L, int a, int b, int mode) {
  return mode == 1 ? lua_lessthan(L, T(a), T(b)) : lua_equal(L, T(a), T(b));
}

int CallScript(lua_State* L, int nargs, int nresults) {
  if (ScopedPcall(L, nargs, nresults, 0) == 0) return 0;
  return ScriptErrorCode(L);
}

}  // namespace

const LuaApi kLuaApi = {
    .gettop = Gettop,
    .settop = Settop,
    .pushvalue = Pushvalue,
    .remove = Remove,
    .insert = Insert,
    .replace = Replace,
    .type = Type,
    .isnumber = Isnumber,
    .isstring = Isstring,
    .strlen = Strlen,
    .touserdata = Touserdata,
    .tonumber = Tonumber,
    .toboolean = Toboolean,
    .tolstring = Tolstring,
    .pushnil = Pushnil,
    .pushnumber = Pushnumber,
    .pushboolean = Pushboolean,
    .pushlstring = Pushlstring,
    .pushstring = Pushstring,
    .pushlightuserdata = Pushlightuserdata,
    .pushcclosure = Pushcclosure,
    .newtable = Newtable,
    .gettable = Gettable,
    .rawget = Rawget,
    .rawgeti = Rawgeti,
    .settable = Settable,
    .rawset = Rawset,
    .rawseti = Rawseti,
    .next = Next,
    .newuserdata = Newuserdata,
    .getmetatable = Getmetatable,
    .setmetatable = Setmetatable,
    .newmetatable = Newmetatable,
    .getregmetatable = Getregmetatable,
    .checkudata = Checkudata,
    .pcall = Pcall,
    .ref = Ref,
    .unref = Unref,
    .checklstring = Checklstring,
    .optlstring = Optlstring,
    .checknumber = Checknumber,
    .optnumber = Optnumber,
    .checkinteger = Checkinteger,
    .optinteger = Optinteger,
    .checkunsigned = Checkunsigned,
    .checktable = Checktable,
    .checkfunction = Checkfunction,
    .buffinit = Buffinit,
    .prepbuffer = Prepbuffer,
    .addlstring = Addlstring,
    .addstring = Addstring,
    .pushresult = Pushresult,
    .compare = Compare,
    .callScript = CallScript,
};

}  // namespace tzx::host
