// The frame every library instantiates: its definition record and the access
// to the host services that tzx_Entry stored.
//
// Every command keeps the pinning rule of tzx/pins.h: script code can run in
// the middle of a command (argument tables' metamethods, callbacks,
// finalizers run by any interpreter allocation), so no record pointer is held
// across such a point unless the record is pinned with PinForCommand.
//
// And the argument rule: a command reads every argument and argument table
// before it allocates or takes anything. Argument errors (and any error of
// the interpreter) longjmp out of the command past C++ destructors, so a
// block allocated, a lock taken or an object built before the last argument
// check would be left behind.
#pragma once

#include "tzx/host.h"
#include "tzx/types.h"

namespace tzx {

// Set by tzx_Entry; each library holds its own copy.
extern HostServices* gHost;

inline const HostServices& Host() {
  return *gHost;
}
inline const LuaApi& Lua() {
  return *gHost->lua;
}
inline const ArgumentServices& Args() {
  return *gHost->ext->args;
}
inline const MemoryServices& Memory() {
  return *gHost->ext->memory;
}
inline const FileSystem& Files() {
  return *gHost->ext->files;
}
inline const StreamIo& Stream() {
  return *gHost->stream;
}
inline const ErrorReporting& Errors() {
  return *gHost->errors;
}
inline const ThreadServices& Threads() {
  return *gHost->ext->threads;
}

// Host memory: every record and buffer of a library comes from here so that the
// host can account for it.
inline void* HostAlloc(size_t size, bool zero = true) {
  return gHost->ext->memory->alloc(size, zero ? kAllocZero : 0);
}
inline void HostFree(void* block) {
  if (block) gHost->ext->memory->free(block);
}
template <class T>
T* AllocRecord() {
  return static_cast<T*>(HostAlloc(sizeof(T)));
}

// Appends one byte to a Lua string buffer, emptying it onto the stack when full.
inline void BufferAddChar(LuaBuffer* b, char c) {
  if (b->p >= b->buffer + kLuaBufferSize) gHost->lua->prepbuffer(b);
  *b->p++ = c;
}

// Hands the error's arguments to the host and returns the code, for
// `return ErrorWithString(kErrOpenRead, name);`.
inline int ErrorWithString(int code, const char* text) {
  gHost->errors->setErrorString(text);
  return code;
}
inline int ErrorWithNumber(int code, double n) {
  gHost->errors->setErrorNumber(n);
  return code;
}

struct ObjectTypeRow {
  int32_t type;
  const char* pluralName;
  ObjectHeader** listHead;
  AttributeFn attribute;
};

// What distinguishes one library's frame from another's.
struct LibraryDefinition {
  const char* name;        // "dos"
  const char* descriptor;  // leading NUL, then the version text
  const CommandRow* commands;
  const ConstantRow* constants;
  const BindingRow* bindings;
  const void* interface;
  bool requiresGraphics;
  // Runs before the commands are registered; 0 or an error code.
  int (*setUp)(lua_State* L);
  // Runs after commands and object types are registered; 0 or an error code.
  int (*finishSetUp)(lua_State* L);
  const ObjectTypeRow* objectTypes;  // ended by a row with type 0; may be null
  // Frees every object the library still owns.
  void (*close)(lua_State* L);
};

// Defined once by each library.
const LibraryDefinition& ThisLibrary();

// The binding slot of a sibling library, null while it is absent.
const void* Sibling(const char* name);

}  // namespace tzx
