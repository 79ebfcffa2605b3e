#include "draw_effects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "bitmap_sets.h"
#include "bitmaps.h"
#include "blit_rows.h"
#include "blits.h"
#include "draw_record.h"
#include "filters.h"
#include "graphics_state.h"
#include "pixel_formats.h"
#include "placement.h"
#include "scale_bitmap.h"
#include "transform_bitmap.h"
#include "transform_matrix.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

// A side scaled by a matrix factor: rounded, at least 1; sizes no bitmap can
// have are left for the allocation to refuse.
int ScaledSide(double factor, int side) {
  const double v = std::min(std::fabs(factor) * side, double{1 << 24});
  return std::max(1, static_cast<int>(std::lround(v)));
}

// A turned palette picture carries a mask for the corners the turn opened;
// its transparent pen must hide pixels through that mask too.
void HideTransparentPen(EffectPlanes* p) {
  PixelView pens, bits;
  if (!ViewOf(p->index, &pens) || !ViewOf(p->mask, &bits)) return;
  for (int y = 0; y < p->height; ++y) {
    const uint8_t* in = RowOf(pens, y);
    uint8_t* row = RowOf(bits, y);
    for (int x = 0; x < p->width; ++x) {
      if (in[x] == p->transparentPen) SetMaskBit(row, x, false);
    }
  }
}

// The matrix on the planes: scaling and mirrors here, anything else through
// the transformation slot.
int ApplyMatrix(const TransformRecord& t, EffectPlanes* p) {
  double m[4];
  RecordMatrix(t, p->width, p->height, m);
  if (IsIdentity(m)) return 0;
  if (m[1] != 0.0 || m[2] != 0.0) {
    int width = p->width, height = p->height;
    if (int rc = RotateBitmapSet(&p->color, &p->mask, &p->alpha, &p->index, p->width, p->height, m,
                                 t.smoothScale, &width, &height)) {
      return rc;
    }
    p->width = width;
    p->height = height;
    if (p->index && p->mask && p->transparentPen >= 0) HideTransparentPen(p);
    return 0;
  }
  const int width = ScaledSide(m[0], p->width), height = ScaledSide(m[3], p->height);
  if (width != p->width || height != p->height) {
    if (int rc = ScaleBitmap(&p->color, &p->mask, &p->alpha, &p->index, p->width, p->height, width,
                             height, t.smoothScale)) {
      return rc;
    }
  }
  p->width = width;
  p->height = height;
  if (m[0] < 0.0) FlipBitmapSet(p->color, p->mask, p->alpha, p->index, 1);
  if (m[3] < 0.0) FlipBitmapSet(p->color, p->mask, p->alpha, p->index, 0);
  return 0;
}

// Pens become colours, and the transparent pen clears its mask bits.
int PensToColor(EffectPlanes* p) {
  PixelView pens;
  if (!ViewOf(p->index, &pens)) return kErrLockBitmap;
  BitmapHandle* color = AllocBitmapOfFormat(p->width, p->height, kFormatArgb32);
  if (!color) return kErrAllocBitmap;
  BitmapHandle* mask = p->mask;
  if (!mask && p->transparentPen >= 0) {
    mask = AllocMask(nullptr, p->width, p->height, 0, nullptr, 0);
    if (!mask) {
      FreeBitmap(color);
      return kErrAllocMask;
    }
    FillBitmapRect(mask, 0, 0, p->width, p->height, 1);
  }
  PixelView c, mv;
  ViewOf(color, &c);
  const bool masked = mask && ViewOf(mask, &mv);
  for (int y = 0; y < p->height; ++y) {
    const uint8_t* in = RowOf(pens, y);
    auto* out = reinterpret_cast<uint32_t*>(RowOf(c, y));
    for (int x = 0; x < p->width; ++x) out[x] = 0xFF000000 | (p->palette[in[x]] & 0xFFFFFF);
    if (masked && p->transparentPen >= 0) {
      uint8_t* bits = RowOf(mv, y);
      for (int x = 0; x < p->width; ++x) {
        if (in[x] == p->transparentPen) SetMaskBit(bits, x, false);
      }
    }
  }
  FreeBitmap(p->index);
  HostFree(p->palette);
  p->index = nullptr;
  p->palette = nullptr;
  p->transparentPen = -1;
  p->color = color;
  p->mask = mask;
  return 0;
}

