// The sfnt name table reader, collections, and the style words.
#include "font_names.h"

#include <strings.h>

#include <cstring>
#include <initializer_list>

namespace tzx::text {
namespace {

uint16_t Be16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

bool UsableRecord(int platform, int language) {
  if (platform == 1) return language == 0;
  if (platform == 3) {
    switch (language) {
      case 0x0409:
      case 0x0809:
      case 0x0C09:
      case 0x1009:
      case 0x1409:
      case 0x1809:
      case 0x1C09:
      case 0x4009:
        return true;
      default:
        return false;
    }
  }
  return true;
}

// Keeps the string's non-zero bytes, at most 255.
void TakeName(const uint8_t* p, int length, char* out) {
  int n = 0;
  for (int i = 0; i < length && n < 255; ++i)
    if (p[i]) out[n++] = static_cast<char>(p[i]);
  out[n] = 0;
}

struct StyleWord {
  const char* word;
  int kind;
  int value;
};
constexpr StyleWord kStyleWords[] = {
    {"Thin", kStyleWeight, 0},          {"Extralight", kStyleWeight, 40},
    {"Extra-light", kStyleWeight, 40},  {"Ultralight", kStyleWeight, 40},
    {"Ultra-light", kStyleWeight, 40},  {"Light", kStyleWeight, 50},
    {"Book", kStyleWeight, 75},         {"Normal", kStyleWeight, 80},
    {"Regular", kStyleWeight, 80},      {"Medium", kStyleWeight, 100},
    {"Semibold", kStyleWeight, 180},    {"Semi-bold", kStyleWeight, 180},
    {"Semi", kStyleWeight, 180},        {"Demibold", kStyleWeight, 180},
    {"Demi-bold", kStyleWeight, 180},   {"Demi", kStyleWeight, 180},
    {"Bold", kStyleWeight, 200},        {"Extrabold", kStyleWeight, 205},
    {"Extra-bold", kStyleWeight, 205},  {"Ultrabold", kStyleWeight, 205},
    {"Ultra-bold", kStyleWeight, 205},  {"Heavy", kStyleWeight, 210},
    {"Black", kStyleWeight, 210},       {"Extrablack", kStyleWeight, 215},
    {"Extra-black", kStyleWeight, 215}, {"Ultrablack", kStyleWeight, 215},
    {"Ultra-black", kStyleWeight, 215}, {"Roman", kStyleSlant, 0},
    {"Italic", kStyleSlant, 100},       {"Oblique", kStyleSlant, 110},
};

// Calls back with each blank-separated word of the text.
template <class F>
void ForEachWord(const char* text, F&& word) {
  const char* p = text;
  while (*p) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    if (p > start) word(start, static_cast<int>(p - start));
  }
}

// Case-insensitive search of " word" in the text.
bool ContainsWord(const char* text, const char* word, int length) {
  const size_t n = std::strlen(text);
  for (size_t i = 0; i + length + 1 <= n; ++i)
    if (text[i] == ' ' && strncasecmp(text + i + 1, word, length) == 0) return true;
  return false;
}

}  // namespace

bool ReadFaceName(const uint8_t* data, size_t size, size_t faceStart, size_t tableBase,
                  FaceName* out) {
  out->family[0] = out->style[0] = 0;
  if (faceStart > size || size - faceStart < 12) return false;
  const uint8_t* face = data + faceStart;
  const uint32_t version = Be32(face);
  if (version != 0x00010000 && version != 0x4F54544F /* OTTO */ && version != 0x74727565 /* true */)
    return false;
  const int numTables = Be16(face + 4);
  if (static_cast<uint64_t>(numTables) * 16 > size - faceStart - 12) return false;
  uint64_t nameAt = 0, nameLength = 0;
  for (int i = 0; i < numTables; ++i) {
    const uint8_t* record = face + 12 + i * 16;
    if (std::memcmp(record, "name", 4) == 0) {
      nameAt = static_cast<uint64_t>(tableBase) + Be32(record + 8);
      nameLength = Be32(record + 12);
      break;
    }
  }
  if (nameAt == 0 || nameAt > size || size - nameAt < 6) return false;
  // The table's own length may be wrong; the file's end is the real limit.
  if (nameLength > size - nameAt) nameLength = size - nameAt;
  const uint8_t* table = data + nameAt;
  const int count = Be16(table + 2);
  const uint64_t storage = Be16(table + 4);
  if (6 + static_cast<uint64_t>(count) * 12 > nameLength) return false;
  bool haveFamily = false, haveStyle = false;
  for (int i = 0; i < count && !(haveFamily && haveStyle); ++i) {
    const uint8_t* r = table + 6 + i * 12;
    const int platform = Be16(r), language = Be16(r + 4), nameId = Be16(r + 6);
    const int length = Be16(r + 8);
    const uint64_t offset = storage + Be16(r + 10);
    if (nameId != 1 && nameId != 2) continue;
    if (!UsableRecord(platform, language)) continue;
    if ((nameId == 1 && haveFamily) || (nameId == 2 && haveStyle)) continue;
    if (length > 511) return false;
    if (offset > nameLength || static_cast<uint64_t>(length) > nameLength - offset) return false;
    TakeName(table + offset, length, nameId == 1 ? out->family : out->style);
    (nameId == 1 ? haveFamily : haveStyle) = true;
  }
  return haveFamily;
}

int CollectionOffsets(const uint8_t* data, size_t size, uint32_t* offsets, int capacity) {
  if (size < 12 || std::memcmp(data, "ttcf", 4) != 0) return -1;
  const uint32_t count = Be32(data + 8);
  if (count > (size - 12) / 4) return -1;
  for (uint32_t i = 0; i < count && static_cast<int>(i) < capacity; ++i)
    offsets[i] = Be32(data + 12 + i * 4);
  return static_cast<int>(count);
}

bool FindStyleWord(const char* word, int length, int* kind, int* value) {
  for (const StyleWord& w : kStyleWords) {
    if (static_cast<int>(std::strlen(w.word)) == length && strncasecmp(w.word, word, length) == 0) {
      *kind = w.kind;
      *value = w.value;
      return true;
    }
  }
  return false;
}

void StyleWeightAndSlant(const char* style, int* weight, int* slant) {
  *weight = 80;
  *slant = 0;
  ForEachWord(style, [&](const char* w, int n) {
    int kind, value;
    if (FindStyleWord(w, n, &kind, &value)) (kind == kStyleWeight ? *weight : *slant) = value;
  });
}

bool IsRegularStyle(const char* style) {
  if (!style[0]) return true;
  for (const char* w : {"regular", "plain", "normal", "book", "roman"})
    if (strcasecmp(style, w) == 0) return true;
  return false;
}

void BuildFullName(const char* family, const char* style, char* out, size_t capacity) {
  size_t n = 0;
  auto append = [&](const char* s, size_t length) {
    for (size_t i = 0; i < length && n + 1 < capacity; ++i) out[n++] = s[i];
  };
  append(family, std::strlen(family));
  ForEachWord(style, [&](const char* w, int length) {
    if (ContainsWord(family, w, length)) return;
    append(" ", 1);
    append(w, length);
  });
  out[n] = 0;
}

}  // namespace tzx::text
