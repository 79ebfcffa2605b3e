#include "transfer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "pattern.h"
#include "platform/threads.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

using platform::FileStatus;

// With a callback, blocks are as large as the script asked; without one the
// kernel gets larger runs.
constexpr int64_t kQuietChunk = 64 << 20;

struct Actions {
  int overwrite, unprotect, status, failed;
};
// Moves have no overwrite question: a move never replaces anything.
constexpr Actions kCopyActions = {kCopyfileOverwrite, kCopyfileUnprotect, kCopyfileStatus,
                                  kCopyfileFailed};
constexpr Actions kMoveActions = {-1, kMovefileUnprotect, kMovefileCopy, kMovefileCopyfailed};

const Actions& ActionsOf(const TransferOp* op) {
  return op->kind == TransferKind::kMove ? kMoveActions : kCopyActions;
}

bool Matches(const TransferOp* op, const char* name) {
  if (!op->pattern[0]) return true;
  return op->matcher.Ready() ? op->matcher.Matches(name) : MatchesPattern(name, op->pattern);
}

// A failure with the path as its argument.
int Fail(TransferOp* op, int code, const char* path) {
  const size_t n = strnlen(path, kLongPath - 1);
  std::memcpy(op->failPath, path, n);
  op->failPath[n] = 0;
  return code;
}

// Read by worker threads too, while the host may set it.
bool Aborted() {
  return std::atomic_ref<int>(*Memory().abortFlag).load(std::memory_order_relaxed) != 0;
}

// Asks the callback when there is one; `fallback` is the answer without it.
int Ask(lua_State* L, TransferOp* op, int action, double fallback, double* result) {
  *result = fallback;
  if (op->callbackRef == kNoRef) return 0;
  // The script decides now: a failure it was asked about is no longer the
  // step's, and an error it raises comes with its own argument.
  op->failPath[0] = 0;
  return op->ask(L, op, action, result);
}

bool Append(char* path, uint32_t at, const char* name) {
  size_t n = std::strlen(name);
  if (at + 1 + n >= kLongPath) return false;
  path[at] = '/';
  std::memcpy(path + at + 1, name, n + 1);
  return true;
}

bool SetPath(char* path, const char* text) {
  size_t n = std::strlen(text);
  if (n >= kLongPath) return false;
  std::memcpy(path, text, n + 1);
  return true;
}

// "Protected": the user write bit is clear, whoever runs the script.
bool Protected(const FileStatus& st) {
  return !(st.mode & 0200);
}

// The folder being walked and the name in it of the entry in hand; null
// outside a walk, where `src` is the whole path.
platform::DirStream* WalkedFolder(const TransferOp* op, const char** name) {
  if (op->depth == 0) return nullptr;
  const TransferLevel& level = op->levels[op->depth - 1];
  *name = op->src + level.srcLength + 1;
  return level.dir;
}

void DropPartialCopy(TransferOp* op) {
  if (op->streams.out >= 0 || op->streams.in >= 0) platform::CloseCopyStreams(&op->streams);
  if (op->temp[0]) platform::RemoveFile(op->temp);
  op->temp[0] = 0;
  op->copying = false;
}

// At least `wanted` folders (not links to them) directly in `path`.
bool HasFolders(const char* path, int wanted) {
  platform::DirStream* dir = platform::OpenDirStream(path);
  if (!dir) return false;
  int found = 0;
  const char* name = nullptr;
  FileStatus st;
  while (found < wanted && platform::ReadDirStream(dir, &name, &st, true)) {
    found += st.directory && !st.link;
  }
  platform::CloseDirStream(dir);
  return found >= wanted;
}

// The folder just opened has folders to share, and the machine processors to
// share them: the workers will take its folders.
void ShareWhenWorthIt(TransferOp* op) {
  if (platform::ProcessorCount() < 2 || !HasFolders(op->src, 2)) return;
  // Without memory for it, the walk stays here.
  if (BeginSharing(op)) op->shareDepth = op->depth;
}

