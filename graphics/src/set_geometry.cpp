#include "set_geometry.h"

#include <algorithm>
#include <cstring>

#include "bitmap_sets.h"
#include "bitmaps.h"
#include "colours.h"
#include "pixel_formats.h"
#include "pixels/pens.h"
#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::graphics {

namespace {

constexpr int kChunk = 256;

// First and last visible column of a row, or first > last.
struct Run {
  int first, last;
};

Run VisibleRun(const PixelView& v, int y, int width, int pen) {
  const uint8_t* row = RowOf(v, y);
  auto seen = [&](int x) {
    switch (v.kind) {
      case kKindAlpha:
        return row[x] != 0;
      case kKindMask:
        return MaskBit(row, x);
      default:
        return row[x] != pen;
    }
  };
  Run r{0, width - 1};
  while (r.first < width && !seen(r.first)) ++r.first;
  if (r.first == width) return {width, -1};
  while (!seen(r.last)) --r.last;
  return r;
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

// Colours of a row as 0xAARRGGBB: from a colour bitmap, or pens through
// their palette.
void ColorsOf(const PixelView& v, const uint32_t* palette, int y, int x, int count, uint32_t* out) {
  const uint8_t* row = RowOf(v, y);
  if (v.kind == kKindColor) {
    RowToArgb(row + x * v.bytesPerPixel, v.format, out, count);
  } else {
    for (int i = 0; i < count; ++i) out[i] = palette[row[x + i]];
  }
}

}  // namespace

int TrimBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                  BitmapHandle** index, int transparentPen, int* x, int* y, int* width,
                  int* height) {
  BitmapHandle* model = color && *color ? *color : (index ? *index : nullptr);
  if (!model) return kErrRange;
  const int w = model->width, h = model->height;
  const BitmapHandle* shape = alpha && *alpha                            ? *alpha
                              : mask && *mask                            ? *mask
                              : (index && *index && transparentPen >= 0) ? *index
                                                                         : nullptr;
  int left = 0, top = 0, right = w - 1, bottom = h - 1;
  if (shape) {
    PixelView v;
    if (!ViewOf(shape, &v)) return kErrLockBitmap;
    left = w;
    right = -1;
    top = -1;
    for (int row = 0; row < std::min(h, v.height); ++row) {
      const Run r = VisibleRun(v, row, std::min(w, v.width), transparentPen);
      if (r.first > r.last) continue;
      if (top < 0) top = row;
      bottom = row;
      left = std::min(left, r.first);
      right = std::max(right, r.last);
    }
    if (top < 0) {  // nothing visible: kept whole
      left = top = 0;
      right = w - 1;
      bottom = h - 1;
    }
  }
  const int tw = right - left + 1, th = bottom - top + 1;
  if (tw != w || th != h) {
    BitmapHandle** planes[4] = {color, mask, alpha, index};
    BitmapHandle* made[4] = {};
    int rc = 0;
    for (int i = 0; i < 4 && !rc; ++i) {
      if (!planes[i] || !*planes[i]) continue;
      made[i] = CopyBitmapRect(*planes[i], left, top, tw, th);
      if (!made[i]) rc = AllocError((*planes[i])->kind);
    }
    for (int i = 0; i < 4; ++i) {
      if (!made[i]) continue;
      if (rc) {
        FreeBitmap(made[i]);
      } else {
        FreeBitmap(*planes[i]);
        *planes[i] = made[i];
      }
    }
    if (rc) return rc;
  }
  if (x) *x = left;
  if (y) *y = top;
  if (width) *width = tw;
  if (height) *height = th;
  return 0;
}

int MixBitmaps(BitmapHandle* target, const uint32_t* targetPalette, int targetDepth,
               const BitmapHandle* source, const uint32_t* sourcePalette, int width, int height,
               int level) {
  PixelView t, s;
  if (!target || !source) return kErrRange;
  if ((target->kind == kKindIndex && (!targetPalette || targetDepth < 1 || targetDepth > 8)) ||
      (source->kind == kKindIndex && !sourcePalette) ||
      (target->kind != kKindColor && target->kind != kKindIndex) ||
      (source->kind != kKindColor && source->kind != kKindIndex)) {
    return kErrRange;
  }
  if (!ViewOf(target, &t) || !ViewOf(source, &s)) return kErrLockBitmap;
  width = std::min({width, t.width, s.width});
  height = std::min({height, t.height, s.height});
  level = std::clamp(level, 0, 255);
  const int pens = target->kind == kKindIndex ? 1 << targetDepth : 0;
  uint32_t under[kChunk], over[kChunk];
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; x += kChunk) {
      const int n = std::min(kChunk, width - x);
      ColorsOf(t, targetPalette, y, x, n, under);
      ColorsOf(s, sourcePalette, y, x, n, over);
      for (int i = 0; i < n; ++i) {
        under[i] = (under[i] & 0xFF000000) |
                   MixRgb(static_cast<int32_t>(under[i]), static_cast<int32_t>(over[i]), level);
      }
      uint8_t* row = RowOf(t, y);
      if (pens) {
        for (int i = 0; i < n; ++i) {
          row[x + i] = static_cast<uint8_t>(pixels::NearestPen(under[i], targetPalette, pens));
        }
      } else {
        RowFromArgb(under, row + x * t.bytesPerPixel, t.format, n);
      }
    }
  }
  return 0;
}

int CreateTextureBitmap(const BitmapHandle* texture, int width, int height, int x, int y,
                        BitmapHandle** out) {
  PixelView v;
  if (!texture || !out || width < 1 || height < 1) return kErrRange;
  if (!ViewOf(texture, &v)) return kErrLockBitmap;
  BitmapHandle* made = AllocLike(texture, width, height);
  if (!made) return AllocError(texture->kind);
  PixelView to;
  ViewOf(made, &to);
  const int tw = v.width, th = v.height;
  const int ox = ((x % tw) + tw) % tw, oy = ((y % th) + th) % th;
  const int bytes = v.kind == kKindMask ? 0 : v.bytesPerPixel;
  for (int j = 0; j < height; ++j) {
    const uint8_t* from = RowOf(v, (j + oy) % th);
    uint8_t* row = RowOf(to, j);
    if (bytes == 0) {
      for (int i = 0; i < width; ++i) SetMaskBit(row, i, MaskBit(from, (i + ox) % tw));
      continue;
    }
    // Whole runs of the texture's row, from the offset on.
    for (int i = 0, sx = ox; i < width;) {
      const int n = std::min(width - i, tw - sx);
      std::memcpy(row + static_cast<ptrdiff_t>(i) * bytes,
                  from + static_cast<ptrdiff_t>(sx) * bytes, static_cast<size_t>(n) * bytes);
      i += n;
      sx = 0;
    }
  }
  *out = made;
  return 0;
}

}  // namespace tzx::graphics
