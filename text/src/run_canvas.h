// Drawing runs onto a locked target: shared by plain runs and by runs with
// effects.
#pragma once

#include "font_record.h"
#include "glyph_blend.h"
#include "glyph_runs.h"
#include "tzx/graphics_records.h"

namespace tzx::text {

// The canvas of a target: its plane locked, clipped once for the run.
struct OpenTarget {
  GlyphCanvas canvas;
  graphics::OutputRecord* output = nullptr;
};

// Locks the target's plane (the current output's when it has no bitmap).
// 0, 1687, 1685 ("display") or 1152.
int OpenCanvas(const DrawTarget& target, OpenTarget* out);
// Tells the output which rectangle changed.
void CloseCanvas(const OpenTarget& target);

// A system font draws a style with its variant face; what that face lacks is
// made by the outline engine. Returns the record to draw with.
FontRecord* VariantFor(FontRecord* font, int* flags);

// The run's glyphs in the canvas's colour, pen or coverage.
int DrawOnCanvas(GlyphCanvas* canvas, FontRecord* font, const char* text, int length, int encoding,
                 int penX, int lineTop, int flags, int spacing);

}  // namespace tzx::text
