// Commands of text objects: CreateTextObject, DisplayTextObject,
// FreeTextObject, CopyTextObject, ScaleTextObject, RotateTextObject and
// TransformTextObject.
#include <cmath>

#include "commands.h"
#include "fonts.h"
#include "print_glue.h"
#include "text_objects.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

namespace {

bool Present(lua_State* L, int n) {
  return Lua().gettop(L) >= n && Lua().type(L, n) != kLuaNil;
}

int SmoothArgument(lua_State* L, int n) {
  if (!Present(L, n)) return 0;
  return Lua().type(L, n) == kLuaBoolean ? Lua().toboolean(L, n) != 0
                                         : Lua().checkinteger(L, n) != 0;
}

// CreateTextObject's options table; the colour options decide palette mode,
// so they are read first.
int ReadObjectOptions(lua_State* L, int table, LayoutRequest* r, bool* noAdjust) {
  const ArgumentServices& a = Args();
  uint32_t color = 0;
  const bool rgb = a.fieldColor(L, table, "color", &color);
  int32_t pen = 0;
  const bool hasPen = a.fieldInt(L, table, "pen", &pen);
  if (int rc = StartRequest(r, *gBound.graphics->currentOutput, rgb)) return rc;
  if (rgb) r->style.fontColor = color;
  if (hasPen) r->style.fontPen = pen;
  a.fieldInt(L, table, "align", &r->align);
  a.fieldInt(L, table, "wordwrap", &r->wrapWidth);
  a.fieldInt(L, table, "encoding", &r->encoding);
  a.fieldInt(L, table, "linespacing", &r->lineSpacing);
  a.fieldInt(L, table, "charspacing", &r->charSpacing);
  int32_t flag = 0;
  if (a.fieldBool(L, table, "noadjust", &flag)) *noAdjust = flag != 0;
  if (a.fieldBool(L, table, "useformattags", &flag)) r->formatTags = flag != 0;
  return 0;
}

// An object to change: 1314 while a command draws it or a layer shows it.
int FindToChange(lua_State* L, const ObjectId& id, TextObject** out) {
  FreeDeferredTextObjects(L);
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(id, 0, &o)) return rc;
  if (o->head.pins > 0 || o->head.layerClaimed) return kErrObjectBusy;
  *out = o;
  return 0;
}

// Frees the object a new one replaces; a layer's source stays (1314).
int FreeForReuse(lua_State* L, const ObjectId& id) {
  if (id.pointer) return 0;  // a new automatic id replaces nothing
  TextObject* old = nullptr;
  if (FindTextObjectRecord(id, 0, &old)) return 0;
  if (old->head.layerClaimed) return kErrObjectBusy;
  FreeTextObjectRecord(L, old);
  return 0;
}

int PushMadeId(lua_State* L, const ObjectId& requested, const TextObject* o) {
  if (!requested.pointer) return 0;
  Args().pushObjectId(L, o->head.header.id);
  return 1;
}

// Renders the object under its changed transform; the old transform comes
// back when that fails. Format-tag constants are script globals, read while
// the object is pinned.
int ApplyTransform(lua_State* L, TextObject* o, const graphics::TransformRecord& changed) {
  if (int rc = PinTextObject(L, o)) return rc;
  if (o->request.formatTags) {
    o->request.constants = CollectTagConstants(L, o->request.text, o->request.length);
  }
  const graphics::TransformRecord old = o->transform;
  o->transform = changed;
  const int rc = RerenderTextObject(o);
  o->request.constants = TagConstants{};
  if (rc) o->transform = old;
  return rc;
}

}  // namespace

// CreateTextObject(id, text[, options]) or (id, text[, align[, wordwrap[, encoding]]])
int CreateTextObject(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  const ObjectId id = Args().newObjectId(L, 1);
  Lua().checklstring(L, 2, nullptr);
  LayoutRequest r;
  bool noAdjust = false;
  int rc = 0;
  if (Lua().gettop(L) == 3 && Lua().type(L, 3) == kLuaTable) {
    rc = ReadObjectOptions(L, 3, &r, &noAdjust);
  } else {
    rc = StartRequest(&r, *gBound.graphics->currentOutput, false);
    if (!rc && Present(L, 3)) r.align = Lua().checkinteger(L, 3);
    if (!rc && Present(L, 4)) r.wrapWidth = Lua().checkinteger(L, 4);
    if (!rc && Present(L, 5)) r.encoding = Lua().checkinteger(L, 5);
  }
  if (rc) return rc;
  if ((rc = TextArg(L, 2, r.encoding, &r.text, &r.length))) return rc;
  if (r.formatTags) r.constants = CollectTagConstants(L, r.text, r.length);
  FreeDeferredTextObjects(L);
  if ((rc = FreeForReuse(L, id))) return rc;
  ObjectPlanes planes;
  if ((rc = RenderPlain(r, &planes))) return rc;
  TextObject* o = nullptr;
  if ((rc = AddTextObject(id, r, planes, FontDepthOf(r.style.font), noAdjust, &o))) {
    FreeObjectPlanes(&planes);
    return rc;
  }
  if ((rc = AttachVectorImage(o))) {
    FreeTextObjectRecord(L, o);
    return rc;
  }
  return PushMadeId(L, id, o);
}

