// The inbuilt outline engine on FreeType.
#include "outline_fonts.h"

#include FT_OUTLINE_H
#include FT_BITMAP_H
#include FT_MODULE_H
#include FT_SYSTEM_H
#include FT_FONT_FORMATS_H

#include <strings.h>

#include <cstring>
#include <initializer_list>

#include "font_names.h"
#include "stored_fonts.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {
namespace {

FT_Library gFreeType = nullptr;
// Coverage of glyphs rendered to be drawn at once, reused from glyph to glyph.
uint8_t* gScratch = nullptr;
size_t gScratchSize = 0;
FT_MemoryRec_ gMemory;

// Points are taken at the screen resolution of the desktop the fonts were
// made for; there is no display-independent resolution to ask for.
constexpr int kScreenDpi = 96;

void* FtAlloc(FT_Memory, long size) {
  return HostAlloc(static_cast<size_t>(size), false);
}
void FtFree(FT_Memory, void* block) {
  HostFree(block);
}
void* FtRealloc(FT_Memory, long current, long size, void* block) {
  void* grown = HostAlloc(static_cast<size_t>(size), false);
  if (!grown) return nullptr;
  if (block) std::memcpy(grown, block, static_cast<size_t>(current < size ? current : size));
  HostFree(block);
  return grown;
}

OutlineFontData* DataOf(FontRecord* font) {
  return static_cast<OutlineFontData*>(font->engineData);
}

unsigned long ReadStream(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                         unsigned long count) {
  auto* d = static_cast<OutlineFontData*>(stream->descriptor.pointer);
  if (Files().seek(d->file, d->start + static_cast<int64_t>(offset), kSeekBeginning) < 0)
    return count ? 0 : 1;  // a failed seek of a zero-length read reports an error
  if (!count) return 0;
  const int64_t n = Files().readUnbuffered(d->file, buffer, static_cast<int64_t>(count));
  return n > 0 ? static_cast<unsigned long>(n) : 0;
}
void CloseStream(FT_Stream) {}

constexpr FT_Encoding kCharmapEncodings[] = {
    FT_ENCODING_NONE,         FT_ENCODING_MS_SYMBOL,      FT_ENCODING_UNICODE,
    FT_ENCODING_SJIS,         FT_ENCODING_BIG5,           FT_ENCODING_WANSUNG,
    FT_ENCODING_JOHAB,        FT_ENCODING_ADOBE_STANDARD, FT_ENCODING_ADOBE_EXPERT,
    FT_ENCODING_ADOBE_CUSTOM, FT_ENCODING_ADOBE_LATIN_1,  FT_ENCODING_OLD_LATIN_2,
    FT_ENCODING_APPLE_ROMAN,
};

// The CHARMAP_ value of a face's charmap; the listing table has no row for
// the custom Adobe encoding, so it reports the default like any unknown one.
int CharmapCode(FT_Encoding e) {
  for (int i = 1; i < 13; ++i)
    if (kCharmapEncodings[i] == e && e != FT_ENCODING_ADOBE_CUSTOM) return i;
  return 0;
}

// Largest ink above and below the baseline over the codes that render.
void InkExtent(FT_Face face, const uint32_t* codes, int count, int* top, int* depth, bool* any) {
  *top = *depth = 0;
  *any = false;
  for (int i = 0; i < count; ++i) {
    const FT_UInt index = FT_Get_Char_Index(face, codes[i]);
    if (!index || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_AUTOHINT)) continue;
    const FT_GlyphSlot g = face->glyph;
    const int t = g->bitmap_top, d = static_cast<int>(g->bitmap.rows) - g->bitmap_top;
    if (!*any || t > *top) *top = t;
    if (!*any || d > *depth) *depth = d;
    *any = true;
  }
}

// The ascender of pixel mode, from 'A', 192, 196 and 'q' at the set size.
int PixelAscender(FT_Face face, int size) {
  static const uint32_t kCodes[] = {65, 192, 196, 113};
  int top, depth;
  bool any;
  InkExtent(face, kCodes, 4, &top, &depth, &any);
  return any ? (top + size - depth + 1) / 2 : size * 3 / 4;
}

void PointMetrics(FT_Face face, FontRecord* font) {
  const FT_Fixed yScale = face->size->metrics.y_scale;
  font->height = font->baseHeight = static_cast<int>((FT_MulFix(face->height, yScale) + 32) / 64);
  font->ascender = font->baseAscender =
      static_cast<int>((FT_MulFix(face->ascender, yScale) + 32) / 64);
}

