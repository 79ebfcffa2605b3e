// What the picture codecs share: buffers, size limits and reading a save
// source row by row.
#include "picture.h"

#include <algorithm>
#include <cstring>

#include "../../services.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {

void* AllocPlane(size_t count, size_t size, bool zero) {
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  return kMemory.alloc(count * size, zero ? kAllocZero : 0);
}

void FreePlane(void* block) {
  if (block) kMemory.free(block);
}

uint32_t* AllocArgb(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return nullptr;
  const size_t row = static_cast<size_t>(graphics::ColorRowPixels(width));
  const size_t rows = static_cast<size_t>(height) + graphics::kColorSpareRows;
  if (rows > SIZE_MAX / row) return nullptr;
  auto* argb = static_cast<uint32_t*>(AllocPlane(row * rows, 4, false));
  if (!argb) return nullptr;
  if (row != static_cast<size_t>(width)) {
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
      std::fill(argb + y * row + width, argb + (y + 1) * row, 0u);
    }
  }
  std::fill(argb + static_cast<size_t>(height) * row, argb + rows * row, 0u);
  return argb;
}

void ReleasePicture(Picture* picture) {
  FreePlane(picture->argb);
  FreePlane(picture->indices);
  FreePlane(picture->palette);
  picture->argb = nullptr;
  picture->indices = nullptr;
  picture->palette = nullptr;
}

Status CheckSize(int64_t width, int64_t height, const Limits& limits) {
  if (width <= 0 || height <= 0) return Status::kCorrupt;
  if (width > limits.maxSide || height > limits.maxSide) return Status::kTooLarge;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > limits.maxPixels) {
    return Status::kTooLarge;
  }
  return Status::kOk;
}

bool Reserve(ByteBuffer* buffer, size_t n) {
  if (n <= buffer->capacity - buffer->size) return true;
  if (n > SIZE_MAX - buffer->size) return false;
  const size_t needed = buffer->size + n;
  size_t capacity = buffer->capacity <= SIZE_MAX / 2 ? buffer->capacity * 2 : needed;
  capacity = std::max({capacity, needed, size_t{65536}});
  auto* grown = static_cast<uint8_t*>(AllocPlane(capacity, 1, false));
  if (!grown) return false;
  if (buffer->size) std::memcpy(grown, buffer->data, buffer->size);
  FreePlane(buffer->data);
  buffer->data = grown;
  buffer->capacity = capacity;
  return true;
}

bool Append(ByteBuffer* buffer, const void* bytes, size_t n) {
  if (n == 0) return true;
  if (!Reserve(buffer, n)) return false;
  std::memcpy(buffer->data + buffer->size, bytes, n);
  buffer->size += n;
  return true;
}

void ReleaseBuffer(ByteBuffer* buffer) {
  FreePlane(buffer->data);
  *buffer = ByteBuffer{};
}

void ComposeRow(const SaveSource& s, int32_t y, bool keyIsTransparent, uint32_t* out) {
  const int32_t w = s.width;
  bool keyed = false;
  if (s.argb) {
    std::memcpy(out, s.argb + y * s.argbStride, static_cast<size_t>(w) * 4);
    for (int32_t x = 0; x < w; ++x) out[x] &= 0xFFFFFF;
    keyed = keyIsTransparent && s.transparentColor != kNoColor;
  } else {
    const uint8_t* pens = s.indices + y * s.indexStride;
    for (int32_t x = 0; x < w; ++x) out[x] = s.palette[pens[x]] & 0xFFFFFF;
    keyed = keyIsTransparent && s.transparentPen >= 0;
  }
  if (s.alpha) {
    const uint8_t* a = s.alpha + y * s.alphaStride;
    for (int32_t x = 0; x < w; ++x) out[x] |= uint32_t{a[x]} << 24;
  } else if (s.mask) {
    const uint8_t* m = s.mask + y * s.maskStride;
    for (int32_t x = 0; x < w; ++x) {
      if (m[x >> 3] & (0x80 >> (x & 7))) out[x] |= 0xFF000000u;
    }
  } else if (keyed && s.argb) {
    const uint32_t key = s.transparentColor & 0xFFFFFF;
    for (int32_t x = 0; x < w; ++x) {
      if (out[x] != key) out[x] |= 0xFF000000u;
    }
  } else if (keyed) {
    const uint8_t* pens = s.indices + y * s.indexStride;
    for (int32_t x = 0; x < w; ++x) {
      if (pens[x] != s.transparentPen) out[x] |= 0xFF000000u;
    }
  } else {
    for (int32_t x = 0; x < w; ++x) out[x] |= 0xFF000000u;
  }
}

void FlattenRow(uint32_t* row, int32_t count, uint32_t background) {
  const uint32_t br = background >> 16 & 0xFF, bg = background >> 8 & 0xFF, bb = background & 0xFF;
  for (int32_t x = 0; x < count; ++x) {
    const uint32_t p = row[x];
    const uint32_t a = p >> 24;
    if (a == 255) continue;
    const uint32_t na = 255 - a;
    const uint32_t r = ((p >> 16 & 0xFF) * a + br * na + 127) / 255;
    const uint32_t g = ((p >> 8 & 0xFF) * a + bg * na + 127) / 255;
    const uint32_t b = ((p & 0xFF) * a + bb * na + 127) / 255;
    row[x] = 0xFF000000u | r << 16 | g << 8 | b;
  }
}

}  // namespace tzx::host::imageio
