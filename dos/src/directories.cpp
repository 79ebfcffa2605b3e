#include "directories.h"

#include "attributes.h"
#include "bindings.h"
#include "linked_trees.h"
#include "monitor.h"
#include "program_runs.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"
#include "tzx/siblings.h"

namespace tzx::dos {

ObjectHeader* gDirectoriesList = nullptr;

int FindDirectory(const ObjectId& id, DirNode** out) {
  ObjectHeader* h = FindObject(gDirectoriesList, id);
  if (!h) return ObjectNotFound(id, kErrUnknownDirectory);
  *out = reinterpret_cast<DirNode*>(h);
  return 0;
}

void ReleaseLinkedTree(LinkedTree* tree) {
  if (!tree || --tree->users > 0) return;
  FreeDirTree(tree->root);
  HostFree(tree);
}

void CloseDirNode(lua_State* L, DirNode* node) {
  UnlinkObject(&gDirectoriesList, &node->header);
  ReleaseLinkedTree(node->linkedTree);
  if (node->monitor) {
    StopMonitor(node->monitor);
    node->monitor = nullptr;
  }
  if (node->userData != kNoRef) {
    // Posted changes carry the reference: the event library takes its own first.
    HandOverPostedMessages(L);
    Lua().unref(L, kRegistryIndex, node->userData);
  }
  if (node->entry) Files().freeEntry(node->entry);
  if (node->handle) Stream().closeDir(node->handle);
  ForgetAndFree(L, &node->header);
}

void CloseAllDirectories(lua_State* L) {
  while (gDirectoriesList) CloseDirNode(L, reinterpret_cast<DirNode*>(gDirectoriesList));
}

int DirectoryAttribute(lua_State* L, int attribute, const ObjectId* id) {
  DirNode* node = nullptr;
  if (int rc = FindDirectory(*id, &node)) return rc;
  switch (attribute) {
    case kAttrformat: {
      if (node->monitor || node->linked) {
        Lua().pushstring(L, "");
        return 1;
      }
      const char* format = Files().dirFormatName(node->handle);
      Lua().pushstring(L, format ? format : "");
      return 1;
    }
    case kAttradapter: {
      if (node->monitor) return kErrRange;
      if (node->linked) {
        Lua().pushstring(L, "inbuilt");
        return 1;
      }
      const char* adapter = Files().dirAdapterName(node->handle);
      Lua().pushstring(L, adapter ? adapter : "inbuilt");
      return 1;
    }
    default:
      return kErrUnknownAttribute;
  }
}

// The date of a virtual file, which has none of its own: today from the time
// library, else the fixed date entries without a time source carry.
void SetUndatedFields(lua_State* L) {
  char text[64] = "01-Jan-1978 12:00:00";
  if (auto* time = gBound.time) {
    DateRecord r;
    time->defaultDate(&r);
    const int fields[6] = {r.year, r.month, r.day, r.hour, r.minute, r.second};
    FormatDate(fields, Memory().monthNames, text, sizeof text);
  }
  Args().setStringField(L, "time", text);
  Args().setStringField(L, "lastaccesstime", text);
  Args().setStringField(L, "creationtime", text);
}

void PushLinkedEntryTable(lua_State* L, const char* name, bool isDirectory, int64_t size) {
  Lua().newtable(L);
  Args().setStringField(L, "name", name);
  Args().setIntField(L, "type", isDirectory ? kDostypeDirectory : kDostypeFile);
  if (!isDirectory) Args().setNumberField(L, "size", static_cast<double>(size));
  Args().setIntField(L, "flags", 15);
  SetUndatedFields(L);
}

void SetEntryFields(lua_State* L, const ExamineInfo& info) {
  Args().setNumberField(L, "flags", FlagsOfMode(info.protection, info.name));
  static constexpr struct {
    const char* key;
    int which;
  } kDates[] = {
      {"time", kDateModified}, {"lastaccesstime", kDateAccessed}, {"creationtime", kDateCreated}};
  for (const auto& d : kDates) {
    DateRecord r;
    Memory().dateFromInfo(&info, &r, d.which);
    const int fields[6] = {r.year, r.month, r.day, r.hour, r.minute, r.second};
    char text[64];
    FormatDate(fields, Memory().monthNames, text, sizeof text);
    Args().setStringField(L, d.key, text);
  }
}

void PushEntryTable(lua_State* L, const ExamineInfo& info) {
  Lua().newtable(L);
  Args().setStringField(L, "name", info.name);
  Args().setIntField(L, "type", info.type ? kDostypeDirectory : kDostypeFile);
  if (!info.type) Args().setNumberField(L, "size", static_cast<double>(info.size));
  SetEntryFields(L, info);
}

}  // namespace tzx::dos
