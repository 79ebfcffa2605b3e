// Making directories and files, renaming, and reading and setting attributes.
#include <cstring>

#include "attributes.h"
#include "bindings.h"
#include "commands.h"
#include "directories.h"
#include "file_nodes.h"
#include "path_names.h"
#include "platform/calendar.h"
#include "platform/file_system.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/siblings.h"

namespace tzx::dos {
namespace {

// Reads an options table at `n` ("adapter" and user tags); false when it
// names an adapter other than the host's own, which alone serves paths here.
bool InbuiltOptions(lua_State* L, int n) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return true;
  char adapter[256] = "";
  if (Lua().type(L, n) == kLuaString) {
    std::strncpy(adapter, Lua().tolstring(L, n, nullptr), sizeof adapter - 1);
  } else {
    Lua().checktable(L, n);
    Args().fieldString(L, n, "adapter", adapter, sizeof adapter);
  }
  return IsInbuiltAdapter(adapter);
}

// location joined with name.
int JoinArguments(lua_State* L, char* path) {
  const char* location = Lua().checklstring(L, 1, nullptr);
  const char* name = Lua().checklstring(L, 2, nullptr);
  if (std::strlen(location) >= kPathSize) return kErrRange;
  std::strcpy(path, location);
  return Stream().pathJoin(path, name, kPathSize) ? 0 : kErrRange;
}

// Seconds since 1970 of a date string read as local time; kErrRange when it
// is no date.
int ParseTime(const TimeSibling* time, const char* text, int64_t* out) {
  DateRecord r;
  if (time->parseDate(text, &r) != 0) return kErrRange;
  const platform::CalendarTime local{r.year, r.month, r.day, r.hour, r.minute, r.second};
  return platform::SecondsOfLocalTime(local, out) ? 0 : kErrRange;
}

}  // namespace

// MakeDirectory(path, [options]): every missing folder on the path.
int MakeDirectory(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  if (!InbuiltOptions(L, 2)) return ErrorWithString(kErrMakeDir, path);
  char prefix[kPathSize];
  size_t n = std::strlen(path);
  if (!n || n >= sizeof prefix) return ErrorWithString(kErrMakeDir, path);
  for (size_t i = 1; i <= n; ++i) {
    if (i < n && path[i] != '/' && path[i] != '\\') continue;
    std::memcpy(prefix, path, i);
    prefix[i] = 0;
    platform::FileStatus st;
    if (platform::Examine(prefix, &st)) {
      if (!st.directory) return ErrorWithString(kErrMakeDir, prefix);
    } else if (!platform::MakeDir(prefix) &&
               platform::LastFsError() != platform::FsError::kExists) {
      return ErrorWithString(kErrMakeDir, prefix);
    }
  }
  return 0;
}

// CreateDirectory(location, name, [options])
int CreateDirectory(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  char path[kPathSize];
  if (int rc = JoinArguments(L, path)) return rc;
  if (!InbuiltOptions(L, 3) || !platform::MakeDir(path)) return ErrorWithString(kErrRange, path);
  return 0;
}

// CreateFile(location, name, [options]): an empty file; an existing file is
// left as it is and reported.
int CreateFile(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  char path[kPathSize];
  if (int rc = JoinArguments(L, path)) return rc;
  if (!InbuiltOptions(L, 3) || !platform::CreateEmptyFile(path)) {
    return ErrorWithString(kErrRange, path);
  }
  return 0;
}

// Rename(old, new, [options]): a new name without a folder stays in the old
// one. An existing file of the new name is never replaced.
int Rename(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const char* from = Lua().checklstring(L, 1, nullptr);
  const char* name = Lua().checklstring(L, 2, nullptr);
  if (!InbuiltOptions(L, 3)) return ErrorWithString(kErrRange, from);
  char to[kPathSize];
  size_t folder = static_cast<size_t>(Stream().filePart(from) - from);
  if (std::strchr(name, '/')) folder = 0;
  if (!name[0] || folder + std::strlen(name) >= sizeof to || platform::IsMountPoint(from)) {
    return ErrorWithString(kErrRange, from);
  }
  std::memcpy(to, from, folder);
  std::strcpy(to + folder, name);
  if (!platform::RenameNoReplace(from, to)) return ErrorWithString(kErrRange, from);
  return 0;
}

