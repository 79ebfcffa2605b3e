#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace tzx::platform {
namespace {

int64_t Seconds(const struct statx_timestamp& t) {
  return t.tv_sec;
}

void Fill(const struct statx& sx, FileStatus* out) {
  out->directory = S_ISDIR(sx.stx_mode);
  out->regular = S_ISREG(sx.stx_mode);
  out->size = out->directory ? 0 : static_cast<int64_t>(sx.stx_size);
  out->mode = sx.stx_mode & 07777;
  out->accessed = Seconds(sx.stx_atime);
  out->modified = Seconds(sx.stx_mtime);
  out->changed = Seconds(sx.stx_ctime);
  out->created = (sx.stx_mask & STATX_BTIME) ? Seconds(sx.stx_btime) : out->changed;
  out->device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  out->inode = sx.stx_ino;
}

constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;

// Examines `name` relative to `dir`: the link itself first, then what it
// points to.
bool ExamineAt(int dir, const char* name, FileStatus* out) {
  struct statx sx;
  if (statx(dir, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &sx) != 0) return false;
  *out = FileStatus{};
  if (S_ISLNK(sx.stx_mode)) {
    struct statx target;
    if (statx(dir, name, AT_NO_AUTOMOUNT, kStatxMask, &target) == 0) sx = target;
    out->link = true;
  }
  Fill(sx, out);
  return true;
}

bool CopyOut(const char* text, char* out, size_t size) {
  size_t n = std::strlen(text);
  if (n >= size) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(out, text, n + 1);
  return true;
}

}  // namespace

FsError LastFsError() {
  switch (errno) {
    case 0:
      return FsError::kNone;
    case ENOENT:
      return FsError::kNotFound;
    case EEXIST:
      return FsError::kExists;
    case ENOTDIR:
      return FsError::kNotDirectory;
    case EISDIR:
      return FsError::kIsDirectory;
    case EACCES:
    case EPERM:
    case EROFS:
      return FsError::kDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FsError::kNoSpace;
    case EXDEV:
      return FsError::kCrossDevice;
    case EBUSY:
      return FsError::kBusy;
    case ENOTEMPTY:
      return FsError::kNotEmpty;
    case ELOOP:
      return FsError::kLoop;
    case ENAMETOOLONG:
      return FsError::kTooLong;
    default:
      return FsError::kOther;
  }
}

bool Examine(const char* path, FileStatus* out) {
  return path[0] && ExamineAt(AT_FDCWD, path, out);
}

struct DirStream {
  DIR* dir;
};

DirStream* OpenDirStream(const char* path) {
  DIR* dir = opendir(path[0] ? path : ".");
  if (!dir) return nullptr;
  auto* d = new (std::nothrow) DirStream{dir};
  if (!d) closedir(dir);
  return d;
}

bool ReadDirStream(DirStream* d, const char** name, FileStatus* status, bool typeOnly) {
  errno = 0;
  while (dirent* e = readdir(d->dir)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    if (typeOnly && e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) {
      // The fields the caller may read, and no others: this runs per entry.
      status->directory = e->d_type == DT_DIR;
      status->link = false;
      status->regular = e->d_type == DT_REG;
    } else if (!ExamineAt(dirfd(d->dir), n, status)) {
      continue;
    }
    *name = n;
    return true;
  }
  return false;
}

void RewindDirStream(DirStream* d) {
  rewinddir(d->dir);
}

void CloseDirStream(DirStream* d) {
  if (!d) return;
  closedir(d->dir);
  delete d;
}

bool RemoveFileIn(DirStream* d, const char* name) {
  return unlinkat(dirfd(d->dir), name, 0) == 0;
}

bool MakeDir(const char* path) {
  return mkdir(path, 0777) == 0;
}

bool RemoveDir(const char* path) {
  return rmdir(path) == 0;
}

bool RemoveFile(const char* path) {
  return unlink(path) == 0;
}

bool RenameNoReplace(const char* from, const char* to) {
  return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0;
}

bool SetMode(const char* path, uint32_t mode) {
  return chmod(path, mode & 07777) == 0;
}

