#include "scale_bitmap.h"

#include "bitmaps.h"
#include "pixel_formats.h"
#include "scaling.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

ScaleScratch gScratch;

// Raw blocks are not bounded by a bitmap's limits: sides beyond this would
// overflow the row arithmetic.
constexpr int kMaxRawSide = 1 << 24;

// 32-bit formats go straight to the engine: it works byte by byte, so every
// byte order of four channels scales alike. So do bytes (pens or one
// channel): the engine scales them as an alpha channel, with the values a
// pass through grey 0xAARRGGBB copies would give. Other formats pass through
// 0xAARRGGBB copies.
int ScaleFormatPixels(const uint8_t* source, int sourceRow, uint8_t* target, int targetRow,
                      int format, int width, int height, int newWidth, int newHeight, bool smooth) {
  if (newWidth < 1 || newHeight < 1) return 0;
  const int bytes = FormatBytes(format);
  if (bytes == 0 || !source || !target || width < 1 || height < 1 || width > kMaxRawSide ||
      newWidth > kMaxRawSide) {
    return kErrRange;
  }
  ScaleRequest r;
  r.sourceWidth = width;
  r.sourceHeight = height;
  r.destinationWidth = newWidth;
  r.destinationHeight = newHeight;
  r.smooth = smooth;
  if (bytes == 4) {
    r.source = source;
    r.sourceRowBytes = sourceRow;
    r.destination = target;
    r.destinationRowBytes = targetRow;
    return ScalePixels(r, gScratch);
  }
  if (bytes == 1) {
    r.sourceAlpha = source;
    r.sourceAlphaRowBytes = sourceRow;
    r.destinationAlpha = target;
    r.destinationAlphaRowBytes = targetRow;
    return ScaleAlpha(r, gScratch);
  }
  const size_t from = static_cast<size_t>(width) * height * 4;
  const size_t to = static_cast<size_t>(newWidth) * newHeight * 4;
  auto* wide = static_cast<uint8_t*>(HostAlloc(from + to, false));
  if (!wide) return kErrNoMemory;
  ConvertRect(source, sourceRow, format, wide, width * 4, kFormatArgb32, width, height);
  r.source = wide;
  r.sourceRowBytes = width * 4;
  r.destination = wide + from;
  r.destinationRowBytes = newWidth * 4;
  const int rc = ScalePixels(r, gScratch);
  if (rc == 0) {
    ConvertRect(wide + from, newWidth * 4, kFormatArgb32, target, targetRow, format, newWidth,
                newHeight);
  }
  HostFree(wide);
  return rc;
}

int AllocError(int kind) {
  switch (kind) {
    case kKindColor:
      return kErrAllocBitmap;
    case kKindMask:
      return kErrAllocMask;
    case kKindAlpha:
      return kErrAllocAlpha;
    default:
      return kErrAllocIndexBitmap;
  }
}

// A new plane of the source's kind (and format) at the new size.
BitmapHandle* AllocLike(const BitmapHandle* source, int format, int width, int height) {
  switch (source->kind) {
    case kKindColor:
      return AllocBitmapOfFormat(width, height, format);
    case kKindMask:
      return AllocMask(nullptr, width, height, 0, nullptr, 0);
    case kKindAlpha:
      return AllocAlpha(width, height, 0, nullptr, 0);
    default:
      return AllocIndexBitmap(width, height, 0);
  }
}

// Pixel access as the slots give it: colour bitmaps through their lock, the
// other kinds through their pixels.
bool OpenPlane(BitmapHandle* plane, bool write, uint8_t** pixels, int* bytesPerRow, int* format) {
  if (plane->kind == kKindColor) {
    LockRecord lock;
    if (!LockBitmap(plane, write ? 0 : kLockReadOnly, &lock)) return false;
    *pixels = lock.pixels;
    *bytesPerRow = lock.bytesPerRow;
    *format = lock.format;
    UnlockBitmap(&lock);
    return true;
  }
  *format = kFormatByte;
  return GetBitmapPixels(plane, pixels, bytesPerRow, write ? 1 : 0) != nullptr;
}

