#include "draw_object.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "bindings.h"
#include "bitmap_sets.h"
#include "bitmaps.h"
#include "blit_rows.h"
#include "blits.h"
#include "draw_effects.h"
#include "draw_record.h"
#include "draw_tags.h"
#include "graphics_state.h"
#include "image_objects.h"
#include "output.h"
#include "pixel_formats.h"
#include "pixels/pen_finder.h"
#include "pixels/pens.h"
#include "placement.h"
#include "scaling.h"
#include "transform_matrix.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/pins.h"
#include "tzx/text.h"

namespace tzx::graphics {

namespace {

constexpr int kChunk = 512;
constexpr uint32_t kNoColor = 0xFFFFFFFF;

// The planes of the object being drawn. A plain record: tag parsing may
// leave the draw through the host's argument errors, so pictures are drawn
// into planes only after it (Materialise) and freed explicitly (Release).
struct DrawSource {
  const BitmapHandle* color;
  const BitmapHandle* mask;
  const BitmapHandle* alpha;
  const BitmapHandle* index;  // pens, with palette
  const uint32_t* palette;
  int transparentPen;
  int depth;  // bits of the pens
  int width;
  int height;
  ImageObject* picture;  // drawn into planes by Materialise
  ImageObject* vector;   // a vector brush's picture, drawn afresh at other sizes
  BitmapHandle* madeColor;
  BitmapHandle* madeMask;
  BitmapHandle* madeAlpha;
  int32_t* pins;  // the brush's pin count, when the object is a brush
  int adjustX;    // text objects: where the planes sit from the asked place
  int adjustY;
};

void UsePicture(ImageObject* image, int width, int height, DrawSource* s) {
  s->picture = image;
  s->width = width > 0 ? width : image->width;
  s->height = height > 0 ? height : image->height;
}

int Materialise(DrawSource* s) {
  if (!s->picture) return 0;
  if (int rc = RasterizeImageObject(s->picture, s->width, s->height, nullptr, &s->madeColor,
                                    &s->madeMask, &s->madeAlpha)) {
    return rc;
  }
  if (!s->madeColor) return kErrImageObject;
  s->color = s->madeColor;
  s->mask = s->madeMask;
  s->alpha = s->madeAlpha;
  s->width = s->madeColor->width;
  s->height = s->madeColor->height;
  return 0;
}

void Release(DrawSource* s) {
  FreeBitmapSet(&s->madeColor, &s->madeMask, &s->madeAlpha);
}

int FromBrush(lua_State* L, const DrawObjectArgs& a, const OutputRecord* output, DrawSource* s) {
  auto* brush = gBound.brush;
  if (!brush) return ErrorWithString(kErrSiblingAbsent, "brush");
  bool part = a.type == kDrawBrushPart;
  brush::BrushRecord* record = nullptr;
  if (int rc = brush->FindBrush(L, a.id, &record, part ? kFindForDrawPart : kFindForDraw)) {
    return rc;
  }
  auto* b = reinterpret_cast<BrushRecordHead*>(record);
  s->pins = &b->busy;
  if (b->hardware && (!gCurrentDisplay || b->displayKey != gCurrentDisplay->owner)) {
    return kErrForeignHardwareBrush;
  }
  bool vector = b->kind == 1;
  if (part && vector) return kErrNotAllowed;
  if (vector && b->transformed && output->layers) return kErrVectorLayerTransform;
  s->width = b->width;
  s->height = b->height;
  if (vector) s->vector = b->imageObject;
  if (b->chunky) {
    s->index = b->chunky;
    s->palette = b->palette;
    s->transparentPen = b->transparentPen;
    s->depth = std::clamp(b->depth, 1, 8);
    return b->palette ? 0 : kErrNoPalette;
  }
  if (b->bitmap) {
    s->color = b->bitmap;
    s->mask = b->mask;
    s->alpha = b->alpha;
    return 0;
  }
  // Planes that were dropped, or a vector brush: drawn from its picture.
  if (!b->imageObject) return kErrNotAllowed;
  UsePicture(b->imageObject, b->width, b->height, s);
  return 0;
}

// A text object's cached planes. The text library pins the object for the
// command when it hands it over.
int FromTextObject(lua_State* L, const DrawObjectArgs& a, DrawSource* s) {
  auto* text = gBound.text;
  if (!text) return ErrorWithString(kErrSiblingAbsent, "text");
  if (!text->FindTextObject) return kErrRange;
  text::TextObjectHead* o = nullptr;
  const text::FindTextObjectArgs find{L, a.id, &o, 0};
  if (int rc = text->FindTextObject(&find)) return rc;
  s->color = o->color;
  s->mask = o->mask;
  s->alpha = o->alpha;
  s->width = o->width;
  s->height = o->height;
  s->adjustX = o->adjustX;
  s->adjustY = o->adjustY;
  // An untransformed text of a scalable font is drawn afresh under a matrix.
  if (o->vectorImage && !o->transformed) s->vector = o->vectorImage;
  return s->color ? 0 : kErrRange;
}

int FindSource(lua_State* L, const DrawObjectArgs& a, const OutputRecord* output, DrawSource* s) {
  if (a.image) {
    UsePicture(a.image, 0, 0, s);
    return 0;
  }
  switch (a.type) {
    case kDrawBitmap:
      if (!a.bitmap || a.bitmap->kind != kKindColor) return kErrRange;
      s->color = a.bitmap;
      s->mask = a.mask;
      s->alpha = a.alpha;
      s->width = a.bitmap->width;
      s->height = a.bitmap->height;
      return 0;
    case kDrawBrush:
    case kDrawBrushPart:
      return FromBrush(L, a, output, s);
    // These objects reach the draw through their own libraries' render
    // slots; without the library there is nothing to draw.
    case kDrawAnimFrame:
      return gBound.anim ? kErrRange : ErrorWithString(kErrSiblingAbsent, "anim");
    case kDrawTextObject:
      return FromTextObject(L, a, s);
    case kDrawTextOut:
    case kDrawPrint:
      return gBound.text ? kErrRange : ErrorWithString(kErrSiblingAbsent, "text");
    case kDrawBgPic:
      return gBound.bgpic ? kErrRange : ErrorWithString(kErrSiblingAbsent, "bgpic");
    case kDrawVideo:
      return gBound.video ? kErrRange : ErrorWithString(kErrSiblingAbsent, "video");
    default:
      return kErrRange;
  }
}

// Transforms, filters, shadows and borders are drawn from a working copy
// (DrawWithEffects); transparency alone blends on the direct path.
bool NeedsEffects(const TransformRecord& t, const TagRecord& tags, int width, int height) {
  bool sized = (t.width && t.width != width) || (t.height && t.height != height);
  return t.matrixGiven || !IsIdentity(t.matrix) || sized || HasFilters(tags.filters) ||
         tags.shadow.on || tags.border.on;
}

// Coverage 0..255 of source pixels from (sx, sy): alpha, mask bits, pens
// other than the transparent one; all visible without those planes.
void CoverageRow(const DrawSource& s, int sx, int sy, int count, uint8_t* out) {
  PixelView v;
  if (s.alpha && ViewOf(s.alpha, &v)) {
    std::memcpy(out, RowOf(v, sy) + sx, count);
  } else if (s.mask && ViewOf(s.mask, &v)) {
    const uint8_t* bits = RowOf(v, sy);
    for (int i = 0; i < count; ++i) out[i] = MaskBit(bits, sx + i) ? 255 : 0;
  } else if (s.index && s.transparentPen >= 0 && ViewOf(s.index, &v)) {
    const uint8_t* pens = RowOf(v, sy) + sx;
    for (int i = 0; i < count; ++i) out[i] = pens[i] == s.transparentPen ? 0 : 255;
  } else {
    std::memset(out, 255, count);
  }
}

// Colours of source pixels as 0x00RRGGBB.
void ColorRow(const DrawSource& s, int sx, int sy, int count, uint32_t* out) {
  PixelView v;
  if (s.color && ViewOf(s.color, &v)) {
    RowToArgb(RowOf(v, sy) + sx * v.bytesPerPixel, v.format, out, count);
    for (int i = 0; i < count; ++i) out[i] &= 0xFFFFFF;
  } else if (s.index && ViewOf(s.index, &v)) {
    const uint8_t* pens = RowOf(v, sy) + sx;
    for (int i = 0; i < count; ++i) out[i] = s.palette[pens[i]] & 0xFFFFFF;
  }
}

// A colour target: the blit family where it fits, else colour and coverage
// rows blended in chunks.
int PaintColor(const DrawSource& s, int sx, int sy, BitmapHandle* target, int x, int y, int w,
               int h, int level) {
  if (s.color && s.alpha) {
    return BlitBitmapAlpha(s.color, s.alpha, sx, sy, target, x, y, w, h, level);
  }
  if (s.color && !s.mask) {
    return level == 255 ? BlitBitmap(s.color, sx, sy, target, x, y, w, h)
                        : BlitBitmapAlpha(s.color, nullptr, sx, sy, target, x, y, w, h, level);
  }
  if (s.color && level == 255) return BlitBitmapMasked(s.color, s.mask, sx, sy, target, x, y, w, h);
  PixelView t;
  if (!ViewOf(target, &t)) return kErrLockBitmap;
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; column += kChunk) {
      int n = std::min(kChunk, w - column);
      alignas(16) uint32_t colors[kChunk], under[kChunk];
      alignas(16) uint8_t coverage[kChunk];
      ColorRow(s, sx + column, sy + row, n, colors);
      CoverageRow(s, sx + column, sy + row, n, coverage);
      if (level != 255) ScaleLevels(coverage, level, coverage, n);
      uint8_t* pixels = RowOf(t, y + row) + (x + column) * t.bytesPerPixel;
      RowToArgb(pixels, t.format, under, n);
      BlendRow32(reinterpret_cast<const uint8_t*>(colors), coverage,
                 reinterpret_cast<uint8_t*>(under), n);
      RowFromArgb(under, pixels, t.format, n);
    }
  }
  return 0;
}

