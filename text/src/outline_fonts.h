// The inbuilt engine: outline faces through FreeType, from the stored fonts
// (in place, no copy) or from files read through the host, with the glyph
// cache of the 8-bit codes.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "font_record.h"
#include "glyph_blend.h"
#include "tzx/host.h"

namespace tzx::text {

// One rendered glyph of the cache: coverage (8-bit) or 1-bit rows.
struct CachedGlyph {
  uint8_t* pixels;  // host block, null when the glyph has no ink
  int32_t pitch;
  int32_t width;
  int32_t rows;
  int32_t left;
  int32_t top;
  int32_t advance;  // pixels, with the font's scale
  int32_t glyphIndex;
  int32_t filled;
};

struct GlyphCache {
  CachedGlyph antialiased[256];
  CachedGlyph mono[256];
};

// Kerning of glyph pairs as they were asked for: a run asks for the same
// pairs again and again, and the face's table is searched each time.
struct KerningCache {
  static constexpr int kSlots = 1024;
  uint32_t pair[kSlots];  // left << 16 | right, plus one; 0 for an empty slot
  int32_t pixels[kSlots];
};

struct OutlineFontData {
  FT_Face face;
  FT_StreamRec stream;  // files: reads through the host handle
  FileHandle* file;
  int64_t start;
  int64_t length;
  int32_t resolutionX;
  int32_t resolutionY;
  int32_t pixelSize;
  int32_t cache;  // keep rendered glyphs
  GlyphCache* glyphCache;
  KerningCache* kerning;  // made at the first pair; null when the face has no kerning
  char fileName[1024];
  const uint8_t* memory;  // the stored font's bytes
  size_t memoryLength;
  int32_t deleteAtClose;
  char tempPath[1024];
};

// FreeType with the host's memory service. 0 or 1386.
int InitFreeType();
void DoneFreeType();

struct OutlineRequest {
  const char* name;     // a stored family, or a file
  const char* adapter;  // file adapter, may be empty
  int64_t start;        // where the face lies in the file
  int64_t length;       // 0: to the end
  int faceIndex;        // the face of a collection
  int size;
  int usePoints;
  int charmap;  // CHARMAP_ value, 0 = the face's default
  int cache;
  // Sizes name the line's cell height (system fonts) rather than the ink.
  int cellSize;
};

// Opens the face and fills the record as kind 4. 0, or -1 when this engine
// cannot open it (the next loader is tried), or 1000.
int OpenOutlineFont(const OutlineRequest& request, FontRecord* font);
void CloseOutlineFont(FontRecord* font);
void FreeGlyphCacheOf(FontRecord* font);

// A glyph ready to draw.
struct GlyphImage {
  const uint8_t* pixels;
  int32_t pitch;
  int32_t width;
  int32_t rows;
  int32_t left;
  int32_t top;
  int32_t mono;  // 1-bit rows
  int32_t advance;
  int32_t glyphIndex;
  // Instead of pixels: the glyph still as an outline in its face's slot, the
  // box above being the ink its rendering would have.
  const FT_Outline* outline;
};

// The glyph of a character code in the style's render mode (ANTIALIAS) with
// BOLD and ITALIC made by FreeType. Cached glyphs stay valid until the cache
// is freed; others until the next glyph. Where `asOutline` is set, an
// antialiased glyph that is not cached is left unrendered (`outline`) for
// DrawGlyphOutline, or for its box alone. 0 or an error code.
int OutlineGlyph(FontRecord* font, uint32_t code, int flags, GlyphImage* out,
                 bool asOutline = false);
// Renders a glyph left as an outline and draws it into the canvas, its box's
// top-left at (x, y), with the coverage FreeType's own rendering gives it but
// without a new bitmap per glyph. 0 or 1000.
int DrawGlyphOutline(GlyphCanvas* c, const GlyphImage& g, int x, int y);

// Kerning in pixels between two glyph indices, with the font's scale.
int OutlineKerning(FontRecord* font, int leftIndex, int rightIndex);
// Kerning in font units (unscaled) or pixels between two character codes.
int OutlineKerningPair(FontRecord* font, uint32_t first, uint32_t second, int fontUnits);

// The scale of a kind 4 font changed: transform, cache and ascender follow.
void ApplyOutlineScale(FontRecord* font);

}  // namespace tzx::text
