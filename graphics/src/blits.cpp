#include "blits.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "bitmaps.h"
#include "blit_rows.h"
#include "colours.h"
#include "pixel_formats.h"
#include "placement.h"
#include "tzx/errors.h"

namespace tzx::graphics {

namespace {

// Pixels per chunk of the converting paths: the temporaries stay in L1.
constexpr int kChunk = 512;

struct CopyPlan {
  PixelView source;
  PixelView target;
  int sourceX, sourceY, x, y, width, height;
  uint8_t* SourceAt(int row, int column) const {
    return RowOf(source, sourceY + row) + (sourceX + column) * source.bytesPerPixel;
  }
  uint8_t* TargetAt(int row, int column) const {
    return RowOf(target, y + row) + (x + column) * target.bytesPerPixel;
  }
};

// Views both bitmaps and clips the rectangle; plan->width is 0 when nothing
// is left. `limit` (a plane read along with the source) cuts the source size.
int Plan(const BitmapHandle* source, const BitmapHandle* target, int sourceX, int sourceY, int x,
         int y, int width, int height, CopyPlan* plan, const PixelView* limit = nullptr) {
  if (!ViewOf(source, &plan->source) || !ViewOf(target, &plan->target)) return kErrLockBitmap;
  int sourceWidth = plan->source.width, sourceHeight = plan->source.height;
  if (limit) {
    sourceWidth = std::min(sourceWidth, limit->width);
    sourceHeight = std::min(sourceHeight, limit->height);
  }
  if (!ClipCopy(&sourceX, &sourceY, &x, &y, &width, &height, sourceWidth, sourceHeight, 0, 0,
                plan->target.width, plan->target.height)) {
    width = height = 0;
  }
  plan->sourceX = sourceX;
  plan->sourceY = sourceY;
  plan->x = x;
  plan->y = y;
  plan->width = width;
  plan->height = height;
  return 0;
}

bool IsColor(const BitmapHandle* b) {
  return b && b->kind == kKindColor;
}

// The copy spans whole rows that follow each other without padding.
bool RowsContiguous(const PixelView& v, int width) {
  return width == v.width && v.bytesPerRow == width * v.bytesPerPixel &&
         int64_t{v.width} * v.height < INT32_MAX;
}
bool IsEightBit(const BitmapHandle* b) {
  return b && (b->kind == kKindAlpha || b->kind == kKindIndex);
}
int KindError(const BitmapHandle* b) {
  return b ? kErrRange : kErrLockBitmap;
}

// Calls fn(column, count) over a row in chunks.
template <class Fn>
void ForChunks(int width, Fn&& fn) {
  for (int column = 0; column < width; column += kChunk)
    fn(column, std::min(kChunk, width - column));
}

int Clamp255(int level) {
  return std::clamp(level, 0, 255);
}

// Fills `count` mask bits from bit x.
void FillMaskBits(uint8_t* row, int x, int count, bool on) {
  int i = 0;
  for (; i < count && ((x + i) & 7); ++i) SetMaskBit(row, x + i, on);
  int bytes = (count - i) / 8;
  if (bytes > 0) {
    std::memset(row + ((x + i) >> 3), on ? 0xFF : 0, bytes);
    i += bytes * 8;
  }
  for (; i < count; ++i) SetMaskBit(row, x + i, on);
}

// Blends a row of target pixels toward source pixels of the same 4-byte
// format, or through 0xAARRGGBB for other formats.
void BlendRow(const uint8_t* source, int sourceFormat, const uint8_t* alpha, uint8_t* target,
              int targetFormat, int count) {
  if (sourceFormat == targetFormat && FormatBytes(targetFormat) == 4) {
    BlendRow32(source, alpha, target, count);
    return;
  }
  alignas(16) uint32_t s[kChunk], d[kChunk];
  RowToArgb(source, sourceFormat, s, count);
  RowToArgb(target, targetFormat, d, count);
  BlendRow32(reinterpret_cast<const uint8_t*>(s), alpha, reinterpret_cast<uint8_t*>(d), count);
  RowFromArgb(d, target, targetFormat, count);
}

}  // namespace

int BlitBitmap(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
               int y, int width, int height) {
  if (!IsColor(source)) return KindError(source);
  if (!IsColor(target)) return KindError(target);
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  if (p.height > 1 && RowsContiguous(p.source, p.width) && RowsContiguous(p.target, p.width)) {
    // Whole rows without padding on both sides: one run, so that a plain copy
    // is one memcpy.
    ConvertRow(p.SourceAt(0, 0), p.source.format, p.TargetAt(0, 0), p.target.format,
               p.width * p.height);
    return 0;
  }
  for (int row = 0; row < p.height; ++row) {
    ConvertRow(p.SourceAt(row, 0), p.source.format, p.TargetAt(row, 0), p.target.format, p.width);
  }
  return 0;
}

int BlitBitmapMasked(const BitmapHandle* source, const BitmapHandle* mask, int sourceX, int sourceY,
                     BitmapHandle* target, int x, int y, int width, int height) {
  if (!IsColor(source)) return KindError(source);
  if (!IsColor(target)) return KindError(target);
  if (!mask || mask->kind != kKindMask) return KindError(mask);
  PixelView maskView;
  if (!ViewOf(mask, &maskView)) return kErrLockBitmap;
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p, &maskView)) {
    return rc;
  }
  int bytes = p.target.bytesPerPixel;
  for (int row = 0; row < p.height; ++row) {
    const uint8_t* maskRow = RowOf(maskView, p.sourceY + row);
    if (p.source.format == p.target.format) {
      MaskedCopyRow(p.SourceAt(row, 0), maskRow, p.sourceX, p.TargetAt(row, 0), bytes, p.width);
      continue;
    }
    ForChunks(p.width, [&](int column, int n) {
      alignas(16) uint8_t converted[kChunk * 4];
      ConvertRow(p.SourceAt(row, column), p.source.format, converted, p.target.format, n);
      MaskedCopyRow(converted, maskRow, p.sourceX + column, p.TargetAt(row, column), bytes, n);
    });
  }
  return 0;
}

