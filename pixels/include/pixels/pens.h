// Pens of palettes: matching a colour to the nearest pen, and the depth a
// number of colours needs.
#pragma once

#include <cstdint>

namespace tzx::pixels {

// Index of the nearest palette entry by squared RGB distance (alpha bytes
// play no part); an exact match ends the search, ties keep the lower index;
// -1 for an empty palette.
int NearestPen(uint32_t color, const uint32_t* palette, int count);

// Smallest depth 1..8 whose 2^depth pens hold `count` colours; 9 above 256.
int DepthForColors(int count);

}  // namespace tzx::pixels
