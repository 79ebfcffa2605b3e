// The table of open script files and the two library-wide line I/O switches.
#pragma once

#include "tzx/dos.h"

namespace tzx::dos {

// Head of the list of open files; the object sibling walks it as type 44.
extern ObjectHeader* gFilesList;
// IO_BUFFERED (0) or IO_UNBUFFERED (1): how ReadLine and WriteLine reach a file.
extern int gCurrentIoMode;
// Non-zero: WriteLine ends lines with CR LF, else with LF.
extern int gUseCarriageReturnFlag;

// Finds the open file whose identifier matches both words of `id`.
int FindFileHandle(const ObjectId* id, FileNode** out);

// The open file of `id` for a read (kErrFileWriteOnly when it was opened for
// writing only) or for a write (kErrFileReadOnly when opened for reading only),
// pinned for the running command: the read or write may run script code.
int FindReadableFile(lua_State* L, const ObjectId& id, FileNode** out);
int FindWritableFile(lua_State* L, const ObjectId& id, FileNode** out);
// The same for a read without the pin, for a read that pins the file itself
// before it may run script code (PinFileRecord does).
int FindUnpinnedReadableFile(const ObjectId& id, FileNode** out);
int PinFileRecord(lua_State* L, void* node);

// Unlinks the file, writes what is still pending, closes the host handle, lets
// the object sibling forget the record and frees it. Returns 0, or the error of
// the final write when pending data could not be written (the file is closed
// either way). A pinned file is written out and unlinked now; its handle and
// record go when the command that pinned it ends.
int CloseFileNode(lua_State* L, FileNode* node);

// At library close: every open file, in list order.
void CloseAllFiles(lua_State* L);

// The attribute callback of type 44.
int FileAttribute(lua_State* L, int attribute, const ObjectId* id);

}  // namespace tzx::dos
