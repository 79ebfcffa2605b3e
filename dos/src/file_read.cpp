#include "file_read.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/memory.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {

static_assert(std::endian::native == std::endian::little,
              "the host hands values over in native order; this code assumes little-endian");

namespace {

// First block a line is read in; it doubles while the line goes on.
constexpr size_t kFirstLineBlock = 128;
// Below this much room the Lua buffer is emptied before the next block.
constexpr size_t kMinBufferRoom = 64;

int64_t Transfer(FileHandle* h, void* out, int64_t n, bool unbuffered) {
  return unbuffered ? Files().readUnbuffered(h, out, n) : Stream().readBytes(h, out, n);
}

int NextByte(FileHandle* h, bool unbuffered) {
  if (!unbuffered) return Stream().getc(h);
  unsigned char c;
  return Files().readUnbuffered(h, &c, 1) == 1 ? c : -1;
}

// Replaces the string at the stack top by its conversion.
int ConvertTop(lua_State* L, int from, int to) {
  size_t length;
  const char* text = Lua().tolstring(L, -1, &length);
  size_t outLength = 0;
  char* converted = Errors().convertText(text, from, to, &length, &outLength);
  if (!converted) {
    Lua().settop(L, -2);
    return kErrConvert;
  }
  Lua().pushlstring(L, converted, outLength);
  HostFree(converted);
  Lua().remove(L, -2);
  return 0;
}

// Raw bytes: `length` of them, or everything up to the end for length 0.
int ReadRaw(lua_State* L, FileHandle* h, int64_t length) {
  int64_t size = Files().length(h);
  int64_t pos = Files().seek(h, 0, kSeekCurrent);
  bool known = size >= 0 && pos >= 0;
  if (length == 0 && !known) {
    // A stream has no length: take a buffer's worth at a time until it ends.
    LuaBuffer b;
    Lua().buffinit(L, &b);
    for (;;) {
      char* dst = Lua().prepbuffer(&b);
      int64_t n = Stream().readBytes(h, dst, kLuaBufferSize);
      if (n <= 0) break;
      b.p = dst + n;
    }
    Lua().pushresult(&b);
    return 0;
  }
  if (length == 0) length = size - pos;
  if (length <= 0) {
    Lua().pushlstring(L, "", 0);
    return 0;
  }
  // Asking for more than is left fails without consuming anything.
  if (known && length > size - pos) return kErrRead;
  auto* buffer = static_cast<char*>(HostAlloc(length, false));
  if (!buffer) return kErrNoMemory;
  platform::PreferLargePages(buffer, static_cast<size_t>(length));
  int rc = Files().read(h, buffer, kIoBlock, length, 0, 0);
  if (rc == 0) Lua().pushlstring(L, buffer, length);
  HostFree(buffer);
  return rc;
}

// UTF-8 characters: `count` of them, or up to the end for count 0.
int ReadCharacters(lua_State* L, FileHandle* h, int64_t count) {
  LuaBuffer b;
  Lua().buffinit(L, &b);
  int rc = 0;
  for (int64_t i = 0; count == 0 || i < count; ++i) {
    if (count == 0 && Stream().eof(h)) break;
    char bytes[4];
    int n;
    uint32_t codePoint;
    rc = ReadUtf8Char(h, bytes, &n, &codePoint);
    if (rc == kEndAfterMark) {
      // A trailing mark ends text read to the end; a counted read falls short.
      rc = count == 0 ? 0 : kErrRead;
      break;
    }
    if (rc) break;
    Lua().addlstring(&b, bytes, n);
  }
  Lua().pushresult(&b);
  if (rc) Lua().settop(L, -2);
  return rc;
}

}  // namespace

double DecodeInteger(uint64_t raw, int bytes, bool isSigned) {
  if (bytes < 8) raw &= (uint64_t{1} << (8 * bytes)) - 1;
  if (!isSigned) return static_cast<double>(raw);
  int shift = 64 - 8 * bytes;
  return static_cast<double>(static_cast<int64_t>(raw << shift) >> shift);
}

