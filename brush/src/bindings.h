// The sibling libraries brush.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::brush {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* animio = nullptr;
  const void* bgpic = nullptr;
  const void* display = nullptr;
  const void* filters = nullptr;
  const void* graphics = nullptr;
  const void* icon = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* object = nullptr;
  const void* offscreen = nullptr;
  const void* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* vectorpath = nullptr;
};

extern BoundSiblings gBound;

// graphics is bound whenever the library runs: start-up refuses without it.
inline const graphics::GraphicsInterface& Gfx() {
  return *static_cast<const graphics::GraphicsInterface*>(gBound.graphics);
}

// The slots of display that brush calls.
struct DisplaySlots {
  const void* slots0to9[10];
  // Slot 10: the key of the display (an empty id: the current one) when the
  // back end binds hardware bitmaps to displays, else null; 0 or an error.
  int (*GetDisplayKey)(const ObjectId* display, void** out);
};
static_assert(offsetof(DisplaySlots, GetDisplayKey) == 10 * sizeof(void*));

// The entry layers hands back when a brush it shows is about to change.
struct LayerEntry {
  int32_t changed;
};
using LayerCloneFn = void* (*)(lua_State* L, void* record, int flag);

// The slots of layers that brush calls.
struct LayersSlots {
  const void* slots0to10[11];
  // Slot 11: non-zero while a layer shows the object.
  int (*InUse)(int32_t type, const ObjectId* id, int, int, int);
  // Slot 12: non-zero when a layer keeps the object, which is then detached
  // instead of freed.
  int (*Keeps)(int32_t type, const ObjectId* id, void* record);
  // Slot 13: the object is about to change: the layer takes a copy through
  // `clone`; 0 or an error code.
  int (*WillChange)(lua_State* L, int32_t type, const ObjectId* id, LayerCloneFn clone,
                    void* record, LayerEntry** entry);
};
static_assert(offsetof(LayersSlots, InUse) == 11 * sizeof(void*));
static_assert(offsetof(LayersSlots, WillChange) == 13 * sizeof(void*));

inline const ObjectSibling* ObjectLib() {
  return static_cast<const ObjectSibling*>(gBound.object);
}
inline const ImageIoSibling* ImageIoLib() {
  return static_cast<const ImageIoSibling*>(gBound.imageio);
}
inline const PaletteSibling* PaletteLib() {
  return static_cast<const PaletteSibling*>(gBound.palette);
}
inline const OffscreenSibling* OffscreenLib() {
  return static_cast<const OffscreenSibling*>(gBound.offscreen);
}
inline const DisplaySlots* DisplayLib() {
  return static_cast<const DisplaySlots*>(gBound.display);
}
inline const LayersSlots* LayersLib() {
  return static_cast<const LayersSlots*>(gBound.layers);
}

}  // namespace tzx::brush
