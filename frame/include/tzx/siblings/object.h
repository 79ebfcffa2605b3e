// What the libraries call in the "object" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "object": the registry behind the generic object commands.
struct ObjectSibling {
  const void* slot0;
  // Forgets an object whose record is about to be freed.
  void (*forget)(lua_State* L, void* objectData);
  // Duplicates the per-object data for a copied object; 0 or an error code.
  int (*duplicate)(lua_State* L, void* objectData, void** newObjectData);
  void (*displayHook)(lua_State* L, int unused);
  void (*registerType)(int32_t type, const char* pluralName, ObjectHeader** listHead,
                       AttributeFn attribute, int unused, int unused2);
};
static_assert(offsetof(ObjectSibling, registerType) == 4 * sizeof(void*));

}  // namespace tzx