// Hands a folder of the shared level to the workers; false when none can
// take it.
bool ShareSubfolder(TransferOp* op, bool removeAfter, bool all, bool madeTarget) {
  SharedFolder folder{};
  const TransferLevel& shared = op->levels[op->shareDepth - 1];
  const char* name = op->src + shared.srcLength + 1;
  if (std::strlen(name) >= sizeof folder.name) return false;
  std::strcpy(folder.name, name);
  folder.srcLength = shared.srcLength;
  folder.dstLength = shared.dstLength;
  folder.removeAfter = removeAfter;
  folder.all = all;
  folder.madeTarget = madeTarget;
  return ShareFolder(op, folder);
}

int OpenLevel(TransferOp* op, bool removeAfter, bool all, bool madeTarget = false) {
  if (op->share && op->depth == op->shareDepth &&
      ShareSubfolder(op, removeAfter, all, madeTarget)) {
    return kAsyncMore;
  }
  if (op->depth == kMaxDepth) return Fail(op, kErrOpenDir, op->src);
  platform::DirStream* dir = platform::OpenDirStream(op->src);
  if (!dir) return Fail(op, kErrOpenDir, op->src);
  op->levels[op->depth++] = TransferLevel{dir,
                                          static_cast<uint32_t>(std::strlen(op->src)),
                                          static_cast<uint32_t>(std::strlen(op->dst)),
                                          removeAfter,
                                          all,
                                          madeTarget,
                                          false};
  // The first folder of the walk with two or more folders in it is shared.
  if (op->shareable && !op->share) ShareWhenWorthIt(op);
  return kAsyncMore;
}

// Deletes `src` (a file or a link), asking as the Part's delete steps ask:
// protection first, then the status, then the deletion with retries.
int DeleteEntry(lua_State* L, TransferOp* op, const FileStatus& st) {
  const bool move = op->kind == TransferKind::kMove;
  const int unprotect = move ? kMovefileUnprotect : kDeletefileUnprotect;
  const int status = move ? kMovefileDelete : kDeletefileStatus;
  const int failed = move ? kMovefileDeletefailed : kDeletefileFailed;
  double answer = 0;
  if (!st.link && Protected(st) && !op->force) {
    // Without a callback a protected file is not deleted behind the user's back.
    if (op->callbackRef == kNoRef) return kErrDeleteFile;
    if (int rc = Ask(L, op, unprotect, 1, &answer)) return rc;
    if (answer == -1 || Aborted()) return kErrAborted;
    if (answer == 0) return kAsyncMore;
  }
  if (int rc = Ask(L, op, status, 0, &answer)) return rc;
  if (answer == 1 || Aborted()) return kErrAborted;
  const char* name = nullptr;
  platform::DirStream* folder = WalkedFolder(op, &name);
  for (;;) {
    if (folder ? platform::RemoveFileIn(folder, name) : platform::RemoveFile(op->src)) {
      return kAsyncMore;
    }
    if (op->failOnError || op->callbackRef == kNoRef) return kErrDeleteFile;
    if (int rc = Ask(L, op, failed, 0, &answer)) return rc;
    if (answer == 1 || Aborted()) return kErrAborted;
    if (answer != -1) return kAsyncMore;
  }
}

int RemoveFolder(lua_State* L, TransferOp* op) {
  double answer = 0;
  for (;;) {
    if (platform::RemoveDir(op->src)) return kAsyncMore;
    // A folder that kept entries the pattern left alone stays.
    if (platform::LastFsError() == platform::FsError::kNotEmpty) return kAsyncMore;
    if (op->failOnError || op->callbackRef == kNoRef) return kErrDeleteFile;
    const int failed = op->kind == TransferKind::kMove ? kMovefileDeletefailed : kDeletefileFailed;
    if (int rc = Ask(L, op, failed, 0, &answer)) return rc;
    if (answer == 1 || Aborted()) return kErrAborted;
    if (answer != -1) return kAsyncMore;
  }
}

// A failed file: the partial copy goes, then the callback decides.
int FileFailed(lua_State* L, TransferOp* op, int code);

