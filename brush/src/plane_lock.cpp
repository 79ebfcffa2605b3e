#include "plane_lock.h"

#include "bindings.h"
#include "pixel_access.h"

namespace tzx::brush {

bool LockPlane(BitmapHandle* bitmap, bool write, PlaneLock* out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  *out = PlaneLock{};
  if (!bitmap) return false;
  out->bitmap = bitmap;
  out->width = bitmap->width;
  out->height = bitmap->height;
  if (bitmap->kind == graphics::kKindColor) {
    if (!g.LockBitmap(bitmap, write ? 0 : graphics::kLockReadOnly, &out->lock)) return false;
    out->pixels = out->lock.pixels;
    out->bytesPerRow = out->lock.bytesPerRow;
    out->bytesPerPixel = out->lock.bytesPerPixel;
    out->format = out->lock.format;
    return true;
  }
  if (!g.GetBitmapPixels(bitmap, &out->pixels, &out->bytesPerRow, write)) return false;
  const bool mask = bitmap->kind == graphics::kKindMask;
  out->bytesPerPixel = mask ? 0 : 1;
  out->format = mask ? graphics::kFormatMask : graphics::kFormatByte;
  return true;
}

void UnlockPlane(PlaneLock* l) {
  if (!l->bitmap) return;
  if (l->bitmap->kind == graphics::kKindColor) {
    gBound.graphics->UnlockBitmap(&l->lock);
  } else {
    gBound.graphics->ReleaseBitmapPixels(l->bitmap);
  }
  l->bitmap = nullptr;
}

uint32_t NativeColor(uint32_t argb, int format, int bytesPerPixel) {
  uint8_t pixel[4] = {};
  gBound.graphics->ConvertRowFromARGB(&argb, pixel, format, 1);
  switch (bytesPerPixel) {
    case 1:
      return GetPixel<1>(pixel);
    case 2:
      return GetPixel<2>(pixel);
    case 3:
      return GetPixel<3>(pixel);
    default:
      return GetPixel<4>(pixel);
  }
}

}  // namespace tzx::brush