// A scaled copy of the width × height top-left part of `source` into *out.
int ScalePlane(BitmapHandle* source, int width, int height, int newWidth, int newHeight,
               bool smooth, BitmapHandle** out) {
  uint8_t* from;
  int fromRow, format;
  if (!OpenPlane(source, false, &from, &fromRow, &format)) return kErrLockBitmap;
  BitmapHandle* made = AllocLike(source, format, newWidth, newHeight);
  if (!made) return AllocError(source->kind);
  uint8_t* to;
  int toRow, madeFormat;
  int rc = OpenPlane(made, true, &to, &toRow, &madeFormat) ? 0 : kErrLockBitmap;
  if (rc == 0) {
    ScaleRequest r;
    r.sourceWidth = width;
    r.sourceHeight = height;
    r.destinationWidth = newWidth;
    r.destinationHeight = newHeight;
    r.smooth = smooth;
    switch (source->kind) {
      case kKindColor:
        rc = ScaleFormatPixels(from, fromRow, to, toRow, format, width, height, newWidth, newHeight,
                               smooth);
        break;
      case kKindMask:
        r.sourceMask = from;
        r.sourceMaskRowBytes = fromRow;
        r.destinationMask = to;
        r.destinationMaskRowBytes = toRow;
        rc = ScaleMask(r, gScratch);
        break;
      default:
        // Pens name colours: they are picked, never blended.
        if (source->kind == kKindIndex) r.smooth = false;
        r.sourceAlpha = from;
        r.sourceAlphaRowBytes = fromRow;
        r.destinationAlpha = to;
        r.destinationAlphaRowBytes = toRow;
        rc = ScaleAlpha(r, gScratch);
        break;
    }
    if (source->kind != kKindColor) {
      ReleaseBitmapPixels(made);
      ReleaseBitmapPixels(source);
    }
  }
  if (rc) {
    FreeBitmap(made);
    return rc;
  }
  *out = made;
  return 0;
}

bool Covers(const BitmapHandle* plane, int kind, int width, int height) {
  return plane->kind == kind && plane->width >= width && plane->height >= height;
}

}  // namespace

int ScaleBitmap(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                BitmapHandle** index, int width, int height, int newWidth, int newHeight,
                int smooth) {
  if (newWidth < 1 || newHeight < 1) return 0;
  if (width < 1 || height < 1) return kErrRange;
  struct Slot {
    BitmapHandle** plane;
    int kind;
    BitmapHandle* made;
  } slots[] = {{color, kKindColor, nullptr},
               {mask, kKindMask, nullptr},
               {alpha, kKindAlpha, nullptr},
               {index, kKindIndex, nullptr}};
  for (const Slot& s : slots) {
    if (s.plane && *s.plane && !Covers(*s.plane, s.kind, width, height)) return kErrRange;
  }
  int rc = 0;
  for (Slot& s : slots) {
    if (!s.plane || !*s.plane) continue;
    rc = ScalePlane(*s.plane, width, height, newWidth, newHeight, smooth != 0, &s.made);
    if (rc) break;
  }
  for (Slot& s : slots) {
    if (!s.made) continue;
    if (rc) {
      FreeBitmap(s.made);
    } else {
      FreeBitmap(*s.plane);
      *s.plane = s.made;
    }
  }
  return rc;
}

int ScaleAlphaOrMask(BitmapHandle** plane, int newWidth, int newHeight, int smooth) {
  if (!plane || !*plane || (*plane)->kind == kKindColor) return kErrRange;
  BitmapHandle* p = *plane;
  return ScaleBitmap(
      nullptr, p->kind == kKindMask ? plane : nullptr, p->kind == kKindAlpha ? plane : nullptr,
      p->kind == kKindIndex ? plane : nullptr, p->width, p->height, newWidth, newHeight, smooth);
}

int ScaleRawPixels(const uint8_t* pixels, int bytesPerRow, uint8_t* target, int targetBytesPerRow,
                   int format, int width, int height, int newWidth, int newHeight, int smooth) {
  return ScaleFormatPixels(pixels, bytesPerRow, target, targetBytesPerRow, format, width, height,
                           newWidth, newHeight, smooth != 0);
}

int ScaleRawPixelsTo(const uint8_t* pixels, int bytesPerRow, int format, int width, int height,
                     uint8_t** target, int newWidth, int newHeight, int smooth) {
  if (newWidth < 1 || newHeight < 1) return 0;
  const int bytes = FormatBytes(format);
  if (!target || bytes == 0 || newWidth > kMaxRawSide) return kErrRange;
  const int row = newWidth * bytes;
  if (*target) {
    return ScaleRawPixels(pixels, bytesPerRow, *target, row, format, width, height, newWidth,
                          newHeight, smooth);
  }
  auto* made = static_cast<uint8_t*>(HostAlloc(static_cast<size_t>(row) * newHeight, false));
  if (!made) return kErrNoMemory;
  const int rc = ScaleRawPixels(pixels, bytesPerRow, made, row, format, width, height, newWidth,
                                newHeight, smooth);
  if (rc) {
    HostFree(made);
    return rc;
  }
  *target = made;
  return 0;
}

void ReleaseScaleScratch() {
  FreeScaleScratch(gScratch);
}

}  // namespace tzx::graphics
