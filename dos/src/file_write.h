// The writing rules of script files as plain functions over a host file handle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/host.h"

namespace tzx::dos {

// --- Pure rules -------------------------------------------------------------

// Characters of UTF-8 text (bytes that do not continue a sequence) and the byte
// offset where the n-th character starts (the length when there are fewer).
size_t Utf8CharCount(const char* text, size_t length);
size_t Utf8CharOffset(const char* text, size_t length, size_t n);

// The bytes of `text` that a write of `count` (0: all) takes: characters when
// `encoding` is UTF-8, else bytes. False when count is larger than the text.
bool TextWriteLength(const char* text, size_t length, int64_t count, int encoding,
                     size_t* bytesOut);

// A double truncated toward zero into 64 bits, saturating outside the range
// (NaN gives 0).
int64_t TruncateTo64(double v);

// --- Writes over a host handle ----------------------------------------------

// The low `bytes` bytes of `value` in the byte order of `flags`.
int WriteInteger(FileHandle* h, uint64_t value, int bytes, int flags);
// IEEE single (size 4) or double (size 8).
int WriteFloatValue(FileHandle* h, double value, int size, int flags);
// A code point as UTF-8 (kErrRange when it has no UTF-8 form), else its low byte.
int WriteChar(FileHandle* h, int64_t code, bool utf8);

// The text writer of WriteString and WriteBytes: `text` is in the `requested`
// encoding; it is converted to the file's encoding when both are set and
// differ.
int WriteText(FileHandle* h, const char* text, size_t length, int64_t count, int fileEncoding,
              int requested);

// WriteLine's rules: the text, then CR LF (`crlf`) or LF, through the buffered or the
// unbuffered path. A short write of the text or of the line end is kErrWrite.
int WriteTextLine(FileHandle* h, const char* text, size_t length, bool unbuffered, bool crlf);

}  // namespace tzx::dos
