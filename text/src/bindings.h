// The sibling libraries text.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/brush.h"
#include "tzx/display.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"
#include "tzx/siblings/layers.h"
#include "tzx/siblings/system.h"
#include "tzx/siblings/vectorpath.h"

namespace tzx::text {

struct BoundSiblings {
  const void* bgpic = nullptr;
  const brush::BrushInterface* brush = nullptr;
  const ClipboardSibling* clipboard = nullptr;
  const void* clipregion = nullptr;
  const display::DisplayInterface* display = nullptr;
  const void* draw = nullptr;
  const EventSibling* event = nullptr;
  const void* filters = nullptr;
  // Set whenever the library runs: start-up refuses without graphics.
  const graphics::GraphicsInterface* graphics = nullptr;
  const LayersSibling* layers = nullptr;
  const void* object = nullptr;
  const void* palette = nullptr;
  const SystemSibling* system = nullptr;
  const VectorPathSibling* vectorpath = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::text
