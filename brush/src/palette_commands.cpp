// The pen and palette commands of palette brushes: SetBrushPen, GetBrushPen,
// SetBrushTransparentPen, SetBrushDepth, SetBrushPalette and
// RemoveBrushPalette.
#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "palettes.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

// Hands one operation on a palette brush to the palette sibling, with the
// brush's pens locked for it.
int Operate(lua_State* L, const ObjectId& id, int32_t operation, PaletteOperationArgs* args,
            bool change) {
  if (!gBound.palette) return ErrorWithString(kErrSiblingAbsent, "palette");
  BrushRecord* b = nullptr;
  int rc =
      change ? FindBrushToChange(L, id, kFindChangePixels, &b) : FindBrush(L, &id, &b, kFindRead);
  if (rc) return rc;
  if (!b->chunky || !b->palette) return kErrNoPalette;
  // The palette library reads the option table with the pens locked.
  if (int rc2 = PinBrush(L, b)) return rc2;
  return OperateOnPens(L, b, id, operation, args, change);
}

}  // namespace

// SetBrushPen(id, pen, color[, options])
int SetBrushPen(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  PaletteOperationArgs a{};
  ObjectId id = Args().objectId(L, 1);
  a.pen = Lua().checkinteger(L, 2);
  a.color = ColorArg(L, 3);
  a.optionsIndex = OptionalTable(L, 4);
  return Operate(L, id, kPaletteSetPen, &a, true);
}

// GetBrushPen(id, pen[, options])
int GetBrushPen(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  PaletteOperationArgs a{};
  ObjectId id = Args().objectId(L, 1);
  a.pen = Lua().checkinteger(L, 2);
  a.optionsIndex = OptionalTable(L, 3);
  if (int rc = Operate(L, id, kPaletteGetPen, &a, false)) return rc;
  PushColor(L, a.result);
  return 1;
}

// SetBrushTransparentPen(id, pen[, options])
int SetBrushTransparentPen(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  PaletteOperationArgs a{};
  ObjectId id = Args().objectId(L, 1);
  a.pen = Lua().checkinteger(L, 2);
  a.optionsIndex = OptionalTable(L, 3);
  return Operate(L, id, kPaletteSetTransparentPen, &a, true);
}

// SetBrushDepth(id, depth[, options])
int SetBrushDepth(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  PaletteOperationArgs a{};
  ObjectId id = Args().objectId(L, 1);
  a.depth = Lua().checkinteger(L, 2);
  a.optionsIndex = OptionalTable(L, 3);
  return Operate(L, id, kPaletteSetDepth, &a, true);
}

// SetBrushPalette(id, paletteId[, options])
int SetBrushPalette(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  PaletteOperationArgs a{};
  ObjectId id = Args().objectId(L, 1);
  a.palette = Args().objectId(L, 2);
  a.optionsIndex = OptionalTable(L, 3);
  return Operate(L, id, kPaletteSetPalette, &a, true);
}

// RemoveBrushPalette(id[, keepTransparency = true]): the pens become true
// colour; the transparent pen becomes a mask unless told otherwise.
int RemoveBrushPalette(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  bool keepTransparency = OptionalFlag(L, 2, true);
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  if (!b->chunky || !b->palette) return kErrNoPalette;
  return RemovePalette(b, keepTransparency);
}

}  // namespace tzx::brush
