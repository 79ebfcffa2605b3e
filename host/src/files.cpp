// The file-system and stream services over host file and directory handles.
#include <algorithm>
#include <cstring>
#include <string>

#include "file_handle.h"
#include "paths.h"
#include "platform/file_system.h"
#include "services.h"
#include "tzx/errors.h"

namespace tzx {

struct DirHandle {
  platform::DirStream* dir;
  std::string path;
};

// Entries live in the directory stream; the record only stands for them.
struct DirEntryRecord {};

}  // namespace tzx

namespace tzx::host {
namespace {

void InitOpenOptions(OpenOptions* o) {
  std::memset(o, 0, sizeof(*o));
  o->encoding = -1;
}

// Only the inbuilt handler exists; an adapter name other than it cannot serve.
bool InbuiltAdapter(const OpenOptions* o) {
  return !o || o->adapter[0] == 0 || std::strcmp(o->adapter, "default") == 0 ||
         std::strcmp(o->adapter, "inbuilt") == 0;
}

FileHandle* OpenFile(const char* name, int access, const OpenOptions* options, UserTags*) {
  if (!InbuiltAdapter(options)) return nullptr;
  return OpenHandle(name, access);
}

void SwapBytes(unsigned char* p, int64_t n) {
  for (int64_t i = 0, j = n - 1; i < j; ++i, --j) std::swap(p[i], p[j]);
}

// Values are stored big-endian unless the little-endian flag is set.
bool NeedsSwap(int mode, int64_t count, int flags) {
  return mode == kIoValue && count > 1 && !(flags & kIoLittleEndian);
}

int Read(FileHandle* h, void* buffer, int mode, int64_t count, int flags, int) {
  if (count <= 0) return 0;
  if (ReadHandle(h, buffer, count) != count) return kErrRead;
  if (NeedsSwap(mode, count, flags)) SwapBytes(static_cast<unsigned char*>(buffer), count);
  return 0;
}

int Write(FileHandle* h, const void* buffer, int mode, int64_t count, int flags, int) {
  if (count <= 0) return 0;
  const void* data = buffer;
  unsigned char swapped[8];
  if (NeedsSwap(mode, count, flags) && count <= 8) {
    std::memcpy(swapped, buffer, count);
    SwapBytes(swapped, count);
    data = swapped;
  }
  return WriteHandle(h, data, count) == count ? 0 : kErrWrite;
}

uint32_t ReadBE32(FileHandle* h) {
  unsigned char b[4] = {};
  ReadHandle(h, b, 4);
  return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

uint16_t ReadBE16(FileHandle* h) {
  unsigned char b[2] = {};
  ReadHandle(h, b, 2);
  return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

// The fields a names-only listing fills in.
void FillNameAndType(const platform::FileStatus& st, const char* name, ExamineInfo* info) {
  info->type = st.directory ? 1 : 0;
  info->link = st.link ? 1 : 0;
  size_t n = std::min(std::strlen(name), sizeof(info->name) - 1);
  std::memcpy(info->name, name, n);
  info->name[n] = 0;
}

void FillInfo(const platform::FileStatus& st, const char* name, ExamineInfo* info) {
  FillNameAndType(st, name, info);
  info->size = st.size;
  info->protection = st.mode;
  info->created = st.created;
  info->accessed = st.accessed;
  info->modified = st.modified;
}

DirHandle* OpenDir(const char* path, int, const OpenOptions* options, UserTags*) {
  if (!InbuiltAdapter(options)) return nullptr;
  platform::DirStream* dir = platform::OpenDirStream(path);
  if (!dir) return nullptr;
  return new DirHandle{dir, path};
}

int PrepareEntry(DirHandle*, DirEntryRecord** out) {
  *out = new DirEntryRecord;
  return 0;
}

int NextEntry(DirHandle* h, DirEntryRecord*, ExamineInfo* info, int flags, int* isDirectory) {
  const char* name = nullptr;
  platform::FileStatus st;
  const bool namesOnly = (flags & kEntryNamesOnly) != 0;
  if (!platform::ReadDirStream(h->dir, &name, &st, namesOnly)) return 0;
  if (namesOnly) {
    FillNameAndType(st, name, info);
  } else {
    FillInfo(st, name, info);
  }
  if (isDirectory) *isDirectory = info->type;
  return 1;
}

const char* NextName(DirHandle* h, size_t* length, int* isDirectory) {
  const char* name = nullptr;
  platform::FileStatus st;
  if (!platform::ReadDirStream(h->dir, &name, &st, true)) return nullptr;
  *length = std::strlen(name);
  *isDirectory = st.directory ? 1 : 0;
  return name;
}

void FreeEntry(DirEntryRecord* r) {
  delete r;
}

int ExaminePath(const char* path, ExamineInfo* info, int) {
  platform::FileStatus st;
  if (!platform::Examine(path, &st)) return 0;
  FillInfo(st, FilePartOf(path), info);
  return 1;
}

// The inbuilt handler has no format or adapter name.
const char* NoName(FileHandle*) {
  return nullptr;
}
const char* NoDirName(DirHandle*) {
  return nullptr;
}

int CopyPath(const std::string& path, char* out, size_t size) {
  if (path.size() >= size) return kErrNoMemory;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return 0;
}

int DefineVirtualFile(const char* file, uint64_t offset, uint64_t size, const char* name, char* out,
                      size_t outSize) {
  return CopyPath(DefineRegion(file, offset, size, name), out, outSize);
}

int DefineVirtualString(const char* data, size_t length, const char* name, int, char* out,
                        size_t outSize) {
  return CopyPath(DefineString(std::string(data, length), name), out, outSize);
}

int UndefineVirtualString(const char* path) {
  return UndefineString(path) ? 0 : 1;
}

void CloseFile(FileHandle* h) {
  CloseHandle(h);
}
int Flush(FileHandle* h) {
  return FlushHandle(h);
}
int Eof(FileHandle* h) {
  return HandleAtEof(h);
}
int Putc(FileHandle* h, int byte) {
  unsigned char b = static_cast<unsigned char>(byte);
  return WriteHandle(h, &b, 1) == 1 ? byte : -1;
}
int FileInfo(FileHandle* h, char* out, size_t size, int* streaming, int* noSeek) {
  if (h->name.size() >= size) return 1;
  std::memcpy(out, h->name.c_str(), h->name.size() + 1);
  const bool sequential =
      h->kind == FileHandle::Kind::kStdin || h->kind == FileHandle::Kind::kStdout ||
      h->kind == FileHandle::Kind::kStderr || h->kind == FileHandle::Kind::kStream;
  *streaming = sequential ? 1 : 0;
  *noSeek = sequential ? 1 : 0;
  return 0;
}

int RewindDir(DirHandle* h) {
  platform::RewindDirStream(h->dir);
  return 0;
}

void CloseDir(DirHandle* h) {
  platform::CloseDirStream(h->dir);
  delete h;
}
void DirPath(DirHandle* h, char* buffer, size_t size) {
  std::strncpy(buffer, h->path.c_str(), size);
  if (size) buffer[size - 1] = 0;
}
bool PathJoin(char* buffer, const char* name, size_t size) {
  std::string joined = JoinPath(buffer, name);
  if (joined.size() >= size) return false;
  std::memcpy(buffer, joined.c_str(), joined.size() + 1);
  return true;
}

}  // namespace

const FileSystem kFileSystem = {
    .initOpenOptions = InitOpenOptions,
    .openFile = OpenFile,
    .read = Read,
    .write = Write,
    .readUnbuffered = ReadDirect,
    .writeUnbuffered = WriteDirect,
    .readBE32 = ReadBE32,
    .readBE16 = ReadBE16,
    .seek = SeekHandle,
    .length = HandleLength,
    .openDir = OpenDir,
    .prepareEntry = PrepareEntry,
    .nextEntry = NextEntry,
    .freeEntry = FreeEntry,
    .examinePath = ExaminePath,
    .formatName = NoName,
    .adapterName = NoName,
    .dirFormatName = NoDirName,
    .dirAdapterName = NoDirName,
    .defineVirtualFile = DefineVirtualFile,
    .defineVirtualString = DefineVirtualString,
    .undefineVirtualString = UndefineVirtualString,
    .rewindDir = RewindDir,
    .fileInfo = FileInfo,
    .nextName = NextName,
};

const StreamIo kStreamIo = {
    .closeFile = CloseFile,
    .flush = Flush,
    .eof = Eof,
    .getc = GetByte,
    .readBytes = ReadHandle,
    .writeBytes = WriteHandle,
    .putc = Putc,
    .closeDir = CloseDir,
    .dirPath = DirPath,
    .pathJoin = PathJoin,
    .pathPart = PathPartOf,
    .filePart = FilePartOf,
    .peek = PeekHandle,
    .skip = SkipPeeked,
};

}  // namespace tzx::host
