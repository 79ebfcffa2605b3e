#include "draw_style.h"

#include <algorithm>

#include "graphics_state.h"
#include "output.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

// The pens of the display, or else of the output, when drawing works with pens.
int PalettePens(int noPalette) {
  if (noPalette) return 0;
  if (int pens = PenCount(gCurrentDisplay)) return pens;
  return PenCount(gCurrentOutput);
}

}  // namespace

void ClampDrawStyle(DrawStyle* s) {
  s->lineWidth = std::max(s->lineWidth, 1);
  s->shadowSize = std::clamp(s->shadowSize, 1, kMaxEffectSize);
  s->borderSize = std::clamp(s->borderSize, 1, kMaxEffectSize);
  if (s->shadowDirection < kShdwnorth || s->shadowDirection > kShdwnorthwest) {
    s->shadowDirection = kShdwsoutheast;
  }
  if (s->fillStyle < kFillnone || s->fillStyle > kFilltexture) s->fillStyle = kFillnone;
}

int FormStyleToDrawTags(const DrawStyle* style, TagRecord* tags, int noPalette, uint32_t* color) {
  const DrawStyle s = *style;
  const int pens = PalettePens(noPalette);
  auto penFits = [&](int pen) { return pens == 0 || pen < pens; };
  if (s.formStyle & kBorder) {
    tags->border.on = 1;
    tags->border.color = s.borderColor;
    tags->border.pen = s.borderPen;
    tags->border.size = s.borderSize;
    tags->hasEffects = 1;
    if (!penFits(s.borderPen)) return kErrPenRange;
  }
  if (s.formStyle & kShadow) {
    tags->shadow.on = 1;
    tags->shadow.color = s.shadowColor;
    tags->shadow.pen = s.shadowPen;
    tags->shadow.size = s.shadowSize;
    tags->shadow.direction = s.shadowDirection;
    tags->hasEffects = 1;
    if (!penFits(s.shadowPen)) return kErrPenRange;
  }
  // Outlines wider than a pixel are drawn as a border in the drawing colour.
  if (s.fillStyle == kFillnone && s.lineWidth > 1) {
    tags->border.on = 1;
    tags->border.color = *color & 0xFFFFFF;
    tags->border.pen = s.drawPen;
    tags->border.size = std::max(s.lineWidth / 2, 1);
    tags->hasEffects = 1;
    if (!penFits(s.drawPen)) return kErrPenRange;
  }
  if ((*color >> 24) != 0 && pens == 0) {
    tags->transparency = static_cast<int32_t>(*color >> 24);
    tags->hasEffects = 1;
    *color &= 0xFFFFFF;
  }
  return 0;
}

}  // namespace tzx::graphics
