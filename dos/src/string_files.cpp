// FileToString and StringToFile: whole files to and from strings.
#include <cstring>

#include "commands.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// Capacity for a file of unknown length, grown by doubling.
constexpr int64_t kFirstCapacity = 65536;

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

// The whole rest of the file in one host block; the block is one byte larger
// than the known length, so the read that finds the end needs no second block.
int ReadWhole(FileHandle* h, char** dataOut, int64_t* sizeOut) {
  int64_t length = Files().length(h);
  int64_t capacity = length >= 0 ? length + 1 : kFirstCapacity;
  auto* data = static_cast<char*>(HostAlloc(capacity, false));
  if (!data) return kErrNoMemory;
  int64_t size = 0;
  for (;;) {
    if (size == capacity) {
      auto* larger = static_cast<char*>(HostAlloc(capacity * 2, false));
      if (!larger) {
        HostFree(data);
        return kErrNoMemory;
      }
      std::memcpy(larger, data, size);
      HostFree(data);
      data = larger;
      capacity *= 2;
    }
    int64_t n = Stream().readBytes(h, data + size, capacity - size);
    if (n <= 0) break;
    size += n;
  }
  // Stopping short of the end is a read failure, not a shorter file.
  if (!Stream().eof(h)) {
    HostFree(data);
    return kErrRead;
  }
  *dataOut = data;
  *sizeOut = size;
  return 0;
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
