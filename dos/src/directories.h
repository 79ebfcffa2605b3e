// Open directories (object type 45) and the entry tables every listing builds.
#pragma once

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::dos {

struct DirectoryMonitor;

struct DirNode {
  ObjectHeader header;
  int32_t exhausted;  // NextDirectoryEntry has returned the last entry
  int32_t recursive;  // 0: NextDirectoryEntry returns files only
  DirHandle* handle;
  DirEntryRecord* entry;
  // Set for the objects of MonitorDirectory, which list nothing (1055).
  DirectoryMonitor* monitor;
  int32_t userData;  // the monitor's user data: a registry reference, kNoRef when none
};

extern ObjectHeader* gDirectoriesList;

// 1041, or 1318 with the number as argument, when no directory has the id.
int FindDirectory(const ObjectId& id, DirNode** out);
void CloseDirNode(lua_State* L, DirNode* node);
void CloseAllDirectories(lua_State* L);
int DirectoryAttribute(lua_State* L, int attribute, const ObjectId* id);

// Pushes the entry table of `info`: name, type, size (files), flags and the
// three dates. Builds it from the copy it is given, so a finalizer that runs
// meanwhile cannot pull the entry away.
void PushEntryTable(lua_State* L, const ExamineInfo& info);
// Sets "flags" and the three dates of `info` on the table at the stack top.
void SetEntryFields(lua_State* L, const ExamineInfo& info);

}  // namespace tzx::dos
