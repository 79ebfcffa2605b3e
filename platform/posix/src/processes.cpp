#include "platform/processes.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

namespace tzx::platform {
namespace {

// A relative path with a separator made absolute, so that a working directory
// given to the program does not change which program runs. False when the
// result would not fit.
bool AbsoluteProgram(const char* program, char* out, size_t size) {
  if (!getcwd(out, size)) return false;
  size_t used = std::strlen(out);
  size_t length = std::strlen(program);
  if (used + 1 + length + 1 > size) return false;
  out[used] = '/';
  std::memcpy(out + used + 1, program, length + 1);
  return true;
}

}  // namespace

bool StartProcess(char* const* argv, const char* directory, bool captureOutput, ChildProcess* out) {
  const char* program = argv[0];
  char absolute[PATH_MAX];
  if (directory && program[0] != '/' && std::strchr(program, '/')) {
    if (!AbsoluteProgram(program, absolute, sizeof absolute)) return false;
    program = absolute;
  }
  int pipeEnds[2] = {-1, -1};
  // Both ends close on exec; the child's copy made by dup2 stays open.
  if (captureOutput && pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (captureOutput) posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  if (directory) posix_spawn_file_actions_addchdir_np(&actions, directory);
  pid_t pid = -1;
  int failed = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (captureOutput) close(pipeEnds[1]);
  if (failed) {
    if (captureOutput) close(pipeEnds[0]);
    return false;
  }
  out->id = pid;
  out->output = captureOutput ? pipeEnds[0] : kNoFile;
  return true;
}

int WaitProcess(ChildProcess* child) {
  int status = 0;
  pid_t done;
  do {
    done = waitpid(static_cast<pid_t>(child->id), &status, 0);
  } while (done < 0 && errno == EINTR);
  child->id = -1;
  if (done < 0) return 127;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace tzx::platform
