#include "copy.h"

#include <cstring>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::brush {

int CopyPlanes(const BrushRecord& s, bool keepVector, NewBrush* n) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  *n = NewBrush{};
  n->kind = kKindRaster;
  n->width = s.width;
  n->height = s.height;
  n->rowWidth = s.rowWidth;
  n->depth = s.depth;
  n->transparentPen = s.transparentPen;
  n->displayId = s.displayId;
  n->cycles = s.cycles;
  n->cycleCount = s.cycleCount;
  n->format = s.format;
  if (s.bitmap || s.chunky) {
    if (int rc = g.CropBitmapSet(s.bitmap, s.mask, s.alpha, s.chunky, s.palette, 0, 0, 0, 0,
                                 &n->bitmap, &n->mask, &n->alpha, &n->chunky, &n->palette)) {
      return rc;
    }
  }
  // A picture is shared, never copied: vector pictures draw through their
  // creator, raster pictures are only read.
  bool vector = s.kind == kKindVector && keepVector;
  if (s.imageObject && (vector || (!s.bitmap && !s.chunky))) {
    n->imageObject = g.RetainImageObject(s.imageObject);
    if (vector) {
      n->kind = kKindVector;
      n->transformed = s.transformed;
    }
  }
  return 0;
}

void FreeNewBrush(NewBrush* n) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  g.FreeBitmapSet(&n->bitmap, &n->mask, &n->alpha);
  g.FreeBitmapSet(&n->chunky, nullptr, nullptr);
  HostFree(n->palette);
  n->palette = nullptr;
  g.ReleaseImageObject(n->imageObject);
  n->imageObject = nullptr;
}

namespace {

void CopyFields(const BrushRecord& s, BrushRecord* b) {
  b->loader = s.loader;
  b->sourceX = s.sourceX;
  b->sourceY = s.sourceY;
  b->sourceWidth = s.sourceWidth;
  b->sourceHeight = s.sourceHeight;
}

// The object sibling's data of the source, duplicated for the copy.
int DuplicateObjectData(lua_State* L, const BrushRecord& s, BrushRecord* b) {
  const ObjectSibling* object = gBound.object;
  if (!object || !s.header.objectData) return 0;
  return object->duplicate(L, s.header.objectData, &b->header.objectData);
}

}  // namespace

int CopyBrushTo(lua_State* L, const BrushRecord& source, const ObjectId& id, bool keepVector,
                BrushRecord** out) {
  NewBrush n;
  if (int rc = CopyPlanes(source, keepVector, &n)) return rc;
  n.id = id;
  int rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (!rc) rc = AddBrushRecord(&n, &b);
  if (rc) {
    FreeNewBrush(&n);
    return rc;
  }
  CopyFields(source, b);
  if (int rc2 = DuplicateObjectData(L, source, b)) {
    UnlinkObject(&gBrushList, &b->header);
    FreeBrushRecord(L, b);
    return rc2;
  }
  if (out) *out = b;
  return 0;
}

void MakeHardware(BrushRecord* b, void* displayKey) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (!b->bitmap || !(g.AdapterBitmapFlags(graphics::kAllocVideo) & graphics::kAllocVideo)) return;
  BitmapHandle* video = g.AllocBitmap(b->width, b->height, graphics::kAllocVideo, nullptr);
  if (!video || !g.GetBitmapAttr(video, graphics::kAttrVideo) ||
      g.BlitBitmap(b->bitmap, 0, 0, video, 0, 0, b->width, b->height) != 0) {
    if (video) g.FreeBitmap(video);
    return;
  }
  g.FreeBitmap(b->bitmap);
  b->bitmap = video;
  b->hardware = 1;
  b->displayKey = displayKey;
  b->hwFlags = (b->mask ? kHwHasMask : 0) | (b->alpha ? kHwHasAlpha : 0);
}

BrushRecord* CloneBrushForLayer(lua_State* L, BrushRecord* brush, int) {
  // The copy lives in the list as a detached brush, so that
  // PurgeDetachedBrushes frees it once no layer shows it any more.
  BrushRecord* copy = nullptr;
  if (CopyBrushTo(L, *brush, ObjectId{0, reinterpret_cast<void*>(1)}, true, &copy) != 0) {
    return nullptr;
  }
  copy->detached = 1;
  return copy;
}

}  // namespace tzx::brush