int BeginCopy(lua_State* L, TransferOp* op) {
  const Actions& actions = ActionsOf(op);
  FileStatus target;
  // In a folder this operation made there is nothing to replace or ask about
  // (a file put there meanwhile is replaced, as one put there after a look
  // would be).
  const bool madeTarget = op->depth > 0 && op->levels[op->depth - 1].madeTarget;
  if (!madeTarget && platform::Examine(op->dst, &target)) {
    // A file copied onto itself stays as it is.
    if (target.device == op->sourceStatus.device && target.inode == op->sourceStatus.inode) {
      return kAsyncMore;
    }
    if (target.directory) return FileFailed(L, op, Fail(op, kErrOpenWrite, op->dst));
    double answer = 1;
    if (!op->force && actions.overwrite >= 0) {
      if (int rc = Ask(L, op, actions.overwrite, 1, &answer)) return rc;
      if (answer == -1 || Aborted()) return kErrAborted;
      if (answer == 0) return kAsyncMore;
    }
    if (!op->force && Protected(target)) {
      if (int rc = Ask(L, op, actions.unprotect, 1, &answer)) return rc;
      if (answer == -1 || Aborted()) return kErrAborted;
      if (answer == 0) return kAsyncMore;
    }
  }
  const char* entry = nullptr;
  platform::DirStream* walked = WalkedFolder(op, &entry);
  if (!(walked ? platform::OpenCopySourceIn(walked, entry, &op->streams)
               : platform::OpenCopySource(op->src, &op->streams))) {
    return FileFailed(L, op, Fail(op, kErrOpenRead, op->src));
  }
  char folder[kLongPath];
  std::strcpy(folder, op->dst);
  char* slash = std::strrchr(folder, '/');
  const char* name = op->dst + (slash ? slash - folder + 1 : 0);
  if (slash == folder) {
    folder[1] = 0;
  } else if (slash) {
    *slash = 0;
  } else {
    folder[0] = 0;
  }
  if (!platform::CreateCopyTarget(folder, name, op->sourceStatus.mode, &op->streams, op->temp,
                                  sizeof op->temp)) {
    op->temp[0] = 0;
    return FileFailed(L, op, Fail(op, kErrOpenWrite, op->dst));
  }
  op->copied = 0;
  op->size = op->sourceStatus.size;
  op->copying = true;
  return kAsyncMore;
}

int FileFailed(lua_State* L, TransferOp* op, int code) {
  DropPartialCopy(op);
  if (code == kErrAborted || op->failOnError || op->callbackRef == kNoRef) return code;
  double answer = 0;
  if (int rc = Ask(L, op, ActionsOf(op).failed, 0, &answer)) return rc;
  if (answer == 1 || Aborted()) return kErrAborted;
  if (answer == -1) {
    // From the start again, with the source as it is now.
    if (!platform::Examine(op->src, &op->sourceStatus)) {
      return FileFailed(L, op, Fail(op, kErrOpenRead, op->src));
    }
    return BeginCopy(L, op);
  }
  return kAsyncMore;
}

// The copy is complete: its bits and times, then into place; a move then
// checks it and deletes the source.
int FinishCopy(lua_State* L, TransferOp* op) {
  platform::FinishCopyTarget(&op->streams, op->sourceStatus.mode, op->sourceStatus.accessed,
                             op->sourceStatus.modified);
  bool writeFailed = false;
  if (!platform::PlaceCopyTarget(&op->streams, op->temp, op->dst, &writeFailed)) {
    return FileFailed(L, op, writeFailed ? kErrWrite : Fail(op, kErrOpenWrite, op->dst));
  }
  op->temp[0] = 0;
  op->copying = false;
  if (op->kind != TransferKind::kMove) return kAsyncMore;
  FileStatus copy;
  if (!platform::Examine(op->dst, &copy) || copy.size != op->size) {
    return FileFailed(L, op, kErrWrite);
  }
  return DeleteEntry(L, op, op->sourceStatus);
}

