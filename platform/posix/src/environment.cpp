#include "platform/environment.h"

#include <cstdlib>

namespace tzx::platform {

const char* EnvironmentValue(const char* name) {
  return std::getenv(name);
}

bool SetEnvironmentValue(const char* name, const char* value) {
  return setenv(name, value, 1) == 0;
}

bool RemoveEnvironmentValue(const char* name) {
  return unsetenv(name) == 0;
}

}  // namespace tzx::platform