// Pens, mask bits or levels: each pixel that is at least half covered.
int PaintPlane(const DrawSource& s, int sx, int sy, BitmapHandle* target,
               const OutputRecord* output, int x, int y, int w, int h, int level) {
  PixelView t;
  if (!ViewOf(target, &t)) return kErrLockBitmap;
  int pens =
      output->palette && output->paletteDepth > 0 ? 1 << std::min(output->paletteDepth, 8) : 0;
  // Colours become pens through an inverse colour map: the palette is
  // scanned once per colour cell met, not once per colour. Without its
  // working memory every colour scans the palette.
  struct Scratch {
    void* block;
    ~Scratch() { HostFree(block); }
  } scratch{pens && !s.index && t.kind != kKindAlpha && t.kind != kKindMask
                ? HostAlloc(pixels::PenFinder::kScratchBytes, false)
                : nullptr};
  std::optional<pixels::PenFinder> finder;
  if (scratch.block) finder.emplace(output->palette, pens, scratch.block);
  for (int row = 0; row < h; ++row) {
    uint8_t* line = RowOf(t, y + row);
    for (int column = 0; column < w; column += kChunk) {
      int n = std::min(kChunk, w - column);
      alignas(16) uint8_t coverage[kChunk];
      CoverageRow(s, sx + column, sy + row, n, coverage);
      if (level != 255) ScaleLevels(coverage, level, coverage, n);
      if (t.kind == kKindAlpha) {
        AlphaOverRow(coverage, line + x + column, n);
      } else if (t.kind == kKindMask) {
        for (int i = 0; i < n; ++i) {
          if (coverage[i] >= 128) SetMaskBit(line, x + column + i, true);
        }
      } else {
        alignas(16) uint32_t colors[kChunk];
        ColorRow(s, sx + column, sy + row, n, colors);
        PixelView pensView;
        const uint8_t* sourcePens = s.index && ViewOf(s.index, &pensView)
                                        ? RowOf(pensView, sy + row) + sx + column
                                        : nullptr;
        // Runs of one colour are common; the last match is kept.
        uint32_t lastColor = kNoColor;
        int lastPen = 0;
        for (int i = 0; i < n; ++i) {
          if (coverage[i] < 128) continue;
          if (sourcePens) {
            line[x + column + i] = sourcePens[i];
            continue;
          }
          if (colors[i] != lastColor) {
            lastColor = colors[i];
            lastPen = !pens    ? 0
                      : finder ? finder->Find(colors[i])
                               : pixels::NearestPen(colors[i], output->palette, pens);
          }
          line[x + column + i] = static_cast<uint8_t>(lastPen);
        }
      }
    }
  }
  return 0;
}

