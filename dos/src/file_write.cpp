#include "file_write.h"

#include <cmath>
#include <cstring>

#include "file_read.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {

size_t Utf8CharCount(const char* text, size_t length) {
  size_t count = 0;
  for (size_t i = 0; i < length; ++i) count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  return count;
}

size_t Utf8CharOffset(const char* text, size_t length, size_t n) {
  size_t seen = 0;
  for (size_t i = 0; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == n) return i;
  }
  return length;
}

bool TextWriteLength(const char* text, size_t length, int64_t count, int encoding,
                     size_t* bytesOut) {
  if (count <= 0) {
    *bytesOut = length;
    return count == 0;
  }
  if (encoding == kEncodingUtf8) {
    if (static_cast<uint64_t>(count) > Utf8CharCount(text, length)) return false;
    *bytesOut = Utf8CharOffset(text, length, count);
    return true;
  }
  if (static_cast<uint64_t>(count) > length) return false;
  *bytesOut = count;
  return true;
}

int64_t TruncateTo64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775807.0) return INT64_MAX;
  if (v <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(v);
}

int WriteInteger(FileHandle* h, uint64_t value, int bytes, int flags) {
  return Files().write(h, &value, kIoValue, bytes, flags, 0);
}

int WriteFloatValue(FileHandle* h, double value, int size, int flags) {
  if (size == 4) {
    float f = static_cast<float>(value);
    return Files().write(h, &f, kIoValue, 4, flags, 0);
  }
  return Files().write(h, &value, kIoValue, 8, flags, 0);
}

int WriteChar(FileHandle* h, int64_t code, bool utf8) {
  if (!utf8) {
    unsigned char byte = static_cast<unsigned char>(code);
    return Files().write(h, &byte, kIoBlock, 1, 0, 0);
  }
  char bytes[5];
  int n =
      code < 0 || code > 0xFFFFFFFF ? 0 : Host().utf8->encode(bytes, static_cast<uint32_t>(code));
  if (n == 0) return kErrRange;
  return Files().write(h, bytes, kIoBlock, n, 0, 0);
}

int WriteText(FileHandle* h, const char* text, size_t length, int64_t count, int fileEncoding,
              int requested) {
  size_t bytes;
  if (!TextWriteLength(text, length, count, requested, &bytes)) return kErrLengthExceeds;
  if (!NeedsConversion(requested, fileEncoding)) {
    return Files().write(h, text, kIoBlock, static_cast<int64_t>(bytes), 0, 0);
  }
  size_t convertedLength = 0;
  char* converted = Errors().convertText(text, requested, fileEncoding, &bytes, &convertedLength);
  if (!converted) return kErrConvert;
  int rc = Files().write(h, converted, kIoBlock, static_cast<int64_t>(convertedLength), 0, 0);
  HostFree(converted);
  return rc;
}

int WriteTextLine(FileHandle* h, const char* text, size_t length, bool unbuffered, bool crlf) {
  const char* lineEnd = crlf ? "\r\n" : "\n";
  int64_t endLength = crlf ? 2 : 1;
  if (unbuffered) {
    if (Files().writeUnbuffered(h, text, length) != static_cast<int64_t>(length)) return kErrWrite;
    return Files().writeUnbuffered(h, lineEnd, endLength) == endLength ? 0 : kErrWrite;
  }
  if (Stream().writeBytes(h, text, length) != static_cast<int64_t>(length)) return kErrWrite;
  for (int64_t i = 0; i < endLength; ++i) {
    if (Stream().putc(h, lineEnd[i]) < 0) return kErrWrite;
  }
  return 0;
}

}  // namespace tzx::dos
