// The draw-tag command scripts call.
#pragma once

#include "tzx/types.h"

namespace tzx::graphics {

// SetDrawTagsDefault(table): the tags the table names become the defaults of
// every later parse; a failed call leaves the defaults as they were.
int SetDrawTagsDefault(lua_State* L);

}  // namespace tzx::graphics
