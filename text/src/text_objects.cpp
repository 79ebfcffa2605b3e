#include "text_objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "bindings.h"
#include "font_handles.h"
#include "font_record.h"
#include "fonts.h"
#include "print.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"
#include "tzx/objects.h"
#include "tzx/pins.h"
#include "tzx/text_constants.h"

namespace tzx::text {

ObjectHeader* gTextObjectList = nullptr;

namespace {

constexpr double kMaxObjectPixels = 268435456.0;

// Objects freed by the script while something still used them.
ObjectHeader* gDeferredList = nullptr;

bool IsPureScale(const double m[4]) {
  return m[1] == 0.0 && m[2] == 0.0 && m[0] != 0.0 && m[3] != 0.0;
}

int RoundedSize(double v) {
  const int n = static_cast<int>(std::lround(std::fabs(v)));
  return n < 1 ? 1 : n;
}

// The planes moved into a width x height canvas with their corner at (x, y);
// what falls outside is cut. Nothing is resampled.
int Reframe(ObjectPlanes* p, uint32_t color, int x, int y, int width, int height) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::BitmapHandle* c = g.AllocBitmap(width, height, 0, nullptr);
  graphics::BitmapHandle* a = c ? g.AllocAlpha(width, height, 0, nullptr, 0) : nullptr;
  int rc = a ? 0 : kErrNoMemory;
  if (!rc) rc = g.FillBitmapRect(c, 0, 0, width, height, color & 0xFFFFFF);
  // The visible part: from (sx, sy) of the planes to (tx, ty) of the canvas.
  const int tx = std::max(x, 0), ty = std::max(y, 0);
  const int sx = tx - x, sy = ty - y;
  const int cw = std::min(p->width - sx, width - tx), ch = std::min(p->height - sy, height - ty);
  if (!rc && cw > 0 && ch > 0) {
    rc = g.CopyBitmapPixels(p->color, sx, sy, c, tx, ty, cw, ch);
    if (!rc) rc = g.CopyBitmapPixels(p->alpha, sx, sy, a, tx, ty, cw, ch);
  }
  if (rc) {
    if (a) g.FreeAlpha(a);
    if (c) g.FreeBitmap(c);
    return rc;
  }
  FreeObjectPlanes(p);
  p->color = c;
  p->alpha = a;
  p->width = width;
  p->height = height;
  return 0;
}

// The request at a scale, made exactly width x height (0: as drawn) and
// mirrored where a factor is negative. A scalable font is drawn at the
// scale and its canvas fit around it, its margin scaled; other fonts'
// pixels are scaled.
int RenderScaled(const LayoutRequest& r, double sx, double sy, int width, int height, int smooth,
                 ObjectPlanes* out) {
  TextPlanes planes;
  if (int rc = RenderRequestPlanes(r, std::fabs(sx), std::fabs(sy), &planes)) return rc;
  out->color = planes.color;
  out->alpha = planes.alpha;
  out->width = planes.width;
  out->height = planes.height;
  out->adjustX = out->adjustY = -planes.pad;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  int rc = 0;
  if (width > 0 && (out->width != width || out->height != height)) {
    if (r.style.font->scalable) {
      const int x = static_cast<int>(std::lround(planes.pad * std::fabs(sx))) - planes.pad;
      const int y = static_cast<int>(std::lround(planes.pad * std::fabs(sy))) - planes.pad;
      rc = Reframe(out, r.style.fontColor, x, y, width, height);
    } else {
      rc = g.ScaleBitmap(&out->color, nullptr, &out->alpha, nullptr, out->width, out->height, width,
                         height, smooth);
      if (!rc) {
        out->width = width;
        out->height = height;
      }
    }
  }
  if (!rc && sx < 0) rc = g.FlipBitmapSet(out->color, nullptr, out->alpha, nullptr, 1);
  if (!rc && sy < 0) rc = g.FlipBitmapSet(out->color, nullptr, out->alpha, nullptr, 0);
  if (rc) FreeObjectPlanes(out);
  return rc;
}

int Turn(const double m[4], int smooth, ObjectPlanes* p) {
  graphics::BitmapHandle* mask = nullptr;
  int w = 0, h = 0;
  int rc = gBound.graphics->RotateBitmapSet(&p->color, &mask, &p->alpha, nullptr, p->width,
                                            p->height, m, smooth, &w, &h);
  // The planes carry an alpha channel, which already hides the corners.
  if (mask) gBound.graphics->FreeMask(mask);
  if (rc) {
    FreeObjectPlanes(p);
    return rc;
  }
  p->width = w;
  p->height = h;
  return 0;
}

void FreeRecord(lua_State* L, TextObject* o) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  g.FreeBitmapSet(&o->head.color, &o->head.mask, &o->head.alpha);
  if (o->head.vectorImage) g.ReleaseImageObject(o->head.vectorImage);
  HostFree(o->head.palette);
  FreeRequest(&o->request);
  ForgetAndFree(L, &o->head.header);
}

