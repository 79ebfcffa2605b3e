// The geometry commands: scaling, turning, general transformation,
// flipping, cropping, trimming, extending, mixing, rasterizing and textured
// brushes.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "geometry.h"
#include "glue.h"
#include "tzx/errors.h"
#include "tzx/size_argument.h"

namespace tzx::brush {

namespace {

// The size a vector brush is drawn at, or whose planes are scaled.
int ScaleTo(BrushRecord* b, int width, int height, int smooth) {
  if (b->kind == kKindVector) {
    const double m[4] = {static_cast<double>(width) / b->width, 0, 0,
                         static_cast<double>(height) / b->height};
    return RenderVector(b, width, height, m);
  }
  Planes p{b->bitmap, b->mask, b->alpha, b->chunky};
  if (int rc = gBound.graphics->ScaleBitmap(&p.bitmap, &p.mask, &p.alpha, &p.chunky, b->width,
                                            b->height, width, height, smooth)) {
    return rc;
  }
  b->bitmap = p.bitmap;
  b->mask = p.mask;
  b->alpha = p.alpha;
  b->chunky = p.chunky;
  b->width = width;
  b->height = height;
  return 0;
}

// A new plane of the extended size with the old one at (left, top).
int Extended(BitmapHandle* old, int width, int height, int left, int top, bool fill, uint32_t value,
             BitmapHandle** out) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* made = nullptr;
  int error = kErrAllocBitmap;
  switch (old->kind) {
    case graphics::kKindColor:
      made = g.AllocBitmap(width, height, 0, nullptr);
      break;
    case graphics::kKindMask:
      made = g.AllocMask(nullptr, width, height, 0, nullptr, 0);
      error = kErrAllocMask;
      break;
    case graphics::kKindAlpha:
      made = g.AllocAlpha(width, height, 0, nullptr, 0);
      error = kErrAllocAlpha;
      break;
    default:
      made = g.AllocIndexBitmap(width, height, 1);
      error = kErrAllocIndexBitmap;
      break;
  }
  if (!made) return error;
  int rc = fill ? g.FillBitmapRect(made, 0, 0, width, height, value) : 0;
  if (rc == 0) rc = g.CopyBitmapPixels(old, 0, 0, made, left, top, old->width, old->height);
  if (rc) {
    g.FreeBitmapSet(&made, nullptr, nullptr);
    return rc;
  }
  *out = made;
  return 0;
}

}  // namespace

// ScaleBrush(id, width, height[, smooth = 0])
int ScaleBrush(lua_State* L) {
  L = Args().beginCommand(L, 3, 4, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  const SizeArgument w = ReadSizeArgument(L, 2), h = ReadSizeArgument(L, 3);
  const int smooth = OptionalFlag(L, 4, false) ? 1 : 0;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangeHardware, &b)) return rc;
  int width = w.Resolve(b->width), height = h.Resolve(b->height);
  if (int rc = gBound.graphics->ResolveKeepAspect(b->width, b->height, &width, &height)) return rc;
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  if (width == b->width && height == b->height) return 0;
  return ScaleTo(b, width, height, smooth);
}

// RotateBrush(id, angle[, scalex = 1[, scaley = 1[, smooth = 0]]])
int RotateBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  graphics::TransformRecord t{};
  t.rotate = Lua().checknumber(L, 2);
  t.scaleX = Lua().optnumber(L, 3, 1.0);
  t.scaleY = Lua().optnumber(L, 4, 1.0);
  const int smooth = OptionalFlag(L, 5, false) ? 1 : 0;
  if (t.scaleX == 0.0 || t.scaleY == 0.0) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangeHardware, &b)) return rc;
  gBound.graphics->BuildTransformMatrix(&t, 0, 0, 0, 0);
  return TransformBrushCore(b, t.matrix, smooth);
}

// TransformBrush(id, sx, rx, ry, sy[, smooth = 0])
int TransformBrush(lua_State* L) {
  L = Args().beginCommand(L, 5, 6, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  double m[4];
  for (int i = 0; i < 4; ++i) m[i] = Lua().checknumber(L, 2 + i);
  const int smooth = OptionalFlag(L, 6, false) ? 1 : 0;
  if (m[0] == 0.0 || m[3] == 0.0) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangeHardware, &b)) return rc;
  return TransformBrushCore(b, m, smooth);
}

// FlipBrush(id, direction): non-zero mirrors left and right, 0 top and bottom.
int FlipBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  const int horizontal = Lua().checkinteger(L, 2) != 0 ? 1 : 0;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  return gBound.graphics->FlipBitmapSet(b->bitmap, b->mask, b->alpha, b->chunky, horizontal);
}

