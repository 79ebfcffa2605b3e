#include "gradients.h"

#include <algorithm>
#include <cmath>

#include "bitmaps.h"
#include "pixel_formats.h"
#include "placement.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

// Rows of a bitmap in another format are filled through a 32-bit strip of
// this many pixels at most.
constexpr int kStripPixels = 64 * 1024;

pixman_color_t StopColor(uint32_t rgb) {
  // Alpha is not taken from the colour: gradients are opaque.
  return {static_cast<uint16_t>(((rgb >> 16) & 255) * 257),
          static_cast<uint16_t>(((rgb >> 8) & 255) * 257), static_cast<uint16_t>((rgb & 255) * 257),
          0xFFFF};
}

// pixman's coordinates are 16.16 fixed point; larger values are held at its
// limit rather than wrapped.
pixman_fixed_t Fixed(double v) {
  return pixman_double_to_fixed(std::clamp(v, -32767.0, 32767.0));
}

pixman_image_t* Radial(const GradientRecord& g, int width, int height,
                       const pixman_gradient_stop_t* stops, int count) {
  const double w = width, h = height;
  const double off = std::max(std::fabs(0.5 - g.centerX), std::fabs(0.5 - g.centerY));
  // A border of the whole radius would leave no circle to draw.
  const double border = g.border == 1.0 ? 0.99 : g.border;
  const double radius = std::sqrt(w * w + h * h) * (0.5 + off) * (1.0 - border);
  const pixman_point_fixed_t center = {Fixed(w * g.centerX), Fixed(h * g.centerY)};
  return pixman_image_create_radial_gradient(&center, &center, 0, Fixed(radius), stops, count);
}

pixman_image_t* Conical(const GradientRecord& g, int width, int height,
                        const pixman_gradient_stop_t* stops, int count) {
  const pixman_point_fixed_t center = {Fixed(width * g.centerX), Fixed(height * g.centerY)};
  return pixman_image_create_conical_gradient(&center, pixman_int_to_fixed(g.angle), stops, count);
}

pixman_image_t* Linear(const GradientRecord& g, int width, int height,
                       const pixman_gradient_stop_t* stops, int count) {
  double start[2], end[2];
  LinearGradientLine(g.angle, width, height, start, end);
  const pixman_point_fixed_t p1 = {Fixed(start[0]), Fixed(start[1])};
  const pixman_point_fixed_t p2 = {Fixed(end[0]), Fixed(end[1])};
  return pixman_image_create_linear_gradient(&p1, &p2, stops, count);
}

// The rectangle of the request that lies in its buffer, as pixman's source
// offset and destination rectangle.
struct Placement {
  int sourceX, sourceY, x, y, width, height;
};

bool Place(int x, int y, int width, int height, int bufferWidth, int bufferHeight, Placement* p) {
  p->x = x;
  p->y = y;
  p->width = width;
  p->height = height;
  if (!ClipRect(&p->x, &p->y, &p->width, &p->height, 0, 0, bufferWidth, bufferHeight)) return false;
  p->sourceX = p->x - x;
  p->sourceY = p->y - y;
  return true;
}

}  // namespace

void InitGradientRecord(GradientRecord* g, int keepCountAndAngle) {
  g->style = kLinear;
  if (!keepCountAndAngle) {
    g->colorCount = 0;
    g->angle = 0;
  }
  g->centerX = 0.5;
  g->centerY = 0.5;
  g->balance = 0.5;
  g->border = 0.0;
}

int GradientStops(const GradientRecord& g, pixman_gradient_stop_t stops[kMaxGradientStops]) {
  if (g.colorCount > 0) {
    const int count = std::min(g.colorCount, kMaxGradientStops);
    for (int i = 0; i < count; ++i) {
      // pixman's own conversion truncates toward zero, as the positions must.
      stops[i].x = static_cast<pixman_fixed_t>(g.stops[i].position * 65536.0);
      stops[i].color = StopColor(g.stops[i].color);
    }
    return count;
  }
  if (g.style == kConical) {
    stops[0] = {0, StopColor(g.endColor)};
    stops[1] = {static_cast<pixman_fixed_t>(g.balance * 65536.0), StopColor(g.startColor)};
    stops[2] = {pixman_fixed_1, StopColor(g.endColor)};
    return 3;
  }
  stops[0] = {0, StopColor(g.startColor)};
  stops[1] = {pixman_fixed_1, StopColor(g.endColor)};
  return 2;
}

