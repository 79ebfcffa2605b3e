#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace tzx::platform {

void NameCurrentThread(const char* name) {
  // The system keeps at most 15 characters of a thread's name.
  pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
}

int ProcessorCount() {
  // Those the process is allowed, which a container or taskset may limit.
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    int n = CPU_COUNT(&set);
    if (n > 0) return n;
  }
  long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<int>(online) : 1;
}

NativeFile CreateStopSignal() {
  int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  return fd < 0 ? kNoFile : fd;
}

void RaiseStopSignal(NativeFile signal) {
  // Once raised the count stays non-zero, so every later wait sees it.
  uint64_t one = 1;
  if (signal != kNoFile) (void)!write(static_cast<int>(signal), &one, sizeof one);
}

void CloseStopSignal(NativeFile signal) {
  if (signal != kNoFile) close(static_cast<int>(signal));
}

}  // namespace tzx::platform