// One block of the size the script asked for (the kernel may take several
// calls for it), then the status callback.
int CopyBlock(lua_State* L, TransferOp* op) {
  if (op->copied < op->size) {
    int64_t block =
        op->callbackRef == kNoRef ? std::max(op->bufferSize, kQuietChunk) : op->bufferSize;
    block = std::min(block, op->size - op->copied);
    for (int64_t done = 0; done < block;) {
      platform::CopyResult r = platform::CopyChunk(
          &op->streams, op->buffer, static_cast<size_t>(op->bufferSize), block - done);
      if (r.writeFailed) return FileFailed(L, op, kErrWrite);
      // A source that ends before its size was reached has changed meanwhile.
      if (r.readFailed || r.bytes == 0) return FileFailed(L, op, kErrRead);
      done += r.bytes;
    }
    op->copied += block;
    double answer = 0;
    int rc = Ask(L, op, ActionsOf(op).status, 0, &answer);
    if (rc || answer == 1 || Aborted()) {
      DropPartialCopy(op);
      return rc ? rc : kErrAborted;
    }
    if (op->copied < op->size) return kAsyncMore;
  }
  return FinishCopy(L, op);
}

// A symbolic link in a tree is copied as a link.
int CopyLink(lua_State* L, TransferOp* op) {
  char target[kLongPath];
  if (!platform::ReadLink(op->src, target, sizeof target)) {
    return FileFailed(L, op, Fail(op, kErrOpenRead, op->src));
  }
  FileStatus existing;
  if (platform::Examine(op->dst, &existing) ||
      platform::LastFsError() != platform::FsError::kNotFound) {
    double answer = 1;
    if (!op->force && ActionsOf(op).overwrite >= 0) {
      if (int rc = Ask(L, op, ActionsOf(op).overwrite, 1, &answer)) return rc;
      if (answer == -1 || Aborted()) return kErrAborted;
      if (answer == 0) return kAsyncMore;
    }
    if (existing.directory && !existing.link) {
      return FileFailed(L, op, Fail(op, kErrOpenWrite, op->dst));
    }
    platform::RemoveFile(op->dst);
  }
  if (!platform::MakeLink(target, op->dst)) {
    return FileFailed(L, op, Fail(op, kErrOpenWrite, op->dst));
  }
  if (op->kind == TransferKind::kMove) return DeleteEntry(L, op, op->sourceStatus);
  return kAsyncMore;
}

// Sets `made` when the folder is new.
int MakeTargetFolder(TransferOp* op, bool* made) {
  *made = false;
  FileStatus st;
  if (platform::Examine(op->dst, &st)) {
    return st.directory ? 0 : Fail(op, kErrMakeDir, op->dst);
  }
  if (!platform::MakeDir(op->dst)) return Fail(op, kErrMakeDir, op->dst);
  *made = true;
  return 0;
}

// One entry of a walked folder; `src` and `dst` name it.
int HandleEntry(lua_State* L, TransferOp* op, const char* name, const FileStatus& st, bool all) {
  op->sourceStatus = st;
  if (op->kind == TransferKind::kDelete) {
    if (st.directory && !st.link) {
      bool whole = all || (op->matchDir && op->pattern[0] && Matches(op, name));
      if (!whole && !op->recursive) return kAsyncMore;
      return OpenLevel(op, whole, whole);
    }
    if (!all && !Matches(op, name)) return kAsyncMore;
    return DeleteEntry(L, op, st);
  }
  if (st.directory && !st.link) {
    if (op->matchDir && !Matches(op, name)) return kAsyncMore;
    bool made = false;
    if (int rc = MakeTargetFolder(op, &made)) return rc;
    return OpenLevel(op, op->kind == TransferKind::kMove, false, made);
  }
  if (!all && !Matches(op, name)) return kAsyncMore;
  if (st.link) return CopyLink(L, op);
  if (!st.regular) return kAsyncMore;  // devices, pipes and sockets are not copied
  return BeginCopy(L, op);
}

// True when `inner` is `outer` or lies inside it, both existing.
bool Inside(const char* inner, const char* outer) {
  char a[kLongPath], b[kLongPath];
  if (!platform::RealPath(inner, a, sizeof a) || !platform::RealPath(outer, b, sizeof b)) {
    return false;
  }
  size_t n = std::strlen(b);
  return std::strncmp(a, b, n) == 0 && (a[n] == 0 || a[n] == '/' || (n == 1 && b[0] == '/'));
}

// The root or a mount point as a whole is never moved or deleted.
bool Untouchable(const char* path) {
  return platform::IsMountPoint(path);
}

