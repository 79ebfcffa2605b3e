// Virtual files: names that the host's file services resolve to a region of
// another file or to string data.
#include "commands.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

constexpr size_t kPathSize = 1024;

}  // namespace

// DefineVirtualFile(filename, offset, size, virtual name): the path to open.
int DefineVirtualFile(lua_State* L) {
  L = Args().beginCommand(L, 4, 4, 0, 0);
  const char* file = Args().fileName(L, 1, 0, 0);
  uint32_t offset = Lua().checkunsigned(L, 2);
  uint32_t size = Lua().checkunsigned(L, 3);
  const char* name = Args().fileName(L, 4, 0, 0);
  if (size == 0 || !name[0]) return kErrRange;
  char path[kPathSize];
  if (int rc = Files().defineVirtualFile(file, offset, size, name, path, sizeof path)) return rc;
  Lua().pushstring(L, path);
  return 1;
}

// DefineVirtualFileFromString(string, virtual name, [number]): the path to open.
int DefineVirtualFileFromString(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  size_t length;
  const char* data = Lua().checklstring(L, 1, &length);
  const char* name = Args().fileName(L, 2, 0, 0);
  int number = Lua().optinteger(L, 3, 0);
  if (!name[0]) return kErrRange;
  char path[kPathSize];
  if (int rc = Files().defineVirtualString(data, length, name, number, path, sizeof path)) {
    return rc;
  }
  Lua().pushstring(L, path);
  return 1;
}

// UndefineVirtualStringFile(path)
int UndefineVirtualStringFile(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Args().fileName(L, 1, 0, 0);
  return Files().undefineVirtualString(path) ? kErrRange : 0;
}

}  // namespace tzx::dos
