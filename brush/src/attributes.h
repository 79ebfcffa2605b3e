// The attribute callback that the object sibling calls for brushes.
#pragma once

#include "tzx/types.h"

namespace tzx::brush {

// Pushes one attribute of the brush and returns 1, or returns an error code.
int BrushAttribute(lua_State* L, int attribute, const ObjectId* id);

}  // namespace tzx::brush
