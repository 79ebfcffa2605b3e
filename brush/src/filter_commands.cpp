// The image effects and distortions: each reads its arguments, checks them,
// looks the brush up for change and hands the planes to one operation of the
// filters library (or of the graphics library for tint and alpha levels).
#include "bindings.h"
#include "commands.h"
#include "filter_planes.h"
#include "geometry.h"
#include "glue.h"
#include "tzx/errors.h"

namespace tzx::brush {

namespace {

const FiltersSibling* Filters() {
  return gBound.filters;
}

int FiltersAbsent() {
  return ErrorWithString(kErrSiblingAbsent, "filters");
}

// Steps 4 to 6 of every effect: target guard, lookup, the operation.
template <class Operation>
int OnBrush(lua_State* L, const ObjectId& id, unsigned access, Operation operation) {
  BrushRecord* b = nullptr;
  if (int rc = FindBrushToChange(L, id, access, &b)) return rc;
  return operation(b);
}

// The colour effects work on the colour target: the bitmap, or the palette.
template <class Operation>
int OnColors(lua_State* L, const ObjectId& id, Operation operation) {
  return OnBrush(L, id, kFindChangePixels, [&](BrushRecord* b) {
    ColorTarget target;
    if (int rc = target.Open(b)) return rc;
    return operation(target.bitmap, target.width, target.height);
  });
}

// A convolution effect: BlurBrush, EmbossBrush, EdgeBrush, SharpenBrush.
int Convolve(lua_State* L, int code, double radius, double sigma, double gain) {
  ObjectId id = Args().objectId(L, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  if (radius < 0) return kErrRange;
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    return f->convolve(code, b->bitmap, b->alpha, b->width, b->height, radius, sigma, gain);
  });
}

// Inverts the brush's mask or alpha channel in place.
int InvertPlane(lua_State* L, bool mask) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    BitmapHandle* plane = mask ? b->mask : b->alpha;
    if (!plane) return static_cast<int>(kErrRange);
    const graphics::GraphicsInterface& g = *gBound.graphics;
    uint8_t* pixels = nullptr;
    int bytesPerRow = 0;
    if (!g.GetBitmapPixels(plane, &pixels, &bytesPerRow, 1))
      return static_cast<int>(kErrLockBitmap);
    const int rc = f->invertPlane(pixels, plane->height, bytesPerRow);
    g.ReleaseBitmapPixels(plane);
    return rc;
  });
}

// The four distortions share one frame: up to `most` numbers from argument 2
// on, the smoothing flag at argument most + 2.
int Distort(lua_State* L, int minimum, int maximum, int method, int most) {
  L = Args().beginCommand(L, minimum, maximum, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int top = Lua().gettop(L);
  const bool smoothGiven = top >= most + 2;
  const int smoothArg = smoothGiven ? OptionalFlag(L, most + 2, false) : 0;
  double numbers[16];
  const int count = top - 1 < most ? top - 1 : most;
  for (int i = 0; i < count; ++i) numbers[i] = Lua().checknumber(L, 2 + i);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangePixels, [&](BrushRecord* b) {
    double expanded[16];
    const double* values = numbers;
    int n = count;
    if (method == kDistortPerspective) {
      // (source x, source y, destination x, destination y) per corner:
      // top-left, top-right, bottom-right, bottom-left.
      const double corners[4][2] = {{0, 0},
                                    {double(b->width), 0},
                                    {double(b->width), double(b->height)},
                                    {0, double(b->height)}};
      for (int c = 0; c < 4; ++c) {
        expanded[4 * c] = corners[c][0];
        expanded[4 * c + 1] = corners[c][1];
        expanded[4 * c + 2] = numbers[2 * c];
        expanded[4 * c + 3] = numbers[2 * c + 1];
      }
      values = expanded;
      n = 16;
    }
    const bool pens = b->chunky != nullptr;
    Planes out{};
    int width = 0, height = 0;
    int rc = f->distort(b->bitmap, b->mask, b->alpha, b->chunky, b->width, b->height, method, n,
                        values, pens ? 0 : smoothArg, pens ? b->transparentPen : kNoPen,
                        &out.bitmap, &out.mask, &out.alpha, &out.chunky, &width, &height);
    if (rc) return rc;
    ReplacePlanes(b, out, width, height);
    return 0;
  });
}

