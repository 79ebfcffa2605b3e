#include "stored_programs.h"

#include <cstring>

#include "platform/file_system.h"
#include "platform/files.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

constexpr size_t kChunk = 16384;
constexpr uint32_t kProgramMode = 0700;

// One block: the record, the temporary path, the stored program's name.
struct ExtractedProgram {
  ExtractedProgram* next;
  char* path;
  char* name;
};
ExtractedProgram* gExtractedProgramsList = nullptr;

bool Remember(const char* path, const char* name) {
  const size_t p = std::strlen(path) + 1, n = std::strlen(name) + 1;
  auto* e = static_cast<ExtractedProgram*>(HostAlloc(sizeof(ExtractedProgram) + p + n, false));
  if (!e) return false;
  e->next = nullptr;
  e->path = reinterpret_cast<char*>(e + 1);
  e->name = e->path + p;
  std::memcpy(e->path, path, p);
  std::memcpy(e->name, name, n);
  ExtractedProgram** tail = &gExtractedProgramsList;
  while (*tail) tail = &(*tail)->next;
  *tail = e;
  return true;
}

// Copies the open stored program into a new temporary file, `out`.
int Extract(FileHandle* from, const char* name, char* out, size_t size) {
  if (!platform::NewTemporaryFile(out, size)) return ErrorWithString(kErrOpenWrite, out);
  platform::NativeFile to = platform::OpenNativeFile(out, platform::OpenMode::kWrite);
  if (to == platform::kNoFile) {
    platform::RemoveFile(out);
    return ErrorWithString(kErrOpenWrite, out);
  }
  char* chunk = static_cast<char*>(HostAlloc(kChunk, false));
  int rc = chunk ? 0 : kErrNoMemory;
  while (!rc) {
    int64_t n = Stream().readBytes(from, chunk, kChunk);
    if (n < 0) rc = ErrorWithString(kErrOpenRead, name);
    if (n <= 0) break;
    if (platform::WriteAll(to, chunk, n) != n) rc = kErrWrite;
  }
  HostFree(chunk);
  platform::CloseNativeFile(to);
  if (!rc && !platform::SetMode(out, kProgramMode)) rc = ErrorWithString(kErrOpenWrite, out);
  if (!rc && !Remember(out, name)) rc = kErrNoMemory;
  if (rc) platform::RemoveFile(out);
  return rc;
}

}  // namespace

int ResolveProgram(std::string_view program, char* out, size_t size) {
  if (program.size() >= size) return kErrRange;
  std::memcpy(out, program.data(), program.size());
  out[program.size()] = '\0';
  // A name without '/' is looked up on PATH; one the system sees is started.
  platform::FileStatus status;
  if (!std::strchr(out, '/') || platform::Examine(out, &status)) return 0;
  for (ExtractedProgram* e = gExtractedProgramsList; e; e = e->next) {
    if (std::strcmp(e->name, out) == 0) {
      std::strncpy(out, e->path, size - 1);
      return 0;
    }
  }
  OpenOptions options;
  Files().initOpenOptions(&options);
  FileHandle* stored = Files().openFile(out, kAccessRead, &options, nullptr);
  // Not stored either: starting it fails as for any missing program.
  if (!stored) return 0;
  char name[1024];
  std::memcpy(name, out, program.size() + 1);
  int rc = Extract(stored, name, out, size);
  Stream().closeFile(stored);
  return rc;
}

void RemoveExtractedPrograms() {
  while (ExtractedProgram* e = gExtractedProgramsList) {
    gExtractedProgramsList = e->next;
    platform::RemoveFile(e->path);
    HostFree(e);
  }
}

}  // namespace tzx::dos