int BlitBitmapAlpha(const BitmapHandle* source, const BitmapHandle* alpha, int sourceX, int sourceY,
                    BitmapHandle* target, int x, int y, int width, int height, int level) {
  if (!IsColor(source)) return KindError(source);
  if (!IsColor(target)) return KindError(target);
  PixelView alphaView;
  if (alpha) {
    if (alpha->kind != kKindAlpha) return kErrRange;
    if (!ViewOf(alpha, &alphaView)) return kErrLockBitmap;
  }
  level = Clamp255(level);
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p,
                    alpha ? &alphaView : nullptr)) {
    return rc;
  }
  if (level == 0) return 0;
  alignas(16) uint8_t uniform[kChunk];
  std::memset(uniform, level, sizeof uniform);
  bool direct = p.source.format == p.target.format && p.target.bytesPerPixel == 4;
  for (int row = 0; row < p.height; ++row) {
    const uint8_t* alphaRow = alpha ? RowOf(alphaView, p.sourceY + row) + p.sourceX : nullptr;
    if (direct && alphaRow && level == 255) {
      BlendRow32(p.SourceAt(row, 0), alphaRow, p.TargetAt(row, 0), p.width);
      continue;
    }
    ForChunks(p.width, [&](int column, int n) {
      alignas(16) uint8_t scaled[kChunk];
      const uint8_t* a = uniform;
      if (alphaRow) {
        a = alphaRow + column;
        if (level != 255) {
          ScaleLevels(a, level, scaled, n);
          a = scaled;
        }
      }
      BlendRow(p.SourceAt(row, column), p.source.format, a, p.TargetAt(row, column),
               p.target.format, n);
    });
  }
  return 0;
}

int BlitAlphaToAlpha(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                     int x, int y, int width, int height, int mode) {
  if (!source || source->kind != kKindAlpha) return KindError(source);
  if (!target || target->kind != kKindAlpha) return KindError(target);
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  for (int row = 0; row < p.height; ++row) {
    if (mode == kAlphaOver) {
      AlphaOverRow(p.SourceAt(row, 0), p.TargetAt(row, 0), p.width);
    } else {
      std::memcpy(p.TargetAt(row, 0), p.SourceAt(row, 0), p.width);
    }
  }
  return 0;
}

int BlitBitmapTransparent(const BitmapHandle* source, int sourceX, int sourceY,
                          BitmapHandle* target, int x, int y, int width, int height,
                          uint32_t transparentColor) {
  if (transparentColor == 0xFFFFFFFF) {
    return BlitBitmap(source, sourceX, sourceY, target, x, y, width, height);
  }
  if (!IsColor(source)) return KindError(source);
  if (!IsColor(target)) return KindError(target);
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  for (int row = 0; row < p.height; ++row) {
    ForChunks(p.width, [&](int column, int n) {
      alignas(16) uint32_t s[kChunk], d[kChunk];
      RowToArgb(p.SourceAt(row, column), p.source.format, s, n);
      RowToArgb(p.TargetAt(row, column), p.target.format, d, n);
      KeyedCopyRowArgb(s, transparentColor, d, n);
      RowFromArgb(d, p.TargetAt(row, column), p.target.format, n);
    });
  }
  return 0;
}

