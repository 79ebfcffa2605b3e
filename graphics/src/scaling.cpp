#include "scaling.h"

#include <algorithm>
#include <cstring>

#include "blit_rows.h"
#include "scaling_kernels.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

bool EnsureScratch(ScratchArray& array, size_t bytes) {
  if (bytes <= array.capacity) return true;
  void* block = HostAlloc(bytes, false);
  if (!block) return false;
  HostFree(array.data);
  array.data = block;
  array.capacity = bytes;
  return true;
}

void FreeScratch(ScratchArray& array) {
  HostFree(array.data);
  array = {};
}

void FreeScaleScratch(ScaleScratch& scratch) {
  FreeScratch(scratch.positions);
  FreeScratch(scratch.rows);
  std::fill(scratch.madeFor, scratch.madeFor + 5, 0);
}

namespace {

struct Tables {
  ScaleAxis columns;
  ScaleAxis rows;
};

// Plain columns: a 16.16 accumulator stepping by the single-precision ratio. The clamp only
// matters for widths whose accumulated rounding would pass the last column.
void PlainColumns(int32_t source, int32_t count, int32_t* index) {
  const float ratio = static_cast<float>(source) / static_cast<float>(count);
  const int64_t step = static_cast<int64_t>(ratio * 65536.0f);
  int64_t position = 0;
  for (int32_t i = 0; i < count; ++i, position += step) {
    index[i] = static_cast<int32_t>(std::min<int64_t>(position >> 16, source - 1));
  }
}

// Plain rows: a single-precision accumulator adding the ratio once per row. Its rounding can
// reach the row past the end (one row stretched over 8194 does), hence the clamp.
void PlainRows(int32_t source, int32_t count, int32_t* index) {
  const float ratio = static_cast<float>(source) / static_cast<float>(count);
  float position = 0.0f;
  for (int32_t j = 0; j < count; ++j, position += ratio) {
    index[j] = std::min(static_cast<int32_t>(position), source - 1);
  }
}

// Smooth positions in 16.16: the first and last source pixels meet the first and last
// destination pixels. A destination of one pixel takes the first source pixel instead of
// dividing by zero.
void SmoothPositions(int32_t source, int32_t count, int32_t* index, int32_t* fraction) {
  const int64_t step = count > 1 ? (static_cast<int64_t>(source - 1) << 16) / (count - 1) : 0;
  const int64_t limit = (static_cast<int64_t>(source) << 16) - 1;
  int64_t position = 0;
  for (int32_t i = 0; i < count; ++i, position += step) {
    const int64_t p = std::min(position, limit);
    index[i] = static_cast<int32_t>(p >> 16);
    fraction[i] = static_cast<int32_t>(p & 0xFFFF);
  }
}

ScaleAxis MakeAxis(const int32_t* index, const int32_t* fraction, int32_t count, int32_t source) {
  const int32_t last = source - 1;
  // Positions never decrease, so the entries at the last source index form the tail.
  const int32_t interior =
      static_cast<int32_t>(std::lower_bound(index, index + count, last) - index);
  return {index, fraction, nullptr, count, last, interior};
}

// 0 with the tables built; otherwise the result of the call (0 when there is nothing to do).
// Smooth tables carry the column weights of the pixel kernels. Tables made for the same sizes
// and mode are used again: the parts of one scale each ask for them.
int BuildTables(const ScaleRequest& r, ScaleScratch& scratch, Tables& tables, bool& work) {
  work = false;
  if (r.destinationWidth < 1 || r.destinationHeight < 1) return 0;
  if (r.sourceWidth < 1 || r.sourceHeight < 1) return kErrRange;
  const size_t dw = static_cast<size_t>(r.destinationWidth);
  const size_t dh = static_cast<size_t>(r.destinationHeight);
  const size_t weightBytes = r.smooth ? dw * sizeof(uint64_t) : 0;
  const int32_t key[5] = {r.sourceWidth, r.sourceHeight, r.destinationWidth, r.destinationHeight,
                          r.smooth ? 1 : 0};
  const bool made = scratch.positions.data && std::equal(key, key + 5, scratch.madeFor);
  if (!made) {
    if (!EnsureScratch(scratch.positions, weightBytes + 2 * (dw + dh) * sizeof(int32_t))) {
      return kErrNoMemory;
    }
    std::fill(scratch.madeFor, scratch.madeFor + 5, 0);
  }
  uint64_t* columnWeight = static_cast<uint64_t*>(scratch.positions.data);
  int32_t* columnIndex =
      reinterpret_cast<int32_t*>(static_cast<uint8_t*>(scratch.positions.data) + weightBytes);
  int32_t* columnFraction = columnIndex + dw;
  int32_t* rowIndex = columnFraction + dw;
  int32_t* rowFraction = rowIndex + dh;
  if (!made) {
    if (r.smooth) {
      SmoothPositions(r.sourceWidth, r.destinationWidth, columnIndex, columnFraction);
      SmoothPositions(r.sourceHeight, r.destinationHeight, rowIndex, rowFraction);
      for (size_t i = 0; i < dw; ++i) columnWeight[i] = FractionWeight(columnFraction[i]);
    } else {
      PlainColumns(r.sourceWidth, r.destinationWidth, columnIndex);
      PlainRows(r.sourceHeight, r.destinationHeight, rowIndex);
    }
    std::copy(key, key + 5, scratch.madeFor);
  }
  tables.columns = MakeAxis(columnIndex, columnFraction, r.destinationWidth, r.sourceWidth);
  tables.rows = MakeAxis(rowIndex, rowFraction, r.destinationHeight, r.sourceHeight);
  if (r.smooth) tables.columns.weights = columnWeight;
  if (r.partWidth > 0) {
    // A part: the same positions, from its first column and row on.
    if (r.partX < 0 || r.partY < 0 || r.partHeight < 1 ||
        r.partWidth > r.destinationWidth - r.partX ||
        r.partHeight > r.destinationHeight - r.partY) {
      return kErrRange;
    }
    tables.columns = SliceAxis(tables.columns, r.partX, r.partWidth);
    tables.rows = SliceAxis(tables.rows, r.partY, r.partHeight);
  }
  work = true;
  return 0;
}

// Plain mode for pixels and alpha: every destination row picks its columns from one source row;
// a source row picked again is copied from the destination row that already holds it.
template <size_t kBytes, void (*Pick)(const uint8_t*, const int32_t*, int32_t, uint8_t*)>
void PickRows(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
              ptrdiff_t destinationStride, const Tables& t) {
  const size_t rowBytes = static_cast<size_t>(t.columns.count) * kBytes;
  const uint8_t* previous = nullptr;
  int32_t previousRow = -1;
  for (int32_t j = 0; j < t.rows.count; ++j) {
    uint8_t* out = destination + j * destinationStride;
    const int32_t row = t.rows.index[j];
    if (row == previousRow) {
      std::memcpy(out, previous, rowBytes);
    } else {
      Pick(source + row * sourceStride, t.columns.index, t.columns.count, out);
    }
    previous = out;
    previousRow = row;
  }
}

// Smooth mode: rows are interpolated across first, then blended down. An interpolated source
// row depends only on that row, so the two last ones are kept in two slots and reused by the
// destination rows that share them; the result is the same as interpolating every pixel from its
// four neighbours. interpolate(row, slot) makes a source row in a slot; emit(j, top, bottom, f)
// makes destination row j from the slots of its two source rows (one slot when f is 0).
// alone(j, y, below, f) may make a destination row straight from source rows y and below that no
// other destination row reads (true when it did).
template <class Interpolate, class Emit, class Alone>
void SmoothRows(const Tables& t, Interpolate&& interpolate, Emit&& emit, Alone&& alone) {
  int32_t held[2] = {-1, -1};
  // The slot of the interpolated row, made in the slot that does not hold `keep`.
  auto fetch = [&](int32_t row, int32_t keep) {
    if (held[0] == row) return 0;
    if (held[1] == row) return 1;
    const int slot = held[0] == keep ? 1 : 0;
    interpolate(row, slot);
    held[slot] = row;
    return slot;
  };
  for (int32_t j = 0; j < t.rows.count; ++j) {
    const int32_t y = t.rows.index[j];
    const int32_t below = std::min(y + 1, t.rows.last);
    const int f = t.rows.fraction[j];
    const bool unheld = held[0] != y && held[1] != y && held[0] != below && held[1] != below;
    const bool last = j + 1 == t.rows.count || t.rows.index[j + 1] > below;
    if (f != 0 && unheld && last && alone(j, y, below, f)) continue;
    const int top = fetch(y, below);
    emit(j, top, f == 0 ? top : fetch(below, y), f);
  }
}

using InterpolateKernel = void (*)(const uint8_t*, const ScaleAxis&, uint8_t*);
using BlendKernel = void (*)(const uint8_t*, const uint8_t*, int, uint8_t*, size_t);

// One plane in smooth mode, `bytes` per pixel, its two slots in `cache`.
void SmoothPlane(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                 ptrdiff_t destinationStride, size_t bytes, const Tables& t, uint8_t* cache,
                 InterpolateKernel interpolate, BlendKernel blend) {
  const size_t rowBytes = static_cast<size_t>(t.columns.count) * bytes;
  uint8_t* const slots[2] = {cache, cache + rowBytes};
  SmoothRows(
      t,
      [&](int32_t row, int slot) {
        interpolate(source + row * sourceStride, t.columns, slots[slot]);
      },
      [&](int32_t j, int top, int bottom, int f) {
        uint8_t* out = destination + j * destinationStride;
        if (f == 0) {
          std::memcpy(out, slots[top], rowBytes);
        } else {
          blend(slots[top], slots[bottom], f, out, rowBytes);
        }
      },
      [](int32_t, int32_t, int32_t, int) { return false; });
}

// Masks in either mode: each destination bit copies the source bit at the integer position.
void PickMaskRows(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                  ptrdiff_t destinationStride, const Tables& t) {
  const int32_t width = t.columns.count;
  const int32_t* columns = t.columns.index;
  const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
  const uint8_t* previous = nullptr;
  int32_t previousRow = -1;
  for (int32_t j = 0; j < t.rows.count; ++j) {
    uint8_t* out = destination + j * destinationStride;
    const int32_t row = t.rows.index[j];
    if (row == previousRow) {
      std::memcpy(out, previous, rowBytes);
    } else {
      const uint8_t* in = source + row * sourceStride;
      unsigned bits = 0;
      for (int32_t i = 0; i < width; ++i) {
        const int32_t x = columns[i];
        bits = (bits << 1) | ((in[x >> 3] >> (7 - (x & 7))) & 1u);
        if ((i & 7) == 7) {
          out[i >> 3] = static_cast<uint8_t>(bits);
          bits = 0;
        }
      }
      // The unused low bits of the last byte stay clear.
      if (width & 7) out[width >> 3] = static_cast<uint8_t>(bits << (8 - (width & 7)));
    }
    previous = out;
    previousRow = row;
  }
}

}  // namespace

