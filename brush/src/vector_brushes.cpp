#include "vector_brushes.h"

#include <cstring>

#include "bindings.h"
#include "palettes.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::brush {

namespace {

// Image object type of vector brushes.
constexpr int kVectorImageType = 4;
const double kIdentity[4] = {1, 0, 0, 1};

// Everything a later rendering needs; owned by the brush's image object.
struct VectorCallback {
  lua_State* L;
  int32_t callbackRef;
  int32_t userdataRef;
  int32_t mask;
  int32_t alpha;
  int32_t clear;
  int32_t depth;
  uint32_t color;
  int32_t transparentPen;
  uint32_t palette[kPaletteEntries];
  ObjectId id;
  ImageObject* image;
  int32_t rendering;  // guards against a script function that draws its own brush
};

struct DrawCall {
  VectorCallback* callback;
  int width;
  int height;
  const double* matrix;
};

// Calls the script function with its table while the planes are the output.
int CallScript(lua_State* L, void* data) {
  const DrawCall& c = *static_cast<DrawCall*>(data);
  const VectorCallback& cb = *c.callback;
  const LuaApi& lua = Lua();
  const ArgumentServices& args = Args();
  lua.rawgeti(L, kRegistryIndex, cb.callbackRef);
  lua.newtable(L);
  args.setStringField(L, "action", "Draw");
  args.setObjectIdField(L, "id", cb.id);
  args.setIntField(L, "width", c.width);
  args.setIntField(L, "height", c.height);
  args.setNumberField(L, "sx", c.matrix[0]);
  args.setNumberField(L, "rx", c.matrix[1]);
  args.setNumberField(L, "ry", c.matrix[2]);
  args.setNumberField(L, "sy", c.matrix[3]);
  if (cb.userdataRef != kNoRef) {
    lua.pushstring(L, "userdata");
    lua.rawgeti(L, kRegistryIndex, cb.userdataRef);
    lua.settable(L, -3);
  }
  const ThreadServices& threads = *Host().ext->threads;
  threads.enterCallback(L, 3, 1);
  int rc = lua.callScript(L, 1, 0);
  threads.leaveCallback(L, 0, 0);
  return rc;
}

// New planes of the size with the script's drawing in them.
int Render(VectorCallback* cb, int width, int height, const double matrix[4], Planes* out) {
  if (cb->rendering) return kErrObjectBusy;
  const OffscreenSibling* offscreen = gBound.offscreen;
  if (!offscreen) return ErrorWithString(kErrSiblingAbsent, "offscreen");
  Planes p;
  if (int rc = MakePlanes(width, height, cb->color, cb->depth, cb->mask, cb->alpha, cb->clear, 0, 0,
                          &p)) {
    return rc;
  }
  const bool pens = p.chunky != nullptr;
  OffscreenPlanes target{
      cb->id, graphics::kOutputBrush, pens ? p.chunky : p.bitmap,  p.mask, p.alpha, width,
      height, pens ? cb->depth : 0,   pens ? cb->palette : nullptr};
  DrawCall call{cb, width, height, matrix};
  const graphics::GraphicsInterface& g = *gBound.graphics;
  // The script may free the brush while it draws; the picture stays alive
  // until the call is over.
  ImageObject* keep = g.RetainImageObject(cb->image);
  lua_State* L = cb->L;
  cb->rendering = 1;
  int rc = offscreen->redirect(L, &target, CallScript, &call);
  cb->rendering = 0;
  g.ReleaseImageObject(keep);  // may free the callback record
  if (rc) {
    FreePlanes(&p);
    return rc;
  }
  *out = p;
  return 0;
}

// The image object's drawing function: graphics asks for planes at a size.
int DrawPicture(void* data, int width, int height, const double matrix[4], BitmapHandle** color,
                BitmapHandle** mask, BitmapHandle** alpha) {
  auto* cb = static_cast<VectorCallback*>(data);
  const int transparentPen = cb->transparentPen;
  uint32_t palette[kPaletteEntries];
  std::memcpy(palette, cb->palette, sizeof palette);
  Planes p;
  if (int rc = Render(cb, width, height, matrix ? matrix : kIdentity, &p)) return rc;
  if (p.chunky) {
    int rc = PensToTrueColor(p.chunky, palette, transparentPen, &p.bitmap, &p.mask);
    gBound.graphics->FreeBitmapSet(&p.chunky, nullptr, nullptr);
    if (rc) return rc;
  }
  *color = p.bitmap;
  p.bitmap = nullptr;
  if (mask) {
    *mask = p.mask;
    p.mask = nullptr;
  }
  if (alpha) {
    *alpha = p.alpha;
    p.alpha = nullptr;
  }
  FreePlanes(&p);
  return 0;
}

void FreeCallback(void* data) {
  auto* cb = static_cast<VectorCallback*>(data);
  ReleaseCallbackRefs(cb->L, cb->callbackRef, cb->userdataRef);
  HostFree(cb);
}

}  // namespace

void ReleaseCallbackRefs(lua_State* L, int callbackRef, int userdataRef) {
  if (callbackRef != kNoRef) Lua().unref(L, kRegistryIndex, callbackRef);
  if (userdataRef != kNoRef) Lua().unref(L, kRegistryIndex, userdataRef);
}

int CreateVectorBrush(lua_State* L, const BrushCoreArgs& a, NewBrush* n, BrushRecord** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  auto* cb = AllocRecord<VectorCallback>();
  if (!cb) {
    ReleaseCallbackRefs(L, a.callbackRef, a.userdataRef);
    HostFree(n->palette);
    return kErrNoMemory;
  }
  *cb = VectorCallback{L,        a.callbackRef, a.userdataRef,    a.mask, a.alpha, a.clear,
                       n->depth, a.color,       a.transparentPen, {},     {},      nullptr,
                       0};
  if (n->palette) std::memcpy(cb->palette, n->palette, kPaletteBytes);
  ImageObject* image = g.CreateImageObject(kVectorImageType, n->width, n->height, nullptr, cb,
                                           DrawPicture, FreeCallback);
  if (!image) {
    FreeCallback(cb);
    HostFree(n->palette);
    return kErrImageObject;
  }
  cb->image = image;
  n->imageObject = image;
  BrushRecord* b = nullptr;
  if (int rc = AddBrushRecord(n, &b)) {
    g.ReleaseImageObject(image);
    HostFree(n->palette);
    return rc;
  }
  cb->id = b->header.id;
  // Registered before its first rendering, so that the script sees its id;
  // busy, so that the script cannot change or free it meanwhile.
  ++b->busy;
  Planes p;
  int rc = Render(cb, n->width, n->height, kIdentity, &p);
  --b->busy;
  if (rc) {
    UnlinkObject(&gBrushList, &b->header);
    FreeBrushRecord(L, b);
    return rc;
  }
  b->bitmap = p.bitmap;
  b->mask = p.mask;
  b->alpha = p.alpha;
  b->chunky = p.chunky;
  if (p.mask) b->transparentPen = kMaskWithoutKey;
  if (out) *out = b;
  return 0;
}

}  // namespace tzx::brush
