// The two operations every font kind has: measure a run of text, and draw a
// run at a pen position into a target. Layout (printing, TextOut, text
// objects) builds on these and on nothing else of the fonts.
//
// How the layout side calls them:
//   TextExtent e;
//   int err = MeasureRun(style.font, bytes, length, encoding, style.flags, charSpacing, &e);
//   ... place runs, x += e.width ...
//   DrawTarget t = {nullptr, {}, -1, style.fontColor, style.flags, charSpacing};
//   err = DrawRun(style.font, bytes, length, encoding, x, lineTop, t);
// MeasureRun is the font's own measure only: the growths of synthesised bold
// and italic, shadow and edge are the layout's to add (minX..maxY stay 0
// here). DrawRun synthesises BOLD and ITALIC itself where the font has no
// such faces. Runs with shadow, edge, underline or several colours go
// through DrawPlacedRuns, which builds one image for the block.
#pragma once

#include <cstdint>

#include "font_record.h"
#include "tzx/graphics_records.h"

namespace tzx::text {

// Result of measuring a run; coordinates relative to the pen start (x) and
// the line's top (y).
struct TextExtent {
  int32_t width;      // advance: where the pen ends
  int32_t height;     // the font's line height
  int32_t inkX;       // left column of the ink (may be negative)
  int32_t inkY;       // top row of the ink
  int32_t inkRight;   // right column of the ink, inclusive; inkX - 1 when no ink
  int32_t inkBottom;  // bottom row of the ink, inclusive; inkY - 1 when no ink
  int32_t minX;       // growths by shadow and border, filled by the layout
  int32_t minY;
  int32_t maxX;
  int32_t maxY;
};

// Where and how a run is drawn.
struct DrawTarget {
  // The bitmap drawn into (mask, alpha, index or colour kind), or null for
  // the current output of the graphics state.
  graphics::BitmapHandle* bitmap;
  graphics::Rect clip;  // in target pixels; width 0 = the whole target
  // Palette targets (index bitmaps, palette outputs): the pen written. -1:
  // coverage is written as it is into a 1-bit mask (OR) or an alpha bitmap
  // (the larger value wins), or the colour below is used.
  int32_t pen;
  uint32_t color;       // colour targets: 0xTTRRGGBB, T the transparency (alpha 255 - T)
  int32_t flags;        // style bits: ANTIALIAS, BOLD, ITALIC (graphics_constants.h)
  int32_t charSpacing;  // added to every advance; a negative sum does not move the pen
};

// Measures the run's bytes (encoding 0 = 8-bit, 1 = UTF-8). 0 or an error code.
int MeasureRun(FontRecord* font, const char* text, int length, int encoding, int flags,
               int charSpacing, TextExtent* out);

// Draws the run with its pen starting at penX and its line's top at lineTop
// (target pixels). 0 or an error code; the current output is told which
// rectangle changed.
int DrawRun(FontRecord* font, const char* text, int length, int encoding, int penX, int lineTop,
            const DrawTarget& target);

// A laid-out run for DrawPlacedRuns.
struct PlacedRun {
  int32_t x;  // pen start and line top, relative to the block's origin
  int32_t y;
  const char* text;
  int32_t length;
  graphics::TextStyle style;  // font, flags, colours, pens, shadow and border
  TextExtent extent;          // as measured by the layout
  int32_t underlineWidth;     // bar width; > width where JUSTIFIED joins underlined runs
};

// Draws the runs of one block with their effects (colours, shadow, edge,
// underline, transparency) at (x, y) of the target. paletteMode draws pens.
int DrawPlacedRuns(const PlacedRun* runs, int count, int encoding, int charSpacing, int x, int y,
                   const DrawTarget& target, int paletteMode);

}  // namespace tzx::text
