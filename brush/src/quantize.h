// Reducing a brush to pens: true-colour and palette brushes become palette
// brushes whose pens come from the graphics library's quantiser.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

struct QuantizeOptions {
  int colors = 256;  // wanted colours (the target palette's pens when remapping)
  int depth = 0;     // 1..8, or 0 for the smallest that holds the colours
  bool dither = false;
  const uint32_t* onto = nullptr;  // map onto these 256 entries instead of choosing colours
  int transparentPen = -1;         // the pen that is to show transparency, -1: the quantiser's
  int64_t transparentColor = -1;
};

// Makes `brush` a palette brush of the reduced colours. Nothing changes on
// failure.
int QuantizeBrushPlanes(BrushRecord* brush, const QuantizeOptions& options);

}  // namespace tzx::brush
