// The planes the effects work on: the colour target (the bitmap, or the
// palette of a palette brush seen as a 2^depth x 1 picture), the shape planes,
// and the planes of shadow and border brushes.
#pragma once

#include "brush_records.h"
#include "tzx/siblings.h"

namespace tzx::brush {

class ColorTarget {
 public:
  ColorTarget() = default;
  ColorTarget(const ColorTarget&) = delete;
  ColorTarget& operator=(const ColorTarget&) = delete;
  ~ColorTarget();
  // 0, or 1000 when the palette's view cannot be made.
  int Open(BrushRecord* brush);

  BitmapHandle* bitmap = nullptr;
  int width = 0;
  int height = 0;

 private:
  BrushRecord* brush_ = nullptr;
  graphics::ColorStore store_{};
};

// Effects that move pixels get (bitmap, mask, alpha), or (none, none, pens).
struct ShapePlanes {
  explicit ShapePlanes(const BrushRecord* b)
      : color(b->chunky ? nullptr : b->bitmap),
        mask(b->chunky ? nullptr : b->mask),
        third(b->chunky ? b->chunky : b->alpha) {}
  BitmapHandle* color;
  BitmapHandle* mask;
  BitmapHandle* third;
};

struct ShadowRequest {
  uint32_t color;  // 0x00RRGGBB
  int opacity;     // 0..255
  double radius;   // >= 1: the growth on every side
  double sigma;
  bool border;
};

// A border of a picture without shape is the grown rectangle alone; every
// other shadow or border takes its alpha channel from the filters library.
bool ShadowNeedsFilters(const BrushRecord& source, bool border);

// The planes of a shadow or border brush of `source`: a bitmap grown by the
// radius on every side filled with the colour, and its alpha channel. Fills
// n's size, planes and depth; nothing is kept on failure.
int MakeShadowPlanes(const FiltersSibling* filters, const BrushRecord& source,
                     const ShadowRequest& request, NewBrush* n);

}  // namespace tzx::brush