void LinearGradientLine(int angle, int width, int height, double start[2], double end[2]) {
  int a = angle % 360;
  if (a < 0) a += 360;
  const double w = width, h = height;
  // The gradient vector, y counted upward.
  double x, y;
  switch (a) {
    case 0:
      x = 0, y = -h;
      break;
    case 90:
      x = w, y = 0;
      break;
    case 180:
      x = 0, y = h;
      break;
    case 270:
      x = -w, y = 0;
      break;
    default: {
      // The foot of the perpendicular from the origin on the line of slope t
      // through the corner the angle points at.
      const double t = std::tan(a * (M_PI / 180.0));
      const double cx = a <= 180 ? w : -w;
      const double cy = (a < 90 || a > 270) ? -h : h;
      x = (cy - t * cx) / (-1.0 / t - t);
      y = t * x + (cy - t * cx);
      break;
    }
  }
  start[0] = std::max(0.0, -x);
  start[1] = std::max(0.0, y);
  end[0] = std::max(0.0, x);
  end[1] = std::max(0.0, -y);
}

pixman_image_t* CreateGradientImage(const GradientRecord& g, int width, int height) {
  pixman_gradient_stop_t stops[kMaxGradientStops];
  const int count = GradientStops(g, stops);
  if (count < 1) return nullptr;
  pixman_image_t* image = nullptr;
  switch (g.style) {
    case kRadial:
      image = Radial(g, width, height, stops, count);
      break;
    case kConical:
      image = Conical(g, width, height, stops, count);
      break;
    default:
      image = Linear(g, width, height, stops, count);
      break;
  }
  // Beyond the first and last stop their colours continue.
  if (image) pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);
  return image;
}

int FillGradient(GradientRequest* r) {
  if (!r || !r->pixels || !r->gradient || r->bytesPerRow % 4 != 0 || r->bufferWidth < 0 ||
      r->bufferHeight < 0 || r->bytesPerRow < int64_t{r->bufferWidth} * 4) {
    return kErrRange;
  }
  Placement p;
  if (!Place(r->x, r->y, r->width, r->height, r->bufferWidth, r->bufferHeight, &p)) return 0;
  pixman_image_t* source = CreateGradientImage(*r->gradient, r->width, r->height);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, r->bufferWidth,
                                                    r->bufferHeight, r->pixels, r->bytesPerRow);
  int rc = source && target ? 0 : kErrNoMemory;
  if (rc == 0) {
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, p.sourceX, p.sourceY, 0, 0,
                             p.x, p.y, p.width, p.height);
  }
  if (target) pixman_image_unref(target);
  if (source) pixman_image_unref(source);
  return rc;
}

int CreateGradientBitmap(BitmapHandle* bitmap, int x, int y, int width, int height,
                         const GradientRecord* gradient) {
  PixelView v;
  if (!gradient || !bitmap) return kErrRange;
  if (!ViewOf(bitmap, &v)) return kErrLockBitmap;
  if (v.kind != kKindColor) return kErrRange;
  if (v.format == kFormatArgb32) {
    GradientRequest r = {reinterpret_cast<uint32_t*>(v.pixels),
                         v.bytesPerRow,
                         v.width,
                         v.height,
                         x,
                         y,
                         width,
                         height,
                         gradient};
    return FillGradient(&r);
  }
  // Other formats: a strip of 32-bit rows at a time, converted row by row.
  Placement p;
  if (!Place(x, y, width, height, v.width, v.height, &p)) return 0;
  const int rows = std::clamp(kStripPixels / p.width, 1, p.height);
  auto* strip = static_cast<uint32_t*>(HostAlloc(size_t{4} * p.width * rows, false));
  pixman_image_t* source = CreateGradientImage(*gradient, width, height);
  pixman_image_t* target =
      strip ? pixman_image_create_bits(PIXMAN_x8r8g8b8, p.width, rows, strip, p.width * 4)
            : nullptr;
  int rc = source && target ? 0 : kErrNoMemory;
  for (int done = 0; rc == 0 && done < p.height; done += rows) {
    const int n = std::min(rows, p.height - done);
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, p.sourceX, p.sourceY + done, 0,
                             0, 0, 0, p.width, n);
    for (int row = 0; row < n; ++row) {
      RowFromArgb(strip + static_cast<size_t>(row) * p.width,
                  RowOf(v, p.y + done + row) + p.x * v.bytesPerPixel, v.format, p.width);
    }
  }
  if (target) pixman_image_unref(target);
  if (source) pixman_image_unref(source);
  HostFree(strip);
  return rc;
}

}  // namespace tzx::graphics
