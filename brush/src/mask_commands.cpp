// The transparency commands of true-colour brushes: DeleteMask,
// DeleteAlphaChannel, SetBrushTransparency and ChangeBrushTransparency.
#include "commands.h"
#include "glue.h"
#include "masks.h"
#include "tzx/brush_constants.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

int FindTrueColor(lua_State* L, int n, BrushRecord** out) {
  ObjectId id = Args().objectId(L, n);
  return FindBrushToChange(L, id, kFindChangeTrueColor, out);
}

}  // namespace

// DeleteMask(id)
int DeleteMask(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  BrushRecord* b = nullptr;
  if (int rc = FindTrueColor(L, 1, &b)) return rc;
  DeleteBrushMask(b);
  return 0;
}

// DeleteAlphaChannel(id)
int DeleteAlphaChannel(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  BrushRecord* b = nullptr;
  if (int rc = FindTrueColor(L, 1, &b)) return rc;
  DeleteBrushAlpha(b);
  return 0;
}

// SetBrushTransparency(id, color): NOTRANSPARENCY makes the brush opaque.
int SetBrushTransparency(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const uint32_t color = ColorArg(L, 2);
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangeTrueColor, &b)) return rc;
  return SetTransparentColor(b, color);
}

// ChangeBrushTransparency(id, NONE | MASK | ALPHACHANNEL)
int ChangeBrushTransparency(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int kind = Lua().checkinteger(L, 2);
  if (kind != kNone && kind != kMask && kind != kAlphachannel) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangeTrueColor, &b)) return rc;
  return ChangeTransparency(b, kind);
}

}  // namespace tzx::brush
