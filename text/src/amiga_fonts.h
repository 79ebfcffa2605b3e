// Amiga bitmap fonts: the .font contents file and the size files it names.
// The readers take the files' bytes and hand back plain records, so they run
// without files (tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

inline constexpr int kContentsBitmap = 0x0F00;
inline constexpr int kContentsTagged = 0x0F02;
inline constexpr int kContentsOutline = 0x0F03;
inline constexpr int kContentsEntryBytes = 260;

// The file id of a contents file, -1 when the file is too short for one.
int ContentsFileId(const uint8_t* data, size_t size);

// The distinct sizes of a contents file's entries, in entry order (as bytes,
// the way listings keep them). Returns their number; 0 for 0x0F03 and for
// other ids (the caller skips those).
int ContentsSizes(const uint8_t* data, size_t size, uint8_t sizes[256]);

// The size file of the first entry of that size that is not "::incomplete".
// Only 0x0F00 and 0x0F02 files have bitmap sizes. True when one was found.
bool FindContentsEntry(const uint8_t* data, size_t size, int ySize, char name[256]);

// Where a contents entry's name points.
enum class EntryNameKind { kRelative, kLinked };
struct EntryName {
  EntryNameKind kind;
  long linkNumber;     // the decimal number after the prefix of a linked name
  const char* linked;  // the linked file's name (inside the entry name)
  int linkedLength;    // cut at the first '/' for "::linkedfont"
};
// Splits ":::chunk<n>*name" and "::linkedfont<n>*name/..." names; any other
// name is relative to the contents file's folder. False for a linked name
// without its '*'.
bool ParseEntryName(const char* name, EntryName* out);

// A size file's font: the header fields and the glyph data, in host order.
// Every pointer is a block of the host's memory service (FreeAmigaFont).
struct BitmapFontData {
  int32_t ySize;
  int32_t style;
  int32_t flags;
  int32_t xSize;
  int32_t baseline;
  int32_t boldSmear;
  int32_t loChar;
  int32_t hiChar;
  int32_t modulo;      // bytes per strip row
  int32_t glyphCount;  // hiChar - loChar + 2: the last is the glyph of undefined codes
  uint32_t* charLoc;   // bit offset << 16 | width
  int16_t* charSpace;  // null when the font has none
  int16_t* charKern;   // null when the font has none
  uint8_t* strip;      // monochrome: modulo × ySize bytes, most significant bit first
  // Colour fonts: a chunky image of modulo × 8 by ySize pens and its colours.
  uint8_t* chunky;
  int32_t depth;
  int32_t colorCount;
  uint32_t* palette;  // 256 entries, 0xRRGGBB
};

inline constexpr int kAmigaColorStyle = 0x40;

// Reads a size file. 0, or 1000 out of memory, or -1 when the file is not a
// usable font (wrong id, tables or glyph data outside the file).
int ReadAmigaSizeFile(const uint8_t* data, size_t size, BitmapFontData* out);
void FreeAmigaFont(BitmapFontData* font);

// The glyph index of a code: its place from loChar, or the last glyph for
// codes outside loChar..hiChar.
inline int AmigaGlyphIndex(const BitmapFontData& f, uint32_t code) {
  if (code < static_cast<uint32_t>(f.loChar) || code > static_cast<uint32_t>(f.hiChar))
    return f.glyphCount - 1;
  return static_cast<int>(code) - f.loChar;
}

}  // namespace tzx::text
