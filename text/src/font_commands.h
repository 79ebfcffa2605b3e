// Script commands of fonts, and the FONT object list.
#pragma once

#include "font_record.h"
#include "tzx/text.h"
#include "tzx/types.h"

namespace tzx::text {

extern ObjectHeader* gFontList;

int SetFont(lua_State* L);
int OpenFont(lua_State* L);
int CloseFont(lua_State* L);
int UseFont(lua_State* L);
int CreateFont(lua_State* L);
int GetAvailableFonts(lua_State* L);
int AddFontPathCommand(lua_State* L);
int GetCharMaps(lua_State* L);
int GetKerningPair(lua_State* L);
int FreeGlyphCacheCommand(lua_State* L);

// The handle of an id: 1041, or 1334 with the number.
int FindHandle(const ObjectId& id, FontHandle** out);

// The attribute callback of "Fonts".
int GetFontAttribute(lua_State* L, int attribute, const ObjectId* id);
// Pushes an ATTRFONT... attribute of the font; 1, or 1080 for another id.
int PushFontAttribute(lua_State* L, int attribute, const FontRecord* font);

// Library start and close: topaz, FreeType, and everything fonts own.
int StartFonts();
void CloseFontObjects(lua_State* L);

}  // namespace tzx::text
