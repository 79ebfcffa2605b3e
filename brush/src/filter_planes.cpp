#include "filter_planes.h"

#include "bindings.h"
#include "tzx/errors.h"

namespace tzx::brush {

ColorTarget::~ColorTarget() {
  if (!brush_) return;
  gBound.graphics->FreeBitmap(bitmap);
  // Pens keep no alpha, whatever the effect did to the view's top bytes.
  for (int i = 0; i < kPaletteEntries; ++i) brush_->palette[i] &= 0xFFFFFF;
}

int ColorTarget::Open(BrushRecord* b) {
  if (!b->chunky) {
    bitmap = b->bitmap;
    width = b->width;
    height = b->height;
    return bitmap ? 0 : kErrRange;
  }
  if (!b->palette) return kErrNoPalette;
  store_ = {
      kPaletteEntries,         1, reinterpret_cast<uint8_t*>(b->palette), kPaletteEntries * 4, 4,
      graphics::kFormatArgb32, 1};
  bitmap = gBound.graphics->AllocBitmap(0, 0, graphics::kAllocBorrowed, &store_);
  if (!bitmap) return kErrNoMemory;
  brush_ = b;
  width = 1 << b->depth;
  height = 1;
  return 0;
}

bool ShadowNeedsFilters(const BrushRecord& s, bool border) {
  return !border || s.alpha || s.mask || (s.chunky && s.transparentPen >= 0);
}

int MakeShadowPlanes(const FiltersSibling* f, const BrushRecord& s, const ShadowRequest& r,
                     NewBrush* n) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  const int grow = static_cast<int>(r.radius);
  const int64_t width = int64_t{s.width} + 2 * int64_t{grow};
  const int64_t height = int64_t{s.height} + 2 * int64_t{grow};
  if (width > INT32_MAX || height > INT32_MAX) return kErrAllocBitmap;
  BitmapHandle* bitmap =
      g.AllocBitmap(static_cast<int>(width), static_cast<int>(height), 0, nullptr);
  if (!bitmap) return kErrAllocBitmap;
  if (int rc = g.FillBitmapRect(bitmap, 0, 0, bitmap->width, bitmap->height, r.color)) {
    g.FreeBitmap(bitmap);
    return rc;
  }
  BitmapHandle* alpha = nullptr;
  if (ShadowNeedsFilters(s, r.border)) {
    alpha = f->shadowAlpha(s.alpha, s.mask, s.chunky, s.chunky ? s.transparentPen : kNoPen, 0, 0,
                           s.width, s.height, r.radius, r.sigma, r.border ? 255 : r.opacity,
                           r.border ? 1 : 0);
    int rc = alpha ? 0 : kErrNoMemory;
    if (!rc && r.border && r.opacity < 255) {
      rc = g.ScaleAlpha(alpha, alpha, alpha->height, r.opacity);
    }
    if (rc) {
      g.FreeBitmapSet(&bitmap, nullptr, &alpha);
      return rc;
    }
  }
  n->kind = 0;
  n->width = n->rowWidth = bitmap->width;
  n->height = bitmap->height;
  n->bitmap = bitmap;
  n->alpha = alpha;
  n->transparentPen = kNoPen;
  n->depth = alpha ? 32 : 24;
  return 0;
}

}  // namespace tzx::brush
