#include "output.h"

#include <algorithm>
#include <cstring>

#include "bindings.h"
#include "bitmaps.h"
#include "blits.h"
#include "graphics_state.h"
#include "pixel_formats.h"
#include "pixels/pens.h"
#include "placement.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"
#include "tzx/siblings/anim.h"
#include "tzx/siblings/bgpic.h"

namespace tzx::graphics {

namespace {

BitmapHandle* PlaneOf(const OutputRecord* output) {
  switch (output->kind) {
    case kOutputMask:
      return output->mask;
    case kOutputAlpha:
      return output->alpha;
    default:
      return output->color;
  }
}

int FillCurrent(OutputRecord* output, int x, int y, int width, int height, uint32_t color) {
  DrawTarget target{output, PlaneOf(output), {}};
  if (!target.bitmap) return kErrNoOutput;
  if (!ClipRect(&x, &y, &width, &height, 0, 0, target.bitmap->width, target.bitmap->height)) {
    return 0;
  }
  if (target.bitmap->kind == kKindIndex) {
    int pen = MapColorToPen(color);
    if (pen >= 0) color = static_cast<uint32_t>(pen);
  }
  if (int rc = FillBitmapRect(target.bitmap, x, y, width, height, color)) return rc;
  OutputChanged(target, x, y, width, height);
  return 0;
}

}  // namespace

int PenCount(const OutputRecord* output) {
  return output && output->palette && output->paletteDepth > 0 && output->paletteDepth <= 8
             ? 1 << output->paletteDepth
             : 0;
}

int CurrentDrawTarget(DrawTarget* target) {
  OutputRecord* output = gCurrentOutput;
  if (!output) return kErrNoOutput;
  if (output->kind == kOutputDisplay && !gBound.display) {
    return ErrorWithString(kErrSiblingAbsent, "display");
  }
  BitmapHandle* bitmap = PlaneOf(output);
  if (!bitmap) return kErrNoOutput;
  Rect bounds{0, 0, bitmap->width, bitmap->height};
  if (output->clip.width > 0 && output->clip.height > 0) {
    Rect c = output->clip;
    if (!IntersectRect(bounds.x, bounds.y, bounds.width, bounds.height, c.x, c.y, c.width, c.height,
                       &bounds.x, &bounds.y, &bounds.width, &bounds.height)) {
      bounds = {0, 0, 0, 0};
    }
  }
  *target = {output, bitmap, bounds};
  return 0;
}

void OutputChanged(const DrawTarget& target, int x, int y, int width, int height) {
  const OutputOps* ops = target.output->ops;
  if (ops && ops->changed && width > 0 && height > 0) {
    ops->changed(target.output, x, y, width, height);
  }
}

int NotifyObjectLibraries(int argument) {
  int first = 0;
  auto note = [&first](int rc) {
    if (!first) first = rc;
  };
  if (auto* brush = gBound.brush; brush && brush->RebuildBrushes) {
    note(brush->RebuildBrushes(0, 1));
  }
  if (auto* bgpic = gBound.bgpic; bgpic && bgpic->rebuild) {
    note(bgpic->rebuild(argument));
  }
  if (auto* anim = gBound.anim; anim && anim->rebuild) {
    note(anim->rebuild());
  }
  if (auto* sprite = gBound.sprite; sprite && sprite->rebuild) {
    note(sprite->rebuild());
  }
  return first;
}

int DrawColoredMask(const BitmapHandle* source, int sourceX, int sourceY, int x, int y, int width,
                    int height, uint32_t color, int pen, int level) {
  DrawTarget target;
  if (int rc = CurrentDrawTarget(&target)) return rc;
  PixelView sourceView;
  if (!ViewOf(source, &sourceView) || source->kind == kKindColor) return kErrRange;
  if (!ClipCopy(&sourceX, &sourceY, &x, &y, &width, &height, sourceView.width, sourceView.height,
                target.bounds.x, target.bounds.y, target.bounds.x + target.bounds.width,
                target.bounds.y + target.bounds.height)) {
    return 0;
  }
  // Palette targets take a pen; -1 is the current draw pen.
  if (target.bitmap->kind == kKindIndex) {
    color = static_cast<uint32_t>(pen >= 0 ? pen : SharedState().drawStyle.drawPen);
  }
  int rc;
  if (source->kind == kKindAlpha) {
    rc = FillAlphaRect(source, sourceX, sourceY, target.bitmap, x, y, width, height, color, level);
  } else if (source->kind == kKindMask && level >= 255) {
    rc = FillMaskRect(source, sourceX, sourceY, target.bitmap, x, y, width, height, color);
  } else {
    // Masks at a level and index sources become a coverage plane first.
    BitmapHandle* coverage = AllocAlpha(width, height, 0, nullptr, 0);
    PixelView cv;
    if (!coverage || !ViewOf(coverage, &cv)) {
      FreeBitmap(coverage);
      return kErrAllocAlpha;
    }
    for (int row = 0; row < height; ++row) {
      const uint8_t* s = RowOf(sourceView, sourceY + row);
      uint8_t* c = RowOf(cv, row);
      for (int i = 0; i < width; ++i) {
        bool on = source->kind == kKindMask ? MaskBit(s, sourceX + i) : s[sourceX + i] != 0;
        c[i] = on ? 255 : 0;
      }
    }
    rc = FillAlphaRect(coverage, 0, 0, target.bitmap, x, y, width, height, color, level);
    FreeBitmap(coverage);
  }
  if (rc == 0) OutputChanged(target, x, y, width, height);
  return rc;
}

int CreateBitmapFromTarget(int x, int y, int width, int height, BitmapHandle** out) {
  OutputRecord* output = gCurrentOutput;
  if (!output || !output->color) return kErrNoOutput;
  BitmapHandle* copy = AllocBitmap(width, height, 0, nullptr);
  if (!copy) return kErrAllocBitmap;
  // Parts outside the output stay black.
  int rc = output->color->kind == kKindColor
               ? BlitBitmap(output->color, x, y, copy, 0, 0, width, height)
               : kErrRange;
  if (rc) {
    FreeBitmap(copy);
    return rc;
  }
  *out = copy;
  return 0;
}

int ClearRect(int x, int y, int width, int height, uint32_t color) {
  if (!gCurrentDisplay) return kErrNoOutput;
  return FillCurrent(gCurrentDisplay, x, y, width, height, color);
}

int ClearRectCurrent(int x, int y, int width, int height, uint32_t color) {
  DrawTarget target;
  if (int rc = CurrentDrawTarget(&target)) return rc;
  return FillCurrent(target.output, x, y, width, height, color);
}

int UsesPenRange(int pen) {
  int count = PenCount(gCurrentOutput);
  return count == 0 || (pen >= 0 && pen < count);
}

int MapColorToPen(uint32_t color) {
  const OutputRecord* output = gCurrentOutput;
  int count = PenCount(output);
  if (!count) return -1;
  // The palette library's pen mode: colours are not matched, the draw pen is
  // used.
  const auto* palette = gBound.palette;
  if (palette && palette->mode && *palette->mode == kPaletteModePen) {
    return SharedState().drawStyle.drawPen;
  }
  return pixels::NearestPen(color, output->palette, count);
}

int FindNearestPen(uint32_t color, const uint32_t* palette, int depth) {
  if (!palette || depth < 1 || depth > 8) return -1;
  return pixels::NearestPen(color, palette, 1 << depth);
}

int GetDefaultPalette(uint32_t* out) {
  const OutputRecord* output = gCurrentOutput;
  int count = PenCount(output);
  std::memset(out, 0, 256 * sizeof(uint32_t));
  if (!count) return 0;
  std::memcpy(out, output->palette, count * sizeof(uint32_t));
  return output->paletteDepth;
}

int PenMatches(int pen, uint32_t color) {
  const OutputRecord* output = gCurrentOutput;
  int count = PenCount(output);
  return pen >= 0 && pen < count && (output->palette[pen] & 0xFFFFFF) == (color & 0xFFFFFF);
}

int DepthForColorCount(int count) {
  return pixels::DepthForColors(count);
}

int FormatBytesPerPixel(int format) {
  return FormatBytes(format);
}

int FormatDepth(int format) {
  return FormatDepthBits(format);
}

uint32_t ConvertPixel(uint32_t pixel, int format, int keepAlpha) {
  return RawToColor(pixel, format, keepAlpha != 0);
}

}  // namespace tzx::graphics
