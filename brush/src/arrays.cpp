// Brushes to and from script arrays of colours and pens (indices from 0, row
// by row).
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "palettes.h"
#include "plane_lock.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

// Arrays larger than this are refused before any allocation.
constexpr int64_t kMaxArrayEntries = int64_t{1} << 28;

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

int ArraySize(int width, int height, int64_t* count) {
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  *count = int64_t{width} * height;
  return *count > kMaxArrayEntries ? kErrRange : 0;
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
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  const int64_t count = int64_t{b->width} * b->height;
  uint32_t* values = nullptr;
  if (b->chunky) {
    PlaneLock l;
    if (!LockPlane(b->chunky, false, &l)) return kErrLockBitmap;
    values = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(count) * 4, false));
    if (values) {
      for (int y = 0; y < b->height; ++y) {
        const uint8_t* pens = PlaneRow(l, y);
        uint32_t* out = values + static_cast<size_t>(y) * b->width;
        for (int x = 0; x < b->width; ++x) {
          const uint32_t opaque = pens[x] == b->transparentPen ? 0 : 0xFF000000;
          out[x] = (b->palette[pens[x]] & 0xFFFFFF) | (withAlpha ? opaque : 0);
        }
      }
    }
    UnlockPlane(&l);
    if (!values) return kErrNoMemory;
  } else {
    const bool plane = withAlpha && (b->alpha || b->mask);
    values =
        gBound.graphics->BitmapToARGBArray(b->bitmap, plane ? b->mask : nullptr,
                                           plane ? b->alpha : nullptr, 0, 0, b->width, b->height);
    if (!values) return kErrLockBitmap;
    // Without a plane every pixel is opaque.
    const uint32_t top = plane ? 0xFF000000 : 0;
    const uint32_t set = withAlpha && !plane ? 0xFF000000 : 0;
    for (int64_t i = 0; i < count; ++i) values[i] = (values[i] & (0xFFFFFF | top)) | set;
  }
  PushArray(L, values, count);
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
  if (!rc) {
    rc = gBound.graphics->ConvertBitmapSet(values, key, width, height, width, 0,
                                           alpha ? graphics::kConvertAlphaFromTopByte : 0, nullptr,
                                           &n.bitmap, &n.mask, &n.alpha);
  }
  HostFree(values);
  if (!rc) rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (!rc) {
    n.id = id;
    n.width = n.rowWidth = width;
    n.height = height;
    n.transparentPen = n.mask ? static_cast<int32_t>(key & 0xFFFFFF) : kNoPen;
    n.depth = n.mask || n.alpha ? 32 : 24;
    rc = AddBrushRecord(&n, &b);
  }
  if (rc) {
    gBound.graphics->FreeBitmapSet(&n.bitmap, &n.mask, &n.alpha);
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
  const uint32_t pens = static_cast<uint32_t>(PenCount(target.depth));
  for (int64_t i = 0; i < count && !rc; ++i) {
    if (values[i] >= pens) rc = kErrPenRange;
  }
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
  PlaneLock l{};
  if (!rc && !LockPlane(b->chunky, true, &l)) rc = kErrLockBitmap;
  if (!rc) {
    for (int y = 0; y < height; ++y) {
      uint8_t* row = PlaneRow(l, y);
      const uint32_t* in = values + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(in[x]);
    }
    UnlockPlane(&l);
  }
  HostFree(values);
  if (rc && b) {
    // The brush was registered; without its pens it must not stay.
    FreeBrushById(L, &b->header.id, 0);
    return rc;
  }
  return rc ? rc : PushAutomaticId(L, id, b);
}

}  // namespace tzx::brush
