// Script commands of fonts, and the FONT object list.
#pragma once

#include "font_record.h"
#include "tzx/types.h"

namespace tzx::text {

// Font handles: {type 43, id, font}, in creation order.
struct FontHandle {
  ObjectHeader header;
  FontRecord* font;
  int32_t ownsFont;  // brush fonts belong to their handle
};
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

// The attribute callback of "Fonts".
int GetFontAttribute(lua_State* L, int attribute, const ObjectId* id);

// Library start and close: topaz, FreeType, and everything fonts own.
int StartFonts();
void CloseFontObjects(lua_State* L);

}  // namespace tzx::text
