// MonitorDirectory: a directory object that watches its folder.
#include "bindings.h"
#include "commands.h"
#include "directories.h"
#include "monitor.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"

namespace tzx::dos {
namespace {

constexpr int kMonitorOpenFlags = 128;

// The folder's full path as the host names it; false when it cannot be opened.
bool FullFolderPath(const char* path, char* out, size_t size) {
  DirHandle* handle = Files().openDir(path, kMonitorOpenFlags, nullptr, nullptr);
  if (!handle) return false;
  Stream().dirPath(handle, out, size);
  Stream().closeDir(handle);
  return true;
}

}  // namespace

// MonitorDirectory(id or Nil, path, [options]): "all", "reportchanges",
// "userdata". The automatic handle when id was Nil.
int MonitorDirectory(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  const char* path = Lua().checklstring(L, 2, nullptr);
  MonitorRequest request{nullptr, 0, 0, {}, kNoRef};
  int userDataIndex = 0;
  if (Lua().gettop(L) >= 3 && Lua().type(L, 3) != kLuaNil) {
    Lua().checktable(L, 3);
    Args().fieldInt(L, 3, "all", &request.all);
    Args().fieldInt(L, 3, "reportchanges", &request.reportChanges);
    Args().fieldByKey(L, 3, "userdata");
    userDataIndex = Lua().gettop(L);
  }
  // The changes reach the script only as events.
  if (!gBound.event) return ErrorWithString(kErrSiblingAbsent, "event");
  char fullPath[1024];
  if (!FullFolderPath(path, fullPath, sizeof fullPath)) return kErrMonitorDirectory;
  request.path = fullPath;

  if (!id.pointer) {
    DirNode* previous = nullptr;
    if (FindDirectory(id, &previous) == 0) CloseDirNode(L, previous);
  }
  int32_t userData = kNoRef;
  if (userDataIndex && Lua().type(L, userDataIndex) != kLuaNil) {
    Lua().pushvalue(L, userDataIndex);
    userData = Lua().ref(L, kRegistryIndex);
  }
  auto* node = AllocRecord<DirNode>();
  if (!node) {
    if (userData != kNoRef) Lua().unref(L, kRegistryIndex, userData);
    return kErrNoMemory;
  }
  AssignObjectId(&node->header, kTypeDirectory, id);
  node->userData = userData;
  AppendObject(&gDirectoriesList, &node->header);
  request.object = node->header.id;
  request.userData = userData;
  if (int rc = StartMonitor(request, &node->monitor)) {
    CloseDirNode(L, node);
    return rc;
  }
  Memory().resourceChanged();
  if (!id.pointer) return 0;
  Lua().pushlightuserdata(L, node);
  return 1;
}

}  // namespace tzx::dos