int FillBitmapRect(BitmapHandle* bitmap, int x, int y, int width, int height, uint32_t color) {
  PixelView v;
  if (!ViewOf(bitmap, &v)) return kErrLockBitmap;
  if (!ClipRect(&x, &y, &width, &height, 0, 0, v.width, v.height)) return 0;
  if (v.kind == kKindMask) {
    for (int row = 0; row < height; ++row) FillMaskBits(RowOf(v, y + row), x, width, color != 0);
    return 0;
  }
  if (v.kind != kKindColor) {
    for (int row = 0; row < height; ++row) std::memset(RowOf(v, y + row) + x, color & 255, width);
    return 0;
  }
  // The first row is built pixel by pixel, the others are copies of it.
  int bytes = v.bytesPerPixel;
  uint8_t pixel[4];
  WriteColor(pixel, v.format, color);
  uint8_t* first = RowOf(v, y) + x * bytes;
  if (bytes == 4) {
    uint32_t word;
    std::memcpy(&word, pixel, 4);
    for (int i = 0; i < width; ++i) std::memcpy(first + 4 * i, &word, 4);
  } else {
    for (int i = 0; i < width; ++i) std::memcpy(first + i * bytes, pixel, bytes);
  }
  for (int row = 1; row < height; ++row) {
    std::memcpy(RowOf(v, y + row) + x * bytes, first, static_cast<size_t>(width) * bytes);
  }
  return 0;
}

