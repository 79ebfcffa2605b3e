// What the libraries call in the "video" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

namespace tzx::display {
struct DisplayRecord;
}

namespace tzx {

struct VideoSibling {
  const void* slots0to9[10];
  // Slot 10: non-zero while a video plays on the display, which rules out
  // double buffering.
  int (*playing)(display::DisplayRecord* d, int flag);
};
static_assert(offsetof(VideoSibling, playing) == 10 * sizeof(void*));

}  // namespace tzx
