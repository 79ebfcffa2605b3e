#include "path_names.h"

#include <cstring>

#include "platform/file_system.h"
#include "tzx/dos_constants.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

char gStartDirectory[kPathSize];

bool Append(char* out, size_t size, const char* text, size_t n) {
  size_t used = std::strlen(out);
  if (used + n >= size) return false;
  std::memcpy(out + used, text, n);
  out[used + n] = 0;
  return true;
}

}  // namespace

bool IsInbuiltAdapter(const char* adapter) {
  return !adapter[0] || std::strcmp(adapter, "default") == 0 ||
         std::strcmp(adapter, "inbuilt") == 0;
}

bool HostPathOf(const char* path, char* out, size_t size) {
  // The folders' numbers in the host's table of special folders.
  static constexpr struct {
    const char* name;
    int folder;
  } kFolders[] = {{kMediaDownloads, 42}, {kMediaImages, 39}, {kMediaVideos, 15}, {kMediaMusic, 13}};
  for (const auto& f : kFolders) {
    size_t n = std::strlen(f.name);
    if (std::strncmp(path, f.name, n) != 0 || (path[n] != 0 && path[n] != '/')) continue;
    return Memory().specialFolder(f.folder, out, size) &&
           Append(out, size, path + n, std::strlen(path + n));
  }
  if (std::strlen(path) >= size) return false;
  std::strcpy(out, path);
  return true;
}

bool CanonicalPath(const char* path, char* out, size_t size) {
  char work[kPathSize];
  if (!path[0] || std::strlen(path) >= sizeof work) return false;
  std::strcpy(work, path);
  // Cut components off the end until what is left exists.
  size_t keep = std::strlen(work);
  for (;;) {
    char saved = work[keep];
    work[keep] = 0;
    bool found = keep == 0 ? platform::CurrentDir(out, size) : platform::RealPath(work, out, size);
    work[keep] = saved;
    if (found) break;
    if (keep == 0) return false;
    const size_t tried = keep;
    while (keep > 0 && work[keep - 1] == '/') --keep;
    while (keep > 0 && work[keep - 1] != '/') --keep;
    if (keep == 0 && work[0] == '/') keep = 1;
    if (keep == tried) return false;
  }
  // The rest, name by name.
  const char* p = work + keep;
  while (*p) {
    while (*p == '/') ++p;
    const char* end = std::strchr(p, '/');
    size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
    if (n == 0) break;
    if (n == 2 && p[0] == '.' && p[1] == '.') {
      char* slash = std::strrchr(out, '/');
      if (slash) *(slash == out ? slash + 1 : slash) = 0;
    } else if (!(n == 1 && p[0] == '.')) {
      size_t used = std::strlen(out);
      if (!(used == 1 && out[0] == '/') && !Append(out, size, "/", 1)) return false;
      if (!Append(out, size, p, n)) return false;
    }
    p += n;
  }
  return true;
}

void RememberStartDirectory() {
  if (!platform::CurrentDir(gStartDirectory, sizeof gStartDirectory)) gStartDirectory[0] = 0;
}

const char* StartDirectory() {
  return gStartDirectory;
}

}  // namespace tzx::dos
