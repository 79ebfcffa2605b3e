// How the graphics library lays out the pixel stores of its bitmaps. Siblings
// that fill a store themselves (decoders handing a plane over, libraries
// walking locked planes) use these rules rather than their own copies.
#pragma once

#include <cstdint>

namespace tzx::graphics {

// Pixels per row of a colour bitmap's store: the width rounded up to a
// multiple of 4. The store holds one spare row after the last, so that
// row-wise readers may run a little past the end.
inline constexpr int ColorRowPixels(int width) {
  return (width + 3) & ~3;
}
inline constexpr int kColorSpareRows = 1;

// Bytes per row of an alpha channel or an index bitmap.
inline constexpr int PlaneRowBytes(int width) {
  return (width + 3) & ~3;
}

// Bytes per row of a 1-bit mask: whole 16-bit words.
inline constexpr int MaskRowBytes(int width) {
  return ((width + 15) / 8) & ~1;
}

// Bit x of a mask row: most significant bit first, set = visible.
inline bool MaskBit(const uint8_t* row, int x) {
  return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void SetMaskBit(uint8_t* row, int x, bool on) {
  const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
  row[x >> 3] = on ? row[x >> 3] | bit : row[x >> 3] & ~bit;
}

}  // namespace tzx::graphics
