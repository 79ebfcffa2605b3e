// The sibling libraries display.tzx binds, by name; a null slot means absent.
#pragma once

#include "tzx/brush.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"
#include "tzx/siblings/bgpic.h"
#include "tzx/siblings/layers.h"
#include "tzx/siblings/video.h"

namespace tzx::display {

struct BoundSiblings {
  const void* anim = nullptr;
  const void* application = nullptr;
  const void* async = nullptr;
  const BgPicSibling* bgpic = nullptr;
  const brush::BrushInterface* brush = nullptr;
  const ClipboardSibling* clipboard = nullptr;
  const EventSibling* event = nullptr;
  // Set whenever the library runs: start-up refuses without graphics.
  const graphics::GraphicsInterface* graphics = nullptr;
  const void* icon = nullptr;
  const ImageIoSibling* imageio = nullptr;
  const LayersSibling* layers = nullptr;
  const void* menu = nullptr;
  const void* object = nullptr;
  const PaletteSibling* palette = nullptr;
  const void* pointer = nullptr;
  const void* requester = nullptr;
  const void* serialize = nullptr;
  const void* sound = nullptr;
  const void* sprite = nullptr;
  const void* system = nullptr;
  const void* text = nullptr;
  const void* transitionfx = nullptr;
  const VideoSibling* video = nullptr;
};

extern BoundSiblings gBound;

}  // namespace tzx::display
