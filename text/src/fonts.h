// Opened fonts: the sharing list, opening by name through the loaders,
// scaling, kerning, and the built-in topaz 8.
#pragma once

#include <cstdint>

#include "font_record.h"

namespace tzx::text {

struct FontRequest {
  const char* name;
  int size;
  int engine;  // FONTENGINE_: chooses the loader list when none is given
  int cache;
  int usePoints;
  int charmap;
  const char* loaders;  // "inbuilt|native|plugin" names; null or empty: from the engine
  const char* adapter;  // file adapter; may be null
};

// Builds topaz 8 and starts FreeType; topaz becomes the current font.
// 0, 1000 or 1386.
int InitFonts();
// Frees every shared font, topaz, the font paths and the available-font list,
// then FreeType.
void CloseFonts();
FontRecord* TopazFont();

// Opens or shares the font. 0, 1055, 1064 (named), 1000.
int OpenFontByName(const FontRequest& request, FontRecord** out);
// Frees a record opened outside the sharing list (brush fonts).
void FreeFontRecord(FontRecord* font);

// Scale of a scalable font; height and ascender follow.
void SetFontScale(FontRecord* font, double scaleX, double scaleY);
// Kerning between two character codes (pixels, or font units).
int FontKerningPair(FontRecord* font, uint32_t first, uint32_t second, int fontUnits);

// What ATTRFONTTYPE, ATTRFONTENGINE and ATTRFONTDEPTH report.
int FontTypeOf(const FontRecord* font);
int FontEngineOf(const FontRecord* font);
int FontDepthOf(const FontRecord* font);

// Frees the glyph cache of one font (kind 4), or of every open font.
void FreeGlyphCache(FontRecord* font);
void FreeAllGlyphCaches();

// The face record a system font (kind 3) draws a style with, and the style
// bits it still has to synthesise there.
FontRecord* SystemFontVariant(FontRecord* font, int flags, int* synthFlags);

}  // namespace tzx::text