int FillAlphaRect(const BitmapHandle* coverage, int sourceX, int sourceY, BitmapHandle* target,
                  int x, int y, int width, int height, uint32_t color, int level) {
  if (!IsEightBit(coverage)) return KindError(coverage);
  CopyPlan p;
  if (int rc = Plan(coverage, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  level = Clamp255(level);
  if (level == 0) return 0;
  // A row of the colour in the target's format, to blend from.
  alignas(16) uint8_t paint[kChunk * 4];
  if (p.target.kind == kKindColor) {
    alignas(16) uint32_t argb[kChunk];
    std::fill(argb, argb + kChunk, color & 0xFFFFFF);
    RowFromArgb(argb, paint, p.target.format, kChunk);
  }
  for (int row = 0; row < p.height; ++row) {
    ForChunks(p.width, [&](int column, int n) {
      alignas(16) uint8_t a[kChunk];
      ScaleLevels(p.SourceAt(row, column), level, a, n);
      uint8_t* t = p.TargetAt(row, column);
      switch (p.target.kind) {
        case kKindColor:
          BlendRow(paint, p.target.format, a, t, p.target.format, n);
          break;
        case kKindAlpha:
          AlphaOverRow(a, t, n);
          break;
        case kKindIndex:
          for (int i = 0; i < n; ++i) {
            if (a[i] >= 128) t[i] = static_cast<uint8_t>(color);
          }
          break;
        default: {
          uint8_t* maskRow = RowOf(p.target, p.y + row);
          for (int i = 0; i < n; ++i) {
            if (a[i] >= 128) SetMaskBit(maskRow, p.x + column + i, true);
          }
        }
      }
    });
  }
  return 0;
}

int FillMaskRect(const BitmapHandle* mask, int sourceX, int sourceY, BitmapHandle* target, int x,
                 int y, int width, int height, uint32_t color) {
  if (!mask || mask->kind != kKindMask) return KindError(mask);
  CopyPlan p;
  if (int rc = Plan(mask, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  if (p.target.kind == kKindMask) {
    return CopyMaskToMask(mask, p.sourceX, p.sourceY, target, p.x, p.y, p.width, p.height, kMaskOr);
  }
  uint8_t pixel[4] = {static_cast<uint8_t>(color)};
  int bytes = p.target.bytesPerPixel;
  if (p.target.kind == kKindColor) WriteColor(pixel, p.target.format, color);
  for (int row = 0; row < p.height; ++row) {
    const uint8_t* maskRow = RowOf(p.source, p.sourceY + row);
    uint8_t* t = p.TargetAt(row, 0);
    for (int i = 0; i < p.width; ++i) {
      if (MaskBit(maskRow, p.sourceX + i)) std::memcpy(t + i * bytes, pixel, bytes);
    }
  }
  return 0;
}

int BlitOrFill(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
               int y, int width, int height, uint32_t color) {
  if (source) return BlitBitmap(source, sourceX, sourceY, target, x, y, width, height);
  return FillBitmapRect(target, x, y, width, height, color);
}

int CopyBitmapPixels(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                     int x, int y, int width, int height) {
  if (!source || !target) return kErrLockBitmap;
  if (source->kind != target->kind) return kErrRange;
  if (source->kind == kKindColor) {
    return BlitBitmap(source, sourceX, sourceY, target, x, y, width, height);
  }
  if (source->kind == kKindMask) {
    return CopyMaskToMask(source, sourceX, sourceY, target, x, y, width, height, kMaskCopy);
  }
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  for (int row = 0; row < p.height; ++row) {
    std::memcpy(p.TargetAt(row, 0), p.SourceAt(row, 0), p.width);
  }
  return 0;
}

int CopyMaskToMask(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                   int x, int y, int width, int height, int mode) {
  if (!source || source->kind != kKindMask) return KindError(source);
  if (!target || target->kind != kKindMask) return KindError(target);
  CopyPlan p;
  if (int rc = Plan(source, target, sourceX, sourceY, x, y, width, height, &p)) return rc;
  for (int row = 0; row < p.height; ++row) {
    CopyMaskBits(RowOf(p.source, p.sourceY + row), p.sourceX, RowOf(p.target, p.y + row), p.x,
                 p.width, mode);
  }
  return 0;
}

namespace {

// The caller's sizes, never beyond the bitmaps' own.
bool TextPlan(const BitmapHandle* source, BitmapHandle* target, int* sourceX, int* sourceY, int* x,
              int* y, int* width, int* height, int sourceWidth, int sourceHeight, int targetWidth,
              int targetHeight) {
  PixelView s, t;
  if (!ViewOf(source, &s) || !ViewOf(target, &t)) return false;
  return ClipCopy(sourceX, sourceY, x, y, width, height, std::min(sourceWidth, s.width),
                  std::min(sourceHeight, s.height), 0, 0, std::min(targetWidth, t.width),
                  std::min(targetHeight, t.height));
}

}  // namespace

int BlitTextPlane(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
                  int y, int width, int height, int sourceWidth, int sourceHeight, int targetWidth,
                  int targetHeight, int mode, int level) {
  if (!IsEightBit(source)) return KindError(source);
  if (!IsEightBit(target)) return KindError(target);
  if (!TextPlan(source, target, &sourceX, &sourceY, &x, &y, &width, &height, sourceWidth,
                sourceHeight, targetWidth, targetHeight)) {
    return 0;
  }
  CopyPlan p;
  Plan(source, target, sourceX, sourceY, x, y, width, height, &p);
  level = Clamp255(level);
  for (int row = 0; row < p.height; ++row) {
    if (mode == 0) {
      std::memcpy(p.TargetAt(row, 0), p.SourceAt(row, 0), p.width);
      continue;
    }
    ForChunks(p.width, [&](int column, int n) {
      alignas(16) uint8_t a[kChunk];
      ScaleLevels(p.SourceAt(row, column), level, a, n);
      AlphaOverRow(a, p.TargetAt(row, column), n);
    });
  }
  return 0;
}

int BlitTextColor(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target, int x,
                  int y, int width, int height, int sourceWidth, int sourceHeight, int targetWidth,
                  int targetHeight, int mode, int level) {
  if (!IsColor(source)) return KindError(source);
  if (!IsColor(target)) return KindError(target);
  if (!TextPlan(source, target, &sourceX, &sourceY, &x, &y, &width, &height, sourceWidth,
                sourceHeight, targetWidth, targetHeight)) {
    return 0;
  }
  if (mode == 0) return BlitBitmap(source, sourceX, sourceY, target, x, y, width, height);
  return BlitBitmapAlpha(source, nullptr, sourceX, sourceY, target, x, y, width, height, level);
}

int ScaleAlpha(const BitmapHandle* source, BitmapHandle* target, int height, int level) {
  if (!source || source->kind != kKindAlpha) return KindError(source);
  if (!target || target->kind != kKindAlpha) return KindError(target);
  PixelView s, t;
  if (!ViewOf(source, &s) || !ViewOf(target, &t)) return kErrLockBitmap;
  int rows = std::min({height, s.height, t.height});
  int columns = std::min(s.width, t.width);
  level = Clamp255(level);
  for (int row = 0; row < rows; ++row) ScaleLevels(RowOf(s, row), level, RowOf(t, row), columns);
  return 0;
}

int TintBitmap(BitmapHandle* bitmap, int x, int y, int width, int height, uint32_t color,
               int level) {
  PixelView v;
  if (!IsColor(bitmap) || !ViewOf(bitmap, &v)) return kErrLockBitmap;
  if (!ClipRect(&x, &y, &width, &height, 0, 0, v.width, v.height)) return 0;
  level = Clamp255(level);
  for (int row = 0; row < height; ++row) {
    ForChunks(width, [&](int column, int n) {
      alignas(16) uint32_t argb[kChunk];
      uint8_t* pixels = RowOf(v, y + row) + (x + column) * v.bytesPerPixel;
      RowToArgb(pixels, v.format, argb, n);
      for (int i = 0; i < n; ++i) {
        uint32_t c = argb[i];
        argb[i] =
            (c & 0xFF000000) | MixRgb(static_cast<int32_t>(c), static_cast<int32_t>(color), level);
      }
      RowFromArgb(argb, pixels, v.format, n);
    });
  }
  return 0;
}

}  // namespace tzx::graphics