// CreateShadowBrush and CreateBorderBrush.
int ShadowOrBorder(lua_State* L, bool border) {
  L = Args().beginCommand(L, 3, 5, 0, 0);
  ObjectId newId = Args().newObjectId(L, 1);
  ObjectId sourceId = Args().objectId(L, 2);
  const uint32_t color = ColorArg(L, 3);
  const double radius = Lua().optnumber(L, 4, 5.0);
  const double sigma = Lua().optnumber(L, 5, radius / 3.0);
  const ShadowRequest r{color & 0xFFFFFF, 255 - static_cast<int>(color >> 24), radius, sigma,
                        border};
  if (!(radius >= 1)) return kErrRange;
  if (!newId.pointer && !sourceId.pointer && newId.number == sourceId.number) return kErrRange;
  BrushRecord* source = nullptr;
  if (int rc = FindBrush(L, &sourceId, &source, kFindRead)) return rc;
  if (ShadowNeedsFilters(*source, border) && !Filters()) return FiltersAbsent();
  // The new planes first: a brush that the new one replaces is only freed
  // once they exist.
  NewBrush n{};
  if (int rc = MakeShadowPlanes(Filters(), *source, r, &n)) return rc;
  n.id = newId;
  BrushRecord* made = nullptr;
  int rc = FreeBrushForReuse(L, newId);
  if (!rc) rc = AddBrushRecord(&n, &made);
  if (rc) {
    gBound.graphics->FreeBitmapSet(&n.bitmap, nullptr, &n.alpha);
    return rc;
  }
  return PushAutomaticId(L, newId, made);
}

}  // namespace

// BlurBrush(id[, radius = 0[, sigma = radius / 3]])
int BlurBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 3, 0, 0);
  const double radius = Lua().optnumber(L, 2, 0.0);
  const double sigma = Lua().optnumber(L, 3, radius / 3.0);
  return Convolve(L, kConvolveBlur, radius, sigma, 0.0);
}

// EmbossBrush(id[, strength = 0])
int EmbossBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  return Convolve(L, kConvolveEmboss, Lua().optnumber(L, 2, 0.0), 0.0, 1.0);
}

// EdgeBrush(id[, radius = 0])
int EdgeBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  return Convolve(L, kConvolveEdge, Lua().optnumber(L, 2, 0.0), 0.0, 0.0);
}

// SharpenBrush(id[, radius = 0])
int SharpenBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  return Convolve(L, kConvolveSharpen, Lua().optnumber(L, 2, 0.0), 0.0, 1.0);
}

// SolarizeBrush(id, threshold)
int SolarizeBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int threshold = static_cast<int>(Args().levelArgument(L, 2, 255, 0, 0));
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnColors(L, id,
                  [&](BitmapHandle* t, int w, int h) { return f->solarize(t, w, h, threshold); });
}

// GammaBrush(id, red, green, blue)
int GammaBrush(lua_State* L) {
  L = Args().beginCommand(L, 4, 4, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const double red = Lua().checknumber(L, 2);
  const double green = Lua().checknumber(L, 3);
  const double blue = Lua().checknumber(L, 4);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnColors(
      L, id, [&](BitmapHandle* t, int w, int h) { return f->gamma(t, w, h, red, green, blue); });
}

// ContrastBrush(id, amount[, steps = 1])
int ContrastBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int amount = Lua().checkinteger(L, 2);
  const int steps = Lua().optinteger(L, 3, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  if (steps < 1) return kErrRange;
  return OnColors(
      L, id, [&](BitmapHandle* t, int w, int h) { return f->contrast(t, w, h, amount, steps, 0); });
}

// ModulateBrush(id, brightness, saturation, hue)
int ModulateBrush(lua_State* L) {
  L = Args().beginCommand(L, 4, 4, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const double brightness = Lua().checknumber(L, 2);
  const double saturation = Lua().checknumber(L, 3);
  const double hue = Lua().checknumber(L, 4);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  if (brightness < 0 || saturation < 0 || hue < 0) return kErrRange;
  return OnColors(L, id, [&](BitmapHandle* t, int w, int h) {
    return f->modulate(t, w, h, brightness, saturation, hue);
  });
}

// SepiaToneBrush(id, level)
int SepiaToneBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int level = static_cast<int>(Args().levelArgument(L, 2, 255, 0, 0));
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangeTrueColor,
                 [&](BrushRecord* b) { return f->sepia(b->bitmap, b->width, b->height, level); });
}

// CharcoalBrush(id, radius)
int CharcoalBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const double radius = Lua().checknumber(L, 2);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  if (radius < 0) return kErrRange;
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    return f->charcoal(b->bitmap, b->alpha, b->width, b->height, radius, 0.0, 1.0);
  });
}

