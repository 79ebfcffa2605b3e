// Small pieces shared by the command glue: reading colours and optional
// tables, pushing colours and new identifiers.
#pragma once

#include "brush_records.h"
#include "tzx/frame.h"

namespace tzx::brush {

// Colours are 32-bit patterns; scripts may write them signed or unsigned.
inline uint32_t ColorArg(lua_State* L, int n) {
  return static_cast<uint32_t>(Lua().checkinteger(L, n));
}

// A table entry as a 32-bit pattern, written signed or unsigned; false for
// NaN, the infinities and values outside 32 bits, which would wrap.
inline bool WordOf(double v, uint32_t* out) {
  if (!(v > -2147483649.0 && v < 4294967296.0)) return false;
  *out = static_cast<uint32_t>(static_cast<int64_t>(v));
  return true;
}

// Colours go back unsigned, so that no colour reads -1.
inline void PushColor(lua_State* L, uint32_t color) {
  Lua().pushnumber(L, color);
}

inline bool IsTableArg(lua_State* L, int n) {
  return Lua().type(L, n) == kLuaTable;
}

// The index of an option table at argument n, or 0 when the argument is
// absent or nil; anything else raises the host's argument error.
inline int OptionalTable(lua_State* L, int n) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return 0;
  Lua().checktable(L, n);
  return n;
}

inline bool OptionalFlag(lua_State* L, int n, bool fallback) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return fallback;
  return Lua().type(L, n) == kLuaBoolean ? Lua().toboolean(L, n) != 0
                                         : Lua().checkinteger(L, n) != 0;
}

// A command that made a brush returns its identifier when it chose it.
inline int PushAutomaticId(lua_State* L, const ObjectId& requested, const BrushRecord* b) {
  if (!requested.pointer) return 0;
  Args().pushObjectId(L, b->header.id);
  return 1;
}

}  // namespace tzx::brush
