// MatchPattern.
#include "commands.h"
#include "pattern.h"
#include "tzx/frame.h"

namespace tzx::dos {

// MatchPattern(string, pattern): 1 or 0.
int MatchPattern(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  size_t textLength = 0, patternLength = 0;
  const char* text = Lua().checklstring(L, 1, &textLength);
  const char* pattern = Lua().checklstring(L, 2, &patternLength);
  Lua().pushnumber(L, MatchesPattern({text, textLength}, {pattern, patternLength}) ? 1 : 0);
  return 1;
}

}  // namespace tzx::dos