// Coverage 0..255 of the set: its alpha channel, else its mask, else opaque.
void CoverageRow(const PixelView* alpha, const PixelView* mask, int y, int width, uint8_t* out) {
  if (alpha) {
    std::memcpy(out, RowOf(*alpha, y), width);
  } else if (mask) {
    const uint8_t* bits = RowOf(*mask, y);
    for (int x = 0; x < width; ++x) out[x] = MaskBit(bits, x) ? 255 : 0;
  } else {
    std::memset(out, 255, width);
  }
}

// The largest side of a picture with a border or shadow: the products of
// sides below stay far inside 64 bits.
constexpr int64_t kMaxEffectSide = 1 << 24;

// Where a silhouette of the object goes in the grown planes.
struct Silhouette {
  int left, top, right, bottom;  // growth of the planes
  int dx, dy;                    // the silhouette's offset from the object
  int spread;                    // its widening on every side
  uint32_t color;                // top byte: transparency
};

// Horizontal then vertical running maximum of radius r: the coverage
// widened by a square of side 2r + 1. `grown` is (w + 2r) × (h + 2r).
void Widen(const uint8_t* cover, int w, int h, int r, uint8_t* across, uint8_t* grown) {
  const int gw = w + 2 * r, gh = h + 2 * r;
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = cover + static_cast<size_t>(y) * w;
    uint8_t* out = across + static_cast<size_t>(y) * gw;
    for (int gx = 0; gx < gw; ++gx) {
      const int from = std::max(0, gx - 2 * r), to = std::min(w - 1, gx);
      uint8_t v = 0;
      for (int x = from; x <= to; ++x) v = std::max(v, in[x]);
      out[gx] = v;
    }
  }
  for (int gy = 0; gy < gh; ++gy) {
    uint8_t* out = grown + static_cast<size_t>(gy) * gw;
    std::memset(out, 0, gw);
    const int from = std::max(0, gy - 2 * r), to = std::min(h - 1, gy);
    for (int y = from; y <= to; ++y) {
      const uint8_t* in = across + static_cast<size_t>(y) * gw;
      for (int gx = 0; gx < gw; ++gx) out[gx] = std::max(out[gx], in[gx]);
    }
  }
}

// One channel of the object (weight wo) over the silhouette (weight ws).
inline uint32_t Mix(uint32_t object, uint32_t silhouette, uint32_t wo, uint32_t ws,
                    uint32_t total) {
  return (object * wo + silhouette * ws + total / 2) / total;
}

