// Brush fonts: the grid is copied out of the brush once, so the font lives on
// whatever happens to the brush.
#include "brush_fonts.h"

#include <cstring>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

// A palette brush's pens through its palette; the transparent pen is clear.
uint32_t* PensToArgb(const graphics::BrushRecordHead& b, int width, int height) {
  graphics::LockRecord lock;
  if (!b.palette || !gBound.graphics->LockBitmap(b.chunky, graphics::kLockReadOnly, &lock))
    return nullptr;
  auto* out = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(width) * height * 4, false));
  if (out) {
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = lock.pixels + static_cast<ptrdiff_t>(y) * lock.bytesPerRow;
      for (int x = 0; x < width; ++x) {
        const uint8_t pen = row[x];
        out[y * width + x] =
            pen == b.transparentPen ? 0 : 0xFF000000u | (b.palette[pen] & 0xFFFFFF);
      }
    }
  }
  gBound.graphics->UnlockBitmap(&lock);
  return out;
}

}  // namespace

int BuildBrushFont(const graphics::BrushRecordHead& brush, const BrushFontRequest& r,
                   FontRecord** out) {
  const int rows = (r.count + r.perRow - 1) / r.perRow;
  const int64_t needWidth = static_cast<int64_t>(r.perRow) * r.cellWidth +
                            static_cast<int64_t>(r.perRow - 1) * r.colSpacing;
  const int64_t needHeight =
      static_cast<int64_t>(rows) * r.cellHeight + static_cast<int64_t>(rows - 1) * r.rowSpacing;
  if (needWidth > brush.width || needHeight > brush.height) return kErrBrushTooSmall;
  const int width = static_cast<int>(needWidth), height = static_cast<int>(needHeight);
  auto* font = AllocRecord<FontRecord>();
  auto* data = AllocRecord<BrushFontData>();
  uint32_t* pixels = brush.bitmap ? gBound.graphics->BitmapToARGBArray(
                                        brush.bitmap, brush.mask, brush.alpha, 0, 0, width, height)
                                  : PensToArgb(brush, width, height);
  if (!font || !data || !pixels) {
    HostFree(font);
    HostFree(data);
    HostFree(pixels);
    return kErrNoMemory;
  }
  // A brush without mask or alpha is opaque throughout.
  if (brush.bitmap && !brush.mask && !brush.alpha)
    for (int i = 0; i < width * height; ++i) pixels[i] |= 0xFF000000u;
  data->pixels = pixels;
  data->gridWidth = width;
  data->gridHeight = height;
  data->cellWidth = r.cellWidth;
  data->cellHeight = r.cellHeight;
  data->perRow = r.perRow;
  data->colSpacing = r.colSpacing;
  data->rowSpacing = r.rowSpacing;
  data->count = r.count;
  for (int i = 0; i < r.count; ++i) {
    data->characters[i] = static_cast<uint8_t>(r.characters[i]);
    data->widths[i] = r.widths ? r.widths[i] : r.cellWidth;
  }
  font->kind = kFontBrush;
  font->size = font->height = font->baseHeight = r.cellHeight;
  font->ascender = font->baseAscender = r.ascender;
  font->scaleX = font->scaleY = 1.0;
  font->pluginDepth = 32;
  font->pluginTransparentPen = brush.bitmap ? -1 : brush.transparentPen;
  font->engine = kNativeEngine;
  Host().runtime->strlcpy(font->name, sizeof font->name, r.name);
  Host().runtime->strlcpy(font->format, sizeof font->format, "Brush");
  font->engineData = data;
  *out = font;
  return 0;
}

void FreeBrushFont(FontRecord* font) {
  if (!font) return;
  if (auto* d = static_cast<BrushFontData*>(font->engineData)) {
    HostFree(d->pixels);
    HostFree(d);
  }
  HostFree(font);
}

int BrushFontCell(const BrushFontData& f, uint32_t code) {
  for (int i = 0; i < f.count; ++i)
    if (f.characters[i] == code) return i;
  return -1;
}

}  // namespace tzx::text
