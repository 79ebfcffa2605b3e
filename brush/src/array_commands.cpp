// Brushes to and from script arrays of colours and pens (indices from 0, row
// by row): BrushToRGBArray, RGBArrayToBrush, BrushToPenArray and
// PenArrayToBrush.
#include "arrays.h"
#include "commands.h"
#include "copy.h"
#include "glue.h"
#include "palettes.h"
#include "plane_lock.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

// Reads count numbers from index 0 of the table into values. 1448 when an
// entry is missing, 1055 for an entry that is not a number or not a 32-bit
// value.
int ReadArray(lua_State* L, int table, int64_t count, uint32_t* values) {
  for (int64_t i = 0; i < count; ++i) {
    const int type = Args().fieldByIndex(L, table, static_cast<int>(i));
    int error = 0;
    const double v = type == kLuaNil ? 0 : Args().stackNumber(L, -1, &error);
    Lua().settop(L, -2);
    if (type == kLuaNil) return kErrArrayTooShort;
    if (error || !WordOf(v, &values[i])) return kErrRange;
  }
  return 0;
}

void PushArray(lua_State* L, const uint32_t* values, int64_t count) {
  Lua().newtable(L);
  for (int64_t i = 0; i < count; ++i) {
    PushColor(L, values[i]);
    Lua().rawseti(L, -2, static_cast<int>(i));
  }
}

}  // namespace

// BrushToRGBArray(id[, alpha]): 0xRRGGBB values, or 0xAARRGGBB with alpha.
int BrushToRGBArray(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const bool withAlpha = OptionalFlag(L, 2, false);
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, &id, &b, kFindRead)) return rc;
  uint32_t* values = nullptr;
  if (int rc = BrushColors(*b, withAlpha, &values)) return rc;
  PushArray(L, values, int64_t{b->width} * b->height);
  HostFree(values);
  return 1;
}

// RGBArrayToBrush(id, table, width, height[, alpha = false[, transparentColor]]):
// with alpha the top bytes become an alpha channel; a transparent colour
// becomes a mask.
int RGBArrayToBrush(lua_State* L) {
  L = Args().beginCommand(L, 4, 6, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  Lua().checktable(L, 2);
  const int width = Lua().checkinteger(L, 3);
  const int height = Lua().checkinteger(L, 4);
  const bool alpha = OptionalFlag(L, 5, false);
  const uint32_t key = static_cast<uint32_t>(Lua().optinteger(L, 6, -1));
  int64_t count = 0;
  if (int rc = ArraySize(width, height, &count)) return rc;
  if (alpha && key != kNoColor) return kErrAlphaWithTransparency;
  auto* values = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(count) * 4, false));
  if (!values) return kErrNoMemory;
  NewBrush n{};
  int rc = ReadArray(L, 2, count, values);
  if (!rc) rc = ColorsToPlanes(values, width, height, alpha, key, &n);
  HostFree(values);
  if (!rc) rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (!rc) {
    n.id = id;
    rc = AddBrushRecord(&n, &b);
  }
  if (rc) {
    FreeNewBrush(&n);
    return rc;
  }
  return PushAutomaticId(L, id, b);
}

// BrushToPenArray(id)
int BrushToPenArray(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, &id, &b, kFindRead)) return rc;
  if (!b->chunky) return kErrNoPalette;
  // The table's growth may run finalizers.
  if (int rc = PinBrush(L, b)) return rc;
  PlaneLock l;
  if (!LockPlane(b->chunky, false, &l)) return kErrLockBitmap;
  Lua().newtable(L);
  int i = 0;
  for (int y = 0; y < b->height; ++y) {
    const uint8_t* pens = PlaneRow(l, y);
    for (int x = 0; x < b->width; ++x) {
      Lua().pushnumber(L, pens[x]);
      Lua().rawseti(L, -2, i++);
    }
  }
  UnlockPlane(&l);
  return 1;
}

// PenArrayToBrush(id, table, width, height[, {transparentpen, palette}])
int PenArrayToBrush(lua_State* L) {
  L = Args().beginCommand(L, 4, 5, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  Lua().checktable(L, 2);
  const int width = Lua().checkinteger(L, 3);
  const int height = Lua().checkinteger(L, 4);
  const int table = OptionalTable(L, 5);
  int32_t transparentPen = kNoPen;
  ObjectId paletteId{};
  bool paletteGiven = false;
  if (table) {
    Args().fieldInt(L, table, "transparentpen", &transparentPen);
    paletteGiven = Args().fieldObjectId(L, table, "palette", &paletteId);
  }
  int64_t count = 0;
  if (int rc = ArraySize(width, height, &count)) return rc;
  uint32_t palette[kPaletteEntries] = {};
  PaletteTarget target{palette, 0, kNoPen, nullptr, 0, 0, 0};
  if (int rc = BuildPalette(L, paletteGiven ? &paletteId : nullptr, 0, transparentPen, &target)) {
    return rc;
  }
  auto* values = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(count) * 4, false));
  if (!values) return kErrNoMemory;
  int rc = ReadArray(L, 2, count, values);
  if (!rc) rc = CheckPens(values, count, target.depth);
  if (!rc) rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (!rc) {
    BrushCoreArgs a{};
    a.id = id;
    a.width = width;
    a.height = height;
    a.transparentPen = target.transparentPen;
    a.depth = target.depth;
    a.palette = palette;
    a.noFill = 1;
    a.callbackRef = kNoRef;
    a.userdataRef = kNoRef;
    rc = CreateBrushCore(L, &a, &b);
  }
  if (!rc) rc = WritePens(b, values);
  HostFree(values);
  if (rc && b) {
    // The brush was registered; without its pens it must not stay.
    FreeBrushById(L, &b->header.id, 0);
    return rc;
  }
  return rc ? rc : PushAutomaticId(L, id, b);
}

}  // namespace tzx::brush
