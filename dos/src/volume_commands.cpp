// Volumes: on this system the mount points.
#include "commands.h"
#include "path_names.h"
#include "platform/file_system.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {

// GetVolumeName(path): the label of the path's file system where the system
// knows one, else its mount point.
int GetVolumeName(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  if (!path[0]) return kErrRange;
  char mount[kPathSize], label[kPathSize];
  if (!platform::VolumeName(path, mount, sizeof mount, label, sizeof label)) {
    return kErrVolumeQuery;
  }
  Lua().pushstring(L, label);
  return 1;
}

// GetVolumeInfo(path, selector): free bytes (FREESPACE) or used bytes.
int GetVolumeInfo(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  int selector = Lua().checkinteger(L, 2);
  if (!path[0]) return kErrRange;
  platform::VolumeInfo info;
  if (!platform::VolumeSpace(path, &info)) return kErrVolumeQuery;
  Lua().pushnumber(L, static_cast<double>(selector ? info.freeBytes : info.usedBytes));
  return 1;
}

// HaveVolume(volume): 1 when it exists.
int HaveVolume(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  ExamineInfo info;
  Lua().pushnumber(L, path[0] && Files().examinePath(path, &info, 1) ? 1 : 0);
  return 1;
}

}  // namespace tzx::dos
