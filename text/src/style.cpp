#include "style.h"

#include "glyph_runs.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

namespace {

int32_t Clamp(int32_t v, int32_t low, int32_t high) {
  return v < low ? low : v > high ? high : v;
}

}  // namespace

TextStyle InitialTextStyle() {
  return TextStyle{
      .flags = graphics::kNormal,
      .fontColor = 0xFFFFFF,
      .shadowColor = 0,
      .borderColor = 0x0093DD,
      .bulletColor = 0xFFFFFF,
      .fontPen = 1,
      .shadowPen = 2,
      .borderPen = 3,
      .bulletPen = 1,
      .shadowSize = 4,
      .shadowDir = graphics::kShdwsoutheast,
      .borderSize = 2,
      .font = nullptr,
  };
}

void ClampTextStyle(TextStyle* style) {
  style->shadowSize = Clamp(style->shadowSize, 1, 64);
  style->borderSize = Clamp(style->borderSize, 1, 64);
  if (style->shadowDir < graphics::kShdwnorth || style->shadowDir > graphics::kShdwnorthwest) {
    style->shadowDir = graphics::kShdwsoutheast;
  }
}

void ApplyFontStyle(TextStyle* style, int32_t flags, const StyleSettings& settings) {
  if (flags & graphics::kNormal) {
    style->flags = graphics::kNormal;
    return;
  }
  style->flags = (style->flags & ~graphics::kNormal) | flags;
  if (style->flags == 0) style->flags = graphics::kNormal;
  if (settings.has & StyleSettings::kShadowColor) style->shadowColor = settings.shadowColor;
  if (settings.has & StyleSettings::kShadowSize) style->shadowSize = settings.shadowSize;
  if (settings.has & StyleSettings::kShadowDir) style->shadowDir = settings.shadowDir;
  if (settings.has & StyleSettings::kBorderColor) style->borderColor = settings.borderColor;
  if (settings.has & StyleSettings::kBorderSize) style->borderSize = settings.borderSize;
  ClampTextStyle(style);
}

void GrowExtent(const TextStyle& style, const FontRecord& font, TextExtent* e) {
  const bool ownFaces = HasOwnStyleFaces(&font);
  if ((style.flags & graphics::kBold) && !ownFaces && !(style.flags & graphics::kAntialias)) {
    e->inkRight += 1;
  }
  if ((style.flags & graphics::kItalic) && !ownFaces) {
    e->inkRight += font.ascender / 2;
    e->inkX -= (font.height - font.ascender) / 2;
  }
  e->minX = e->minY = e->maxX = e->maxY = 0;
  if (style.flags & graphics::kEdge) {
    e->minX = e->minY = -style.borderSize;
    e->maxX = e->maxY = style.borderSize;
  }
  if (style.flags & graphics::kShadow) {
    const int32_t s = style.shadowSize + (font.kind == kFontColor ? 10 : 0);
    const bool north = style.shadowDir == 0 || style.shadowDir == 1 || style.shadowDir == 7;
    const bool east = style.shadowDir >= 1 && style.shadowDir <= 3;
    const bool south = style.shadowDir >= 3 && style.shadowDir <= 5;
    const bool west = style.shadowDir >= 5 && style.shadowDir <= 7;
    if (north) e->minY -= s;
    if (east) e->maxX += s;
    if (south) e->maxY += s;
    if (west) e->minX -= s;
  }
}

int32_t InkWidth(const TextExtent& e) {
  const int32_t ink = e.inkRight + 1;
  return (ink > e.width ? ink : e.width) + e.maxX;
}

}  // namespace tzx::text