const char* BaseName(const char* path) {
  const char* end = path + std::strlen(path);
  while (end > path + 1 && end[-1] == '/') --end;
  const char* start = end;
  while (start > path && start[-1] != '/') --start;
  static thread_local char name[kLongPath];
  size_t n = static_cast<size_t>(end - start);
  std::memcpy(name, start, n);
  name[n] = 0;
  return name;
}

int StartDelete(lua_State* L, TransferOp* op) {
  FileStatus st;
  if (!SetPath(op->src, op->source)) return kErrRange;
  if (!platform::Examine(op->src, &st)) {
    return op->mustExist ? Fail(op, kErrDeleteFile, op->source) : 0;
  }
  if (st.directory && !st.link) {
    if (Untouchable(op->src)) return Fail(op, kErrRange, op->source);
    // Without a pattern the folder goes whole; with one it is searched.
    const bool whole = !op->pattern[0];
    return OpenLevel(op, whole, whole);
  }
  op->sourceStatus = st;
  if (!Matches(op, BaseName(op->src))) return 0;
  return DeleteEntry(L, op, st);
}

int StartCopyOrMove(lua_State* L, TransferOp* op) {
  const bool move = op->kind == TransferKind::kMove;
  if (!SetPath(op->src, op->source)) return kErrRange;
  FileStatus st;
  if (!platform::Examine(op->src, &st)) return Fail(op, kErrOpenRead, op->source);
  if (move && Untouchable(op->src)) return Fail(op, kErrRange, op->source);
  op->sourceStatus = st;
  // The target: the destination itself, or a name inside the destination
  // folder, which is made when missing.
  if (op->fileDst) {
    if (!SetPath(op->dst, op->destination)) return kErrRange;
  } else {
    FileStatus folder;
    if (platform::Examine(op->destination, &folder)) {
      if (!folder.directory) return Fail(op, kErrMakeDir, op->destination);
    } else if (!platform::MakeDir(op->destination)) {
      return Fail(op, kErrMakeDir, op->destination);
    }
    if (!SetPath(op->dst, op->destination)) return kErrRange;
    const char* name = op->newName[0] ? op->newName : BaseName(op->src);
    uint32_t at = static_cast<uint32_t>(std::strlen(op->dst));
    while (at > 1 && op->dst[at - 1] == '/') op->dst[--at] = 0;
    if (at == 1 && op->dst[0] == '/') at = 0;
    if (!Append(op->dst, at, name)) return kErrRange;
  }
  if (st.directory && !st.link) {
    char folder[kLongPath];
    std::strcpy(folder, op->dst);
    char* slash = std::strrchr(folder, '/');
    if (slash) *(slash == folder ? slash + 1 : slash) = 0;
    // Into itself, the copy would never end.
    if (Inside(slash ? folder : ".", op->src)) return Fail(op, kErrRange, op->source);
  }
  if (move) {
    FileStatus target;
    if (platform::Examine(op->dst, &target) ||
        platform::LastFsError() != platform::FsError::kNotFound) {
      return Fail(op, kErrMove, op->dst);
    }
    if (platform::RenameNoReplace(op->src, op->dst)) return 0;
    // Across file systems: copy, verify, delete.
    if (platform::LastFsError() != platform::FsError::kCrossDevice) {
      return Fail(op, kErrMove, op->source);
    }
  }
  if (st.directory && !st.link) {
    bool made = false;
    if (int rc = MakeTargetFolder(op, &made)) return rc;
    return OpenLevel(op, move, false, made);
  }
  if (!Matches(op, BaseName(op->src))) return 0;
  if (st.link) return CopyLink(L, op);
  return BeginCopy(L, op);
}

}  // namespace

void PrepareTransfer(TransferOp* op) {
  op->head.step = StepTransfer;
  op->head.cleanUp = CleanUpTransfer;
  op->streams = platform::CopyStreams{};
  op->matcher.Compile(op->pattern);
}

