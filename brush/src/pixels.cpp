// Commands on single pixels and on every pixel: ReadBrushPixel,
// WriteBrushPixel, ReplaceColors and FloodFill.
#include "bindings.h"
#include "commands.h"
#include "flood_fill.h"
#include "glue.h"
#include "pixel_access.h"
#include "plane_lock.h"
#include "replace_colors.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

// A position with the position codes resolved against the brush.
void ResolvePosition(const BrushRecord& b, int* x, int* y) {
  *x = gBound.graphics->ResolveX(*x, 1, b.width, 0.0);
  *y = gBound.graphics->ResolveY(*y, 1, b.height, 0.0);
}

bool Inside(const BrushRecord& b, int x, int y) {
  return x >= 0 && y >= 0 && x < b.width && y < b.height;
}

bool PenInRange(const BrushRecord& b, int64_t pen) {
  return pen >= 0 && pen < PenCount(b.depth);
}

int WriteByte(BitmapHandle* plane, int x, int y, uint8_t value) {
  PlaneLock l;
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  PlaneRow(l, y)[x] = value;
  UnlockPlane(&l);
  return 0;
}

int WriteBit(BitmapHandle* plane, int x, int y, bool on) {
  PlaneLock l;
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  graphics::SetMaskBit(PlaneRow(l, y), x, on);
  UnlockPlane(&l);
  return 0;
}

// A table value as a 32-bit pattern; false for anything but a number.
bool TableValue(lua_State* L, int table, int index, bool* present, uint32_t* out) {
  *present = Args().fieldByIndex(L, table, index) != kLuaNil;
  int error = 0;
  double v = *present ? Args().stackNumber(L, -1, &error) : 0;
  Lua().settop(L, -2);
  return !error && WordOf(v, out);
}

}  // namespace

// ReadBrushPixel(id, x, y): the colour (or pen) and the alpha, mask or
// transparency; 4294967295 and -1 outside the brush.
int ReadBrushPixel(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int x = Lua().checkinteger(L, 2);
  int y = Lua().checkinteger(L, 3);
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, &id, &b, kFindRead)) return rc;
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  ResolvePosition(*b, &x, &y);
  if (!Inside(*b, x, y)) {
    PushColor(L, kNoColor);
    Lua().pushnumber(L, -1);
    return 2;
  }
  if (b->chunky) {
    const uint32_t pen = g.ReadPixel(b->chunky, x, y, 0);
    Lua().pushnumber(L, pen);
    Lua().pushnumber(L, static_cast<int32_t>(pen) == b->transparentPen ? 1 : 0);
    return 2;
  }
  PushColor(L, g.ReadPixel(b->bitmap, x, y, 0) & 0xFFFFFF);
  if (b->alpha) {
    Lua().pushnumber(L, g.ReadPixel(b->alpha, x, y, 0));
  } else if (b->mask) {
    Lua().pushnumber(L, g.ReadPixel(b->mask, x, y, 0));
  } else {
    Lua().pushnumber(L, -1);
  }
  return 2;
}