int ScalePixels(const ScaleRequest& r, ScaleScratch& scratch) {
  if (!r.source || !r.destination) return 0;
  Tables t;
  bool work;
  if (const int result = BuildTables(r, scratch, t, work); !work) return result;
  if (!r.smooth) {
    PickRows<4, PickPixelRow>(r.source, r.sourceRowBytes, r.destination, r.destinationRowBytes, t);
    return 0;
  }
  if (!EnsureScratch(scratch.rows, 2 * static_cast<size_t>(r.destinationWidth) * 4)) {
    return kErrNoMemory;
  }
  SmoothPlane(r.source, r.sourceRowBytes, r.destination, r.destinationRowBytes, 4, t,
              static_cast<uint8_t*>(scratch.rows.data),
              HasAvx2() ? InterpolatePixelRowAvx2 : InterpolatePixelRow,
              HasAvx2() ? BlendRowsAvx2 : BlendRows);
  return 0;
}

int ScaleMask(const ScaleRequest& r, ScaleScratch& scratch) {
  if (!r.sourceMask || !r.destinationMask) return 0;
  Tables t;
  bool work;
  if (const int result = BuildTables(r, scratch, t, work); !work) return result;
  PickMaskRows(r.sourceMask, r.sourceMaskRowBytes, r.destinationMask, r.destinationMaskRowBytes, t);
  return 0;
}

