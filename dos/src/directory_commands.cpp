// Directory handles, listings and the DirectoryItems iterator.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "directories.h"
#include "linked_trees.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"
#include "userdata.h"

namespace tzx::dos {
namespace {

constexpr size_t kPathSize = 1024;
constexpr int kOpenDirFlags = 5;
constexpr int kListDirFlags = 0x84;

int DirectoryOfArgument(lua_State* L, DirNode** out) {
  ObjectId id = Args().objectId(L, 1);
  return FindDirectory(id, out);
}

// A directory that lists entries: a monitor's lists none (1055).
int ListingOfArgument(lua_State* L, DirNode** out) {
  if (int rc = DirectoryOfArgument(L, out)) return rc;
  return (*out)->monitor ? kErrRange : 0;
}

// Opens `path` with its entry record; 1286 with the path when it cannot.
int OpenListing(const char* path, int flags, const OpenOptions* options, UserTags* tags,
                DirHandle** handle, DirEntryRecord** entry) {
  *handle = Files().openDir(path, flags, options, tags);
  if (!*handle) return ErrorWithString(kErrOpenDir, path);
  if (int rc = Files().prepareEntry(*handle, entry)) {
    Stream().closeDir(*handle);
    return rc;
  }
  return 0;
}

void CloseListing(DirHandle* handle, DirEntryRecord* entry) {
  if (entry) Files().freeEntry(entry);
  if (handle) Stream().closeDir(handle);
}

struct Counts {
  double files = 0;
  double directories = 0;
};

// Counts the entries of an open listing, and with `recursive` those of every
// subdirectory (not through links, which may lead back up the tree).
int CountEntries(DirHandle* handle, DirEntryRecord* entry, bool recursive, Counts* counts) {
  ExamineInfo info;
  int isDirectory = 0;
  while (Files().nextEntry(handle, entry, &info, kEntryNamesOnly, &isDirectory)) {
    if (!isDirectory) {
      ++counts->files;
      continue;
    }
    ++counts->directories;
    if (!recursive || info.link) continue;
    char path[kPathSize];
    Stream().dirPath(handle, path, sizeof path);
    if (!Stream().pathJoin(path, info.name, sizeof path)) return kErrRange;
    DirHandle* sub = nullptr;
    DirEntryRecord* subEntry = nullptr;
    if (int rc = OpenListing(path, kOpenDirFlags, nullptr, nullptr, &sub, &subEntry)) return rc;
    int rc = CountEntries(sub, subEntry, true, counts);
    CloseListing(sub, subEntry);
    if (rc) return rc;
  }
  return 0;
}

void CountLinkedEntries(const DirTreeNode* level, bool recursive, Counts* counts) {
  for (const DirTreeNode* n = level; n; n = n->left) {
    if (!n->isDirectory) {
      ++counts->files;
      continue;
    }
    ++counts->directories;
    if (recursive) CountLinkedEntries(n->right, true, counts);
  }
}

// The next node of a linked listing as an entry table, built from copies:
// a finalizer run meanwhile may close the directory and free its tree.
int NextLinkedEntry(lua_State* L, DirNode* node) {
  for (;;) {
    const DirTreeNode* n = node->treeStarted ? node->treeCursor : node->tree;
    node->treeStarted = 1;
    if (!n) {
      node->exhausted = 1;
      return 0;
    }
    node->treeCursor = n->left;
    if (n->isDirectory && !node->recursive) continue;
    char name[kDirTreeMaxName + 1];
    std::strncpy(name, n->name, sizeof name - 1);
    name[sizeof name - 1] = '\0';
    PushLinkedEntryTable(L, name, n->isDirectory != 0, n->size);
    return 1;
  }
}

// A growing list of names in host memory, for sorting before the tables are
// filled.
struct NameList {
  char* text = nullptr;
  size_t textUsed = 0, textSize = 0;
  uint32_t* offsets = nullptr;
  size_t count = 0, capacity = 0;

