// topaz 8 from the glyph table in text/fonts: a 1504 x 8 one-bit strip of
// 188 glyphs with (offset, width) pairs for codes 32 to 255.
#include "topaz.h"

#include <cstring>

#include "amiga_fonts.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

constexpr uint8_t kGlyphs[][8] = {
#include "topaz8_glyphs.inc"
};
constexpr int kGlyphCount = sizeof kGlyphs / sizeof kGlyphs[0];
static_assert(kGlyphCount == 188);
constexpr int kModulo = kGlyphCount;  // one byte per 8-pixel glyph and row

// The strip slot of a code, -1 for codes without ink of their own.
int SlotOf(int code) {
  if (code >= 33 && code <= 126) return code - 33;
  if (code >= 161 && code <= 255 && code != 173) return 94 + code - 161 - (code > 173 ? 1 : 0);
  if (code == 173) return '-' - 33;  // the soft hyphen looks like the hyphen
  return -1;
}

}  // namespace

int BuildTopaz(FontRecord** out) {
  auto* font = AllocRecord<FontRecord>();
  auto* data = AllocRecord<BitmapFontData>();
  if (!font || !data) {
    HostFree(font);
    HostFree(data);
    return kErrNoMemory;
  }
  data->ySize = 8;
  data->xSize = 8;
  data->baseline = 6;
  data->boldSmear = 1;
  data->flags = 64;
  data->loChar = 32;
  data->hiChar = 255;
  data->modulo = kModulo;
  data->glyphCount = 255 - 32 + 2;
  data->charLoc = static_cast<uint32_t*>(HostAlloc(data->glyphCount * sizeof(uint32_t)));
  data->strip = static_cast<uint8_t*>(HostAlloc(kModulo * 8));
  if (!data->charLoc || !data->strip) {
    FreeAmigaFont(data);
    HostFree(data);
    HostFree(font);
    return kErrNoMemory;
  }
  for (int g = 0; g < kGlyphCount; ++g)
    for (int row = 0; row < 8; ++row) data->strip[row * kModulo + g] = kGlyphs[g][row];
  // Codes without ink (space, the controls 127..160, undefined) have width 0.
  for (int code = 32; code <= 255; ++code) {
    const int slot = SlotOf(code);
    data->charLoc[code - 32] = slot < 0 ? 0 : static_cast<uint32_t>(slot * 8) << 16 | 8;
  }
  data->charLoc[data->glyphCount - 1] = 0;

  std::strcpy(font->name, "topaz");
  std::strcpy(font->format, "Amiga bitmap");
  font->size = 8;
  font->height = font->baseHeight = 8;
  font->ascender = font->baseAscender = 6;
  font->kind = kFontBitmap;
  font->scaleX = font->scaleY = 1.0;
  font->pluginTransparentPen = -1;
  font->engine = kNativeEngine;
  font->engineData = data;
  *out = font;
  return 0;
}

void FreeBitmapFont(FontRecord* font) {
  if (!font) return;
  if (auto* data = static_cast<BitmapFontData*>(font->engineData)) {
    FreeAmigaFont(data);
    HostFree(data);
  }
  HostFree(font);
}

}  // namespace tzx::text
