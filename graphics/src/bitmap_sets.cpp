#include "bitmap_sets.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "bitmaps.h"
#include "blits.h"
#include "pixel_formats.h"
#include "placement.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

constexpr uint32_t kNoColor = 0xFFFFFFFF;
constexpr size_t kPaletteBytes = 256 * 4;

void ReverseBytes(uint8_t* row, int count, int bytes) {
  for (int i = 0, j = count - 1; i < j; ++i, --j) {
    uint8_t t[4];
    std::memcpy(t, row + i * bytes, bytes);
    std::memcpy(row + i * bytes, row + j * bytes, bytes);
    std::memcpy(row + j * bytes, t, bytes);
  }
}

void ReverseBits(uint8_t* row, int count) {
  for (int i = 0, j = count - 1; i < j; ++i, --j) {
    bool a = MaskBit(row, i), b = MaskBit(row, j);
    SetMaskBit(row, i, b);
    SetMaskBit(row, j, a);
  }
}

int FlipPlane(BitmapHandle* bitmap, bool horizontal) {
  if (!bitmap) return 0;
  PixelView v;
  if (!ViewOf(bitmap, &v)) return kErrLockBitmap;
  if (horizontal) {
    for (int y = 0; y < v.height; ++y) {
      if (v.kind == kKindMask) {
        ReverseBits(RowOf(v, y), v.width);
      } else {
        ReverseBytes(RowOf(v, y), v.width, v.bytesPerPixel);
      }
    }
    return 0;
  }
  // Rows swap whole; a mask row's bytes hold only its own bits.
  size_t rowBytes = v.kind == kKindMask ? static_cast<size_t>(v.bytesPerRow)
                                        : static_cast<size_t>(v.width) * v.bytesPerPixel;
  for (int top = 0, bottom = v.height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(RowOf(v, top), RowOf(v, top) + rowBytes, RowOf(v, bottom));
  }
  return 0;
}

// Reads one 0xAARRGGBB pixel's alpha from the planes.
uint32_t AlphaAt(const PixelView* alpha, const PixelView* mask, int x, int y, uint32_t own) {
  if (alpha) return uint32_t{RowOf(*alpha, y)[x]} << 24;
  if (mask) return MaskBit(RowOf(*mask, y), x) ? 0xFF000000 : 0;
  return own & 0xFF000000;
}

// Makes the colour bitmap of ConvertBitmapSet; `adopted` tells that it took
// the pixels over and needs no copy.
BitmapHandle* ColorBitmapFor(const uint32_t* pixels, int width, int height, int rowLength,
                             bool take, bool* adopted) {
  *adopted = false;
  if (take && rowLength == ColorRowPixels(width)) {
    ColorStore store{.width = width,
                     .height = height,
                     .pixels = reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(pixels)),
                     .bytesPerRow = rowLength * 4,
                     .bytesPerPixel = 4,
                     .format = kFormatArgb32,
                     .borrowed = 0};
    // Refused when new bitmaps take the output's format.
    if (BitmapHandle* c = AllocBitmap(width, height, kAllocAdopt, &store)) {
      *adopted = true;
      return c;
    }
  }
  return AllocBitmap(width, height, 0, nullptr);
}

// Frees a bitmap that adopted the caller's pixels without them.
void ReleaseUnadopted(BitmapHandle* c, bool adopted) {
  if (adopted && c) static_cast<ColorStore*>(c->data)->borrowed = 1;
  FreeBitmap(c);
}

}  // namespace

BitmapHandle* AllocLike(const BitmapHandle* model, int width, int height) {
  PixelView v;
  if (!ViewOf(model, &v)) return nullptr;
  switch (model->kind) {
    case kKindColor:
      return AllocBitmapOfFormat(width, height, v.format);
    case kKindAlpha:
      return AllocAlpha(width, height, 0, nullptr, 0);
    case kKindMask:
      return AllocMask(nullptr, width, height, 0, nullptr, 0);
    default:
      return AllocIndexBitmap(width, height, 1);
  }
}

