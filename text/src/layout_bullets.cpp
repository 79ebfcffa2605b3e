#include "layout_bullets.h"

#include <cstdio>
#include <cstring>

#include "tzx/text_constants.h"

namespace tzx::text {

namespace {

struct SymbolRow {
  int32_t kind;
  const char* outline;  // UTF-8 with outline, native and plug-in fonts
  const char* bitmap;   // UTF-8 with bitmap and brush fonts
  const char* latin1;   // 8-bit encoding
};

constexpr SymbolRow kSymbols[] = {
    {kBulletDash, "-", "-", "-"},
    {kBulletCross, "\xC3\x97", "\xC3\x97", "\xD7"},
    {kBulletCircle, "\xE2\x80\xA2", "*", "*"},
    {kBulletBox, "\xE2\x96\xAA", "\xC2\xB7", "\xB7"},
    {kBulletCheckmark, "\xE2\x9C\x93", "-", "-"},
    {kBulletArrow, "\xE2\x80\xA3", "\xC2\xBB", "\xBB"},
    {kBulletDiamond, "\xE2\x97\x86", "-", "-"},
    {kBulletHollowcircle, "\xE2\x97\xA6", "-", "-"},
};

size_t Roman(int32_t v, bool upper, char* out) {
  static constexpr struct {
    int32_t value;
    const char* digits;
  } kRoman[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                {5, "v"},    {4, "iv"},   {1, "i"}};
  size_t n = 0;
  // Thousands beyond what fits are written as a number: lists that long are
  // not read as roman numerals.
  if (v >= 40000) return static_cast<size_t>(std::snprintf(out, 16, "%d", v));
  for (const auto& r : kRoman) {
    while (v >= r.value) {
      for (const char* d = r.digits; *d; ++d)
        out[n++] = upper ? static_cast<char>(*d - 'a' + 'A') : *d;
      v -= r.value;
    }
  }
  return n;
}

size_t Letters(int32_t n, char first, char* out) {
  // "a".."z", then "aa".."zz": the letter repeats n / 26 + 1 times; very long
  // lists go on with numbers rather than run out of room.
  const int32_t times = n / 26 + 1;
  if (times > 40) return static_cast<size_t>(std::snprintf(out, 16, "%d", n + 1));
  for (int32_t i = 0; i < times; ++i) out[i] = static_cast<char>(first + n % 26);
  return static_cast<size_t>(times);
}

// Encodes a code point in UTF-8 or, in the 8-bit encoding, as one byte
// (code points above 255 become "?").
size_t EncodeChar(int32_t code, int32_t encoding, char* out) {
  const uint32_t c = static_cast<uint32_t>(code);
  if (encoding == 0) {
    out[0] = c <= 255 ? static_cast<char>(c) : '?';
    return 1;
  }
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    if (c >= 0xD800 && c <= 0xDFFF) return EncodeChar('?', encoding, out);
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  if (c > 0x10FFFF) return EncodeChar('?', encoding, out);
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

}  // namespace

size_t BulletText(int32_t kind, int32_t n, int32_t encoding, bool bitmapFont, char* out) {
  size_t length = 0;
  if (kind <= kBulletNone) return 0;
  if (kind >= 24) {
    length = EncodeChar(kind, encoding, out);
  } else if (IsNumberedBullet(kind)) {
    const int32_t group = (kind - kBulletNumeric) / 3;  // numeric, lower, upper, lroman, uroman
    const int32_t form = (kind - kBulletNumeric) % 3;   // plain ". ", single ") ", double "( ) "
    if (form == 2) out[length++] = '(';
    char* digits = out + length;
    switch (group) {
      case 0:
        length += static_cast<size_t>(std::snprintf(digits, 16, "%d", n + 1));
        break;
      case 1:
        length += Letters(n, 'a', digits);
        break;
      case 2:
        length += Letters(n, 'A', digits);
        break;
      default:
        length += Roman(n + 1, group == 4, digits);
        break;
    }
    out[length++] = form == 0 ? '.' : ')';
  } else {
    for (const SymbolRow& row : kSymbols) {
      if (row.kind != kind) continue;
      const char* s = encoding == 0 ? row.latin1 : bitmapFont ? row.bitmap : row.outline;
      length = std::strlen(s);
      std::memcpy(out, s, length);
    }
    if (length == 0) return 0;
  }
  out[length++] = ' ';
  return length;
}

}  // namespace tzx::text
