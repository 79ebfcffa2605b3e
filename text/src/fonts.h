// Opened fonts: the sharing list, opening by name through the loaders,
// scaling, kerning, and the built-in topaz 8.
#pragma once

#include <cstddef>
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
  int linked = 0;       // the name is a file linked into the program
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
// Colour and plug-in fonts' palettes (256 entries), else null.
const uint32_t* FontPaletteOf(const FontRecord* font);
// Colour bitmap fonts 0, brush and plug-in fonts their pen, others -1.
int FontTransparentPenOf(const FontRecord* font);
// The FreeType face of an outline font (a system font's regular face), or null.
void* FontFaceOf(const FontRecord* font);
// The file of an outline font and, for the stored fonts, their bytes in
// memory (address null and length 0 for files). 0, or 1055 for other kinds.
int FontSourceOf(const FontRecord* font, const char** path, const void** address, size_t* length);

// The loader list of an engine when a request names none.
const char* DefaultLoaders(int engine);
// Calls fn for topaz and every shared font.
void ForEachOpenFont(void (*fn)(FontRecord* font, void* context), void* context);

// Frees the glyph cache of one font (kind 4), or of every open font.
void FreeGlyphCache(FontRecord* font);
void FreeAllGlyphCaches();

// The face record a system font (kind 3) draws a style with, and the style
// bits it still has to synthesise there.
FontRecord* SystemFontVariant(FontRecord* font, int flags, int* synthFlags);

}  // namespace tzx::text
