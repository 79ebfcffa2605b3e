// The font record: one per distinct opened font, shared by every handle and
// by the current font of the text style. Records live until the library
// closes; handles and the text style only point to them.
#pragma once

#include <cstdint>

namespace tzx::text {

// What a record is; ATTRFONTTYPE reports it through FontTypeOf.
enum FontKind : int32_t {
  kFontBitmap = 1,   // monochrome bitmap font: Amiga .font and the built-in topaz 8
  kFontColor = 2,    // colour bitmap font (Amiga colour font)
  kFontSystem = 3,   // native outline font: a system face found by family name
  kFontOutline = 4,  // outline font of the inbuilt engine
  kFontBrush = 5,    // brush font made by CreateFont
  kFontPlugin = 6,   // font of a host font-loader plug-in
};

// The engine word of a record: null for the inbuilt engine, this marker for
// the native engine, else the plug-in's function table.
inline const void* const kNativeEngine = reinterpret_cast<const void*>(1);

struct OpenFontEntry;
struct AttachedNode;

struct FontRecord {
  char name[1024];     // family (and style), or the name as asked for bitmap and brush fonts
  int32_t size;        // as the script asked
  int32_t height;      // line height in pixels
  int32_t ascender;    // top of a line to its baseline; descender = height - ascender
  int32_t baseHeight;  // height and ascender at open; SetFontScale starts from them
  int32_t baseAscender;
  int32_t kind;  // FontKind
  int32_t scalable;
  int32_t antialias;  // glyphs come as 8-bit coverage
  int32_t pluginDepth;
  int32_t usePoints;
  int32_t pluginFlagA;
  int32_t pluginFlagB;  // the plug-in renders whole texts itself
  int32_t charmap;      // CHARMAP_ value chosen at open
  uint8_t charmapCodes[32];
  int32_t charmapCount;
  double scaleX;  // advance multiplier of outline fonts; 1.0 at open
  double scaleY;
  const uint32_t* pluginPalette;
  int32_t pluginTransparentPen;  // -1 none
  AttachedNode* attachedNodes;
  OpenFontEntry* shareEntry;
  const void* engine;
  char format[256];  // ATTRFONTFORMAT
  void* engineData;  // the kind's own record
};

// True for the kinds whose bold and italic are real faces; the others get
// them synthesised on the run's glyph mask and measured wider.
inline bool HasOwnStyleFaces(const FontRecord* font) {
  return font->kind == kFontSystem;
}

}  // namespace tzx::text
