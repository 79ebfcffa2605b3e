#include "attributes.h"

#include "brush_records.h"
#include "glue.h"
#include "tzx/brush_constants.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

// Bytes of a colour-cycling range: rate (16-bit, little-endian), flags
// (16-bit: bit 0 active, bit 1 reverse), low pen, high pen.
void PushCycles(lua_State* L, const BrushRecord& b) {
  const LuaApi& lua = Lua();
  const ArgumentServices& args = Args();
  lua.newtable(L);
  for (int i = 0; i < b.cycleCount; ++i) {
    const uint8_t* r = b.cycles + i * kCycleBytes;
    const int flags = r[2] | r[3] << 8;
    lua.newtable(L);
    args.setIntField(L, "active", flags & 1);
    args.setIntField(L, "reverse", (flags >> 1) & 1);
    args.setIntField(L, "rate", r[0] | r[1] << 8);
    args.setIntField(L, "low", r[4]);
    args.setIntField(L, "high", r[5]);
    lua.rawseti(L, -2, i);
  }
}

void PushPalette(lua_State* L, const BrushRecord& b) {
  Lua().newtable(L);
  for (int i = 0; i < PenCount(b.depth); ++i) {
    PushColor(L, b.palette[i] & 0xFFFFFF);
    Lua().rawseti(L, -2, i);
  }
}

// Values below 0 read as their unsigned pattern: -1 is 4294967295.
void PushUnsigned(lua_State* L, int32_t v) {
  PushColor(L, static_cast<uint32_t>(v));
}

}  // namespace

int BrushAttribute(lua_State* L, int attribute, const ObjectId* id) {
  BrushRecord* b = nullptr;
  if (int rc = FindBrush(L, id, &b, kFindAttributes)) return rc;
  // Tables and strings pushed below may run finalizers.
  if (int rc = PinBrush(L, b)) return rc;
  const LuaApi& lua = Lua();
  const bool pens = IsPaletteBrush(b);
  switch (attribute) {
    case kAttrwidth:
      lua.pushnumber(L, b->width);
      break;
    case kAttrheight:
      lua.pushnumber(L, b->height);
      break;
    case kAttrtransparentcolor:
      // A mask without a key colour has no transparent colour to tell.
      PushUnsigned(L, pens || b->transparentPen == kMaskWithoutKey ? kNoPen : b->transparentPen);
      break;
    case kAttrtype:
      lua.pushnumber(L, b->kind);
      break;
    case kAttrhasmask:
      lua.pushnumber(L, b->hardware ? (b->hwFlags & kHwHasMask) != 0 : b->mask != nullptr);
      break;
    case kAttrhasalpha:
      lua.pushnumber(L, b->hardware ? (b->hwFlags & kHwHasAlpha) != 0 : b->alpha != nullptr);
      break;
    case kAttrformat:
      lua.pushstring(L, b->format);
      break;
    case kAttrhardware:
      lua.pushnumber(L, b->hardware);
      break;
    case kAttrdisplay:
      if (b->hardware) {
        Args().pushObjectId(L, b->displayId);
      } else {
        lua.pushnumber(L, -1);
      }
      break;
    case kAttrloader:
      lua.pushstring(L, b->loader ? b->loader : "");
      break;
    case kAttrdepth:
      lua.pushnumber(L, b->depth);
      break;
    case kAttrpalette:
      if (!pens || !b->palette) return kErrNoPalette;
      PushPalette(L, *b);
      break;
    case kAttrtransparentpen:
      PushUnsigned(L, pens ? b->transparentPen : kNoPen);
      break;
    case kAttrcycle:
      PushCycles(L, *b);
      break;
    default:
      return kErrUnknownAttribute;
  }
  return 1;
}

}  // namespace tzx::brush
