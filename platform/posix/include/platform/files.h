// Open files through the system's own handles (paths and directories are in
// file_system.h). Files are opened in binary mode (line ends are never
// translated); sizes and positions are 64-bit; calls a signal interrupts are
// retried.
#pragma once

#include <cstdint>

namespace tzx::platform {

// An open file as the system names it.
using NativeFile = intptr_t;
inline constexpr NativeFile kNoFile = -1;

NativeFile StandardInput();
NativeFile StandardOutput();
NativeFile StandardError();

enum class OpenMode {
  kRead,       // an existing file, for reading
  kWrite,      // created, or emptied when it exists, for writing
  kReadWrite,  // created when missing, kept when it exists
};

// Positioned files (regular files, block devices) have a size and are read
// and written at offsets; streams (pipes, sockets, character devices) in
// sequence.
enum class HandleKind { kPositioned, kStream, kDirectory };

struct HandleStatus {
  HandleKind kind;
  int64_t size;
};

// kNoFile when the file cannot be opened.
NativeFile OpenNativeFile(const char* path, OpenMode mode);
void CloseNativeFile(NativeFile file);
bool StatusOf(NativeFile file, HandleStatus* status);

// Transfers `n` bytes at `offset` of a positioned file; the count done, short
// at the end of the file or on an error.
int64_t ReadAt(NativeFile file, int64_t offset, void* out, int64_t n);
int64_t WriteAt(NativeFile file, int64_t offset, const void* in, int64_t n);
// One read of a stream: what it has, up to `n` bytes; 0 at its end or on an
// error.
int64_t ReadSome(NativeFile file, void* out, int64_t n);
// Writes `n` bytes to a stream; the count done, short on an error.
int64_t WriteAll(NativeFile file, const void* in, int64_t n);

}  // namespace tzx::platform
