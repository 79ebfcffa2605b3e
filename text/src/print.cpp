#include "print.h"

#include "bindings.h"
#include "glyph_runs.h"
#include "style_measure.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

namespace {

bool NeedsEffects(const TextStyle& s) {
  return (s.flags & (graphics::kShadow | graphics::kEdge | graphics::kUnderlined)) != 0;
}

int DrawRuns(const LayoutRequest& r, const Layout& l, int32_t x, int32_t y, bool paletteMode) {
  bool effects = false;
  for (size_t i = 0; i < l.runs.size(); ++i) effects |= NeedsEffects(l.runs[i].style);
  const bool frames = r.listMode && r.frame > 1;
  if (!effects) {
    for (size_t i = 0; i < l.runs.size(); ++i) {
      const TextRun& run = l.runs[i];
      if (frames && !RunInFrame(run, r.frameMode, r.frame)) continue;
      const DrawTarget t = {
          nullptr,         {},           paletteMode ? run.style.fontPen : -1, run.style.fontColor,
          run.style.flags, r.charSpacing};
      if (int rc = DrawRun(run.style.font, l.bytes.data() + run.offset,
                           static_cast<int>(run.length), r.encoding, x + run.x, y + run.y, t)) {
        return rc;
      }
    }
    return 0;
  }
  HostArray<PlacedRun> placed;
  if (!placed.Reserve(l.runs.size() + 1)) return kErrNoMemory;
  for (size_t i = 0; i < l.runs.size(); ++i) {
    const TextRun& run = l.runs[i];
    if (frames && !RunInFrame(run, r.frameMode, r.frame)) continue;
    PlacedRun p;
    p.x = run.x;
    p.y = run.y;
    p.text = l.bytes.data() + run.offset;
    p.length = static_cast<int32_t>(run.length);
    p.style = run.style;
    if (int rc =
            MeasureInStyle(run.style, p.text, run.length, r.encoding, r.charSpacing, &p.extent)) {
      return rc;
    }
    p.underlineWidth = p.extent.width;
    // Justified words of one underlined line share one bar.
    const bool joined = i + 1 < l.runs.size() && l.runs[i + 1].line == run.line &&
                        (l.runs[i + 1].style.flags & graphics::kUnderlined) &&
                        (run.style.flags & graphics::kUnderlined) &&
                        r.align == graphics::kJustified;
    if (joined) p.underlineWidth = l.runs[i + 1].x - run.x;
    placed.Push(p);
  }
  if (placed.empty()) return 0;
  const DrawTarget t = {nullptr, {}, -1, r.style.fontColor, r.style.flags, r.charSpacing};
  return DrawPlacedRuns(placed.data(), static_cast<int>(placed.size()), r.encoding, r.charSpacing,
                        x, y, t, paletteMode ? 1 : 0);
}

}  // namespace

graphics::OutputRecord* PrintOutput(int* rc) {
  graphics::OutputRecord* output = *Gfx().currentOutput;
  *rc = 0;
  if (!output) {
    *rc = kErrNoOutput;
  } else if (output->kind == graphics::kOutputDisplay && !gBound.display) {
    *rc = ErrorWithString(kErrSiblingAbsent, "display");
  }
  return *rc ? nullptr : output;
}

LayoutFont FontForLayout(const LayoutRequest& request, int* encoding) {
  *encoding = request.encoding;
  LayoutFont f;
  f.context = encoding;
  f.measure = MeasureForLayout;
  const FontRecord* font = request.style.font;
  f.height = font->height;
  f.bitmapKind = font->kind == kFontBitmap || font->kind == kFontColor || font->kind == kFontBrush;
  return f;
}

int DrawText(const LayoutRequest& request, int32_t x, int32_t y, bool resolve, Layout* out) {
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  // A plug-in that renders whole texts itself cannot draw bullets between them.
  const FontRecord* record = request.style.font;
  if (request.listMode && record->kind == kFontPlugin && record->pluginFlagB) {
    return kErrPluginUnsupported;
  }
  int encoding = 0;
  const LayoutFont font = FontForLayout(request, &encoding);
  if ((rc = LayOut(request, font, out))) return rc;
  const int32_t box = request.wrapWidth > 0 ? request.wrapWidth : out->width;
  AlignLayout(out, request.align, box);
  if (resolve) {
    x = Gfx().ResolveX(x, box, output->width, 0.0);
    y = Gfx().ResolveY(y, out->height, output->height, 0.0);
  }
  return DrawRuns(request, *out, x, y, request.paletteMode);
}

int PrintAtCursor(graphics::OutputRecord* output, LayoutRequest* request) {
  PrepareCursor(output);
  graphics::PrintCursor& c = output->cursor;
  request->wrapWidth = c.rightMargin - c.leftMargin + 1;
  request->firstIndent = c.cursorX - c.leftMargin;
  request->leftMargin = c.leftMargin;
  request->tabCount = c.tabCount;
  for (int32_t i = 0; i < c.tabCount; ++i) request->tabs[i] = c.tabs[i];
  Layout layout;
  if (int rc = DrawText(*request, c.leftMargin, c.cursorY, false, &layout)) return rc;
  c.cursorX = c.leftMargin + layout.endX;
  c.cursorY += layout.endY;
  return 0;
}

}  // namespace tzx::text
