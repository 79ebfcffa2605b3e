#include "brush_records.h"

#include <cstring>

#include "bindings.h"
#include "copy.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "tzx/pins.h"
#include "vector_brushes.h"

namespace tzx::brush {

ObjectHeader* gBrushList = nullptr;

namespace {

void* CloneForLayer(lua_State* L, void* record, int flag) {
  return CloneBrushForLayer(L, static_cast<BrushRecord*>(record), flag);
}

// Layers that show the brush take their own copy before it changes.
int TellLayers(lua_State* L, const ObjectId* id, BrushRecord* b) {
  const LayersSibling* layers = gBound.layers;
  if (!layers || !layers->willChange) return 0;
  LayerEntry* entry = nullptr;
  if (int rc = layers->willChange(L, kTypeBrush, id, CloneForLayer, b, &entry)) return rc;
  if (entry) entry->changed = 1;
  return 0;
}

}  // namespace

int FindBrush(lua_State* L, const ObjectId* id, BrushRecord** out, unsigned access) {
  for (BrushRecord* b = FirstBrush(); b; b = NextBrush(b)) {
    if (!(b->header.id == *id)) continue;
    // A detached brush is gone for the script, whatever else it is.
    if (b->detached && !(access & kAccessDetached)) continue;
    if ((access & kAccessNoVector) && b->kind == kKindVector) return kErrNotAllowed;
    if ((access & kAccessNoPalette) && b->chunky) return kErrPaletteBrush;
    if (!(access & kAccessHardware) && b->hardware) return kErrHardwareBrush;
    if (access & kAccessModify) {
      if (b->busy) return kErrObjectBusy;
      if (!(access & kAccessNoLayerCopy)) {
        if (int rc = TellLayers(L, id, b)) return rc;
      }
    }
    *out = b;
    return 0;
  }
  return ObjectNotFound(*id, kErrUnknownBrush);
}

int PinBrush(lua_State* L, BrushRecord* b) {
  return PinForCommand(L, &b->busy);
}

int TargetGuard(const ObjectId& id) {
  const graphics::OutputRecord* output = *gBound.graphics->currentOutput;
  if (!output) return 0;
  bool brushPlane = output->kind == graphics::kOutputBrush ||
                    output->kind == graphics::kOutputMask || output->kind == graphics::kOutputAlpha;
  return brushPlane && output->object == id ? kErrBrushIsOutput : 0;
}

int FindBrushToChange(lua_State* L, const ObjectId& id, unsigned access, BrushRecord** out) {
  if (int rc = TargetGuard(id)) return rc;
  return FindBrush(L, &id, out, access);
}

int AddBrushRecord(const NewBrush* n, BrushRecord** out) {
  auto* b = AllocRecord<BrushRecord>();
  if (!b) return kErrNoMemory;
  if (n->cycleCount > 0 && n->cycles) {
    size_t bytes = static_cast<size_t>(n->cycleCount) * kCycleBytes;
    b->cycles = static_cast<uint8_t*>(HostAlloc(bytes, false));
    if (!b->cycles) {
      HostFree(b);
      return kErrNoMemory;
    }
    std::memcpy(b->cycles, n->cycles, bytes);
    b->cycleCount = n->cycleCount;
  }
  AssignObjectId(&b->header, kTypeBrush, n->id);
  b->imageObject = n->imageObject;
  b->bitmap = n->bitmap;
  b->mask = n->mask;
  b->alpha = n->alpha;
  b->chunky = n->chunky;
  b->palette = n->palette;
  b->width = n->width;
  b->height = n->height;
  b->rowWidth = n->rowWidth;
  b->depth = n->depth;
  b->transparentPen = n->transparentPen;
  b->transformed = n->transformed;
  b->kind = n->kind;
  b->sourceWidth = n->width;
  b->sourceHeight = n->height;
  b->displayId = n->displayId;
  if (n->format) Host().runtime->strlcpy(b->format, sizeof b->format, n->format);
  AppendObject(&gBrushList, &b->header);
  if (out) *out = b;
  return 0;
}

void FreeBrushRecord(lua_State* L, BrushRecord* b) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  g.FreeBitmapSet(&b->bitmap, &b->mask, &b->alpha);
  g.FreeBitmapSet(&b->chunky, &b->paletteView, nullptr);
  HostFree(b->palette);
  g.ReleaseImageObject(b->imageObject);
  HostFree(b->swapCopy);
  HostFree(b->cycles);
  ForgetAndFree(L, &b->header);
}

int FreeBrushById(lua_State* L, const ObjectId* id, int strict) {
  if (int rc = TargetGuard(*id)) return rc;
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, id, &b, kFindFree)) {
    return strict || rc == kErrObjectBusy ? rc : 0;
  }
  if (const LayersSibling* layers = gBound.layers; layers && layers->keeps) {
    if (layers->keeps(kTypeBrush, id, b)) {
      b->header.id = ObjectId{0, b};
      b->detached = 1;
      return 0;
    }
  }
  UnlinkObject(&gBrushList, &b->header);
  FreeBrushRecord(L, b);
  return 0;
}

int FreeBrushForReuse(lua_State* L, const ObjectId& id) {
  if (id.pointer) return 0;  // a new automatic identifier replaces nothing
  return FreeBrushById(L, &id, 0);
}

void FreeAllBrushes(lua_State* L) {
  while (BrushRecord* b = FirstBrush()) {
    UnlinkObject(&gBrushList, &b->header);
    FreeBrushRecord(L, b);
  }
}

