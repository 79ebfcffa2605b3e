// The FONT objects: the list of font handles, their lookup and attributes,
// the current font, and the fonts' start and close with the library.
#include "font_handles.h"

#include "amiga_fonts.h"
#include "bindings.h"
#include "brush_fonts.h"
#include "fonts.h"
#include "print_glue.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"
#include "tzx/objects.h"
#include "tzx/text_constants.h"

namespace tzx::text {

ObjectHeader* gFontList = nullptr;

namespace {

// Brush fonts of closed handles: the current font may still be one of them,
// so they stay until the library closes.
struct RetiredFont {
  RetiredFont* next;
  FontRecord* font;
};
RetiredFont* gRetired = nullptr;

void PushUnsigned(lua_State* L, int32_t v) {
  Lua().pushnumber(L, static_cast<double>(static_cast<uint32_t>(v)));
}

}  // namespace

void MakeFontCurrent(FontRecord* font) {
  graphics::TextStyle& style = CurrentStyle();
  style.font = font;
  style.flags = graphics::kNormal;
}

void FreeFontHandle(lua_State* L, FontHandle* h) {
  UnlinkObject(&gFontList, &h->header);
  if (h->ownsFont) {
    if (auto* r = AllocRecord<RetiredFont>()) {
      *r = {gRetired, h->font};
      gRetired = r;
    } else {
      if (CurrentStyle().font == h->font) MakeFontCurrent(TopazFont());
      FreeBrushFont(h->font);
    }
  }
  ForgetAndFree(L, &h->header);
}

int FindHandle(const ObjectId& id, FontHandle** out) {
  auto* h = reinterpret_cast<FontHandle*>(FindObject(gFontList, id));
  if (!h) return ObjectNotFound(id, kErrUnknownFont);
  *out = h;
  return 0;
}

int GetFontAttribute(lua_State* L, int attribute, const ObjectId* id) {
  const FontRecord* font = CurrentStyle().font;
  if (id) {
    FontHandle* h = nullptr;
    if (int e = FindHandle(*id, &h)) return e;
    font = h->font;
  }
  if (!font) return kErrUnknownAttribute;
  return PushFontAttribute(L, attribute, font);
}

int PushFontAttribute(lua_State* L, int attribute, const FontRecord* font) {
  const LuaApi& lua = Lua();
  switch (attribute) {
    case kAttrfontascender:
      lua.pushnumber(L, font->ascender);
      break;
    case kAttrfontdescender:
      lua.pushnumber(L, font->height - font->ascender);
      break;
    case kAttrfontname:
      lua.pushstring(L, font->name);
      break;
    case kAttrfontsize:
      lua.pushnumber(L, font->size);
      break;
    case kAttrfontscalable:
      lua.pushboolean(L, font->scalable);
      break;
    case kAttrfontaa:
      lua.pushboolean(L, font->antialias);
      break;
    case kAttrfontdepth:
      lua.pushnumber(L, FontDepthOf(font));
      break;
    case kAttrfontpalette: {
      lua.newtable(L);
      const auto* bitmap = static_cast<const BitmapFontData*>(font->engineData);
      for (int i = 0; font->kind == kFontColor && i < bitmap->colorCount; ++i) {
        lua.pushnumber(L, bitmap->palette[i]);
        lua.rawseti(L, -2, i);
      }
      break;
    }
    case kAttrfontloader:
      // Only plug-in fonts have a loader's name; the host offers none.
      lua.pushstring(L, "");
      break;
    case kAttrfonttransparentpen:
      PushUnsigned(L, FontTransparentPenOf(font));
      break;
    case kAttrfonttype:
      lua.pushnumber(L, FontTypeOf(font));
      break;
    case kAttrfontengine:
      lua.pushnumber(L, FontEngineOf(font));
      break;
    case kAttrfontcharmap:
      lua.pushnumber(L, font->charmap);
      break;
    case kAttrfontheight:
      lua.pushnumber(L, font->height);
      break;
    case kAttrfontformat:
      lua.pushstring(L, font->format);
      break;
    default:
      return kErrUnknownAttribute;
  }
  return 1;
}

int StartFonts() {
  if (int e = InitFonts()) return e;
  MakeFontCurrent(TopazFont());
  return 0;
}

void CloseFontObjects(lua_State* L) {
  while (gFontList) FreeFontHandle(L, reinterpret_cast<FontHandle*>(gFontList));
  while (RetiredFont* r = gRetired) {
    gRetired = r->next;
    FreeBrushFont(r->font);
    HostFree(r);
  }
  if (gBound.graphics) CurrentStyle().font = nullptr;
  CloseFonts();
}

}  // namespace tzx::text
