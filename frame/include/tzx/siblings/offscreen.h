// What the libraries call in the "offscreen" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::graphics {
struct BitmapHandle;
}

namespace tzx {

// "offscreen": drawing into planes that are not a display.
// The planes that become the drawing target; the caller keeps them.
struct OffscreenPlanes {
  ObjectId object;                // the object drawn into (for brushes, the brush)
  int32_t kind;                   // the output kind: 3 colour or pens, 28 mask, 30 alpha channel
  graphics::BitmapHandle* color;  // kind 0, or kind 3 pens with palette
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  int32_t width;
  int32_t height;
  int32_t paletteDepth;  // 0 for true colour
  const uint32_t* palette;
};

using OffscreenDrawFn = int (*)(lua_State* L, void* data);

struct OffscreenSibling {
  // Slot 0: makes the planes the graphics library's current output, runs
  // `draw`, and gives the previous output back; draw's result, or an error
  // code when the output cannot be made.
  int (*redirect)(lua_State* L, const OffscreenPlanes* planes, OffscreenDrawFn draw, void* data);
};

}  // namespace tzx
