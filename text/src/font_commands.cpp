// Font commands: argument reading and results; the work is in fonts.cpp,
// font_handles.cpp and font_discovery.cpp.
#include "bindings.h"
#include "brush_fonts.h"
#include "commands.h"
#include "font_discovery.h"
#include "font_handles.h"
#include "fonts.h"
#include "print_glue.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"
#include "tzx/objects.h"
#include "tzx/text_constants.h"

namespace tzx::text {

namespace {

// What a font request's options hold.
struct FontOptions {
  int engine = kFontengineNative;
  int cache = 1;
  int usePoints = 0;
  int charmap = kCharmapDefault;
  char loaders[256] = "";
  char adapter[256] = "";
};

void ReadFontOptions(lua_State* L, int n, FontOptions* o) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return;
  Lua().checktable(L, n);
  const ArgumentServices& a = Args();
  int32_t v;
  if (a.fieldInt(L, n, "engine", &v)) o->engine = v;
  if (a.fieldBool(L, n, "cache", &v)) o->cache = v != 0;
  if (a.fieldBool(L, n, "usepoints", &v)) o->usePoints = v != 0;
  if (a.fieldInt(L, n, "charmap", &v)) o->charmap = v;
  a.fieldString(L, n, "loader", o->loaders, sizeof o->loaders);
  a.fieldString(L, n, "adapter", o->adapter, sizeof o->adapter);
}

// Reads name, size and options at `first`, then opens the font.
int OpenFromArguments(lua_State* L, int first, FontRecord** out) {
  char name[1024];
  Host().runtime->strlcpy(name, sizeof name, Lua().checklstring(L, first, nullptr));
  const int size = Lua().checkinteger(L, first + 1);
  FontOptions o;
  ReadFontOptions(L, first + 2, &o);
  int linked = 0;
  Memory().linkedArgument(L, first, &linked, 0);
  const FontRequest request{name,      size,      o.engine,  o.cache, o.usePoints,
                            o.charmap, o.loaders, o.adapter, linked};
  return OpenFontByName(request, out);
}

// A character argument: a number is the code, a string its first byte.
uint32_t CharacterArgument(lua_State* L, int n) {
  if (Lua().type(L, n) == kLuaNumber) return static_cast<uint32_t>(Lua().checkinteger(L, n));
  size_t length;
  const char* s = Lua().checklstring(L, n, &length);
  return length ? static_cast<uint8_t>(s[0]) : 0;
}

}  // namespace

// SetFont(name, size[, options])
int SetFont(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  FontRecord* font;
  if (int e = OpenFromArguments(L, 1, &font)) return e;
  MakeFontCurrent(font);
  return 0;
}

// OpenFont(id, name, size[, options])
int OpenFont(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  const ObjectId id = Args().newObjectId(L, 1);
  const bool automatic = Lua().type(L, 1) == kLuaNil;
  FontRecord* font;
  if (int e = OpenFromArguments(L, 2, &font)) return e;
  auto* h = AllocRecord<FontHandle>();
  if (!h) return kErrNoMemory;
  // A number already in use names the new font from now on.
  if (!automatic) {
    if (auto* old = reinterpret_cast<FontHandle*>(FindObject(gFontList, id)))
      FreeFontHandle(L, old);
  }
  h->font = font;
  AssignObjectId(&h->header, kTypeFont, id);
  AppendObject(&gFontList, &h->header);
  if (!automatic) return 0;
  Args().pushObjectId(L, h->header.id);
  return 1;
}

// CloseFont(id)
int CloseFont(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  FontHandle* h = nullptr;
  if (int e = FindHandle(id, &h)) return e;
  FreeFontHandle(L, h);
  return 0;
}

// UseFont(id)
int UseFont(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  FontHandle* h = nullptr;
  if (int e = FindHandle(id, &h)) return e;
  MakeFontCurrent(h->font);
  return 0;
}

