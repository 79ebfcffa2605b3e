// The central draw: finds an object by type, resolves where it goes and draws
// its planes into the current output.
#pragma once

#include "tzx/graphics.h"

namespace tzx::graphics {

// 0 or an error code; every temporary plane is freed on all paths.
int DrawObject(lua_State* L, DrawObjectArgs* args);
// DrawObject of a picture at (x, y) with the draw-tag defaults.
int DrawImageObject(lua_State* L, ImageObject* image, int x, int y);
// Frees the scaled draw's working planes (library close, state reset).
void ReleaseDrawScratch();

}  // namespace tzx::graphics
