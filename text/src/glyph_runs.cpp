// Measuring and drawing runs, by font kind.
#include "glyph_runs.h"

#include <algorithm>
#include <cstring>

#include "amiga_fonts.h"
#include "bindings.h"
#include "brush_fonts.h"
#include "fonts.h"
#include "glyph_blend.h"
#include "outline_fonts.h"
#include "run_canvas.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {
namespace {

using graphics::GraphicsInterface;

// Characters of a run: UTF-8 code points when the encoding asks for them and
// the text is valid, else bytes.
class CodeReader {
 public:
  CodeReader(const char* text, int length, int encoding)
      : p_(text),
        end_(text + length),
        utf8_(encoding == 1 && Host().utf8->isValid(text, static_cast<size_t>(length))) {}
  bool Next(uint32_t* code) {
    if (p_ >= end_) return false;
    if (utf8_) {
      // The run is valid UTF-8 to its end, and the decoder reads no further
      // than the bytes a sequence's lead byte announces.
      const int n = Host().utf8->decode(p_, code);
      p_ += n > 0 ? n : 1;
      return true;
    }
    *code = static_cast<uint8_t>(*p_++);
    return true;
  }

 private:
  const char* p_;
  const char* end_;
  bool utf8_;
};

// 8-bit fonts see code points above 255 as '?', as a conversion to Latin-1 does.
uint32_t EightBit(uint32_t code) {
  return code < 256 ? code : '?';
}

// The pen rule of every kind: a negative total advance leaves the pen.
int Advance(int advance, int spacing) {
  const int step = advance + spacing;
  return step < 0 ? 0 : step;
}

struct Ink {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
  void Add(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x + w - 1);
    y1 = std::max(y1, y + h - 1);
  }
  void Store(TextExtent* e) const {
    if (x1 < x0) {
      e->inkX = e->inkY = 0;
      e->inkRight = e->inkBottom = -1;
      return;
    }
    e->inkX = x0;
    e->inkY = y0;
    e->inkRight = x1;
    e->inkBottom = y1;
  }
};

// Walks the glyphs of a bitmap font run: kerning, glyph, advance.
template <class F>
int WalkBitmapRun(const BitmapFontData& f, const char* text, int length, int encoding, int spacing,
                  F&& glyph) {
  CodeReader reader(text, length, encoding);
  int pen = 0;
  uint32_t code;
  while (reader.Next(&code)) {
    code = EightBit(code);
    const int index = AmigaGlyphIndex(f, code);
    if (f.charKern) pen += f.charKern[index];
    glyph(code, index, pen);
    pen += Advance(f.charSpace ? f.charSpace[index] : f.xSize, spacing);
  }
  return pen;
}

int MeasureBitmap(FontRecord* font, const char* text, int length, int encoding, int spacing,
                  TextExtent* out) {
  const auto& f = *static_cast<const BitmapFontData*>(font->engineData);
  Ink ink;
  out->width =
      WalkBitmapRun(f, text, length, encoding, spacing, [&](uint32_t code, int index, int pen) {
        if (code != 32) ink.Add(pen, 0, static_cast<int>(f.charLoc[index] & 0xFFFF), f.ySize);
      });
  ink.Store(out);
  return 0;
}

// Walks a brush font run: cell (or -1) and advance.
template <class F>
int WalkBrushRun(const BrushFontData& f, const char* text, int length, int encoding, int spacing,
                 F&& glyph) {
  CodeReader reader(text, length, encoding);
  int pen = 0;
  uint32_t code;
  while (reader.Next(&code)) {
    const int cell = BrushFontCell(f, EightBit(code));
    if (cell >= 0) glyph(cell, pen);
    pen += Advance(cell >= 0 ? f.widths[cell] : f.cellWidth, spacing);
  }
  return pen;
}

// The ink of a brush font run spans its advance (without the spacing after
// the last character) and the whole line.
int MeasureBrush(FontRecord* font, const char* text, int length, int encoding, int spacing,
                 TextExtent* out) {
  const auto& f = *static_cast<const BrushFontData*>(font->engineData);
  out->width = WalkBrushRun(f, text, length, encoding, spacing, [](int, int) {});
  out->inkX = 0;
  out->inkY = 0;
  out->inkRight = length ? out->width - spacing - 1 : -1;
  out->inkBottom = length ? font->height - 1 : -1;
  return 0;
}

void DrawBrushCell(GlyphCanvas* c, const BrushFontData& f, int cell, int x, int y) {
  const int cx = (cell % f.perRow) * (f.cellWidth + f.colSpacing);
  const int cy = (cell / f.perRow) * (f.cellHeight + f.rowSpacing);
  BlendImage(c, x, y, f.pixels + static_cast<ptrdiff_t>(cy) * f.gridWidth + cx, f.gridWidth,
             f.cellWidth, f.cellHeight);
}

