#include "file_handle.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "host_state.h"

namespace tzx::host {
namespace {

using Kind = FileHandle::Kind;

struct VirtualFile {
  std::string file;  // region of this file, or
  int64_t offset = 0, size = 0;
  std::shared_ptr<const std::string> data;  // string data
};

std::mutex gVirtualMutex;
std::map<std::string, VirtualFile> gVirtual;
int gVirtualCounter = 0;
constexpr char kVirtualPrefix[] = "::virtual/";

bool Sequential(const FileHandle* h) {
  return h->kind == Kind::kStdin || h->kind == Kind::kStdout || h->kind == Kind::kStderr ||
         h->kind == Kind::kStream;
}

// Sequential handles that can be read.
bool ReadableStream(const FileHandle* h) {
  return h->kind == Kind::kStdin || (h->kind == Kind::kStream && h->access != 2);
}

// Raw transfers at a position, without the buffer.
int64_t RawRead(FileHandle* h, int64_t at, void* out, int64_t n) {
  switch (h->kind) {
    case Kind::kMemory: {
      int64_t size = static_cast<int64_t>(h->data->size());
      if (at >= size) return 0;
      n = std::min(n, size - at);
      std::memcpy(out, h->data->data() + at, n);
      return n;
    }
    case Kind::kRegion:
      if (at >= h->regionSize) return 0;
      n = std::min(n, h->regionSize - at);
      at += h->base;
      [[fallthrough]];
    case Kind::kDisk:
      return platform::ReadAt(h->file, at, out, n);
    case Kind::kStdin:
    case Kind::kStream: {
      int64_t r = platform::ReadSome(h->file, out, n);
      if (r == 0) h->atEnd = true;
      return r;
    }
    default:
      return 0;
  }
}

int64_t RawWrite(FileHandle* h, int64_t at, const void* in, int64_t n) {
  if (h->kind != Kind::kDisk && !(Sequential(h) && h->kind != Kind::kStdin)) return 0;
  int64_t done = h->kind == Kind::kDisk ? platform::WriteAt(h->file, at, in, n)
                                        : platform::WriteAll(h->file, in, n);
  if (h->kind == Kind::kDisk) h->knownSize = std::max(h->knownSize, at + done);
  return done;
}

int64_t CurrentSize(FileHandle* h) {
  switch (h->kind) {
    case Kind::kMemory:
      return static_cast<int64_t>(h->data->size());
    case Kind::kRegion:
      return h->regionSize;
    case Kind::kDisk: {
      // Without the system's answer the size last seen stands.
      platform::HandleStatus st{platform::HandleKind::kPositioned, h->knownSize};
      platform::StatusOf(h->file, &st);
      h->knownSize = std::max(h->knownSize, st.size);
      int64_t size = st.size;
      if (h->dirty) size = std::max(size, h->bufStart + static_cast<int64_t>(h->bufLen));
      return size;
    }
    default:
      return -1;
  }
}

void DropBuffer(FileHandle* h) {
  h->bufLen = 0;
  h->dirty = false;
}

// Makes the buffer hold the bytes at the current position; false at the end.
bool Refill(FileHandle* h) {
  if (FlushHandle(h) != 0) return false;
  if (h->buf.empty()) h->buf.resize(kFileBufferSize);
  h->bufStart = h->pos;
  h->bufLen = RawRead(h, h->pos, h->buf.data(), kFileBufferSize);
  return h->bufLen > 0;
}

bool InReadBuffer(const FileHandle* h) {
  return !h->dirty && h->pos >= h->bufStart &&
         h->pos < h->bufStart + static_cast<int64_t>(h->bufLen);
}

FileHandle* OpenVirtual(const std::string& path, int access) {
  VirtualFile vf;
  {
    std::lock_guard<std::mutex> lock(gVirtualMutex);
    auto it = gVirtual.find(path);
    if (it == gVirtual.end()) return nullptr;
    vf = it->second;
  }
  if (access != 1) return nullptr;  // virtual files are read only
  auto* h = new FileHandle;
  h->name = path;
  h->access = access;
  if (vf.data) {
    h->kind = Kind::kMemory;
    h->data = vf.data;
    return h;
  }
  h->kind = Kind::kRegion;
  h->file = platform::OpenNativeFile(vf.file.c_str(), platform::OpenMode::kRead);
  h->base = vf.offset;
  h->regionSize = vf.size;
  if (h->file == platform::kNoFile) {
    delete h;
    return nullptr;
  }
  platform::HandleStatus st;
  if (platform::StatusOf(h->file, &st)) {
    h->regionSize = std::max<int64_t>(0, std::min<int64_t>(vf.size, st.size - vf.offset));
  }
  return h;
}

}  // namespace

FileHandle* OpenHandle(const char* name, int access) {
  access &= 7;
  std::string path = name;
  if (path == "::stdin" || path == "::stdout" || path == "::stderr") {
    auto* h = new FileHandle;
    h->name = path;
    h->access = access;
    h->kind = path == "::stdin" ? Kind::kStdin : path == "::stdout" ? Kind::kStdout : Kind::kStderr;
    h->file = path == "::stdin"    ? platform::StandardInput()
              : path == "::stdout" ? platform::StandardOutput()
                                   : platform::StandardError();
    if ((h->kind == Kind::kStdin) != (access == 1)) {
      delete h;
      return nullptr;
    }
    return h;
  }
  if (path.rfind(kVirtualPrefix, 0) == 0) return OpenVirtual(path, access);
  if (access != 1 && access != 2 && access != 4) return nullptr;
  platform::OpenMode mode = access == 1   ? platform::OpenMode::kRead
                            : access == 2 ? platform::OpenMode::kWrite
                                          : platform::OpenMode::kReadWrite;
  platform::NativeFile file = platform::OpenNativeFile(name, mode);
  if (file == platform::kNoFile) return nullptr;
  platform::HandleStatus st;
  if (!platform::StatusOf(file, &st) || st.kind == platform::HandleKind::kDirectory) {
    platform::CloseNativeFile(file);
    return nullptr;
  }
  auto* h = new FileHandle;
  h->file = file;
  h->name = path;
  h->access = access;
  h->knownSize = st.size;
  // Pipes, sockets and character devices have no size or positions: reading
  // them by position would find nothing.
  if (st.kind == platform::HandleKind::kStream) h->kind = Kind::kStream;
  return h;
}

void CloseHandle(FileHandle* h) {
  if (!h) return;
  FlushHandle(h);
  if (h->kind == Kind::kDisk || h->kind == Kind::kRegion || h->kind == Kind::kStream) {
    platform::CloseNativeFile(h->file);
  }
  delete h;
}

int FlushHandle(FileHandle* h) {
  if (!h->dirty || h->bufLen == 0) {
    h->dirty = false;
    return 0;
  }
  int64_t want = static_cast<int64_t>(h->bufLen);
  int64_t done = RawWrite(h, h->bufStart, h->buf.data(), want);
  DropBuffer(h);
  if (done == want) return 0;
  // At shutdown no command is left to report the loss: the host does.
  if (State().shuttingDown) State().unwrittenAtClose.push_back(h->name);
  return 1005;
}

int GetByte(FileHandle* h) {
  if (!InReadBuffer(h) && !Refill(h)) return -1;
  return h->buf[h->pos++ - h->bufStart];
}

int64_t ReadHandle(FileHandle* h, void* out, int64_t n) {
  auto* dst = static_cast<unsigned char*>(out);
  int64_t done = 0;
  while (done < n) {
    if (InReadBuffer(h)) {
      int64_t avail = h->bufStart + static_cast<int64_t>(h->bufLen) - h->pos;
      int64_t take = std::min(avail, n - done);
      std::memcpy(dst + done, h->buf.data() + (h->pos - h->bufStart), take);
      h->pos += take;
      done += take;
      continue;
    }
    if (n - done >= static_cast<int64_t>(kFileBufferSize)) {
      // Large reads go straight to the destination.
      if (FlushHandle(h) != 0) break;
      int64_t r = RawRead(h, h->pos, dst + done, n - done);
      if (r <= 0) break;
      h->pos += r;
      done += r;
      continue;
    }
    if (!Refill(h)) break;
  }
  return done;
}

int64_t PeekHandle(FileHandle* h, const char** bytes) {
  *bytes = nullptr;
  if (!InReadBuffer(h) && !Refill(h)) return 0;
  *bytes = reinterpret_cast<const char*>(h->buf.data()) + (h->pos - h->bufStart);
  return h->bufStart + static_cast<int64_t>(h->bufLen) - h->pos;
}

// Never past the buffer's end, whatever `n` says.
void SkipPeeked(FileHandle* h, int64_t n) {
  h->pos = std::min(h->pos + n, h->bufStart + static_cast<int64_t>(h->bufLen));
}

int64_t WriteHandle(FileHandle* h, const void* in, int64_t n) {
  if (n <= 0) return 0;
  if (!h->dirty) DropBuffer(h);
  // A write that does not continue the pending bytes flushes them first.
  if (h->dirty && h->pos != h->bufStart + static_cast<int64_t>(h->bufLen)) {
    if (FlushHandle(h) != 0) return 0;
  }
  if (h->buf.empty()) h->buf.resize(kFileBufferSize);
  if (h->bufLen + n > kFileBufferSize) {
    if (FlushHandle(h) != 0) return 0;
    if (n >= static_cast<int64_t>(kFileBufferSize)) {
      int64_t w = RawWrite(h, h->pos, in, n);
      h->pos += w;
      return w;
    }
  }
  if (!h->dirty) {
    h->bufStart = h->pos;
    h->bufLen = 0;
    h->dirty = true;
  }
  std::memcpy(h->buf.data() + h->bufLen, in, n);
  h->bufLen += n;
  h->pos += n;
  return n;
}

int64_t ReadDirect(FileHandle* h, void* out, int64_t n) {
  // A stream cannot give again what a buffered read already took from it.
  if (Sequential(h) && InReadBuffer(h)) {
    int64_t take = std::min<int64_t>(n, h->bufStart + static_cast<int64_t>(h->bufLen) - h->pos);
    std::memcpy(out, h->buf.data() + (h->pos - h->bufStart), take);
    h->pos += take;
    return take;
  }
  if (FlushHandle(h) != 0) return 0;
  DropBuffer(h);
  int64_t r = RawRead(h, h->pos, out, n);
  h->pos += r;
  return r;
}

int64_t WriteDirect(FileHandle* h, const void* in, int64_t n) {
  if (FlushHandle(h) != 0) return 0;
  DropBuffer(h);
  int64_t w = RawWrite(h, h->pos, in, n);
  h->pos += w;
  return w;
}

int64_t SeekHandle(FileHandle* h, int64_t offset, int mode) {
  if (Sequential(h)) return -1;
  int64_t target;
  int64_t base;
  if (mode == 0) {
    base = h->pos;
  } else if (mode == 1) {
    base = 0;
  } else if (mode == 2) {
    base = CurrentSize(h);
    if (base < 0) return -1;
  } else {
    return -1;
  }
  // An offset that takes the position past 64 bits fails like any other.
  if (__builtin_add_overflow(base, offset, &target)) return -1;
  if (target < 0) return -1;
  if (h->dirty && target != h->pos && FlushHandle(h) != 0) return -1;
  h->pos = target;
  return target;
}

int64_t HandleLength(FileHandle* h) {
  return CurrentSize(h);
}

bool HandleAtEof(FileHandle* h) {
  if (Sequential(h)) {
    if (!ReadableStream(h)) return false;
    if (InReadBuffer(h)) return false;
    if (h->atEnd) return true;
    return !Refill(h);
  }
  if (h->pos < h->knownSize) return false;
  return h->pos >= CurrentSize(h);
}

std::string DefineRegion(const std::string& file, int64_t offset, int64_t size,
                         const std::string& name) {
  std::lock_guard<std::mutex> lock(gVirtualMutex);
  std::string path = kVirtualPrefix + std::to_string(++gVirtualCounter) + "/" + name;
  gVirtual[path] = VirtualFile{file, offset, size, nullptr};
  return path;
}

std::string DefineString(std::string data, const std::string& name) {
  std::lock_guard<std::mutex> lock(gVirtualMutex);
  std::string path = kVirtualPrefix + std::to_string(++gVirtualCounter) + "/" + name;
  VirtualFile vf;
  vf.data = std::make_shared<const std::string>(std::move(data));
  gVirtual[path] = std::move(vf);
  return path;
}

bool UndefineString(const std::string& path) {
  std::lock_guard<std::mutex> lock(gVirtualMutex);
  auto it = gVirtual.find(path);
  if (it == gVirtual.end() || !it->second.data) return false;
  gVirtual.erase(it);
  return true;
}

void ClearVirtualFiles() {
  std::lock_guard<std::mutex> lock(gVirtualMutex);
  gVirtual.clear();
}

}  // namespace tzx::host
