#include "transform_bitmap.h"

#include <cmath>
#include <cstring>

#include "bitmap_sets.h"
#include "bitmaps.h"
#include "pixel_formats.h"
#include "transform.h"
#include "transform_matrix.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

// The turns that take exact paths, built the way draw records build theirs
// so that a requested matrix is recognised byte for byte.
enum Turn { kTurnNone, kTurnWhole, kTurnHalf, kTurnClockwise, kTurnCounterClockwise };

struct ExactMatrices {
  double whole[4], half[2][4], counterClockwise[2][4], clockwise[2][4];
};

void Rotation(double degrees, double out[4]) {
  TransformRecord t{};
  t.scaleX = t.scaleY = 1.0;
  t.rotate = degrees;
  BuildTransformMatrix(&t, 0, 0, 0, 0);
  std::memcpy(out, t.matrix, sizeof t.matrix);
}

const ExactMatrices& Exact() {
  static const ExactMatrices m = [] {
    ExactMatrices e;
    Rotation(360, e.whole);
    Rotation(180, e.half[0]);
    Rotation(-180, e.half[1]);
    Rotation(90, e.counterClockwise[0]);
    Rotation(-270, e.counterClockwise[1]);
    Rotation(270, e.clockwise[0]);
    Rotation(-90, e.clockwise[1]);
    return e;
  }();
  return m;
}

bool Same(const double a[4], const double b[4]) {
  return std::memcmp(a, b, 4 * sizeof(double)) == 0;
}

Turn TurnOf(const double m[4]) {
  const ExactMatrices& e = Exact();
  // The identity itself is a whole turn too: the 360-degree matrix carries
  // sin 2 pi, which is not quite 0.
  if (IsIdentity(m) || Same(m, e.whole)) return kTurnWhole;
  if (Same(m, e.half[0]) || Same(m, e.half[1])) return kTurnHalf;
  if (Same(m, e.counterClockwise[0]) || Same(m, e.counterClockwise[1])) {
    return kTurnCounterClockwise;
  }
  if (Same(m, e.clockwise[0]) || Same(m, e.clockwise[1])) return kTurnClockwise;
  return kTurnNone;
}

constexpr int kPlanes = 4;  // colour, mask, alpha, index
constexpr int kAllocErrors[kPlanes] = {kErrAllocBitmap, kErrAllocMask, kErrAllocAlpha,
                                       kErrAllocIndexBitmap};

BitmapHandle* AllocPlane(int plane, int format, int width, int height) {
  switch (plane) {
    case 0:
      return AllocBitmapOfFormat(width, height, format);
    case 1:
      return AllocMask(nullptr, width, height, 0, nullptr, 0);
    case 2:
      return AllocAlpha(width, height, 0, nullptr, 0);
    default:
      return AllocIndexBitmap(width, height, 1);
  }
}

// The new planes, freed together unless handed over.
struct Made {
  BitmapHandle* planes[kPlanes] = {};
  void Free() {
    for (BitmapHandle*& p : planes) {
      FreeBitmap(p);
      p = nullptr;
    }
  }
};

// Views of the present source planes, checked against the kinds and size.
int OpenSources(BitmapHandle* const sources[kPlanes], int width, int height,
                PixelView views[kPlanes]) {
  constexpr int kKinds[kPlanes] = {kKindColor, kKindMask, kKindAlpha, kKindIndex};
  if (!sources[0] && !sources[3]) return kErrRange;
  for (int i = 0; i < kPlanes; ++i) {
    if (!sources[i]) continue;
    if (sources[i]->kind != kKinds[i] || sources[i]->width < width || sources[i]->height < height) {
      return kErrRange;
    }
    if (!ViewOf(sources[i], &views[i])) return kErrLockBitmap;
  }
  return 0;
}

int QuarterTurn(BitmapHandle* const sources[kPlanes], const PixelView views[kPlanes], int width,
                int height, bool clockwise, Made* made) {
  for (int i = 0; i < kPlanes; ++i) {
    if (!sources[i]) continue;
    made->planes[i] = AllocPlane(i, views[i].format, height, width);
    if (!made->planes[i]) return kAllocErrors[i];
    PixelView to;
    if (!ViewOf(made->planes[i], &to)) return kErrLockBitmap;
    TurnPlane(views[i].pixels, views[i].bytesPerRow, to.pixels, to.bytesPerRow, width, height,
              i == 1 ? 0 : views[i].bytesPerPixel, clockwise);
  }
  return 0;
}

// Smooth colours are blended as 32-bit pixels: other formats pass through
// a 0xAARRGGBB copy on either side.
struct WideColor {
  uint8_t* source = nullptr;
  uint8_t* target = nullptr;
  ~WideColor() {
    HostFree(source);
    HostFree(target);
  }
};