// A whole vector picture under a matrix is drawn afresh at the size the
// matrix gives it, with the matrix, rather than resampled; the transform
// then has nothing left to do. The script function runs meanwhile: the
// source's planes are not used after it.
int Redraw(DrawSource* s, TransformRecord* t, int sourceX, int sourceY, int* width, int* height) {
  if (!s->vector || sourceX || sourceY || *width != s->width || *height != s->height) return 0;
  double m[4];
  RecordMatrix(*t, *width, *height, m);
  if (IsIdentity(m)) return 0;
  int w, h;
  DrawnSize(m, *width, *height, &w, &h);
  if (int rc =
          RasterizeImageObject(s->vector, w, h, m, &s->madeColor, &s->madeMask, &s->madeAlpha)) {
    return rc;
  }
  if (!s->madeColor) return kErrImageObject;
  *s = DrawSource{s->madeColor,
                  s->madeMask,
                  s->madeAlpha,
                  nullptr,
                  nullptr,
                  -1,
                  s->depth,
                  s->madeColor->width,
                  s->madeColor->height,
                  nullptr,
                  nullptr,
                  s->madeColor,
                  s->madeMask,
                  s->madeAlpha,
                  nullptr,
                  s->adjustX,
                  s->adjustY};
  *width = s->width;
  *height = s->height;
  IdentityMatrix(t->matrix);
  t->matrixGiven = 0;
  t->width = t->height = 0;
  return 0;
}

