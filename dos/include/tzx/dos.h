// The interface dos.tzx hands its siblings: open files, finished program runs,
// directory trees linked into the application and the two I/O switches.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx::dos {

// One open script file (object type 44), kept in FilesList.
struct FileNode {
  ObjectHeader header;
  int32_t mode;      // MODE_READWRITE, MODE_READ or MODE_WRITE as the script passed it
  int32_t access;    // kAccessRead, kAccessWrite or kAccessReadWrite
  int32_t encoding;  // kEncodingNone (take the caller's), kEncodingLatin1 or kEncodingUtf8
  FileHandle* handle;
  bool seekable;  // the handle can move back (false for streams)
  // Pins of the running command (tzx/pins.h). A close of a pinned file takes
  // it out of the list at once and closes the handle when the pins go.
  int32_t pins;
  bool closePending;
};

// A program run whose end the event library delivered ("RunFinished"); it
// hands the record back through freeProgramRun.
struct ProgramRun;

// A node of a directory tree linked into the application: one block from the
// host's memory, the name after the node.
struct DirTreeNode {
  DirTreeNode* right;  // first child (directories)
  DirTreeNode* left;   // next sibling
  char* name;          // '/' separators
  int32_t isDirectory;
  int64_t size;  // files
};

// Request type of a directory object with a number id (declareLinkedDirectory).
inline constexpr int32_t kLinkRequestNumbered = 18;

// What the linking side of the host hands to readDirTree,
// openFileThroughScript and declareLinkedDirectory.
struct LinkRequest {
  int32_t type;         // kLinkRequestNumbered, or 0
  ObjectId id;          // the object to open
  int32_t wantEntries;  // readDirTree reads a tree only when set
  DirTreeNode* tree;    // read by readDirTree; declareLinkedDirectory hands it over
  int32_t recursive;    // "recursive" of the declared directory
  char adapter[256];    // openFileThroughScript: the adapter to open with, "" for none
  // openFileThroughScript: a registry reference of a table of user tags, kNoRef
  // when none.
  int32_t userTags;
};

// The serialised tree readDirTree reads: 32-bit little-endian words. A tree is
// a count, then per entry the name's length, the name (UTF-8, '/' or '\'
// separators, no NUL), a directory flag (0 or 1) and then for a file its size
// (low word, high word), for a directory its own tree.
inline constexpr int kDirTreeMaxDepth = 64;
inline constexpr uint32_t kDirTreeMaxName = 1023;

struct DosInterface {
  // Slot 0: 0, or 1041 / 1179 (with the number as argument) when no file has
  // the id.
  int (*findFileHandle)(const ObjectId* id, FileNode** out);
  // Slot 1: stops the run's worker if it still runs and frees the record; a
  // record that is no longer dos's (freed at close) is let alone.
  void (*freeProgramRun)(lua_State* L, ProgramRun* run);
  // Slot 2: the path that opens the entry `name` ('\' taken as '/') of a
  // linked tree: ":::link,name". 0; 1045 with the name as argument when the
  // tree has no such entry; 1000 when the path does not fit `size`.
  int (*makeLinkedEntryPath)(lua_State* L, const DirTreeNode* tree, const char* name, int32_t link,
                             char* out, size_t size);
  // Slot 3: frees a tree, children before their parent.
  void (*freeDirTree)(DirTreeNode* tree);
  // Slot 4: with request->wantEntries, reads a serialised tree from the
  // stream into request->tree (null for an empty tree). 0, 1000, or 1009 when
  // the data ends early or is not a tree (nothing is kept then).
  int (*readDirTree)(FileHandle* stream, LinkRequest* request);
  // Slot 5: calls the script's "openfile" with the request's id, the path,
  // MODE_READ and, with an adapter or user tags, a table of both. The
  // command's error code, or 0.
  int (*openFileThroughScript)(lua_State* L, const char* path, const LinkRequest* request);
  // Slot 6: calls the script command `command` (a global) with the request's
  // number (type 18) or nil, the path and {recursive, __emptydir,
  // __direntries = tree}. On success the directory owns the tree and
  // request->tree is cleared; `handleOut` (may be null) receives the handle
  // the command returned for a nil id, else null. The command's error code,
  // or 0.
  int (*declareLinkedDirectory)(lua_State* L, const char* command, const char* path,
                                LinkRequest* request, void** handleOut);
  int* currentIoMode;      // slot 7: IO_BUFFERED or IO_UNBUFFERED, for ReadLine and WriteLine
  int* useCarriageReturn;  // slot 8: non-zero: WriteLine ends lines with CR LF
  const void* end;         // always null
};
static_assert(offsetof(DosInterface, freeProgramRun) == 1 * sizeof(void*));
static_assert(offsetof(DosInterface, makeLinkedEntryPath) == 2 * sizeof(void*));
static_assert(offsetof(DosInterface, freeDirTree) == 3 * sizeof(void*));
static_assert(offsetof(DosInterface, readDirTree) == 4 * sizeof(void*));
static_assert(offsetof(DosInterface, openFileThroughScript) == 5 * sizeof(void*));
static_assert(offsetof(DosInterface, declareLinkedDirectory) == 6 * sizeof(void*));
static_assert(offsetof(DosInterface, currentIoMode) == 7 * sizeof(void*));
static_assert(offsetof(DosInterface, useCarriageReturn) == 8 * sizeof(void*));
static_assert(sizeof(DosInterface) == 10 * sizeof(void*));

}  // namespace tzx::dos