bool SetTimes(const char* path, int64_t accessed, int64_t modified) {
  struct timespec times[2];
  times[0].tv_sec = accessed < 0 ? 0 : accessed;
  times[0].tv_nsec = accessed < 0 ? UTIME_OMIT : 0;
  times[1].tv_sec = modified < 0 ? 0 : modified;
  times[1].tv_nsec = modified < 0 ? UTIME_OMIT : 0;
  return utimensat(AT_FDCWD, path, times, 0) == 0;
}

bool CreateEmptyFile(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool ReadLink(const char* path, char* out, size_t size) {
  ssize_t n = readlink(path, out, size);
  if (n < 0 || static_cast<size_t>(n) >= size) return false;
  out[n] = 0;
  return true;
}

bool MakeLink(const char* target, const char* path) {
  return symlink(target, path) == 0;
}

bool ChangeDir(const char* path) {
  return chdir(path) == 0;
}

bool CurrentDir(char* out, size_t size) {
  return getcwd(out, size) != nullptr;
}

bool RealPath(const char* path, char* out, size_t size) {
  char* resolved = realpath(path, nullptr);
  if (!resolved) return false;
  bool ok = CopyOut(resolved, out, size);
  std::free(resolved);
  return ok;
}

bool ProgramDir(char* out, size_t size) {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return false;
  buffer[n] = 0;
  char* slash = std::strrchr(buffer, '/');
  if (slash) *(slash == buffer ? slash + 1 : slash) = 0;
  return CopyOut(buffer, out, size);
}

bool NewTemporaryFile(char* out, size_t size) {
  const char* folder = std::getenv("TMPDIR");
  std::string name = std::string(folder && *folder ? folder : "/tmp") + "/tessera.XXXXXX";
  if (name.size() >= size) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(out, name.c_str(), name.size() + 1);
  int fd = mkostemp(out, O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool VolumeSpace(const char* path, VolumeInfo* out) {
  struct statvfs v;
  if (statvfs(path, &v) != 0) return false;
  out->freeBytes = static_cast<uint64_t>(v.f_bavail) * v.f_frsize;
  out->usedBytes = static_cast<uint64_t>(v.f_blocks - v.f_bfree) * v.f_frsize;
  return true;
}

namespace {

// "\040" and the other octal escapes of /proc/self/mountinfo.
std::string Unescape(const char* s) {
  std::string r;
  for (; *s; ++s) {
    if (s[0] == '\\' && s[1] >= '0' && s[1] <= '7' && s[2] && s[3]) {
      r.push_back(static_cast<char>((s[1] - '0') * 64 + (s[2] - '0') * 8 + (s[3] - '0')));
      s += 3;
    } else {
      r.push_back(*s);
    }
  }
  return r;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The label under /dev/disk/by-label that leads to `device`, if any.
std::string LabelOf(const std::string& device) {
  std::string label;
  DIR* dir = opendir("/dev/disk/by-label");
  if (!dir) return label;
  char real[PATH_MAX];
  if (!realpath(device.c_str(), real)) {
    closedir(dir);
    return label;
  }
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    std::string link = std::string("/dev/disk/by-label/") + e->d_name;
    char target[PATH_MAX];
    if (realpath(link.c_str(), target) && std::strcmp(target, real) == 0) {
      label = LabelFromDeviceName(e->d_name);
      break;
    }
  }
  closedir(dir);
  return label;
}

}  // namespace

bool VolumeName(const char* path, char* mountPoint, size_t mountSize, char* label,
                size_t labelSize) {
  struct stat st;
  if (stat(path, &st) != 0) return false;
  FILE* f = std::fopen("/proc/self/mountinfo", "re");
  if (!f) return false;
  // Fields: id parent major:minor root mount-point options ... - type source.
  std::string bestMount, bestSource;
  char* line = nullptr;
  size_t cap = 0;
  while (getline(&line, &cap, f) > 0) {
    unsigned major = 0, minor = 0;
    char root[PATH_MAX], mount[PATH_MAX];
    if (std::sscanf(line, "%*u %*u %u:%u %4095s %4095s", &major, &minor, root, mount) != 4)
      continue;
    if (makedev(major, minor) != st.st_dev) continue;
    std::string m = Unescape(mount);
    // The deepest mount of this device whose folder holds the path.
    if (m.size() >= bestMount.size()) {
      bestMount = m;
      const char* dash = std::strstr(line, " - ");
      char type[256], source[PATH_MAX];
      bestSource = dash && std::sscanf(dash + 3, "%255s %4095s", type, source) == 2
                       ? Unescape(source)
                       : std::string();
    }
  }
  std::free(line);
  std::fclose(f);
  if (bestMount.empty()) return false;
  std::string name = bestSource.rfind("/dev/", 0) == 0 ? LabelOf(bestSource) : std::string();
  if (name.empty()) name = bestMount;
  return CopyOut(bestMount.c_str(), mountPoint, mountSize) &&
         CopyOut(name.c_str(), label, labelSize);
}

std::string LabelFromDeviceName(const char* name) {
  std::string label;
  for (const char* s = name; *s; ++s) {
    const int high = s[0] == '\\' && s[1] == 'x' ? HexValue(s[2]) : -1;
    const int low = high >= 0 ? HexValue(s[3]) : -1;
    if (low >= 0) {
      label.push_back(static_cast<char>(high * 16 + low));
      s += 3;
    } else {
      label.push_back(*s);
    }
  }
  return label;
}

bool IsMountPoint(const char* path) {
  struct statx sx;
  if (statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS, &sx) != 0) {
    return false;
  }
  if (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) {
    return (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }
  // Older kernels: a folder on another device than its parent, or the root.
  if (!S_ISDIR(sx.stx_mode)) return false;
  std::string parent = std::string(path) + "/..";
  struct stat self, up;
  if (stat(path, &self) != 0 || stat(parent.c_str(), &up) != 0) return false;
  return self.st_dev != up.st_dev || self.st_ino == up.st_ino;
}

bool OpenCopySource(const char* path, CopyStreams* c) {
  c->in = open(path, O_RDONLY | O_CLOEXEC);
  return c->in >= 0;
}

bool OpenCopySourceIn(DirStream* d, const char* name, CopyStreams* c) {
  c->in = openat(dirfd(d->dir), name, O_RDONLY | O_CLOEXEC);
  return c->in >= 0;
}

namespace {

// The process's umask, read once where the system tells it without changing
// it; 0777 (every bit set anew after creation) where it does not.
uint32_t ProcessUmask() {
  static const uint32_t mask = [] {
    uint32_t value = 0777;
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
      char line[256];
      while (std::fgets(line, sizeof line, f)) {
        unsigned m;
        if (std::sscanf(line, "Umask: %o", &m) == 1) {
          value = m & 0777;
          break;
        }
      }
      std::fclose(f);
    }
    return value;
  }();
  return mask;
}

}  // namespace

bool CreateCopyTarget(const char* folder, const char* name, uint32_t mode, CopyStreams* c,
                      char* tempOut, size_t size) {
  const char* in = folder[0] ? folder : ".";
  // Unnamed, nobody can open it before it is complete: it can have its final
  // bits from the start, and needs no second call for them when the umask
  // takes none away.
  c->out = open(in, O_TMPFILE | O_WRONLY | O_CLOEXEC, mode & 0777);
  if (c->out >= 0) {
    c->unnamed = true;
    c->modeSet = (mode & 07777) == (mode & 0777 & ~ProcessUmask());
    tempOut[0] = 0;
    return true;
  }
  // Private (0600) until complete; the final bits come with FinishCopyTarget.
  c->modeSet = false;
  // File systems without unnamed files: a temporary name beside the target.
  std::string temp = std::string(in) + "/." + name + ".XXXXXX";
  if (temp.size() >= size) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(tempOut, temp.c_str(), temp.size() + 1);
  c->unnamed = false;
  c->out = mkostemp(tempOut, O_CLOEXEC);
  return c->out >= 0;
}

CopyResult CopyChunk(CopyStreams* c, void* buffer, size_t bufferSize, int64_t count) {
  CopyResult r;
  if (c->kernel) {
    for (;;) {
      ssize_t n = copy_file_range(c->in, nullptr, c->out, nullptr, static_cast<size_t>(count), 0);
      if (n >= 0) {
        r.bytes = n;
        return r;
      }
      if (errno == EINTR) continue;
      // Not between these two files (other file systems on old kernels,
      // special files): the plain way from here on.
      if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
          errno == EBADF) {
        c->kernel = false;
        break;
      }
      r.error = LastFsError();
      // The kernel does not say which side failed; a full or refused target is
      // the writer's.
      r.writeFailed = r.error == FsError::kNoSpace || r.error == FsError::kDenied;
      r.readFailed = !r.writeFailed;
      return r;
    }
  }
  size_t want = static_cast<size_t>(count) < bufferSize ? static_cast<size_t>(count) : bufferSize;
  ssize_t n;
  do n = read(c->in, buffer, want);
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    r.error = LastFsError();
    r.readFailed = true;
    return r;
  }
  size_t done = 0;
  while (done < static_cast<size_t>(n)) {
    ssize_t w = write(c->out, static_cast<char*>(buffer) + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      r.error = w < 0 ? LastFsError() : FsError::kNoSpace;
      r.writeFailed = true;
      return r;
    }
    done += w;
  }
  r.bytes = n;
  return r;
}

