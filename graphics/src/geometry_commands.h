// The geometry commands scripts call: matrices, transformed points and
// boxes, intersections and collisions.
#pragma once

#include "tzx/types.h"

namespace tzx::graphics {

int Matrix2DCommand(lua_State* L);        // Matrix2D
int TransformPointCommand(lua_State* L);  // TransformPoint
int TransformBoxCommand(lua_State* L);    // TransformBox
int Intersection(lua_State* L);
int Collision(lua_State* L);

}  // namespace tzx::graphics