// The object over its silhouette in new 32-bit colour and alpha planes.
int DrawOverSilhouette(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
                       int* height, const Silhouette& s) {
  const int w = *width, h = *height;
  PixelView cv, av, mv;
  if (!*color || !ViewOf(*color, &cv) || cv.width < w || cv.height < h) return kErrLockBitmap;
  const PixelView* alphaView = *alpha && ViewOf(*alpha, &av) ? &av : nullptr;
  const PixelView* maskView = !alphaView && *mask && ViewOf(*mask, &mv) ? &mv : nullptr;
  const int r = std::max(0, s.spread);
  // Sizes in 64 bits: a border or shadow too large for any bitmap fails as
  // an allocation instead of wrapping to a smaller picture.
  const int64_t grownWidth = int64_t{w} + 2 * int64_t{r}, grownHeight = int64_t{h} + 2 * int64_t{r};
  const int64_t wideWidth = int64_t{w} + s.left + s.right;
  const int64_t wideHeight = int64_t{h} + s.top + s.bottom;
  if (std::max({grownWidth, grownHeight, wideWidth, wideHeight}) > kMaxEffectSide) {
    return kErrAllocBitmap;
  }
  const int gw = static_cast<int>(grownWidth), gh = static_cast<int>(grownHeight);
  const int newWidth = static_cast<int>(wideWidth), newHeight = static_cast<int>(wideHeight);
  const size_t coverBytes = static_cast<size_t>(w) * h;
  const size_t grownBytes = static_cast<size_t>(gw) * gh;
  // The 32-bit row first, where the block's alignment holds for it.
  const size_t rowBytes = 4 * static_cast<size_t>(w);
  auto* scratch = static_cast<uint8_t*>(
      HostAlloc(rowBytes + coverBytes + static_cast<size_t>(gw) * h + grownBytes, false));
  if (!scratch) return kErrNoMemory;
  auto* objectRow = reinterpret_cast<uint32_t*>(scratch);
  uint8_t* cover = scratch + rowBytes;
  uint8_t* across = cover + coverBytes;
  uint8_t* grown = across + static_cast<size_t>(gw) * h;
  for (int y = 0; y < h; ++y) CoverageRow(alphaView, maskView, y, w, cover + size_t(y) * w);
  Widen(cover, w, h, r, across, grown);

  BitmapHandle* newColor = AllocBitmapOfFormat(newWidth, newHeight, kFormatArgb32);
  BitmapHandle* newAlpha = newColor ? AllocAlpha(newWidth, newHeight, 0, nullptr, 0) : nullptr;
  if (!newAlpha) {
    FreeBitmap(newColor);
    HostFree(scratch);
    return newColor ? kErrAllocAlpha : kErrAllocBitmap;
  }
  PixelView nc, na;
  ViewOf(newColor, &nc);
  ViewOf(newAlpha, &na);
  const uint32_t opacity = 255 - (s.color >> 24);
  const uint32_t sr = (s.color >> 16) & 255, sg = (s.color >> 8) & 255, sb = s.color & 255;
  for (int y = 0; y < newHeight; ++y) {
    auto* out = reinterpret_cast<uint32_t*>(RowOf(nc, y));
    uint8_t* outAlpha = RowOf(na, y);
    const int oy = y - s.top;      // object row
    const int gy = oy - s.dy + r;  // widened silhouette row
    const bool objectRowIn = oy >= 0 && oy < h;
    if (objectRowIn) RowToArgb(RowOf(cv, oy), cv.format, objectRow, w);
    for (int x = 0; x < newWidth; ++x) {
      const int ox = x - s.left, gx = ox - s.dx + r;
      const bool inObject = objectRowIn && ox >= 0 && ox < w;
      const uint32_t oa = inObject ? cover[size_t(oy) * w + ox] : 0;
      const uint32_t coverage =
          gy >= 0 && gy < gh && gx >= 0 && gx < gw ? grown[size_t(gy) * gw + gx] : 0;
      const uint32_t sa = DivideBy255(coverage * opacity);
      const uint32_t wo = oa * 255, ws = sa * (255 - oa), total = wo + ws;
      if (ws == 0) {
        out[x] = inObject ? (objectRow[ox] & 0xFFFFFF) | oa << 24 : 0;
        outAlpha[x] = static_cast<uint8_t>(oa);
        continue;
      }
      const uint32_t o = inObject ? objectRow[ox] : 0;
      const uint32_t a = (total + 127) / 255;
      out[x] = a << 24 | Mix((o >> 16) & 255, sr, wo, ws, total) << 16 |
               Mix((o >> 8) & 255, sg, wo, ws, total) << 8 | Mix(o & 255, sb, wo, ws, total);
      outAlpha[x] = static_cast<uint8_t>(a);
    }
  }
  HostFree(scratch);
  FreeBitmapSet(color, mask, alpha);
  *color = newColor;
  *alpha = newAlpha;
  *width = newWidth;
  *height = newHeight;
  return 0;
}