// The scaled draw's working planes, kept between draws and grown when needed,
// so that drawing at one size again allocates no pixels.
struct DrawScratch {
  ScratchArray wide;  // a window of another format as 0xAARRGGBB
  ScratchArray maskWindow;
  ScratchArray color;
  ScratchArray mask;
  ScratchArray alpha;
  ScaleScratch scale;
};
DrawScratch gScratch;

// A scratch block of at least `bytes`, or null without memory.
uint8_t* Room(ScratchArray& array, size_t bytes) {
  return EnsureScratch(array, bytes) ? static_cast<uint8_t*>(array.data) : nullptr;
}

// Scaling alone onto colour (no turn, mirror, filter, border or shadow) goes
// the scaled path; the size it scales to comes back.
bool ScalesOnly(const DrawSource& s, const DrawTarget& target, const TransformRecord& t,
                const TagRecord& tags, int width, int height, int* newWidth, int* newHeight) {
  if (s.vector || s.index || target.bitmap->kind != kKindColor || HasFilters(tags.filters) ||
      tags.shadow.on || tags.border.on) {
    return false;
  }
  double m[4];
  RecordMatrix(t, width, height, m);
  if (m[1] != 0.0 || m[2] != 0.0 || !(m[0] > 0.0) || !(m[3] > 0.0)) return false;
  DrawnSize(m, width, height, newWidth, newHeight);
  return *newWidth != width || *newHeight != height;
}

// Rows of the scaled picture made and drawn at a time: enough to keep the
// scratch in the processor's cache between scaling and blending.
constexpr size_t kBandBytes = 64 * 1024;

