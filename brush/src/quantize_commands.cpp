// QuantizeBrush and RemapBrush.
#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "palettes.h"
#include "quantize.h"
#include "tzx/errors.h"

namespace tzx::brush {

// QuantizeBrush(id[, colors][, {colors, dither, palette, transparentpen,
// transparentcolor, depth}])
int QuantizeBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int32_t colors = 0;
  bool colorsGiven = false;
  int table = 0;
  if (Lua().gettop(L) >= 2 && Lua().type(L, 2) == kLuaNumber) {
    colors = Lua().checkinteger(L, 2);
    colorsGiven = true;
    table = OptionalTable(L, 3);
  } else {
    table = OptionalTable(L, 2);
  }
  int32_t dither = 0, depth = 0, pen = kNoPen;
  uint32_t transparentColor = 0;
  bool colorGiven = false, paletteGiven = false;
  ObjectId paletteId{};
  if (table) {
    if (Args().fieldInt(L, table, "colors", &colors)) colorsGiven = true;
    Args().fieldBool(L, table, "dither", &dither);
    Args().fieldInt(L, table, "depth", &depth);
    Args().fieldInt(L, table, "transparentpen", &pen);
    colorGiven = Args().fieldColor(L, table, "transparentcolor", &transparentColor);
    paletteGiven = Args().fieldObjectId(L, table, "palette", &paletteId);
  }
  // Every argument is read: from here on no script code runs.
  if (depth != 0 && (depth < 1 || depth > 8)) return kErrDepthRange;
  if (colorsGiven && (colors < 1 || colors > 256)) return kErrDepthRange;
  if (paletteGiven && (colorsGiven || depth || pen != kNoPen)) return kErrRange;
  if (colorsGiven && depth && colors > (1 << depth)) return kErrRange;
  QuantizeOptions o;
  o.colors = colorsGiven ? colors : depth ? 1 << depth : 256;
  o.depth = depth;
  o.dither = dither != 0;
  o.transparentColor = colorGiven ? static_cast<int64_t>(transparentColor & 0xFFFFFF) : -1;
  if (pen != kNoPen && (pen < 0 || pen >= o.colors)) return kErrPenRange;
  o.transparentPen = pen;
  uint32_t onto[kPaletteEntries] = {};
  if (paletteGiven) {
    PaletteTarget target{onto, 0, kNoPen, nullptr, 0, 0, 0};
    if (int rc = BuildPalette(L, &paletteId, 0, kNoPen, &target)) return rc;
    o.onto = onto;
    o.depth = target.depth;
    o.colors = 1 << target.depth;
  }
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  return QuantizeBrushPlanes(b, o);
}

// RemapBrush(id, paletteId[, {dither}])
int RemapBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  ObjectId paletteId = Args().objectId(L, 2);
  const int table = OptionalTable(L, 3);
  int32_t dither = 0;
  if (table) Args().fieldBool(L, table, "dither", &dither);
  uint32_t onto[kPaletteEntries] = {};
  PaletteTarget target{onto, 0, kNoPen, nullptr, 0, 0, 0};
  if (int rc = BuildPalette(L, &paletteId, 0, kNoPen, &target)) return rc;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  QuantizeOptions o;
  o.onto = onto;
  o.depth = target.depth;
  o.colors = 1 << target.depth;
  o.dither = dither != 0;
  return QuantizeBrushPlanes(b, o);
}

}  // namespace tzx::brush
