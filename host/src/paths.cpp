#include "paths.h"

#include <cstring>

namespace tzx::host {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || (!name.empty() && name[0] == '/')) return name;
  if (name.empty()) return dir;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

const char* PathPartOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash : path;
}

const char* FilePartOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace tzx::host
