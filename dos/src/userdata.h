// The two full userdata types of dos: "FILE*" (the handle behind a FileLines
// iterator) and "DIR*" (the handle behind a DirectoryItems iterator). Their
// collectors release what an iteration left open.
#pragma once

#include "tzx/host.h"

namespace tzx::dos {

// The interpreter's io library registers its own "FILE*" metatable; sharing
// that registry name would hand io's handles to dos's collector (and dos's to
// io's), so the dos types are registered under names of their own.
inline constexpr char kFileMetatable[] = "dos.FILE*";
inline constexpr char kDirMetatable[] = "dos.DIR*";

// The head of every "FILE*" block: the open handle, null once closed.
struct FileUserdata {
  FileHandle* handle;
};

// A "DIR*" block: the open directory and its entry record, each null once
// released.
struct DirUserdata {
  DirHandle* handle;
  DirEntryRecord* entry;
};

// Creates both metatables, each its own __index, with its collector as __gc.
void CreateUserdataMetatables(lua_State* L);

// Closes the handle of a "FILE*" block once and clears it.
void CloseFileUserdata(FileUserdata* u);

}  // namespace tzx::dos