int ConvertBitmapSet(const uint32_t* pixels, uint32_t transparentColor, int width, int height,
                     int rowLength, int hardware, uint32_t flags, void*, BitmapHandle** color,
                     BitmapHandle** mask, BitmapHandle** alpha) {
  if (!pixels || !color || width < 1 || height < 1) return kErrRange;
  if (rowLength <= 0) rowLength = width;
  if (rowLength < width) return kErrRange;
  const bool take = (flags & kConvertTakePixels) != 0;
  bool wantMask = mask && transparentColor != kNoColor;
  bool wantAlpha = alpha && ((flags & kConvertAlphaFromTopByte) ||
                             (hardware && (flags & kConvertHardwareAlpha)));
  bool adopted = false;
  BitmapHandle* c = ColorBitmapFor(pixels, width, height, rowLength, take, &adopted);
  BitmapHandle* m = wantMask ? AllocMask(nullptr, width, height, 0, nullptr, 0) : nullptr;
  BitmapHandle* a = wantAlpha ? AllocAlpha(width, height, 0, nullptr, 0) : nullptr;
  int rc = !c                  ? kErrAllocBitmap
           : (wantMask && !m)  ? kErrAllocMask
           : (wantAlpha && !a) ? kErrAllocAlpha
                               : 0;
  if (rc) {
    ReleaseUnadopted(c, adopted);
    FreeBitmapSet(nullptr, &m, &a);
    return rc;
  }
  PixelView cv, mv, av;
  ViewOf(c, &cv);
  if (m) ViewOf(m, &mv);
  if (a) ViewOf(a, &av);
  uint32_t key = transparentColor & 0xFFFFFF;
  for (int y = 0; y < height; ++y) {
    const uint32_t* source = pixels + static_cast<ptrdiff_t>(y) * rowLength;
    if (!adopted) RowFromArgb(source, RowOf(cv, y), cv.format, width);
    if (m) {
      uint8_t* maskRow = RowOf(mv, y);
      for (int x = 0; x < width; ++x) SetMaskBit(maskRow, x, (source[x] & 0xFFFFFF) != key);
    }
    if (a) {
      uint8_t* alphaRow = RowOf(av, y);
      for (int x = 0; x < width; ++x) alphaRow[x] = static_cast<uint8_t>(source[x] >> 24);
    }
  }
  if (take && !adopted) HostFree(const_cast<uint32_t*>(pixels));
  *color = c;
  if (mask) *mask = m;
  if (alpha) *alpha = a;
  return 0;
}

int CropBitmapSet(const BitmapHandle* color, const BitmapHandle* mask, const BitmapHandle* alpha,
                  const BitmapHandle* index, const uint32_t* palette, int x, int y, int width,
                  int height, BitmapHandle** outColor, BitmapHandle** outMask,
                  BitmapHandle** outAlpha, BitmapHandle** outIndex, uint32_t** outPalette) {
  const BitmapHandle* model = color ? color : index;
  if (!model) return kErrRange;
  if (width == 0) width = model->width;
  if (height == 0) height = model->height;
  if (!ClipRect(&x, &y, &width, &height, 0, 0, model->width, model->height)) return kErrRange;

  const BitmapHandle* sources[4] = {color, mask, alpha, index};
  BitmapHandle* made[4] = {};
  constexpr int kErrors[4] = {kErrAllocBitmap, kErrAllocMask, kErrAllocAlpha, kErrAllocIndexBitmap};
  uint32_t* paletteCopy = nullptr;
  int rc = 0;
  for (int i = 0; i < 4 && !rc; ++i) {
    if (!sources[i]) continue;
    made[i] = AllocLike(sources[i], width, height);
    if (!made[i]) {
      rc = kErrors[i];
    } else {
      rc = CopyBitmapPixels(sources[i], x, y, made[i], 0, 0, width, height);
    }
  }
  if (!rc && palette && outPalette) {
    paletteCopy = static_cast<uint32_t*>(HostAlloc(kPaletteBytes, false));
    if (paletteCopy) {
      std::memcpy(paletteCopy, palette, kPaletteBytes);
    } else {
      rc = kErrNoMemory;
    }
  }
  if (rc) {
    for (BitmapHandle* b : made) FreeBitmap(b);
    HostFree(paletteCopy);
    return rc;
  }
  BitmapHandle** outs[4] = {outColor, outMask, outAlpha, outIndex};
  for (int i = 0; i < 4; ++i) {
    if (outs[i]) {
      *outs[i] = made[i];
    } else {
      FreeBitmap(made[i]);
    }
  }
  if (outPalette) *outPalette = paletteCopy;
  return 0;
}

