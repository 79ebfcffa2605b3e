// The sibling libraries dos.tzx binds, by name; a null slot means absent.
#pragma once

namespace tzx::dos {

struct BoundSiblings {
  const void* async = nullptr;
  const void* display = nullptr;
  const void* event = nullptr;
  const void* graphics = nullptr;
  const void* object = nullptr;
  const void* time = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::dos
