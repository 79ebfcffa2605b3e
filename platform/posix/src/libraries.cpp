#include "platform/libraries.h"

#include <dlfcn.h>

namespace tzx::platform {

void* LoadSharedLibrary(const char* path, std::string* error) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) *error = dlerror();
  return library;
}

void* SharedLibrarySymbol(void* library, const char* name) {
  return dlsym(library, name);
}

void UnloadSharedLibrary(void* library) {
  dlclose(library);
}

}  // namespace tzx::platform
