#include "linked_trees.h"

#include <cstdio>
#include <cstring>

#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

constexpr size_t kPathSize = 1024;

bool ReadWord(FileHandle* stream, uint32_t* out) {
  unsigned char b[4];
  if (Stream().readBytes(stream, b, 4) != 4) return false;
  *out = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  return true;
}

// Reads one tree (a count and its entries) into a sibling chain; 0, 1000 or
// 1009. What was read is in *first even on failure, for the caller to free.
int ReadTree(FileHandle* stream, int depth, DirTreeNode** first) {
  uint32_t count;
  if (depth > kDirTreeMaxDepth || !ReadWord(stream, &count)) return kErrRead;
  DirTreeNode** tail = first;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t length, isDirectory;
    if (!ReadWord(stream, &length) || length == 0 || length > kDirTreeMaxName) return kErrRead;
    auto* node = static_cast<DirTreeNode*>(HostAlloc(sizeof(DirTreeNode) + length + 1));
    if (!node) return kErrNoMemory;
    node->name = reinterpret_cast<char*>(node + 1);
    *tail = node;
    tail = &node->left;
    if (Stream().readBytes(stream, node->name, length) != length) return kErrRead;
    for (char* c = node->name; c < node->name + length; ++c) {
      if (*c == '\\') *c = '/';
      if (*c == '\0') return kErrRead;
    }
    if (!ReadWord(stream, &isDirectory) || isDirectory > 1) return kErrRead;
    node->isDirectory = static_cast<int32_t>(isDirectory);
    if (isDirectory) {
      if (int rc = ReadTree(stream, depth + 1, &node->right)) return rc;
    } else {
      uint32_t low, high;
      if (!ReadWord(stream, &low) || !ReadWord(stream, &high)) return kErrRead;
      node->size = static_cast<int64_t>(uint64_t(high) << 32 | low);
      if (node->size < 0) return kErrRead;
    }
  }
  return 0;
}

void PushGlobal(lua_State* L, const char* name) {
  Lua().pushstring(L, name);
  Lua().gettable(L, kGlobalsIndex);
}

// Copies the fields of the user-tag table `ref` into the table at the top.
void CopyUserTags(lua_State* L, int32_t ref) {
  Lua().rawgeti(L, kRegistryIndex, ref);
  if (Lua().type(L, -1) == kLuaTable) {
    Lua().pushnil(L);
    while (Lua().next(L, -2)) {
      Lua().pushvalue(L, -2);
      Lua().insert(L, -2);
      Lua().settable(L, -5);
    }
  }
  Lua().settop(L, -2);
}

}  // namespace

const DirTreeNode* FindTreeEntry(const DirTreeNode* tree, const char* path) {
  const DirTreeNode* level = tree;
  for (;;) {
    const char* end = std::strchr(path, '/');
    size_t length = end ? size_t(end - path) : std::strlen(path);
    const DirTreeNode* found = nullptr;
    for (const DirTreeNode* n = level; n && !found; n = n->left) {
      if (std::strlen(n->name) == length && std::memcmp(n->name, path, length) == 0) found = n;
    }
    if (!found || !end || !end[1]) return found;
    if (!found->isDirectory) return nullptr;
    level = found->right;
    path = end + 1;
  }
}

int MakeLinkedEntryPath(lua_State*, const DirTreeNode* tree, const char* name, int32_t link,
                        char* out, size_t size) {
  char path[kPathSize];
  size_t length = std::strlen(name);
  if (length >= sizeof path) return ErrorWithString(kErrOpenRead, name);
  for (size_t i = 0; i <= length; ++i) path[i] = name[i] == '\\' ? '/' : name[i];
  if (!FindTreeEntry(tree, path)) return ErrorWithString(kErrOpenRead, name);
  int n = std::snprintf(out, size, ":::%d,%s", link, path);
  if (n < 0 || size_t(n) >= size) return kErrNoMemory;
  return 0;
}

void FreeDirTree(DirTreeNode* tree) {
  while (tree) {
    DirTreeNode* next = tree->left;
    FreeDirTree(tree->right);
    HostFree(tree);
    tree = next;
  }
}

int ReadDirTree(FileHandle* stream, LinkRequest* request) {
  request->tree = nullptr;
  if (!request->wantEntries) return 0;
  DirTreeNode* tree = nullptr;
  if (int rc = ReadTree(stream, 0, &tree)) {
    FreeDirTree(tree);
    return rc;
  }
  request->tree = tree;
  return 0;
}

int OpenFileThroughScript(lua_State* L, const char* path, const LinkRequest* request) {
  PushGlobal(L, "openfile");
  if (request->id.pointer || request->id.number) {
    Args().pushObjectId(L, request->id);
  } else {
    Lua().pushnil(L);
  }
  Lua().pushstring(L, path);
  Lua().pushnumber(L, kModeRead);
  int arguments = 3;
  if (request->adapter[0] || request->userTags != kNoRef) {
    Lua().newtable(L);
    if (request->adapter[0]) Args().setStringField(L, "adapter", request->adapter);
    if (request->userTags != kNoRef) CopyUserTags(L, request->userTags);
    ++arguments;
  }
  return Lua().callScript(L, arguments, 0);
}

int DeclareLinkedDirectory(lua_State* L, const char* command, const char* path,
                           LinkRequest* request, void** handleOut) {
  if (handleOut) *handleOut = nullptr;
  const bool numbered = request->type == kLinkRequestNumbered;
  const int top = Lua().gettop(L);
  PushGlobal(L, command);
  if (numbered) {
    Lua().pushnumber(L, request->id.number);
  } else {
    Lua().pushnil(L);
  }
  Lua().pushstring(L, path);
  Lua().newtable(L);
  Args().setIntField(L, "recursive", request->recursive);
  Args().setIntField(L, "__emptydir", request->tree ? 0 : 1);
  Lua().pushstring(L, "__direntries");
  Lua().pushlightuserdata(L, request->tree);
  Lua().settable(L, -3);
  int rc = Lua().callScript(L, 3, 1);
  if (rc) return rc;
  if (handleOut && !numbered && Lua().type(L, -1) == kLuaLightUserdata)
    *handleOut = Lua().touserdata(L, -1);
  Lua().settop(L, top);
  // The directory object owns the tree now.
  request->tree = nullptr;
  return 0;
}

}  // namespace tzx::dos
