// Amiga bitmap font readers: contents files and size files.
#include "amiga_fonts.h"

#include <cstring>

#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

// Every pointer of the font data counts from the first code hunk, which
// begins behind the executable's 32-byte header.
constexpr uint32_t kHunkStart = 32;

uint16_t Be16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The file position of a font-data pointer when `bytes` from it lie in the
// file; -1 otherwise.
int64_t Locate(uint32_t pointer, uint64_t bytes, size_t size) {
  const uint64_t at = static_cast<uint64_t>(pointer) + kHunkStart;
  if (at > size || bytes > size - at) return -1;
  return static_cast<int64_t>(at);
}

// Entries the file really holds, never more than it claims.
int EntryCount(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t present = (size - 4) / kContentsEntryBytes;
  const size_t claimed = Be16(data + 2);
  return static_cast<int>(claimed < present ? claimed : present);
}

bool HasBitmapSizes(int id) {
  return id == kContentsBitmap || id == kContentsTagged;
}

template <class T>
T* AllocArray(size_t count) {
  return static_cast<T*>(HostAlloc(count * sizeof(T)));
}

}  // namespace

int ContentsFileId(const uint8_t* data, size_t size) {
  return size < 2 ? -1 : Be16(data);
}

int ContentsSizes(const uint8_t* data, size_t size, uint8_t sizes[256]) {
  if (!HasBitmapSizes(ContentsFileId(data, size))) return 0;
  bool seen[256] = {};
  int n = 0;
  const int count = EntryCount(data, size);
  for (int i = 0; i < count; ++i) {
    const uint8_t ySize = static_cast<uint8_t>(Be16(data + 4 + i * kContentsEntryBytes + 256));
    if (!seen[ySize]) {
      seen[ySize] = true;
      sizes[n++] = ySize;
    }
  }
  return n;
}

bool FindContentsEntry(const uint8_t* data, size_t size, int ySize, char name[256]) {
  if (!HasBitmapSizes(ContentsFileId(data, size))) return false;
  const int count = EntryCount(data, size);
  for (int i = 0; i < count; ++i) {
    const uint8_t* entry = data + 4 + i * kContentsEntryBytes;
    if (Be16(entry + 256) != ySize) continue;
    char entryName[256];
    std::memcpy(entryName, entry, 255);
    entryName[255] = 0;
    if (std::strcmp(entryName, "::incomplete") == 0) continue;
    std::memcpy(name, entryName, 256);
    return true;
  }
  return false;
}

bool ParseEntryName(const char* name, EntryName* out) {
  int prefix = 0;
  bool cutAtSlash = false;
  if (std::strncmp(name, ":::chunk", 8) == 0) {
    prefix = 8;
  } else if (std::strncmp(name, "::linkedfont", 12) == 0) {
    prefix = 12;
    cutAtSlash = true;
  } else {
    *out = {EntryNameKind::kRelative, 0, name, static_cast<int>(std::strlen(name))};
    return true;
  }
  const char* p = name + prefix;
  long number = 0;
  while (*p >= '0' && *p <= '9' && number < 100000000) number = number * 10 + (*p++ - '0');
  if (*p != '*') return false;
  const char* linked = p + 1;
  const char* end = cutAtSlash ? std::strchr(linked, '/') : nullptr;
  const int length = end ? static_cast<int>(end - linked) : static_cast<int>(std::strlen(linked));
  *out = {EntryNameKind::kLinked, number, linked, length};
  return true;
}

void FreeAmigaFont(BitmapFontData* f) {
  HostFree(f->charLoc);
  HostFree(f->charSpace);
  HostFree(f->charKern);
  HostFree(f->strip);
  HostFree(f->chunky);
  HostFree(f->palette);
  *f = {};
}

