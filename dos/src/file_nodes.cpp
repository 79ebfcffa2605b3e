#include "file_nodes.h"

#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"

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

int FindReadableFile(const ObjectId& id, FileNode** out) {
  if (int rc = FindFileHandle(&id, out)) return rc;
  return (*out)->access == kAccessWrite ? kErrFileWriteOnly : 0;
}

int FindWritableFile(const ObjectId& id, FileNode** out) {
  if (int rc = FindFileHandle(&id, out)) return rc;
  return (*out)->access == kAccessRead ? kErrFileReadOnly : 0;
}

int CloseFileNode(lua_State* L, FileNode* node) {
  UnlinkObject(&gFilesList, &node->header);
  int rc = 0;
  if (node->handle) {
    rc = Stream().flush(node->handle);
    Stream().closeFile(node->handle);
    node->handle = nullptr;
  }
  ForgetAndFree(L, &node->header);
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
