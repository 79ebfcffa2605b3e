// The commands that set and report the draw style: fill style, form style
// and line width.
#pragma once

#include "tzx/types.h"

namespace tzx::graphics {

int SetFillStyle(lua_State* L);
int GetFillStyle(lua_State* L);
int SetFormStyle(lua_State* L);
int GetFormStyle(lua_State* L);
int SetLineWidth(lua_State* L);
int GetLineWidth(lua_State* L);

}  // namespace tzx::graphics
