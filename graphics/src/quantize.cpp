#include "quantize.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "pixel_formats.h"
#include "tzx/frame.h"
#include "tzx/graphics_layout.h"
#include "tzx/graphics_records.h"

namespace tzx::graphics {
namespace {

// Histogram cells: red 5 bits, green 6 bits, blue 5 bits, blue varying fastest.
constexpr int kBitsR = 5, kBitsG = 6, kBitsB = 5;
constexpr int kShiftR = 8 - kBitsR, kShiftG = 8 - kBitsG, kShiftB = 8 - kBitsB;
constexpr int kCellsG = 1 << kBitsG, kCellsB = 1 << kBitsB;
constexpr int kCells = (1 << kBitsR) * kCellsG * kCellsB;
// Distances weigh green most, then red, then blue.
constexpr int kScaleR = 2, kScaleG = 3, kScaleB = 1;

// The inverse colour map is filled a box of 4 x 8 x 4 cells at a time.
constexpr int kBoxLogR = kBitsR - 3, kBoxLogG = kBitsG - 3, kBoxLogB = kBitsB - 3;
constexpr int kBoxR = 1 << kBoxLogR, kBoxG = 1 << kBoxLogG, kBoxB = 1 << kBoxLogB;
constexpr int kBoxShiftR = kShiftR + kBoxLogR, kBoxShiftG = kShiftG + kBoxLogG,
              kBoxShiftB = kShiftB + kBoxLogB;

// Boxes per axis and in all; the box of a cell.
constexpr int kBoxesG = kCellsG / kBoxG, kBoxesB = kCellsB / kBoxB;
constexpr int kBoxes = ((1 << kBitsR) / kBoxR) * kBoxesG * kBoxesB;
inline int BoxOfCell(int cell) {
  const int r = cell / (kCellsG * kCellsB), g = (cell / kCellsB) % kCellsG, b = cell % kCellsB;
  return ((r >> kBoxLogR) * kBoxesG + (g >> kBoxLogG)) * kBoxesB + (b >> kBoxLogB);
}

// Row pixels carry this bit when they are transparent.
constexpr uint32_t kHidden = 0x01000000;

// The cell of a colour: ((r >> 3) * 64 + (g >> 2)) * 32 + (b >> 3), written
// as masks and shifts that take fewer steps one after the other.
inline uint32_t Cell(uint32_t r, uint32_t g, uint32_t b) {
  static_assert(kBitsR + kBitsG + kBitsB == 16 && kShiftR == 3 && kShiftG == 2 && kShiftB == 3);
  return ((r & 0xF8) << 8 | (g & 0xFC) << 3) | b >> 3;
}
inline uint32_t CellOf(uint32_t rgb) {
  return Cell((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
}

struct ScratchBlock {
  void* block = nullptr;
  explicit ScratchBlock(size_t bytes, bool zero = false) : block(HostAlloc(bytes, zero)) {}
  ~ScratchBlock() { HostFree(block); }
  ScratchBlock(const ScratchBlock&) = delete;
  ScratchBlock& operator=(const ScratchBlock&) = delete;
};

bool HasTransparency(const QuantizeRequest& r) {
  if (r.noTransparency) return false;
  return r.mask || r.alpha || (r.sourcePalette && r.sourceTransparentPen >= 0);
}

// One source row as 0x00RRGGBB words, hidden pixels flagged with kHidden.
void ReadRow(const QuantizeRequest& r, int row, uint32_t* out) {
  const int sy = r.sourceY + row;
  const uint8_t* src = r.source + static_cast<ptrdiff_t>(sy) * r.sourceBytesPerRow;
  const int w = r.width;
  const bool hide = !r.noTransparency;
  if (r.sourcePalette && FormatBytes(r.sourceFormat) == 1) {
    const uint8_t* pens = src + r.sourceX;
    const int tpen = hide ? r.sourceTransparentPen : -1;
    for (int i = 0; i < w; ++i) {
      out[i] = pens[i] == tpen ? kHidden : (r.sourcePalette[pens[i]] & 0xFFFFFF);
    }
  } else {
    RowToArgb(src + static_cast<ptrdiff_t>(r.sourceX) * FormatBytes(r.sourceFormat), r.sourceFormat,
              out, w);
    for (int i = 0; i < w; ++i) out[i] &= 0xFFFFFF;
  }
  if (!hide) return;
  if (r.mask) {
    const uint8_t* m = r.mask + static_cast<ptrdiff_t>(sy) * r.maskBytesPerRow;
    for (int i = 0; i < w; ++i) {
      if (!MaskBit(m, r.sourceX + i)) out[i] = kHidden;
    }
  }
  if (r.alpha) {
    const uint8_t* a = r.alpha + static_cast<ptrdiff_t>(sy) * r.alphaBytesPerRow + r.sourceX;
    for (int i = 0; i < w; ++i) {
      if (a[i] != 255) out[i] = kHidden;
    }
  }
}

// The words the histogram and mapping passes read: their low 24 bits are the
// pixel's 0x00RRGGBB. With `hiding` they come from ReadRow (kHidden marks
// hidden pixels); without, 32-bit pictures are read where they lie and the
// top byte is whatever the pixel holds there.
const uint32_t* SourceRow(const QuantizeRequest& r, int row, bool hiding, uint32_t* buffer) {
  if (!hiding && r.sourceFormat == kFormatArgb32) {
    return reinterpret_cast<const uint32_t*>(
        r.source + static_cast<ptrdiff_t>(r.sourceY + row) * r.sourceBytesPerRow +
        static_cast<ptrdiff_t>(r.sourceX) * 4);
  }
  ReadRow(r, row, buffer);
  return buffer;
}

uint8_t* IndexRow(const QuantizeRequest& r, int row) {
  return r.index + static_cast<ptrdiff_t>(r.y + row) * r.indexBytesPerRow + r.x;
}

// Distinct colours in the order met, up to `limit`; the index pixels get each
// colour's position, hidden pixels the list's final length. False when the
// picture has more colours.
bool ExactPalette(const QuantizeRequest& r, int limit, uint32_t* row, uint32_t* list, int* length) {
  // Open addressing over 512 slots: at most 256 colours are ever listed.
  constexpr int kSlots = 512;
  uint32_t keys[kSlots];
  int16_t positions[kSlots];
  std::memset(positions, -1, sizeof positions);
  int count = 0;
  // Hidden pixels get the list's length, known only at the end: mark them
  // with 255 meanwhile and fix them in a second pass where any exist.
  bool anyHidden = false;
  for (int y = 0; y < r.height; ++y) {
    ReadRow(r, y, row);
    uint8_t* out = IndexRow(r, y);
    uint32_t last = ~0u;
    int lastPosition = 0;
    for (int x = 0; x < r.width; ++x) {
      const uint32_t c = row[x];
      if (c == last) {
        out[x] = static_cast<uint8_t>(lastPosition);
        continue;
      }
      if (c & kHidden) {
        anyHidden = true;
        out[x] = 255;
        continue;
      }
      uint32_t slot = (c * 2654435761u) >> 23;
      while (positions[slot] >= 0 && keys[slot] != c) slot = (slot + 1) & (kSlots - 1);
      if (positions[slot] < 0) {
        if (count == limit) return false;
        keys[slot] = c;
        positions[slot] = static_cast<int16_t>(count);
        list[count++] = c;
      }
      last = c;
      lastPosition = positions[slot];
      out[x] = static_cast<uint8_t>(lastPosition);
    }
  }
  if (anyHidden) {
    for (int y = 0; y < r.height; ++y) {
      ReadRow(r, y, row);
      uint8_t* out = IndexRow(r, y);
      for (int x = 0; x < r.width; ++x) {
        if (row[x] & kHidden) out[x] = static_cast<uint8_t>(count);
      }
    }
  }
  *length = count;
  return true;
}

struct Box {
  int r0, r1, g0, g1, b0, b1;  // inclusive cell bounds
  int64_t volume;
  int64_t colorCount;  // non-empty cells
};

struct ColorMap {
  int count = 0;
  uint8_t r[256], g[256], b[256];
};

class MedianCut {
 public:
  explicit MedianCut(const uint32_t* histogram) : hist_(histogram) {}

  int Select(int wanted, ColorMap& map) {
    Box boxes[256];
    boxes[0] = {0, (1 << kBitsR) - 1, 0, kCellsG - 1, 0, kCellsB - 1, 0, 0};
    Shrink(boxes[0]);
    int count = 1;
    while (count < wanted) {
      // Split by population until half the boxes exist, then by volume.
      Box* pick = count * 2 <= wanted ? MostColors(boxes, count) : Largest(boxes, count);
      if (!pick) break;
      Box& a = *pick;
      Box& b = boxes[count];
      b = a;
      const int64_t dr = static_cast<int64_t>(a.r1 - a.r0) * (1 << kShiftR) * kScaleR;
      const int64_t dg = static_cast<int64_t>(a.g1 - a.g0) * (1 << kShiftG) * kScaleG;
      const int64_t db = static_cast<int64_t>(a.b1 - a.b0) * (1 << kShiftB) * kScaleB;
      // Longest weighted axis; green wins ties, then red.
      int axis = 1;
      int64_t longest = dg;
      if (dr > longest) {
        longest = dr;
        axis = 0;
      }
      if (db > longest) axis = 2;
      if (axis == 0) {
        const int mid = (a.r0 + a.r1) / 2;
        a.r1 = mid;
        b.r0 = mid + 1;
      } else if (axis == 1) {
        const int mid = (a.g0 + a.g1) / 2;
        a.g1 = mid;
        b.g0 = mid + 1;
      } else {
        const int mid = (a.b0 + a.b1) / 2;
        a.b1 = mid;
        b.b0 = mid + 1;
      }
      Shrink(a);
      Shrink(b);
      ++count;
    }
    for (int i = 0; i < count; ++i) Mean(boxes[i], map, i);
    map.count = count;
    return count;
  }

 private:
  uint32_t At(int r, int g, int b) const { return hist_[(r * kCellsG + g) * kCellsB + b]; }

  bool SlabR(int r, const Box& x) const {
    for (int g = x.g0; g <= x.g1; ++g) {
      for (int b = x.b0; b <= x.b1; ++b) {
        if (At(r, g, b)) return true;
      }
    }
    return false;
  }
  bool SlabG(int g, const Box& x) const {
    for (int r = x.r0; r <= x.r1; ++r) {
      for (int b = x.b0; b <= x.b1; ++b) {
        if (At(r, g, b)) return true;
      }
    }
    return false;
  }
  bool SlabB(int b, const Box& x) const {
    for (int r = x.r0; r <= x.r1; ++r) {
      for (int g = x.g0; g <= x.g1; ++g) {
        if (At(r, g, b)) return true;
      }
    }
    return false;
  }

  // Tightens the box to its non-empty cells and measures it.
  void Shrink(Box& x) const {
    while (x.r0 < x.r1 && !SlabR(x.r0, x)) ++x.r0;
    while (x.r1 > x.r0 && !SlabR(x.r1, x)) --x.r1;
    while (x.g0 < x.g1 && !SlabG(x.g0, x)) ++x.g0;
    while (x.g1 > x.g0 && !SlabG(x.g1, x)) --x.g1;
    while (x.b0 < x.b1 && !SlabB(x.b0, x)) ++x.b0;
    while (x.b1 > x.b0 && !SlabB(x.b1, x)) --x.b1;
    const int64_t dr = static_cast<int64_t>(x.r1 - x.r0) * (1 << kShiftR) * kScaleR;
    const int64_t dg = static_cast<int64_t>(x.g1 - x.g0) * (1 << kShiftG) * kScaleG;
    const int64_t db = static_cast<int64_t>(x.b1 - x.b0) * (1 << kShiftB) * kScaleB;
    x.volume = dr * dr + dg * dg + db * db;
    int64_t cells = 0;
    for (int r = x.r0; r <= x.r1; ++r) {
      for (int g = x.g0; g <= x.g1; ++g) {
        const uint32_t* h = hist_ + (r * kCellsG + g) * kCellsB;
        for (int b = x.b0; b <= x.b1; ++b) cells += h[b] != 0;
      }
    }
    x.colorCount = cells;
  }

  static Box* MostColors(Box* boxes, int count) {
    Box* best = nullptr;
    int64_t most = 0;
    for (int i = 0; i < count; ++i) {
      if (boxes[i].colorCount > most && boxes[i].volume > 0) {
        best = &boxes[i];
        most = boxes[i].colorCount;
      }
    }
    return best;
  }
  static Box* Largest(Box* boxes, int count) {
    Box* best = nullptr;
    int64_t largest = 0;
    for (int i = 0; i < count; ++i) {
      if (boxes[i].volume > largest) {
        best = &boxes[i];
        largest = boxes[i].volume;
      }
    }
    return best;
  }

  // The box's colour: the mean of its pixels, each cell standing for its centre.
  void Mean(const Box& x, ColorMap& map, int i) const {
    int64_t total = 0, sr = 0, sg = 0, sb = 0;
    for (int r = x.r0; r <= x.r1; ++r) {
      for (int g = x.g0; g <= x.g1; ++g) {
        const uint32_t* h = hist_ + (r * kCellsG + g) * kCellsB;
        for (int b = x.b0; b <= x.b1; ++b) {
          const int64_t n = h[b];
          if (!n) continue;
          total += n;
          sr += ((r << kShiftR) + ((1 << kShiftR) >> 1)) * n;
          sg += ((g << kShiftG) + ((1 << kShiftG) >> 1)) * n;
          sb += ((b << kShiftB) + ((1 << kShiftB) >> 1)) * n;
        }
      }
    }
    if (total == 0) total = 1;  // an empty picture: one black entry
    map.r[i] = static_cast<uint8_t>((sr + (total >> 1)) / total);
    map.g[i] = static_cast<uint8_t>((sg + (total >> 1)) / total);
    map.b[i] = static_cast<uint8_t>((sb + (total >> 1)) / total);
  }

  const uint32_t* hist_;
};

// The histogram reused as the inverse colour map. A cell holds its nearest
// map entry as the word (pen << 24) | 0xRRGGBB, so that dithering has the
// colour without a further look-up, or, until the cell's box is first
// needed, a word no entry can give: pen 0 with a colour other than its own.
class InverseMap {
 public:
  InverseMap(uint32_t* cells, const ColorMap& map)
      : cells_(cells),
        map_(map),
        empty_(((uint32_t{map.r[0]} << 16) | (uint32_t{map.g[0]} << 8) | map.b[0]) ^ 1) {
    std::fill(cells, cells + kCells, empty_);
  }

  uint32_t Nearest(uint32_t r, uint32_t g, uint32_t b) {
    const uint32_t cell = Cell(r, g, b);
    const uint32_t entry = cells_[cell];
    if (entry == empty_) [[unlikely]]
      return Fill(cell);
    return entry;
  }

  // Fills every box marked in `boxes` (kBoxes flags) and writes each cell's
  // pen to `pens` (kCells bytes); cells of other boxes get pen 0.
  void PenTable(const bool* boxes, uint8_t* pens) {
    for (int box = 0; box < kBoxes; ++box) {
      if (!boxes[box]) continue;
      const int r = box / (kBoxesG * kBoxesB), g = (box / kBoxesB) % kBoxesG, b = box % kBoxesB;
      Fill(((r << kBoxLogR) * kCellsG + (g << kBoxLogG)) * kCellsB + (b << kBoxLogB));
    }
    for (int cell = 0; cell < kCells; ++cell) pens[cell] = static_cast<uint8_t>(cells_[cell] >> 24);
  }

 private:
  // Out of line: the rare miss keeps its registers away from the loops that
  // ask for colours. Returns the entry of `cell`.
  [[gnu::noinline]] uint32_t Fill(uint32_t cell) {
    const int cr = (cell / (kCellsG * kCellsB)) >> kBoxLogR;
    const int cg = ((cell / kCellsB) % kCellsG) >> kBoxLogG;
    const int cb = (cell % kCellsB) >> kBoxLogB;
    // Colour value of the box's first cell centre.
    const int minR = (cr << kBoxShiftR) + ((1 << kShiftR) >> 1);
    const int minG = (cg << kBoxShiftG) + ((1 << kShiftG) >> 1);
    const int minB = (cb << kBoxShiftB) + ((1 << kShiftB) >> 1);
    uint8_t candidates[256];
    const int n = Nearby(minR, minG, minB, candidates);
    uint8_t best[kBoxR * kBoxG * kBoxB];
    Best(minR, minG, minB, candidates, n, best);
    const uint8_t* p = best;
    for (int r = 0; r < kBoxR; ++r) {
      for (int g = 0; g < kBoxG; ++g) {
        uint32_t* row = cells_ +
                        (((cr << kBoxLogR) + r) * kCellsG + (cg << kBoxLogG) + g) * kCellsB +
                        (cb << kBoxLogB);
        for (int b = 0; b < kBoxB; ++b) {
          const int e = *p++;
          row[b] = (uint32_t(e) << 24) | (uint32_t{map_.r[e]} << 16) | (uint32_t{map_.g[e]} << 8) |
                   map_.b[e];
        }
      }
    }
    return cells_[cell];
  }

  // Entries that can be the nearest for some cell of the box: those whose
  // least distance to the box is within the smallest greatest distance.
  int Nearby(int minR, int minG, int minB, uint8_t* out) const {
    const int maxR = minR + ((1 << kBoxShiftR) - (1 << kShiftR));
    const int maxG = minG + ((1 << kBoxShiftG) - (1 << kShiftG));
    const int maxB = minB + ((1 << kBoxShiftB) - (1 << kShiftB));
    int32_t least[256];
    int32_t bound = INT32_MAX;
    for (int i = 0; i < map_.count; ++i) {
      const int32_t lo = Near(map_.r[i], minR, maxR, kScaleR) +
                         Near(map_.g[i], minG, maxG, kScaleG) +
                         Near(map_.b[i], minB, maxB, kScaleB);
      const int32_t hi = Far(map_.r[i], minR, maxR, kScaleR) + Far(map_.g[i], minG, maxG, kScaleG) +
                         Far(map_.b[i], minB, maxB, kScaleB);
      least[i] = lo;
      bound = std::min(bound, hi);
    }
    int n = 0;
    for (int i = 0; i < map_.count; ++i) {
      out[n] = static_cast<uint8_t>(i);
      n += least[i] <= bound;
    }
    return n;
  }

  // The square of the scaled distance from v to the nearest and to the
  // farthest point of lo..hi on one axis.
  static int32_t Near(int v, int lo, int hi, int scale) {
    const int32_t d = (std::max(lo - v, 0) + std::max(v - hi, 0)) * scale;
    return d * d;
  }
  static int32_t Far(int v, int lo, int hi, int scale) {
    const int32_t d = std::max(std::abs(v - lo), std::abs(v - hi)) * scale;
    return d * d;
  }

  // Nearest candidate for every cell of the box, the first of equals. A
  // distance is the sum of one square per axis, so each candidate needs 16
  // squares, and a row of the box's 4 blue cells is one vector.
  void Best(int minR, int minG, int minB, const uint8_t* candidates, int n, uint8_t* best) const {
    static_assert(kBoxB == 4, "a row of blue cells fills one vector");
    constexpr int kRows = kBoxR * kBoxG;
    __m128i dist[kRows], pick[kRows];
    for (int i = 0; i < kRows; ++i) {
      dist[i] = _mm_set1_epi32(INT32_MAX);
      pick[i] = _mm_setzero_si128();
    }
    for (int k = 0; k < n; ++k) {
      const int e = candidates[k];
      int32_t dr[kBoxR], dg[kBoxG], db[kBoxB];
      for (int i = 0; i < kBoxR; ++i) {
        const int32_t d = (minR + (i << kShiftR) - map_.r[e]) * kScaleR;
        dr[i] = d * d;
      }
      for (int i = 0; i < kBoxG; ++i) {
        const int32_t d = (minG + (i << kShiftG) - map_.g[e]) * kScaleG;
        dg[i] = d * d;
      }
      for (int i = 0; i < kBoxB; ++i) {
        const int32_t d = (minB + (i << kShiftB) - map_.b[e]) * kScaleB;
        db[i] = d * d;
      }
      const __m128i blue = _mm_loadu_si128(reinterpret_cast<const __m128i*>(db));
      const __m128i entry = _mm_set1_epi32(e);
      for (int r = 0; r < kBoxR; ++r) {
        for (int g = 0; g < kBoxG; ++g) {
          const int i = r * kBoxG + g;
          const __m128i d = _mm_add_epi32(blue, _mm_set1_epi32(dr[r] + dg[g]));
          const __m128i nearer = _mm_cmpgt_epi32(dist[i], d);
          dist[i] = _mm_or_si128(_mm_and_si128(nearer, d), _mm_andnot_si128(nearer, dist[i]));
          pick[i] = _mm_or_si128(_mm_and_si128(nearer, entry), _mm_andnot_si128(nearer, pick[i]));
        }
      }
    }
    for (int i = 0; i < kRows; ++i) {
      alignas(16) int32_t p[kBoxB];
      _mm_store_si128(reinterpret_cast<__m128i*>(p), pick[i]);
      for (int b = 0; b < kBoxB; ++b) best[i * kBoxB + b] = static_cast<uint8_t>(p[b]);
    }
  }

  uint32_t* cells_;
  const ColorMap& map_;
  const uint32_t empty_;
};

// Error limits: below 16 unchanged, from 16 to 47 growing by one every two
// steps, from 48 on 32. Indexed by error + 255.
struct ErrorLimit {
  int16_t table[511];
  ErrorLimit() {
    int out = 0, in = 0;
    for (; in < 16; ++in, ++out) Set(in, out);
    for (; in < 48; ++in, out += (in & 1) ? 0 : 1) Set(in, out);
    for (; in <= 255; ++in) Set(in, out);
  }
  void Set(int in, int out) {
    table[255 + in] = static_cast<int16_t>(out);
    table[255 - in] = static_cast<int16_t>(-out);
  }
  int operator()(int e) const {
    if (e < -255) e = -255;
    if (e > 255) e = 255;
    return table[255 + e];
  }
};

const ErrorLimit& Limits() {
  static const ErrorLimit limits;
  return limits;
}

// `penOf` gives the pen of a visible pixel's row word.
template <bool kHiding, class PenOf>
void MapPlain(const QuantizeRequest& r, uint32_t* buffer, int hiddenPen, PenOf penOf) {
  const int w = r.width;
  for (int y = 0; y < r.height; ++y) {
    const uint32_t* row = SourceRow(r, y, kHiding, buffer);
    uint8_t* out = IndexRow(r, y);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = row[x];
      out[x] = static_cast<uint8_t>(kHiding && (c & kHidden) ? hiddenPen : penOf(c));
    }
  }
}

// Without dithering every visible pixel's cell was counted: the boxes of
// the counted cells are filled before the inverse map replaces the counts,
// and pixels then read their pen from one byte per cell, a table that stays
// in the first cache level.
template <bool kHiding>
void MapCounted(const QuantizeRequest& r, uint32_t* hist, const ColorMap& map, uint8_t* pens,
                uint32_t* buffer, int hiddenPen) {
  bool boxes[kBoxes] = {};
  for (int cell = 0; cell < kCells; ++cell) {
    if (hist[cell]) boxes[BoxOfCell(cell)] = true;
  }
  InverseMap(hist, map).PenTable(boxes, pens);
  MapPlain<kHiding>(r, buffer, hiddenPen, [pens](uint32_t c) { return pens[CellOf(c)]; });
}

// Mapping onto a palette, whose cells are filled as pixels ask for them.
template <bool kHiding>
void MapRemapped(const QuantizeRequest& r, uint32_t* cells, const ColorMap& map, uint32_t* buffer,
                 int hiddenPen) {
  InverseMap inverse(cells, map);
  MapPlain<kHiding>(r, buffer, hiddenPen, [&inverse](uint32_t c) {
    return inverse.Nearest((c >> 16) & 255, (c >> 8) & 255, c & 255) >> 24;
  });
}

// Floyd-Steinberg over serpentine rows; errors are kept at 16 times their
// value and every error passed on goes through the limit table. An error is
// the difference of two values in 0..255 and the four shares of a pixel's
// error add up to 16 of it, so the table's index always lies in -255..255.
// `err` holds three values per pixel with one slot of margin at each end; a
// row in direction Dir starts at the slot before its first pixel and writes
// each pixel's share for the row below one slot behind it.
// Each pixel waits for the one before it (error, limit, cell, colour), so the
// loop keeps that chain short: 64-bit indices, the colour read from the cell.
template <int Dir, bool kHiding>
void DitherRow(const uint32_t* row, uint8_t* out, int w, int32_t* err, const int16_t* limit,
               InverseMap& inverse, int hiddenPen) {
  constexpr int kAhead = 3 * Dir;
  // The error carried to the next pixel, and the shares for the row below of
  // the previous two pixels, per channel.
  ptrdiff_t curR = 0, curG = 0, curB = 0;
  int belowR = 0, belowG = 0, belowB = 0;
  int prevR = 0, prevG = 0, prevB = 0;
  int x = Dir > 0 ? 0 : w - 1;
  for (int n = 0; n < w; ++n, x += Dir, err += kAhead) {
    const uint32_t c = row[x];
    if (kHiding && (c & kHidden)) [[unlikely]] {
      out[x] = static_cast<uint8_t>(hiddenPen);
      err[0] = prevR, err[1] = prevG, err[2] = prevB;
      prevR = belowR, prevG = belowG, prevB = belowB;
      belowR = belowG = belowB = 0;
      curR = curG = curB = 0;
      continue;
    }
    const ptrdiff_t inR = err[kAhead] + 8, inG = err[kAhead + 1] + 8, inB = err[kAhead + 2] + 8;
    const ptrdiff_t pr = c >> 16 & 255, pg = c >> 8 & 255, pb = c & 255;
    ptrdiff_t vr = pr + limit[(curR + inR) >> 4];
    ptrdiff_t vg = pg + limit[(curG + inG) >> 4];
    ptrdiff_t vb = pb + limit[(curB + inB) >> 4];
    // Values leave 0..255 rarely: a branch keeps the clamp off the chain.
    if (static_cast<size_t>(vr | vg | vb) > 255) [[unlikely]] {
      vr = std::clamp<ptrdiff_t>(vr, 0, 255);
      vg = std::clamp<ptrdiff_t>(vg, 0, 255);
      vb = std::clamp<ptrdiff_t>(vb, 0, 255);
    }
    const uint32_t entry = inverse.Nearest(static_cast<uint32_t>(vr), static_cast<uint32_t>(vg),
                                           static_cast<uint32_t>(vb));
    out[x] = static_cast<uint8_t>(entry >> 24);
    const ptrdiff_t er = vr - ptrdiff_t{entry >> 16 & 255}, eg = vg - ptrdiff_t{entry >> 8 & 255},
                    eb = vb - ptrdiff_t{entry & 255};
    // 1/16 below right, 3/16 below left, 5/16 below, 7/16 to the next pixel.
    err[0] = prevR + 3 * static_cast<int>(er), err[1] = prevG + 3 * static_cast<int>(eg),
    err[2] = prevB + 3 * static_cast<int>(eb);
    prevR = belowR + 5 * static_cast<int>(er), prevG = belowG + 5 * static_cast<int>(eg),
    prevB = belowB + 5 * static_cast<int>(eb);
    belowR = static_cast<int>(er), belowG = static_cast<int>(eg), belowB = static_cast<int>(eb);
    curR = 7 * er, curG = 7 * eg, curB = 7 * eb;
  }
  err[0] = prevR, err[1] = prevG, err[2] = prevB;
}

template <bool kHiding>
void MapDithered(const QuantizeRequest& r, InverseMap& inverse, uint32_t* buffer, int32_t* errors,
                 int hiddenPen) {
  const int16_t* limit = Limits().table + 255;
  const int w = r.width;
  std::memset(errors, 0, sizeof(int32_t) * 3 * (w + 2));
  for (int y = 0; y < r.height; ++y) {
    const uint32_t* row = SourceRow(r, y, kHiding, buffer);
    uint8_t* out = IndexRow(r, y);
    if (y & 1) {
      DitherRow<-1, kHiding>(row, out, w, errors + 3 * (w + 1), limit, inverse, hiddenPen);
    } else {
      DitherRow<1, kHiding>(row, out, w, errors, limit, inverse, hiddenPen);
    }
  }
}

// Counts the picture's colours into `hist`, each cell at most 0xFFFF.
template <bool kHiding>
void CountColors(const QuantizeRequest& r, uint32_t* hist, uint32_t* buffer) {
  // Counts grow unchecked and are capped every so many rows, before any
  // could pass 32 bits.
  const int capEvery = std::max(1, static_cast<int>((uint32_t{1} << 31) / r.width));
  auto cap = [hist] {
    for (int i = 0; i < kCells; ++i) hist[i] = std::min<uint32_t>(hist[i], 0xFFFF);
  };
  const int w = r.width;
  for (int y = 0; y < r.height; ++y) {
    const uint32_t* row = SourceRow(r, y, kHiding, buffer);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = row[x];
      if (kHiding && (c & kHidden)) continue;
      ++hist[CellOf(c)];
    }
    if (y % capEvery == capEvery - 1) cap();
  }
  cap();
}

// Remapping a picture with hidden pixels: the first entry no visible pixel got
// becomes the transparent pen; when all are used, the two closest merge.
int FreePenForTransparency(const QuantizeRequest& r, uint32_t* row) {
  const int count = r.colors;
  bool used[256] = {};
  for (int y = 0; y < r.height; ++y) {
    ReadRow(r, y, row);
    const uint8_t* out = IndexRow(r, y);
    for (int x = 0; x < r.width; ++x) {
      if (!(row[x] & kHidden)) used[out[x]] = true;
    }
  }
  for (int i = 0; i < count; ++i) {
    if (!used[i]) return i;
  }
  if (count == 2) return 0;
  int from = -1, to = -1;
  int best = 100000;
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < count; ++j) {
      if (i == j) continue;
      const int d = ColorDistance(r.palette[i], r.palette[j]);
      if (d < best) {
        best = d;
        from = i;
        to = j;
      }
    }
  }
  if (from < 0) return 0;
  for (int y = 0; y < r.height; ++y) {
    uint8_t* out = IndexRow(r, y);
    for (int x = 0; x < r.width; ++x) {
      if (out[x] == from) out[x] = static_cast<uint8_t>(to);
    }
  }
  return from;
}

