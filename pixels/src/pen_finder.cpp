#include "pixels/pen_finder.h"

#include <cstring>

namespace tzx::pixels {
namespace {

constexpr int kCellShift = 4;  // 16 values per axis in a cell
constexpr int kCellsPerAxis = 256 >> kCellShift;
constexpr int kMemo = 1024;

inline int Channel(uint32_t c, int shift) {
  return static_cast<int>((c >> shift) & 255);
}

// Least and greatest squared distance along one axis from v to [lo, hi].
inline void AxisRange(int v, int lo, int hi, int& least, int& most) {
  const int nearDistance = v < lo ? lo - v : v > hi ? v - hi : 0;
  const int farDistance = v - lo > hi - v ? v - lo : hi - v;
  least += nearDistance * nearDistance;
  most += farDistance * farDistance;
}

}  // namespace

PenFinder::PenFinder(const uint32_t* palette, int count, void* scratch)
    : palette_(palette),
      count_(count < 0     ? 0
             : count > 256 ? 256
                           : count) {
  auto* bytes = static_cast<uint8_t*>(scratch);
  cells_ = reinterpret_cast<uint32_t*>(bytes);
  memo_ = reinterpret_cast<uint32_t*>(bytes + 4096 * 4);
  pool_ = bytes + 4096 * 4 + kMemo * 8;
  std::memset(cells_, 0, 4096 * 4);
  std::memset(memo_, 0xFF, kMemo * 8);
}

void PenFinder::ListCandidates(int cell) {
  const int r0 = (cell >> 8) << kCellShift, g0 = ((cell >> 4) & 15) << kCellShift,
            b0 = (cell & 15) << kCellShift;
  const int span = (1 << kCellShift) - 1;
  int least[256];
  int bound = 1 << 30;
  for (int i = 0; i < count_; ++i) {
    int lo = 0, hi = 0;
    AxisRange(Channel(palette_[i], 16), r0, r0 + span, lo, hi);
    AxisRange(Channel(palette_[i], 8), g0, g0 + span, lo, hi);
    AxisRange(Channel(palette_[i], 0), b0, b0 + span, lo, hi);
    least[i] = lo;
    if (hi < bound) bound = hi;
  }
  const uint32_t start = poolUsed_;
  for (int i = 0; i < count_; ++i) {
    if (least[i] <= bound) pool_[poolUsed_++] = static_cast<uint8_t>(i);
  }
  cells_[cell] = (start << 9) | (poolUsed_ - start);
}

int PenFinder::Find(uint32_t color) {
  if (count_ == 0) return -1;
  color &= 0xFFFFFF;
  uint32_t* memo = memo_ + 2 * ((color * 2654435761u) >> 22);
  if (memo[0] == color) return static_cast<int>(memo[1]);
  const int r = Channel(color, 16), g = Channel(color, 8), b = Channel(color, 0);
  const int cell =
      ((r >> kCellShift) * kCellsPerAxis + (g >> kCellShift)) * kCellsPerAxis + (b >> kCellShift);
  if (!cells_[cell]) ListCandidates(cell);
  const uint8_t* list = pool_ + (cells_[cell] >> 9);
  const int length = static_cast<int>(cells_[cell] & 511);
  int best = list[0];
  int bestDistance = 1 << 30;
  for (int k = 0; k < length; ++k) {
    const uint32_t p = palette_[list[k]];
    const int dr = r - Channel(p, 16), dg = g - Channel(p, 8), db = b - Channel(p, 0);
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      best = list[k];
      bestDistance = d;
      if (d == 0) break;
    }
  }
  memo[0] = color;
  memo[1] = static_cast<uint32_t>(best);
  return best;
}

}  // namespace tzx::pixels