// The scaled draw's source: the window where it lies (a 32-bit copy for
// other formats, the mask's bits moved to a byte boundary), and which
// coverage it has.
int WindowRequest(const DrawSource& s, int sx, int sy, int width, int height, ScaleRequest* r,
                  bool* hasAlpha, bool* hasMask) {
  PixelView c, a, m;
  if (!ViewOf(s.color, &c)) return kErrLockBitmap;
  *hasAlpha = s.alpha && ViewOf(s.alpha, &a);
  *hasMask = !*hasAlpha && s.mask && ViewOf(s.mask, &m);
  r->sourceWidth = width;
  r->sourceHeight = height;
  if (c.format == kFormatArgb32) {
    r->source = RowOf(c, sy) + sx * 4;
    r->sourceRowBytes = c.bytesPerRow;
  } else {
    uint8_t* wide = Room(gScratch.wide, static_cast<size_t>(width) * height * 4);
    if (!wide) return kErrNoMemory;
    ConvertRect(RowOf(c, sy) + sx * c.bytesPerPixel, c.bytesPerRow, c.format, wide, width * 4,
                kFormatArgb32, width, height);
    r->source = wide;
    r->sourceRowBytes = width * 4;
  }
  if (*hasAlpha) {
    r->sourceAlpha = RowOf(a, sy) + sx;
    r->sourceAlphaRowBytes = a.bytesPerRow;
  } else if (*hasMask) {
    r->sourceMask = RowOf(m, sy) + sx / 8;
    r->sourceMaskRowBytes = m.bytesPerRow;
    if (sx % 8) {
      const int windowRow = MaskRowBytes(width);
      uint8_t* bits = Room(gScratch.maskWindow, static_cast<size_t>(windowRow) * height);
      if (!bits) return kErrNoMemory;
      for (int y = 0; y < height; ++y) {
        CopyMaskBits(RowOf(m, sy + y), sx, bits + static_cast<size_t>(y) * windowRow, 0, width,
                     kMaskCopy);
      }
      r->sourceMask = bits;
      r->sourceMaskRowBytes = windowRow;
    }
  }
  return 0;
}

// Handles over the band planes of the scratch, `width` x `rows`.
struct BandPlanes {
  ColorStore store;  // the colour handle points at it
  BitmapHandle* color = nullptr;
  BitmapHandle* mask = nullptr;
  BitmapHandle* alpha = nullptr;
  ~BandPlanes() { FreeBitmapSet(&color, &mask, &alpha); }
};

int MakeBandPlanes(int width, int rows, bool alpha, bool mask, BandPlanes* out) {
  const int colorRow = ColorRowPixels(width) * 4;
  // Laid out as the library's own bitmaps, with their spare row.
  uint8_t* pixels = Room(gScratch.color, static_cast<size_t>(colorRow) * (rows + 1));
  uint8_t* levels =
      alpha ? Room(gScratch.alpha, static_cast<size_t>(PlaneRowBytes(width)) * (rows + 1))
            : nullptr;
  uint8_t* bits =
      mask ? Room(gScratch.mask, static_cast<size_t>(MaskRowBytes(width)) * (rows + 1)) : nullptr;
  if (!pixels || (alpha && !levels) || (mask && !bits)) return kErrNoMemory;
  out->store = ColorStore{width, rows, pixels, colorRow, 4, kFormatArgb32, 1};
  out->color = AllocBitmap(width, rows, kAllocBorrowed, &out->store);
  if (!out->color) return kErrAllocBitmap;
  if (alpha && !(out->alpha = AllocAlpha(width, rows, 0, levels, PlaneRowBytes(width)))) {
    return kErrAllocAlpha;
  }
  if (mask && !(out->mask = AllocMask(nullptr, width, rows, 0, bits, MaskRowBytes(width)))) {
    return kErrAllocMask;
  }
  return 0;
}

