// GetBrushLink and ConvertToBrush: brushes made from other objects through
// the ConvertObjectToBrush slot.
#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "slots.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

int Convert(lua_State* L, const ConvertRequest& r) {
  ObjectId made{};
  if (int rc = ConvertObjectToBrush(L, &r, &made)) return rc;
  if (!r.id.pointer) return 0;
  Args().pushObjectId(L, made);
  return 1;
}

// The source's identifier; layers name theirs through the layers library.
int ReadSource(lua_State* L, int type, int n, ObjectId* out) {
  if (type != kConvertLayer) {
    *out = Args().objectId(L, n);
    return 0;
  }
  if (!gBound.layers || !gBound.layers->readLayerId) {
    return ErrorWithString(kErrSiblingAbsent, "layers");
  }
  return gBound.layers->readLayerId(L, n, out);
}

}  // namespace

// GetBrushLink(id, sourceType, sourceId[, frame = 1])
int GetBrushLink(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  ConvertRequest r{};
  r.id = Args().newObjectId(L, 1);
  r.sourceType = Lua().checkinteger(L, 2);
  if (int rc = ReadSource(L, r.sourceType, 3, &r.sourceId)) return rc;
  r.frame = Lua().optinteger(L, 4, 1);
  return Convert(L, r);
}

// ConvertToBrush(sourceType, sourceId, id[, frame = 1[, selected = 0]]) or
// ConvertToBrush(sourceType, sourceId, id, table)
int ConvertToBrush(lua_State* L) {
  L = Args().beginCommand(L, 3, 5, 0, 0);
  ConvertRequest r{};
  r.sourceType = Lua().checkinteger(L, 1);
  if (int rc = ReadSource(L, r.sourceType, 2, &r.sourceId)) return rc;
  r.id = Args().newObjectId(L, 3);
  r.frame = 1;
  if (IsTableArg(L, 4)) {
    const ArgumentServices& args = Args();
    args.fieldInt(L, 4, "frame", &r.frame);
    args.fieldBool(L, 4, "selected", &r.selected);
    args.fieldBool(L, 4, "vector", &r.vector);
  } else {
    r.frame = Lua().optinteger(L, 4, 1);
    r.selected = Lua().optinteger(L, 5, 0);
  }
  return Convert(L, r);
}

}  // namespace tzx::brush
