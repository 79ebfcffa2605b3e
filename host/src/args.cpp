// Argument readers and result writers.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "arg_checks.h"
#include "command_scope.h"
#include "commands.h"
#include "host_state.h"
#include "lua_api.h"
#include "services.h"
#include "text_codec.h"
#include "tzx/errors.h"

namespace tzx {

// The fields of an option table that no library read, for an adapter.
struct UserTags {
  std::vector<std::pair<std::string, std::string>> fields;
  int references = 1;
};

}  // namespace tzx

namespace tzx::host {
namespace {

int Absolute(lua_State* L, int index) {
  index = TranslateIndex(index);
  return (index < 0 && index > LUA_REGISTRYINDEX) ? lua_gettop(L) + index + 1 : index;
}

[[gnu::noinline, noreturn]] void ArgumentCountError(lua_State* L, int minimum, int maximum, int n) {
  const char* command = RunningCommand();
  State().errorString = command ? command : "?";
  State().hasErrorString = true;
  if (minimum == maximum) {
    State().errorNumber = minimum;
  } else {
    State().errorNumber = n < minimum ? minimum : maximum;
  }
  State().hasErrorNumber = true;
  RaiseError(L, n < minimum ? kErrTooFewArguments : kErrTooManyArguments);
}

lua_State* BeginCommand(lua_State* L, int minimum, int maximum, int, int) {
  const int n = lua_gettop(L);
  if (n < minimum || n > maximum) ArgumentCountError(L, minimum, maximum, n);
  return L;
}

void RegisterCommands(lua_State* L, const char*, const CommandRow* table, int) {
  RegisterCommandTable(L, table);
}

void NameCommandTable(const CommandRow* table, const char* library) {
  NameCommands(table, library);
}

ObjectId ObjectIdArg(lua_State* L, int n) {
  const int type = lua_type(L, n);
  if (type == LUA_TLIGHTUSERDATA) return ObjectId{0, lua_touserdata(L, n)};
  if (type != LUA_TNUMBER) TypeError(L, n, "object identifier");
  return ObjectId{CheckedInt32(L, lua_tonumber(L, n)), nullptr};
}

// Any non-null pointer word asks for an automatic identifier.
ObjectId NewObjectIdArg(lua_State* L, int n) {
  if (lua_isnoneornil(L, n)) return ObjectId{0, reinterpret_cast<void*>(1)};
  if (lua_type(L, n) != LUA_TNUMBER) TypeError(L, n, "number or nil");
  return ObjectId{CheckedInt32(L, lua_tonumber(L, n)), nullptr};
}

// File and path names: a name with a NUL byte would name another file than
// the script wrote, so it is refused here, for every command that takes one.
const char* FileNameArg(lua_State* L, int n, int, int) {
  size_t length;
  const char* name = CheckString(L, n, &length);
  if (std::memchr(name, 0, length)) RaiseError(L, kErrNulInName);
  return name;
}

// The converted text lives in the interpreter as a string value kept in the
// registry until the next conversion, so it outlives the command's reads.
const char* EncodedString(lua_State* L, int n, size_t* lengthOut, int encoding, int) {
  size_t length;
  const char* s = CheckString(L, n, &length);
  int from = State().textEncoding;
  if (encoding < 0 || encoding == from) {
    if (lengthOut) *lengthOut = length;
    return s;
  }
  bool converted;
  {
    std::string out;
    converted = ConvertText(s, length, from, encoding, &out);
    lua_pushlstring(L, out.data(), out.size());
  }
  if (!converted) ArgError(L, n, "text cannot be converted to the requested encoding");
  size_t outLength = lua_objlen(L, -1);
  lua_setfield(L, LUA_REGISTRYINDEX, "tessera.encoded");
  lua_getfield(L, LUA_REGISTRYINDEX, "tessera.encoded");
  const char* result = lua_tostring(L, -1);
  lua_pop(L, 1);
  if (lengthOut) *lengthOut = outLength;
  return result;
}

const char* StackString(lua_State* L, int index, int, int* errorOut) {
  index = TranslateIndex(index);
  if (!lua_isstring(L, index)) {
    if (errorOut) *errorOut = 1;
    return nullptr;
  }
  if (errorOut) *errorOut = 0;
  return lua_tostring(L, index);
}

double StackNumber(lua_State* L, int index, int* errorOut) {
  index = TranslateIndex(index);
  if (!lua_isnumber(L, index)) {
    if (errorOut) *errorOut = 1;
    return 0;
  }
  if (errorOut) *errorOut = 0;
  return lua_tonumber(L, index);
}

double LevelArgument(lua_State* L, int n, double maximum, int, int) {
  double v = CheckNumber(L, n);
  if (!(v >= 0 && v <= maximum)) ArgError(L, n, "level out of range");
  return v;
}

// Pushes the field and returns true when it is present; pops nothing.
bool PushField(lua_State* L, int table, const char* key) {
  lua_getfield(L, Absolute(L, table), key);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  return true;
}

[[noreturn]] void FieldError(lua_State* L, const char* key, const char* expected) {
  luaL_error(L, "Field \"%s\" must be %s", key, expected);
  __builtin_unreachable();
}

// NaN and the infinities are no values for any option: refused with 1055.
double FieldAsNumber(lua_State* L, const char* key) {
  if (lua_type(L, -1) == LUA_TBOOLEAN) return lua_toboolean(L, -1);
  if (!lua_isnumber(L, -1)) FieldError(L, key, "a number");
  double v = lua_tonumber(L, -1);
  if (!std::isfinite(v)) RaiseError(L, kErrRange);
  return v;
}

bool FieldInt(lua_State* L, int table, const char* key, int32_t* out) {
  if (!PushField(L, table, key)) return false;
  *out = CheckedInt32(L, FieldAsNumber(L, key));
  lua_pop(L, 1);
  return true;
}

bool FieldNumber(lua_State* L, int table, const char* key, double* out) {
  if (!PushField(L, table, key)) return false;
  *out = FieldAsNumber(L, key);
  lua_pop(L, 1);
  return true;
}

bool FieldColor(lua_State* L, int table, const char* key, uint32_t* out) {
  if (!PushField(L, table, key)) return false;
  *out = static_cast<uint32_t>(CheckedInt32(L, FieldAsNumber(L, key)));
  lua_pop(L, 1);
  return true;
}

bool FieldLevel(lua_State* L, int table, const char* key, int32_t* out, int maximum) {
  if (!PushField(L, table, key)) return false;
  double v = FieldAsNumber(L, key);
  if (v < 0 || v > maximum) FieldError(L, key, "a level in range");
  *out = CheckedInt32(L, v);
  lua_pop(L, 1);
  return true;
}

bool FieldBool(lua_State* L, int table, const char* key, int32_t* out) {
  if (!PushField(L, table, key)) return false;
  *out = lua_type(L, -1) == LUA_TBOOLEAN ? lua_toboolean(L, -1)
                                         : CheckedInt32(L, FieldAsNumber(L, key));
  lua_pop(L, 1);
  return true;
}

bool FieldString(lua_State* L, int table, const char* key, char* buffer, size_t size) {
  if (!PushField(L, table, key)) return false;
  if (!lua_isstring(L, -1)) FieldError(L, key, "a string");
  size_t length;
  const char* s = lua_tolstring(L, -1, &length);
  if (size) {
    size_t n = length < size ? length : size - 1;
    std::memcpy(buffer, s, n);
    buffer[n] = 0;
  }
  lua_pop(L, 1);
  return true;
}

bool FieldAllocString(lua_State* L, int table, const char* key, char** out) {
  if (!PushField(L, table, key)) return false;
  if (!lua_isstring(L, -1)) FieldError(L, key, "a string");
  size_t length;
  const char* s = lua_tolstring(L, -1, &length);
  auto* copy = static_cast<char*>(kMemory.alloc(length + 1, 0));
  if (copy) {
    std::memcpy(copy, s, length);
    copy[length] = 0;
  }
  *out = copy;
  lua_pop(L, 1);
  return true;
}

bool FieldObjectId(lua_State* L, int table, const char* key, ObjectId* out) {
  if (!PushField(L, table, key)) return false;
  if (lua_type(L, -1) == LUA_TLIGHTUSERDATA) {
    *out = ObjectId{0, lua_touserdata(L, -1)};
  } else {
    *out = ObjectId{CheckedInt32(L, FieldAsNumber(L, key)), nullptr};
  }
  lua_pop(L, 1);
  return true;
}

bool FieldPercent(lua_State* L, int table, const char* key, double reference, double* out) {
  if (!PushField(L, table, key)) return false;
  if (lua_type(L, -1) == LUA_TSTRING) {
    const char* s = lua_tostring(L, -1);
    char* end;
    double v = std::strtod(s, &end);
    if (end == s || !std::isfinite(v)) FieldError(L, key, "a number or a percentage");
    if (*end == '%') {
      v = reference * v / 100.0;
      ++end;
    }
    if (*end) FieldError(L, key, "a number or a percentage");
    *out = v;
  } else {
    *out = FieldAsNumber(L, key);
  }
  lua_pop(L, 1);
  return true;
}

bool FieldMatrix(lua_State* L, int table, const char* key, double out[4]) {
  if (!PushField(L, table, key)) return false;
  if (!lua_istable(L, -1)) FieldError(L, key, "a table of four numbers");
  double m[4];
  for (int i = 0; i < 4; ++i) {
    lua_rawgeti(L, -1, i);
    if (!lua_isnumber(L, -1)) FieldError(L, key, "a table of four numbers (indices 0 to 3)");
    m[i] = lua_tonumber(L, -1);
    if (!std::isfinite(m[i])) RaiseError(L, kErrRange);
    lua_pop(L, 1);
  }
  std::memcpy(out, m, sizeof m);
  lua_pop(L, 1);
  return true;
}

int FieldByKey(lua_State* L, int table, const char* key) {
  lua_getfield(L, Absolute(L, table), key);
  return lua_type(L, -1);
}

int FieldByIndex(lua_State* L, int table, int n) {
  lua_rawgeti(L, Absolute(L, table), n);
  return lua_type(L, -1);
}

// Keys that the libraries read themselves are not tags for an adapter.
bool IsLibraryKey(const char* key) {
  static const char* const kKeys[] = {"adapter",      "encoding",   "writebom", "recursive",
                                      "__direntries", "__emptydir", "mimetype", "dstusertags"};
  for (const char* k : kKeys) {
    if (std::strcmp(k, key) == 0) return true;
  }
  return false;
}

int ReadUserTags(lua_State* L, int table, int, int, UserTags** out) {
  *out = nullptr;
  table = Absolute(L, table);
  if (!lua_istable(L, table)) return 0;
  auto* tags = new UserTags;
  lua_pushnil(L);
  while (lua_next(L, table)) {
    if (lua_type(L, -2) == LUA_TSTRING && !IsLibraryKey(lua_tostring(L, -2))) {
      int t = lua_type(L, -1);
      if (t != LUA_TSTRING && t != LUA_TNUMBER && t != LUA_TBOOLEAN) {
        lua_pop(L, 2);
        delete tags;
        return kErrRange;
      }
      std::string value =
          t == LUA_TBOOLEAN ? (lua_toboolean(L, -1) ? "1" : "0") : std::string(lua_tostring(L, -1));
      tags->fields.emplace_back(lua_tostring(L, -2), std::move(value));
    }
    lua_pop(L, 1);
  }
  if (tags->fields.empty()) {
    delete tags;
    return 0;
  }
  *out = tags;
  return 0;
}

void FreeUserTags(UserTags* tags, int) {
  if (tags && --tags->references == 0) delete tags;
}

UserTags* RetainUserTags(UserTags* tags) {
  if (tags) ++tags->references;
  return tags;
}

void SetIntField(lua_State* L, const char* key, int32_t v) {
  lua_pushnumber(L, v);
  lua_setfield(L, -2, key);
}
void SetNumberField(lua_State* L, const char* key, double v) {
  lua_pushnumber(L, v);
  lua_setfield(L, -2, key);
}
void SetStringField(lua_State* L, const char* key, const char* v) {
  lua_pushstring(L, v);
  lua_setfield(L, -2, key);
}
void PushObjectId(lua_State* L, ObjectId id) {
  if (id.pointer) {
    lua_pushlightuserdata(L, id.pointer);
  } else {
    lua_pushnumber(L, id.number);
  }
}
void SetObjectIdField(lua_State* L, const char* key, ObjectId id) {
  PushObjectId(L, id);
  lua_setfield(L, -2, key);
}

}  // namespace

const ArgumentServices kArguments = {
    .beginCommand = BeginCommand,
    .registerCommands = RegisterCommands,
    .nameCommandTable = NameCommandTable,
    .objectId = ObjectIdArg,
    .newObjectId = NewObjectIdArg,
    .fileName = FileNameArg,
    .fontName = FileNameArg,
    .encodedString = EncodedString,
    .stackString = StackString,
    .stackNumber = StackNumber,
    .levelArgument = LevelArgument,
    .fieldInt = FieldInt,
    .fieldNumber = FieldNumber,
    .fieldColor = FieldColor,
    .fieldLevel = FieldLevel,
    .fieldBool = FieldBool,
    .fieldString = FieldString,
    .fieldAllocString = FieldAllocString,
    .fieldObjectId = FieldObjectId,
    .fieldPercent = FieldPercent,
    .fieldMatrix = FieldMatrix,
    .fieldByKey = FieldByKey,
    .fieldByIndex = FieldByIndex,
    .userTags = ReadUserTags,
    .freeUserTags = FreeUserTags,
    .retainUserTags = RetainUserTags,
    .setIntField = SetIntField,
    .setNumberField = SetNumberField,
    .setStringField = SetStringField,
    .setObjectIdField = SetObjectIdField,
    .pushObjectId = PushObjectId,
    .atCommandEnd = AtCommandEnd,
};

}  // namespace tzx::host
