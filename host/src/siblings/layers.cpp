// "layers": a small layer engine. Each display (the display library's record)
// has an ordered list of layers, the first at the bottom; a layer has an
// identifier, a position, a size and its own planes (colour with a mask or
// an alpha channel, made and freed through the graphics library).
//
// Layers are drawn straight into the display's picture, and each keeps a
// copy of the pixels it covers. A layer that moves or goes gives them back;
// the layers above it, which were drawn over it, are lifted first (each gives
// back its own copy, top down) and drawn again afterwards (bottom up), so
// that every copy holds exactly what lay under its layer. Drawing into the
// picture under a layer by other means while the layer is shown is not seen
// by its copy: the layer gives back the older pixels when it goes.
#include <algorithm>
#include <cstring>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "../services.h"
#include "sibling.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"
#include "tzx/siblings/layers.h"

namespace tzx::host {
namespace {

using graphics::BitmapHandle;
using graphics::OutputRecord;

const graphics::GraphicsInterface* gGraphics = nullptr;
const display::DisplayInterface* gDisplay = nullptr;

struct Layer {
  Layer* next;  // the layer above
  ObjectId id;
  int32_t type;
  ObjectId source;
  int32_t x, y, width, height;
  BitmapHandle* color;
  BitmapHandle* mask;
  BitmapHandle* alpha;
  // The picture's pixels under the shown part, at (underX, underY); null
  // while the layer is lifted or lies outside the picture.
  BitmapHandle* under;
  int32_t underX, underY;
};

struct Stack {
  Stack* next;
  void* display;
  Layer* first;  // bottom
  int32_t count;
};

Stack* gStacks = nullptr;

template <typename T>
T* Alloc() {
  return static_cast<T*>(kMemory.alloc(sizeof(T), kAllocZero));
}

Stack* StackOf(void* display) {
  for (Stack* s = gStacks; s; s = s->next) {
    if (s->display == display) return s;
  }
  return nullptr;
}

OutputRecord* OutputOf(void* display) {
  if (!gDisplay || !gDisplay->DrawingOutputOf) return nullptr;
  return gDisplay->DrawingOutputOf(static_cast<display::DisplayRecord*>(display));
}

void Changed(OutputRecord* o, int x, int y, int w, int h) {
  if (o->ops && o->ops->changed) o->ops->changed(o, x, y, w, h);
}

// Gives the covered pixels back.
void Lift(OutputRecord* o, Layer* l) {
  if (!l->under) return;
  if (o && o->color) {
    gGraphics->CopyBitmapPixels(l->under, 0, 0, o->color, l->underX, l->underY, l->under->width,
                                l->under->height);
    Changed(o, l->underX, l->underY, l->under->width, l->under->height);
  }
  gGraphics->FreeBitmap(l->under);
  l->under = nullptr;
}

// Palette pictures take the nearest pens of a layer's solid pixels (alpha or
// mask at least half). Layers on palette displays are small and rare: their
// pixels go one by one through the graphics library.
int ShowOnPens(OutputRecord* o, const Layer* l, int x, int y, int w, int h) {
  if (!o->palette) return kErrRange;
  uint32_t last = 0;
  int pen = -1;
  for (int row = 0; row < h; ++row) {
    const int sy = y - l->y + row;
    for (int column = 0; column < w; ++column) {
      const int sx = x - l->x + column;
      const bool solid = l->alpha  ? gGraphics->ReadPixel(l->alpha, sx, sy, 0) >= 128
                         : l->mask ? gGraphics->ReadPixel(l->mask, sx, sy, 0) != 0
                                   : true;
      if (!solid) continue;
      const uint32_t color = gGraphics->ReadPixel(l->color, sx, sy, 0);
      if (pen < 0 || color != last) {
        pen = gGraphics->FindNearestPen(color, o->palette, o->paletteDepth);
        last = color;
      }
      gGraphics->WritePixel(o->color, x + column, y + row, static_cast<uint32_t>(pen), 1);
    }
  }
  return 0;
}

// Keeps the pixels the layer covers and draws it over them.
int Show(OutputRecord* o, Layer* l) {
  if (!o || !o->color) return 0;
  int x = l->x, y = l->y, w = l->width, h = l->height;
  if (!gGraphics->ClipRect(&x, &y, &w, &h, 0, 0, o->width, o->height)) return 0;
  l->under = gGraphics->CopyBitmapRect(o->color, x, y, w, h);
  if (!l->under) return kErrNoMemory;
  l->underX = x;
  l->underY = y;
  const int sx = x - l->x, sy = y - l->y;
  int rc;
  if (o->color->kind == graphics::kKindIndex) {
    rc = ShowOnPens(o, l, x, y, w, h);
  } else if (l->alpha) {
    rc = gGraphics->BlitBitmapAlpha(l->color, l->alpha, sx, sy, o->color, x, y, w, h, 255);
  } else if (l->mask) {
    rc = gGraphics->BlitBitmapMasked(l->color, l->mask, sx, sy, o->color, x, y, w, h);
  } else {
    rc = gGraphics->BlitBitmap(l->color, sx, sy, o->color, x, y, w, h);
  }
  Changed(o, x, y, w, h);
  return rc;
}

void FreeLayer(Layer* l) {
  if (l->under) gGraphics->FreeBitmap(l->under);
  gGraphics->FreeBitmapSet(&l->color, &l->mask, &l->alpha);
  kMemory.free(l);
}

// The layers bottom up.
std::vector<Layer*> Ordered(const Stack* s) {
  std::vector<Layer*> all;
  all.reserve(s->count);
  for (Layer* l = s->first; l; l = l->next) all.push_back(l);
  return all;
}

// Lifts the layers from index `from` up (top first); they are drawn again
// by ShowFrom.
void LiftFrom(OutputRecord* o, const std::vector<Layer*>& all, size_t from) {
  for (size_t i = all.size(); i-- > from;) Lift(o, all[i]);
}

int ShowFrom(OutputRecord* o, Layer* l) {
  int rc = 0;
  for (; l; l = l->next) {
    if (int r = Show(o, l); r && !rc) rc = r;
  }
  return rc;
}

void Relink(Stack* s, const std::vector<Layer*>& all) {
  s->first = nullptr;
  Layer** tail = &s->first;
  for (Layer* l : all) {
    *tail = l;
    tail = &l->next;
  }
  *tail = nullptr;
  s->count = static_cast<int32_t>(all.size());
}

void DropStack(Stack* s) {
  for (Stack** p = &gStacks; *p; p = &(*p)->next) {
    if (*p == s) {
      *p = s->next;
      break;
    }
  }
  kMemory.free(s);
}

Layer* FindIn(const Stack* s, const ObjectId& id) {
  if (!s) return nullptr;
  for (Layer* l = s->first; l; l = l->next) {
    if (l->id == id) return l;
  }
  return nullptr;
}

// Slot 1.
void* FindLayer(void* display, const ObjectId* id) {
  return FindIn(StackOf(display), *id);
}

// Slot 2.
void DisplayChanged(void* display, int32_t change) {
  Stack* s = StackOf(display);
  if (!s || !gGraphics) return;
  OutputRecord* o = OutputOf(display);
  switch (change) {
    case kLayersDisplayGone:
      // The picture goes with the record: nothing to give back.
      for (Layer* l = s->first; l;) {
        Layer* next = l->next;
        FreeLayer(l);
        l = next;
      }
      DropStack(s);
      return;
    case kLayersBeforeResize:
      LiftFrom(o, Ordered(s), 0);
      return;
    case kLayersAfterResize:
      ShowFrom(o, s->first);
      return;
    default:
      return;
  }
}

// Slot 4.
int LayerShape(lua_State*, void* layer, graphics::CollisionShape* shape) {
  auto* l = static_cast<Layer*>(layer);
  *shape = graphics::CollisionShape{};
  shape->x = l->x;
  shape->y = l->y;
  shape->width = l->width;
  shape->height = l->height;
  shape->mask = l->mask;
  shape->alpha = l->alpha;
  shape->transparentPen = -1;
  return 0;
}

// Slot 5: a number, or an automatic identifier.
int ReadLayerId(lua_State* L, int n, ObjectId* out) {
  if (lua_type(L, n) == LUA_TNUMBER) {
    *out = ObjectId{static_cast<int32_t>(lua_tonumber(L, n)), nullptr};
    return 0;
  }
  if (lua_type(L, n) == LUA_TLIGHTUSERDATA) {
    *out = ObjectId{0, lua_touserdata(L, n)};
    return 0;
  }
  return kErrRange;
}

// Slot 6: only outputs that make layers take an insert position.
int ReadInsertPos(lua_State* L, int table, const char* key, int32_t* out, int) {
  OutputRecord* o = gGraphics ? *gGraphics->currentOutput : nullptr;
  if (!o || !o->layers || lua_type(L, table) != LUA_TTABLE) return 0;
  lua_getfield(L, table, key);
  const bool given = lua_type(L, -1) == LUA_TNUMBER;
  if (given) *out = static_cast<int32_t>(lua_tonumber(L, -1));
  lua_pop(L, 1);
  return given;
}

// Slot 10.
int RemoveLayers(lua_State*, void* display, const ObjectId* ids, int count) {
  Stack* s = StackOf(display);
  if (!s) return 0;
  std::vector<Layer*> all = Ordered(s);
  auto named = [&](const Layer* l) {
    for (int i = 0; i < count; ++i) {
      if (l->id == ids[i]) return true;
    }
    return false;
  };
  auto lowest = std::find_if(all.begin(), all.end(), named);
  if (lowest == all.end()) return 0;
  const size_t from = lowest - all.begin();
  OutputRecord* o = OutputOf(display);
  LiftFrom(o, all, from);
  std::vector<Layer*> kept;
  kept.reserve(all.size());
  for (Layer* l : all) {
    if (named(l)) {
      FreeLayer(l);
    } else {
      kept.push_back(l);
    }
  }
  Relink(s, kept);
  const int rc = from < kept.size() ? ShowFrom(o, kept[from]) : 0;
  if (kept.empty()) DropStack(s);
  return rc;
}

// Slot 11.
int InUse(int32_t type, const ObjectId* id, int, int, int) {
  for (Stack* s = gStacks; s; s = s->next) {
    for (Layer* l = s->first; l; l = l->next) {
      if (l->type == type && l->source == *id) return 1;
    }
  }
  return 0;
}

// Slot 12: a layer draws from planes of its own and needs no object.
int Keeps(int32_t, const ObjectId*, void*) {
  return 0;
}

// Slot 13: for the same reason a change of the object leaves layers as they are.
int WillChange(lua_State*, int32_t, const ObjectId*, LayerCloneFn, void*, LayerEntry** entry) {
  if (entry) *entry = nullptr;
  return 0;
}

// Slot 18.
int LayerCount(void* display) {
  const Stack* s = StackOf(display);
  return s ? s->count : 0;
}

// Slot 21.
int MoveLayers(lua_State*, void* display, const LayerMove* moves, int count) {
  Stack* s = StackOf(display);
  if (!s) return 0;
  std::vector<Layer*> all = Ordered(s);
  size_t from = all.size();
  for (int i = 0; i < count; ++i) {
    for (size_t k = 0; k < from; ++k) {
      if (all[k]->id == moves[i].id) from = k;
    }
  }
  if (from == all.size()) return 0;
  OutputRecord* o = OutputOf(display);
  LiftFrom(o, all, from);
  for (int i = 0; i < count; ++i) {
    if (Layer* l = FindIn(s, moves[i].id)) {
      l->x = moves[i].x;
      l->y = moves[i].y;
    }
  }
  return ShowFrom(o, all[from]);
}

// Slot 22.
int ClearLayers(lua_State*, void* display) {
  Stack* s = StackOf(display);
  if (!s) return 0;
  std::vector<Layer*> all = Ordered(s);
  LiftFrom(OutputOf(display), all, 0);
  for (Layer* l : all) FreeLayer(l);
  DropStack(s);
  return 0;
}

// Links a new layer at the request's place and draws it. *linked tells
// whether the display has it now (drawing may fail after that).
int Insert(void* display, Layer* l, int32_t insertPos, bool* linked) {
  *linked = false;
  Stack* s = StackOf(display);
  if (l->id == ObjectId{}) {
    // Unnamed layers are numbered after the highest number the display has.
    int32_t highest = 0;
    for (Layer* k = s ? s->first : nullptr; k; k = k->next) {
      if (!k->id.pointer && k->id.number > highest) highest = k->id.number;
    }
    l->id.number = highest + 1;
  }
  if (FindIn(s, l->id)) return kErrObjectBusy;
  if (!s) {
    if (!(s = Alloc<Stack>())) return kErrNoMemory;
    s->display = display;
    s->next = gStacks;
    gStacks = s;
  }
  std::vector<Layer*> all = Ordered(s);
  const size_t at =
      insertPos >= 1 && insertPos <= s->count ? static_cast<size_t>(insertPos - 1) : all.size();
  OutputRecord* o = OutputOf(display);
  LiftFrom(o, all, at);
  all.insert(all.begin() + static_cast<ptrdiff_t>(at), l);
  Relink(s, all);
  *linked = true;
  return ShowFrom(o, l);
}

int GraphicsAbsent() {
  kErrorReporting.setErrorString("graphics");
  return kErrSiblingAbsent;
}

Layer* NewLayer(const LayerRequest& r) {
  auto* l = Alloc<Layer>();
  if (!l) return nullptr;
  l->id = r.id;
  l->type = r.type;
  l->source = r.source;
  l->x = r.x;
  l->y = r.y;
  l->width = r.width;
  l->height = r.height;
  return l;
}

bool Valid(const LayerRequest& r) {
  return r.color && r.width > 0 && r.height > 0 && r.color->width >= r.width &&
         r.color->height >= r.height;
}

// Slot 37.
int InsertLayer(lua_State*, void* display, LayerRequest* r) {
  if (!gGraphics) return GraphicsAbsent();
  if (!Valid(*r)) return kErrRange;
  Layer* l = NewLayer(*r);
  if (!l) return kErrNoMemory;
  l->color = r->color;
  l->mask = r->mask;
  l->alpha = r->alpha;
  bool linked;
  const int rc = Insert(display, l, r->insertPos, &linked);
  if (!linked) {
    kMemory.free(l);
    return rc;
  }
  r->color = r->mask = r->alpha = nullptr;
  return rc;
}

// Slot 38.
int LayerBox(void* display, const ObjectId* id, graphics::Rect* out) {
  const Layer* l = FindIn(StackOf(display), *id);
  if (!l) return 0;
  *out = graphics::Rect{l->x, l->y, l->width, l->height};
  return 1;
}

// Slot 39.
int InsertLayerCopy(lua_State* L, void* display, const LayerRequest* r) {
  if (!gGraphics) return GraphicsAbsent();
  if (!Valid(*r)) return kErrRange;
  LayerRequest copy = *r;
  copy.color = gGraphics->CopyBitmapRect(r->color, 0, 0, r->width, r->height);
  copy.mask = r->mask ? gGraphics->CopyBitmapRect(r->mask, 0, 0, r->width, r->height) : nullptr;
  copy.alpha = r->alpha ? gGraphics->CopyBitmapRect(r->alpha, 0, 0, r->width, r->height) : nullptr;
  int rc = 0;
  if (!copy.color || (r->mask && !copy.mask) || (r->alpha && !copy.alpha)) {
    rc = kErrNoMemory;
  } else {
    rc = InsertLayer(L, display, &copy);
  }
  gGraphics->FreeBitmapSet(&copy.color, &copy.mask, &copy.alpha);
  return rc;
}

const LayersSibling kInterface = {
    .slot0 = nullptr,
    .findLayer = FindLayer,
    .displayChanged = DisplayChanged,
    .slot3 = nullptr,
    .layerShape = LayerShape,
    .readLayerId = ReadLayerId,
    .readInsertPos = ReadInsertPos,
    .slots7to9 = {},
    .removeLayers = RemoveLayers,
    .inUse = InUse,
    .keeps = Keeps,
    .willChange = WillChange,
    .slots14to17 = {},
    .layerCount = LayerCount,
    .slots19to20 = {},
    .moveLayers = MoveLayers,
    .clearLayers = ClearLayers,
    .slots23to36 = {},
    .insertLayer = InsertLayer,
    .layerBox = LayerBox,
    .insertLayerCopy = InsertLayerCopy,
};
const void* Interface() {
  return &kInterface;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "graphics") == 0) {
    gGraphics = static_cast<const graphics::GraphicsInterface*>(interface);
  } else if (std::strcmp(library, "display") == 0) {
    gDisplay = static_cast<const display::DisplayInterface*>(interface);
  }
}

// The display library gives every display's layers back when it frees its
// records; what a host without it left is freed here. The graphics library
// is closed but still loaded, and frees through the host's memory.
void Reset(lua_State*) {
  while (gStacks) {
    Stack* s = gStacks;
    for (Layer* l = s->first; l;) {
      Layer* next = l->next;
      if (gGraphics) FreeLayer(l);
      l = next;
    }
    DropStack(s);
  }
  gGraphics = nullptr;
  gDisplay = nullptr;
}

}  // namespace

const HostSibling kLayersSibling = {"layers", Interface, nullptr, Reset, Bind};

}  // namespace tzx::host