// CropBrush(id, x, y, width, height)
int CropBrush(lua_State* L) {
  L = Args().beginCommand(L, 5, 5, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  int x = Lua().checkinteger(L, 2), y = Lua().checkinteger(L, 3);
  int width = Lua().checkinteger(L, 4), height = Lua().checkinteger(L, 5);
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  x = g.ResolveX(x, width, b->width, 0.0);
  y = g.ResolveY(y, height, b->height, 0.0);
  if (x < 0 || y < 0) return kErrNegativePosition;
  if (x >= b->width || y >= b->height) return kErrOutside;
  width = std::min(width, b->width - x);
  height = std::min(height, b->height - y);
  if (width == b->width && height == b->height) return 0;
  Planes p{};
  if (int rc = g.CropBitmapSet(b->bitmap, b->mask, b->alpha, b->chunky, nullptr, x, y, width,
                               height, &p.bitmap, &p.mask, &p.alpha, &p.chunky, nullptr)) {
    return rc;
  }
  ReplacePlanes(b, p, width, height);
  return 0;
}

// TrimBrush(id) -> x, y of the kept rectangle
int TrimBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  int x = 0, y = 0, width = b->width, height = b->height;
  // A palette brush without transparent pen has nothing to trim.
  if (!(IsPaletteBrush(b) && b->transparentPen < 0 && !b->mask && !b->alpha)) {
    Planes p{b->bitmap, b->mask, b->alpha, b->chunky};
    if (int rc = gBound.graphics->TrimBitmapSet(&p.bitmap, &p.mask, &p.alpha, &p.chunky,
                                                IsPaletteBrush(b) ? b->transparentPen : -1, &x, &y,
                                                &width, &height)) {
      return rc;
    }
    b->bitmap = p.bitmap;
    b->mask = p.mask;
    b->alpha = p.alpha;
    b->chunky = p.chunky;
    b->width = width;
    b->height = height;
  }
  Lua().pushnumber(L, x);
  Lua().pushnumber(L, y);
  return 2;
}

// ExtendBrush(id, left, top, right, bottom[, {clear, pen, color}])
int ExtendBrush(lua_State* L) {
  L = Args().beginCommand(L, 5, 6, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  int32_t amounts[4];
  for (int i = 0; i < 4; ++i) amounts[i] = Lua().checkinteger(L, 2 + i);
  const int table = OptionalTable(L, 6);
  int32_t clear = 0, pen = 0;
  uint32_t color = 0;
  if (table) {
    Args().fieldBool(L, table, "clear", &clear);
    Args().fieldInt(L, table, "pen", &pen);
    Args().fieldColor(L, table, "color", &color);
  }
  const int left = amounts[0], top = amounts[1], right = amounts[2], bottom = amounts[3];
  if (left < 0 || top < 0 || right < 0 || bottom < 0) return kErrRange;
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChangePixels, &b)) return rc;
  const bool pens = IsPaletteBrush(b);
  if (pens && (pen < 0 || pen >= PenCount(b->depth))) return kErrPenRange;
  const int64_t width = int64_t{b->width} + left + right;
  const int64_t height = int64_t{b->height} + top + bottom;
  if (width > INT_MAX || height > INT_MAX) return pens ? kErrAllocIndexBitmap : kErrAllocBitmap;
  if (width == b->width && height == b->height) return 0;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  Planes p{};
  int rc = 0;
  if (pens) {
    rc = Extended(b->chunky, w, h, left, top, !clear, static_cast<uint32_t>(pen), &p.chunky);
  } else {
    rc = Extended(b->bitmap, w, h, left, top, !clear, color, &p.bitmap);
  }
  // Borders of the transparency planes are transparent.
  if (rc == 0 && b->mask) rc = Extended(b->mask, w, h, left, top, false, 0, &p.mask);
  if (rc == 0 && b->alpha) rc = Extended(b->alpha, w, h, left, top, false, 0, &p.alpha);
  if (rc) {
    FreePlanes(&p);
    return rc;
  }
  ReplacePlanes(b, p, w, h);
  return 0;
}