void PurgeDetachedBrushes(lua_State* L) {
  const LayersSibling* layers = gBound.layers;
  BrushRecord* b = FirstBrush();
  while (b) {
    BrushRecord* next = NextBrush(b);
    if (b->detached &&
        !(layers && layers->inUse && layers->inUse(kTypeBrush, &b->header.id, 0, 0, 0))) {
      UnlinkObject(&gBrushList, &b->header);
      FreeBrushRecord(L, b);
    }
    b = next;
  }
}

int DisplayKeyFor(const ObjectId* display, void** key) {
  *key = nullptr;
  const display::DisplayInterface* d = gBound.display;
  if (!d) return ErrorWithString(kErrSiblingAbsent, "display");
  if (!d->GetDisplayKey) return 0;
  const ObjectId current{};
  display::DisplayRecord* record = nullptr;
  const int rc = d->GetDisplayKey(display ? display : &current, &record);
  *key = record;
  return rc;
}

void UpdateTrueColorDepth(BrushRecord* b) {
  if (!IsPaletteBrush(b)) b->depth = b->mask || b->alpha ? 32 : 24;
}

void FreePlanes(Planes* p) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  g.FreeBitmapSet(&p->bitmap, &p->mask, &p->alpha);
  g.FreeBitmapSet(&p->chunky, nullptr, nullptr);
}

int MakePlanes(int width, int height, uint32_t color, int depth, int mask, int alpha, int clear,
               int noFill, uint32_t allocFlags, Planes* out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  *out = Planes{};
  if (depth >= 1 && depth <= 8) {
    // Pens: cleared for pen 0, else filled with the pen.
    out->chunky = g.AllocIndexBitmap(width, height, color == 0);
    if (!out->chunky) return kErrAllocIndexBitmap;
    if (color != 0) g.FillBitmapRect(out->chunky, 0, 0, width, height, color & 0xFF);
    return 0;
  }
  int rc = 0;
  out->bitmap = g.AllocBitmap(width, height, allocFlags, nullptr);
  if (!out->bitmap) {
    rc = kErrAllocBitmap;
  } else if (!noFill) {
    rc = g.FillBitmapRect(out->bitmap, 0, 0, width, height, color);
  }
  if (!rc && mask) {
    out->mask = g.AllocMask(nullptr, width, height, 0, nullptr, 0);
    if (!out->mask) {
      rc = kErrAllocMask;
    } else if (!clear) {
      rc = g.FillBitmapRect(out->mask, 0, 0, width, height, 1);
    }
  }
  if (!rc && alpha) {
    out->alpha = g.AllocAlpha(width, height, 0, nullptr, 0);
    if (!out->alpha) {
      rc = kErrAllocAlpha;
    } else if (!clear) {
      rc = g.FillBitmapRect(out->alpha, 0, 0, width, height, 255);
    }
  }
  if (rc) FreePlanes(out);
  return rc;
}

int CreateBrushCore(lua_State* L, const BrushCoreArgs* a, BrushRecord** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  const bool vector = a->callbackRef != kNoRef;
  int depth = a->depth;
  if (depth == 0) depth = a->alpha || a->mask ? 32 : 24;
  const bool pens = depth >= 1 && depth <= 8;
  // Hardware bitmaps only where the back end offers them; elsewhere the
  // brush is an ordinary one.
  const bool hardware =
      a->hardware && !pens && (g.AdapterBitmapFlags(graphics::kAllocVideo) & graphics::kAllocVideo);
  uint32_t* palette = nullptr;
  if (pens) {
    palette = static_cast<uint32_t*>(HostAlloc(kPaletteBytes));
    if (!palette) {
      ReleaseCallbackRefs(L, a->callbackRef, a->userdataRef);
      return kErrNoMemory;
    }
    if (a->palette) std::memcpy(palette, a->palette, kPaletteBytes);
  }
  NewBrush n{};
  n.id = a->id;
  n.kind = vector ? kKindVector : kKindRaster;
  n.width = a->width;
  n.height = a->height;
  n.rowWidth = a->width;
  n.depth = depth;
  n.palette = palette;
  n.transparentPen = a->transparentPen;
  n.displayId = a->displayId;
  n.cycles = a->cycles;
  n.cycleCount = a->cycleCount;

  if (vector) return CreateVectorBrush(L, *a, &n, out);

  Planes planes;
  if (int rc = MakePlanes(a->width, a->height, a->color, depth, a->mask, a->alpha, a->clear,
                          a->noFill, hardware ? graphics::kAllocVideo : 0, &planes)) {
    HostFree(palette);
    return rc;
  }
  if (planes.mask) n.transparentPen = kMaskWithoutKey;
  n.bitmap = planes.bitmap;
  n.mask = planes.mask;
  n.alpha = planes.alpha;
  n.chunky = planes.chunky;
  BrushRecord* b = nullptr;
  if (int rc = AddBrushRecord(&n, &b)) {
    FreePlanes(&planes);
    HostFree(palette);
    return rc;
  }
  if (b->bitmap && g.GetBitmapAttr(b->bitmap, graphics::kAttrVideo)) {
    b->hardware = 1;
    b->displayKey = a->displayKey;
    b->hwFlags = (a->mask ? kHwHasMask : 0) | (a->alpha ? kHwHasAlpha : 0);
  }
  if (out) *out = b;
  return 0;
}

}  // namespace tzx::brush
