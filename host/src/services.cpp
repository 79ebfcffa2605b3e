#include "services.h"

#include "lua_api.h"

namespace tzx::host {

HostServices* RootServices() {
  static const ExtendedServices extended = {&kThreads,    &kMemory,    &kDisplay,
                                            &kFileSystem, &kArguments, &kChars};
  static HostServices root = {&kRuntime, &kErrorReporting, &kStreamIo, {nullptr, nullptr},
                              &kLuaApi,  &kUtf8,           &kMath,     &extended};
  return &root;
}

}  // namespace tzx::host