// The scaled path: the same pixels as the effects path without copying the
// source window. Only the visible part of the scaled picture is made: onto a
// 32-bit output an opaque window straight into it (the blit after would only
// copy) and one with an alpha channel a row at a time blended onto it as it
// is made; anything else a band of rows at a time into the scratch and
// blitted from there.
int DrawScaled(const DrawObjectArgs& a, const DrawTarget& target, DrawSource* source,
               const TransformRecord& transform, const TagRecord& tags, int sourceX, int sourceY,
               int width, int height, int newWidth, int newHeight) {
  const bool onDisplay = target.output == gCurrentDisplay;
  int x = ResolveX(a.x, newWidth, onDisplay ? 0 : target.output->width, transform.anchorX);
  int y = ResolveY(a.y, newHeight, onDisplay ? 0 : target.output->height, transform.anchorY);
  int sx = 0, sy = 0, w = newWidth, h = newHeight;
  const Rect& b = target.bounds;
  const bool visible = ClipCopy(&sx, &sy, &x, &y, &w, &h, newWidth, newHeight, b.x, b.y,
                                b.x + b.width, b.y + b.height);
  int rc = Materialise(source);
  const int transparency = std::clamp(tags.transparency, 0, 255);
  ScaleRequest r;
  bool hasAlpha = false, hasMask = false;
  if (rc == 0 && visible) {
    rc = WindowRequest(*source, sourceX, sourceY, width, height, &r, &hasAlpha, &hasMask);
  }
  r.destinationWidth = newWidth;
  r.destinationHeight = newHeight;
  r.smooth = transform.smoothScale != 0;
  r.partX = sx;
  r.partWidth = w;
  PixelView t;
  const bool direct = rc == 0 && visible && !hasMask && !transparency &&
                      ViewOf(target.bitmap, &t) && t.format == kFormatArgb32;
  if (direct) {
    r.partY = sy;
    r.partHeight = h;
    if (hasAlpha) {
      // Each row is blended onto the output as soon as it is made.
      rc = ScaleOnto(r, gScratch.scale, RowOf(t, y) + x * 4, t.bytesPerRow);
    } else {
      r.destination = RowOf(t, y) + x * 4;
      r.destinationRowBytes = t.bytesPerRow;
      rc = ScalePixels(r, gScratch.scale);
    }
  } else if (rc == 0 && visible) {
    // Transparency blends through an alpha channel made from the coverage.
    const bool alpha = hasAlpha || transparency, mask = hasMask;
    const int band =
        static_cast<int>(std::clamp<size_t>(kBandBytes / (4 * static_cast<size_t>(w)), 1, h));
    BandPlanes planes;
    rc = MakeBandPlanes(w, band, alpha, mask, &planes);
    PixelView cv, av, mv;
    if (rc == 0 && (!ViewOf(planes.color, &cv) || (alpha && !ViewOf(planes.alpha, &av)) ||
                    (mask && !ViewOf(planes.mask, &mv)))) {
      rc = kErrLockBitmap;
    }
    r.destination = cv.pixels;
    r.destinationRowBytes = cv.bytesPerRow;
    if (hasAlpha) {
      r.destinationAlpha = av.pixels;
      r.destinationAlphaRowBytes = av.bytesPerRow;
    }
    if (hasMask) {
      r.destinationMask = mv.pixels;
      r.destinationMaskRowBytes = mv.bytesPerRow;
    }
    DrawSource scaled{};
    scaled.color = planes.color;
    scaled.alpha = planes.alpha;
    scaled.mask = transparency ? nullptr : planes.mask;
    scaled.transparentPen = -1;
    for (int top = 0; rc == 0 && top < h; top += band) {
      const int rows = std::min(band, h - top);
      r.partY = sy + top;
      r.partHeight = rows;
      rc = ScalePixels(r, gScratch.scale);
      if (rc == 0) rc = ScaleAlpha(r, gScratch.scale);
      if (rc == 0) rc = ScaleMask(r, gScratch.scale);
      if (rc == 0 && transparency) {
        // The coverage (alpha, mask bits or opaque) scaled by the opacity.
        for (int row = 0; row < rows; ++row) {
          uint8_t* levels = RowOf(av, row);
          if (!hasAlpha) {
            const uint8_t* bits = hasMask ? RowOf(mv, row) : nullptr;
            for (int i = 0; i < w; ++i) levels[i] = !bits || MaskBit(bits, i) ? 255 : 0;
          }
          ScaleLevels(levels, 255 - transparency, levels, w);
        }
      }
      if (rc == 0) rc = PaintColor(scaled, 0, 0, target.bitmap, x, y + top, w, rows, 255);
    }
  }
  Release(source);
  if (rc == 0 && visible) OutputChanged(target, x, y, w, h);
  return rc;
}