// The vector image's own copy of the text.
struct VectorText {
  LayoutRequest request;
  int32_t baseWidth;
  int32_t baseHeight;
};

int DrawVectorText(void* data, int, int, const double matrix[4], graphics::BitmapHandle** color,
                   graphics::BitmapHandle** mask, graphics::BitmapHandle** alpha) {
  const auto* v = static_cast<const VectorText*>(data);
  graphics::TransformRecord t{};
  t.scaleX = t.scaleY = 1.0;
  std::memcpy(t.matrix, matrix, sizeof t.matrix);
  t.matrixGiven = 1;
  t.smoothScale = 1;
  ObjectPlanes p;
  if (int rc = RenderTransformed(v->request, t, v->baseWidth, v->baseHeight, &p)) return rc;
  *color = p.color;
  if (mask) *mask = nullptr;
  *alpha = p.alpha;
  return 0;
}

void FreeVectorText(void* data) {
  auto* v = static_cast<VectorText*>(data);
  FreeRequest(&v->request);
  HostFree(v);
}

bool InUse(const TextObject* o) {
  return o->head.pins > 0 || o->head.layerClaimed;
}

void FinishDeferredFree(lua_State* L, void* record) {
  auto* o = static_cast<TextObject*>(record);
  if (!o->head.freeDeferred || InUse(o)) return;
  UnlinkObject(&gDeferredList, &o->head.header);
  FreeRecord(L, o);
}

}  // namespace

void FreeObjectPlanes(ObjectPlanes* p) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (p->alpha) g.FreeAlpha(p->alpha);
  if (p->color) g.FreeBitmap(p->color);
  p->alpha = p->color = nullptr;
}

void TransformedAdjust(const double m[4], int32_t bx, int32_t by, int32_t* x, int32_t* y) {
  *x = static_cast<int32_t>(m[0] * bx + m[2] * by);
  *y = static_cast<int32_t>(m[1] * bx + m[3] * by);
}

int RenderPlain(const LayoutRequest& r, ObjectPlanes* out) {
  *out = ObjectPlanes{};
  return RenderScaled(r, 1.0, 1.0, 0, 0, 0, out);
}

int RenderTransformed(const LayoutRequest& r, const graphics::TransformRecord& t, int32_t baseWidth,
                      int32_t baseHeight, ObjectPlanes* out) {
  *out = ObjectPlanes{};
  const double* m = t.matrix;
  const int smooth = t.smoothScale;
  // Planes beyond 2^28 pixels (1 GiB of colour) are refused before a font
  // is drawn at such a size.
  const double w = std::fabs(m[0]) * baseWidth + std::fabs(m[2]) * baseHeight;
  const double h = std::fabs(m[1]) * baseWidth + std::fabs(m[3]) * baseHeight;
  if (!(w * h <= kMaxObjectPixels)) return kErrNoMemory;
  if (gBound.graphics->IsIdentityMatrix(m))
    return RenderScaled(r, 1.0, 1.0, baseWidth, baseHeight, 0, out);
  if (IsPureScale(m)) {
    return RenderScaled(r, m[0], m[3], RoundedSize(m[0] * baseWidth),
                        RoundedSize(m[3] * baseHeight), smooth, out);
  }
  if (t.matrixGiven || t.rotate == 0.0) {
    if (int rc = RenderScaled(r, 1.0, 1.0, baseWidth, baseHeight, 0, out)) return rc;
    return Turn(m, smooth, out);
  }
  // A turn of a scale: the text is drawn at the scale, then turned.
  graphics::TransformRecord scale = t;
  scale.rotate = 0.0;
  gBound.graphics->BuildTransformMatrix(&scale, t.width, t.height, baseWidth, baseHeight);
  const double sx = scale.matrix[0], sy = scale.matrix[3];
  if (int rc = RenderScaled(r, sx, sy, RoundedSize(sx * baseWidth), RoundedSize(sy * baseHeight),
                            smooth, out)) {
    return rc;
  }
  graphics::TransformRecord turn{};
  turn.scaleX = turn.scaleY = 1.0;
  turn.rotate = t.rotate;
  gBound.graphics->BuildTransformMatrix(&turn, 0, 0, 0, 0);
  return Turn(turn.matrix, smooth, out);
}

