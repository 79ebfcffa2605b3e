// Reading font files whole through the host.
#include "font_files.h"

#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

// Larger files are no fonts this library reads.
constexpr int64_t kLargestFontFile = 64 << 20;

}  // namespace

int ReadWholeFile(const char* path, const char* adapter, uint8_t** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  OpenOptions options;
  Files().initOpenOptions(&options);
  if (adapter && adapter[0])
    Host().runtime->strlcpy(options.adapter, sizeof options.adapter, adapter);
  FileHandle* file = Files().openFile(path, kAccessRead, &options, nullptr);
  if (!file) return ErrorWithString(kErrOpenRead, path);
  const int64_t length = Files().length(file);
  if (length < 0 || length > kLargestFontFile) {
    Stream().closeFile(file);
    return kErrRead;
  }
  auto* bytes = static_cast<uint8_t*>(HostAlloc(static_cast<size_t>(length) + 1, false));
  if (!bytes) {
    Stream().closeFile(file);
    return kErrNoMemory;
  }
  const int64_t got = length ? Files().readUnbuffered(file, bytes, length) : 0;
  Stream().closeFile(file);
  if (got != length) {
    HostFree(bytes);
    return kErrRead;
  }
  *data = bytes;
  *size = static_cast<size_t>(length);
  return 0;
}

bool FileReadable(const char* path) {
  FileHandle* file = Files().openFile(path, kAccessRead, nullptr, nullptr);
  if (!file) return false;
  Stream().closeFile(file);
  return true;
}

}  // namespace tzx::text
