// The script commands of graphics.tzx, by file.
#pragma once

#include "tzx/types.h"

namespace tzx::graphics {

// colour_commands.cpp: argument reading and results around the colour
// arithmetic of colours.h.
int Red(lua_State* L);
int Green(lua_State* L);
int Blue(lua_State* L);
int RGB(lua_State* L);
int ARGB(lua_State* L);
int MixRGB(lua_State* L);
int GetRandomColor(lua_State* L);
int GetRealColor(lua_State* L);
int IsPicture(lua_State* L);

// draw_style_commands.cpp: the fill style, form style and line width.
int SetFillStyle(lua_State* L);
int GetFillStyle(lua_State* L);
int SetFormStyle(lua_State* L);
int GetFormStyle(lua_State* L);
int SetLineWidth(lua_State* L);
int GetLineWidth(lua_State* L);

// draw_tag_commands.cpp
// SetDrawTagsDefault(table): the tags the table names become the defaults of
// every later parse; a failed call leaves the defaults as they were.
int SetDrawTagsDefault(lua_State* L);

// geometry_commands.cpp: matrices, transformed points and boxes,
// intersections and collisions.
int Matrix2DCommand(lua_State* L);        // Matrix2D
int TransformPointCommand(lua_State* L);  // TransformPoint
int TransformBoxCommand(lua_State* L);    // TransformBox
int Intersection(lua_State* L);
int Collision(lua_State* L);

}  // namespace tzx::graphics
