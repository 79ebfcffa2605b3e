// The sibling libraries text.tzx binds, by name; a null slot means absent.
#pragma once

namespace tzx::text {

struct BoundSiblings {
  const void* bgpic = nullptr;
  const void* brush = nullptr;
  const void* clipboard = nullptr;
  const void* clipregion = nullptr;
  const void* display = nullptr;
  const void* draw = nullptr;
  const void* event = nullptr;
  const void* filters = nullptr;
  const void* graphics = nullptr;
  const void* layers = nullptr;
  const void* object = nullptr;
  const void* palette = nullptr;
  const void* system = nullptr;
  const void* vectorpath = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::text