// A cell height of `size` pixels: ascender to descender of the face.
int SizeCell(FT_Face face, OutlineFontData* d, FontRecord* font, int size) {
  const int span = face->ascender - face->descender;
  if (span <= 0) return -1;
  d->resolutionX = d->resolutionY = 72;
  d->pixelSize = static_cast<int>(static_cast<int64_t>(size) * face->units_per_EM / span);
  if (d->pixelSize < 1 || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(d->pixelSize)))
    return -1;
  font->height = font->baseHeight = size;
  font->ascender = font->baseAscender =
      static_cast<int>((static_cast<int64_t>(face->ascender) * size + span / 2) / span);
  return 0;
}

int SizeFace(FT_Face face, OutlineFontData* d, FontRecord* font, int size, int usePoints,
             int cellSize) {
  if (cellSize && !usePoints) return SizeCell(face, d, font, size);
  if (usePoints) {
    d->resolutionX = d->resolutionY = kScreenDpi;
    if (FT_Set_Char_Size(face, 0, size * 64, kScreenDpi, kScreenDpi)) return -1;
    PointMetrics(face, font);
    d->pixelSize = size;
    return 0;
  }
  d->resolutionX = d->resolutionY = 72;
  if (FT_Set_Char_Size(face, 0, 6400, 72, 72)) return -1;
  uint32_t codes[223];
  for (int i = 0; i < 223; ++i) codes[i] = 33 + i;
  int top, depth;
  bool any;
  InkExtent(face, codes, 223, &top, &depth, &any);
  const int inkHeight = top + depth;
  if (inkHeight <= 0) {
    // Nothing renders: the size becomes the em size.
    if (FT_Set_Char_Size(face, 0, size * 64, 72, 72)) return -1;
    PointMetrics(face, font);
    d->pixelSize = size;
    return 0;
  }
  d->pixelSize = size * 100 / inkHeight;
  const int set = d->pixelSize - 1 > 0 ? d->pixelSize - 1 : 1;
  if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(set), 0)) return -1;
  font->height = font->baseHeight = size;
  font->ascender = font->baseAscender = PixelAscender(face, size);
  return 0;
}

void FreeData(OutlineFontData* d) {
  if (d->face) FT_Done_Face(d->face);
  if (d->file) Stream().closeFile(d->file);
  HostFree(d->glyphCache);
  HostFree(d->kerning);
  HostFree(d);
}

// Grows the metrics of an emboldened glyph by gx, gy (26.6).
void GrowMetrics(FT_GlyphSlot g, FT_Pos gx, FT_Pos gy) {
  g->metrics.width += gx;
  g->metrics.horiAdvance += gx;
  if (g->linearHoriAdvance) g->linearHoriAdvance += gx << 10;
  g->metrics.height += gy;
  g->metrics.horiBearingY += gy;
  g->metrics.vertAdvance += gy;
  if (g->linearVertAdvance) g->linearVertAdvance += gy << 10;
  g->metrics.vertBearingX -= gx / 2;
  g->metrics.vertBearingY += gy;
  g->advance.x += gx;
}

void EmboldenGlyph(FT_Face face, FT_GlyphSlot g) {
  const FT_Pos s = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
  if (g->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Outline_Embolden(&g->outline, s);
    GrowMetrics(g, 2 * s, 2 * s);
  } else if (g->format == FT_GLYPH_FORMAT_BITMAP) {
    FT_Pos gy = s & ~63;
    FT_Pos gx = gy < 64 ? 64 : gy;
    if (FT_Bitmap_Embolden(g->library, &g->bitmap, gx, gy)) return;
    GrowMetrics(g, gx, gy);
    g->bitmap_top += static_cast<FT_Int>(gy >> 6);
  }
}

void SlantGlyph(FT_GlyphSlot g) {
  if (g->format != FT_GLYPH_FORMAT_OUTLINE) return;
  FT_Matrix m = {0x10000, 0x6000, 0, 0x10000};
  FT_Outline_Transform(&g->outline, &m);
}

}  // namespace

int InitFreeType() {
  if (gFreeType) return 0;
  gMemory = {nullptr, FtAlloc, FtFree, FtRealloc};
  if (FT_New_Library(&gMemory, &gFreeType)) {
    gFreeType = nullptr;
    return kErrFontEngine;
  }
  FT_Add_Default_Modules(gFreeType);
  return 0;
}

