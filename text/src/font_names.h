// Naming outline font files without the outline engine: the sfnt name table,
// font collections and resource-fork fonts, and the style words that full
// names are built from.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

struct FaceName {
  char family[256];
  char style[256];
};

// Names the face whose offset table begins at faceStart; table offsets count
// from tableBase (the file's start inside collections, the face's start in a
// resource fork). False when it is no font or its name table is damaged.
bool ReadFaceName(const uint8_t* data, size_t size, size_t faceStart, size_t tableBase,
                  FaceName* out);

// The face offsets of a "ttcf" collection; the count, or -1 when the header
// is not one. At most `capacity` offsets are stored.
int CollectionOffsets(const uint8_t* data, size_t size, uint32_t* offsets, int capacity);

// Walks a resource-fork font from offset 256: a 32-bit length, then an sfnt
// of that length, until the end. Calls back with each face's place; stops at
// the first length that runs past the end.
template <class F>
void WalkResourceFonts(const uint8_t* data, size_t size, F&& face) {
  size_t at = 256;
  while (at + 4 <= size) {
    const uint32_t length = static_cast<uint32_t>(data[at]) << 24 | data[at + 1] << 16 |
                            data[at + 2] << 8 | data[at + 3];
    at += 4;
    if (length == 0 || length > size - at) return;
    face(at, static_cast<size_t>(length));
    at += length;
  }
}

enum StyleWordKind { kStyleWeight = 0, kStyleSlant = 1 };
// Looks a word up in the style-word table (case-insensitive); false when the
// word is none.
bool FindStyleWord(const char* word, int length, int* kind, int* value);

// The style's weight (80 without one) and slant (0 without one).
void StyleWeightAndSlant(const char* style, int* weight, int* slant);

// "regular", "plain", "normal", "book", "roman" or no style at all.
bool IsRegularStyle(const char* style);

// The full name: the family, then " " and each word of the style that the
// family does not contain already (case-insensitive " word").
void BuildFullName(const char* family, const char* style, char* out, size_t capacity);

}  // namespace tzx::text
