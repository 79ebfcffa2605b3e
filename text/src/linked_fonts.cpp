#include "linked_fonts.h"

#include <algorithm>
#include <cstring>

#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

constexpr uint32_t kLinkedOutline = 1;
constexpr uint32_t kLinkedBlock = 2;
// The flags and a block's length.
constexpr size_t kLongestFixedHeader = 8;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Where a linked file's data lies; false when the name is not linked.
bool LinkedData(const char* name, char* container, size_t size, int64_t* offset, int64_t* length) {
  return Memory().linkedFileInfo(name, container, size, offset, length) != 0;
}

// The last part of a name, for the virtual file's own name.
const char* LastPart(const char* name) {
  const char* slash = std::strrchr(name, '/');
  return slash ? slash + 1 : name;
}

}  // namespace

int ReadLinkedFontHeader(const uint8_t* head, size_t headBytes, uint64_t total,
                         LinkedFontHeader* out) {
  if (headBytes < 4 || total < 4) return kErrRead;
  const uint32_t flags = BigEndian32(head);
  out->outline = (flags & kLinkedOutline) != 0;
  out->length = 4;
  if (flags & kLinkedBlock) {
    // The block's own bytes are skipped, not read: only its length matters.
    if (headBytes < 8 || total < 8 || BigEndian32(head + 4) > total - 8) return kErrRead;
    out->length = 8 + BigEndian32(head + 4);
  }
  return 0;
}

int OpenLinkedFont(const char* name, char* path, size_t pathSize) {
  char container[1024];
  int64_t offset, length;
  if (!LinkedData(name, container, sizeof container, &offset, &length)) return -1;
  FileHandle* file = Files().openFile(container, kAccessRead, nullptr, nullptr);
  if (!file) return ErrorWithString(kErrOpenRead, name);
  if (Files().seek(file, offset, kSeekBeginning) != offset) {
    Stream().closeFile(file);
    return kErrRead;
  }
  uint8_t head[kLongestFixedHeader];
  const int64_t got = Files().readUnbuffered(file, head, std::min<int64_t>(sizeof head, length));
  Stream().closeFile(file);
  LinkedFontHeader h;
  if (got < 0) return kErrRead;
  if (int e =
          ReadLinkedFontHeader(head, static_cast<size_t>(got), static_cast<uint64_t>(length), &h)) {
    return e;
  }
  // A contents file is known by its ending.
  char fileName[256];
  Host().runtime->strlcpy(fileName, sizeof fileName, LastPart(name));
  const size_t n = std::strlen(fileName);
  if (!h.outline && (n < 5 || std::strcmp(fileName + n - 5, ".font") != 0)) {
    Host().runtime->strlcat(fileName, sizeof fileName, ".font");
  }
  if (Files().defineVirtualFile(container, static_cast<uint64_t>(offset + h.length),
                                static_cast<uint64_t>(length - h.length), fileName, path,
                                pathSize)) {
    return kErrNoMemory;
  }
  return 0;
}

bool LinkedSizeFile(const char* name, int length, char* path, size_t pathSize) {
  char linked[256];
  if (length < 0 || static_cast<size_t>(length) >= sizeof linked) return false;
  std::memcpy(linked, name, static_cast<size_t>(length));
  linked[length] = 0;
  char container[1024];
  int64_t offset, size;
  if (!LinkedData(linked, container, sizeof container, &offset, &size)) return false;
  return Files().defineVirtualFile(container, static_cast<uint64_t>(offset),
                                   static_cast<uint64_t>(size), LastPart(linked), path,
                                   pathSize) == 0;
}

}  // namespace tzx::text
