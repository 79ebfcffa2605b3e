// Directory trees linked into the application (DirTreeNode): reading them
// from the linker's stream, finding entries, freeing them, and the script
// calls the linking side makes through the dos interface.
#pragma once

#include "tzx/dos.h"

namespace tzx::dos {

// Dos interface slots 2 to 6 (tzx/dos.h says what each does).
int MakeLinkedEntryPath(lua_State* L, const DirTreeNode* tree, const char* name, int32_t link,
                        char* out, size_t size);
void FreeDirTree(DirTreeNode* tree);
int ReadDirTree(FileHandle* stream, LinkRequest* request);
int OpenFileThroughScript(lua_State* L, const char* path, const LinkRequest* request);
int DeclareLinkedDirectory(lua_State* L, const char* command, const char* path,
                           LinkRequest* request, void** handleOut);

// The node of `path` ('/' separated, relative to the tree's top level), or
// null.
const DirTreeNode* FindTreeEntry(const DirTreeNode* tree, const char* path);

}  // namespace tzx::dos