int MeasureOutline(FontRecord* font, const char* text, int length, int encoding, int flags,
                   int spacing, TextExtent* out) {
  CodeReader reader(text, length, encoding);
  Ink ink;
  int pen = 0, previous = 0;
  uint32_t code;
  while (reader.Next(&code)) {
    GlyphImage g;
    if (int e = OutlineGlyph(font, code, flags, &g, true)) return e;
    pen += OutlineKerning(font, previous, g.glyphIndex);
    previous = g.glyphIndex;
    if (code != 32) ink.Add(pen + g.left, font->ascender - g.top, g.width, g.rows);
    pen += Advance(g.advance, spacing);
  }
  out->width = pen;
  ink.Store(out);
  return 0;
}

}  // namespace

int OpenCanvas(const DrawTarget& t, OpenTarget* o) {
  const GraphicsInterface& g = *gBound.graphics;
  graphics::BitmapHandle* bitmap = t.bitmap;
  if (!bitmap) {
    graphics::OutputRecord* output = *g.currentOutput;
    if (!output) return kErrNoOutput;
    if (output->kind == graphics::kOutputDisplay && !gBound.display)
      return ErrorWithString(kErrSiblingAbsent, "display");
    bitmap = output->kind == graphics::kOutputMask    ? output->mask
             : output->kind == graphics::kOutputAlpha ? output->alpha
                                                      : output->color;
    if (!bitmap) return kErrNoOutput;
    o->output = output;
  }
  graphics::LockRecord lock;
  if (!g.LockBitmap(bitmap, 0, &lock)) return kErrLockBitmap;
  const int kind = bitmap->kind == graphics::kKindAlpha   ? kCanvasAlpha
                   : bitmap->kind == graphics::kKindMask  ? kCanvasMask
                   : bitmap->kind == graphics::kKindIndex ? kCanvasPen
                                                          : kCanvasColor;
  InitCanvas(&o->canvas, lock.pixels, lock.bytesPerRow, lock.format, kind, lock.width, lock.height);
  g.UnlockBitmap(&lock);
  if (o->output && o->output->clip.width > 0 && o->output->clip.height > 0) {
    const graphics::Rect& c = o->output->clip;
    ClipCanvas(&o->canvas, c.x, c.y, c.width, c.height);
  }
  if (t.clip.width > 0) ClipCanvas(&o->canvas, t.clip.x, t.clip.y, t.clip.width, t.clip.height);
  o->canvas.color = t.color & 0xFFFFFF;
  o->canvas.level = 255 - static_cast<int>(t.color >> 24);
  o->canvas.pen = t.pen >= 0 ? t.pen : (kind == kCanvasPen ? g.MapColorToPen(t.color) : -1);
  return 0;
}

void CloseCanvas(const OpenTarget& o) {
  const GlyphCanvas& c = o.canvas;
  if (!o.output || c.dirtyX1 <= c.dirtyX0) return;
  const graphics::OutputOps* ops = o.output->ops;
  if (ops && ops->changed)
    ops->changed(o.output, c.dirtyX0, c.dirtyY0, c.dirtyX1 - c.dirtyX0, c.dirtyY1 - c.dirtyY0);
}

