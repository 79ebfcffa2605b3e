// Commands that make, copy, free and draw brushes.
#include "bindings.h"
#include "commands.h"
#include "copy.h"
#include "glue.h"
#include "palettes.h"
#include "plane_lock.h"
#include "slots.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"
#include "vector_brushes.h"

namespace tzx::brush {

namespace {

struct CreateOptions {
  int32_t alpha = 0;
  int32_t mask = 0;
  int32_t clear = 0;
  int32_t hardware = 0;
  int32_t smoothScale = 0;
  int32_t depth = 0;
  int32_t transparentPen = kNoPen;
  bool transparentPenGiven = false;
  uint32_t fillPen = 0;
  bool fillPenGiven = false;
  ObjectId display{};
  bool displayGiven = false;
  ObjectId palette{};
  bool paletteGiven = false;
  bool callback = false;
  bool userdata = false;
};

// Reads the option table; 0 or 1631 for a callback that is no function.
int ReadCreateOptions(lua_State* L, int t, CreateOptions* o) {
  const ArgumentServices& args = Args();
  args.fieldBool(L, t, "alphachannel", &o->alpha);
  args.fieldBool(L, t, "mask", &o->mask);
  args.fieldBool(L, t, "clear", &o->clear);
  args.fieldBool(L, t, "hardware", &o->hardware);
  args.fieldBool(L, t, "smoothscale", &o->smoothScale);
  args.fieldInt(L, t, "depth", &o->depth);
  o->transparentPenGiven = args.fieldInt(L, t, "transparentpen", &o->transparentPen);
  o->fillPenGiven = args.fieldColor(L, t, "fillpen", &o->fillPen);
  o->displayGiven = args.fieldObjectId(L, t, "display", &o->display);
  o->paletteGiven = args.fieldObjectId(L, t, "palette", &o->palette);
  int type = args.fieldByKey(L, t, "callback");
  Lua().settop(L, -2);
  if (type != kLuaNil && type != kLuaFunction) return ErrorWithString(kErrNotFunction, "callback");
  o->callback = type == kLuaFunction;
  type = args.fieldByKey(L, t, "userdata");
  Lua().settop(L, -2);
  o->userdata = type != kLuaNil;
  return 0;
}

// A registry reference to a field of the table, -1 when absent.
int FieldRef(lua_State* L, int t, const char* key, bool present) {
  if (!present) return kNoRef;
  Args().fieldByKey(L, t, key);
  return Lua().ref(L, kRegistryIndex);
}

bool AllZero(const uint8_t* p, int count) {
  for (int i = 0; i < count; ++i) {
    if (p[i]) return false;
  }
  return true;
}

// 1 when every pixel is fully transparent, 0 otherwise, or an error code.
int EmptyResult(BrushRecord* b, int* empty) {
  *empty = 0;
  BitmapHandle* plane = b->chunky ? b->chunky : b->alpha ? b->alpha : b->mask;
  if (!plane || (b->chunky && (b->transparentPen < 0 || b->transparentPen > 255))) return 0;
  PlaneLock l;
  if (!LockPlane(plane, false, &l)) return kErrLockBitmap;
  bool all = true;
  for (int y = 0; y < l.height && all; ++y) {
    const uint8_t* row = PlaneRow(l, y);
    if (plane == b->chunky) {
      for (int x = 0; x < l.width && all; ++x) all = row[x] == b->transparentPen;
    } else if (plane == b->alpha) {
      all = AllZero(row, l.width);
    } else {
      // Whole bytes, then the bits of the last one that belong to the row.
      all = AllZero(row, l.width / 8);
      for (int x = l.width & ~7; x < l.width && all; ++x) all = !graphics::MaskBit(row, x);
    }
  }
  UnlockPlane(&l);
  *empty = all ? 1 : 0;
  return 0;
}

int Draw(lua_State* L, int type, int part, int minArgs, int maxArgs) {
  L = Args().beginCommand(L, minArgs, maxArgs, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  graphics::DrawObjectArgs a{};
  a.type = type;
  a.id = &id;
  ReadDrawArguments(L, &a, Lua().gettop(L), part);
  return gBound.graphics->DrawObject(L, &a);
}

}  // namespace

int ReadDrawArguments(lua_State* L, graphics::DrawObjectArgs* frame, int argCount, int part) {
  const LuaApi& lua = Lua();
  int next = 2;
  if (part) {
    frame->sourceX = lua.checkinteger(L, next++);
    frame->sourceY = lua.checkinteger(L, next++);
    frame->width = lua.checkinteger(L, next++);
    frame->height = lua.checkinteger(L, next++);
  }
  frame->x = lua.checkinteger(L, next++);
  frame->y = lua.checkinteger(L, next++);
  frame->tagIndex = argCount >= next && lua.type(L, next) != kLuaNil ? next : 0;
  return 0;
}

// CreateBrush(id, width, height[, color][, table])
int CreateBrush(lua_State* L) {
  L = Args().beginCommand(L, 3, 5, 0, 0);
  const int argc = Lua().gettop(L);
  ObjectId id = Args().newObjectId(L, 1);
  const int width = Lua().checkinteger(L, 2);
  const int height = Lua().checkinteger(L, 3);
  uint32_t color = 0;
  int table = 0;
  if (argc >= 4 && IsTableArg(L, 4)) {
    if (argc == 5) return kErrRange;
    table = 4;
  } else {
    if (argc >= 4 && Lua().type(L, 4) != kLuaNil) color = ColorArg(L, 4);
    table = OptionalTable(L, 5);
  }
  CreateOptions o;
  if (table) {
    if (int rc = ReadCreateOptions(L, table, &o)) return rc;
  }
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  if (o.depth == 32) {
    o.alpha = 1;
    o.depth = 0;
  }
  if (o.alpha && o.mask) return kErrRange;
  const bool pens = o.paletteGiven || (o.depth >= 1 && o.depth <= 8);
  if (pens && (o.alpha || o.mask || o.hardware || o.smoothScale)) return kErrRange;
  if (!pens && ((o.depth != 0 && o.depth != 24) || o.transparentPenGiven)) return kErrRange;

  BrushCoreArgs a{};
  a.id = id;
  a.width = width;
  a.height = height;
  a.color = color;
  a.transparentPen = kNoPen;
  a.mask = o.mask;
  a.alpha = o.alpha;
  a.clear = o.clear;
  a.hardware = o.hardware;
  a.smoothScale = o.smoothScale;
  a.depth = o.depth;
  a.displayId = o.display;
  uint32_t palette[kPaletteEntries] = {};
  if (pens) {
    PaletteTarget target{palette, 0, kNoPen, nullptr, 0, 0, 0};
    if (int rc = BuildPalette(L, o.paletteGiven ? &o.palette : nullptr, o.depth, o.transparentPen,
                              &target)) {
      return rc;
    }
    a.depth = target.depth;
    a.transparentPen = target.transparentPen;
    a.palette = palette;
    if (o.fillPenGiven) a.color = o.fillPen;
    if (a.color >= static_cast<uint32_t>(PenCount(a.depth))) return kErrPenRange;
  }
  if (o.hardware) {
    if (int rc = DisplayKeyFor(o.displayGiven ? &o.display : nullptr, &a.displayKey)) return rc;
  }
  if (int rc = FreeBrushForReuse(L, id)) return rc;
  a.callbackRef = FieldRef(L, table, "callback", o.callback);
  a.userdataRef = FieldRef(L, table, "userdata", o.userdata);
  BrushRecord* b = nullptr;
  if (int rc = CreateBrushCore(L, &a, &b)) return rc;
  return PushAutomaticId(L, id, b);
}

// FreeBrush(id)
int FreeBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  return FreeBrushById(L, &id, 1);
}

// CopyBrush(source, dest[, table])
int CopyBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId source = Args().objectId(L, 1);
  ObjectId dest = Args().newObjectId(L, 2);
  const int table = OptionalTable(L, 3);
  int32_t hardware = 0, smoothScale = 0;
  ObjectId display{};
  bool displayGiven = false;
  if (table) {
    Args().fieldBool(L, table, "hardware", &hardware);
    Args().fieldBool(L, table, "smoothscale", &smoothScale);
    displayGiven = Args().fieldObjectId(L, table, "display", &display);
  }
  if (!dest.pointer && !source.pointer && dest.number == source.number) return kErrRange;
  BrushRecord* s = nullptr;
  if (int rc = FindBrush(L, &source, &s, kFindReadHardware)) return rc;
  void* key = nullptr;
  const bool toHardware = s->hardware || hardware;
  if (toHardware) {
    if (int rc = DisplayKeyFor(displayGiven ? &display : &s->displayId, &key)) return rc;
  }
  BrushRecord* b = nullptr;
  if (int rc = CopyBrushTo(L, *s, dest, true, &b)) return rc;
  if (toHardware) MakeHardware(b, key);
  return PushAutomaticId(L, dest, b);
}

// IsBrushEmpty(id)
int IsBrushEmpty(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, &id, &b, kFindRead)) return rc;
  int empty = 0;
  if (int rc = EmptyResult(b, &empty)) return rc;
  Lua().pushnumber(L, empty);
  return 1;
}

// DisplayBrush(id, x, y[, table])
int DisplayBrush(lua_State* L) {
  return Draw(L, graphics::kDrawBrush, 0, 3, 4);
}

// DisplayBrushPart(id, srcx, srcy, width, height, x, y[, table])
int DisplayBrushPart(lua_State* L) {
  return Draw(L, graphics::kDrawBrushPart, 1, 7, 8);
}

}  // namespace tzx::brush
