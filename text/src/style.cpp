#include "style.h"

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

}  // namespace tzx::text
