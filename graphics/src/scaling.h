// The resize engine behind ScaleBitmap and ScalePixels: plain (nearest pixel) and smooth
// (bilinear) scaling of 32-bit 0xAARRGGBB pixels, 1-bit masks and 8-bit alpha channels, over
// plain buffers. The callers own locking, allocation and error reporting.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::graphics {

// One resize. Row lengths are in bytes. Masks hold one bit per pixel, most significant bit
// first, set = visible; alpha channels one byte per pixel. A plane is scaled only when both
// its source and its destination are given.
struct ScaleRequest {
  const uint8_t* source = nullptr;
  int32_t sourceRowBytes = 0;
  uint8_t* destination = nullptr;
  int32_t destinationRowBytes = 0;
  int32_t sourceWidth = 0;
  int32_t sourceHeight = 0;
  int32_t destinationWidth = 0;
  int32_t destinationHeight = 0;
  const uint8_t* sourceMask = nullptr;
  int32_t sourceMaskRowBytes = 0;
  uint8_t* destinationMask = nullptr;
  int32_t destinationMaskRowBytes = 0;
  const uint8_t* sourceAlpha = nullptr;
  int32_t sourceAlphaRowBytes = 0;
  uint8_t* destinationAlpha = nullptr;
  int32_t destinationAlphaRowBytes = 0;
  bool smooth = false;
  // Only this part of the destination is made (a width of 0: all of it); every destination
  // pointer then points at the part's top-left pixel. The pixels are those the whole scale gives
  // there.
  int32_t partX = 0;
  int32_t partY = 0;
  int32_t partWidth = 0;
  int32_t partHeight = 0;
};

// A host-allocated block that only grows, so that repeated work allocates nothing once it has
// seen its largest size.
struct ScratchArray {
  void* data = nullptr;
  size_t capacity = 0;  // bytes
};

// Makes room for at least `bytes` (the old contents are not kept). False, with the array as it
// was, when the host has no memory.
bool EnsureScratch(ScratchArray& array, size_t bytes);
void FreeScratch(ScratchArray& array);

// Kept by the caller between scales: the position tables, and the two horizontally interpolated
// rows of smooth scaling.
struct ScaleScratch {
  ScratchArray positions;
  ScratchArray rows;
  // The sizes and mode the positions were made for (source width and height, destination width
  // and height, smooth), so that parts of one scale share them.
  int32_t madeFor[5] = {};
};
void FreeScaleScratch(ScaleScratch& scratch);

// Each returns 0, also when the destination is narrower or lower than one pixel (nothing is
// done) or the plane is not part of the request; kErrRange when the destination has pixels but
// the source has none, or the part is not inside the destination; kErrNoMemory when the scratch
// cannot grow.
int ScalePixels(const ScaleRequest& request, ScaleScratch& scratch);
// Never interpolated: each destination bit copies the source bit at the integer position.
int ScaleMask(const ScaleRequest& request, ScaleScratch& scratch);
// Plain mode picks like the pixels; smooth mode interpolates like one channel of a pixel.
int ScaleAlpha(const ScaleRequest& request, ScaleScratch& scratch);
// The pixels and their alpha channel blended onto rows of 32-bit target pixels as they are made,
// a row at a time (target = colour x alpha + target x (255 - alpha), all four bytes, rounded):
// the same target as ScalePixels and ScaleAlpha into planes and BlendRow32 from there. `target`
// points at the pixel under the part's top-left one; the request's destination planes are not
// used. Returns as ScalePixels does.
int ScaleOnto(const ScaleRequest& request, ScaleScratch& scratch, uint8_t* target,
              int32_t targetRowBytes);

}  // namespace tzx::graphics
