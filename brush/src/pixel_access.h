// Reading and writing one pixel of 1 to 4 bytes in plain memory; 3-byte
// pixels are big-endian (R, G, B), the others in the machine's order.
#pragma once

#include <cstdint>
#include <cstring>

namespace tzx::brush {

template <int B>
inline uint32_t GetPixel(const uint8_t* p) {
  if constexpr (B == 1) {
    return *p;
  } else if constexpr (B == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  } else if constexpr (B == 3) {
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  } else {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
}

template <int B>
inline void PutPixel(uint8_t* p, uint32_t v) {
  if constexpr (B == 1) {
    *p = static_cast<uint8_t>(v);
  } else if constexpr (B == 2) {
    const uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
  } else if constexpr (B == 3) {
    p[0] = static_cast<uint8_t>(v >> 16);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v);
  } else {
    std::memcpy(p, &v, 4);
  }
}

// Bits of a pixel that hold its colour: 32-bit pixels leave their alpha byte
// out (the top byte for formats 10 and 13, the bottom one for 11 and 12, as
// the word is read); smaller pixels and pens compare whole.
inline uint32_t ColorBitsOf(int format, int bytesPerPixel) {
  if (bytesPerPixel == 4) return format == 11 || format == 12 ? 0xFFFFFF00u : 0x00FFFFFFu;
  return bytesPerPixel >= 1 && bytesPerPixel <= 3 ? (1u << (8 * bytesPerPixel)) - 1 : 0;
}

}  // namespace tzx::brush
