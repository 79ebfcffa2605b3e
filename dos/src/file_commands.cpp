// Opening, closing and positioning script files, and the I/O switches.
#include "commands.h"
#include "file_nodes.h"
#include "file_read.h"
#include "file_write.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"

namespace tzx::dos {
namespace {

struct OpenRequest {
  int access;
  int openError;
};

// The host access and the failure code of each mode; false for unknown modes.
bool OpenRequestOf(int mode, OpenRequest* out) {
  switch (mode) {
    case kModeReadwrite:
      *out = {kAccessReadWrite, kErrOpenWrite};
      return true;
    case kModeRead:
      *out = {kAccessRead, kErrOpenRead};
      return true;
    case kModeWrite:
      *out = {kAccessWrite, kErrOpenWrite};
      return true;
    default:
      return false;
  }
}

// Finds the file of argument 1; every argument must have been read before.
int FileOfArgument(lua_State* L, FileNode** out) {
  ObjectId id = Args().objectId(L, 1);
  return FindFileHandle(&id, out);
}

}  // namespace

// OpenFile(id or Nil, filename, [mode], [options])
int OpenFile(lua_State* L) {
  L = Args().beginCommand(L, 2, 4, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  int mode = Lua().optinteger(L, 3, kModeRead);
  OpenRequest request;
  if (!OpenRequestOf(mode, &request)) return kErrRange;
  // Every name goes through the host's reader, which refuses names with a NUL
  // byte.
  const char* name = Args().fileName(L, 2, 0, 0);
  if (!name[0]) return kErrRange;

  OpenOptions options;
  Files().initOpenOptions(&options);
  int32_t encoding = kEncodingNone;
  int32_t writeBom = 0;
  UserTags* tags = nullptr;
  if (Lua().gettop(L) == 4 && Lua().type(L, 4) != kLuaNil) {
    Lua().checktable(L, 4);
    Args().fieldString(L, 4, "adapter", options.adapter, sizeof options.adapter);
    Args().fieldInt(L, 4, "encoding", &encoding);
    Args().fieldBool(L, 4, "writebom", &writeBom);
    options.encoding = encoding;
    // The last reader: from here on nothing raises, so the tags cannot leak.
    if (int rc = Args().userTags(L, 4, 0, 0, &tags)) return rc;
  }

  if (!id.pointer) {
    // Reopening a number replaces its file; data it could not write is
    // reported rather than lost in silence.
    FileNode* previous = nullptr;
    if (FindFileHandle(&id, &previous) == 0) {
      if (int rc = CloseFileNode(L, previous)) {
        Args().freeUserTags(tags, 0);
        return rc;
      }
    }
  }

  Memory().trace(Memory().catalogueMessage(kMsgOpeningFile, name));
  FileHandle* handle = Files().openFile(name, request.access | kAccessDos, &options, tags);
  Args().freeUserTags(tags, 0);
  if (!handle) return ErrorWithString(request.openError, name);

  if (writeBom && mode == kModeWrite && (encoding == kEncodingNone || encoding == kEncodingUtf8)) {
    if (int rc = Files().write(handle, kByteOrderMark, kIoBlock, sizeof kByteOrderMark, 0, 0)) {
      Stream().closeFile(handle);
      return rc;
    }
  }

  auto* node = AllocRecord<FileNode>();
  if (!node) {
    Stream().closeFile(handle);
    return kErrNoMemory;
  }
  AssignObjectId(&node->header, kTypeFile, id);
  node->mode = mode;
  node->access = request.access;
  node->encoding = encoding;
  node->handle = handle;
  node->seekable = Files().seek(handle, 0, kSeekCurrent) >= 0;
  AppendObject(&gFilesList, &node->header);
  Memory().resourceChanged();

  if (!id.pointer) return 0;
  Lua().pushlightuserdata(L, node);
  return 1;
}

// CloseFile(id): also reports data that could not be written out at the close.
int CloseFile(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  return CloseFileNode(L, node);
}

// Eof(id)
int Eof(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  Lua().pushnumber(L, Stream().eof(node->handle));
  return 1;
}

// Seek(id, position, [mode])
int Seek(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const double requested = Lua().checknumber(L, 2);
  if (requested != requested) return kErrRange;  // NaN is no position
  int64_t position = TruncateTo64(requested);
  int mode = Lua().optinteger(L, 3, kSeekBeginning);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  if (position == kEof && mode == kSeekBeginning) {
    position = 0;
    mode = kSeekEnd;
  }
  return Files().seek(node->handle, position, mode) < 0 ? kErrSeek : 0;
}

// FilePos(id): -1 for a stream that has no position.
int FilePos(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  Lua().pushnumber(L, static_cast<double>(Files().seek(node->handle, 0, kSeekCurrent)));
  return 1;
}

// FileLength(id): -1 for a stream that has no length.
int FileLength(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  Lua().pushnumber(L, static_cast<double>(Files().length(node->handle)));
  return 1;
}

// FlushFile(id): a failed write of the pending data is reported.
int FlushFile(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  return Stream().flush(node->handle);
}

// SetFileEncoding(id, encoding)
int SetFileEncoding(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  int encoding = Lua().checkinteger(L, 2);
  FileNode* node = nullptr;
  if (int rc = FileOfArgument(L, &node)) return rc;
  node->encoding = encoding;
  return 0;
}

// SetIOMode(mode)
int SetIOMode(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  int mode = Lua().checkinteger(L, 1);
  if (mode != kIoBuffered && mode != kIoUnbuffered) return kErrRange;
  gCurrentIoMode = mode;
  return 0;
}

// UseCarriageReturn(flag)
int UseCarriageReturn(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  gUseCarriageReturnFlag = Lua().checkinteger(L, 1);
  return 0;
}

}  // namespace tzx::dos