int CopyRequest(const LayoutRequest& from, LayoutRequest* to) {
  *to = from;
  to->text = nullptr;
  to->wrapTable = nullptr;
  to->constants = TagConstants{};
  auto* text = static_cast<char*>(HostAlloc(from.length + 1, false));
  if (!text) return kErrNoMemory;
  std::memcpy(text, from.text, from.length);
  text[from.length] = '\0';
  if (from.wrapTableCount > 0) {
    auto* table = static_cast<int32_t*>(HostAlloc(from.wrapTableCount * sizeof(int32_t), false));
    if (!table) {
      HostFree(text);
      return kErrNoMemory;
    }
    std::memcpy(table, from.wrapTable, from.wrapTableCount * sizeof(int32_t));
    to->wrapTable = table;
  }
  to->text = text;
  return 0;
}

void FreeRequest(LayoutRequest* r) {
  HostFree(const_cast<char*>(r->text));
  HostFree(const_cast<int32_t*>(r->wrapTable));
  r->text = nullptr;
  r->wrapTable = nullptr;
}

int FindTextObjectRecord(const ObjectId& id, uint32_t flags, TextObject** out) {
  ObjectHeader* h = FindObject(gTextObjectList, id);
  if (!h && (flags & kFindDeferred)) h = FindObject(gDeferredList, id);
  if (!h) return ObjectNotFound(id, kErrUnknownTextObject);
  *out = reinterpret_cast<TextObject*>(h);
  return 0;
}

int AddTextObject(const ObjectId& id, const LayoutRequest& request, const ObjectPlanes& planes,
                  int32_t depth, bool noAdjust, TextObject** out) {
  auto* o = AllocRecord<TextObject>();
  if (!o) return kErrNoMemory;
  if (CopyRequest(request, &o->request)) {
    HostFree(o);
    return kErrNoMemory;
  }
  AssignObjectId(&o->head.header, kTypeTextObject, id);
  TextObjectHead& h = o->head;
  h.color = planes.color;
  h.alpha = planes.alpha;
  h.transparentPen = -1;
  h.width = h.baseWidth = planes.width;
  h.height = h.baseHeight = planes.height;
  h.depth = depth;
  o->noAdjust = noAdjust;
  o->baseAdjustX = noAdjust ? 0 : planes.adjustX;
  o->baseAdjustY = noAdjust ? 0 : planes.adjustY;
  h.adjustX = o->baseAdjustX;
  h.adjustY = o->baseAdjustY;
  h.paletteMode = request.paletteMode;
  h.tagsDisabled = !request.formatTags;
  graphics::TransformRecord& t = o->transform;
  t.scaleX = t.scaleY = 1.0;
  gBound.graphics->IdentityMatrix(t.matrix);
  AppendObject(&gTextObjectList, &h.header);
  *out = o;
  return 0;
}

int AttachVectorImage(TextObject* o) {
  const LayoutRequest& r = o->request;
  // Format-tag constants are script globals, which a drawing cannot read.
  if (!r.style.font->scalable || (r.formatTags && std::memchr(r.text, '#', r.length))) return 0;
  auto* v = AllocRecord<VectorText>();
  if (!v) return kErrNoMemory;
  if (CopyRequest(r, &v->request)) {
    HostFree(v);
    return kErrNoMemory;
  }
  v->baseWidth = o->head.baseWidth;
  v->baseHeight = o->head.baseHeight;
  o->head.vectorImage =
      gBound.graphics->CreateImageObject(graphics::kImagetypeVector, v->baseWidth, v->baseHeight,
                                         nullptr, v, DrawVectorText, FreeVectorText);
  if (!o->head.vectorImage) {
    FreeVectorText(v);
    return kErrNoMemory;
  }
  return 0;
}

int PinTextObject(lua_State* L, TextObject* o) {
  return PinForCommand(L, &o->head.pins, FinishDeferredFree, o);
}

void FreeTextObjectRecord(lua_State* L, TextObject* o) {
  if (o->head.freeDeferred) return;
  UnlinkObject(&gTextObjectList, &o->head.header);
  if (InUse(o)) {
    // The id is free for a new object at once; the record waits.
    o->head.freeDeferred = 1;
    AppendObject(&gDeferredList, &o->head.header);
    return;
  }
  FreeRecord(L, o);
}

