// A size argument of a command: a number of pixels, or a string "n%" of a
// size that is known only once the command's object has been found.
#pragma once

#include <climits>
#include <cstdlib>

#include "tzx/frame.h"

namespace tzx {

struct SizeArgument {
  double value;
  bool percent;
  // INT_MIN for a value out of range, which callers refuse as too small.
  int Resolve(int reference) const {
    const double v = percent ? reference * value / 100.0 : value;
    if (!(v > INT_MIN && v < INT_MAX)) return INT_MIN;
    return static_cast<int>(v);
  }
};

// Raises the host's argument error for anything else.
inline SizeArgument ReadSizeArgument(lua_State* L, int n) {
  if (Lua().type(L, n) == kLuaString) {
    const char* s = Lua().checklstring(L, n, nullptr);
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (end != s && end[0] == '%' && end[1] == '\0') return {v, true};
  }
  return {static_cast<double>(Lua().checkinteger(L, n)), false};
}

}  // namespace tzx