void DoneFreeType() {
  HostFree(gScratch);
  gScratch = nullptr;
  gScratchSize = 0;
  if (gFreeType) FT_Done_Library(gFreeType);
  gFreeType = nullptr;
}

int OpenOutlineFont(const OutlineRequest& r, FontRecord* font) {
  if (!gFreeType) return kErrFontEngine;
  auto* d = AllocRecord<OutlineFontData>();
  if (!d) return kErrNoMemory;
  d->cache = r.cache;
  if (const StoredFont* stored = FindStoredFont(r.name)) {
    d->memory = stored->data;
    d->memoryLength = stored->length;
    if (FT_New_Memory_Face(gFreeType, stored->data, static_cast<FT_Long>(stored->length), 0,
                           &d->face)) {
      d->face = nullptr;
      FreeData(d);
      return -1;
    }
  } else {
    OpenOptions options;
    Files().initOpenOptions(&options);
    if (r.adapter && r.adapter[0])
      Host().runtime->strlcpy(options.adapter, sizeof options.adapter, r.adapter);
    d->file = Files().openFile(r.name, kAccessRead, &options, nullptr);
    if (!d->file) {
      FreeData(d);
      return -1;
    }
    const int64_t fileLength = Files().length(d->file);
    d->start = r.start;
    d->length = r.length > 0 ? r.length : fileLength - r.start;
    if (d->length <= 0 || d->start < 0 || d->start + d->length > fileLength) {
      FreeData(d);
      return -1;
    }
    d->stream.size = static_cast<unsigned long>(d->length);
    d->stream.descriptor.pointer = d;
    d->stream.read = ReadStream;
    d->stream.close = CloseStream;
    FT_Open_Args args = {};
    args.flags = FT_OPEN_STREAM;
    args.stream = &d->stream;
    if (FT_Open_Face(gFreeType, &args, r.faceIndex, &d->face)) {
      d->face = nullptr;
      FreeData(d);
      return -1;
    }
    Host().runtime->strlcpy(d->fileName, sizeof d->fileName, r.name);
  }
  FT_Face face = d->face;
  if (!FT_IS_SCALABLE(face) || SizeFace(face, d, font, r.size, r.usePoints, r.cellSize)) {
    FreeData(d);
    return -1;
  }
  if (r.charmap > 0 && r.charmap < 13) {
    if (FT_Select_Charmap(face, kCharmapEncodings[r.charmap])) {
      FreeData(d);
      return -1;
    }
  }
  font->charmapCount = face->num_charmaps < 32 ? face->num_charmaps : 32;
  for (int i = 0; i < font->charmapCount; ++i)
    font->charmapCodes[i] = static_cast<uint8_t>(CharmapCode(face->charmaps[i]->encoding));
  font->kind = kFontOutline;
  font->scalable = 1;
  font->antialias = 1;
  font->size = r.size;
  font->usePoints = r.usePoints;
  font->charmap = r.charmap;
  Host().runtime->strlcpy(font->format, sizeof font->format, FT_Get_Font_Format(face));
  Host().runtime->strlcpy(font->name, sizeof font->name,
                          face->family_name ? face->family_name : "");
  if (face->style_name && !IsRegularStyle(face->style_name)) {
    Host().runtime->strlcat(font->name, sizeof font->name, " ");
    Host().runtime->strlcat(font->name, sizeof font->name, face->style_name);
  }
  font->engine = nullptr;
  font->engineData = d;
  return 0;
}

void FreeGlyphCacheOf(FontRecord* font) {
  if (font->kind != kFontOutline) return;
  OutlineFontData* d = DataOf(font);
  if (!d->glyphCache) return;
  for (CachedGlyph* set : {d->glyphCache->antialiased, d->glyphCache->mono})
    for (int i = 0; i < 256; ++i) HostFree(set[i].pixels);
  HostFree(d->glyphCache);
  d->glyphCache = nullptr;
}

void CloseOutlineFont(FontRecord* font) {
  OutlineFontData* d = DataOf(font);
  if (!d) return;
  FreeGlyphCacheOf(font);
  FreeData(d);
  font->engineData = nullptr;
}

