// The glyph hot path: 8-bit coverage (or 1-bit glyph rows) blended in one
// colour straight into a locked target. The canvas is set up and clipped
// once per run; each glyph then costs one rectangle intersection and its
// rows, without allocation.
#pragma once

#include <cstdint>

namespace tzx::text {

enum CanvasKind : int32_t {
  kCanvasColor,  // pixels in `format`, blended with the colour
  kCanvasAlpha,  // 8-bit coverage kept as the larger value
  kCanvasMask,   // 1 bit, set where coverage is at least half
  kCanvasPen,    // 8-bit pens: the pen where coverage is at least half
};

struct GlyphCanvas {
  uint8_t* pixels;
  int32_t bytesPerRow;
  int32_t format;                          // pixel format of colour canvases
  int32_t kind;                            // CanvasKind
  int32_t clipX0, clipY0, clipX1, clipY1;  // drawing stays inside; x1, y1 exclusive
  uint32_t color;                          // 0xRRGGBB (colour canvases)
  int32_t level;                           // opacity 0..255
  int32_t pen;                             // pen canvases
  // What was drawn, for the output's change notice; x0 > x1 when nothing.
  int32_t dirtyX0, dirtyY0, dirtyX1, dirtyY1;
};

// Clip bounds and an empty dirty rectangle.
void InitCanvas(GlyphCanvas* c, uint8_t* pixels, int bytesPerRow, int format, int kind, int width,
                int height);
void ClipCanvas(GlyphCanvas* c, int x, int y, int width, int height);

// Coverage rows (pitch bytes apart) of a w × h glyph with its top-left at (x, y);
// the bytes of a row from w to the pitch must be 0.
void BlendCoverage(GlyphCanvas* c, int x, int y, const uint8_t* coverage, int pitch, int w, int h);
// Starts loading the canvas rows under a w × h glyph box at (x, y), for a
// glyph about to be rendered there.
void PrefetchGlyphBox(const GlyphCanvas* c, int x, int y, int w, int h);
// 1-bit rows, most significant bit first, the glyph's first column at bit bitX.
void BlendBits(GlyphCanvas* c, int x, int y, const uint8_t* bits, int pitch, int bitX, int w,
               int h);
// Pens of a chunky glyph (pen 0 transparent) through a palette (colour
// canvases) or as they are (pen canvases).
void BlendPens(GlyphCanvas* c, int x, int y, const uint8_t* pens, int pitch, int w, int h,
               const uint32_t* palette);
// 0xAARRGGBB pixels (pitch words apart) in their own colours; their alpha is
// the coverage of the other canvas kinds.
void BlendImage(GlyphCanvas* c, int x, int y, const uint32_t* pixels, int pitch, int w, int h);
// A solid rectangle (underlines).
void FillCanvasRect(GlyphCanvas* c, int x, int y, int w, int h);

}  // namespace tzx::text
