// libFuzzer target: the format-tag parser and the layout pass over arbitrary
// text, in both encodings, with and without lists, wrap and justification.
// The first byte picks the options; the rest is the text.
#include <cstddef>
#include <cstdint>

#include "text/src/layout.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace {

using namespace tzx::text;

// Any byte 6 pixels wide, UTF-8 continuation bytes none, spacing honoured.
int Measure(void*, const TextStyle&, const char* bytes, size_t n, int32_t spacing,
            RunMetrics* out) {
  int32_t x = 0;
  for (size_t i = 0; i < n; ++i) {
    if ((static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80) continue;
    x += 6 + spacing;
    if (x < 0) x = 0;
  }
  out->advance = x;
  out->inkWidth = x + 1;
  return 0;
}

int Constant(void*, const char*, size_t n, int32_t* out) {
  *out = static_cast<int32_t>(n);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t options = data[0];
  LayoutRequest r;
  r.style = InitialTextStyle();
  r.text = reinterpret_cast<const char*>(data + 1);
  r.length = size - 1;
  r.encoding = options & 1;
  r.listMode = (options & 2) != 0;
  r.simpleList = (options & 4) != 0;
  r.wrapWidth = (options & 8) ? 40 : 0;
  r.paletteMode = (options & 16) != 0;
  r.align = (options & 32) && !r.listMode ? tzx::graphics::kJustified : tzx::graphics::kLeft;
  r.charSpacing = (options & 64) ? -7 : 0;
  r.frameMode = options >> 7;
  r.tabs[0] = 20;
  r.tabCount = 1;
  r.constants.resolve = Constant;
  DefaultListSettings(&r);
  r.list[kListBullet][1] = kBulletLromandouble;
  LayoutFont font;
  font.measure = Measure;
  font.height = 10;
  Layout layout;
  if (LayOut(r, font, &layout) == 0)
    AlignLayout(&layout, r.align, r.wrapWidth ? r.wrapWidth : layout.width);
  return 0;
}