// Offsets of the shadow directions, north clockwise.
constexpr int kShadowX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kShadowY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace

void RecordMatrix(const TransformRecord& t, int width, int height, double m[4]) {
  std::copy(t.matrix, t.matrix + 4, m);
  if (!t.matrixGiven && IsIdentity(m) && (t.width || t.height)) {
    // A requested size whose matrix was never built.
    TransformRecord sized = t;
    BuildTransformMatrix(&sized, t.width, t.height, width, height);
    std::copy(sized.matrix, sized.matrix + 4, m);
  }
}

void DrawnSize(const double m[4], int width, int height, int* outWidth, int* outHeight) {
  if (m[1] == 0.0 && m[2] == 0.0) {
    *outWidth = ScaledSide(m[0], width);
    *outHeight = ScaledSide(m[3], height);
    return;
  }
  GetTransformedSize(m, width, height, outWidth, outHeight);
}

void GetTransformedSize(const double m[4], int width, int height, int* outWidth, int* outHeight) {
  const double w = width, h = height;
  const double xs[4] = {0.0, m[0] * w, m[2] * h, m[0] * w + m[2] * h};
  const double ys[4] = {0.0, m[1] * w, m[3] * h, m[1] * w + m[3] * h};
  const auto [left, right] = std::minmax_element(xs, xs + 4);
  const auto [top, bottom] = std::minmax_element(ys, ys + 4);
  auto side = [](double extent) {
    const double v = std::round(extent);
    return !(v < INT32_MAX) ? INT32_MAX : std::max(1, static_cast<int>(v));
  };
  *outWidth = side(*right - *left);
  *outHeight = side(*bottom - *top);
}

int CopyEffectPlanes(const BitmapHandle* color, const BitmapHandle* mask, const BitmapHandle* alpha,
                     const BitmapHandle* index, const uint32_t* palette, int transparentPen, int x,
                     int y, int width, int height, EffectPlanes* out) {
  EffectPlanes p{};
  p.transparentPen = -1;
  p.width = p.objectWidth = width;
  p.height = p.objectHeight = height;
  int rc = 0;
  if (color) {
    p.color = AllocBitmapOfFormat(width, height, kFormatArgb32);
    rc = !p.color ? kErrAllocBitmap : BlitBitmap(color, x, y, p.color, 0, 0, width, height);
  }
  if (rc == 0 && mask && !(p.mask = CopyBitmapRect(mask, x, y, width, height))) rc = kErrAllocMask;
  if (rc == 0 && alpha && !(p.alpha = CopyBitmapRect(alpha, x, y, width, height))) {
    rc = kErrAllocAlpha;
  }
  if (rc == 0 && index && palette) {
    p.index = CopyBitmapRect(index, x, y, width, height);
    p.palette = static_cast<uint32_t*>(HostAlloc(256 * sizeof(uint32_t), false));
    if (!p.index) {
      rc = kErrAllocIndexBitmap;
    } else if (!p.palette) {
      rc = kErrNoMemory;
    } else {
      std::memcpy(p.palette, palette, 256 * sizeof(uint32_t));
      p.transparentPen = transparentPen;
    }
  }
  if (rc == 0 && !p.color && !p.index) rc = kErrRange;
  if (rc) {
    FreeEffectPlanes(&p);
    return rc;
  }
  *out = p;
  return 0;
}

void FreeEffectPlanes(EffectPlanes* p) {
  FreeBitmapSet(&p->color, &p->mask, &p->alpha);
  FreeBitmap(p->index);
  HostFree(p->palette);
  p->index = nullptr;
  p->palette = nullptr;
}

