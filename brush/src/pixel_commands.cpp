// Commands on single pixels and on every pixel: ReadBrushPixel,
// WriteBrushPixel, ReplaceColors and FloodFill.
#include "commands.h"
#include "glue.h"
#include "pixels.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

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
  const int x = Lua().checkinteger(L, 2);
  const int y = Lua().checkinteger(L, 3);
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, &id, &b, kFindRead)) return rc;
  uint32_t color = 0;
  int level = 0;
  if (int rc = ReadPixelAt(*b, x, y, &color, &level)) return rc;
  PushColor(L, color);
  Lua().pushnumber(L, level);
  return 2;
}

// WriteBrushPixel(id, x, y, color[, alpha = -1]): alpha -1 is opaque.
int WriteBrushPixel(lua_State* L) {
  L = Args().beginCommand(L, 4, 5, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int x = Lua().checkinteger(L, 2);
  const int y = Lua().checkinteger(L, 3);
  const uint32_t color = ColorArg(L, 4);
  const int alpha = Lua().optinteger(L, 5, -1);
  if (alpha < -1 || alpha > 255) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  return WritePixelAt(*b, x, y, color, alpha);
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
  const int rc = ReplaceBrushColors(*b, pairs, count);
  HostFree(pairs);
  return rc;
}

// FloodFill(id, x, y, border, fill[, table]): border -1 fills the area of the
// seed's colour; any other border fills up to pixels of that colour.
int FloodFill(lua_State* L) {
  L = Args().beginCommand(L, 3, 6, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  FloodFillRequest r{};
  r.x = Lua().checkinteger(L, 2);
  r.y = Lua().checkinteger(L, 3);
  r.border = ColorArg(L, 4);
  r.fill = ColorArg(L, 5);
  if (const int table = OptionalTable(L, 6)) {
    int32_t alphaChannel = 0, colorSource = 0;
    Args().fieldBool(L, table, "alphachannel", &alphaChannel);
    Args().fieldBool(L, table, "colorsource", &colorSource);
    r.alphaChannel = alphaChannel != 0;
    r.colorSource = colorSource != 0;
  }
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  return FloodFillBrush(*b, r);
}

}  // namespace tzx::brush