int ScaleAlpha(const ScaleRequest& r, ScaleScratch& scratch) {
  if (!r.sourceAlpha || !r.destinationAlpha) return 0;
  Tables t;
  bool work;
  if (const int result = BuildTables(r, scratch, t, work); !work) return result;
  if (!r.smooth) {
    PickRows<1, PickAlphaRow>(r.sourceAlpha, r.sourceAlphaRowBytes, r.destinationAlpha,
                              r.destinationAlphaRowBytes, t);
    return 0;
  }
  if (!EnsureScratch(scratch.rows, 2 * static_cast<size_t>(r.destinationWidth))) {
    return kErrNoMemory;
  }
  SmoothPlane(r.sourceAlpha, r.sourceAlphaRowBytes, r.destinationAlpha, r.destinationAlphaRowBytes,
              1, t, static_cast<uint8_t*>(scratch.rows.data),
              HasAvx2() ? InterpolateAlphaRowAvx2 : InterpolateAlphaRow,
              HasAvx2() ? BlendRowsAvx2 : BlendRows);
  return 0;
}

int ScaleOnto(const ScaleRequest& r, ScaleScratch& scratch, uint8_t* target,
              int32_t targetRowBytes) {
  if (!r.source || !r.sourceAlpha) return 0;
  Tables t;
  bool work;
  if (const int result = BuildTables(r, scratch, t, work); !work) return result;
  // Two slots of colour and two of alpha; plain mode uses the first of each.
  const size_t count = static_cast<size_t>(t.columns.count);
  if (!EnsureScratch(scratch.rows, 2 * static_cast<size_t>(r.destinationWidth) * 5)) {
    return kErrNoMemory;
  }
  uint8_t* const cache = static_cast<uint8_t*>(scratch.rows.data);
  uint8_t* const colour[2] = {cache, cache + 4 * count};
  uint8_t* const levels[2] = {cache + 8 * count, cache + 9 * count};
  auto targetRow = [&](int32_t j) { return target + static_cast<ptrdiff_t>(j) * targetRowBytes; };
  if (!r.smooth) {
    int32_t held = -1;
    for (int32_t j = 0; j < t.rows.count; ++j) {
      const int32_t row = t.rows.index[j];
      if (row != held) {
        PickPixelRow(r.source + static_cast<ptrdiff_t>(row) * r.sourceRowBytes, t.columns.index,
                     t.columns.count, colour[0]);
        PickAlphaRow(r.sourceAlpha + static_cast<ptrdiff_t>(row) * r.sourceAlphaRowBytes,
                     t.columns.index, t.columns.count, levels[0]);
        held = row;
      }
      BlendRow32(colour[0], levels[0], targetRow(j), t.columns.count);
    }
    return 0;
  }
  const InterpolateKernel interpolate = HasAvx2() ? InterpolatePixelRowAvx2 : InterpolatePixelRow;
  const InterpolateKernel interpolateAlpha =
      HasAvx2() ? InterpolateAlphaRowAvx2 : InterpolateAlphaRow;
  const auto blendOnto = HasAvx2() ? BlendRowsOntoAvx2 : BlendRowsOnto;
  const auto onto = HasAvx2() ? InterpolateOntoAvx2 : InterpolateOnto;
  SmoothRows(
      t,
      [&](int32_t row, int slot) {
        interpolate(r.source + static_cast<ptrdiff_t>(row) * r.sourceRowBytes, t.columns,
                    colour[slot]);
        interpolateAlpha(r.sourceAlpha + static_cast<ptrdiff_t>(row) * r.sourceAlphaRowBytes,
                         t.columns, levels[slot]);
      },
      [&](int32_t j, int top, int bottom, int f) {
        blendOnto(colour[top], colour[bottom], levels[top], levels[bottom], f, targetRow(j),
                  t.columns.count);
      },
      [&](int32_t j, int32_t y, int32_t below, int f) {
        onto(r.source + static_cast<ptrdiff_t>(y) * r.sourceRowBytes,
             r.source + static_cast<ptrdiff_t>(below) * r.sourceRowBytes,
             r.sourceAlpha + static_cast<ptrdiff_t>(y) * r.sourceAlphaRowBytes,
             r.sourceAlpha + static_cast<ptrdiff_t>(below) * r.sourceAlphaRowBytes, t.columns, f,
             targetRow(j));
        return true;
      });
  return 0;
}

}  // namespace tzx::graphics