namespace {

void ImageFromSlot(FT_GlyphSlot g, GlyphImage* out, int advance) {
  out->pixels = g->bitmap.buffer;
  out->pitch = g->bitmap.pitch;
  out->width = static_cast<int>(g->bitmap.width);
  out->rows = static_cast<int>(g->bitmap.rows);
  out->left = g->bitmap_left;
  out->top = g->bitmap_top;
  out->mono = g->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  out->advance = advance;
  out->outline = nullptr;
}

// The pixel box FreeType's antialiased rendering gives the outline's ink:
// its control box widened to whole pixels. False where it is too large to
// render, as FreeType refuses it.
bool InkBox(const FT_Outline& outline, GlyphImage* out) {
  FT_BBox box;
  FT_Outline_Get_CBox(&outline, &box);
  const FT_Pos x0 = box.xMin >> 6, y0 = box.yMin >> 6;
  const FT_Pos x1 = (box.xMax + 63) >> 6, y1 = (box.yMax + 63) >> 6;
  if (x0 < -0x8000 || x1 > 0x7FFF || y0 < -0x8000 || y1 > 0x7FFF) return false;
  out->left = static_cast<int32_t>(x0);
  out->top = static_cast<int32_t>(y1);
  out->width = static_cast<int32_t>(x1 - x0);
  out->rows = static_cast<int32_t>(y1 - y0);
  return true;
}

}  // namespace

int DrawGlyphOutline(GlyphCanvas* c, const GlyphImage& g, int x, int y) {
  // The canvas rows are on their way while FreeType renders.
  PrefetchGlyphBox(c, x, y, g.width, g.rows);
  // Coverage rows are padded with zeros to groups of eight for the blend.
  const int pitch = (g.width + 7) & ~7;
  const size_t bytes = static_cast<size_t>(pitch) * g.rows;
  if (bytes > gScratchSize) {
    HostFree(gScratch);
    gScratchSize = 0;
    gScratch = static_cast<uint8_t*>(HostAlloc(bytes, false));
    if (!gScratch) return kErrNoMemory;
    gScratchSize = bytes;
  }
  std::memset(gScratch, 0, bytes);
  FT_Bitmap target = {};
  target.rows = static_cast<unsigned>(g.rows);
  target.width = static_cast<unsigned>(g.width);
  target.pitch = pitch;
  target.buffer = gScratch;
  target.num_grays = 256;
  target.pixel_mode = FT_PIXEL_MODE_GRAY;
  // As FreeType renders a glyph: the outline moved by whole pixels so that
  // its ink box starts at the bitmap's corner, and moved back.
  auto* outline = const_cast<FT_Outline*>(g.outline);
  const FT_Pos dx = -64 * static_cast<FT_Pos>(g.left);
  const FT_Pos dy = -64 * static_cast<FT_Pos>(g.top - g.rows);
  FT_Outline_Translate(outline, dx, dy);
  FT_Raster_Params params = {};
  params.target = &target;
  params.source = outline;
  params.flags = FT_RASTER_FLAG_AA;
  const FT_Error failed = FT_Outline_Render(gFreeType, outline, &params);
  FT_Outline_Translate(outline, -dx, -dy);
  if (!failed) BlendCoverage(c, x, y, gScratch, pitch, g.width, g.rows);
  return 0;
}

