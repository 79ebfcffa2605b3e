// Script commands that read from open files.
#include "commands.h"
#include "file_nodes.h"
#include "file_read.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

int PushNumber(lua_State* L, int rc, double value) {
  if (rc) return rc;
  Lua().pushnumber(L, value);
  return 1;
}

// Pushes the string the reader left, or passes its error on.
int TextResult(int rc) {
  return rc ? rc : 1;
}

}  // namespace

// ReadChr(id, [encoding])
int ReadChr(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int encoding = Lua().optinteger(L, 2, *Memory().dosEncoding);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  bool utf8 =
      encoding != kEncodingLatin1 && encoding != kEncodingNone && node->encoding != kEncodingLatin1;
  if (!utf8) {
    double byte;
    int rc = ReadInteger(node->handle, 1, 0, false, &byte);
    return PushNumber(L, rc, byte);
  }
  char bytes[4];
  int length;
  uint32_t codePoint = 0;
  int rc = ReadUtf8Char(node->handle, bytes, &length, &codePoint);
  // A mark with nothing after it leaves no character to return.
  if (rc == kEndAfterMark) rc = kErrRead;
  return PushNumber(L, rc, codePoint);
}

namespace {

// ReadByte and ReadShort: unsigned unless IO_SIGNED.
int ReadSmallInteger(lua_State* L, int bytes) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int flags = Lua().optinteger(L, 2, 0);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  double value;
  int rc = ReadInteger(node->handle, bytes, flags, flags & kIoSigned, &value);
  return PushNumber(L, rc, value);
}

}  // namespace

// ReadByte(id, [flags])
int ReadByte(lua_State* L) {
  return ReadSmallInteger(L, 1);
}

// ReadShort(id, [flags])
int ReadShort(lua_State* L) {
  return ReadSmallInteger(L, 2);
}

// ReadInt(id, [flags]): 32 bits, signed unless IO_UNSIGNED; 64 bits with
// IO_FAKE64.
int ReadInt(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int flags = Lua().optinteger(L, 2, 0);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  double value;
  int rc;
  if (flags & kIoFake64) {
    if (flags & kIoUnsigned) return kErrRange;
    rc = ReadInteger(node->handle, 8, flags, true, &value);
  } else {
    rc = ReadInteger(node->handle, 4, flags, !(flags & kIoUnsigned), &value);
  }
  return PushNumber(L, rc, value);
}

// ReadFloat(id, [size], [flags])
int ReadFloat(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int size = Lua().optinteger(L, 2, 8);
  int flags = Lua().optinteger(L, 3, 0);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  if (size != 4 && size != 8) return kErrRange;
  double value;
  int rc = ReadFloatValue(node->handle, size, flags, &value);
  return PushNumber(L, rc, value);
}

// ReadString(id, [length], [encoding])
int ReadString(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int length = Lua().optinteger(L, 2, 0);
  int encoding = Lua().optinteger(L, 3, *Memory().dosEncoding);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  if (length < 0) return kErrRange;
  return TextResult(ReadText(L, node->handle, length, node->encoding, encoding));
}

// ReadBytes(id, [length])
int ReadBytes(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int length = Lua().optinteger(L, 2, 0);
  FileNode* node = nullptr;
  if (int rc = FindReadableFile(L, id, &node)) return rc;
  if (length < 0) return kErrRange;
  return TextResult(ReadText(L, node->handle, length, node->encoding, kEncodingNone));
}

// ReadLine(id, [keep line end])
int ReadLine(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int keepEnd = Lua().optinteger(L, 2, 0);
  FileNode* node = nullptr;
  if (int rc = FindUnpinnedReadableFile(id, &node)) return rc;
  // Most lines are copied out of the host's buffer with no interpreter call in
  // between: the file is pinned only for a read that needs one.
  PinOnDemand pin{PinFileRecord, L, node};
  return TextResult(ReadTextLine(L, node->handle, node->seekable, gCurrentIoMode == kIoUnbuffered,
                                 keepEnd != 0, node->encoding, *Memory().dosEncoding, &pin));
}

}  // namespace tzx::dos
