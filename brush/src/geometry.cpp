#include "geometry.h"

#include <cmath>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

// Pixels whose mask bit is clear take the transparent pen; the mask goes.
int MaskToPen(BitmapHandle* pens, BitmapHandle* mask, int pen) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint8_t *p = nullptr, *bits = nullptr;
  int penRow = 0, bitsRow = 0;
  if (!g.GetBitmapPixels(pens, &p, &penRow, 1)) return kErrLockBitmap;
  if (!g.GetBitmapPixels(mask, &bits, &bitsRow, 0)) {
    g.ReleaseBitmapPixels(pens);
    return kErrLockBitmap;
  }
  for (int y = 0; y < pens->height; ++y) {
    uint8_t* row = p + static_cast<ptrdiff_t>(y) * penRow;
    const uint8_t* b = bits + static_cast<ptrdiff_t>(y) * bitsRow;
    for (int x = 0; x < pens->width; ++x) {
      if (!graphics::MaskBit(b, x)) row[x] = static_cast<uint8_t>(pen);
    }
  }
  g.ReleaseBitmapPixels(mask);
  g.ReleaseBitmapPixels(pens);
  return 0;
}

}  // namespace

void ReplacePlanes(BrushRecord* b, const Planes& p, int width, int height) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  g.FreeBitmapSet(&b->bitmap, &b->mask, &b->alpha);
  g.FreeBitmapSet(&b->chunky, nullptr, nullptr);
  b->bitmap = p.bitmap;
  b->mask = p.mask;
  b->alpha = p.alpha;
  b->chunky = p.chunky;
  b->width = b->rowWidth = width;
  b->height = height;
  if (!b->chunky && b->palette) {
    HostFree(b->palette);
    b->palette = nullptr;
    b->transparentPen = kNoPen;
  }
  if (b->bitmap && b->mask && b->transparentPen == kNoPen) b->transparentPen = kMaskWithoutKey;
  UpdateTrueColorDepth(b);
}

int TransformRaster(BrushRecord* b, const double matrix[4], int smooth) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  Planes p{b->bitmap, b->mask, b->alpha, b->chunky};
  int width = b->width, height = b->height;
  const bool hadMask = p.mask != nullptr;
  if (int rc = g.RotateBitmapSet(&p.bitmap, &p.mask, &p.alpha, &p.chunky, width, height, matrix,
                                 smooth, &width, &height)) {
    return rc;
  }
  // The planes the slot replaced are freed; the brush now holds the new ones.
  b->bitmap = p.bitmap;
  b->mask = p.mask;
  b->alpha = p.alpha;
  b->chunky = p.chunky;
  b->width = width;
  b->height = height;
  if (b->chunky && b->mask && !hadMask && b->transparentPen >= 0) {
    // A palette brush shows its corners through its transparent pen.
    if (MaskToPen(b->chunky, b->mask, b->transparentPen) == 0) {
      g.FreeBitmapSet(nullptr, &b->mask, nullptr);
    }
  }
  if (b->bitmap && b->mask && b->transparentPen == kNoPen) b->transparentPen = kMaskWithoutKey;
  UpdateTrueColorDepth(b);
  return 0;
}

int RenderVector(BrushRecord* b, int width, int height, const double matrix[4]) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (!b->imageObject) return kErrNotAllowed;
  Planes p{};
  // The script function may try to change or free the brush: it is busy
  // until the picture is back.
  b->busy = 1;
  int rc =
      g.RasterizeImageObject(b->imageObject, width, height, matrix, &p.bitmap, &p.mask, &p.alpha);
  b->busy = 0;
  if (rc == 0 && !p.bitmap) rc = kErrImageObject;
  if (rc) {
    g.FreeBitmapSet(&p.bitmap, &p.mask, &p.alpha);
    return rc;
  }
  ReplacePlanes(b, p, p.bitmap->width, p.bitmap->height);
  b->transformed = graphics::IsIdentity(matrix) ? 0 : 1;
  return 0;
}

int TransformBrushCore(BrushRecord* b, const double matrix[4], int smooth) {
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(matrix[i])) return kErrRange;
  }
  if (b->kind != kKindVector) return TransformRaster(b, matrix, smooth);
  int width = 0, height = 0;
  gBound.graphics->GetImageObjectSize(b->imageObject, &width, &height);
  if (width < 1 || height < 1) return kErrNotAllowed;
  gBound.graphics->GetTransformedSize(matrix, width, height, &width, &height);
  return RenderVector(b, width, height, matrix);
}

}  // namespace tzx::brush