int OutlineGlyph(FontRecord* font, uint32_t code, int flags, GlyphImage* out, bool asOutline) {
  OutlineFontData* d = DataOf(font);
  const bool aa = flags & graphics::kAntialias;
  const bool synth = flags & (graphics::kBold | graphics::kItalic);
  const bool cacheable = d->cache && !synth && code < 256;
  if (cacheable && d->glyphCache) {
    const CachedGlyph& c = (aa ? d->glyphCache->antialiased : d->glyphCache->mono)[code];
    if (c.filled) {
      *out = {c.pixels, c.pitch, c.width,   c.rows,       c.left,
              c.top,    !aa,     c.advance, c.glyphIndex, nullptr};
      return 0;
    }
  }
  FT_Face face = d->face;
  const FT_UInt index = FT_Get_Char_Index(face, code);
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_AUTOHINT)) {
    *out = {};
    out->glyphIndex = static_cast<int32_t>(index);
    return 0;
  }
  FT_GlyphSlot g = face->glyph;
  if (flags & graphics::kBold) EmboldenGlyph(face, g);
  if (flags & graphics::kItalic) SlantGlyph(g);
  // Contours that overlap are rendered by FreeType in a way of its own.
  if (asOutline && aa && !cacheable && g->format == FT_GLYPH_FORMAT_OUTLINE &&
      !(g->outline.flags & FT_OUTLINE_OVERLAP)) {
    *out = {};
    if (!InkBox(g->outline, out)) return 0;  // nor would FreeType render it
    out->outline = &g->outline;
    out->advance = static_cast<int>((g->advance.x + 32) >> 6);
    out->glyphIndex = static_cast<int32_t>(index);
    return 0;
  }
  if (g->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(g, aa ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO)) {
    *out = {};
    return 0;
  }
  // A set transform (SetFontScale) has scaled the advance already.
  ImageFromSlot(g, out, static_cast<int>((g->advance.x + 32) >> 6));
  out->glyphIndex = static_cast<int32_t>(index);
  if (!cacheable) return 0;
  if (!d->glyphCache) {
    d->glyphCache = AllocRecord<GlyphCache>();
    if (!d->glyphCache) return kErrNoMemory;
  }
  CachedGlyph& c = (aa ? d->glyphCache->antialiased : d->glyphCache->mono)[code];
  const int sourcePitch = out->pitch < 0 ? -out->pitch : out->pitch;
  // Coverage rows are padded with zeros to groups of eight for the blend.
  const int pitch = out->mono ? sourcePitch : (sourcePitch + 7) & ~7;
  const size_t bytes = static_cast<size_t>(pitch) * out->rows;
  uint8_t* copy = nullptr;
  if (bytes) {
    copy = static_cast<uint8_t*>(HostAlloc(bytes, true));
    if (!copy) return kErrNoMemory;
    // Rows top-down whatever the slot's pitch sign.
    for (int r = 0; r < out->rows; ++r) {
      const uint8_t* row = out->pitch < 0 ? out->pixels + (out->rows - 1 - r) * sourcePitch
                                          : out->pixels + r * sourcePitch;
      std::memcpy(copy + static_cast<size_t>(r) * pitch, row, sourcePitch);
    }
  }
  c = {copy, pitch, out->width, out->rows, out->left, out->top, out->advance, out->glyphIndex, 1};
  out->pixels = copy;
  out->pitch = pitch;
  return 0;
}

int OutlineKerning(FontRecord* font, int leftIndex, int rightIndex) {
  OutlineFontData* d = DataOf(font);
  FT_Face face = d->face;
  if (!FT_HAS_KERNING(face) || !leftIndex || !rightIndex) return 0;
  // Glyph indices are below 65536 in every face FreeType opens.
  const uint32_t pair = (static_cast<uint32_t>(leftIndex) << 16 | (rightIndex & 0xFFFF)) + 1;
  if (!d->kerning) d->kerning = AllocRecord<KerningCache>();
  KerningCache* k = d->kerning;
  const int slot = static_cast<int>((pair * 2654435761u) >> 22);
  int32_t px;
  if (k && k->pair[slot] == pair) {
    px = k->pixels[slot];
  } else {
    FT_Vector delta;
    if (FT_Get_Kerning(face, leftIndex, rightIndex, FT_KERNING_UNSCALED, &delta)) return 0;
    const int64_t k16 = static_cast<int64_t>(delta.x) * 0x10000 / face->units_per_EM;
    px = static_cast<int32_t>(k16 * (static_cast<int64_t>(d->resolutionX) * d->pixelSize / 72) /
                              0x10000);
    if (k) {
      k->pair[slot] = pair;
      k->pixels[slot] = px;
    }
  }
  return static_cast<int>(static_cast<double>(px) * font->scaleX);
}

int OutlineKerningPair(FontRecord* font, uint32_t first, uint32_t second, int fontUnits) {
  FT_Face face = DataOf(font)->face;
  const FT_UInt a = FT_Get_Char_Index(face, first), b = FT_Get_Char_Index(face, second);
  if (!fontUnits) return OutlineKerning(font, static_cast<int>(a), static_cast<int>(b));
  FT_Vector delta;
  if (!FT_HAS_KERNING(face) || FT_Get_Kerning(face, a, b, FT_KERNING_UNSCALED, &delta)) return 0;
  return static_cast<int>(delta.x);
}

void ApplyOutlineScale(FontRecord* font) {
  OutlineFontData* d = DataOf(font);
  FT_Matrix m = {static_cast<FT_Fixed>(font->scaleX * 0x10000), 0, 0,
                 static_cast<FT_Fixed>(font->scaleY * 0x10000)};
  FT_Set_Transform(d->face, &m, nullptr);
  FreeGlyphCacheOf(font);
  font->ascender = PixelAscender(d->face, font->height);
}

}  // namespace tzx::text
