#include "quantize.h"

#include <cstring>
#include <utility>

#include "bindings.h"
#include "pixels/pens.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {
namespace {

// Exchanges pens a and b in the pen plane and the palette.
void SwapPens(BitmapHandle* pens, uint32_t* palette, int a, int b) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint8_t* pixels = nullptr;
  int bytesPerRow = 0;
  if (!g.GetBitmapPixels(pens, &pixels, &bytesPerRow, 1)) return;
  for (int y = 0; y < pens->height; ++y) {
    uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * bytesPerRow;
    for (int x = 0; x < pens->width; ++x) {
      if (row[x] == a) {
        row[x] = static_cast<uint8_t>(b);
      } else if (row[x] == b) {
        row[x] = static_cast<uint8_t>(a);
      }
    }
  }
  g.ReleaseBitmapPixels(pens);
  std::swap(palette[a], palette[b]);
}

}  // namespace

int QuantizeBrushPlanes(BrushRecord* b, const QuantizeOptions& o) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  auto* palette = static_cast<uint32_t*>(HostAlloc(kPaletteEntries * sizeof(uint32_t), true));
  if (!palette) return kErrNoMemory;
  graphics::RemapRequest q{};
  q.color = b->chunky ? nullptr : b->bitmap;
  q.index = b->chunky;
  q.sourcePalette = b->palette;
  q.sourceTransparentPen = b->chunky ? b->transparentPen : kNoPen;
  q.mask = b->chunky ? nullptr : b->mask;
  q.alpha = b->chunky ? nullptr : b->alpha;
  q.palette = palette;
  q.colors = o.colors;
  q.transparentColor = o.transparentColor;
  q.flags = o.dither ? graphics::kRemapDither : 0;
  // A chosen transparent pen needs an entry even when nothing is hidden.
  if (o.transparentPen >= 0 && !o.onto) q.flags |= graphics::kRemapReserveEntry;
  if (o.onto) {
    std::memcpy(palette, o.onto, kPaletteEntries * sizeof(uint32_t));
    q.flags |= graphics::kRemapOntoPalette;
  }
  if (int rc = g.RemapToPalette(&q)) {
    HostFree(palette);
    return rc;
  }
  int pen = q.transparentPen;
  if (pen >= 0 && o.transparentColor >= 0) palette[pen] = o.transparentColor & 0xFFFFFF;
  const int used = o.transparentPen >= q.colors ? o.transparentPen + 1 : q.colors;
  const int depth = o.depth ? o.depth : pixels::DepthForColors(used);
  if (o.transparentPen >= 0 && pen >= 0 && o.transparentPen != pen) {
    SwapPens(q.result, palette, o.transparentPen, pen);
    pen = o.transparentPen;
  }
  if (!o.onto) {
    for (int i = q.colors; i < kPaletteEntries; ++i) palette[i] = 0;
  }
  g.FreeBitmapSet(&b->bitmap, &b->mask, &b->alpha);
  g.FreeBitmapSet(&b->chunky, &b->paletteView, nullptr);
  HostFree(b->palette);
  b->chunky = q.result;
  b->palette = palette;
  b->depth = depth;
  b->transparentPen = pen;
  return 0;
}

}  // namespace tzx::brush
