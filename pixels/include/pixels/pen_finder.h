// Nearest pens for many colours: the same answers as NearestPen (squared RGB
// distance, ties to the lower index), found through an inverse colour map.
// The colour cube is cut into 16 x 16 x 16 cells; the first colour that falls
// into a cell lists the entries that can be nearest anywhere in it (those not
// farther at their closest than the best entry at its farthest), and every
// later colour of the cell compares only those.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::pixels {

class PenFinder {
 public:
  // Working memory the caller provides (any alignment of 4 bytes); nothing
  // else is allocated.
  static constexpr size_t kScratchBytes = 4096 * 4 + 4096 * 256 + 1024 * 8;

  // `palette` (0x..RRGGBB, alpha ignored) must outlive the finder and stay
  // unchanged while it is used; count 0..256.
  PenFinder(const uint32_t* palette, int count, void* scratch);

  // -1 for an empty palette.
  int Find(uint32_t color);

 private:
  void ListCandidates(int cell);

  const uint32_t* palette_;
  int count_;
  uint32_t* cells_;  // per cell: 0 unlisted, else (start << 9) | length
  uint8_t* pool_;    // candidate lists, in index order
  uint32_t* memo_;   // direct-mapped colour -> pen pairs
  uint32_t poolUsed_ = 0;
};

}  // namespace tzx::pixels
