// The sibling libraries text.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/graphics.h"

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

// graphics is bound whenever the library runs: start-up refuses without it.
inline const graphics::GraphicsInterface& Gfx() {
  return *static_cast<const graphics::GraphicsInterface*>(gBound.graphics);
}

}  // namespace tzx::text
