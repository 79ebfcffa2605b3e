// The sibling libraries display.tzx binds, by name; a null slot means absent.
#pragma once

namespace tzx::display {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* application = nullptr;
  const void* async = nullptr;
  const void* bgpic = nullptr;
  const void* brush = nullptr;
  const void* clipboard = nullptr;
  const void* event = nullptr;
  const void* graphics = nullptr;
  const void* icon = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* menu = nullptr;
  const void* object = nullptr;
  const void* palette = nullptr;
  const void* pointer = nullptr;
  const void* requester = nullptr;
  const void* serialize = nullptr;
  const void* sound = nullptr;
  const void* sprite = nullptr;
  const void* system = nullptr;
  const void* text = nullptr;
  const void* transitionfx = nullptr;
  const void* video = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::display
