// Fonts linked into the program. Such a font is stored as a header and then
// the font file: a big-endian uint32 of flags (1: an outline font, else an
// Amiga contents file; 2: a block follows, a big-endian uint32 length and
// that many bytes), then the file itself. The size files a linked contents
// file names ("::linkedfont" and ":::chunk" entries) are linked without one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

struct LinkedFontHeader {
  bool outline;
  uint32_t length;  // bytes before the font file
};

// Reads the header from the first `headBytes` bytes of linked data that is
// `total` bytes long. 0, or kErrRead when the data is shorter than the
// header says.
int ReadLinkedFontHeader(const uint8_t* head, size_t headBytes, uint64_t total,
                         LinkedFontHeader* out);

// The font file of a linked font as a host virtual file whose path shows its
// kind: a contents file's ends in ".font", an outline file's does not.
// 0, -1 when the name is not linked, kErrRead, kErrOpenRead or kErrNoMemory.
int OpenLinkedFont(const char* name, char* path, size_t pathSize);

// A linked size file as a host virtual file; false when no file of that
// name (`length` bytes) is linked.
bool LinkedSizeFile(const char* name, int length, char* path, size_t pathSize);

}  // namespace tzx::text
