// The option keys of a layout request that other libraries read with the
// text library's rules: tab stops and list settings of an options table.
#pragma once

#include "layout.h"

struct lua_State;

namespace tzx::text {

// "tabs": stops ascending, at most 31, none negative (1598, 1066, 1154, 1189).
// 0 or the code; the stack is as it was.
int ReadTabs(lua_State* L, int table, LayoutRequest* request);
// The four list settings with their "def" forms.
int ReadListSettings(lua_State* L, int table, LayoutRequest* request);

}  // namespace tzx::text
