// What the libraries call in the "layers" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::graphics {
struct CollisionShape;
}

namespace tzx {

// The entry layers hands back when an object it shows is about to change.
struct LayerEntry {
  int32_t changed;
};
using LayerCloneFn = void* (*)(lua_State* L, void* record, int flag);

struct LayersSibling {
  const void* slot0;
  // Slot 1: the layer of a display (the display library's record), or null.
  void* (*findLayer)(void* display, const ObjectId* id);
  const void* slots2to3[2];
  // Slot 4: the layer's box and shape planes (and its visible area) for a
  // collision.
  int (*layerShape)(lua_State* L, void* layer, graphics::CollisionShape* shape);
  // Slot 5: a layer identifier from argument n; 0 or an error code.
  int (*readLayerId)(lua_State* L, int n, ObjectId* out);
  // Slot 6: reads an insert position field; non-zero when layers are on and
  // it was read.
  int (*readInsertPos)(lua_State* L, int table, const char* key, int32_t* out, int unused);
  const void* slots7to10[4];
  // Slot 11: non-zero while a layer shows the object.
  int (*inUse)(int32_t type, const ObjectId* id, int, int, int);
  // Slot 12: non-zero when a layer keeps the object, which is then detached
  // instead of freed.
  int (*keeps)(int32_t type, const ObjectId* id, void* record);
  // Slot 13: the object is about to change: the layer takes a copy through
  // `clone`; 0 or an error code.
  int (*willChange)(lua_State* L, int32_t type, const ObjectId* id, LayerCloneFn clone,
                    void* record, LayerEntry** entry);
  const void* slots14to17[4];
  // Slot 18: the number of layers of a display.
  int (*layerCount)(void* display);
};
static_assert(offsetof(LayersSibling, layerShape) == 4 * sizeof(void*));
static_assert(offsetof(LayersSibling, readInsertPos) == 6 * sizeof(void*));
static_assert(offsetof(LayersSibling, inUse) == 11 * sizeof(void*));
static_assert(offsetof(LayersSibling, willChange) == 13 * sizeof(void*));
static_assert(offsetof(LayersSibling, layerCount) == 18 * sizeof(void*));

}  // namespace tzx
