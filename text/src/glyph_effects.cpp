// Runs with effects: shadow, edge, underline, colours with transparency.
// Each layer of a run is gathered as coverage first and blended once, so a
// translucent edge or shadow is as even as an opaque one.
#include <algorithm>
#include <cstring>

#include "glyph_runs.h"
#include "run_canvas.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {
namespace {

// Offsets of the eight shadow directions, clockwise from north.
constexpr int kShadowDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kShadowDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// The coverage planes of one run (glyphs, their edge, and the dilation's
// half-way plane), grown as runs need.
struct Layers {
  uint8_t* glyphs = nullptr;
  uint8_t* edge = nullptr;
  uint8_t* scratch = nullptr;
  size_t capacity = 0;
  ~Layers() { Release(); }
  void Release() {
    HostFree(glyphs);
    HostFree(edge);
    HostFree(scratch);
    glyphs = edge = scratch = nullptr;
    capacity = 0;
  }
  bool Ensure(size_t bytes) {
    if (bytes <= capacity) return true;
    Release();
    glyphs = static_cast<uint8_t*>(HostAlloc(bytes, false));
    edge = static_cast<uint8_t*>(HostAlloc(bytes, false));
    scratch = static_cast<uint8_t*>(HostAlloc(bytes, false));
    if (!glyphs || !edge || !scratch) {
      Release();
      return false;
    }
    capacity = bytes;
    return true;
  }
};

// The larger coverage over a (2n + 1)² square of stamps, rows then columns.
void Dilate(const uint8_t* source, uint8_t* target, uint8_t* scratch, int width, int height,
            int n) {
  for (int y = 0; y < height; ++y) {
    const uint8_t* s = source + static_cast<size_t>(y) * width;
    uint8_t* t = scratch + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      uint8_t m = 0;
      for (int d = std::max(0, x - n); d <= std::min(width - 1, x + n); ++d) m = std::max(m, s[d]);
      t[x] = m;
    }
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* t = target + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      uint8_t m = 0;
      for (int d = std::max(0, y - n); d <= std::min(height - 1, y + n); ++d)
        m = std::max(m, scratch[static_cast<size_t>(d) * width + x]);
      t[x] = m;
    }
  }
}

// Sets the canvas's colour or pen for a layer; a colour's top byte is its
// transparency.
void Paint(GlyphCanvas* c, uint32_t color, int pen, bool paletteMode) {
  c->color = color & 0xFFFFFF;
  c->level = 255 - static_cast<int>(color >> 24);
  if (paletteMode) c->pen = pen;
}

// The underline bar of a run below its line's top.
void UnderlineRows(const FontRecord* font, int* first, int* rows) {
  const int d = font->height - font->ascender;
  const int t = std::max(d / 3, 1);
  if (d == 0) {
    *first = font->ascender;
    *rows = 1;
  } else if (d == 1) {
    *first = font->ascender + 1;
    *rows = 1;
  } else {
    *first = font->ascender + t;
    *rows = t;
  }
}

int DrawOne(GlyphCanvas* c, Layers* layers, const PlacedRun& run, int encoding, int spacing, int x,
            int y, bool paletteMode) {
  const graphics::TextStyle& s = run.style;
  FontRecord* font = s.font;
  int flags = s.flags;
  const bool edge = flags & graphics::kEdge, shadow = flags & graphics::kShadow;
  const int border = edge ? s.borderSize : 0;
  const int shade = shadow ? s.shadowSize : 0;
  // Room for the ink outside the advance, italic shifts and the border.
  const int margin = border + font->height;
  const int inkRight = std::max(run.extent.width, run.extent.inkRight + 1);
  const int width = inkRight - std::min(0, run.extent.inkX) + 2 * margin;
  const int height = font->height + 2 * margin;
  const size_t bytes = static_cast<size_t>(width) * height;
  if (!layers->Ensure(bytes)) return kErrNoMemory;
  std::memset(layers->glyphs, 0, bytes);
  GlyphCanvas plane;
  InitCanvas(&plane, layers->glyphs, width, 0, kCanvasAlpha, width, height);
  const int originX = margin - std::min(0, run.extent.inkX);
  FontRecord* drawn = VariantFor(font, &flags);
  if (int e = DrawOnCanvas(&plane, drawn, run.text, run.length, encoding, originX, margin, flags,
                           spacing))
    return e;
  if (edge) Dilate(layers->glyphs, layers->edge, layers->scratch, width, height, border);
  const int left = x + run.x - originX, top = y + run.y - margin;
  if (shadow) {
    const int dir = s.shadowDir >= 0 && s.shadowDir < 8 ? s.shadowDir : 3;
    Paint(c, s.shadowColor, s.shadowPen, paletteMode);
    BlendCoverage(c, left + kShadowDx[dir] * shade, top + kShadowDy[dir] * shade,
                  edge ? layers->edge : layers->glyphs, width, width, height);
  }
  if (edge) {
    Paint(c, s.borderColor, s.borderPen, paletteMode);
    BlendCoverage(c, left, top, layers->edge, width, width, height);
  }
  Paint(c, s.fontColor, s.fontPen, paletteMode);
  BlendCoverage(c, left, top, layers->glyphs, width, width, height);
  if (s.flags & graphics::kUnderlined) {
    int first, rows;
    UnderlineRows(font, &first, &rows);
    const int bar = run.underlineWidth > run.extent.width ? run.underlineWidth : run.extent.width;
    FillCanvasRect(c, x + run.x, y + run.y + first, bar, rows);
  }
  return 0;
}

}  // namespace

int DrawPlacedRuns(const PlacedRun* runs, int count, int encoding, int charSpacing, int x, int y,
                   const DrawTarget& target, int paletteMode) {
  OpenTarget o;
  if (int e = OpenCanvas(target, &o)) return e;
  Layers layers;
  int error = 0;
  for (int i = 0; i < count && !error; ++i)
    error = DrawOne(&o.canvas, &layers, runs[i], encoding, charSpacing, x, y, paletteMode != 0);
  CloseCanvas(o);
  return error;
}

}  // namespace tzx::text