namespace {

// Copies `count` 16-bit fields at pointer into a host-order array.
int ReadInt16Table(const uint8_t* data, size_t size, uint32_t pointer, int count, int16_t** out) {
  const int64_t at = Locate(pointer, static_cast<uint64_t>(count) * 2, size);
  if (at < 0) return -1;
  *out = AllocArray<int16_t>(count);
  if (!*out) return kErrNoMemory;
  for (int i = 0; i < count; ++i) (*out)[i] = static_cast<int16_t>(Be16(data + at + i * 2));
  return 0;
}

int ReadColorPlanes(const uint8_t* data, size_t size, BitmapFontData* f) {
  if (size < 186) return -1;
  const int depth = data[144];
  const int planePick = data[148];
  const size_t planeBytes = static_cast<size_t>(f->modulo) * f->ySize;
  // A plane the file could not hold is no font, picked or not.
  if (planeBytes > size) return -1;
  const size_t pixels = planeBytes * 8;
  f->depth = depth;
  f->chunky = AllocArray<uint8_t>(pixels ? pixels : 1);
  f->palette = AllocArray<uint32_t>(256);
  if (!f->chunky || !f->palette) return kErrNoMemory;
  int bit = 0;
  for (int k = 0; k < 8 && k < depth; ++k) {
    if (!(planePick & (1 << k))) continue;
    const int64_t at = Locate(Be32(data + 154 + k * 4), planeBytes, size);
    if (at < 0) return -1;
    const uint8_t* plane = data + at;
    for (size_t i = 0; i < pixels; ++i)
      if (plane[i >> 3] & (0x80 >> (i & 7))) f->chunky[i] |= static_cast<uint8_t>(1 << bit);
    ++bit;
  }
  const int64_t colors = Locate(Be32(data + 150), 8, size);
  if (colors < 0) return -1;
  int count = Be16(data + colors + 2);
  if (count > 256) count = 256;
  const int64_t table = Locate(Be32(data + colors + 4), static_cast<uint64_t>(count) * 2, size);
  if (table < 0) return -1;
  for (int i = 0; i < count; ++i) {
    const uint32_t rgb = Be16(data + table + i * 2);
    const uint32_t r = rgb >> 8 & 15, g = rgb >> 4 & 15, b = rgb & 15;
    f->palette[i] = (r * 17) << 16 | (g * 17) << 8 | b * 17;
  }
  f->colorCount = count;
  return 0;
}

int ReadSizeFileInto(const uint8_t* data, size_t size, BitmapFontData* f) {
  if (size < 142 || Be16(data + 50) != 0x0F80) return -1;
  f->ySize = Be16(data + 110);
  f->style = data[112];
  f->flags = data[113];
  f->xSize = Be16(data + 114);
  f->baseline = Be16(data + 116);
  f->boldSmear = Be16(data + 118);
  f->loChar = data[122];
  f->hiChar = data[123];
  f->modulo = Be16(data + 128);
  if (f->hiChar < f->loChar || f->ySize == 0) return -1;
  f->glyphCount = f->hiChar - f->loChar + 2;
  const int count = f->glyphCount;

  const int64_t loc = Locate(Be32(data + 130), static_cast<uint64_t>(count) * 4, size);
  if (loc < 0) return -1;
  f->charLoc = AllocArray<uint32_t>(count);
  if (!f->charLoc) return kErrNoMemory;
  // A glyph reaching past the strip's row would be read outside it.
  const uint32_t rowBits = static_cast<uint32_t>(f->modulo) * 8;
  for (int i = 0; i < count; ++i) {
    const uint32_t v = Be32(data + loc + i * 4);
    if ((v >> 16) + (v & 0xFFFF) > rowBits) return -1;
    f->charLoc[i] = v;
  }
  if (const uint32_t p = Be32(data + 134); p != 0) {
    if (int e = ReadInt16Table(data, size, p, count, &f->charSpace)) return e;
  }
  if (const uint32_t p = Be32(data + 138); p != 0) {
    if (int e = ReadInt16Table(data, size, p, count, &f->charKern)) return e;
  }
  if (f->style & kAmigaColorStyle) return ReadColorPlanes(data, size, f);

  const size_t stripBytes = static_cast<size_t>(f->modulo) * f->ySize;
  const int64_t strip = Locate(Be32(data + 124), stripBytes, size);
  if (strip < 0) return -1;
  f->strip = AllocArray<uint8_t>(stripBytes ? stripBytes : 1);
  if (!f->strip) return kErrNoMemory;
  std::memcpy(f->strip, data + strip, stripBytes);
  return 0;
}

}  // namespace

int ReadAmigaSizeFile(const uint8_t* data, size_t size, BitmapFontData* out) {
  *out = {};
  const int e = ReadSizeFileInto(data, size, out);
  if (e) FreeAmigaFont(out);
  return e;
}

}  // namespace tzx::text
