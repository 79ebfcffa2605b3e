// Measuring text in a style: the font's own measure, grown by synthesised
// bold and italic and by shadow and edge.
#pragma once

#include <cstddef>

#include "glyph_runs.h"
#include "layout.h"
#include "style.h"

namespace tzx::text {

// MeasureRun of the style's font, then GrowExtent. 0 or an error code.
int MeasureInStyle(const TextStyle& style, const char* bytes, size_t length, int encoding,
                   int charSpacing, TextExtent* out);

// The layout's measuring callback over the fonts; `context` points at the
// encoding (an int).
int MeasureForLayout(void* context, const TextStyle& style, const char* bytes, size_t length,
                     int32_t charSpacing, RunMetrics* out);

}  // namespace tzx::text