// WriteBrushPixel(id, x, y, color[, alpha = -1]): alpha -1 is opaque.
int WriteBrushPixel(lua_State* L) {
  L = Args().beginCommand(L, 4, 5, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int x = Lua().checkinteger(L, 2);
  int y = Lua().checkinteger(L, 3);
  const uint32_t color = ColorArg(L, 4);
  const int alpha = Lua().optinteger(L, 5, -1);
  if (alpha < -1 || alpha > 255) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  if (b->chunky && !PenInRange(*b, static_cast<int32_t>(color))) return kErrPenRange;
  ResolvePosition(*b, &x, &y);
  // Like the graphics library's own pixel writes, nothing lands outside.
  if (!Inside(*b, x, y)) return 0;
  if (b->chunky) return WriteByte(b->chunky, x, y, static_cast<uint8_t>(color));
  gBound.graphics->WritePixel(b->bitmap, x, y, color & 0xFFFFFF, 0);
  if (b->alpha) {
    if (int rc = WriteByte(b->alpha, x, y, static_cast<uint8_t>(alpha < 0 ? 255 : alpha)))
      return rc;
  }
  if (b->mask) return WriteBit(b->mask, x, y, alpha != 0);
  return 0;
}

// ReplaceColors(id, {old, new, old, new, ...})
int ReplaceColors(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  Lua().checktable(L, 2);
  int count = 0;
  for (;; ++count) {
    bool present;
    uint32_t from, to;
    if (!TableValue(L, 2, 2 * count, &present, &from)) return kErrRange;
    if (!present || from == kNoColor) break;
    if (!TableValue(L, 2, 2 * count + 1, &present, &to) || !present) return kErrRange;
  }
  if (count == 0) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  auto* pairs = static_cast<ColorPair*>(HostAlloc(sizeof(ColorPair) * count, false));
  if (!pairs) return kErrNoMemory;
  for (int i = 0; i < count; ++i) {
    bool present;
    TableValue(L, 2, 2 * i, &present, &pairs[i].from);
    TableValue(L, 2, 2 * i + 1, &present, &pairs[i].to);
  }
  PlaneLock l{};
  int rc = 0;
  if (b->chunky) {
    for (int i = 0; i < count && !rc; ++i) {
      if (!PenInRange(*b, pairs[i].from) || !PenInRange(*b, pairs[i].to)) rc = kErrPenRange;
    }
  }
  if (!rc && !LockPlane(b->chunky ? b->chunky : b->bitmap, true, &l)) rc = kErrLockBitmap;
  if (!rc) {
    if (!b->chunky) {
      for (int i = 0; i < count; ++i) {
        pairs[i].from = NativeColor(pairs[i].from, l.format, l.bytesPerPixel);
        pairs[i].to = NativeColor(pairs[i].to, l.format, l.bytesPerPixel);
      }
    }
    ReplacePixelColors(l.pixels, l.width, l.height, l.bytesPerRow, l.bytesPerPixel,
                       ColorBitsOf(l.format, l.bytesPerPixel), pairs, count);
    UnlockPlane(&l);
  }
  HostFree(pairs);
  return rc;
}

// FloodFill(id, x, y, border, fill[, table]): border -1 fills the area of the
// seed's colour; any other border fills up to pixels of that colour.
int FloodFill(lua_State* L) {
  L = Args().beginCommand(L, 3, 6, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int x = Lua().checkinteger(L, 2);
  int y = Lua().checkinteger(L, 3);
  const uint32_t border = ColorArg(L, 4);
  const uint32_t fill = ColorArg(L, 5);
  const int table = OptionalTable(L, 6);
  int32_t alphaChannel = 0, colorSource = 0;
  if (table) {
    Args().fieldBool(L, table, "alphachannel", &alphaChannel);
    Args().fieldBool(L, table, "colorsource", &colorSource);
  }
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  if ((alphaChannel || colorSource) && !b->alpha) return kErrRange;
  if (alphaChannel && colorSource) return kErrRange;
  ResolvePosition(*b, &x, &y);
  if (x < 0 || y < 0) return kErrNegativePosition;
  if (x >= b->width || y >= b->height) return kErrOutside;

  const bool seed = border == kNoBorder;
  BitmapHandle* plane = b->bitmap;
  if (alphaChannel) {
    if (fill > 255 || (!seed && border > 255)) return kErrPenRange;
    plane = b->alpha;
  } else if (b->chunky) {
    if (!PenInRange(*b, fill) || (!seed && !PenInRange(*b, border))) return kErrPenRange;
    plane = b->chunky;
  }
  PlaneLock l, alpha{};
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  if (colorSource && !LockPlane(b->alpha, true, &alpha)) {
    UnlockPlane(&l);
    return kErrLockBitmap;
  }
  const bool colors = plane == b->bitmap;
  FillSurface s{};
  s.pixels = l.pixels;
  s.width = b->width;
  s.height = b->height;
  s.bytesPerPixel = l.bytesPerPixel;
  s.stride = l.bytesPerRow / l.bytesPerPixel;
  s.compareMask = ColorBitsOf(l.format, l.bytesPerPixel);
  s.border = seed ? kNoBorder : colors ? NativeColor(border, l.format, l.bytesPerPixel) : border;
  s.fill = colors ? NativeColor(fill, l.format, l.bytesPerPixel) : fill;
  if (colorSource) {
    s.alpha = alpha.pixels;
    s.alphaStride = alpha.bytesPerRow;
    s.alphaValue = static_cast<uint8_t>(fill >> 24);
  }
  int rc = brush::FloodFill(s, x, y);
  UnlockPlane(&alpha);
  UnlockPlane(&l);
  return rc;
}

}  // namespace tzx::brush