namespace {

// The row shift of synthesised italic: the top row moves by ascender / 2,
// one pixel less every second row down.
int ItalicShift(int ascender, int row) {
  return ascender / 2 - row / 2;
}

// One glyph of a monochrome bitmap font, with synthesised bold and italic.
void DrawBitmapGlyph(GlyphCanvas* c, const BitmapFontData& f, int index, int x, int y, int flags) {
  const uint32_t loc = f.charLoc[index];
  const int offset = static_cast<int>(loc >> 16), w = static_cast<int>(loc & 0xFFFF);
  if (!w) return;
  const bool bold = flags & graphics::kBold, italic = flags & graphics::kItalic;
  if (!bold && !italic) {
    BlendBits(c, x, y, f.strip, f.modulo, offset, w, f.ySize);
    return;
  }
  uint8_t row[1025];
  const int width = std::min(w, 1024);
  for (int r = 0; r < f.ySize; ++r) {
    const uint8_t* bits = f.strip + static_cast<ptrdiff_t>(r) * f.modulo;
    std::memset(row, 0, width + 1);
    for (int i = 0; i < width; ++i) {
      const int b = offset + i;
      if (bits[b >> 3] & (0x80 >> (b & 7))) row[i] = row[i + (bold ? 1 : 0)] = 255;
    }
    const int shift = italic ? ItalicShift(f.baseline, r) : 0;
    BlendCoverage(c, x + shift, y + r, row, width + 1, width + (bold ? 1 : 0), 1);
  }
}

void DrawColorGlyph(GlyphCanvas* c, const BitmapFontData& f, int index, int x, int y, int flags) {
  const uint32_t loc = f.charLoc[index];
  const int offset = static_cast<int>(loc >> 16), w = static_cast<int>(loc & 0xFFFF);
  if (!w) return;
  const int pitch = f.modulo * 8;
  const bool bold = flags & graphics::kBold, italic = flags & graphics::kItalic;
  for (int r = 0; r < f.ySize; ++r) {
    const uint8_t* pens = f.chunky + static_cast<ptrdiff_t>(r) * pitch + offset;
    const int shift = italic ? ItalicShift(f.baseline, r) : 0;
    if (bold) BlendPens(c, x + shift + 1, y + r, pens, pitch, w, 1, f.palette);
    BlendPens(c, x + shift, y + r, pens, pitch, w, 1, f.palette);
  }
}

int DrawOutlineImage(GlyphCanvas* c, const GlyphImage& g, int x, int y) {
  if (!g.width || !g.rows) return 0;
  if (g.outline) return DrawGlyphOutline(c, g, x, y);
  if (!g.pixels) return 0;
  if (g.mono) {
    BlendBits(c, x, y, g.pixels, g.pitch, 0, g.width, g.rows);
  } else {
    BlendCoverage(c, x, y, g.pixels, g.pitch, g.width, g.rows);
  }
  return 0;
}

}  // namespace

int DrawOnCanvas(GlyphCanvas* c, FontRecord* font, const char* text, int length, int encoding,
                 int penX, int lineTop, int flags, int spacing) {
  switch (font->kind) {
    case kFontBitmap:
    case kFontColor: {
      const auto& f = *static_cast<const BitmapFontData*>(font->engineData);
      const bool color = font->kind == kFontColor;
      WalkBitmapRun(f, text, length, encoding, spacing, [&](uint32_t, int index, int pen) {
        if (color) {
          DrawColorGlyph(c, f, index, penX + pen, lineTop, flags);
        } else {
          DrawBitmapGlyph(c, f, index, penX + pen, lineTop, flags);
        }
      });
      return 0;
    }
    case kFontOutline: {
      CodeReader reader(text, length, encoding);
      int pen = penX, previous = 0;
      uint32_t code;
      while (reader.Next(&code)) {
        GlyphImage g;
        if (int e = OutlineGlyph(font, code, flags, &g, true)) return e;
        pen += OutlineKerning(font, previous, g.glyphIndex);
        previous = g.glyphIndex;
        if (int e = DrawOutlineImage(c, g, pen + g.left, lineTop + font->ascender - g.top))
          return e;
        pen += Advance(g.advance, spacing);
      }
      return 0;
    }
    case kFontBrush: {
      const auto& f = *static_cast<const BrushFontData*>(font->engineData);
      WalkBrushRun(f, text, length, encoding, spacing,
                   [&](int cell, int pen) { DrawBrushCell(c, f, cell, penX + pen, lineTop); });
      return 0;
    }
    default:
      return 0;
  }
}

FontRecord* VariantFor(FontRecord* font, int* flags) {
  if (font->kind != kFontSystem) return font;
  int synth;
  FontRecord* v = SystemFontVariant(font, *flags, &synth);
  *flags = (*flags & ~(graphics::kBold | graphics::kItalic)) | synth;
  return v;
}

int MeasureRun(FontRecord* font, const char* text, int length, int encoding, int flags,
               int charSpacing, TextExtent* out) {
  *out = {};
  out->height = font->height;
  font = VariantFor(font, &flags);
  switch (font->kind) {
    case kFontBitmap:
    case kFontColor:
      return MeasureBitmap(font, text, length, encoding, charSpacing, out);
    case kFontOutline:
      return MeasureOutline(font, text, length, encoding, flags, charSpacing, out);
    case kFontBrush:
      return MeasureBrush(font, text, length, encoding, charSpacing, out);
    default:
      out->inkRight = out->inkBottom = -1;
      return 0;
  }
}

int DrawRun(FontRecord* font, const char* text, int length, int encoding, int penX, int lineTop,
            const DrawTarget& target) {
  OpenTarget o;
  if (int e = OpenCanvas(target, &o)) return e;
  int flags = target.flags;
  font = VariantFor(font, &flags);
  const int e = DrawOnCanvas(&o.canvas, font, text, length, encoding, penX, lineTop, flags,
                             target.charSpacing);
  CloseCanvas(o);
  return e;
}

}  // namespace tzx::text
