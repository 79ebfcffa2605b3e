// FileLines: an iterator over the lines of a file for generic for loops.
#include <algorithm>

#include "commands.h"
#include "file_read.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "userdata.h"

namespace tzx::dos {
namespace {

// Longer lines arrive in pieces of this many bytes.
constexpr size_t kPieceSize = 1024;
constexpr size_t kBlockSize = 65536;

// The "FILE*" block of a FileLines iterator: the handle and the bytes read
// ahead of the script. The iterator owns its handle, so reading ahead loses
// nothing.
struct LinesState {
  FileUserdata file;
  // The last piece stopped at kPieceSize: an LF that follows right away ends
  // that line rather than starting an empty one.
  bool pieceCut;
  size_t start, end;  // unread bytes of `block`
  char block[kBlockSize];
};

// Makes unread bytes available; false at the end of the file. Unbuffered
// reads return what a stream has at once instead of waiting for a full block.
bool Fill(LinesState* s) {
  if (s->start < s->end) return true;
  int64_t n = Files().readUnbuffered(s->file.handle, s->block, kBlockSize);
  if (n <= 0) return false;
  s->start = 0;
  s->end = static_cast<size_t>(n);
  return true;
}

int Finish(LinesState* s) {
  CloseFileUserdata(&s->file);
  return 0;
}

// Each call: the next line without its LF and with every CR dropped, at most
// kPieceSize bytes of it; nothing at the end of the file.
int NextLine(lua_State* L) {
  auto* s = static_cast<LinesState*>(Lua().touserdata(L, UpvalueIndex(1)));
  if (!s->file.handle) return 0;
  if (!Fill(s)) return Finish(s);
  if (s->pieceCut) {
    s->pieceCut = false;
    while (Fill(s) && s->block[s->start] == '\r') ++s->start;
    if (Fill(s) && s->block[s->start] == '\n') ++s->start;
    if (!Fill(s)) return Finish(s);
  }
  // Most lines end inside the block: push them straight from it.
  const char* p = s->block + s->start;
  size_t window = std::min(s->end - s->start, kPieceSize);
  size_t i = FindLineBreak(p, window);
  if (i < window && p[i] == '\n') {
    s->start += i + 1;
    Lua().pushlstring(L, p, i);
    return 1;
  }
  LuaBuffer b;
  Lua().buffinit(L, &b);
  size_t stored = 0;
  while (Fill(s)) {
    p = s->block + s->start;
    window = std::min(s->end - s->start, kPieceSize - stored);
    i = FindLineBreak(p, window);
    Lua().addlstring(&b, p, i);
    stored += i;
    s->start += i;
    if (i < window) {
      if (s->block[s->start++] == '\n') break;
      continue;  // a CR is dropped
    }
    if (stored == kPieceSize) {
      s->pieceCut = true;
      break;
    }
  }
  Lua().pushresult(&b);
  return 1;
}

}  // namespace

// FileLines(filename)
int FileLines(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* name = Args().fileName(L, 1, 0, 0);
  // The block exists before the file is opened, so that no handle can be lost
  // if the interpreter runs out of memory.
  auto* s = static_cast<LinesState*>(Lua().newuserdata(L, sizeof(LinesState)));
  s->file.handle = nullptr;
  s->pieceCut = false;
  s->start = s->end = 0;
  Lua().getregmetatable(L, kFileMetatable);
  Lua().setmetatable(L, -2);
  OpenOptions options;
  Files().initOpenOptions(&options);
  s->file.handle = Files().openFile(name, kAccessRead | kAccessDos, &options, nullptr);
  if (!s->file.handle) {
    Lua().settop(L, -2);
    return ErrorWithString(kErrOpenRead, name);
  }
  Lua().pushcclosure(L, NextLine, 1);
  return 1;
}

}  // namespace tzx::dos