int StepWalk(lua_State* L, TransferOp* op) {
  op->failPath[0] = 0;
  if (Aborted()) return kErrAborted;
  // A worker's failure ends the whole walk.
  if (op->share && WorkersFailed(op)) return AwaitWorkers(op);
  if (op->copying) return CopyBlock(L, op);
  if (!op->started) {
    op->started = true;
    int rc = op->kind == TransferKind::kDelete ? StartDelete(L, op) : StartCopyOrMove(L, op);
    return rc == 0 && op->depth == 0 && !op->copying ? 0 : rc;
  }
  if (op->depth == 0) return 0;
  TransferLevel& level = op->levels[op->depth - 1];
  op->src[level.srcLength] = 0;
  op->dst[level.dstLength] = 0;
  const char* name = nullptr;
  FileStatus st;
  if (level.listed || !platform::ReadDirStream(level.dir, &name, &st)) {
    level.listed = true;
    // The folders the workers walk are done before their parent goes.
    if (op->share && op->depth == op->shareDepth) {
      if (int rc = AwaitWorkers(op)) return rc;
    }
    platform::CloseDirStream(level.dir);
    const bool remove = level.removeAfter;
    --op->depth;
    if (remove) return RemoveFolder(L, op);
    return kAsyncMore;
  }
  if (!Append(op->src, level.srcLength, name)) return Fail(op, kErrRange, op->src);
  if (op->kind != TransferKind::kDelete && !Append(op->dst, level.dstLength, name)) {
    return Fail(op, kErrRange, op->dst);
  }
  return HandleEntry(L, op, name, st, level.all);
}

int StepTransfer(lua_State* L, AsyncOperation* head) {
  auto* op = reinterpret_cast<TransferOp*>(head);
  int rc = StepWalk(L, op);
  if (rc != kAsyncMore && rc != 0 && op->failPath[0]) ErrorWithString(rc, op->failPath);
  return rc;
}

void CloseWalk(TransferOp* op) {
  DropPartialCopy(op);
  while (op->depth > 0) platform::CloseDirStream(op->levels[--op->depth].dir);
}

TransferOp* NewWorkerOp(const TransferOp* lead) {
  auto* op = AllocRecord<TransferOp>();
  void* buffer = HostAlloc(static_cast<size_t>(lead->bufferSize), false);
  if (!op || !buffer) {
    HostFree(op);
    HostFree(buffer);
    return nullptr;
  }
  // The options as they are; the walk starts empty.
  std::memcpy(op->source, lead->source, sizeof op->source);
  std::memcpy(op->destination, lead->destination, sizeof op->destination);
  std::memcpy(op->newName, lead->newName, sizeof op->newName);
  std::memcpy(op->pattern, lead->pattern, sizeof op->pattern);
  op->kind = lead->kind;
  op->matcher = lead->matcher;
  op->matchDir = lead->matchDir;
  op->recursive = lead->recursive;
  op->mustExist = lead->mustExist;
  op->failOnError = lead->failOnError;
  op->force = lead->force;
  op->fileDst = lead->fileDst;
  op->bufferSize = lead->bufferSize;
  op->callbackRef = kNoRef;
  op->userdataRef = kNoRef;
  op->ask = lead->ask;
  op->started = true;
  std::memcpy(op->src, lead->src, sizeof op->src);
  std::memcpy(op->dst, lead->dst, sizeof op->dst);
  op->streams = platform::CopyStreams{};
  op->buffer = buffer;
  return op;
}

int OpenSharedFolder(TransferOp* op, const SharedFolder& folder) {
  // The lead's paths fitted with this name: so do the worker's.
  op->src[folder.srcLength] = 0;
  op->dst[folder.dstLength] = 0;
  Append(op->src, folder.srcLength, folder.name);
  if (op->kind != TransferKind::kDelete) Append(op->dst, folder.dstLength, folder.name);
  return OpenLevel(op, folder.removeAfter, folder.all, folder.madeTarget);
}

void CleanUpTransfer(lua_State* L, AsyncOperation* head) {
  auto* op = reinterpret_cast<TransferOp*>(head);
  EndSharing(op);
  CloseWalk(op);
  if (op->callbackRef != kNoRef) Lua().unref(L, kRegistryIndex, op->callbackRef);
  if (op->userdataRef != kNoRef) Lua().unref(L, kRegistryIndex, op->userdataRef);
  HostFree(op->buffer);
  HostFree(op);
}

}  // namespace tzx::dos