int Utf8SequenceLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

namespace {

// From `i` on, sixteen bytes at a time, then one by one.
size_t FindLineBreakFrom(const char* p, size_t i, size_t n) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
    if (hits) return i + __builtin_ctz(hits);
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == '\n' || p[i] == '\r') return i;
  }
  return n;
}

#if defined(__x86_64__)
// One bit per byte of the 64 at `p` that is a CR or LF.
__attribute__((target("avx2"))) inline uint64_t LineBreakMask64(const char* p) {
  const __m256i lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r');
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  const auto low = static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(a, lf), _mm256_cmpeq_epi8(a, cr))));
  const auto high = static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(b, lf), _mm256_cmpeq_epi8(b, cr))));
  return low | static_cast<uint64_t>(high) << 32;
}

// 128 bytes a step, their two masks joined without a branch: a branch on
// where a line of ordinary length ends would be mispredicted for about every
// other line. Thirty-two bytes a step for the rest.
__attribute__((target("avx2,bmi"))) size_t FindLineBreakAvx2(const char* p, size_t n) {
  size_t i = 0;
  for (; i + 128 <= n; i += 128) {
    const uint64_t first = LineBreakMask64(p + i);
    const uint64_t second = LineBreakMask64(p + i + 64);
    // tzcnt gives 64 for a mask without bits: then 64 plus the second's.
    const size_t inFirst = _tzcnt_u64(first);
    const size_t at = inFirst + (-(inFirst >> 6) & _tzcnt_u64(second));
    if (at < 128) return i + at;
  }
  const __m256i lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r');
  for (; i + 32 <= n; i += 32) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    unsigned hits = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(v, lf), _mm256_cmpeq_epi8(v, cr))));
    if (hits) return i + __builtin_ctz(hits);
  }
  return FindLineBreakFrom(p, i, n);
}
#endif

}  // namespace

namespace {

size_t FindLineBreakPlain(const char* p, size_t n) {
  return FindLineBreakFrom(p, 0, n);
}

using LineBreakFinder = size_t (*)(const char* p, size_t n);

// Chosen once, when the library loads, rather than tested on every line.
LineBreakFinder ChooseLineBreakFinder() {
#if defined(__x86_64__)
  __builtin_cpu_init();  // this runs as a constructor: detection may not have run yet
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi")) return FindLineBreakAvx2;
#endif
  return FindLineBreakPlain;
}

const LineBreakFinder kFindLineBreak = ChooseLineBreakFinder();

}  // namespace

// One pass looks for both bytes, as many at a time as the processor takes.
size_t FindLineBreak(const char* p, size_t n) {
  return kFindLineBreak(p, n);
}

bool NeedsConversion(int from, int to) {
  return from != kEncodingNone && to != kEncodingNone && from != to;
}

TextReadPlan PlanTextRead(int64_t length, int fileEncoding, int requested) {
  if (length == 0 && fileEncoding == kEncodingNone) {
    return {false, kEncodingNone, kEncodingNone};
  }
  if (fileEncoding != kEncodingNone && fileEncoding != requested) {
    // The file's own encoding decides how it is read; the result is then turned
    // into what was asked for (UTF-8 for 8-bit files).
    if (fileEncoding == kEncodingUtf8) return {true, kEncodingUtf8, requested};
    return {false, fileEncoding, kEncodingUtf8};
  }
  return {requested == kEncodingUtf8, kEncodingNone, kEncodingNone};
}

int ReadInteger(FileHandle* h, int bytes, int flags, bool isSigned, double* out) {
  uint64_t raw = 0;
  if (int rc = Files().read(h, &raw, kIoValue, bytes, flags, 0)) return rc;
  *out = DecodeInteger(raw, bytes, isSigned);
  return 0;
}

int ReadFloatValue(FileHandle* h, int size, int flags, double* out) {
  if (size == 4) {
    float f;
    if (int rc = Files().read(h, &f, kIoValue, 4, flags, 0)) return rc;
    *out = f;
    return 0;
  }
  return Files().read(h, out, kIoValue, 8, flags, 0);
}

