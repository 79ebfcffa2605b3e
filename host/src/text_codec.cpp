#include "text_codec.h"

namespace tzx::host {

int Utf8Encode(char* out, uint32_t c) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c >= 0xD800 && c <= 0xDFFF) return 0;
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  if (c <= 0x10FFFF) {
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
  }
  return 0;
}

int Utf8Decode(const char* bytes, size_t available, uint32_t* codePoint) {
  if (available == 0) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  unsigned char lead = s[0];
  int length;
  uint32_t c;
  uint32_t minimum;
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (available < static_cast<size_t>(length)) return 0;
  for (int i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (s[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past the last plane are not UTF-8.
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *codePoint = c;
  return length;
}

bool Utf8Valid(const char* bytes, size_t length) {
  size_t i = 0;
  while (i < length) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    uint32_t c;
    int n = Utf8Decode(bytes + i, length - i, &c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

size_t Utf8Offset(const char* text, size_t length, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < length; ++k) {
    uint32_t c;
    int step = Utf8Decode(text + i, length - i, &c);
    i += step ? step : 1;  // an invalid byte counts as one character
  }
  return i < length ? i : length;
}

namespace {

bool Convert(const char* source, size_t length, int from, int to, std::string* out) {
  if (from == to) {
    if (from == 1 && !Utf8Valid(source, length)) return false;
    out->assign(source, length);
    return true;
  }
  if (from == 0 && to == 1) {
    out->reserve(length + length / 4);
    for (size_t i = 0; i < length; ++i) {
      char buf[4];
      int n = Utf8Encode(buf, static_cast<unsigned char>(source[i]));
      out->append(buf, n);
    }
    return true;
  }
  if (from == 1 && to == 0) {
    out->reserve(length);
    size_t i = 0;
    while (i < length) {
      uint32_t c;
      int n = Utf8Decode(source + i, length - i, &c);
      if (n == 0 || c > 0xFF) return false;
      out->push_back(static_cast<char>(c));
      i += n;
    }
    return true;
  }
  return false;
}

}  // namespace

// Converts into a fresh string, so the source may be the output's own bytes.
bool ConvertText(const char* source, size_t length, int from, int to, std::string* out) {
  std::string result;
  if (!Convert(source, length, from, to, &result)) return false;
  out->swap(result);
  return true;
}

}  // namespace tzx::host