// CreateFont(id, brush, characters, cellwidth, cellheight, perrow[, options])
int CreateFont(lua_State* L) {
  L = Args().beginCommand(L, 6, 7, 0, 0);
  const LuaApi& lua = Lua();
  const ObjectId id = Args().newObjectId(L, 1);
  const bool automatic = lua.type(L, 1) == kLuaNil;
  const ObjectId brushId = Args().objectId(L, 2);
  size_t count;
  const char* characters = lua.checklstring(L, 3, &count);
  const int cellWidth = lua.checkinteger(L, 4);
  const int cellHeight = lua.checkinteger(L, 5);
  const int perRow = lua.checkinteger(L, 6);
  int32_t colSpacing = 0, rowSpacing = 0, ascender = cellHeight - 1;
  char name[1024] = "Font";
  int32_t widths[1024];
  if (count < 1 || count > 1023 || cellWidth < 1 || cellHeight < 1 || perRow < 1) return kErrRange;
  for (size_t i = 0; i < count; ++i) widths[i] = cellWidth;
  if (lua.gettop(L) >= 7 && lua.type(L, 7) != kLuaNil) {
    lua.checktable(L, 7);
    const ArgumentServices& a = Args();
    a.fieldInt(L, 7, "colspacing", &colSpacing);
    a.fieldInt(L, 7, "rowspacing", &rowSpacing);
    a.fieldInt(L, 7, "ascender", &ascender);
    a.fieldString(L, 7, "name", name, sizeof name);
    const int type = a.fieldByKey(L, 7, "charwidth");  // pushed
    if (type != kLuaNil && type != kLuaTable) return kErrNotTable;
    for (size_t i = 0; type == kLuaTable && i < count; ++i) {
      lua.rawgeti(L, -1, static_cast<int>(i));
      if (lua.type(L, -1) == kLuaNumber) widths[i] = static_cast<int32_t>(lua.tonumber(L, -1));
      lua.settop(L, -2);
      if (widths[i] < 0) return kErrRange;
    }
    lua.settop(L, -2);
  }
  auto* brush = gBound.brush;
  if (!brush || !brush->FindBrush) return ErrorWithString(kErrSiblingAbsent, "brush");
  // The brush is looked up after every argument is read, and copied at once.
  brush::BrushRecord* record = nullptr;
  if (int e = brush->FindBrush(L, &brushId, &record, graphics::kFindForDraw)) return e;
  const BrushFontRequest request{characters, static_cast<int>(count),
                                 cellWidth,  cellHeight,
                                 perRow,     colSpacing,
                                 rowSpacing, ascender,
                                 name,       widths};
  FontRecord* font;
  if (int e = BuildBrushFont(*reinterpret_cast<const graphics::BrushRecordHead*>(record), request,
                             &font))
    return e;
  auto* h = AllocRecord<FontHandle>();
  if (!h) {
    FreeBrushFont(font);
    return kErrNoMemory;
  }
  if (!automatic) {
    if (auto* old = reinterpret_cast<FontHandle*>(FindObject(gFontList, id)))
      FreeFontHandle(L, old);
  }
  h->font = font;
  h->ownsFont = 1;
  AssignObjectId(&h->header, kTypeFont, id);
  AppendObject(&gFontList, &h->header);
  if (!automatic) return 0;
  Args().pushObjectId(L, h->header.id);
  return 1;
}

// GetAvailableFonts()
int GetAvailableFonts(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  const AvailableFont* list;
  if (int e = RebuildAvailableFontsForListing(&list)) return e;
  const LuaApi& lua = Lua();
  lua.newtable(L);
  int i = 0;
  for (const AvailableFont* f = list; f; f = f->next, ++i) {
    lua.newtable(L);
    Args().setStringField(L, "name", f->name);
    Args().setStringField(L, "family", f->family);
    lua.pushstring(L, "bitmap");
    lua.pushboolean(L, f->bitmap);
    lua.rawset(L, -3);
    Args().setIntField(L, "weight", f->weight);
    Args().setIntField(L, "slant", f->slant);
    lua.pushstring(L, "sizes");
    lua.newtable(L);
    for (int s = 0; s < f->sizeCount; ++s) {
      lua.pushnumber(L, f->sizes[s]);
      lua.rawseti(L, -2, s);
    }
    lua.rawset(L, -3);
    lua.rawseti(L, -2, i);
  }
  return 1;
}

// AddFontPath(directory)
int AddFontPathCommand(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  char folder[1024];
  Host().runtime->strlcpy(folder, sizeof folder, Lua().checklstring(L, 1, nullptr));
  return AddFontPath(folder);
}

// GetCharMaps()
int GetCharMaps(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  const FontRecord* font = CurrentStyle().font;
  Lua().newtable(L);
  for (int i = 0; font && i < font->charmapCount; ++i) {
    Lua().pushnumber(L, font->charmapCodes[i]);
    Lua().rawseti(L, -2, i);
  }
  return 1;
}

// GetKerningPair(first, second[, fontunits])
int GetKerningPair(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const uint32_t first = CharacterArgument(L, 1);
  const uint32_t second = CharacterArgument(L, 2);
  const int units = Lua().optinteger(L, 3, 0);
  if (units != 0 && units != 1) return kErrZeroOrOne;
  FontRecord* font = CurrentStyle().font;
  Lua().pushnumber(L, font ? FontKerningPair(font, first, second, units) : 0);
  return 1;
}

// FreeGlyphCache([id])
int FreeGlyphCacheCommand(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  if (Lua().gettop(L) < 1 || Lua().type(L, 1) == kLuaBoolean || Lua().type(L, 1) == kLuaNil) {
    FreeAllGlyphCaches();
    return 0;
  }
  const ObjectId id = Args().objectId(L, 1);
  FontHandle* h = nullptr;
  if (int e = FindHandle(id, &h)) return e;
  FreeGlyphCache(h->font);
  return 0;
}

}  // namespace tzx::text