int ApplyEffects(lua_State* L, const TransformRecord& t, const TagRecord& tags, EffectPlanes* p) {
  if (int rc = ApplyMatrix(t, p)) return rc;
  p->objectWidth = p->width;
  p->objectHeight = p->height;
  p->originX = p->originY = 0;
  if (HasFilters(tags.filters)) {
    if (int rc = ApplyFilters(L, tags.filters, &p->color, &p->mask, &p->alpha, &p->index,
                              p->palette, p->width, p->height, 0)) {
      return rc;
    }
  }
  const int transparency = std::clamp(tags.transparency, 0, 255);
  if (!transparency && !tags.border.on && !tags.shadow.on) return 0;
  // Outlines and blending need colours; palette pictures are drawn by colour
  // from here on.
  if (p->index) {
    if (int rc = PensToColor(p)) return rc;
  }
  if (transparency) {
    if (int rc = ApplyTransparencyLevel(&p->alpha, &p->mask, p->width, p->height, transparency)) {
      return rc;
    }
  }
  if (tags.border.on) {
    if (int rc = DrawBorder(&p->color, &p->mask, &p->alpha, &p->width, &p->height, &tags.border)) {
      return rc;
    }
    p->originX += tags.border.size;
    p->originY += tags.border.size;
  }
  if (tags.shadow.on) {
    int top, bottom, left, right;
    ShadowMargins(tags.shadow.size, tags.shadow.direction, &top, &bottom, &left, &right);
    if (int rc = DrawShadow(&p->color, &p->mask, &p->alpha, &p->width, &p->height, &tags.shadow)) {
      return rc;
    }
    p->originX += left;
    p->originY += top;
  }
  return 0;
}

int ApplyDrawEffects(lua_State* L, TransformRecord* transform, TagRecord* tags,
                     BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
                     int* height, int* originX, int* originY) {
  EffectPlanes p{};
  p.color = *color;
  p.mask = *mask;
  p.alpha = *alpha;
  p.transparentPen = -1;
  p.width = p.objectWidth = *width;
  p.height = p.objectHeight = *height;
  const int rc = ApplyEffects(L, *transform, *tags, &p);
  // Every step swaps whole planes, so the set is sound even after a failure.
  *color = p.color;
  *mask = p.mask;
  *alpha = p.alpha;
  *width = p.width;
  *height = p.height;
  if (originX) *originX = p.originX;
  if (originY) *originY = p.originY;
  return rc;
}

int ApplyTransparencyLevel(BitmapHandle** alpha, BitmapHandle** mask, int width, int height,
                           int transparency) {
  const int opacity = 255 - std::clamp(transparency, 0, 255);
  if (*alpha) return ScaleAlpha(*alpha, *alpha, height, opacity);
  BitmapHandle* made = AllocAlpha(width, height, 0, nullptr, 0);
  if (!made) return kErrAllocAlpha;
  PixelView a, m;
  ViewOf(made, &a);
  const PixelView* maskView = *mask && ViewOf(*mask, &m) ? &m : nullptr;
  const int columns = maskView ? std::min(width, m.width) : width;
  for (int y = 0; y < height; ++y) {
    if (maskView && y >= m.height) break;
    CoverageRow(nullptr, maskView, y, columns, RowOf(a, y));
    ScaleLevels(RowOf(a, y), opacity, RowOf(a, y), columns);
  }
  FreeBitmap(*mask);
  *mask = nullptr;
  *alpha = made;
  return 0;
}

int DrawShadow(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
               int* height, const ShadowRecord* shadow) {
  const int size = std::max(0, shadow->size);
  const int d = shadow->direction;
  Silhouette s{};
  ShadowMargins(size, d, &s.top, &s.bottom, &s.left, &s.right);
  const bool known = d >= 0 && d < 8;
  s.dx = known ? kShadowX[d] * size : 0;
  s.dy = known ? kShadowY[d] * size : 0;
  s.color = shadow->color;
  return DrawOverSilhouette(color, mask, alpha, width, height, s);
}

int DrawBorder(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
               int* height, const BorderRecord* border) {
  const int size = std::max(0, border->size);
  Silhouette s{size, size, size, size, 0, 0, size, border->color};
  return DrawOverSilhouette(color, mask, alpha, width, height, s);
}

}  // namespace tzx::graphics
