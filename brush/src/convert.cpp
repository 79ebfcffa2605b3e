// Brushes made from other objects: the ConvertObjectToBrush slot behind
// GetBrushLink and ConvertToBrush.
#include "bindings.h"
#include "copy.h"
#include "slots.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

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

}  // namespace tzx::brush
