// What the libraries call in the "filters" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::graphics {
struct BitmapHandle;
}

namespace tzx {

// "filters": the pixel algorithms of the brush filter commands and of the
// draw tags' filters. Every operation works in place on the planes it is
// given and returns 0 or an error code, unless it says otherwise.
// - A colour target is a colour bitmap, or the 256 × 1 view of a palette, so
//   that a palette picture changes its colours and keeps its pens.
// - An image is the colour bitmap of a true-colour picture.
// - Shape planes are the colour bitmap, mask and alpha channel, or (none,
//   none, pens) for a palette picture; they move pixels.
// Planes an operation hands back are made through the graphics library and
// belong to the caller.

// Letter codes of the convolution effects (slot 2).
enum FilterConvolution : int32_t {
  kConvolveBlur = 'b',
  kConvolveEmboss = 'e',
  kConvolveEdge = 'g',
  kConvolveSharpen = 's',
};

// Methods of the distortions (slot 16) and the numbers they read.
enum FilterDistortion : int32_t {
  // 16 numbers: four groups of source x, source y, destination x, destination
  // y for the top-left, top-right, bottom-right and bottom-left corners.
  kDistortPerspective = 4,
  kDistortArc = 9,      // up to 4
  kDistortPolar = 10,   // up to 6
  kDistortBarrel = 12,  // up to 10
};

struct FiltersSibling {
  // Slot 0: grey; the last two words are 0.
  int (*grayscale)(graphics::BitmapHandle* target, int width, int height, int, int);
  // Slot 1: invert; the last word is 0.
  int (*invert)(graphics::BitmapHandle* target, int width, int height, int);
  // Slot 2: the convolution the code selects. Blur reads radius and sigma;
  // emboss and sharpen radius with sigma 0 and gain 1.0; edge radius alone
  // (the others 0).
  int (*convolve)(int code, graphics::BitmapHandle* image, graphics::BitmapHandle* alpha, int width,
                  int height, double radius, double sigma, double gain);
  // Slot 3: solarize above the threshold (0..255).
  int (*solarize)(graphics::BitmapHandle* target, int width, int height, int threshold);
  // Slot 4: gamma per channel.
  int (*gamma)(graphics::BitmapHandle* target, int width, int height, double red, double green,
               double blue);
  // Slot 5: contrast; the last word is 0.
  int (*contrast)(graphics::BitmapHandle* target, int width, int height, int amount, int steps,
                  int);
  // Slot 6: modulate.
  int (*modulate)(graphics::BitmapHandle* target, int width, int height, double brightness,
                  double saturation, double hue);
  const void* slot7;
  // Slot 8: sepia tone.
  int (*sepia)(graphics::BitmapHandle* image, int width, int height, int level);
  // Slot 9: charcoal, with sigma 0 and gain 1.0.
  int (*charcoal)(graphics::BitmapHandle* image, graphics::BitmapHandle* alpha, int width,
                  int height, double radius, double sigma, double gain);
  // Slot 10: swirl by the degrees.
  int (*swirl)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
               graphics::BitmapHandle* third, int width, int height, int degrees);
  // Slot 11: pixelate in blocks of the size.
  int (*pixelate)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                  graphics::BitmapHandle* third, int width, int height, int size);
  // Slot 12: monochrome.
  int (*monochrome)(graphics::BitmapHandle* image, int width, int height, int level);
  // Slot 13: water ripple around the centre (fractions of the size).
  int (*waterRipple)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                     graphics::BitmapHandle* third, int width, int height, int wavelength,
                     int amplitude, int phase, double centerX, double centerY);
  // Slot 14: oil paint.
  int (*oilPaint)(graphics::BitmapHandle* image, int width, int height, double radius);
  // Slot 15: inverts every byte of an 8-bit plane or a mask, locked for
  // writing.
  int (*invertPlane)(uint8_t* pixels, int height, int bytesPerRow);
  // Slot 16: distorts the planes by the method with `count` numbers into new
  // planes and their size. `smooth` asks for interpolation (callers pass 0
  // with pens); `transparentPen` is the pens' transparent pen, -1 for none.
  int (*distort)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                 graphics::BitmapHandle* alpha, graphics::BitmapHandle* pens, int width, int height,
                 int method, int count, const double* numbers, int smooth, int transparentPen,
                 graphics::BitmapHandle** outColor, graphics::BitmapHandle** outMask,
                 graphics::BitmapHandle** outAlpha, graphics::BitmapHandle** outPens, int* outWidth,
                 int* outHeight);
  // Slot 17: the alpha channel of a shadow (border 0) or border (1) of a
  // picture's shape, taken from its alpha channel, mask or pens without the
  // transparent pen; grown by the radius on every side and scaled to the
  // opacity (0..255). A new alpha channel, or null. The two words are 0.
  graphics::BitmapHandle* (*shadowAlpha)(const graphics::BitmapHandle* alpha,
                                         const graphics::BitmapHandle* mask,
                                         const graphics::BitmapHandle* pens, int transparentPen,
                                         int, int, int width, int height, double radius,
                                         double sigma, int opacity, int border);
};
static_assert(offsetof(FiltersSibling, grayscale) == 0 * sizeof(void*));
static_assert(offsetof(FiltersSibling, invert) == 1 * sizeof(void*));
static_assert(offsetof(FiltersSibling, convolve) == 2 * sizeof(void*));
static_assert(offsetof(FiltersSibling, solarize) == 3 * sizeof(void*));
static_assert(offsetof(FiltersSibling, gamma) == 4 * sizeof(void*));
static_assert(offsetof(FiltersSibling, contrast) == 5 * sizeof(void*));
static_assert(offsetof(FiltersSibling, modulate) == 6 * sizeof(void*));
static_assert(offsetof(FiltersSibling, sepia) == 8 * sizeof(void*));
static_assert(offsetof(FiltersSibling, charcoal) == 9 * sizeof(void*));
static_assert(offsetof(FiltersSibling, swirl) == 10 * sizeof(void*));
static_assert(offsetof(FiltersSibling, pixelate) == 11 * sizeof(void*));
static_assert(offsetof(FiltersSibling, monochrome) == 12 * sizeof(void*));
static_assert(offsetof(FiltersSibling, waterRipple) == 13 * sizeof(void*));
static_assert(offsetof(FiltersSibling, oilPaint) == 14 * sizeof(void*));
static_assert(offsetof(FiltersSibling, invertPlane) == 15 * sizeof(void*));
static_assert(offsetof(FiltersSibling, distort) == 16 * sizeof(void*));
static_assert(offsetof(FiltersSibling, shadowAlpha) == 17 * sizeof(void*));

}  // namespace tzx
