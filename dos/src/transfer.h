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
struct TransferShare;  // transfer_workers.cpp

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
  bool listed;       // every entry has been read
};

// A folder of the shared level handed to a worker thread: its name, the
// lengths of its parent's paths, and how its level is opened.
struct SharedFolder {
  char name[256];
  uint32_t srcLength, dstLength;
  bool removeAfter, all, madeTarget;
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
  // No script code runs and nobody sees the order of the walk (no callback,
  // not async): the folders of a tree may be walked by worker threads.
  bool shareable;
  TransferShare* share;  // the workers, while they have folders to walk
  int shareDepth;        // the level whose folders they take

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

  // The path that goes with the failure of the step in hand (empty when it
  // has none): kept here and handed to the host by the script thread, as a
  // walk may run on a worker thread.
  char failPath[kLongPath];
};

// Fills the step and clean-up functions; the command has filled the options.
void PrepareTransfer(TransferOp* op);

// kAsyncMore while steps remain, 0 when done, or an error code (kErrAborted
// when the callback or the host stopped it).
int StepTransfer(lua_State* L, AsyncOperation* op);
// The same step, leaving the failure's path in `failPath` instead of handing
// it to the host: what a worker thread may call.
int StepWalk(lua_State* L, TransferOp* op);

// Worker threads, for the first folder of a walk that has two or more folders
// in it (the top, mostly): instead of walking them itself, the operation
// hands them to workers, each walking its folders with its own copy of the
// operation. The script thread lists that folder and handles its files
// meanwhile, and walks on alone once the workers are done.

// A worker's copy of `lead`: the options, an empty walk, its own buffer
// (null when there is no memory for it).
TransferOp* NewWorkerOp(const TransferOp* lead);
// Closes what the walk has open and removes an unfinished copy.
void CloseWalk(TransferOp* op);
// Opens the level of `folder` in a worker's copy: kAsyncMore or a failure.
int OpenSharedFolder(TransferOp* op, const SharedFolder& folder);

// Sets up the workers' queue (no thread yet); false when there is no memory.
bool BeginSharing(TransferOp* op);
// Queues a folder, starting a worker while there are fewer than folders
// waiting and processors; false (nothing queued) when no worker can take it.
bool ShareFolder(TransferOp* op, const SharedFolder& folder);
// True once a worker has failed (or was stopped by the abort flag).
bool WorkersFailed(const TransferOp* op);
// No more folders come: waits a moment for the workers to finish. kAsyncMore
// while they work; then ends the sharing and returns 0 or the first failure
// (with its path in `failPath`).
int AwaitWorkers(TransferOp* op);
// Stops the workers at once and waits for them; what they had open is closed
// and unfinished copies are removed.
void EndSharing(TransferOp* op);
// Closes what is open, removes an unfinished copy, releases the callback
// references and frees the record.
void CleanUpTransfer(lua_State* L, AsyncOperation* op);

}  // namespace tzx::dos
