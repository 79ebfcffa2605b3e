// The reading rules of script files as plain functions over a host file handle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/host.h"

namespace tzx::dos {

// The UTF-8 byte-order mark.
inline constexpr unsigned char kByteOrderMark[3] = {0xEF, 0xBB, 0xBF};

// --- Pure rules -------------------------------------------------------------

// The value of a `bytes`-wide integer whose bytes are already in native order.
double DecodeInteger(uint64_t raw, int bytes, bool isSigned);

// Length of the UTF-8 sequence that `lead` starts: 2, 3 or 4 for the multi-byte
// lead patterns, else 1 (so a stray continuation byte reads as one, invalid,
// character).
int Utf8SequenceLength(unsigned char lead);

// Index of the first CR or LF in `p`, or `n` when there is none.
size_t FindLineBreak(const char* p, size_t n);

// How the text reader gets a string: raw bytes or UTF-8 characters, and which
// conversion follows. kEncodingNone on either side means no conversion.
struct TextReadPlan {
  bool characters;  // read UTF-8 characters, else raw bytes
  int convertFrom;
  int convertTo;
};
TextReadPlan PlanTextRead(int64_t length, int fileEncoding, int requested);

// A conversion is due when both encodings are set and they differ.
bool NeedsConversion(int from, int to);

// --- Reads over a host handle -----------------------------------------------

// `bytes` of 1, 2, 4 or 8 in the byte order of `flags`; 0 or the host's error.
int ReadInteger(FileHandle* h, int bytes, int flags, bool isSigned, double* out);
// IEEE single (size 4) or double (size 8).
int ReadFloatValue(FileHandle* h, int size, int flags, double* out);

// One UTF-8 character, its bytes (`bytes`, `*length`) and its code point. A
// byte-order mark is skipped. Returns 0, a host read error, kErrUtf8 for an
// invalid sequence, or kEndAfterMark when a mark was the last thing in the file.
inline constexpr int kEndAfterMark = -1;
int ReadUtf8Char(FileHandle* h, char bytes[4], int* length, uint32_t* codePoint);

// The text reader of ReadString and ReadBytes: pushes the string, or returns an
// error code with nothing pushed. `length` 0 reads to the end.
int ReadText(lua_State* L, FileHandle* h, int64_t length, int fileEncoding, int requested);

// Pins the file the handle belongs to for the rest of the command. A line
// read calls it before the first step that may run script code (an
// interpreter allocation can run finalizers) while it still uses the handle,
// so that the usual line, found in the host's buffer and copied out, pays no
// pin. `pin` null: nothing to pin.
struct PinOnDemand {
  int (*pin)(lua_State* L, void* record) = nullptr;
  lua_State* L = nullptr;
  void* record = nullptr;
  int Pin() {
    if (!pin) return 0;
    int rc = pin(L, record);
    pin = nullptr;
    return rc;
  }
};

// What ended a line.
struct LineEnd {
  bool cr = false;
  bool lf = false;
};

// Collects one line into `b` by the line rules: LF ends it; a CR is not stored
// and ends it as well, taking a following LF with it. Returns 0 or an error.
//
// Byte by byte, as the rules are stated: each byte through the host's buffered
// read, or its unbuffered read when `unbuffered`; the byte after a lone CR is
// given back by seeking one byte back, or, on a stream that cannot seek
// (`canSeek` false), kept in the line after the CR rather than lost.
int CollectLineBytes(FileHandle* h, bool unbuffered, bool canSeek, LuaBuffer* b, LineEnd* end);
// The same for a handle that can seek: through the host's buffer, the line
// found there and copied once (blocks read straight into `b` when
// `unbuffered`, the position set back to just after the line end).
int CollectLineInBlocks(FileHandle* h, bool unbuffered, LuaBuffer* b, LineEnd* end,
                        PinOnDemand* pin = nullptr);

// ReadLine's rules: the line, with its end when `keepEnd`, a leading byte-order
// mark removed from UTF-8 text and converted from the file's encoding to
// `hostEncoding`. Pushes the string or returns an error code.
int ReadTextLine(lua_State* L, FileHandle* h, bool canSeek, bool unbuffered, bool keepEnd,
                 int fileEncoding, int hostEncoding, PinOnDemand* pin = nullptr);

// The whole rest of the file in one host block (HostFree) and its size; 0,
// kErrNoMemory, or kErrRead when the reads stop short of the end.
int ReadWhole(FileHandle* h, char** data, int64_t* size);

}  // namespace tzx::dos
