#include "style_measure.h"

namespace tzx::text {

int MeasureInStyle(const TextStyle& style, const char* bytes, size_t length, int encoding,
                   int charSpacing, TextExtent* out) {
  if (int rc = MeasureRun(style.font, bytes, static_cast<int>(length), encoding, style.flags,
                          charSpacing, out)) {
    return rc;
  }
  GrowExtent(style, *style.font, out);
  return 0;
}

int MeasureForLayout(void* context, const TextStyle& style, const char* bytes, size_t length,
                     int32_t charSpacing, RunMetrics* out) {
  TextExtent e;
  if (int rc = MeasureInStyle(style, bytes, length, *static_cast<int*>(context), charSpacing, &e)) {
    return rc;
  }
  out->advance = e.width;
  out->inkWidth = InkWidth(e);
  return 0;
}

}  // namespace tzx::text