int ReadUtf8Char(FileHandle* h, char bytes[4], int* length, uint32_t* codePoint) {
  for (;;) {
    if (int rc = Files().read(h, bytes, kIoValue, 1, 0, 0)) return rc;
    int n = Utf8SequenceLength(static_cast<unsigned char>(bytes[0]));
    for (int i = 1; i < n; ++i) {
      if (int rc = Files().read(h, bytes + i, kIoValue, 1, 0, 0)) return rc;
    }
    if (n == 3 && std::memcmp(bytes, kByteOrderMark, 3) == 0) {
      if (Stream().eof(h)) return kEndAfterMark;
      continue;
    }
    if (!Host().utf8->isValid(bytes, n)) return kErrUtf8;
    char terminated[5] = {};
    std::memcpy(terminated, bytes, n);
    Host().utf8->decode(terminated, codePoint);
    *length = n;
    return 0;
  }
}

int ReadText(lua_State* L, FileHandle* h, int64_t length, int fileEncoding, int requested) {
  TextReadPlan plan = PlanTextRead(length, fileEncoding, requested);
  int rc = plan.characters ? ReadCharacters(L, h, length) : ReadRaw(L, h, length);
  if (rc) return rc;
  if (NeedsConversion(plan.convertFrom, plan.convertTo)) {
    return ConvertTop(L, plan.convertFrom, plan.convertTo);
  }
  return 0;
}

// Blocks go straight into the Lua buffer: a line's bytes are always the
// prefix before its first CR or LF, so nothing needs to be moved or dropped.
namespace {

// The line end at `i` of `n` bytes (a CR or LF there): its length, 1 or 2, with
// what it was in `end`; 0, and `end` untouched, for a CR that is the last of
// the bytes, whose successor decides.
size_t LineEndLength(const char* bytes, size_t i, size_t n, LineEnd* end) {
  if (bytes[i] == '\n') {
    end->lf = true;
    return 1;
  }
  if (i + 1 == n) return 0;
  end->cr = true;
  if (bytes[i + 1] != '\n') return 1;
  end->lf = true;
  return 2;
}

// Appends n bytes, straight into the buffer while they fit; beyond, the
// interpreter takes them, which may run script code: the file is pinned first.
int AddBytes(LuaBuffer* b, const char* bytes, size_t n, PinOnDemand* pin) {
  if (static_cast<size_t>(b->buffer + kLuaBufferSize - b->p) >= n) {
    std::memcpy(b->p, bytes, n);
    b->p += n;
    return 0;
  }
  if (pin) {
    if (int rc = pin->Pin()) return rc;
  }
  Lua().addlstring(b, bytes, n);
  return 0;
}

// The buffered reader: the line is found in the host's buffer and copied
// once; the position moves past it and its end.
int CollectLineFromBuffer(FileHandle* h, LuaBuffer* b, LineEnd* end, PinOnDemand* pin) {
  for (;;) {
    const char* bytes;
    const int64_t n = Stream().peek(h, &bytes);
    if (n <= 0) return Stream().eof(h) ? 0 : kErrRead;
    const size_t i = FindLineBreak(bytes, static_cast<size_t>(n));
    if (int rc = AddBytes(b, bytes, i, pin)) return rc;
    if (i == static_cast<size_t>(n)) {
      Stream().skip(h, n);
      continue;
    }
    if (const size_t endLength = LineEndLength(bytes, i, static_cast<size_t>(n), end)) {
      Stream().skip(h, static_cast<int64_t>(i + endLength));
      return 0;
    }
    // The CR closed the buffer: its successor decides.
    end->cr = true;
    Stream().skip(h, static_cast<int64_t>(i + 1));
    const char* next;
    if (Stream().peek(h, &next) > 0) {
      if (*next == '\n') {
        end->lf = true;
        Stream().skip(h, 1);
      }
    } else if (!Stream().eof(h)) {
      return kErrRead;
    }
    return 0;
  }
}

}  // namespace

