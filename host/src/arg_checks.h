// Argument checks of the host: wrong types raise "bad argument #n to
// 'Command' (...)" naming the running command, whatever name the script
// called it by; numbers read as 32-bit integers are refused with 1055 when
// they are not finite or do not fit 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>

struct lua_State;

namespace tzx::host {

[[noreturn]] void ArgError(lua_State* L, int n, const char* message);
// "<expected> expected, got <type of argument n>".
[[noreturn]] void TypeError(lua_State* L, int n, const char* expected);

const char* CheckString(lua_State* L, int n, size_t* length);
double CheckNumber(lua_State* L, int n);
// A 32-bit word written signed or unsigned: finite values from -2^31 to
// 2^32 - 1, truncated toward zero; anything else raises error 1055.
int32_t CheckedInt32(lua_State* L, double v);
int32_t CheckInt32(lua_State* L, int n);
void CheckType(lua_State* L, int n, int type);

}  // namespace tzx::host
