// Row kernels of the blits: pure loops over plain pixel rows, specialised so
// that the hot ones run as vector code.
#pragma once

#include <cstdint>

namespace tzx::graphics {

// x / 255 rounded to nearest, exact for 0 .. 255 * 255.
inline uint32_t DivideBy255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// target = source × a + target × (255 - a), per byte, rounded; a is the pixel's
// alpha. Both rows hold 4-byte pixels of one format (all four bytes blend).
void BlendRow32(const uint8_t* source, const uint8_t* alpha, uint8_t* target, int count);

// out = alpha × level / 255, rounded.
void ScaleLevels(const uint8_t* alpha, int level, uint8_t* out, int count);

// Alpha planes: target = source + target × (255 - source) / 255.
void AlphaOverRow(const uint8_t* source, uint8_t* target, int count);

// Copies `bytesPerPixel`-byte pixels whose mask bit (counted from bit offset
// maskX of maskRow) is set.
void MaskedCopyRow(const uint8_t* source, const uint8_t* maskRow, int maskX, uint8_t* target,
                   int bytesPerPixel, int count);

// Copies 0xAARRGGBB pixels whose RGB differs from the key's.
void KeyedCopyRowArgb(const uint32_t* source, uint32_t key, uint32_t* target, int count);

// Copies mask bits from one bit offset to another (mode 0), or ORs them in
// (mode 1).
void CopyMaskBits(const uint8_t* source, int sourceX, uint8_t* target, int targetX, int count,
                  int mode);

}  // namespace tzx::graphics
