#include "platform/threads.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace tzx::platform {

void NameCurrentThread(const char* name) {
  // The system keeps at most 15 characters of a thread's name.
  pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
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
