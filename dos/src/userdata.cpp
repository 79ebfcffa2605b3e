#include "userdata.h"

#include "tzx/frame.h"

namespace tzx::dos {
namespace {

int CollectFile(lua_State* L) {
  if (auto* u = static_cast<FileUserdata*>(Lua().touserdata(L, 1))) CloseFileUserdata(u);
  return 0;
}

int CollectDirectory(lua_State* L) {
  auto* u = static_cast<DirUserdata*>(Lua().touserdata(L, 1));
  if (!u) return 0;
  if (u->entry) Files().freeEntry(u->entry);
  if (u->handle) Stream().closeDir(u->handle);
  u->entry = nullptr;
  u->handle = nullptr;
  return 0;
}

void CreateMetatable(lua_State* L, const char* name, LuaCFunction collector) {
  Lua().newmetatable(L, name);
  Lua().pushlstring(L, "__index", 7);
  Lua().pushvalue(L, -2);
  Lua().rawset(L, -3);
  Lua().pushstring(L, "__gc");
  Lua().pushcclosure(L, collector, 0);
  Lua().rawset(L, -3);
  Lua().settop(L, -2);
}

}  // namespace

void CreateUserdataMetatables(lua_State* L) {
  CreateMetatable(L, kFileMetatable, CollectFile);
  CreateMetatable(L, kDirMetatable, CollectDirectory);
}

void CloseFileUserdata(FileUserdata* u) {
  if (u->handle) Stream().closeFile(u->handle);
  u->handle = nullptr;
}

}  // namespace tzx::dos