void MarkHidden(const QuantizeRequest& r, uint32_t* row, int pen) {
  for (int y = 0; y < r.height; ++y) {
    ReadRow(r, y, row);
    uint8_t* out = IndexRow(r, y);
    for (int x = 0; x < r.width; ++x) {
      if (row[x] & kHidden) out[x] = static_cast<uint8_t>(pen);
    }
  }
}

}  // namespace

int LimitDitherError(int error) {
  return Limits()(error);
}

int ColorDistance(uint32_t a, uint32_t b) {
  const int r1 = (a >> 16) & 255, g1 = (a >> 8) & 255, b1 = a & 255;
  const int r2 = (b >> 16) & 255, g2 = (b >> 8) & 255, b2 = b & 255;
  const int r = (r1 + r2) / 2;
  const int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
  const int sum = (((512 + r) * dr * dr) >> 8) + 4 * dg * dg + (((767 - r) * db * db) >> 8);
  return static_cast<int>(std::lround(std::sqrt(static_cast<double>(sum))));
}

void Quantize(QuantizeRequest& r) {
  r.success = 0;
  r.transparentPen = -1;
  if (r.width <= 0 || r.height <= 0 || r.colors < 1 || r.colors > 256) return;
  const bool hidden = HasTransparency(r);
  // An entry for transparency: hidden pixels, a transparent colour, or the
  // caller's own reservation.
  const bool entry = !r.noTransparency && (hidden || r.transparentColor >= 0 || r.reserveEntry);

  ScratchBlock rowBlock(sizeof(uint32_t) * (r.width + 1));
  auto* row = static_cast<uint32_t*>(rowBlock.block);
  if (!row) return;

  if (!r.remap) {
    uint32_t list[256];
    int length = 0;
    const int limit = r.colors - ((hidden || r.reserveEntry) && !r.noTransparency ? 1 : 0);
    if (limit >= 1 && ExactPalette(r, limit, row, list, &length)) {
      for (int i = 0; i < length; ++i) r.palette[i] = list[i];
      r.colors = length;
      if (!hidden && r.transparentColor >= 0) {
        for (int i = 0; i < length; ++i) {
          if (list[i] == static_cast<uint32_t>(r.transparentColor & 0xFFFFFF)) {
            r.transparentPen = i;
            break;
          }
        }
      }
      if (r.transparentPen < 0 && entry && length < 256) {
        if (!r.reserveEntry) {
          r.palette[length] =
              r.transparentColor >= 0 ? static_cast<uint32_t>(r.transparentColor & 0xFFFFFF) : 0;
        }
        r.transparentPen = length;
        r.colors = length + 1;
      }
      r.success = 1;
      return;
    }
  }

  // The counts, then the inverse map, and after them a pen per cell.
  ScratchBlock histBlock(sizeof(uint32_t) * kCells + kCells, true);
  auto* hist = static_cast<uint32_t*>(histBlock.block);
  if (!hist) return;
  ColorMap map;
  if (r.remap) {
    map.count = r.colors;
    for (int i = 0; i < map.count; ++i) {
      map.r[i] = static_cast<uint8_t>(r.palette[i] >> 16);
      map.g[i] = static_cast<uint8_t>(r.palette[i] >> 8);
      map.b[i] = static_cast<uint8_t>(r.palette[i]);
    }
  } else {
    if (hidden) {
      CountColors<true>(r, hist, row);
    } else {
      CountColors<false>(r, hist, row);
    }
    const int wanted = r.colors - (entry ? 1 : 0);
    MedianCut(hist).Select(wanted < 1 ? 1 : wanted, map);
    for (int i = 0; i < map.count; ++i) {
      r.palette[i] = (uint32_t{map.r[i]} << 16) | (uint32_t{map.g[i]} << 8) | map.b[i];
    }
  }

  // Hidden pixels get the entry after the map's colours (or, when
  // remapping, a free pen chosen once the mapping is done).
  const int hiddenPen = r.remap ? 0 : map.count;
  if (r.dither) {
    ScratchBlock errorBlock(sizeof(int32_t) * 3 * (r.width + 2));
    if (!errorBlock.block) return;
    auto* errors = static_cast<int32_t*>(errorBlock.block);
    InverseMap inverse(hist, map);
    if (hidden) {
      MapDithered<true>(r, inverse, row, errors, hiddenPen);
    } else {
      MapDithered<false>(r, inverse, row, errors, hiddenPen);
    }
  } else if (r.remap) {
    if (hidden) {
      MapRemapped<true>(r, hist, map, row, hiddenPen);
    } else {
      MapRemapped<false>(r, hist, map, row, hiddenPen);
    }
  } else {
    auto* pens = reinterpret_cast<uint8_t*>(hist + kCells);
    if (hidden) {
      MapCounted<true>(r, hist, map, pens, row, hiddenPen);
    } else {
      MapCounted<false>(r, hist, map, pens, row, hiddenPen);
    }
  }

  if (r.remap) {
    if (hidden && !r.keepTransparentPen) {
      r.transparentPen = FreePenForTransparency(r, row);
      MarkHidden(r, row, r.transparentPen);
    }
  } else if (entry && map.count < 256) {
    if (!r.reserveEntry) {
      r.palette[map.count] =
          r.transparentColor >= 0 ? static_cast<uint32_t>(r.transparentColor & 0xFFFFFF) : 0;
    }
    r.transparentPen = map.count;
    r.colors = map.count + 1;
  } else {
    r.colors = map.count;
  }
  r.success = 1;
}

}  // namespace tzx::graphics
