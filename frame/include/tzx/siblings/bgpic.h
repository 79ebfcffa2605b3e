// What the libraries call in the "bgpic" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

namespace tzx::display {
struct DisplayRecord;
}

namespace tzx {

struct BgPicSibling {
  const void* slots0to3[4];
  // Slot 4: non-zero while a background picture of the display is busy, which
  // rules out double buffering.
  int (*busy)(display::DisplayRecord* d);
  const void* slots5to8[4];
  // Slot 9: the per-display step after the graphics back end changed.
  int (*rebuild)(int argument);
};
static_assert(offsetof(BgPicSibling, busy) == 4 * sizeof(void*));
static_assert(offsetof(BgPicSibling, rebuild) == 9 * sizeof(void*));

}  // namespace tzx