  // `length` bytes of `name`, kept with a terminating NUL.
  bool Add(const char* name, size_t length) {
    const size_t n = length + 1;
    if (!Grow(reinterpret_cast<void**>(&text), textUsed + n, &textSize, 1)) return false;
    if (!Grow(reinterpret_cast<void**>(&offsets), count + 1, &capacity, sizeof *offsets)) {
      return false;
    }
    std::memcpy(text + textUsed, name, length);
    text[textUsed + length] = 0;
    offsets[count++] = static_cast<uint32_t>(textUsed);
    textUsed += n;
    return true;
  }
  const char* operator[](size_t i) const { return text + offsets[i]; }
  void Sort() {
    std::sort(offsets, offsets + count,
              [this](uint32_t a, uint32_t b) { return std::strcoll(text + a, text + b) < 0; });
  }
  void Free() {
    HostFree(text);
    HostFree(offsets);
  }

  static bool Grow(void** block, size_t needed, size_t* size, size_t unit) {
    if (needed <= *size) return true;
    size_t grown = std::max<size_t>(needed, *size ? *size * 2 : 256);
    void* bigger = HostAlloc(grown * unit, false);
    if (!bigger) return false;
    if (*block) std::memcpy(bigger, *block, *size * unit);
    HostFree(*block);
    *block = bigger;
    *size = grown;
    return true;
  }
};

// The name at `index` of the table at `table`; after the last name, "" at n.
void StoreName(lua_State* L, int table, size_t index, const char* name, size_t length) {
  Lua().pushlstring(L, name, length);
  Lua().rawseti(L, table, static_cast<int>(index));
}

void StoreNames(lua_State* L, int table, const NameList& names) {
  for (size_t i = 0; i < names.count; ++i) StoreName(L, table, i, names[i], std::strlen(names[i]));
  StoreName(L, table, names.count, "", 0);
}

void CloseListingAtEnd(lua_State*, const CommandEndAction* action) {
  CloseListing(static_cast<DirHandle*>(action->data[0]),
               static_cast<DirEntryRecord*>(action->data[1]));
}

int NextItem(lua_State* L) {
  auto* u = static_cast<DirUserdata*>(Lua().touserdata(L, UpvalueIndex(1)));
  if (!u || !u->handle) return 0;
  ExamineInfo info;
  int isDirectory = 0;
  if (!Files().nextEntry(u->handle, u->entry, &info, 0, &isDirectory)) {
    CloseListing(u->handle, u->entry);
    u->handle = nullptr;
    u->entry = nullptr;
    return 0;
  }
  Lua().pushstring(L, info.name);
  PushEntryTable(L, info);
  return 2;
}

// The tree of ":::number,folder": the folder (or, without one, the top) of
// the listing of an open linked directory. Takes a user of its tree.
int BorrowLinkedFolder(const char* path, DirNode* into) {
  char* end = nullptr;
  long number = std::strtol(path + 3, &end, 10);
  DirNode* source = nullptr;
  if (int rc = FindDirectory(ObjectId{static_cast<int32_t>(number), nullptr}, &source)) return rc;
  if (!source->linked) return ErrorWithString(kErrOpenDir, path);
  const char* comma = std::strchr(path, ',');
  const char* folder = comma ? comma + 1 : "";
  const DirTreeNode* level = source->tree;
  if (*folder) {
    const DirTreeNode* found = FindTreeEntry(source->tree, folder);
    if (!found || !found->isDirectory) return ErrorWithString(kErrOpenDir, path);
    level = found->right;
  }
  into->tree = level;
  into->treeBorrowed = 1;
  into->linkedTree = source->linkedTree;
  ++into->linkedTree->users;
  return 0;
}

}  // namespace

// OpenDirectory(id or Nil, path, [options]): "adapter", "recursive", and
// from the linking side "__direntries" (a tree) and "__emptydir".
int OpenDirectory(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  const char* path = Lua().checklstring(L, 2, nullptr);
  OpenOptions options;
  Files().initOpenOptions(&options);
  int32_t recursive = 1;
  UserTags* tags = nullptr;
  DirTreeNode* given = nullptr;
  bool treeGiven = false;
  int32_t emptyDir = 0;
  bool emptyDirGiven = false;
  if (Lua().gettop(L) == 3 && Lua().type(L, 3) != kLuaNil) {
    Lua().checktable(L, 3);
    Args().fieldString(L, 3, "adapter", options.adapter, sizeof options.adapter);
    Args().fieldInt(L, 3, "recursive", &recursive);
    Args().fieldByKey(L, 3, "__direntries");
    if (Lua().type(L, -1) == kLuaLightUserdata) {
      given = static_cast<DirTreeNode*>(Lua().touserdata(L, -1));
      treeGiven = true;
    }
    Lua().settop(L, -2);
    emptyDirGiven = Args().fieldInt(L, 3, "__emptydir", &emptyDir);
    if (int rc = Args().userTags(L, 3, 0, 0, &tags)) return rc;
  }
  const bool linked = treeGiven || emptyDirGiven || std::strncmp(path, ":::", 3) == 0;
  DirHandle* handle = nullptr;
  DirEntryRecord* entry = nullptr;
  // The tree of the listing, and who else uses it.
  DirNode listing{};
  if (linked) Args().freeUserTags(tags, 0);
  if (treeGiven || emptyDirGiven) {
    listing.tree = given;
  } else if (linked) {
    if (int rc = BorrowLinkedFolder(path, &listing)) return rc;
  } else {
    int rc = OpenListing(path, kOpenDirFlags, &options, tags, &handle, &entry);
    Args().freeUserTags(tags, 0);
    if (rc) return rc;
  }
  auto* node = AllocRecord<DirNode>();
  if (node && linked && !listing.linkedTree) {
    // The tree handed over becomes the new directory's.
    listing.linkedTree = AllocRecord<LinkedTree>();
    if (listing.linkedTree) {
      listing.linkedTree->root = given;
      listing.linkedTree->users = 1;
    } else {
      HostFree(node);
      node = nullptr;
    }
  }
  if (!node) {
    CloseListing(handle, entry);
    if (listing.treeBorrowed) --listing.linkedTree->users;
    return kErrNoMemory;
  }
  // A numeric id closes the directory that had it; a tree borrowed from it
  // stays, as this listing is one of its users.
  if (!id.pointer) {
    DirNode* previous = nullptr;
    if (FindDirectory(id, &previous) == 0) CloseDirNode(L, previous);
  }
  AssignObjectId(&node->header, kTypeDirectory, id);
  node->recursive = recursive;
  node->linked = linked;
  node->userData = kNoRef;
  node->handle = handle;
  node->entry = entry;
  node->tree = listing.tree;
  node->treeBorrowed = listing.treeBorrowed;
  node->linkedTree = listing.linkedTree;
  AppendObject(&gDirectoriesList, &node->header);
  Memory().resourceChanged();
  if (!id.pointer) return 0;
  Lua().pushlightuserdata(L, node);
  return 1;
}

// CloseDirectory(id)
int CloseDirectory(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  DirNode* node = nullptr;
  if (int rc = DirectoryOfArgument(L, &node)) return rc;
  CloseDirNode(L, node);
  return 0;
}

// NextDirectoryEntry(id): the entry table, or nothing after the last entry.
int NextDirectoryEntry(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  DirNode* node = nullptr;
  if (int rc = ListingOfArgument(L, &node)) return rc;
  if (node->exhausted) return 0;
  if (node->linked) return NextLinkedEntry(L, node);
  ExamineInfo info;
  int isDirectory = 0;
  for (;;) {
    if (!Files().nextEntry(node->handle, node->entry, &info, 0, &isDirectory)) {
      node->exhausted = 1;
      return 0;
    }
    if (!isDirectory || node->recursive) break;
  }
  // From here on only the copy of the entry is used.
  PushEntryTable(L, info);
  return 1;
}

// RewindDirectory(id)
int RewindDirectory(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  DirNode* node = nullptr;
  if (int rc = ListingOfArgument(L, &node)) return rc;
  if (!node->linked && Files().rewindDir(node->handle)) return kErrRewind;
  node->exhausted = 0;
  node->treeStarted = 0;
  return 0;
}

// CountDirectoryEntries(id, [mode], [recursive])
int CountDirectoryEntries(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  int mode = Lua().optinteger(L, 2, kCountfiles);
  int recursive = Lua().optinteger(L, 3, 0);
  DirNode* node = nullptr;
  if (int rc = ListingOfArgument(L, &node)) return rc;
  if (mode < kCountfiles || mode > kCountseparate) return kErrRange;
  Counts counts;
  if (node->linked) {
    node->treeStarted = 0;
    CountLinkedEntries(node->tree, recursive != 0, &counts);
  } else {
    if (Files().rewindDir(node->handle)) return kErrRewind;
    int rc = CountEntries(node->handle, node->entry, recursive != 0, &counts);
    if (Files().rewindDir(node->handle) && !rc) rc = kErrRewind;
    if (rc) return rc;
  }
  node->exhausted = 0;
  switch (mode) {
    case kCountfiles:
      Lua().pushnumber(L, counts.files);
      return 1;
    case kCountdirectories:
      Lua().pushnumber(L, counts.directories);
      return 1;
    case kCountboth:
      Lua().pushnumber(L, counts.files + counts.directories);
      return 1;
    default:
      Lua().pushnumber(L, counts.files);
      Lua().pushnumber(L, counts.directories);
      return 2;
  }
}

// GetDirectoryEntry(id, name): the entry's full path.
int GetDirectoryEntry(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const char* name = Lua().checklstring(L, 2, nullptr);
  DirNode* node = nullptr;
  if (int rc = ListingOfArgument(L, &node)) return rc;
  char path[kPathSize];
  if (node->linked) {
    // A path that OpenDirectory and the linking side understand.
    if (int rc =
            MakeLinkedEntryPath(L, node->tree, name, node->header.id.number, path, sizeof path))
      return rc;
    Lua().pushstring(L, path);
    return 1;
  }
  Stream().dirPath(node->handle, path, sizeof path);
  if (!Stream().pathJoin(path, name, sizeof path)) return kErrRange;
  Lua().pushstring(L, path);
  return 1;
}

// ReadDirectory(path, files, directories, [sort]): the two counts.
int ReadDirectory(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  Lua().checktable(L, 2);
  Lua().checktable(L, 3);
  int sort = Lua().optinteger(L, 4, 1);
  DirHandle* handle = nullptr;
  DirEntryRecord* entry = nullptr;
  if (int rc = OpenListing(path, kListDirFlags, nullptr, nullptr, &handle, &entry)) return rc;
  size_t length = 0;
  int isDirectory = 0;
  if (!sort) {
    // Unsorted, each name goes straight into its table. The listing is closed
    // when the command ends, also when the interpreter runs out of memory. No
    // script code can reach the listing, so a name stays where the listing
    // left it until it is stored.
    const CommandEndAction close{CloseListingAtEnd, {handle, entry, nullptr}};
    if (Args().atCommandEnd(L, &close)) {
      CloseListing(handle, entry);
      return kErrNoMemory;
    }
    size_t counts[2] = {0, 0};
    while (const char* name = Files().nextName(handle, &length, &isDirectory)) {
      const int kind = isDirectory ? 1 : 0;
      StoreName(L, 2 + kind, counts[kind]++, name, length);
    }
    StoreName(L, 2, counts[0], "", 0);
    StoreName(L, 3, counts[1], "", 0);
    Lua().pushnumber(L, static_cast<double>(counts[0]));
    Lua().pushnumber(L, static_cast<double>(counts[1]));
    return 2;
  }
  NameList lists[2];
  bool ok = true;
  while (ok) {
    const char* name = Files().nextName(handle, &length, &isDirectory);
    if (!name) break;
    ok = lists[isDirectory ? 1 : 0].Add(name, length);
  }
  CloseListing(handle, entry);
  if (ok) {
    for (NameList& list : lists) list.Sort();
    StoreNames(L, 2, lists[0]);
    StoreNames(L, 3, lists[1]);
    Lua().pushnumber(L, static_cast<double>(lists[0].count));
    Lua().pushnumber(L, static_cast<double>(lists[1].count));
  }
  for (NameList& list : lists) list.Free();
  return ok ? 2 : kErrNoMemory;
}

// DirectoryItems(path): an iterator of name and entry table.
int DirectoryItems(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* path = Lua().checklstring(L, 1, nullptr);
  auto* u = static_cast<DirUserdata*>(Lua().newuserdata(L, sizeof(DirUserdata)));
  u->handle = nullptr;
  u->entry = nullptr;
  Lua().getregmetatable(L, kDirMetatable);
  Lua().setmetatable(L, -2);
  if (int rc = OpenListing(path, kListDirFlags, nullptr, nullptr, &u->handle, &u->entry)) {
    u->handle = nullptr;
    u->entry = nullptr;
    Lua().settop(L, -2);
    return rc;
  }
  Lua().pushcclosure(L, NextItem, 1);
  return 1;
}

}  // namespace tzx::dos
