#include "masks.h"

#include <algorithm>

#include "bindings.h"
#include "tzx/brush_constants.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

constexpr int kChunk = 256;
constexpr int kVisibleAlpha = 128;

// A mask that hides the pixels whose RGB is the key.
int MaskOfColor(BitmapHandle* bitmap, uint32_t key, BitmapHandle** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* mask = g.AllocMask(bitmap, 0, 0, 0, nullptr, 0);
  if (!mask) return kErrAllocMask;
  graphics::LockRecord lock{};
  uint8_t* bits = nullptr;
  int bitsRow = 0;
  if (!g.LockBitmap(bitmap, graphics::kLockReadOnly, &lock) ||
      !g.GetBitmapPixels(mask, &bits, &bitsRow, 1)) {
    g.UnlockBitmap(&lock);
    g.FreeMask(mask);
    return kErrLockBitmap;
  }
  key &= 0xFFFFFF;
  uint32_t argb[kChunk];
  for (int y = 0; y < lock.height; ++y) {
    const uint8_t* row = lock.pixels + static_cast<ptrdiff_t>(y) * lock.bytesPerRow;
    uint8_t* maskRow = bits + static_cast<ptrdiff_t>(y) * bitsRow;
    for (int x = 0; x < lock.width; x += kChunk) {
      const int n = std::min(kChunk, lock.width - x);
      g.ConvertRowToARGB(row + x * lock.bytesPerPixel, lock.format, argb, n);
      for (int i = 0; i < n; ++i) graphics::SetMaskBit(maskRow, x + i, (argb[i] & 0xFFFFFF) != key);
    }
  }
  g.ReleaseBitmapPixels(mask);
  g.UnlockBitmap(&lock);
  *out = mask;
  return 0;
}

void DropMask(BrushRecord* b) {
  gBound.graphics->FreeBitmapSet(nullptr, &b->mask, nullptr);
  b->transparentPen = kNoPen;
}

void DropAlpha(BrushRecord* b) {
  gBound.graphics->FreeBitmapSet(nullptr, nullptr, &b->alpha);
}

}  // namespace

int MaskFromAlpha(const BitmapHandle* alpha, BitmapHandle** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  auto* plane = const_cast<BitmapHandle*>(alpha);
  BitmapHandle* mask = g.AllocMask(nullptr, alpha->width, alpha->height, 0, nullptr, 0);
  if (!mask) return kErrAllocMask;
  uint8_t *levels = nullptr, *bits = nullptr;
  int levelsRow = 0, bitsRow = 0;
  if (!g.GetBitmapPixels(plane, &levels, &levelsRow, 0)) {
    g.FreeMask(mask);
    return kErrLockBitmap;
  }
  if (!g.GetBitmapPixels(mask, &bits, &bitsRow, 1)) {
    g.ReleaseBitmapPixels(plane);
    g.FreeMask(mask);
    return kErrLockBitmap;
  }
  for (int y = 0; y < alpha->height; ++y) {
    const uint8_t* a = levels + static_cast<ptrdiff_t>(y) * levelsRow;
    uint8_t* m = bits + static_cast<ptrdiff_t>(y) * bitsRow;
    for (int x = 0; x < alpha->width; ++x) graphics::SetMaskBit(m, x, a[x] >= kVisibleAlpha);
  }
  g.ReleaseBitmapPixels(mask);
  g.ReleaseBitmapPixels(plane);
  *out = mask;
  return 0;
}

void DeleteBrushMask(BrushRecord* b) {
  if (b->mask) DropMask(b);
  UpdateTrueColorDepth(b);
}

void DeleteBrushAlpha(BrushRecord* b) {
  DropAlpha(b);
  UpdateTrueColorDepth(b);
}

int SetTransparentColor(BrushRecord* b, uint32_t color) {
  BitmapHandle* mask = nullptr;
  if (color != kNoColor) {
    if (int rc = MaskOfColor(b->bitmap, color, &mask)) return rc;
  }
  DropMask(b);
  DropAlpha(b);
  if (mask) {
    b->mask = mask;
    b->transparentPen = static_cast<int32_t>(color & 0xFFFFFF);
  }
  UpdateTrueColorDepth(b);
  return 0;
}

int ChangeTransparency(BrushRecord* b, int kind) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (kind == kNone) {
    DropMask(b);
    DropAlpha(b);
  } else if (kind == kMask && !b->mask) {
    BitmapHandle* mask = nullptr;
    if (b->alpha) {
      if (int rc = MaskFromAlpha(b->alpha, &mask)) return rc;
      DropAlpha(b);
    } else {
      mask = g.AllocMask(nullptr, b->width, b->height, 0, nullptr, 0);
      if (!mask) return kErrAllocMask;
      g.FillBitmapRect(mask, 0, 0, b->width, b->height, 1);
    }
    b->mask = mask;
    b->transparentPen = kMaskWithoutKey;
  } else if (kind == kAlphachannel && !b->alpha) {
    BitmapHandle* alpha = nullptr;
    if (b->mask) {
      alpha = g.CreateAlphaFromMask(b->mask);
      if (!alpha) return kErrAllocAlpha;
      DropMask(b);
    } else {
      alpha = g.AllocAlpha(b->width, b->height, 0, nullptr, 0);
      if (!alpha) return kErrAllocAlpha;
      g.FillBitmapRect(alpha, 0, 0, b->width, b->height, 255);
    }
    b->alpha = alpha;
  }
  UpdateTrueColorDepth(b);
  return 0;
}

}  // namespace tzx::brush
