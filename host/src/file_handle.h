// The host's file handle: a buffered stream over a disk file, a standard
// stream, a region of another file or string data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace tzx {

struct FileHandle {
  // kStream: a pipe, socket or device opened by name, read and written in
  // sequence like the standard streams.
  enum class Kind { kDisk, kStdin, kStdout, kStderr, kRegion, kMemory, kStream };
  Kind kind = Kind::kDisk;
  platform::NativeFile file = platform::kNoFile;
  int access = 0;                           // read 1, write 2, read and write 4
  int64_t base = 0;                         // region: offset in the underlying file
  int64_t regionSize = 0;                   // region: its length
  std::shared_ptr<const std::string> data;  // memory: the bytes
  std::string name;

  int64_t pos = 0;        // logical position
  int64_t knownSize = 0;  // last size seen, so that eof tests need no system call
  bool atEnd = false;     // sequential streams: a read returned nothing

  // One buffer serves reading or writing: bytes [bufStart, bufStart + bufLen)
  // of the file; `dirty` when they are pending writes.
  std::vector<unsigned char> buf;
  int64_t bufStart = 0;
  size_t bufLen = 0;
  bool dirty = false;
};

}  // namespace tzx

namespace tzx::host {

inline constexpr size_t kFileBufferSize = 65536;

FileHandle* OpenHandle(const char* name, int access);
void CloseHandle(FileHandle* h);
// 0 or an error code.
int FlushHandle(FileHandle* h);
int GetByte(FileHandle* h);
int64_t ReadHandle(FileHandle* h, void* out, int64_t n);
int64_t PeekHandle(FileHandle* h, const char** bytes);
void SkipPeeked(FileHandle* h, int64_t n);
int64_t WriteHandle(FileHandle* h, const void* in, int64_t n);
int64_t ReadDirect(FileHandle* h, void* out, int64_t n);
int64_t WriteDirect(FileHandle* h, const void* in, int64_t n);
int64_t SeekHandle(FileHandle* h, int64_t offset, int mode);
int64_t HandleLength(FileHandle* h);
bool HandleAtEof(FileHandle* h);

// Virtual files, resolved by OpenHandle.
std::string DefineRegion(const std::string& file, int64_t offset, int64_t size,
                         const std::string& name);
std::string DefineString(std::string data, const std::string& name);
bool UndefineString(const std::string& path);
void ClearVirtualFiles();

}  // namespace tzx::host
