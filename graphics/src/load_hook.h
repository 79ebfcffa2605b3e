// A pending picture load handed to a script-level loader function.
#pragma once

#include "tzx/graphics_images.h"
#include "tzx/types.h"

namespace tzx::graphics {

// Calls the global script function `function` with the request's object type,
// the file name and a table of the request's options; no results. *outFlag is
// cleared when an animation is read from disk under a cache key. 0 or the
// script's error code.
int CallLoadHook(lua_State* L, const char* function, const char* file, const LoadRequest* request,
                 int* outFlag);

}  // namespace tzx::graphics
