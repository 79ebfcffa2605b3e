// Colour quantisation: a picture in any pixel format to an 8-bit index
// bitmap with a palette of at most a given number of colours, or mapped onto
// a palette the caller supplies. Pictures with no more colours than wanted
// keep them exactly, in the order first met; larger ones go through a
// two-pass median-cut quantiser (32 x 64 x 32 histogram, inverse colour-map
// cache, optional Floyd-Steinberg dithering with limited errors).
#pragma once

#include <cstdint>

namespace tzx::graphics {

struct QuantizeRequest {
  // Source window: pixels of `sourceFormat`, read from (sourceX, sourceY).
  const uint8_t* source = nullptr;
  int sourceFormat = 0;
  int sourceBytesPerRow = 0;
  int sourceX = 0;
  int sourceY = 0;
  // 8-bit sources: their palette (0x00RRGGBB) and transparent pen (-1: none).
  const uint32_t* sourcePalette = nullptr;
  int sourceTransparentPen = -1;
  // Shape planes over the same window (null when absent): a clear mask bit or
  // an alpha byte below 255 makes a pixel transparent.
  const uint8_t* mask = nullptr;
  int maskBytesPerRow = 0;
  const uint8_t* alpha = nullptr;
  int alphaBytesPerRow = 0;

  // Destination index pixels and their window.
  uint8_t* index = nullptr;
  int indexBytesPerRow = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  uint32_t* palette = nullptr;  // 256 entries of 0x00RRGGBB; the colour map when remapping
  int colors = 256;             // wanted (1..256) in, obtained out
  int64_t transparentColor = -1;
  bool reserveEntry = false;    // the caller fills the transparency entry itself
  bool noTransparency = false;  // take hidden pixels' colours, make no entry for them
  bool dither = false;
  bool remap = false;               // map onto the first `colors` entries of `palette`
  bool keepTransparentPen = false;  // remapping: skip choosing a free pen for transparency

  int transparentPen = -1;  // out
  int success = 0;          // out: 0 when working memory could not be had
};

// Runs the request; its result is in `success`, `colors` and `transparentPen`.
void Quantize(QuantizeRequest& request);

// The error passed on to a neighbour by dithering, for an error of
// `error` (-255..255): unchanged below 16, at most 32.
int LimitDitherError(int error);

// The perceptual distance of two 0x00RRGGBB colours (a weighted Euclidean
// distance whose red and blue weights follow the mean red level).
int ColorDistance(uint32_t a, uint32_t b);

}  // namespace tzx::graphics
