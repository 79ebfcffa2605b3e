#include "platform/threads.h"

#include <pthread.h>

#include <string>

namespace tzx::platform {

void NameCurrentThread(const char* name) {
  // The system keeps at most 15 characters of a thread's name.
  pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
}

}  // namespace tzx::platform
