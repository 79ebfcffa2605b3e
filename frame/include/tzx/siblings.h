// The slots of the host's own sibling libraries that the five libraries call.
// A sibling's interface is an array of pointers; each struct below lays out the
// slots a caller uses, in the sibling's own order, with the unused slots kept as
// plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

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

// "async": steps a prepared copy, move or delete operation on the script thread.
struct AsyncOperation;
struct AsyncSibling {
  const void* slots0to7[8];
  int (*start)(lua_State* L, AsyncOperation* operation);
};
static_assert(offsetof(AsyncSibling, start) == 8 * sizeof(void*));

// "time": date parsing and the default entry date.
struct DateRecord;
struct TimeSibling {
  int (*parseDate)(const char* text, DateRecord* out);
  const void* slot1;
  void (*defaultDate)(DateRecord* out);
};
static_assert(offsetof(TimeSibling, defaultDate) == 2 * sizeof(void*));

// "imageio": picture files. Slots beyond the probe are typed by their users.
struct UserTags;
struct ImageIoSibling {
  // Recognises a picture file and tells what it holds; non-zero when
  // recognised.
  int (*probe)(const char* file, const char* loader, const char* adapter, UserTags* tags,
               int* type, int* format, int* width, int* height, int* depth, int* alpha,
               int* transparency);
  const void* slots1to7[7];
};

}  // namespace tzx
