// Files, directories and volumes on POSIX: what the file-system commands and
// the host's directory services need, with one way of examining a path and
// one reading of the system's error numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tzx::platform {

// Why the last call of this interface failed.
enum class FsError {
  kNone,
  kNotFound,
  kExists,
  kNotDirectory,
  kIsDirectory,
  kDenied,
  kNoSpace,
  kCrossDevice,
  kBusy,
  kNotEmpty,
  kLoop,
  kTooLong,
  kOther,
};
FsError LastFsError();

// What a path names. Symbolic links are reported, not hidden: `link` is set
// for a link itself, and `directory`, `size` and the times describe what it
// points to (the link's own when it dangles). Walks do not descend into links.
struct FileStatus {
  bool directory = false;
  bool link = false;
  bool regular = false;  // a plain file (after the link)
  int64_t size = 0;
  uint32_t mode = 0;  // permission bits, 07777
  int64_t accessed = 0, modified = 0, changed = 0;
  int64_t created = 0;  // birth time where the file system keeps one, else `changed`
  uint64_t device = 0, inode = 0;
};

// False when the path cannot be examined.
bool Examine(const char* path, FileStatus* out);

// Directory streams: the entries but "." and "..", each examined relative to
// the open directory (no path is built per entry). Entries that vanish
// between listing and examining are skipped.
struct DirStream;
DirStream* OpenDirStream(const char* path);
// The next entry's name (valid until the next call) and status; false at the
// end. With `typeOnly` the status tells no more than `directory`, `link` and
// `regular`, which the listing itself mostly knows without examining.
bool ReadDirStream(DirStream* d, const char** name, FileStatus* status, bool typeOnly = false);
void RewindDirStream(DirStream* d);
void CloseDirStream(DirStream* d);
// Removes the file or link `name` of the directory `d` lists.
bool RemoveFileIn(DirStream* d, const char* name);

bool MakeDir(const char* path);
bool RemoveDir(const char* path);
bool RemoveFile(const char* path);  // also a link, never what it points to
// Fails with kExists instead of replacing.
bool RenameNoReplace(const char* from, const char* to);
bool SetMode(const char* path, uint32_t mode);
// Times in seconds since 1970; a negative value leaves that time unchanged.
bool SetTimes(const char* path, int64_t accessed, int64_t modified);
// Creates an empty file; fails when it exists.
bool CreateEmptyFile(const char* path);

// The target of a symbolic link, terminated; false when it is none or does
// not fit.
bool ReadLink(const char* path, char* out, size_t size);
bool MakeLink(const char* target, const char* path);

bool ChangeDir(const char* path);
bool CurrentDir(char* out, size_t size);
// The absolute path with every link and "." or ".." resolved; the path must
// exist.
bool RealPath(const char* path, char* out, size_t size);
bool ProgramDir(char* out, size_t size);
// Creates a new empty file in the temporary folder and writes its name.
bool NewTemporaryFile(char* out, size_t size);

// Volumes are mount points.
struct VolumeInfo {
  uint64_t freeBytes = 0;  // available to unprivileged users
  uint64_t usedBytes = 0;
};
bool VolumeSpace(const char* path, VolumeInfo* out);
// The mount point of the file system holding `path`, and its label where the
// system knows one (else the mount point).
bool VolumeName(const char* path, char* mountPoint, size_t mountSize, char* label,
                size_t labelSize);
// True for "/" and for every folder another file system is mounted on.
bool IsMountPoint(const char* path);
// A label as the system lists it under /dev/disk/by-label, where blanks and
// other unsafe bytes are written \xHH, made readable again.
std::string LabelFromDeviceName(const char* name);

// Copying file data. The destination is written as a file without a name in
// its folder where the file system allows, else under a temporary name, and
// gets its name only once complete: a copy that stops before leaves nothing.
struct CopyStreams {
  int in = -1;
  int out = -1;
  bool kernel = true;    // copy_file_range still works between these two
  bool unnamed = false;  // `out` has no name: closing it unplaced leaves nothing
  bool modeSet = false;  // `out` was made with its final permission bits
};
bool OpenCopySource(const char* path, CopyStreams* c);
// The same for the entry `name` of the directory `d` lists.
bool OpenCopySourceIn(DirStream* d, const char* name, CopyStreams* c);
// Creates the target in `folder`: unnamed where the file system can (`tempOut`
// is then empty), with the permission bits `mode` as far as the process's
// umask lets them through, else as "<folder>/.<name>.XXXXXX", readable by its
// owner only, with its path in `tempOut`.
bool CreateCopyTarget(const char* folder, const char* name, uint32_t mode, CopyStreams* c,
                      char* tempOut, size_t size);
struct CopyResult {
  int64_t bytes = 0;  // 0: the source ended
  bool readFailed = false;
  bool writeFailed = false;
  FsError error = FsError::kNone;
};
// Copies up to `count` bytes, inside the kernel where it can, else through
// `buffer`.
CopyResult CopyChunk(CopyStreams* c, void* buffer, size_t bufferSize, int64_t count);
// Gives the copy the source's permission bits (where it was not made with
// them) and times.
void FinishCopyTarget(CopyStreams* c, uint32_t mode, int64_t accessed, int64_t modified);
// False when closing the target reported a write that failed.
bool CloseCopyStreams(CopyStreams* c);
// Gives the complete target the name `target` (replacing a file there) and
// closes both streams. On failure nothing new carries the name; `writeFailed`
// tells a write reported at closing from a name that could not be given, and
// a named temporary is left for the caller to remove.
bool PlaceCopyTarget(CopyStreams* c, const char* temp, const char* target, bool* writeFailed);

}  // namespace tzx::platform