int CollectLineInBlocks(FileHandle* h, bool unbuffered, LuaBuffer* b, LineEnd* end,
                        PinOnDemand* pin) {
  if (!unbuffered) return CollectLineFromBuffer(h, b, end, pin);
  size_t want = kFirstLineBlock;
  for (;;) {
    size_t room = b->buffer + kLuaBufferSize - b->p;
    char* dst = b->p;
    if (room < kMinBufferRoom) {
      dst = Lua().prepbuffer(b);
      room = kLuaBufferSize;
    }
    size_t ask = std::min(want, room);
    int64_t n = Transfer(h, dst, ask, unbuffered);
    size_t i = FindLineBreak(dst, n);
    b->p = dst + i;
    if (i < static_cast<size_t>(n)) {
      int64_t consumed = static_cast<int64_t>(i + LineEndLength(dst, i, n, end));
      if (consumed == static_cast<int64_t>(i)) {
        // The CR closed the block: its successor decides.
        end->cr = true;
        consumed = static_cast<int64_t>(n);
        char next;
        if (Transfer(h, &next, 1, unbuffered) == 1) {
          if (next == '\n') {
            end->lf = true;
          } else if (Files().seek(h, -1, kSeekCurrent) < 0) {
            return kErrSeek;
          }
        } else if (!Stream().eof(h)) {
          return kErrRead;
        }
      }
      int64_t excess = n - consumed;
      if (excess > 0 && Files().seek(h, -excess, kSeekCurrent) < 0) return kErrSeek;
      return 0;
    }
    if (static_cast<size_t>(n) < ask) {
      if (Stream().eof(h)) return 0;
      if (n == 0) return kErrRead;
    }
    want = std::min(want * 2, kLuaBufferSize);
  }
}

int CollectLineBytes(FileHandle* h, bool unbuffered, bool canSeek, LuaBuffer* b, LineEnd* end) {
  for (;;) {
    int c = NextByte(h, unbuffered);
    if (c == '\n') {
      end->lf = true;
      return 0;
    }
    if (end->cr && c != -1) {
      // A lone CR ends the line and leaves its successor for the next read.
      if (canSeek && Files().seek(h, -1, kSeekCurrent) >= 0) return 0;
      // A stream cannot give the byte back: keep both rather than lose one.
      BufferAddChar(b, '\r');
      end->cr = false;
    }
    if (c == '\r') {
      end->cr = true;
    } else if (c != -1) {
      BufferAddChar(b, static_cast<char>(c));
    }
    if (Stream().eof(h)) return 0;
    if (c == -1) return kErrRead;
  }
}

namespace {

// A leading byte-order mark, tested byte by byte: a call to memcmp per line
// costs more than the test.
bool StartsWithMark(const char* text, size_t length) {
  return length >= 3 && static_cast<unsigned char>(text[0]) == kByteOrderMark[0] &&
         static_cast<unsigned char>(text[1]) == kByteOrderMark[1] &&
         static_cast<unsigned char>(text[2]) == kByteOrderMark[2];
}

// The usual line: whole in the host's buffer with its LF or CR LF, and no
// longer than `room`. Copies it to `out` and moves past it and its end. False,
// with nothing consumed and `end` untouched, for any other line (a CR that
// closes the buffer, a line that goes on past it, the end of the file), which
// the general reader takes. Nothing here calls the interpreter, so the file
// needs no pin.
bool TakeBufferedLine(FileHandle* h, char* out, size_t room, size_t* length, LineEnd* end) {
  const char* bytes;
  const int64_t n = Stream().peek(h, &bytes);
  if (n <= 0) return false;
  // A line longer than `room` is not looked for past it: the general reader
  // scans it anyway.
  const size_t available = std::min(static_cast<size_t>(n), room + 1);
  const size_t i = FindLineBreak(bytes, available);
  if (i == available) return false;
  const size_t endLength = LineEndLength(bytes, i, static_cast<size_t>(n), end);
  if (!endLength) return false;
  std::memcpy(out, bytes, i);
  *length = i;
  Stream().skip(h, static_cast<int64_t>(i + endLength));
  return true;
}

// Pushes the line, without a leading mark when it is UTF-8.
void PushLineText(lua_State* L, const char* text, size_t length, bool utf8) {
  const size_t skip = utf8 && StartsWithMark(text, length) ? 3 : 0;
  Lua().pushlstring(L, text + skip, length - skip);
}

}  // namespace

