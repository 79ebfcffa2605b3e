// Colour quantisation: a picture in any pixel format to an 8-bit index
// bitmap with a palette of at most a given number of colours, or mapped onto
// a palette the caller supplies. Pictures with no more colours than wanted
// keep them exactly, in the order first met; larger ones go through a
// two-pass median-cut quantiser (32 x 64 x 32 histogram, inverse colour-map
// cache, optional Floyd-Steinberg dithering with limited errors).
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Runs the request; its result is in `success`, `colors` and `transparentPen`.
void Quantize(QuantizeRequest& request);

// The error passed on to a neighbour by dithering, for an error of
// `error` (-255..255): unchanged below 16, at most 32.
int LimitDitherError(int error);

// The perceptual distance of two 0x00RRGGBB colours (a weighted Euclidean
// distance whose red and blue weights follow the mean red level).
int ColorDistance(uint32_t a, uint32_t b);

// Interface slots 58 and 59.
int DitherToPalette(QuantizeRequest* request);
int RemapToPalette(RemapRequest* request);

// The "quantize" draw filter: the colour bitmap keeps at most `colors`
// colours (its alpha bytes as they are).
int ReduceColors(BitmapHandle* color, int colors, bool dither);

}  // namespace tzx::graphics
