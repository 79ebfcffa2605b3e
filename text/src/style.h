// The current text style: its clamping and the changes SetFontStyle makes.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::text {

using graphics::TextStyle;

// The fonts' records (font_record.h, glyph_runs.h); named with "struct"
// because the TextExtent command shares the measure's name.
struct FontRecord;
struct TextExtent;

// The style block as the graphics library starts it, without a font.
TextStyle InitialTextStyle();

// Shadow and border sizes into 1..64, a direction outside 0..7 to south-east.
void ClampTextStyle(TextStyle* style);

// What SetFontStyle may set besides the flags; a field is used when its
// `has` bit is on.
struct StyleSettings {
  enum : unsigned {
    kShadowColor = 1,
    kShadowSize = 2,
    kShadowDir = 4,
    kBorderColor = 8,
    kBorderSize = 16,
  };
  unsigned has = 0;
  uint32_t shadowColor = 0;
  int32_t shadowSize = 0;
  int32_t shadowDir = 0;
  uint32_t borderColor = 0;
  int32_t borderSize = 0;
};

// NORMAL replaces every flag and ignores the settings; any other style adds
// its bits to the present ones. Settings are clamped afterwards.
void ApplyFontStyle(TextStyle* style, int32_t flags, const StyleSettings& settings);

// Adds what the style does to a font's measure of a run: one more ink column
// for synthesised bold without antialiasing, the slant of synthesised italic,
// and the growths of edge and shadow.
void GrowExtent(const TextStyle& style, const FontRecord& font, struct TextExtent* extent);

// The run's ink reaches this far right of its pen start: the larger of the
// advance and the ink's right edge + 1, with the right growth.
int32_t InkWidth(const struct TextExtent& extent);

}  // namespace tzx::text