// MixBrush(id1, id2, level): brush 2 mixed into brush 1
int MixBrush(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  const ObjectId target = Args().objectId(L, 1);
  const ObjectId source = Args().objectId(L, 2);
  const double ratio = Lua().checknumber(L, 3);
  const int level = ratio >= 255.0 ? 255 : ratio > 0.0 ? static_cast<int>(ratio) : 0;
  BrushRecord *a = nullptr, *s = nullptr;
  if (int rc = FindBrush(L, &source, &s, kFindRead)) return rc;
  if (int rc = FindBrushToChange(L, target, kFindChangePixels, &a)) return rc;
  BitmapHandle* from = s->chunky ? s->chunky : s->bitmap;
  BitmapHandle* to = a->chunky ? a->chunky : a->bitmap;
  if (!from || !to) return kErrNotAllowed;
  return gBound.graphics->MixBitmaps(to, a->palette, a->depth, from, s->palette,
                                     std::min(a->width, s->width), std::min(a->height, s->height),
                                     level);
}

// RasterizeBrush(id): a vector brush keeps its planes and forgets its picture
int RasterizeBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const ObjectId id = Args().objectId(L, 1);
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, kFindChange, &b)) return rc;
  if (b->kind != kKindVector) return kErrRange;
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  gBound.graphics->ReleaseImageObject(b->imageObject);
  b->imageObject = nullptr;
  b->kind = kKindRaster;
  b->transformed = 0;
  return 0;
}

// CreateTexturedBrush(id, source, width, height[, x[, y]])
int CreateTexturedBrush(lua_State* L) {
  L = Args().beginCommand(L, 4, 6, 0, 0);
  const ObjectId id = Args().newObjectId(L, 1);
  const ObjectId source = Args().objectId(L, 2);
  const int width = Lua().checkinteger(L, 3), height = Lua().checkinteger(L, 4);
  const int x = Lua().optinteger(L, 5, 0), y = Lua().optinteger(L, 6, 0);
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  if (!id.pointer && !source.pointer && id.number == source.number) return kErrRange;
  BrushRecord* s = nullptr;
  if (int rc = FindBrush(L, &source, &s, kFindRead)) return rc;
  if (!s->bitmap && !s->chunky) return kErrNotAllowed;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  NewBrush n{};
  n.id = id;
  n.width = n.rowWidth = width;
  n.height = height;
  n.depth = s->depth;
  n.transparentPen = s->transparentPen;
  BitmapHandle* const from[4] = {s->bitmap, s->mask, s->alpha, s->chunky};
  BitmapHandle** const to[4] = {&n.bitmap, &n.mask, &n.alpha, &n.chunky};
  int rc = 0;
  for (int i = 0; i < 4 && !rc; ++i) {
    if (from[i]) rc = g.CreateTextureBitmap(from[i], width, height, x, y, to[i]);
  }
  if (rc == 0 && s->palette) {
    n.palette = static_cast<uint32_t*>(HostAlloc(kPaletteBytes));
    if (n.palette) {
      std::memcpy(n.palette, s->palette, kPaletteBytes);
    } else {
      rc = kErrNoMemory;
    }
  }
  // The source stays as it was; a numbered brush of the new id goes now.
  if (rc == 0) rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (rc == 0) rc = AddBrushRecord(&n, &b);
  if (rc) {
    Planes p{n.bitmap, n.mask, n.alpha, n.chunky};
    FreePlanes(&p);
    HostFree(n.palette);
    return rc;
  }
  return PushAutomaticId(L, id, b);
}

// CreateGradientBrush(id, width, height, type, start, end[, angle][, options])
int CreateGradientBrush(lua_State* L) {
  L = Args().beginCommand(L, 6, 8, 0, 0);
  const ObjectId id = Args().newObjectId(L, 1);
  const int width = Lua().checkinteger(L, 2), height = Lua().checkinteger(L, 3);
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::GradientRecord gradient{};
  g.InitGradientRecord(&gradient, 0);
  gradient.style = Lua().checkinteger(L, 4);
  gradient.startColor = ColorArg(L, 5);
  gradient.endColor = ColorArg(L, 6);
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  if (int rc = g.ReadGradientOptions(L, 7, &gradient)) return rc;
  NewBrush n{};
  n.id = id;
  n.width = n.rowWidth = width;
  n.height = height;
  n.depth = 24;
  n.transparentPen = kNoPen;
  n.bitmap = g.AllocBitmap(width, height, 0, nullptr);
  int rc =
      n.bitmap ? g.CreateGradientBitmap(n.bitmap, 0, 0, width, height, &gradient) : kErrAllocBitmap;
  if (rc == 0) rc = FreeBrushForReuse(L, id);
  BrushRecord* b = nullptr;
  if (rc == 0) rc = AddBrushRecord(&n, &b);
  if (rc) {
    g.FreeBitmapSet(&n.bitmap, nullptr, nullptr);
    return rc;
  }
  return PushAutomaticId(L, id, b);
}

}  // namespace tzx::brush
