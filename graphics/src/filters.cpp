#include "filters.h"

#include "bindings.h"
#include "bitmap_sets.h"
#include "bitmaps.h"
#include "blits.h"
#include "draw_record.h"
#include "quantize.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/siblings.h"

namespace tzx::graphics {

namespace {

// Kinds of the filter table not named in the shared records.
enum : int {
  kBlur = 0,
  kCharcoal = 1,
  kContrast = 2,
  kEdge = 3,
  kEmboss = 4,
  kGamma = 5,
  kGrayscale = 6,
  kInvert = 7,
  kModulate = 8,
  kMonochrome = 9,
  kOilPaint = 10,
  kSepiaTone = 12,
  kSharpen = 13,
  kSolarize = 14,
};

// Filters that read neighbouring pixels or the picture itself: meaningless
// on a palette's entries.
bool NeedsNeighbours(int kind) {
  switch (kind) {
    case kBlur:
    case kCharcoal:
    case kEdge:
    case kEmboss:
    case kMonochrome:
    case kOilPaint:
    case kSepiaTone:
    case kSharpen:
    case kFilterQuantize:
      return true;
    default:
      return false;
  }
}

bool OwnFilter(int kind) {
  return kind == kFilterTint || kind == kFilterXFlip || kind == kFilterYFlip ||
         kind == kFilterQuantize;
}

struct Planes {
  BitmapHandle* color;
  BitmapHandle* mask;
  BitmapHandle* alpha;
  BitmapHandle* index;
  BitmapHandle* pixels;  // the colour bitmap, or the palette's 256 × 1 view
  int width;
  int height;
  bool palette;
};

int RunFilter(const FiltersSibling* f, int kind, const FilterEntry& e, const Planes& p) {
  const int* n = e.ints;
  const float* v = e.floats;
  // Shape planes: a palette picture moves its pens.
  BitmapHandle* color = p.palette ? nullptr : p.color;
  BitmapHandle* mask = p.palette ? nullptr : p.mask;
  BitmapHandle* third = p.palette ? p.index : p.alpha;
  const int w = p.width, h = p.height;
  switch (kind) {
    case kBlur:
      return f->convolve(kConvolveBlur, p.color, p.alpha, w, h, v[0], v[0] / 3.0, 0.0);
    case kCharcoal:
      return f->charcoal(p.color, p.alpha, w, h, v[0], 0.0, 1.0);
    case kContrast:
      return f->contrast(p.pixels, p.pixels->width, p.pixels->height, n[0], n[1], 0);
    case kEdge:
      return f->convolve(kConvolveEdge, p.color, p.alpha, w, h, v[0], 0.0, 0.0);
    case kEmboss:
      return f->convolve(kConvolveEmboss, p.color, p.alpha, w, h, v[0], 0.0, 1.0);
    case kGamma:
      return f->gamma(p.pixels, p.pixels->width, p.pixels->height, v[0], v[1], v[2]);
    case kGrayscale:
      return f->grayscale(p.pixels, p.pixels->width, p.pixels->height, 0, 0);
    case kInvert:
      return f->invert(p.pixels, p.pixels->width, p.pixels->height, 0);
    case kModulate:
      return f->modulate(p.pixels, p.pixels->width, p.pixels->height, v[0], v[1], v[2]);
    case kMonochrome:
      return f->monochrome(p.color, w, h, n[0]);
    case kOilPaint:
      return f->oilPaint(p.color, w, h, v[0]);
    case kFilterPixelate:
      return f->pixelate(color, mask, third, w, h, n[0]);
    case kSepiaTone:
      return f->sepia(p.color, w, h, n[0]);
    case kSharpen:
      return f->convolve(kConvolveSharpen, p.color, p.alpha, w, h, v[0], 0.0, 1.0);
    case kSolarize:
      return f->solarize(p.pixels, p.pixels->width, p.pixels->height, n[0]);
    case kFilterSwirl:
      return f->swirl(color, mask, third, w, h, n[0]);
    case kFilterWaterRipple:
      return f->waterRipple(color, mask, third, w, h, n[0], n[1], n[2], v[0], v[1]);
    default:
      return kErrRange;
  }
}

int RunOwnFilter(int kind, const FilterEntry& e, const Planes& p) {
  switch (kind) {
    case kFilterTint:
      return TintBitmap(p.pixels, 0, 0, p.pixels->width, p.pixels->height,
                        static_cast<uint32_t>(e.ints[0]), e.ints[1]);
    case kFilterXFlip:
    case kFilterYFlip:
      return FlipBitmapSet(p.color, p.mask, p.alpha, p.index, kind == kFilterXFlip);
    case kFilterQuantize:
      return ReduceColors(p.color, e.ints[0], e.ints[1] != 0);
    default:
      return kErrRange;
  }
}

}  // namespace

int ApplyFilters(lua_State*, const FilterEntry* entries, BitmapHandle** color, BitmapHandle** mask,
                 BitmapHandle** alpha, BitmapHandle** index, uint32_t* palette, int width,
                 int height, int geometryOnly) {
  Planes p{};
  p.color = color ? *color : nullptr;
  p.mask = mask ? *mask : nullptr;
  p.alpha = alpha ? *alpha : nullptr;
  p.index = index ? *index : nullptr;
  p.palette = palette && p.index;
  p.pixels = p.color;
  p.width = width;
  p.height = height;
  if (!p.palette && !p.color) return kErrRange;

  // Priority order: higher first, equal priorities in kind order.
  int order[kFilterKinds];
  int count = 0;
  for (int kind = 0; kind < kFilterKinds; ++kind) {
    if (!entries[kind].enabled || (geometryOnly && !IsGeometryFilter(kind))) continue;
    if (p.palette && NeedsNeighbours(kind)) continue;
    int at = count++;
    for (; at > 0 && entries[order[at - 1]].priority < entries[kind].priority; --at) {
      order[at] = order[at - 1];
    }
    order[at] = kind;
  }

  // The palette's view: its 256 entries as one row of 0xAARRGGBB pixels.
  ColorStore view{256, 1, reinterpret_cast<uint8_t*>(palette), 256 * 4, 4, kFormatArgb32, 1};
  BitmapHandle* paletteView = nullptr;
  const auto* library = gBound.filters;
  int rc = 0;
  for (int i = 0; i < count && rc == 0; ++i) {
    const int kind = order[i];
    if (!OwnFilter(kind) && !library) {
      rc = ErrorWithString(kErrSiblingAbsent, "filters");
      break;
    }
    if (p.palette && !IsGeometryFilter(kind) && !paletteView) {
      paletteView = AllocBitmap(0, 0, kAllocBorrowed, &view);
      if (!paletteView) {
        rc = kErrNoMemory;
        break;
      }
      p.pixels = paletteView;
    }
    rc = OwnFilter(kind) ? RunOwnFilter(kind, entries[kind], p)
                         : RunFilter(library, kind, entries[kind], p);
  }
  FreeBitmap(paletteView);
  return rc;
}

}  // namespace tzx::graphics
