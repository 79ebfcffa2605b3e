// The engine behind CopyFile, MoveFile and DeleteFile: one operation record
// that walks a file or a tree a step at a time, so that the command can run it
// to the end or hand it to the async library. A step copies one block of a
// file or handles one entry.
//
// Nothing is lost: a copy is written under a temporary name in the target's
// folder and renamed into place only when complete, so an abort, a callback
// error or a failure leaves no file that looks complete; a move across file
// systems deletes a source file only after its copy has been verified; a
// folder is never copied into itself, and no command moves or deletes the
// root or a mount point.
#pragma once

#include <cstdint>

#include "pattern.h"
#include "platform/file_system.h"
#include "tzx/host.h"
#include "tzx/siblings.h"

namespace tzx::dos {

enum class TransferKind { kCopy, kMove, kDelete };

inline constexpr size_t kLongPath = 4096;
inline constexpr int kMaxDepth = 128;
inline constexpr int64_t kDefaultBufferSize = 1 << 20;

struct TransferOp;

// Calls the script's callback with the action and the operation's current
// paths and counts; writes its result as a number. 0 or an error code (the
// callback's own error).
using AskFn = int (*)(lua_State* L, TransferOp* op, int action, double* result);

struct TransferLevel {
  platform::DirStream* dir;
  uint32_t srcLength, dstLength;
  bool removeAfter;  // the folder goes once its entries are handled
  bool all;          // every entry below is handled, whatever the pattern
  bool madeTarget;   // this operation made the target folder: nothing is in it to ask about
};

struct TransferOp {
  AsyncOperation head;
  TransferKind kind;

  // Options.
  char source[1024];
  char destination[1024];
  char newName[256];
  char pattern[256];
  CompiledPattern matcher;  // `pattern`, prepared once for every name of the walk
  int32_t matchDir, recursive, mustExist, failOnError, force, fileDst;
  int64_t bufferSize;
  int callbackRef;  // kNoRef when none
  int userdataRef;
  AskFn ask;

  // The walk: the entry in hand is `src` (and its target `dst`).
  bool started;
  int depth;
  TransferLevel levels[kMaxDepth];
  char src[kLongPath];
  char dst[kLongPath];

  // The file being copied.
  bool copying;
  platform::CopyStreams streams;
  char temp[kLongPath];
  int64_t copied, size;
  platform::FileStatus sourceStatus;
  void* buffer;
};

// Fills the step and clean-up functions; the command has filled the options.
void PrepareTransfer(TransferOp* op);

// kAsyncMore while steps remain, 0 when done, or an error code (kErrAborted
// when the callback or the host stopped it).
int StepTransfer(lua_State* L, AsyncOperation* op);
// Closes what is open, removes an unfinished copy, releases the callback
// references and frees the record.
void CleanUpTransfer(lua_State* L, AsyncOperation* op);

}  // namespace tzx::dos
