// MatchPattern.
#include "commands.h"
#include "pattern.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// Scripts match many names against one pattern: the last one stays compiled.
// Its string is held in the registry, so its address alone identifies it: no
// other string can have that address while it lives. Commands run on the
// script thread only.
struct LastPattern {
  const char* text = nullptr;
  int ref = kNoRef;
  CompiledPattern compiled;
};
LastPattern gLast;

}  // namespace

// MatchPattern(string, pattern): 1 or 0.
int MatchPattern(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  size_t textLength = 0, patternLength = 0;
  const char* text = Lua().checklstring(L, 1, &textLength);
  const char* pattern = Lua().checklstring(L, 2, &patternLength);
  const std::string_view t(text, textLength);
  if (pattern != gLast.text) {
    ForgetLastPattern(L);
    if (!gLast.compiled.Compile({pattern, patternLength})) {
      Lua().pushnumber(L, MatchesPattern(t, {pattern, patternLength}) ? 1 : 0);
      return 1;
    }
    Lua().pushvalue(L, 2);
    gLast.ref = Lua().ref(L, kRegistryIndex);
    gLast.text = pattern;
  }
  Lua().pushnumber(L, gLast.compiled.Matches(t) ? 1 : 0);
  return 1;
}

void ForgetLastPattern(lua_State* L) {
  gLast.text = nullptr;
  if (gLast.ref != kNoRef) Lua().unref(L, kRegistryIndex, gLast.ref);
  gLast.ref = kNoRef;
}

}  // namespace tzx::dos
