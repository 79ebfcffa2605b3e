// The sibling libraries brush.tzx binds, by name; a null slot means absent.
#pragma once

namespace tzx::brush {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* animio = nullptr;
  const void* bgpic = nullptr;
  const void* display = nullptr;
  const void* filters = nullptr;
  const void* graphics = nullptr;
  const void* icon = nullptr;
  const void* imageio = nullptr;
  const void* layers = nullptr;
  const void* object = nullptr;
  const void* offscreen = nullptr;
  const void* palette = nullptr;
  const void* sprite = nullptr;
  const void* text = nullptr;
  const void* vectorpath = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::brush
