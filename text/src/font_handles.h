// The FONT objects: the list of font handles, their lookup and attributes,
// the current font, and the fonts' start and close with the library.
#pragma once

#include "font_record.h"
#include "tzx/text.h"
#include "tzx/types.h"

namespace tzx::text {

extern ObjectHeader* gFontList;

// The handle of an id: 1041, or 1334 with the number.
int FindHandle(const ObjectId& id, FontHandle** out);

// Unlinks and frees the handle; a brush font it owns stays until the library
// closes, since the current style may still use it.
void FreeFontHandle(lua_State* L, FontHandle* handle);

// The font the next text is drawn in, with a normal style.
void MakeFontCurrent(FontRecord* font);

// The attribute callback of "Fonts".
int GetFontAttribute(lua_State* L, int attribute, const ObjectId* id);
// Pushes an ATTRFONT... attribute of the font; 1, or 1080 for another id.
int PushFontAttribute(lua_State* L, int attribute, const FontRecord* font);

// Library start and close: topaz, FreeType, and everything fonts own.
int StartFonts();
void CloseFontObjects(lua_State* L);

}  // namespace tzx::text
