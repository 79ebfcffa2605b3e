// Script commands that write to open files.
#include "commands.h"
#include "file_nodes.h"
#include "file_read.h"
#include "file_write.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {

// WriteChr(id, code, [encoding])
int WriteChr(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int64_t code = TruncateTo64(Lua().checknumber(L, 2));
  int encoding = Lua().optinteger(L, 3, *Memory().dosEncoding);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  bool utf8 =
      encoding != kEncodingLatin1 && encoding != kEncodingNone && node->encoding != kEncodingLatin1;
  return WriteChar(node->handle, code, utf8);
}

namespace {

// WriteByte and WriteShort: the value truncated to the width.
int WriteSmallInteger(lua_State* L, int bytes) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int64_t value = TruncateTo64(Lua().checknumber(L, 2));
  int flags = Lua().optinteger(L, 3, 0);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  return WriteInteger(node->handle, static_cast<uint64_t>(value), bytes, flags);
}

}  // namespace

// WriteByte(id, value, [flags])
int WriteByte(lua_State* L) {
  return WriteSmallInteger(L, 1);
}

// WriteShort(id, value, [flags])
int WriteShort(lua_State* L) {
  return WriteSmallInteger(L, 2);
}

// WriteInt(id, value, [flags]): 32 bits; 64 bits with IO_FAKE64.
int WriteInt(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int flags = Lua().optinteger(L, 3, 0);
  uint64_t value;
  int bytes = 4;
  if (flags & kIoFake64) {
    value = static_cast<uint64_t>(TruncateTo64(Lua().checknumber(L, 2)));
    bytes = 8;
  } else if (flags & kIoUnsigned) {
    value = Lua().checkunsigned(L, 2);
  } else {
    value = static_cast<uint32_t>(Lua().checkinteger(L, 2));
  }
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  if ((flags & kIoFake64) && (flags & kIoUnsigned)) return kErrRange;
  return WriteInteger(node->handle, value, bytes, flags);
}

// WriteFloat(id, value, [size], [flags])
int WriteFloat(lua_State* L) {
  L = Args().beginCommand(L, 2, 4, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  double value = Lua().checknumber(L, 2);
  int size = Lua().optinteger(L, 3, 8);
  int flags = Lua().optinteger(L, 4, 0);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  if (size != 4 && size != 8) return kErrRange;
  return WriteFloatValue(node->handle, value, size, flags);
}

// WriteString(id, string, [length], [encoding]): the script's text in the
// requested encoding, then in the file's.
int WriteString(lua_State* L) {
  L = Args().beginCommand(L, 2, 4, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int length = Lua().optinteger(L, 3, 0);
  int encoding = Lua().optinteger(L, 4, *Memory().dosEncoding);
  size_t size;
  const char* text = Args().encodedString(L, 2, &size, encoding, 0);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  if (length < 0) return kErrRange;
  return WriteText(node->handle, text, size, length, node->encoding, encoding);
}

// WriteBytes(id, string, [length])
int WriteBytes(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  size_t size;
  const char* text = Lua().checklstring(L, 2, &size);
  int length = Lua().optinteger(L, 3, 0);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  if (length < 0) return kErrRange;
  return WriteText(node->handle, text, size, length, node->encoding, kEncodingNone);
}

// WriteLine(id, string)
int WriteLine(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  size_t size;
  const char* text = Lua().checklstring(L, 2, &size);
  FileNode* node = nullptr;
  if (int rc = FindWritableFile(L, id, &node)) return rc;
  bool unbuffered = gCurrentIoMode == kIoUnbuffered;
  bool crlf = gUseCarriageReturnFlag != 0;
  int hostEncoding = *Memory().dosEncoding;
  if (!NeedsConversion(hostEncoding, node->encoding)) {
    return WriteTextLine(node->handle, text, size, unbuffered, crlf);
  }
  size_t convertedSize = 0;
  char* converted = Errors().convertText(text, hostEncoding, node->encoding, &size, &convertedSize);
  if (!converted) return kErrConvert;
  int rc = WriteTextLine(node->handle, converted, convertedSize, unbuffered, crlf);
  HostFree(converted);
  return rc;
}

}  // namespace tzx::dos
