#include "file_nodes.h"

#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"
#include "tzx/pins.h"

namespace tzx::dos {

ObjectHeader* gFilesList = nullptr;
int gCurrentIoMode = kIoBuffered;
int gUseCarriageReturnFlag = 1;

int FindFileHandle(const ObjectId* id, FileNode** out) {
  ObjectHeader* h = FindObject(gFilesList, *id);
  if (!h) return ObjectNotFound(*id, kErrUnknownFile);
  *out = reinterpret_cast<FileNode*>(h);
  return 0;
}

namespace {

void FinishClose(lua_State* L, FileNode* node) {
  if (node->handle) {
    Stream().closeFile(node->handle);
    node->handle = nullptr;
  }
  ForgetAndFree(L, &node->header);
}

void Unpinned(lua_State* L, void* record) {
  auto* node = static_cast<FileNode*>(record);
  if (node->closePending) FinishClose(L, node);
}

int PinFile(lua_State* L, FileNode* node) {
  return PinForCommand(L, &node->pins, Unpinned, node);
}

}  // namespace

int FindReadableFile(lua_State* L, const ObjectId& id, FileNode** out) {
  if (int rc = FindUnpinnedReadableFile(id, out)) return rc;
  return PinFile(L, *out);
}

int FindUnpinnedReadableFile(const ObjectId& id, FileNode** out) {
  if (int rc = FindFileHandle(&id, out)) return rc;
  return (*out)->access == kAccessWrite ? kErrFileWriteOnly : 0;
}

int PinFileRecord(lua_State* L, void* node) {
  return PinFile(L, static_cast<FileNode*>(node));
}

int FindWritableFile(lua_State* L, const ObjectId& id, FileNode** out) {
  if (int rc = FindFileHandle(&id, out)) return rc;
  if ((*out)->access == kAccessRead) return kErrFileReadOnly;
  return PinFile(L, *out);
}

int CloseFileNode(lua_State* L, FileNode* node) {
  UnlinkObject(&gFilesList, &node->header);
  int rc = node->handle ? Stream().flush(node->handle) : 0;
  if (node->pins) {
    node->closePending = true;
  } else {
    FinishClose(L, node);
  }
  return rc;
}

void CloseAllFiles(lua_State* L) {
  while (gFilesList) CloseFileNode(L, reinterpret_cast<FileNode*>(gFilesList));
}

int FileAttribute(lua_State* L, int attribute, const ObjectId* id) {
  FileNode* node = nullptr;
  if (int rc = FindFileHandle(id, &node)) return rc;
  switch (attribute) {
    case kAttrformat: {
      const char* format = Files().formatName(node->handle);
      Lua().pushstring(L, format ? format : "");
      return 1;
    }
    case kAttrmode:
      Lua().pushnumber(L, node->mode);
      return 1;
    case kAttradapter: {
      const char* adapter = Files().adapterName(node->handle);
      Lua().pushstring(L, adapter ? adapter : "inbuilt");
      return 1;
    }
    case kAttrencoding:
      Lua().pushnumber(L, node->encoding);
      return 1;
    default:
      return kErrUnknownAttribute;
  }
}

}  // namespace tzx::dos
