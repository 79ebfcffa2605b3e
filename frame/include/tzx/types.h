// Records shared by the host and all five libraries: object identifiers, object
// headers and the rows of the frame's tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// The interpreter state is opaque to the libraries; only the host sees inside.
struct lua_State;

namespace tzx {

// A script command: returns the number of results pushed, or a host error code
// (always 1000 or greater) with nothing pushed.
using CommandFn = int (*)(lua_State* L);

// The handle under which a script knows an object. A script number gives
// {n, nullptr}; an automatic identifier is {0, address of the record}.
struct ObjectId {
  int32_t number = 0;
  void* pointer = nullptr;
  bool operator==(const ObjectId& o) const { return number == o.number && pointer == o.pointer; }
};

// First fields of every script-visible object record.
struct ObjectHeader {
  int32_t type;
  ObjectId id;
  void* objectData;  // owned by the object sibling
  ObjectHeader* next;
};

struct CommandRow {
  const char* name;
  CommandFn fn;
};

// A row with a non-null `string` is a string constant and its number is 0.
struct ConstantRow {
  const char* name;
  const char* string;
  double number;
};

// A sibling library a library binds by name: the table the host hands over
// is kept, typed, in the library's record of bound siblings (see Bind).
struct BindingRow {
  const char* library;
  const void* (*get)();
  void (*set)(const void* table);
};

// The row of `library` for the member `Member` of the record `Bound`: the
// one place where the host's untyped table becomes the member's type.
template <auto& Bound, auto Member>
constexpr BindingRow Bind(const char* library) {
  return {library, [] { return static_cast<const void*>(Bound.*Member); },
          [](const void* table) {
            Bound.*Member = static_cast<std::remove_reference_t<decltype(Bound.*Member)>>(table);
          }};
}

// Reads one attribute of an object for the object sibling's generic commands:
// pushes the value and returns 1, or returns a host error code.
using AttributeFn = int (*)(lua_State* L, int attribute, const ObjectId* id);

// Object type numbers shared with the host and its siblings.
enum ObjectType : int32_t {
  kTypeBrush = 3,
  kTypeTextObject = 8,
  kTypeBrushPart = 12,
  kTypeDisplay = 21,
  kTypeMask = 28,
  kTypeAlphaChannel = 30,
  kTypeFont = 43,
  kTypeFile = 44,
  kTypeDirectory = 45,
};

// Text encodings used by every encoding argument.
enum Encoding : int { kEncodingNone = -1, kEncodingLatin1 = 0, kEncodingUtf8 = 1 };

}  // namespace tzx
