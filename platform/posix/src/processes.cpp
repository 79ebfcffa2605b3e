#include "platform/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

namespace tzx::platform {
namespace {

constexpr int kCapturePipeSize = 1 << 20;

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
  // A larger pipe lets a program that writes much run longer between our
  // reads (the system may refuse; the default size still works).
  if (captureOutput) fcntl(pipeEnds[0], F_SETPIPE_SZ, kCapturePipeSize);
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

namespace {

int StatusToExitCode(int status) {
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// Whether the program has ended, reaping it when it has.
bool Reaped(ChildProcess* child) {
  if (child->reaped) return true;
  int status = 0;
  pid_t done = waitpid(static_cast<pid_t>(child->id), &status, WNOHANG);
  if (done == 0) return false;
  child->reaped = true;
  child->exitCode = done < 0 ? 127 : StatusToExitCode(status);
  return true;
}

}  // namespace

int WaitProcess(ChildProcess* child) {
  if (!child->reaped) {
    int status = 0;
    pid_t done;
    do {
      done = waitpid(static_cast<pid_t>(child->id), &status, 0);
    } while (done < 0 && errno == EINTR);
    child->reaped = true;
    child->exitCode = done < 0 ? 127 : StatusToExitCode(status);
  }
  if (child->watch != kNoFile) close(static_cast<int>(child->watch));
  child->watch = kNoFile;
  child->id = -1;
  return child->exitCode;
}

int WaitChild(ChildProcess* child, NativeFile stop, int timeoutMs) {
  if (child->watch == kNoFile && !child->reaped) {
    int fd = static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(child->id), 0));
    if (fd >= 0) child->watch = fd;
  }
  // Without a process descriptor (older kernels) the end is polled.
  const bool polling = child->watch == kNoFile && !child->reaped;
  if (polling && (timeoutMs < 0 || timeoutMs > 10)) timeoutMs = 10;
  pollfd fds[3];
  int n = 0, stopAt = -1, outputAt = -1, watchAt = -1;
  if (stop != kNoFile) {
    stopAt = n;
    fds[n++] = {static_cast<int>(stop), POLLIN, 0};
  }
  if (child->output != kNoFile) {
    outputAt = n;
    fds[n++] = {static_cast<int>(child->output), POLLIN, 0};
  }
  if (child->watch != kNoFile && !child->reaped) {
    watchAt = n;
    fds[n++] = {static_cast<int>(child->watch), POLLIN, 0};
  }
  int ready;
  do {
    ready = poll(fds, static_cast<nfds_t>(n), child->reaped && outputAt < 0 ? 0 : timeoutMs);
  } while (ready < 0 && errno == EINTR);
  int seen = 0;
  if (ready > 0) {
    if (stopAt >= 0 && fds[stopAt].revents) seen |= kChildStop;
    if (outputAt >= 0 && fds[outputAt].revents) seen |= kChildOutput;
    if (watchAt >= 0 && fds[watchAt].revents && Reaped(child)) seen |= kChildEnded;
  }
  if ((polling && Reaped(child)) || child->reaped) seen |= kChildEnded;
  return seen;
}

void ReleaseChild(ChildProcess* child) {
  if (child->output != kNoFile) close(static_cast<int>(child->output));
  if (child->watch != kNoFile) close(static_cast<int>(child->watch));
  child->output = kNoFile;
  child->watch = kNoFile;
  child->id = -1;
}

}  // namespace tzx::platform
