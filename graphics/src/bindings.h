// The sibling libraries graphics.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {

// What graphics calls in the sprite library.
struct SpriteSibling {
  const void* slots0to3[4];
  // The shape of the sprite's current frame at its position for a collision.
  int (*spriteShape)(lua_State* L, void* sprite, CollisionShape* shape);  // 4
  const void* slots5to8[4];
  // The sprite of an identifier; 0 or an error code.
  int (*findSprite)(lua_State* L, const ObjectId* id, void** out);  // 9
  int (*rebuild)();                                                 // 10
};

struct BoundSiblings {
  const void* anim = nullptr;
  const void* bgpic = nullptr;
  const void* brush = nullptr;
  const void* clipregion = nullptr;
  const void* display = nullptr;
  const void* filters = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* video = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::graphics