int FlipBitmapSet(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* alpha, BitmapHandle* index,
                  int horizontal) {
  for (BitmapHandle* plane : {color, mask, alpha, index}) {
    if (int rc = FlipPlane(plane, horizontal != 0)) return rc;
  }
  return 0;
}

uint32_t* BitmapToARGBArray(const BitmapHandle* color, const BitmapHandle* mask,
                            const BitmapHandle* alpha, int x, int y, int width, int height) {
  PixelView cv;
  if (!ViewOf(color, &cv) || color->kind != kKindColor || width < 1 || height < 1) return nullptr;
  auto* pixels = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(width) * height * 4));
  if (!pixels) return nullptr;
  if (CopyRGBArray(pixels, width, const_cast<BitmapHandle*>(color), const_cast<BitmapHandle*>(mask),
                   const_cast<BitmapHandle*>(alpha), x, y, width, height, 0) != 0) {
    HostFree(pixels);
    return nullptr;
  }
  return pixels;
}

int CopyRGBArray(uint32_t* pixels, int rowLength, BitmapHandle* color, BitmapHandle* mask,
                 BitmapHandle* alpha, int x, int y, int width, int height, int toBitmaps) {
  PixelView cv, mv, av;
  if (!pixels || !ViewOf(color, &cv) || color->kind != kKindColor) return kErrLockBitmap;
  bool hasMask = mask && mask->kind == kKindMask && ViewOf(mask, &mv);
  bool hasAlpha = alpha && alpha->kind == kKindAlpha && ViewOf(alpha, &av);
  if (rowLength < width) return kErrRange;
  // Array position (0, 0) is bitmap position (x, y); only the part inside the
  // bitmap (and its planes) is touched.
  int cx = x, cy = y, cw = width, ch = height;
  int right = cv.width, bottom = cv.height;
  if (hasMask) {
    right = std::min(right, mv.width);
    bottom = std::min(bottom, mv.height);
  }
  if (hasAlpha) {
    right = std::min(right, av.width);
    bottom = std::min(bottom, av.height);
  }
  if (!ClipRect(&cx, &cy, &cw, &ch, 0, 0, right, bottom)) return 0;
  for (int row = 0; row < ch; ++row) {
    int by = cy + row;
    uint32_t* line = pixels + static_cast<ptrdiff_t>(by - y) * rowLength + (cx - x);
    uint8_t* bitmapRow = RowOf(cv, by) + cx * cv.bytesPerPixel;
    if (toBitmaps) {
      RowFromArgb(line, bitmapRow, cv.format, cw);
      for (int i = 0; i < cw; ++i) {
        if (hasAlpha) RowOf(av, by)[cx + i] = static_cast<uint8_t>(line[i] >> 24);
        if (hasMask) SetMaskBit(RowOf(mv, by), cx + i, (line[i] >> 24) != 0);
      }
    } else {
      RowToArgb(bitmapRow, cv.format, line, cw);
      if (hasAlpha || hasMask) {
        for (int i = 0; i < cw; ++i) {
          line[i] = (line[i] & 0xFFFFFF) |
                    AlphaAt(hasAlpha ? &av : nullptr, hasMask ? &mv : nullptr, cx + i, by, line[i]);
        }
      }
    }
  }
  return 0;
}

BitmapHandle* CreateAlphaFromMask(const BitmapHandle* mask) {
  PixelView mv;
  if (!mask || mask->kind != kKindMask || !ViewOf(mask, &mv)) return nullptr;
  BitmapHandle* alpha = AllocAlpha(mv.width, mv.height, 0, nullptr, 0);
  PixelView av;
  if (!alpha || !ViewOf(alpha, &av)) return alpha;
  for (int y = 0; y < mv.height; ++y) {
    const uint8_t* bits = RowOf(mv, y);
    uint8_t* levels = RowOf(av, y);
    for (int x = 0; x < mv.width; ++x) levels[x] = MaskBit(bits, x) ? 255 : 0;
  }
  return alpha;
}

BitmapHandle* CopyBitmapRect(const BitmapHandle* source, int x, int y, int width, int height) {
  if (!source || !ClipRect(&x, &y, &width, &height, 0, 0, source->width, source->height)) {
    return nullptr;
  }
  BitmapHandle* copy = AllocLike(source, width, height);
  if (copy && CopyBitmapPixels(source, x, y, copy, 0, 0, width, height) != 0) {
    FreeBitmap(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace tzx::graphics
