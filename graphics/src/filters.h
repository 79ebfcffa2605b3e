// The filters of a draw record applied to a bitmap set in priority order: the
// colour and geometry filters through the filters library, tint and the flips
// by this library.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {

// What graphics calls in the filters library. Every operation works in place
// on the planes it is given and returns 0 or an error code. "Shape planes"
// are the colour bitmap, mask and alpha channel, or (none, none, pens) for a
// palette picture.
struct FiltersSibling {
  int (*grayscale)(BitmapHandle* pixels, int width, int height, int, int);  // 0
  int (*invert)(BitmapHandle* pixels, int width, int height, int);          // 1
  // Convolution by letter: 'b' blur, 'e' emboss, 'g' edge, 's' sharpen.
  int (*convolve)(int code, BitmapHandle* image, BitmapHandle* alpha, int width, int height,
                  double radius, double sigma, double gain);                           // 2
  int (*solarize)(BitmapHandle* pixels, int width, int height, int threshold);         // 3
  int (*gamma)(BitmapHandle* pixels, int width, int height, double red, double green,  // 4
               double blue);
  int (*contrast)(BitmapHandle* pixels, int width, int height, int amount, int steps, int);  // 5
  int (*modulate)(BitmapHandle* pixels, int width, int height, double brightness, double saturation,
                  double hue);  // 6
  const void* slot7;
  int (*sepia)(BitmapHandle* image, int width, int height, int level);  // 8
  int (*charcoal)(BitmapHandle* image, BitmapHandle* alpha, int width, int height, double radius,
                  double sigma, double gain);  // 9
  int (*swirl)(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int width, int height,
               int degrees);  // 10
  int (*pixelate)(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int width,
                  int height, int size);                                     // 11
  int (*monochrome)(BitmapHandle* image, int width, int height, int level);  // 12
  int (*waterRipple)(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int width,
                     int height, int wavelength, int amplitude, int phase, double centerX,
                     double centerY);                                          // 13
  int (*oilPaint)(BitmapHandle* image, int width, int height, double radius);  // 14
};

// Runs the enabled filters from the highest priority down, equal priorities
// in kind order; with geometryOnly only the geometry filters. With a palette
// (and pens in *index) the colour filters change the 256 palette entries and
// the filters that need neighbouring pixels are skipped. 0, the first error,
// or kErrSiblingAbsent ("filters") for a filter of the filters library
// while it is absent.
int ApplyFilters(lua_State* L, const FilterEntry* entries, BitmapHandle** color,
                 BitmapHandle** mask, BitmapHandle** alpha, BitmapHandle** index, uint32_t* palette,
                 int width, int height, int geometryOnly);

}  // namespace tzx::graphics
