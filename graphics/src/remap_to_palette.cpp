// The quantiser on bitmap planes: interface slots 58 and 59.
#include "bitmaps.h"
#include "pixel_formats.h"
#include "quantize.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {
namespace {

// The planes a remap reads and writes, locked for its duration.
struct LockedPlanes {
  LockRecord source{}, mask{}, alpha{}, index{};
  ~LockedPlanes() {
    UnlockBitmap(&source);
    UnlockBitmap(&mask);
    UnlockBitmap(&alpha);
    UnlockBitmap(&index);
  }
};

bool SameSize(const BitmapHandle* plane, int width, int height) {
  return !plane || (plane->width >= width && plane->height >= height);
}

}  // namespace

int DitherToPalette(QuantizeRequest* request) {
  Quantize(*request);
  return request->success ? 0 : kErrNoMemory;
}

int RemapToPalette(RemapRequest* q) {
  BitmapHandle* source = q->color ? q->color : q->index;
  if (!source || !q->palette || q->colors < 1 || q->colors > 256) return kErrRange;
  if (!q->color && !q->sourcePalette) return kErrRange;
  const int width = source->width, height = source->height;
  if (width < 1 || height < 1 || !SameSize(q->mask, width, height) ||
      !SameSize(q->alpha, width, height)) {
    return kErrRange;
  }
  BitmapHandle* index = AllocIndexBitmap(width, height, 0);
  if (!index) return kErrAllocIndexBitmap;
  int rc = 0;
  {
    LockedPlanes locked;
    if (!LockBitmap(source, 0, &locked.source) || !LockBitmap(index, 0, &locked.index) ||
        (q->mask && !LockBitmap(q->mask, 0, &locked.mask)) ||
        (q->alpha && !LockBitmap(q->alpha, 0, &locked.alpha))) {
      rc = kErrLockBitmap;
    } else {
      QuantizeRequest r;
      r.source = locked.source.pixels;
      r.sourceFormat = q->color ? locked.source.format : kFormatByte;
      r.sourceBytesPerRow = locked.source.bytesPerRow;
      r.sourcePalette = q->color ? nullptr : q->sourcePalette;
      r.sourceTransparentPen = q->color ? -1 : q->sourceTransparentPen;
      r.mask = locked.mask.pixels;
      r.maskBytesPerRow = locked.mask.bytesPerRow;
      r.alpha = locked.alpha.pixels;
      r.alphaBytesPerRow = locked.alpha.bytesPerRow;
      r.index = locked.index.pixels;
      r.indexBytesPerRow = locked.index.bytesPerRow;
      r.width = width;
      r.height = height;
      r.palette = q->palette;
      r.colors = q->colors;
      r.transparentColor = q->transparentColor;
      r.dither = q->flags & kRemapDither;
      r.remap = q->flags & kRemapOntoPalette;
      r.reserveEntry = q->flags & kRemapReserveEntry;
      r.noTransparency = q->flags & kRemapNoTransparency;
      r.keepTransparentPen = q->flags & kRemapKeepTransparentPen;
      rc = DitherToPalette(&r);
      q->colors = r.colors;
      q->transparentPen = r.transparentPen;
    }
  }
  if (rc) {
    FreeBitmap(index);
    return rc;
  }
  MarkBitmapChanged(index);
  q->result = index;
  return 0;
}

int ReduceColors(BitmapHandle* color, int colors, bool dither) {
  if (!color || color->kind != kKindColor) return kErrRange;
  uint32_t palette[256];
  RemapRequest q{};
  q.color = color;
  q.palette = palette;
  q.colors = colors;
  q.transparentColor = -1;
  q.flags = kRemapNoTransparency | (dither ? kRemapDither : 0);
  if (int rc = RemapToPalette(&q)) return rc;
  LockRecord pixels{}, pens{};
  int rc = 0;
  uint32_t* row = static_cast<uint32_t*>(HostAlloc(sizeof(uint32_t) * color->width, false));
  if (!row) {
    rc = kErrNoMemory;
  } else if (!LockBitmap(color, 0, &pixels) || !LockBitmap(q.result, 0, &pens)) {
    rc = kErrLockBitmap;
  } else {
    for (int y = 0; y < color->height; ++y) {
      uint8_t* target = pixels.pixels + static_cast<ptrdiff_t>(y) * pixels.bytesPerRow;
      const uint8_t* pen = pens.pixels + static_cast<ptrdiff_t>(y) * pens.bytesPerRow;
      RowToArgb(target, pixels.format, row, color->width);
      for (int x = 0; x < color->width; ++x) row[x] = (row[x] & 0xFF000000u) | palette[pen[x]];
      RowFromArgb(row, target, pixels.format, color->width);
    }
    MarkBitmapChanged(color);
  }
  UnlockBitmap(&pixels);
  UnlockBitmap(&pens);
  HostFree(row);
  FreeBitmap(q.result);
  return rc;
}

}  // namespace tzx::graphics