void FreeDeferredTextObjects(lua_State* L) {
  ObjectHeader* h = gDeferredList;
  while (h) {
    ObjectHeader* next = h->next;
    auto* o = reinterpret_cast<TextObject*>(h);
    if (!InUse(o)) {
      UnlinkObject(&gDeferredList, h);
      FreeRecord(L, o);
    }
    h = next;
  }
}

void FreeAllTextObjects(lua_State* L) {
  for (ObjectHeader** list : {&gTextObjectList, &gDeferredList}) {
    while (ObjectHeader* h = *list) {
      UnlinkObject(list, h);
      FreeRecord(L, reinterpret_cast<TextObject*>(h));
    }
  }
}

int CopyTextObjectRecord(const TextObject& s, const ObjectId& id, TextObject** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  ObjectPlanes planes;
  planes.width = s.head.width;
  planes.height = s.head.height;
  planes.color = g.CopyBitmapRect(s.head.color, 0, 0, s.head.width, s.head.height);
  planes.alpha = g.AllocAlpha(s.head.width, s.head.height, 0, nullptr, 0);
  int rc = planes.color && planes.alpha ? 0 : kErrNoMemory;
  if (!rc) {
    rc = g.CopyBitmapPixels(s.head.alpha, 0, 0, planes.alpha, 0, 0, s.head.width, s.head.height);
  }
  TextObject* o = nullptr;
  if (!rc) rc = AddTextObject(id, s.request, planes, s.head.depth, s.noAdjust, &o);
  if (rc) {
    FreeObjectPlanes(&planes);
    return rc;
  }
  o->head.baseWidth = s.head.baseWidth;
  o->head.baseHeight = s.head.baseHeight;
  o->head.adjustX = s.head.adjustX;
  o->head.adjustY = s.head.adjustY;
  o->baseAdjustX = s.baseAdjustX;
  o->baseAdjustY = s.baseAdjustY;
  o->transform = s.transform;
  o->head.transformed = s.head.transformed;
  if (s.head.vectorImage) o->head.vectorImage = g.RetainImageObject(s.head.vectorImage);
  *out = o;
  return 0;
}

int RerenderTextObject(TextObject* o) {
  graphics::TransformRecord& t = o->transform;
  if (!t.matrixGiven) {
    gBound.graphics->BuildTransformMatrix(&t, t.width, t.height, o->head.baseWidth,
                                          o->head.baseHeight);
  }
  t.scaleAndRotate = t.rotate != 0.0 && !(t.scaleX == 1.0 && t.scaleY == 1.0 && t.width == 0);
  ObjectPlanes planes;
  if (int rc = RenderTransformed(o->request, t, o->head.baseWidth, o->head.baseHeight, &planes)) {
    return rc;
  }
  TextObjectHead& h = o->head;
  gBound.graphics->FreeBitmapSet(&h.color, &h.mask, &h.alpha);
  h.color = planes.color;
  h.alpha = planes.alpha;
  h.width = planes.width;
  h.height = planes.height;
  TransformedAdjust(t.matrix, o->baseAdjustX, o->baseAdjustY, &h.adjustX, &h.adjustY);
  h.transformed = !gBound.graphics->IsIdentityMatrix(t.matrix);
  return 0;
}

int TextObjectAttribute(lua_State* L, int attribute, const ObjectId* id) {
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(*id, 0, &o)) return rc;
  // Pushing a string or a table may run finalizers that free the object.
  if (int rc = PinTextObject(L, o)) return rc;
  const TextObjectHead& h = o->head;
  const LuaApi& lua = Lua();
  switch (attribute) {
    case kAttrwidth:
      lua.pushnumber(L, h.width);
      return 1;
    case kAttrheight:
      lua.pushnumber(L, h.height);
      return 1;
    case kAttrtype:
      lua.pushnumber(L, h.vectorImage ? 1 : 0);
      return 1;
    case kAttrtext:
      lua.pushlstring(L, o->request.text, o->request.length);
      return 1;
    case kAttrdepth:
      lua.pushnumber(L, h.depth);
      return 1;
    case kAttrpalette:
      lua.newtable(L);
      for (int i = 0; h.palette && i < 256; ++i) {
        lua.pushnumber(L, h.palette[i]);
        lua.rawseti(L, -2, i);
      }
      return 1;
    case kAttrtransparentpen:
      lua.pushnumber(L, h.transparentPen);
      return 1;
    case kAttradjustx:
      lua.pushnumber(L, h.adjustX);
      return 1;
    case kAttradjusty:
      lua.pushnumber(L, h.adjustY);
      return 1;
    default:
      // The font's attributes read the record, which outlives every object.
      return PushFontAttribute(L, attribute, o->request.style.font);
  }
}

}  // namespace tzx::text
