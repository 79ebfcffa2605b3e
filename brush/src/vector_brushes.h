// Vector brushes: pictures that a script function draws on demand, at any
// size and transformation, into planes that the offscreen sibling makes the
// drawing target while the function runs.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

// Makes the brush of `brush` (whose kind is vector) with its first rendering.
// Takes over brush->palette and the two registry references in `args`.
int CreateVectorBrush(lua_State* L, const BrushCoreArgs& args, NewBrush* brush, BrushRecord** out);

// Drops registry references that are set (-1 means none).
void ReleaseCallbackRefs(lua_State* L, int callbackRef, int userdataRef);

}  // namespace tzx::brush