void FinishCopyTarget(CopyStreams* c, uint32_t mode, int64_t accessed, int64_t modified) {
  if (!c->modeSet) fchmod(c->out, mode & 07777);
  struct timespec times[2] = {{accessed, 0}, {modified, 0}};
  futimens(c->out, times);
}

bool CloseCopyStreams(CopyStreams* c) {
  if (c->in >= 0) close(c->in);
  // Some file systems report a failed write only here.
  bool ok = c->out < 0 || close(c->out) == 0;
  c->in = c->out = -1;
  c->unnamed = false;
  return ok;
}

namespace {

// Links the unnamed file `fd` as `path`; fails with EEXIST when the name is
// taken. Without the right to link by descriptor, through its /proc name.
bool LinkUnnamed(int fd, const char* path) {
  if (linkat(fd, "", AT_FDCWD, path, AT_EMPTY_PATH) == 0) return true;
  if (errno != ENOENT && errno != EPERM) return false;
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  return linkat(AT_FDCWD, self, AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0;
}

// Links the unnamed file under a fresh hidden name beside `target`
// (".<name>.<process>.<count>") and writes it to `out`.
bool LinkBeside(int fd, const char* target, std::string* out) {
  // Copies on several threads may be placed at once.
  static std::atomic<unsigned> counter = 0;
  const char* slash = std::strrchr(target, '/');
  const std::string folder(target, slash ? slash + 1 - target : 0);
  const char* name = slash ? slash + 1 : target;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *out = folder + "." + name + "." + std::to_string(getpid()) + "." + std::to_string(++counter);
    if (LinkUnnamed(fd, out->c_str())) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

bool PlaceCopyTarget(CopyStreams* c, const char* temp, const char* target, bool* writeFailed) {
  *writeFailed = false;
  if (!c->unnamed) {
    if (!CloseCopyStreams(c)) {
      *writeFailed = true;
      return false;
    }
    return rename(temp, target) == 0;
  }
  // Straight to its name when that is free; linked, it is a whole file once
  // the descriptor closes without a write error.
  if (LinkUnnamed(c->out, target)) {
    if (CloseCopyStreams(c)) return true;
    unlink(target);
    *writeFailed = true;
    return false;
  }
  if (errno != EEXIST) {
    CloseCopyStreams(c);
    return false;
  }
  // Over an existing file: a name beside it first, then over it in one step.
  std::string beside;
  if (!LinkBeside(c->out, target, &beside)) {
    CloseCopyStreams(c);
    return false;
  }
  bool closed = CloseCopyStreams(c);
  if (closed && rename(beside.c_str(), target) == 0) return true;
  int saved = errno;
  unlink(beside.c_str());
  errno = saved;
  *writeFailed = !closed;
  return false;
}

}  // namespace tzx::platform
