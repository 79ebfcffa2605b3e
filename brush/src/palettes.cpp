#include "palettes.h"

#include <algorithm>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

constexpr int kChunk = 256;

}  // namespace

int OperateOnPens(lua_State* L, BrushRecord* b, const ObjectId& id, int32_t operation,
                  PaletteOperationArgs* args, bool change) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint8_t* pens = nullptr;
  int bytesPerRow = 0;
  if (!g.GetBitmapPixels(b->chunky, &pens, &bytesPerRow, change)) return kErrLockBitmap;
  PaletteTarget target{b->palette, b->depth,  b->transparentPen, pens,
                       b->width,   b->height, bytesPerRow};
  const int rc = gBound.palette->operate(L, kTypeBrush, &id, &target, operation, args);
  g.ReleaseBitmapPixels(b->chunky);
  if (rc == 0) {
    b->depth = target.depth;
    b->transparentPen = target.transparentPen;
  }
  return rc;
}

int PensToTrueColor(const BitmapHandle* pens, const uint32_t* palette, int transparentPen,
                    BitmapHandle** color, BitmapHandle** mask) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint8_t* source = nullptr;
  int sourceRow = 0;
  auto* plane = const_cast<BitmapHandle*>(pens);
  if (!g.GetBitmapPixels(plane, &source, &sourceRow, 0)) return kErrLockBitmap;
  const int width = pens->width, height = pens->height;
  const bool keyed = transparentPen >= 0 && transparentPen < kPaletteEntries;
  BitmapHandle* c = g.AllocBitmap(width, height, 0, nullptr);
  BitmapHandle* m = keyed && c ? g.AllocMask(nullptr, width, height, 0, nullptr, 0) : nullptr;
  graphics::LockRecord lock{};
  uint8_t* bits = nullptr;
  int bitsRow = 0;
  int rc = !c                                               ? kErrAllocBitmap
           : keyed && !m                                    ? kErrAllocMask
           : !g.LockBitmap(c, 0, &lock)                     ? kErrLockBitmap
           : m && !g.GetBitmapPixels(m, &bits, &bitsRow, 1) ? kErrLockBitmap
                                                            : 0;
  if (rc == 0) {
    uint32_t argb[kChunk];
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = source + static_cast<ptrdiff_t>(y) * sourceRow;
      uint8_t* target = lock.pixels + static_cast<ptrdiff_t>(y) * lock.bytesPerRow;
      for (int x = 0; x < width; x += kChunk) {
        const int n = std::min(kChunk, width - x);
        for (int i = 0; i < n; ++i) argb[i] = palette[row[x + i]] & 0xFFFFFF;
        g.ConvertRowFromARGB(argb, target + x * lock.bytesPerPixel, lock.format, n);
      }
      if (bits) {
        uint8_t* maskRow = bits + static_cast<ptrdiff_t>(y) * bitsRow;
        for (int x = 0; x < width; ++x) graphics::SetMaskBit(maskRow, x, row[x] != transparentPen);
      }
    }
    g.UnlockBitmap(&lock);
    if (m) g.ReleaseBitmapPixels(m);
  }
  g.ReleaseBitmapPixels(plane);
  if (rc) {
    g.FreeBitmapSet(&c, &m, nullptr);
    return rc;
  }
  *color = c;
  *mask = m;
  return 0;
}

int BuildPalette(lua_State* L, const ObjectId* id, int depth, int transparentPen,
                 PaletteTarget* target) {
  const PaletteSibling* palette = gBound.palette;
  if (!palette) return ErrorWithString(kErrSiblingAbsent, "palette");
  const ObjectId defaultPalette{kDefaultPaletteId, nullptr};
  return palette->buildPalette(L, id ? id : &defaultPalette, depth, transparentPen, target);
}

int RemovePalette(BrushRecord* b, bool keepTransparency) {
  BitmapHandle* color = nullptr;
  BitmapHandle* mask = nullptr;
  if (int rc = PensToTrueColor(b->chunky, b->palette, keepTransparency ? b->transparentPen : kNoPen,
                               &color, &mask)) {
    return rc;
  }
  gBound.graphics->FreeBitmapSet(&b->chunky, &b->paletteView, nullptr);
  HostFree(b->palette);
  b->palette = nullptr;
  b->bitmap = color;
  b->mask = mask;
  b->transparentPen = mask ? kMaskWithoutKey : kNoPen;
  b->depth = 0;
  UpdateTrueColorDepth(b);
  return 0;
}

}  // namespace tzx::brush
