// FileToString and StringToFile: whole files to and from strings.
#include "commands.h"
#include "file_read.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// Reads the "adapter" and the user tags of an optional options table at `n`.
// The tags reader is the last to run, so nothing raises once they exist.
int ReadOpenOptions(lua_State* L, int n, OpenOptions* options, UserTags** tags) {
  Files().initOpenOptions(options);
  *tags = nullptr;
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return 0;
  Lua().checktable(L, n);
  Args().fieldString(L, n, "adapter", options->adapter, sizeof options->adapter);
  return Args().userTags(L, n, 0, 0, tags);
}

}  // namespace

// FileToString(filename, [options]): the contents and their length.
int FileToString(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  const char* name = Args().fileName(L, 1, 0, 0);
  OpenOptions options;
  UserTags* tags;
  if (int rc = ReadOpenOptions(L, 2, &options, &tags)) return rc;
  FileHandle* h = Files().openFile(name, kAccessRead | kAccessDos, &options, tags);
  Args().freeUserTags(tags, 0);
  if (!h) return ErrorWithString(kErrOpenRead, name);
  char* data;
  int64_t size;
  int rc = ReadWhole(h, &data, &size);
  Stream().closeFile(h);
  if (rc) return rc;
  Lua().pushlstring(L, data, size);
  HostFree(data);
  Lua().pushnumber(L, static_cast<double>(size));
  return 2;
}

// StringToFile(string, filename, [options]): a file that cannot take the whole
// string, including at the final write-out, is reported.
int StringToFile(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  size_t size;
  const char* data = Lua().checklstring(L, 1, &size);
  const char* name = Args().fileName(L, 2, 0, 0);
  OpenOptions options;
  UserTags* tags;
  if (int rc = ReadOpenOptions(L, 3, &options, &tags)) return rc;
  FileHandle* h = Files().openFile(name, kAccessWrite | kAccessDos, &options, tags);
  Args().freeUserTags(tags, 0);
  if (!h) return ErrorWithString(kErrOpenWrite, name);
  int rc = Stream().writeBytes(h, data, size) == static_cast<int64_t>(size) ? 0 : kErrWrite;
  if (rc == 0 && Stream().flush(h) != 0) rc = kErrWrite;
  Stream().closeFile(h);
  return rc;
}

}  // namespace tzx::dos
