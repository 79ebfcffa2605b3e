// What the libraries call in the "sprite" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

#include "tzx/types.h"

namespace tzx::graphics {
struct CollisionShape;
}

namespace tzx {

struct SpriteSibling {
  const void* slots0to3[4];
  // Slot 4: the shape of the sprite's current frame at its position for a
  // collision.
  int (*spriteShape)(lua_State* L, void* sprite, graphics::CollisionShape* shape);
  const void* slots5to8[4];
  // Slot 9: the sprite of an identifier; 0 or an error code.
  int (*findSprite)(lua_State* L, const ObjectId* id, void** out);
  // Slot 10: the per-display step after the graphics back end changed.
  int (*rebuild)();
};
static_assert(offsetof(SpriteSibling, spriteShape) == 4 * sizeof(void*));
static_assert(offsetof(SpriteSibling, rebuild) == 10 * sizeof(void*));

}  // namespace tzx