// SwirlBrush(id, degrees)
int SwirlBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int degrees = Lua().checkinteger(L, 2);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangePixels, [&](BrushRecord* b) {
    const ShapePlanes s(b);
    return f->swirl(s.color, s.mask, s.third, b->width, b->height, degrees);
  });
}

// PixelateBrush(id, size)
int PixelateBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int size = Lua().checkinteger(L, 2);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangePixels, [&](BrushRecord* b) {
    if (size < 1 || size > b->width || size > b->height) return static_cast<int>(kErrRange);
    const ShapePlanes s(b);
    return f->pixelate(s.color, s.mask, s.third, b->width, b->height, size);
  });
}

// BrushToMonochrome(id[, level = 1])
int BrushToMonochrome(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int level = Lua().optinteger(L, 2, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    return f->monochrome(b->bitmap, b->width, b->height, level);
  });
}

// WaterRippleBrush(id[, wavelength = 32[, amplitude = 1[, phase = 0[, x = 0.5[, y = 0.5]]]]])
int WaterRippleBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 6, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int wavelength = Lua().optinteger(L, 2, 32);
  const int amplitude = Lua().optinteger(L, 3, 1);
  const int phase = Lua().optinteger(L, 4, 0);
  const double x = Lua().optnumber(L, 5, 0.5);
  const double y = Lua().optnumber(L, 6, 0.5);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnBrush(L, id, kFindChangePixels, [&](BrushRecord* b) {
    const ShapePlanes s(b);
    return f->waterRipple(s.color, s.mask, s.third, b->width, b->height, wavelength, amplitude,
                          phase, x, y);
  });
}

// OilPaintBrush(id, radius)
int OilPaintBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const double radius = Lua().checknumber(L, 2);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  if (radius < 0) return kErrRange;
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    return f->oilPaint(b->bitmap, b->width, b->height, radius);
  });
}

// InvertBrush(id)
int InvertBrush(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnColors(L, id, [&](BitmapHandle* t, int w, int h) { return f->invert(t, w, h, 0); });
}

// BrushToGray(id)
int BrushToGray(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const FiltersSibling* f = Filters();
  if (!f) return FiltersAbsent();
  return OnColors(L, id,
                  [&](BitmapHandle* t, int w, int h) { return f->grayscale(t, w, h, 0, 0); });
}

// InvertMask(id)
int InvertMask(lua_State* L) {
  return InvertPlane(L, true);
}

// InvertAlphaChannel(id)
int InvertAlphaChannel(lua_State* L) {
  return InvertPlane(L, false);
}

// PerspectiveDistortBrush(id, x0, y0, x1, y1, x2, y2, x3, y3[, smooth])
int PerspectiveDistortBrush(lua_State* L) {
  return Distort(L, 9, 10, kDistortPerspective, 8);
}

// ArcDistortBrush(id, numbers...[, smooth])
int ArcDistortBrush(lua_State* L) {
  return Distort(L, 2, 6, kDistortArc, 4);
}

// PolarDistortBrush(id[, numbers...[, smooth]])
int PolarDistortBrush(lua_State* L) {
  return Distort(L, 1, 8, kDistortPolar, 6);
}

// BarrelDistortBrush(id, numbers...[, smooth])
int BarrelDistortBrush(lua_State* L) {
  return Distort(L, 4, 12, kDistortBarrel, 10);
}

// CreateShadowBrush(newId, sourceId, color[, radius = 5[, sigma = radius / 3]])
int CreateShadowBrush(lua_State* L) {
  return ShadowOrBorder(L, false);
}

// CreateBorderBrush(newId, sourceId, color[, radius = 5[, sigma = radius / 3]])
int CreateBorderBrush(lua_State* L) {
  return ShadowOrBorder(L, true);
}

// TintBrush(id, color, level)
int TintBrush(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const uint32_t color = ColorArg(L, 2);
  int level = Lua().checkinteger(L, 3);
  level = level < 0 ? 0 : level > 255 ? 255 : level;
  return OnColors(L, id, [&](BitmapHandle* t, int w, int h) {
    return gBound.graphics->TintBitmap(t, 0, 0, w, h, color, level);
  });
}

// ReduceAlphaChannel(id, level)
int ReduceAlphaChannel(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  const int level = static_cast<int>(Args().levelArgument(L, 2, 255, 0, 0));
  return OnBrush(L, id, kFindChangeTrueColor, [&](BrushRecord* b) {
    if (!b->alpha) return static_cast<int>(kErrRange);
    return gBound.graphics->ScaleAlpha(b->alpha, b->alpha, b->alpha->height, level);
  });
}

}  // namespace tzx::brush
