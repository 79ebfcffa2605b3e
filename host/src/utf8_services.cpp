// UTF-8 services and wide-character conversion for the libraries.
#include <cstring>
#include <string>

#include "services.h"
#include "text_codec.h"

namespace tzx::host {
namespace {

int IsValid(const char* bytes, size_t length) {
  return Utf8Valid(bytes, length);
}

int Encode(char* buffer, uint32_t codePoint) {
  int n = Utf8Encode(buffer, codePoint);
  buffer[n] = 0;
  return n;
}

int Decode(const char* bytes, uint32_t* codePoint) {
  // Only the bytes the lead byte announces are read, and a cut-short
  // sequence stops at its NUL: the text after the sequence may end anywhere.
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const size_t want = (lead & 0xF8) == 0xF0   ? 4
                      : (lead & 0xF0) == 0xE0 ? 3
                      : (lead & 0xE0) == 0xC0 ? 2
                                              : 1;
  size_t available = 0;
  while (available < want && bytes[available]) ++available;
  return Utf8Decode(bytes, available, codePoint);
}

size_t Offset(const char* text, size_t n) {
  return Utf8Offset(text, std::strlen(text), n);
}

// Control characters other than tab are not typed into text input.
int Accept(uint32_t c) {
  return c == '\t' || (c >= 0x20 && c != 0x7F && c <= 0x10FFFF);
}

uint16_t* ToUtf16(const char* text, int encoding) {
  std::string utf8;
  if (!ConvertText(text, std::strlen(text), encoding, 1, &utf8)) return nullptr;
  std::u16string wide;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t c;
    int n = Utf8Decode(utf8.data() + i, utf8.size() - i, &c);
    i += n;
    if (c >= 0x10000) {
      c -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(c));
    }
  }
  auto* out = static_cast<uint16_t*>(kMemory.alloc((wide.size() + 1) * 2, 0));
  if (!out) return nullptr;
  std::memcpy(out, wide.data(), wide.size() * 2);
  out[wide.size()] = 0;
  return out;
}

char* FromUtf16(const uint16_t* text, int encoding) {
  std::string utf8;
  for (size_t i = 0; text[i]; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    char buf[4];
    int n = Utf8Encode(buf, c);
    if (n == 0) return nullptr;
    utf8.append(buf, n);
  }
  std::string out;
  if (!ConvertText(utf8.data(), utf8.size(), 1, encoding, &out)) return nullptr;
  auto* copy = static_cast<char*>(kMemory.alloc(out.size() + 1, 0));
  if (!copy) return nullptr;
  std::memcpy(copy, out.c_str(), out.size() + 1);
  return copy;
}

}  // namespace

const Utf8Services kUtf8 = {IsValid, Encode, Decode, Offset, Accept};
const CharConversion kChars = {ToUtf16, FromUtf16};

}  // namespace tzx::host
