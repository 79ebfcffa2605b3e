// The six entry points, the same in every library.
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/siblings.h"

#define TZX_EXPORT extern "C" __attribute__((visibility("default")))

namespace tzx {

HostServices* gHost = nullptr;

const void* Sibling(const char* name) {
  for (const BindingRow* row = ThisLibrary().bindings; row->library; ++row) {
    if (gHost->runtime->strcmp(row->library, name) == 0) return row->get();
  }
  return nullptr;
}

namespace {

const ObjectSibling* BoundObjectSibling() {
  return static_cast<const ObjectSibling*>(Sibling("object"));
}

}  // namespace
}  // namespace tzx

using namespace tzx;

TZX_EXPORT void* tzx_Entry(HostServices* services, const char** descriptorOut) {
  gHost = services;
  *descriptorOut = ThisLibrary().descriptor;
  return services;
}

TZX_EXPORT const ConstantRow* tzx_GetConstants() {
  return ThisLibrary().constants;
}

TZX_EXPORT const void* tzx_GetInterface() {
  return ThisLibrary().interface;
}

TZX_EXPORT void tzx_SetInterface(const char* libraryName, const void* interfaceTable) {
  for (const BindingRow* row = ThisLibrary().bindings; row->library; ++row) {
    if (gHost->runtime->strcmp(row->library, libraryName) == 0) {
      row->set(interfaceTable);
      return;
    }
  }
}

TZX_EXPORT int tzx_InitLibrary(lua_State* L) {
  const LibraryDefinition& lib = ThisLibrary();
  if (lib.requiresGraphics && !Sibling("graphics")) {
    return ErrorWithString(kErrNoGraphics, lib.name);
  }
  if (lib.setUp) {
    if (int rc = lib.setUp(L)) return rc;
  }
  gHost->ext->args->registerCommands(L, nullptr, lib.commands, 0);
  gHost->ext->args->nameCommandTable(lib.commands, lib.name);
  if (const ObjectSibling* object = BoundObjectSibling(); object && lib.objectTypes) {
    for (const ObjectTypeRow* row = lib.objectTypes; row->type; ++row) {
      object->registerType(row->type, row->pluralName, row->listHead, row->attribute, 0, 0);
    }
  }
  return lib.finishSetUp ? lib.finishSetUp(L) : 0;
}

TZX_EXPORT void tzx_CloseLibrary(lua_State* L) {
  if (ThisLibrary().close) ThisLibrary().close(L);
  // The siblings go with the host that bound them. A library that stays
  // mapped (the system may keep it, or another host of the process load it
  // again) must not reach them through its next host.
  for (const BindingRow* row = ThisLibrary().bindings; row->library; ++row) row->set(nullptr);
}
