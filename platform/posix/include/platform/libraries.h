// Loading shared libraries.
#pragma once

#include <string>

namespace tzx::platform {

// The loaded library, or null with the system's reason in `error`. Its
// symbols stay private to it.
void* LoadSharedLibrary(const char* path, std::string* error);
// The address of an exported symbol; null when the library lacks it.
void* SharedLibrarySymbol(void* library, const char* name);
void UnloadSharedLibrary(void* library);

}  // namespace tzx::platform