int Engine(BitmapHandle* const sources[kPlanes], const PixelView views[kPlanes], int width,
           int height, const double m[4], bool smooth, int* newWidth, int* newHeight, Made* made) {
  const Bounds b = MatrixBoundsOf(m, width, height);
  TransformRequest r;
  r.width = width;
  r.height = height;
  r.toWidth = b.width;
  r.toHeight = b.height;
  r.matrix[0] = m[0];
  r.matrix[1] = m[1];
  r.matrix[2] = m[2];
  r.matrix[3] = m[3];
  r.matrix[4] = -b.left;
  r.matrix[5] = -b.top;
  r.smooth = smooth;
  double inverse[6];
  if (!InvertMatrix(r.matrix, inverse)) return kErrRange;

  // Without a mask or an alpha channel the picture gets a mask, so that the
  // corners the turn opens stay transparent.
  const bool wantMask = sources[1] || !sources[2];
  for (int i = 0; i < kPlanes; ++i) {
    if (!sources[i] && !(i == 1 && wantMask)) continue;
    made->planes[i] = AllocPlane(i, sources[i] ? views[i].format : 0, b.width, b.height);
    if (!made->planes[i]) return kAllocErrors[i];
  }
  PixelView to[kPlanes] = {};
  for (int i = 0; i < kPlanes; ++i) {
    if (made->planes[i] && !ViewOf(made->planes[i], &to[i])) return kErrLockBitmap;
  }
  PlaneBuffer* from[kPlanes] = {&r.color, &r.mask, &r.alpha, &r.index};
  PlaneTarget* into[kPlanes] = {&r.toColor, &r.toMask, &r.toAlpha, &r.toIndex};
  for (int i = 0; i < kPlanes; ++i) {
    if (sources[i]) *from[i] = {views[i].pixels, views[i].bytesPerRow};
    if (made->planes[i]) *into[i] = {to[i].pixels, to[i].bytesPerRow};
  }
  WideColor wide;
  const PixelView& c = views[0];
  const bool convert = sources[0] && smooth && c.bytesPerPixel != 4;
  if (sources[0]) r.colorBytes = c.bytesPerPixel;
  if (convert) {
    wide.source = static_cast<uint8_t*>(HostAlloc(size_t{4} * width * height, false));
    wide.target =
        static_cast<uint8_t*>(HostAlloc(size_t{4} * b.width * static_cast<size_t>(b.height), true));
    if (!wide.source || !wide.target) return kErrNoMemory;
    ConvertRect(c.pixels, c.bytesPerRow, c.format, wide.source, width * 4, kFormatArgb32, width,
                height);
    r.color = {wide.source, width * 4};
    r.toColor = {wide.target, b.width * 4};
    r.colorBytes = 4;
  }
  if (int rc = TransformPixels(r)) return rc;
  if (convert) {
    ConvertRect(wide.target, b.width * 4, kFormatArgb32, to[0].pixels, to[0].bytesPerRow,
                to[0].format, b.width, b.height);
  }
  *newWidth = b.width;
  *newHeight = b.height;
  return 0;
}

}  // namespace

int RotateBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                    BitmapHandle** index, int width, int height, const double matrix[4], int smooth,
                    int* newWidth, int* newHeight) {
  BitmapHandle** slots[kPlanes] = {color, mask, alpha, index};
  BitmapHandle* sources[kPlanes] = {};
  for (int i = 0; i < kPlanes; ++i) sources[i] = slots[i] ? *slots[i] : nullptr;
  if (!matrix || width < 1 || height < 1) return kErrRange;
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(matrix[i])) return kErrRange;
  }
  PixelView views[kPlanes] = {};
  if (int rc = OpenSources(sources, width, height, views)) return rc;

  const Turn turn = TurnOf(matrix);
  bool wholePlanes = true;
  for (BitmapHandle* s : sources) {
    if (s && (s->width != width || s->height != height)) wholePlanes = false;
  }
  Made made;
  int rc = 0;
  int w = width, h = height;
  if ((turn == kTurnWhole || turn == kTurnHalf) && !wholePlanes) {
    // Planes larger than the picture: its part is copied first.
    for (int i = 0; i < kPlanes && !rc; ++i) {
      if (sources[i] && !(made.planes[i] = CopyBitmapRect(sources[i], 0, 0, width, height))) {
        rc = kAllocErrors[i];
      }
    }
  }
  if (rc == 0) {
    switch (turn) {
      case kTurnWhole:
        break;
      case kTurnHalf: {
        BitmapHandle* p[kPlanes];
        for (int i = 0; i < kPlanes; ++i) p[i] = made.planes[i] ? made.planes[i] : sources[i];
        rc = FlipBitmapSet(p[0], p[1], p[2], p[3], 1);
        if (rc == 0) rc = FlipBitmapSet(p[0], p[1], p[2], p[3], 0);
        break;
      }
      case kTurnClockwise:
      case kTurnCounterClockwise:
        rc = QuarterTurn(sources, views, width, height, turn == kTurnClockwise, &made);
        w = height;
        h = width;
        break;
      default:
        rc = Engine(sources, views, width, height, matrix, smooth != 0, &w, &h, &made);
        break;
    }
  }
  if (rc) {
    made.Free();
    return rc;
  }
  for (int i = 0; i < kPlanes; ++i) {
    if (!made.planes[i]) continue;
    if (slots[i]) {
      FreeBitmap(*slots[i]);
      *slots[i] = made.planes[i];
    } else {
      FreeBitmap(made.planes[i]);  // a mask the caller has no room for
    }
    made.planes[i] = nullptr;
  }
  if (newWidth) *newWidth = w;
  if (newHeight) *newHeight = h;
  return 0;
}

int RotateBitmap(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                 BitmapHandle** index, int width, int height, double angle, int smooth,
                 int* newWidth, int* newHeight) {
  double m[4];
  Rotation(angle, m);
  return RotateBitmapSet(color, mask, alpha, index, width, height, m, smooth, newWidth, newHeight);
}

int IsIdentityMatrix(const double matrix[4]) {
  return IsIdentity(matrix) ? 1 : 0;
}

void MatrixBounds(const double matrix[4], int width, int height, int* x, int* y, int* outWidth,
                  int* outHeight) {
  const Bounds b = MatrixBoundsOf(matrix, width, height);
  if (x) *x = static_cast<int>(std::floor(std::fmax(b.left, double{INT32_MIN})));
  if (y) *y = static_cast<int>(std::floor(std::fmax(b.top, double{INT32_MIN})));
  if (outWidth) *outWidth = b.width;
  if (outHeight) *outHeight = b.height;
}

}  // namespace tzx::graphics
