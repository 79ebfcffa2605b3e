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

// Bits of a mask row: most significant first, set = visible.
inline bool MaskBit(const uint8_t* row, int x) {
  return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void SetMaskBit(uint8_t* row, int x, bool on) {
  const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
  row[x >> 3] = on ? row[x >> 3] | bit : row[x >> 3] & ~bit;
}

// Pens of a depth: 2^depth.
inline int PenCount(int depth) {
  return depth >= 1 && depth <= 8 ? 1 << depth : 0;
}

}  // namespace tzx::brush
