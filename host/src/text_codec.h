// Pure text conversions between ISO 8859-1 and UTF-8, and UTF-8 helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tzx::host {

bool Utf8Valid(const char* bytes, size_t length);
// Writes up to four bytes; returns the count, 0 for surrogates and values above
// U+10FFFF.
int Utf8Encode(char* out, uint32_t codePoint);
// Decodes one character of at most `available` bytes; returns its length, 0 when
// the sequence is invalid or cut short.
int Utf8Decode(const char* bytes, size_t available, uint32_t* codePoint);
// Byte offset of the n-th character (counting from 0); the length when the text
// has fewer characters.
size_t Utf8Offset(const char* text, size_t length, size_t n);

// Encodings: 0 ISO 8859-1, 1 UTF-8. False when the source is not valid in its
// encoding or a character has no ISO 8859-1 form.
bool ConvertText(const char* source, size_t length, int from, int to, std::string* out);

}  // namespace tzx::host