// DisplayTextObject(id, x, y[, drawtags])
int DisplayTextObject(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  graphics::DrawObjectArgs a{};
  a.type = graphics::kDrawTextObject;
  a.id = &id;
  a.x = Lua().checkinteger(L, 2);
  a.y = Lua().checkinteger(L, 3);
  if (Present(L, 4)) {
    Lua().checktable(L, 4);
    a.tagIndex = 4;
  }
  FreeDeferredTextObjects(L);
  return gBound.graphics->DrawObject(L, &a);
}

// FreeTextObject(id)
int FreeTextObject(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  FreeDeferredTextObjects(L);
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(id, 0, &o)) return rc;
  FreeTextObjectRecord(L, o);
  return 0;
}

// CopyTextObject(source, id or Nil)
int CopyTextObject(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const ObjectId source = Args().objectId(L, 1);
  const ObjectId id = Args().newObjectId(L, 2);
  if (!id.pointer && source == id) return kErrRange;
  FreeDeferredTextObjects(L);
  TextObject* s = nullptr;
  if (int rc = FindTextObjectRecord(source, 0, &s)) return rc;
  if (int rc = FreeForReuse(L, id)) return rc;
  TextObject* o = nullptr;
  if (int rc = CopyTextObjectRecord(*s, id, &o)) return rc;
  return PushMadeId(L, id, o);
}

// ScaleTextObject(id, width, height[, smooth]); either size may be KEEPASPRAT.
int ScaleTextObject(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  int width = Lua().checkinteger(L, 2);
  int height = Lua().checkinteger(L, 3);
  const int smooth = SmoothArgument(L, 4);
  TextObject* o = nullptr;
  if (int rc = FindToChange(L, id, &o)) return rc;
  const TextObjectHead& h = o->head;
  if (int rc = gBound.graphics->ResolveKeepAspect(h.baseWidth, h.baseHeight, &width, &height))
    return rc;
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  graphics::TransformRecord t = o->transform;
  t.width = width;
  t.height = height;
  t.scaleX = static_cast<double>(width) / h.baseWidth;
  t.scaleY = static_cast<double>(height) / h.baseHeight;
  t.matrixGiven = 0;
  t.smoothScale = smooth;
  return ApplyTransform(L, o, t);
}

// RotateTextObject(id, angle[, smooth]): the angle is kept modulo 360.
int RotateTextObject(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  double angle = std::fmod(Lua().checknumber(L, 2), 360.0);
  if (!std::isfinite(angle)) return kErrRange;
  if (angle < 0) angle += 360.0;
  const int smooth = SmoothArgument(L, 3);
  TextObject* o = nullptr;
  if (int rc = FindToChange(L, id, &o)) return rc;
  graphics::TransformRecord t = o->transform;
  t.rotate = angle;
  t.matrixGiven = 0;
  t.smoothScale = smooth;
  return ApplyTransform(L, o, t);
}

// TransformTextObject(id, sx, rx, ry, sy[, smooth]): the matrix replaces
// every turn and scale.
int TransformTextObject(lua_State* L) {
  L = Args().beginCommand(L, 5, 6, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  double m[4];
  for (int i = 0; i < 4; ++i) m[i] = Lua().checknumber(L, 2 + i);
  const int smooth = SmoothArgument(L, 6);
  // A matrix without an inverse flattens the text to nothing.
  const double determinant = m[0] * m[3] - m[1] * m[2];
  if (!std::isfinite(determinant) || determinant == 0.0) return kErrRange;
  TextObject* o = nullptr;
  if (int rc = FindToChange(L, id, &o)) return rc;
  graphics::TransformRecord t = o->transform;
  for (int i = 0; i < 4; ++i) t.matrix[i] = t.givenMatrix[i] = m[i];
  t.matrixGiven = 1;
  t.rotate = 0.0;
  t.scaleX = t.scaleY = 1.0;
  t.width = t.height = 0;
  t.smoothScale = smooth;
  return ApplyTransform(L, o, t);
}

}  // namespace tzx::text
