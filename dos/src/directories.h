// Open directories (object type 45) and the entry tables every listing builds.
#pragma once

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::dos {

struct DirectoryMonitor;
struct DirTreeNode;

// A tree linked into the application, shared by the directory object it was
// handed to and those that list its subfolders (":::number,folder"); freed
// with its last user.
struct LinkedTree {
  DirTreeNode* root;
  int32_t users;
};

struct DirNode {
  ObjectHeader header;
  int32_t exhausted;  // NextDirectoryEntry has returned the last entry
  int32_t recursive;  // 0: NextDirectoryEntry returns files only
  int32_t linked;     // listed from a linked tree, not from the file system
  DirHandle* handle;
  DirEntryRecord* entry;
  // Set for the objects of MonitorDirectory, which list nothing (1055).
  DirectoryMonitor* monitor;
  // Linked directories: the first node of the level listed, the next node to
  // list and whether listing has started.
  const DirTreeNode* tree;
  const DirTreeNode* treeCursor;
  int32_t treeStarted;
  int32_t treeBorrowed;  // listing a folder of another directory's tree
  LinkedTree* linkedTree;
  int32_t userData;  // the monitor's user data: a registry reference, kNoRef when none
};

extern ObjectHeader* gDirectoriesList;

// 1041, or 1318 with the number as argument, when no directory has the id.
int FindDirectory(const ObjectId& id, DirNode** out);
void CloseDirNode(lua_State* L, DirNode* node);
// One user fewer; the last frees the tree.
void ReleaseLinkedTree(LinkedTree* tree);
void CloseAllDirectories(lua_State* L);
int DirectoryAttribute(lua_State* L, int attribute, const ObjectId* id);

// Sets the three dates of an entry that has none of its own (virtual files,
// linked entries): today from the time library, else 01-Jan-1978 12:00:00.
void SetUndatedFields(lua_State* L);

// Pushes the entry table of a linked entry from copies of its fields.
void PushLinkedEntryTable(lua_State* L, const char* name, bool isDirectory, int64_t size);

// Pushes the entry table of `info`: name, type, size (files), flags and the
// three dates. Builds it from the copy it is given, so a finalizer that runs
// meanwhile cannot pull the entry away.
void PushEntryTable(lua_State* L, const ExamineInfo& info);
// Sets "flags" and the three dates of `info` on the table at the stack top.
void SetEntryFields(lua_State* L, const ExamineInfo& info);

}  // namespace tzx::dos
