#include "print.h"

#include "bindings.h"
#include "fonts.h"
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

// Draws the runs at (x, y) of `into`, or of the current output when null.
int DrawRuns(const LayoutRequest& r, const Layout& l, int32_t x, int32_t y, bool paletteMode,
             graphics::BitmapHandle* into) {
  bool effects = false;
  for (size_t i = 0; i < l.runs.size(); ++i) effects |= NeedsEffects(l.runs[i].style);
  const bool frames = r.listMode && r.frame > 1;
  if (!effects) {
    for (size_t i = 0; i < l.runs.size(); ++i) {
      const TextRun& run = l.runs[i];
      if (frames && !RunInFrame(run, r.frameMode, r.frame)) continue;
      const DrawTarget t = {into,
                            {},
                            paletteMode ? run.style.fontPen : -1,
                            run.style.fontColor,
                            run.style.flags,
                            r.charSpacing};
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
  const DrawTarget t = {into, {}, -1, r.style.fontColor, r.style.flags, r.charSpacing};
  return DrawPlacedRuns(placed.data(), static_cast<int>(placed.size()), r.encoding, r.charSpacing,
                        x, y, t, paletteMode ? 1 : 0);
}

// Room around the text for what styles draw outside the advance: slanted
// glyphs, shadows and edges, and a little for glyphs that overhang.
int32_t EffectsMargin(const Layout& l) {
  int32_t grow = 2;
  for (size_t i = 0; i < l.runs.size(); ++i) {
    const TextStyle& s = l.runs[i].style;
    int32_t g = 2;
    if ((s.flags & graphics::kItalic) && s.font) g += s.font->height / 2;
    if (s.flags & graphics::kShadow) g += s.shadowSize + 10;
    if (s.flags & graphics::kEdge) g += s.borderSize;
    if (g > grow) grow = g;
  }
  return grow;
}

// The central draw of the text's own planes with the tags.
int DrawThroughTags(lua_State* L, const LayoutRequest& r, const Layout& l, int32_t x, int32_t y,
                    int32_t width, TextDrawTags* d) {
  if (l.runs.empty()) return 0;
  TextPlanes planes;
  int rc = RenderLayoutPlanes(r, l, width, &planes);
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (!rc) {
    const int32_t pad = planes.pad;
    if (!d->transform.matrixGiven) {
      g.BuildTransformMatrix(&d->transform, d->transform.width, d->transform.height, planes.width,
                             planes.height);
    }
    graphics::DrawObjectArgs a{};
    a.type = graphics::kDrawBitmap;
    a.bitmap = planes.color;
    a.alpha = planes.alpha;
    // The margin is scaled with the text; the text's own corner stays at
    // (x, y) unless it is turned.
    const graphics::TransformRecord& t = d->transform;
    const bool turned = t.matrix[1] != 0.0 || t.matrix[2] != 0.0;
    a.x =
        x -
        (turned ? pad
                : static_cast<int32_t>(pad * (t.matrix[0] < 0 ? -t.matrix[0] : t.matrix[0]) + 0.5));
    a.y =
        y -
        (turned ? pad
                : static_cast<int32_t>(pad * (t.matrix[3] < 0 ? -t.matrix[3] : t.matrix[3]) + 0.5));
    a.transform = &d->transform;
    a.tags = &d->tags;
    rc = g.DrawObject(L, &a);
  }
  FreeTextPlanes(&planes);
  return rc;
}

// A scale of the draw tags that the font can take itself: an outline font,
// scaled by factors rather than to a size or by a given matrix.
bool ScalesFont(const graphics::TransformRecord& t, const FontRecord& font) {
  return font.scalable && !t.matrixGiven && t.width == 0 && t.height == 0 &&
         (t.scaleX != 1.0 || t.scaleY != 1.0);
}

// The lengths of a request at a scale, rounded by the host: wrap width,
// spacing, tab stops, list offsets and spacing, shadow and border sizes.
void ScaleRequest(LayoutRequest* r, double sx, double sy) {
  const auto round = Host().runtime->roundToInt;
  r->wrapWidth = round(r->wrapWidth * sx);
  r->charSpacing = round(r->charSpacing * sx);
  r->lineSpacing = round(r->lineSpacing * sy);
  for (int32_t i = 0; i < r->tabCount; ++i) r->tabs[i] = round(r->tabs[i] * sx);
  for (int32_t k = 0; k < kListLevels; ++k) {
    r->list[kListOffset][k] = round(r->list[kListOffset][k] * sx);
    r->list[kListSpacing][k] = round(r->list[kListSpacing][k] * sy);
  }
  r->firstIndent = round(r->firstIndent * sx);
  r->style.shadowSize = round(r->style.shadowSize * sx);
  r->style.borderSize = round(r->style.borderSize * sx);
  ClampTextStyle(&r->style);
}

}  // namespace

bool DrawTagsNeedEffects(const graphics::TransformRecord& t, const graphics::TagRecord& tags) {
  return tags.hasEffects || tags.transparency != 0 || tags.globalTransparency != 0 ||
         t.matrixGiven || t.scaleX != 1.0 || t.scaleY != 1.0 || t.rotate != 0.0 || t.width != 0 ||
         t.height != 0;
}

graphics::OutputRecord* PrintOutput(int* rc) {
  graphics::OutputRecord* output = *gBound.graphics->currentOutput;
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

int DrawText(lua_State* L, const LayoutRequest& request, int32_t x, int32_t y, bool resolve,
             TextDrawTags* drawTags, Layout* out) {
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  // A plug-in that renders whole texts itself cannot draw bullets between them.
  FontRecord* record = request.style.font;
  if (request.listMode && record->kind == kFontPlugin && record->pluginFlagB) {
    return kErrPluginUnsupported;
  }
  if (drawTags && ScalesFont(drawTags->transform, *record)) {
    // Scaled text is drawn with the font scaled rather than its pixels; the
    // lengths of the layout scale with it.
    graphics::TransformRecord& t = drawTags->transform;
    const double fontX = record->scaleX, fontY = record->scaleY;
    const double sx = t.scaleX < 0 ? -t.scaleX : t.scaleX;
    const double sy = t.scaleY < 0 ? -t.scaleY : t.scaleY;
    LayoutRequest scaled = request;
    ScaleRequest(&scaled, sx, sy);
    SetFontScale(record, fontX * sx, fontY * sy);
    t.scaleX = t.scaleX < 0 ? -1.0 : 1.0;
    t.scaleY = t.scaleY < 0 ? -1.0 : 1.0;
    gBound.graphics->BuildTransformMatrix(&t, 0, 0, 0, 0);
    const bool effects = DrawTagsNeedEffects(t, drawTags->tags);
    rc = DrawText(L, scaled, x, y, resolve, effects ? drawTags : nullptr, out);
    SetFontScale(record, fontX, fontY);
    return rc;
  }
  int encoding = 0;
  const LayoutFont font = FontForLayout(request, &encoding);
  if ((rc = LayOut(request, font, out))) return rc;
  const int32_t box = request.wrapWidth > 0 ? request.wrapWidth : out->width;
  AlignLayout(out, request.align, box);
  if (resolve) {
    x = gBound.graphics->ResolveX(x, box, output->width, 0.0);
    y = gBound.graphics->ResolveY(y, out->height, output->height, 0.0);
  }
  if (drawTags) return DrawThroughTags(L, request, *out, x, y, box, drawTags);
  if (output->layers) {
    // On a display in layer mode the text becomes a layer through the
    // graphics library's central draw.
    TextDrawTags plain;
    gBound.graphics->InitDrawRecord(&plain.transform, &plain.tags, 0, 0, 0, 0);
    return DrawThroughTags(L, request, *out, x, y, box, &plain);
  }
  return DrawRuns(request, *out, x, y, request.paletteMode, nullptr);
}

int RenderLayoutPlanes(const LayoutRequest& r, const Layout& l, int32_t boxWidth, TextPlanes* out) {
  *out = TextPlanes{};
  const int32_t pad = EffectsMargin(l);
  const int32_t w = boxWidth + 2 * pad;
  const int32_t h = l.height + 2 * pad;
  if (w < 1 || h < 1) return kErrSizeTooSmall;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  out->color = g.AllocBitmap(w, h, 0, nullptr);
  out->alpha = out->color ? g.AllocAlpha(w, h, 0, nullptr, 0) : nullptr;
  int rc = out->alpha ? 0 : kErrNoMemory;
  if (!rc) rc = g.FillBitmapRect(out->color, 0, 0, w, h, r.style.fontColor & 0xFFFFFF);
  if (!rc) rc = DrawRuns(r, l, pad, pad, false, out->color);
  if (!rc) rc = DrawRuns(r, l, pad, pad, false, out->alpha);
  if (rc) {
    FreeTextPlanes(out);
    return rc;
  }
  out->width = w;
  out->height = h;
  out->pad = pad;
  return 0;
}

void FreeTextPlanes(TextPlanes* planes) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (planes->alpha) g.FreeAlpha(planes->alpha);
  if (planes->color) g.FreeBitmap(planes->color);
  planes->alpha = planes->color = nullptr;
}

int RenderRequestPlanes(const LayoutRequest& request, double scaleX, double scaleY,
                        TextPlanes* out) {
  FontRecord* record = request.style.font;
  const bool scaled = record->scalable && (scaleX != 1.0 || scaleY != 1.0);
  const double fontX = record->scaleX, fontY = record->scaleY;
  LayoutRequest atScale;
  const LayoutRequest* r = &request;
  if (scaled) {
    atScale = request;
    ScaleRequest(&atScale, scaleX, scaleY);
    SetFontScale(record, fontX * scaleX, fontY * scaleY);
    r = &atScale;
  }
  int encoding = 0;
  const LayoutFont font = FontForLayout(*r, &encoding);
  Layout layout;
  int rc = LayOut(*r, font, &layout);
  if (!rc) {
    const int32_t box = r->wrapWidth > 0 ? r->wrapWidth : layout.width;
    AlignLayout(&layout, r->align, box);
    rc = RenderLayoutPlanes(*r, layout, box, out);
  }
  if (scaled) SetFontScale(record, fontX, fontY);
  return rc;
}

int PrintAtCursor(lua_State* L, graphics::OutputRecord* output, LayoutRequest* request) {
  PrepareCursor(output);
  graphics::PrintCursor& c = output->cursor;
  request->wrapWidth = c.rightMargin - c.leftMargin + 1;
  request->firstIndent = c.cursorX - c.leftMargin;
  request->leftMargin = c.leftMargin;
  request->tabCount = c.tabCount;
  for (int32_t i = 0; i < c.tabCount; ++i) request->tabs[i] = c.tabs[i];
  Layout layout;
  if (int rc = DrawText(L, *request, c.leftMargin, c.cursorY, false, nullptr, &layout)) return rc;
  c.cursorX = c.leftMargin + layout.endX;
  c.cursorY += layout.endY;
  return 0;
}

}  // namespace tzx::text
