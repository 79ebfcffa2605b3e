#include "platform/libraries.h"

#include <dlfcn.h>

namespace tzx::platform {

// Sanitised builds keep the code of unloaded libraries mapped, so that a leak
// report can still name the library that made the block.
#if defined(TZX_SANITIZED)
constexpr int kKeep = RTLD_NODELETE;
#else
constexpr int kKeep = 0;
#endif

void* LoadSharedLibrary(const char* path, std::string* error) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL | kKeep);
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
