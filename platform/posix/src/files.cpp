#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tzx::platform {
namespace {

static_assert(sizeof(off_t) == 8, "file positions must be 64-bit");

int Fd(NativeFile file) {
  return static_cast<int>(file);
}

}  // namespace

NativeFile StandardInput() {
  return STDIN_FILENO;
}
NativeFile StandardOutput() {
  return STDOUT_FILENO;
}
NativeFile StandardError() {
  return STDERR_FILENO;
}

NativeFile OpenNativeFile(const char* path, OpenMode mode) {
  int flags = mode == OpenMode::kRead    ? O_RDONLY
              : mode == OpenMode::kWrite ? O_WRONLY | O_CREAT | O_TRUNC
                                         : O_RDWR | O_CREAT;
  int fd = open(path, flags | O_CLOEXEC, 0644);
  return fd < 0 ? kNoFile : fd;
}

void CloseNativeFile(NativeFile file) {
  close(Fd(file));
}

bool StatusOf(NativeFile file, HandleStatus* status) {
  struct stat st;
  if (fstat(Fd(file), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    *status = HandleStatus{HandleKind::kDirectory, 0};
  } else if (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) {
    *status = HandleStatus{HandleKind::kPositioned, static_cast<int64_t>(st.st_size)};
  } else {
    *status = HandleStatus{HandleKind::kStream, 0};
  }
  return true;
}

int64_t ReadAt(NativeFile file, int64_t offset, void* out, int64_t n) {
  int64_t done = 0;
  while (done < n) {
    ssize_t r = pread(Fd(file), static_cast<char*>(out) + done, n - done, offset + done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t WriteAt(NativeFile file, int64_t offset, const void* in, int64_t n) {
  int64_t done = 0;
  while (done < n) {
    ssize_t w = pwrite(Fd(file), static_cast<const char*>(in) + done, n - done, offset + done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += w;
  }
  return done;
}

int64_t ReadSome(NativeFile file, void* out, int64_t n) {
  ssize_t r;
  do r = read(Fd(file), out, n);
  while (r < 0 && errno == EINTR);
  return r > 0 ? r : 0;
}

int64_t WriteAll(NativeFile file, const void* in, int64_t n) {
  int64_t done = 0;
  while (done < n) {
    ssize_t w = write(Fd(file), static_cast<const char*>(in) + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += w;
  }
  return done;
}

}  // namespace tzx::platform