// Layer mode: the working copy becomes a layer of the display, which takes
// its planes over. Layers are drawn in colour: palette pictures are refused.
int InsertLayer(lua_State* L, const DrawObjectArgs& a, const DrawTarget& target,
                const TagRecord& tags, int x, int y, EffectPlanes* work) {
  const LayersSibling* layers = gBound.layers;
  if (!layers->insertLayer) return ErrorWithString(kErrSiblingAbsent, "layers");
  if (!work->color) return kErrPluginUnsupported;
  LayerRequest r{};
  r.type = a.type;
  if (a.id) r.source = *a.id;
  r.x = x;
  r.y = y;
  r.width = work->width;
  r.height = work->height;
  r.color = work->color;
  r.mask = work->mask;
  r.alpha = work->alpha;
  r.insertPos = tags.insertPosition;
  const int rc = layers->insertLayer(L, target.output->owner, &r);
  // What the layer took over is no longer the working copy's.
  work->color = r.color;
  work->mask = r.mask;
  work->alpha = r.alpha;
  return rc;
}

// The effects path: a working copy of the source window takes the draw
// record's effects and is drawn with the object itself where the position
// and anchors put it, its border and shadow around it.
int DrawWithEffects(lua_State* L, const DrawObjectArgs& a, const DrawTarget& target,
                    DrawSource* source, const TransformRecord& transform, const TagRecord& tags,
                    int sourceX, int sourceY, int width, int height) {
  EffectPlanes work{};
  TransformRecord drawn = transform;
  // A text object's offset goes through the matrix with its planes.
  double m[4];
  RecordMatrix(transform, width, height, m);
  const int adjustX = static_cast<int>(m[0] * source->adjustX + m[2] * source->adjustY);
  const int adjustY = static_cast<int>(m[1] * source->adjustX + m[3] * source->adjustY);
  int rc = Redraw(source, &drawn, sourceX, sourceY, &width, &height);
  if (rc == 0) rc = Materialise(source);
  if (rc == 0) {
    rc =
        CopyEffectPlanes(source->color, source->mask, source->alpha, source->index, source->palette,
                         source->transparentPen, sourceX, sourceY, width, height, &work);
  }
  Release(source);
  if (rc == 0) rc = ApplyEffects(L, drawn, tags, &work);
  if (rc == 0) {
    DrawSource result{};
    result.color = work.color;
    result.mask = work.mask;
    result.alpha = work.alpha;
    result.index = work.index;
    result.palette = work.palette;
    result.transparentPen = work.transparentPen;
    result.depth = source->depth;
    result.width = work.width;
    result.height = work.height;
    const bool onDisplay = target.output == gCurrentDisplay;
    int x =
        ResolveX(a.x, work.objectWidth, onDisplay ? 0 : target.output->width, transform.anchorX) -
        work.originX + adjustX;
    int y =
        ResolveY(a.y, work.objectHeight, onDisplay ? 0 : target.output->height, transform.anchorY) -
        work.originY + adjustY;
    int sx = 0, sy = 0, w = work.width, h = work.height;
    const Rect& b = target.bounds;
    if (target.output->layers) {
      rc = InsertLayer(L, a, target, tags, x, y, &work);
    } else if (ClipCopy(&sx, &sy, &x, &y, &w, &h, work.width, work.height, b.x, b.y, b.x + b.width,
                        b.y + b.height)) {
      rc = target.bitmap->kind == kKindColor
               ? PaintColor(result, sx, sy, target.bitmap, x, y, w, h, 255)
               : PaintPlane(result, sx, sy, target.bitmap, target.output, x, y, w, h, 255);
      if (rc == 0) OutputChanged(target, x, y, w, h);
    }
  }
  FreeEffectPlanes(&work);
  return rc;
}

}  // namespace