// GetFileAttributes(path, [adapter or options])
int GetFileAttributes(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  const char* path = Args().fileName(L, 1, 0, 0);
  if (!InbuiltOptions(L, 2)) return ErrorWithString(kErrOpenRead, path);
  ExamineInfo info;
  bool real = path[0] && Files().examinePath(path, &info, 1);
  int64_t virtualSize = 0;
  if (!real) {
    // Names the host resolves itself (virtual files) open without existing.
    FileHandle* h =
        path[0] ? Files().openFile(path, kAccessRead | kAccessDos, nullptr, nullptr) : nullptr;
    if (!h) return ErrorWithString(kErrOpenRead, path);
    virtualSize = Files().length(h);
    Stream().closeFile(h);
  }
  char full[kPathSize];
  if (!real || !CanonicalPath(path, full, sizeof full)) {
    if (std::strlen(path) >= sizeof full) return ErrorWithString(kErrExamine, path);
    std::strcpy(full, path);
  }
  Lua().newtable(L);
  if (real) {
    Args().setIntField(L, "type", info.type ? kDostypeDirectory : kDostypeFile);
    if (!info.type) Args().setNumberField(L, "size", static_cast<double>(info.size));
    SetEntryFields(L, info);
  } else {
    Args().setIntField(L, "type", kDostypeFile);
    Args().setNumberField(L, "size", static_cast<double>(virtualSize));
    Args().setNumberField(L, "flags", kFileattrReadUsr | kFileattrReadonly);
    SetUndatedFields(L);
  }
  Args().setStringField(L, "path", full);
  Args().setIntField(L, "virtual", real ? 0 : 1);
  Args().setStringField(L, "name", Stream().filePart(path));
  return 1;
}

// SetFileAttributes(path, table): "flags" and the dates given. Linux keeps no
// settable creation time: "creationtime" is checked and otherwise left alone.
int SetFileAttributes(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  Lua().checktable(L, 2);
  int32_t flags = 0;
  bool haveFlags = Args().fieldInt(L, 2, "flags", &flags);
  char dates[3][64] = {};
  bool haveDate[3];
  static constexpr const char* kKeys[3] = {"time", "lastaccesstime", "creationtime"};
  for (int i = 0; i < 3; ++i) {
    haveDate[i] = Args().fieldString(L, 2, kKeys[i], dates[i], sizeof dates[i]);
  }
  int64_t seconds[3] = {-1, -1, -1};
  if (haveDate[0] || haveDate[1] || haveDate[2]) {
    auto* time = gBound.time;
    if (!time) return ErrorWithString(kErrSiblingAbsent, "time");
    for (int i = 0; i < 3; ++i) {
      if (haveDate[i]) {
        if (int rc = ParseTime(time, dates[i], &seconds[i])) return rc;
      }
    }
  }
  platform::FileStatus st;
  if (!platform::Examine(path, &st)) return ErrorWithString(kErrRange, path);
  if (haveFlags && !platform::SetMode(path, ModeOfFlags(static_cast<uint32_t>(flags), st.mode))) {
    return ErrorWithString(kErrRange, path);
  }
  if ((seconds[0] >= 0 || seconds[1] >= 0) && !platform::SetTimes(path, seconds[1], seconds[0])) {
    return ErrorWithString(kErrRange, path);
  }
  return 0;
}

// FileAttributes(id): what the host knows of an open file.
int FileAttributes(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  FileNode* node = nullptr;
  if (int rc = FindFileHandle(&id, &node)) return rc;
  char path[kPathSize];
  int streaming = 0, noSeek = 0;
  if (Files().fileInfo(node->handle, path, sizeof path, &streaming, &noSeek)) {
    return kErrNoInfo;
  }
  Lua().newtable(L);
  Args().setStringField(L, "path", path);
  Args().setIntField(L, "streaming", streaming);
  Args().setIntField(L, "noseek", noSeek);
  Args().setStringField(L, "name", Stream().filePart(path));
  return 1;
}

}  // namespace tzx::dos
