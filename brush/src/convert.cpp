// Brushes made from other objects: GetBrushLink, ConvertToBrush and the
// ConvertObjectToBrush slot behind both.
#include "bindings.h"
#include "commands.h"
#include "copy.h"
#include "glue.h"
#include "slots.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

// The library that holds objects of a source type other than brushes.
const char* SourceLibrary(int type, const void** binding) {
  switch (type) {
    case kConvertBgPic:
      *binding = gBound.bgpic;
      return "bgpic";
    case kConvertAnim:
      *binding = gBound.anim;
      return "anim";
    case kConvertTextObject:
      *binding = gBound.text;
      return "text";
    case kConvertLayer:
      *binding = gBound.layers;
      return "layers";
    case kConvertSprite:
      *binding = gBound.sprite;
      return "sprite";
    case kConvertVectorPath:
      *binding = gBound.vectorpath;
      return "vectorpath";
    case kConvertIcon:
      *binding = gBound.icon;
      return "icon";
    default:
      *binding = nullptr;
      return nullptr;
  }
}

int Convert(lua_State* L, const ConvertRequest& r) {
  ObjectId made{};
  if (int rc = ConvertObjectToBrush(L, &r, &made)) return rc;
  if (!r.id.pointer) return 0;
  Args().pushObjectId(L, made);
  return 1;
}

// The source's identifier; layers name theirs through the layers library.
int ReadSource(lua_State* L, int type, int n, ObjectId* out) {
  if (type == kConvertLayer && !gBound.layers) return ErrorWithString(kErrSiblingAbsent, "layers");
  *out = Args().objectId(L, n);
  return 0;
}

}  // namespace

int ConvertObjectToBrush(lua_State* L, const ConvertRequest* r, ObjectId* outId) {
  if (r->sourceType == kConvertBrush) {
    if (!r->id.pointer && !r->sourceId.pointer && r->id.number == r->sourceId.number) {
      return kErrRange;
    }
    BrushRecord* source = nullptr;
    if (int rc = FindBrush(L, &r->sourceId, &source, kFindRead)) return rc;
    BrushRecord* b = nullptr;
    if (int rc = CopyBrushTo(L, *source, r->id, r->vector != 0, &b)) return rc;
    *outId = b->header.id;
    return 0;
  }
  const void* binding = nullptr;
  const char* library = SourceLibrary(r->sourceType, &binding);
  if (!library) return kErrRange;
  if (!binding) return ErrorWithString(kErrSiblingAbsent, library);
  // This build knows no slot of that library that hands out an object's
  // planes.
  return kErrPluginUnsupported;
}

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
