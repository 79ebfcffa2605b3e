// What the libraries call in the "layers" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
//
// A display (the display library's record) has an ordered list of layers,
// the first at the bottom. Each layer has an identifier, a position, a size
// and planes of its own (colour with a mask or an alpha channel), which it is
// drawn through over the display's picture. Slots that change layers redraw
// what they touch at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::graphics {
struct BitmapHandle;
struct CollisionShape;
struct Rect;
}  // namespace tzx::graphics

namespace tzx {

// The entry layers hands back when an object it shows is about to change.
struct LayerEntry {
  int32_t changed;
};
using LayerCloneFn = void* (*)(lua_State* L, void* record, int flag);

// A new layer (slots 37 and 39).
struct LayerRequest {
  int32_t type;     // what is shown: 8 a text object, 9 TextOut, 11 Print, 3 a brush ...
  ObjectId id;      // the layer's identifier; {0, 0}: the next number free above all
  ObjectId source;  // the object shown; {0, 0} for printed text
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  graphics::BitmapHandle* color;  // required
  graphics::BitmapHandle* mask;   // either may be null
  graphics::BitmapHandle* alpha;
  // 0 or beyond the count: on top; 1: at the bottom; n: below the layer
  // that was n-th.
  int32_t insertPos;
};

// One layer's new position (slot 21).
struct LayerMove {
  ObjectId id;
  int32_t x;
  int32_t y;
};

// What display tells layers about a display (slot 2).
enum LayersDisplayChange : int32_t {
  kLayersDisplayGone = 1,   // the record is about to be freed: its layers go
  kLayersBeforeResize = 2,  // the picture is about to be rebuilt: layers lift off it
  // The rebuilt picture (or the old one, when rebuilding failed): layers are
  // drawn onto it again.
  kLayersAfterResize = 3,
};

struct LayersSibling {
  const void* slot0;
  // Slot 1: the layer of a display, or null.
  void* (*findLayer)(void* display, const ObjectId* id);
  // Slot 2: a change of the display's picture (LayersDisplayChange).
  void (*displayChanged)(void* display, int32_t change);
  const void* slot3;
  // Slot 4: the layer's box and shape planes (and its visible area) for a
  // collision.
  int (*layerShape)(lua_State* L, void* layer, graphics::CollisionShape* shape);
  // Slot 5: a layer identifier from argument n; 0 or an error code.
  int (*readLayerId)(lua_State* L, int n, ObjectId* out);
  // Slot 6: reads an insert position field; non-zero when layers are on and
  // it was read.
  int (*readInsertPos)(lua_State* L, int table, const char* key, int32_t* out, int unused);
  const void* slots7to9[3];
  // Slot 10: removes the named layers of the display (names without a layer
  // are passed over); what was under them shows again. 0 or an error code.
  int (*removeLayers)(lua_State* L, void* display, const ObjectId* ids, int count);
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
  const void* slots19to20[2];
  // Slot 21: moves layers of the display; names without a layer are passed
  // over. 0 or an error code.
  int (*moveLayers)(lua_State* L, void* display, const LayerMove* moves, int count);
  // Slot 22: removes every layer of the display (Cls). 0 or an error code.
  int (*clearLayers)(lua_State* L, void* display);
  const void* slots23to36[14];
  // Slot 37: a new layer on the display that takes the request's planes
  // over (they are the caller's again on failure). 0, 1314 when the display
  // has a layer of that identifier, or another error code.
  int (*insertLayer)(lua_State* L, void* display, LayerRequest* request);
  // Slot 38: the box of a layer; non-zero when the display has it.
  int (*layerBox)(void* display, const ObjectId* id, graphics::Rect* out);
  // Slot 39: as slot 37 with copies of the request's planes, which stay the
  // caller's (a text object shown as a layer keeps its own).
  int (*insertLayerCopy)(lua_State* L, void* display, const LayerRequest* request);
};
static_assert(offsetof(LayersSibling, findLayer) == 1 * sizeof(void*));
static_assert(offsetof(LayersSibling, displayChanged) == 2 * sizeof(void*));
static_assert(offsetof(LayersSibling, layerShape) == 4 * sizeof(void*));
static_assert(offsetof(LayersSibling, readInsertPos) == 6 * sizeof(void*));
static_assert(offsetof(LayersSibling, removeLayers) == 10 * sizeof(void*));
static_assert(offsetof(LayersSibling, inUse) == 11 * sizeof(void*));
static_assert(offsetof(LayersSibling, willChange) == 13 * sizeof(void*));
static_assert(offsetof(LayersSibling, layerCount) == 18 * sizeof(void*));
static_assert(offsetof(LayersSibling, moveLayers) == 21 * sizeof(void*));
static_assert(offsetof(LayersSibling, clearLayers) == 22 * sizeof(void*));
static_assert(offsetof(LayersSibling, insertLayer) == 37 * sizeof(void*));
static_assert(offsetof(LayersSibling, layerBox) == 38 * sizeof(void*));
static_assert(offsetof(LayersSibling, insertLayerCopy) == 39 * sizeof(void*));

}  // namespace tzx
