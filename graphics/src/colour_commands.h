// The colour commands scripts call: argument reading and results around the
// colour arithmetic of colours.h.
#pragma once

#include "tzx/types.h"

namespace tzx::graphics {

int Red(lua_State* L);
int Green(lua_State* L);
int Blue(lua_State* L);
int RGB(lua_State* L);
int ARGB(lua_State* L);
int MixRGB(lua_State* L);
int GetRandomColor(lua_State* L);
int GetRealColor(lua_State* L);
int IsPicture(lua_State* L);

}  // namespace tzx::graphics
