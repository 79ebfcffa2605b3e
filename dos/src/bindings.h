// The sibling libraries dos.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/display.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::dos {

struct BoundSiblings {
  const AsyncSibling* async = nullptr;
  const display::DisplayInterface* display = nullptr;
  const void* event = nullptr;
  const graphics::GraphicsInterface* graphics = nullptr;
  const void* object = nullptr;
  const TimeSibling* time = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::dos