int ReadTextLine(lua_State* L, FileHandle* h, bool canSeek, bool unbuffered, bool keepEnd,
                 int fileEncoding, int hostEncoding, PinOnDemand* pin) {
  const bool utf8 = fileEncoding == kEncodingUtf8 ||
                    (fileEncoding == kEncodingNone && hostEncoding == kEncodingUtf8);
  LuaBuffer b;
  LineEnd end;
  size_t length;
  if (canSeek && !unbuffered && TakeBufferedLine(h, b.buffer, kLuaBufferSize - 2, &length, &end)) {
    if (keepEnd && end.cr) b.buffer[length++] = '\r';
    if (keepEnd && end.lf) b.buffer[length++] = '\n';
    PushLineText(L, b.buffer, length, utf8);
  } else {
    // Reads in blocks or bytes hand the interpreter their buffer as it fills.
    if (pin && (unbuffered || !canSeek)) {
      if (int rc = pin->Pin()) return rc;
    }
    Lua().buffinit(L, &b);
    int rc = canSeek ? CollectLineInBlocks(h, unbuffered, &b, &end, pin)
                     : CollectLineBytes(h, unbuffered, false, &b, &end);
    if (rc) {
      Lua().pushresult(&b);
      Lua().settop(L, -2);
      return rc;
    }
    if (keepEnd && end.cr) BufferAddChar(&b, '\r');
    if (keepEnd && end.lf) BufferAddChar(&b, '\n');
    if (b.lvl == 0) {
      // The whole line is still in the buffer: push it once.
      PushLineText(L, b.buffer, static_cast<size_t>(b.p - b.buffer), utf8);
    } else {
      Lua().pushresult(&b);
      const char* line = Lua().tolstring(L, -1, &length);
      if (utf8 && StartsWithMark(line, length)) {
        Lua().pushlstring(L, line + 3, length - 3);
        Lua().remove(L, -2);
      }
    }
  }
  if (NeedsConversion(fileEncoding, hostEncoding)) return ConvertTop(L, fileEncoding, hostEncoding);
  return 0;
}

// The block is one byte larger than the known length, so the read that finds
// the end needs no second block.
int ReadWhole(FileHandle* h, char** dataOut, int64_t* sizeOut) {
  // Capacity for a file of unknown length, grown by doubling.
  constexpr int64_t kFirstCapacity = 65536;
  int64_t length = Files().length(h);
  int64_t capacity = length >= 0 ? length + 1 : kFirstCapacity;
  auto* data = static_cast<char*>(HostAlloc(capacity, false));
  if (!data) return kErrNoMemory;
  platform::PreferLargePages(data, static_cast<size_t>(capacity));
  int64_t size = 0;
  for (;;) {
    if (size == capacity) {
      auto* larger = static_cast<char*>(HostAlloc(capacity * 2, false));
      if (!larger) {
        HostFree(data);
        return kErrNoMemory;
      }
      platform::PreferLargePages(larger, static_cast<size_t>(capacity * 2));
      std::memcpy(larger, data, size);
      HostFree(data);
      data = larger;
      capacity *= 2;
    }
    int64_t n = Stream().readBytes(h, data + size, capacity - size);
    if (n <= 0) break;
    size += n;
  }
  // Stopping short of the end is a read failure, not a shorter file.
  if (!Stream().eof(h)) {
    HostFree(data);
    return kErrRead;
  }
  *dataOut = data;
  *sizeOut = size;
  return 0;
}

}  // namespace tzx::dos