int DrawObject(lua_State* L, DrawObjectArgs* args) {
  const DrawObjectArgs& a = *args;
  args->outFlags[0] = args->outFlags[1] = 0;
  DrawTarget target;
  if (int rc = CurrentDrawTarget(&target)) return rc;

  DrawSource source{};
  source.transparentPen = -1;
  if (int rc = FindSource(L, a, target.output, &source)) return rc;

  int width = a.width, height = a.height;
  bool wholeObject = a.type != kDrawBrushPart || a.image;
  if (wholeObject && width == 0 && height == 0) {
    width = source.width;
    height = source.height;
  }
  if (source.index && !UsesPenRange((1 << source.depth) - 1)) return kErrDepthExceeds;
  if (width < 1 || height < 1) return kErrSizeTooSmall;

  TransformRecord localTransform;
  TagRecord localTags;
  TransformRecord* transform = a.transform;
  TagRecord* tags = a.tags;
  if (!transform || !tags) {
    transform = &localTransform;
    tags = &localTags;
    if (a.tagIndex) {
      // The tag table's metamethods are script code: the brush stays pinned
      // while they run, and the output, which they may end or free, is found
      // again after them.
      if (source.pins) {
        if (int rc = PinForCommand(L, source.pins)) return rc;
      }
      if (int rc = ParseDrawTags(L, a.tagIndex, source.width, source.height, 0, 0, 0, transform,
                                 tags, kParseFromDefaults | kParseTableRequired)) {
        return rc;
      }
      if (int rc = CurrentDrawTarget(&target)) return rc;
    } else {
      InitDrawRecord(transform, tags, 0, 0, 0, 0);
    }
  }
  if (HasOtherFilters(tags->filters) && !gBound.filters) {
    return ErrorWithString(kErrSiblingAbsent, "filters");
  }

  // Position codes resolve against the output, or the current display's view.
  bool onDisplay = target.output == gCurrentDisplay;
  int x = ResolveX(a.x, width, onDisplay ? 0 : target.output->width, transform->anchorX) +
          source.adjustX;
  int y = ResolveY(a.y, height, onDisplay ? 0 : target.output->height, transform->anchorY) +
          source.adjustY;
  int sourceX = ResolveX(a.sourceX, width, source.width, 0.0);
  int sourceY = ResolveY(a.sourceY, height, source.height, 0.0);
  if (sourceX < 0 || sourceY < 0) return kErrNegativePosition;
  if (sourceX >= source.width || sourceY >= source.height) return kErrOutside;
  width = std::min(width, source.width - sourceX);
  height = std::min(height, source.height - sourceY);

  if (target.output->layers) {
    if (!gBound.layers) return ErrorWithString(kErrSiblingAbsent, "layers");
    // Every object drawn becomes a layer, through the working copy.
    return DrawWithEffects(L, a, target, &source, *transform, *tags, sourceX, sourceY, width,
                           height);
  }
  int newWidth, newHeight;
  if (NeedsEffects(*transform, *tags, width, height) &&
      ScalesOnly(source, target, *transform, *tags, width, height, &newWidth, &newHeight)) {
    return DrawScaled(a, target, &source, *transform, *tags, sourceX, sourceY, width, height,
                      newWidth, newHeight);
  }
  if (NeedsEffects(*transform, *tags, width, height)) {
    return DrawWithEffects(L, a, target, &source, *transform, *tags, sourceX, sourceY, width,
                           height);
  }
  int level = 255 - std::clamp(tags->transparency, 0, 255);

  const Rect& b = target.bounds;
  if (!ClipCopy(&sourceX, &sourceY, &x, &y, &width, &height, source.width, source.height, b.x, b.y,
                b.x + b.width, b.y + b.height)) {
    return 0;
  }
  int rc = Materialise(&source);
  if (rc == 0) {
    rc = target.bitmap->kind == kKindColor
             ? PaintColor(source, sourceX, sourceY, target.bitmap, x, y, width, height, level)
             : PaintPlane(source, sourceX, sourceY, target.bitmap, target.output, x, y, width,
                          height, level);
  }
  Release(&source);
  if (rc == 0) OutputChanged(target, x, y, width, height);
  return rc;
}

int DrawImageObject(lua_State* L, ImageObject* image, int x, int y) {
  if (!image) return kErrRange;
  DrawObjectArgs args{};
  args.image = image;
  args.x = x;
  args.y = y;
  return DrawObject(L, &args);
}

void ReleaseDrawScratch() {
  FreeScratch(gScratch.wide);
  FreeScratch(gScratch.maskWindow);
  FreeScratch(gScratch.color);
  FreeScratch(gScratch.mask);
  FreeScratch(gScratch.alpha);
  FreeScaleScratch(gScratch.scale);
}

}  // namespace tzx::graphics
