// Paths: examining, taking apart, joining, canonical forms, the working
// directory and the special folders.
#include <cstring>

#include "commands.h"
#include "path_names.h"
#include "platform/file_system.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// The adapter named by an options table at `n`, when one is given; only the
// inbuilt handler serves the working directory.
bool InbuiltAdapterArgument(lua_State* L, int n) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return true;
  Lua().checktable(L, n);
  char adapter[256] = "";
  Args().fieldString(L, n, "adapter", adapter, sizeof adapter);
  return IsInbuiltAdapter(adapter);
}

}  // namespace

// Exists(path): 1 or 0.
int Exists(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  ExamineInfo info;
  Lua().pushnumber(L, path[0] && Files().examinePath(path, &info, 1) ? 1 : 0);
  return 1;
}

// FileSize(path): -1 for a directory or a path that does not exist.
int FileSize(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  ExamineInfo info;
  bool file = path[0] && Files().examinePath(path, &info, 1) && info.type == 0;
  Lua().pushnumber(L, file ? static_cast<double>(info.size) : -1);
  return 1;
}

// IsDirectory(path)
int IsDirectory(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  ExamineInfo info;
  if (!path[0] || !Files().examinePath(path, &info, 1)) return ErrorWithString(kErrNoInfo, path);
  Lua().pushnumber(L, info.type ? 1 : 0);
  return 1;
}

// PathPart(path): up to and with the separator before the file part.
int PathPart(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  if (Memory().pathCheck(path)) return kErrRange;
  Lua().pushlstring(L, path, Stream().filePart(path) - path);
  return 1;
}

// FilePart(path)
int FilePart(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  Lua().pushstring(L, Stream().filePart(path));
  return 1;
}

// FullPath([part 1], [part 2])
int FullPath(lua_State* L) {
  L = Args().beginCommand(L, 0, 2, 0, 0);
  const char* first = Lua().optlstring(L, 1, "", nullptr);
  const char* second = Lua().optlstring(L, 2, "", nullptr);
  char path[kPathSize];
  if (std::strlen(first) >= sizeof path) return kErrRange;
  std::strcpy(path, first);
  if (second[0] && !Stream().pathJoin(path, second, sizeof path)) return kErrRange;
  Lua().pushstring(L, path);
  return 1;
}

// MakeHostPath(path): the special folder names resolved, other paths as
// they are.
int MakeHostPath(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  char out[kPathSize];
  if (!path[0] || Memory().pathCheck(path) || !HostPathOf(path, out, sizeof out)) return kErrRange;
  Lua().pushstring(L, out);
  return 1;
}

// CanonizePath(path)
int CanonizePath(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  char out[kPathSize];
  if (!CanonicalPath(path, out, sizeof out)) return ErrorWithString(kErrRange, path);
  Lua().pushstring(L, out);
  return 1;
}

// IsAbsolutePath(path)
int IsAbsolutePath(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  if (Memory().pathCheck(path)) return kErrRange;
  Lua().pushnumber(L, path[0] == '/' ? 1 : 0);
  return 1;
}

// GetStartDirectory(): the working directory when the library started.
int GetStartDirectory(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  Lua().pushstring(L, StartDirectory());
  return 1;
}

// GetProgramDirectory()
int GetProgramDirectory(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  char out[kPathSize];
  if (!platform::ProgramDir(out, sizeof out)) return kErrVolumeQuery;
  Lua().pushstring(L, out);
  return 1;
}

// AllowBackslash(flag)
int AllowBackslash(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  *Memory().backslashSwitch = Lua().checkinteger(L, 1);
  return 0;
}

// GetTempFileName(): a new, empty file in the temporary folder.
int GetTempFileName(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  char out[kPathSize];
  if (!platform::NewTemporaryFile(out, sizeof out)) return kErrRange;
  Lua().pushstring(L, out);
  return 1;
}

// ChangeDirectory(path, [options]): the process's working directory, which
// Lua's own io sees as well.
int ChangeDirectory(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  if (!InbuiltAdapterArgument(L, 2) || !platform::ChangeDir(path)) {
    return ErrorWithString(kErrChangeDir, path);
  }
  return 0;
}

// GetCurrentDirectory([options])
int GetCurrentDirectory(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  char out[kPathSize];
  if (!InbuiltAdapterArgument(L, 1) || !platform::CurrentDir(out, sizeof out)) {
    return kErrVolumeQuery;
  }
  Lua().pushstring(L, out);
  return 1;
}

}  // namespace tzx::dos
