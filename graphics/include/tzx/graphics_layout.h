// How the graphics library lays out the pixel stores of its bitmaps. Siblings
// that fill a store themselves (decoders handing a plane over, libraries
// walking locked planes) use these rules rather than their own copies.
#pragma once

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

}  // namespace tzx::graphics
