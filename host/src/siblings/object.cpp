// "object": knows every registered object type and reads object attributes for
// the generic script commands.
#include <map>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "../arg_checks.h"
#include "../lua_api.h"
#include "../services.h"
#include "sibling.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

struct TypeEntry {
  std::string pluralName;
  ObjectHeader** listHead;
  AttributeFn attribute;
};

std::map<int32_t, TypeEntry>& Types() {
  static std::map<int32_t, TypeEntry> types;
  return types;
}

// This registry keeps no per-object data, so the data word of every object
// stays null: there is nothing to forget or to copy.
void Forget(lua_State*, void*) {}
int Duplicate(lua_State*, void*, void** newData) {
  *newData = nullptr;
  return 0;
}
void DisplayHook(lua_State*, int) {}

void RegisterType(int32_t type, const char* pluralName, ObjectHeader** listHead,
                  AttributeFn attribute, int, int) {
  Types()[type] = TypeEntry{pluralName, listHead, attribute};
}

const TypeEntry* FindType(lua_State* L, int n) {
  auto it = Types().find(CheckInt32(L, n));
  return it == Types().end() ? nullptr : &it->second;
}

// GetAttribute(type, id, attribute)
int GetAttribute(lua_State* L) {
  kArguments.beginCommand(L, 3, 3, 0, 0);
  const TypeEntry* type = FindType(L, 1);
  ObjectId id = kArguments.objectId(L, 2);
  int attribute = kLuaApi.checkinteger(L, 3);
  if (!type) return kErrRange;
  return type->attribute(L, attribute, &id);
}

// GetObjects(type): the identifiers of the live objects of a type, in list
// order.
int GetObjects(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  const TypeEntry* type = FindType(L, 1);
  if (!type) return kErrRange;
  lua_newtable(L);
  int i = 0;
  for (ObjectHeader* h = *type->listHead; h; h = h->next) {
    kArguments.pushObjectId(L, h->id);
    lua_rawseti(L, -2, i++);
  }
  return 1;
}

const ObjectSibling kInterface = {nullptr, Forget, Duplicate, DisplayHook, RegisterType};
const void* Interface() {
  return &kInterface;
}

const CommandRow kCommands[] = {
    {"GetAttribute", GetAttribute},
    {"GetObjects", GetObjects},
    {nullptr, nullptr},
};

void Reset(lua_State*) {
  Types().clear();
}

}  // namespace

const HostSibling kObjectSibling = {"object", Interface, kCommands, Reset};

}  // namespace tzx::host
