#include "pixels.h"

#include "bindings.h"
#include "flood_fill.h"
#include "pixel_access.h"
#include "plane_lock.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

bool Inside(const BrushRecord& b, int x, int y) {
  return x >= 0 && y >= 0 && x < b.width && y < b.height;
}

int WriteByte(BitmapHandle* plane, int x, int y, uint8_t value) {
  PlaneLock l;
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  PlaneRow(l, y)[x] = value;
  UnlockPlane(&l);
  return 0;
}

int WriteBit(BitmapHandle* plane, int x, int y, bool on) {
  PlaneLock l;
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  graphics::SetMaskBit(PlaneRow(l, y), x, on);
  UnlockPlane(&l);
  return 0;
}

}  // namespace

void ResolveBrushPosition(const BrushRecord& b, int* x, int* y) {
  *x = gBound.graphics->ResolveX(*x, 1, b.width, 0.0);
  *y = gBound.graphics->ResolveY(*y, 1, b.height, 0.0);
}

bool PenInRange(const BrushRecord& b, int64_t pen) {
  return pen >= 0 && pen < PenCount(b.depth);
}

int ReadPixelAt(const BrushRecord& b, int x, int y, uint32_t* color, int* level) {
  if (!b.bitmap && !b.chunky) return kErrNotAllowed;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  ResolveBrushPosition(b, &x, &y);
  *color = kNoColor;
  *level = -1;
  if (!Inside(b, x, y)) return 0;
  if (b.chunky) {
    *color = g.ReadPixel(b.chunky, x, y, 0);
    *level = static_cast<int32_t>(*color) == b.transparentPen ? 1 : 0;
    return 0;
  }
  *color = g.ReadPixel(b.bitmap, x, y, 0) & 0xFFFFFF;
  if (b.alpha) {
    *level = static_cast<int>(g.ReadPixel(b.alpha, x, y, 0));
  } else if (b.mask) {
    *level = static_cast<int>(g.ReadPixel(b.mask, x, y, 0));
  }
  return 0;
}

int WritePixelAt(const BrushRecord& b, int x, int y, uint32_t color, int alpha) {
  if (!b.bitmap && !b.chunky) return kErrNotAllowed;
  if (b.chunky && !PenInRange(b, static_cast<int32_t>(color))) return kErrPenRange;
  ResolveBrushPosition(b, &x, &y);
  if (!Inside(b, x, y)) return 0;
  if (b.chunky) return WriteByte(b.chunky, x, y, static_cast<uint8_t>(color));
  gBound.graphics->WritePixel(b.bitmap, x, y, color & 0xFFFFFF, 0);
  if (b.alpha) {
    if (int rc = WriteByte(b.alpha, x, y, static_cast<uint8_t>(alpha < 0 ? 255 : alpha))) return rc;
  }
  if (b.mask) return WriteBit(b.mask, x, y, alpha != 0);
  return 0;
}

int ReplaceBrushColors(const BrushRecord& b, ColorPair* pairs, int count) {
  if (b.chunky) {
    for (int i = 0; i < count; ++i) {
      if (!PenInRange(b, pairs[i].from) || !PenInRange(b, pairs[i].to)) return kErrPenRange;
    }
  }
  PlaneLock l{};
  if (!LockPlane(b.chunky ? b.chunky : b.bitmap, true, &l)) return kErrLockBitmap;
  if (!b.chunky) {
    for (int i = 0; i < count; ++i) {
      pairs[i].from = NativeColor(pairs[i].from, l.format, l.bytesPerPixel);
      pairs[i].to = NativeColor(pairs[i].to, l.format, l.bytesPerPixel);
    }
  }
  ReplacePixelColors(l.pixels, l.width, l.height, l.bytesPerRow, l.bytesPerPixel,
                     ColorBitsOf(l.format, l.bytesPerPixel), pairs, count);
  UnlockPlane(&l);
  return 0;
}

int FloodFillBrush(const BrushRecord& b, const FloodFillRequest& r) {
  if (!b.bitmap && !b.chunky) return kErrNotAllowed;
  if ((r.alphaChannel || r.colorSource) && !b.alpha) return kErrRange;
  if (r.alphaChannel && r.colorSource) return kErrRange;
  int x = r.x, y = r.y;
  ResolveBrushPosition(b, &x, &y);
  if (x < 0 || y < 0) return kErrNegativePosition;
  if (x >= b.width || y >= b.height) return kErrOutside;

  const bool seed = r.border == kNoBorder;
  BitmapHandle* plane = b.bitmap;
  if (r.alphaChannel) {
    if (r.fill > 255 || (!seed && r.border > 255)) return kErrPenRange;
    plane = b.alpha;
  } else if (b.chunky) {
    if (!PenInRange(b, r.fill) || (!seed && !PenInRange(b, r.border))) return kErrPenRange;
    plane = b.chunky;
  }
  PlaneLock l, alpha{};
  if (!LockPlane(plane, true, &l)) return kErrLockBitmap;
  if (r.colorSource && !LockPlane(b.alpha, true, &alpha)) {
    UnlockPlane(&l);
    return kErrLockBitmap;
  }
  const bool colors = plane == b.bitmap;
  FillSurface s{};
  s.pixels = l.pixels;
  s.width = b.width;
  s.height = b.height;
  s.bytesPerPixel = l.bytesPerPixel;
  s.stride = l.bytesPerRow / l.bytesPerPixel;
  s.compareMask = ColorBitsOf(l.format, l.bytesPerPixel);
  s.border = seed     ? kNoBorder
             : colors ? NativeColor(r.border, l.format, l.bytesPerPixel)
                      : r.border;
  s.fill = colors ? NativeColor(r.fill, l.format, l.bytesPerPixel) : r.fill;
  if (r.colorSource) {
    s.alpha = alpha.pixels;
    s.alphaStride = alpha.bytesPerRow;
    s.alphaValue = static_cast<uint8_t>(r.fill >> 24);
  }
  const int rc = FloodFill(s, x, y);
  UnlockPlane(&alpha);
  UnlockPlane(&l);
  return rc;
}

}  // namespace tzx::brush
