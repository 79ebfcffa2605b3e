// "filters": the pixel algorithms of the brush effects and of the draw tags'
// filters, on planes locked through the graphics library. The arithmetic of
// each effect is defined in filter_kernels.h and distortions.h.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "../../services.h"
#include "../sibling.h"
#include "distortions.h"
#include "filter_kernels.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

using graphics::BitmapHandle;
using graphics::LockRecord;
using namespace filters;

const graphics::GraphicsInterface* gGraphics = nullptr;

void* Take(size_t bytes) {
  return host::kMemory.alloc(bytes, 0);
}
void Give(void* block) {
  host::kMemory.free(block);
}
const Memory kScratch{Take, Give};

int GraphicsAbsent() {
  kErrorReporting.setErrorString("graphics");
  return kErrSiblingAbsent;
}

// A plane locked for the call.
class Locked {
 public:
  explicit Locked(BitmapHandle* b) {
    if (b && gGraphics) ok_ = gGraphics->LockBitmap(b, 0, &lock_) != 0;
  }
  ~Locked() {
    if (ok_) gGraphics->UnlockBitmap(&lock_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  bool ok() const { return ok_; }
  const LockRecord& lock() const { return lock_; }
  BytePlane Plane() const {
    return ok_ ? BytePlane{lock_.pixels, lock_.bytesPerRow} : BytePlane{nullptr, 0};
  }

 private:
  LockRecord lock_{};
  bool ok_ = false;
};

// Runs `effect` on a colour bitmap as 0xAARRGGBB words: in place for the
// library's own format, through a converted copy for the others.
template <class Effect>
int OnPicture(BitmapHandle* bitmap, int width, int height, Effect effect) {
  if (!gGraphics) return GraphicsAbsent();
  if (!bitmap || width < 1 || height < 1) return kErrRange;
  Locked locked(bitmap);
  if (!locked.ok()) return kErrLockBitmap;
  const LockRecord& l = locked.lock();
  width = width < l.width ? width : l.width;
  height = height < l.height ? height : l.height;
  if (l.format == graphics::kFormatArgb32) {
    return effect(Picture{reinterpret_cast<uint32_t*>(l.pixels), l.bytesPerRow / 4, width, height})
               ? 0
               : kErrNoMemory;
  }
  auto* words = static_cast<uint32_t*>(Take(static_cast<size_t>(width) * height * 4));
  if (!words) return kErrNoMemory;
  for (int y = 0; y < height; ++y) {
    gGraphics->ConvertRowToARGB(l.pixels + static_cast<ptrdiff_t>(y) * l.bytesPerRow, l.format,
                                words + static_cast<ptrdiff_t>(y) * width, width);
  }
  const bool done = effect(Picture{words, width, width, height});
  if (done) {
    for (int y = 0; y < height; ++y) {
      gGraphics->ConvertRowFromARGB(words + static_cast<ptrdiff_t>(y) * width,
                                    l.pixels + static_cast<ptrdiff_t>(y) * l.bytesPerRow, l.format,
                                    width);
    }
  }
  Give(words);
  return done ? 0 : kErrNoMemory;
}

int GrayscaleOp(BitmapHandle* t, int w, int h, int, int) {
  return OnPicture(t, w, h, [](const Picture& p) { return Grayscale(p), true; });
}
int InvertOp(BitmapHandle* t, int w, int h, int) {
  return OnPicture(t, w, h, [](const Picture& p) { return Invert(p), true; });
}
int SolarizeOp(BitmapHandle* t, int w, int h, int threshold) {
  return OnPicture(t, w, h, [&](const Picture& p) { return Solarize(p, threshold), true; });
}
int GammaOp(BitmapHandle* t, int w, int h, double r, double g, double b) {
  if (!(r > 0 && g > 0 && b > 0)) return kErrRange;
  return OnPicture(t, w, h, [&](const Picture& p) { return Gamma(p, r, g, b), true; });
}
int ContrastOp(BitmapHandle* t, int w, int h, int amount, int steps, int) {
  if (steps < 1) return kErrRange;
  return OnPicture(t, w, h, [&](const Picture& p) { return Contrast(p, amount, steps), true; });
}
int ModulateOp(BitmapHandle* t, int w, int h, double brightness, double saturation, double hue) {
  if (!(brightness >= 0 && saturation >= 0 && std::isfinite(hue))) return kErrRange;
  return OnPicture(
      t, w, h, [&](const Picture& p) { return Modulate(p, brightness, saturation, hue), true; });
}
int SepiaOp(BitmapHandle* image, int w, int h, int level) {
  return OnPicture(image, w, h, [&](const Picture& p) { return Sepia(p, level), true; });
}
int MonochromeOp(BitmapHandle* image, int w, int h, int level) {
  return OnPicture(image, w, h, [&](const Picture& p) { return Monochrome(p, level), true; });
}
int OilPaintOp(BitmapHandle* image, int w, int h, double radius) {
  if (!(radius >= 0)) return kErrRange;
  return OnPicture(image, w, h, [&](const Picture& p) { return OilPaint(p, radius, kScratch); });
}

int ConvolveOp(int code, BitmapHandle* image, BitmapHandle* alpha, int w, int h, double radius,
               double sigma, double gain) {
  if (!(radius >= 0) || !std::isfinite(sigma) || !std::isfinite(gain)) return kErrRange;
  Locked a(alpha);
  if (alpha && !a.ok()) return kErrLockBitmap;
  return OnPicture(image, w, h, [&](const Picture& p) {
    switch (code) {
      case kConvolveBlur:
        return Blur(p, a.Plane(), radius, sigma, kScratch);
      case kConvolveEmboss:
        return Emboss(p, radius, gain, kScratch);
      case kConvolveEdge:
        return Edge(p, radius, kScratch);
      case kConvolveSharpen:
        return Sharpen(p, radius, gain, kScratch);
      default:
        return true;
    }
  });
}

int CharcoalOp(BitmapHandle* image, BitmapHandle*, int w, int h, double radius, double,
               double gain) {
  if (!(radius >= 0)) return kErrRange;
  return OnPicture(image, w, h,
                   [&](const Picture& p) { return Charcoal(p, radius, gain, kScratch); });
}

// The shape planes of a moving effect, locked; colour pictures in the
// library's own format only (others are converted by the caller's planes).
template <class Effect>
int OnShape(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int w, int h,
            Effect effect) {
  if (!gGraphics) return GraphicsAbsent();
  if (w < 1 || h < 1 || (!color && !third)) return kErrRange;
  for (BitmapHandle* b : {color, mask, third}) {
    if (b && (b->width < w || b->height < h)) return kErrRange;
  }
  Locked c(color), m(mask), t(third);
  if ((color && !c.ok()) || (mask && !m.ok()) || (third && !t.ok())) return kErrLockBitmap;
  if (color && c.lock().format != graphics::kFormatArgb32) return kErrRange;
  Shape s{{color ? reinterpret_cast<uint32_t*>(c.lock().pixels) : nullptr,
           color ? c.lock().bytesPerRow / 4 : 0, w, h},
          m.Plane(),
          t.Plane(),
          w,
          h};
  return effect(s) ? 0 : kErrNoMemory;
}

int SwirlOp(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int w, int h,
            int degrees) {
  return OnShape(color, mask, third, w, h,
                 [&](const Shape& s) { return Swirl(s, degrees, kScratch); });
}
int PixelateOp(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int w, int h,
               int size) {
  if (size < 1) return kErrRange;
  return OnShape(color, mask, third, w, h, [&](const Shape& s) { return Pixelate(s, size), true; });
}
int WaterRippleOp(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* third, int w, int h,
                  int wavelength, int amplitude, int phase, double cx, double cy) {
  if (wavelength < 1 || !std::isfinite(cx) || !std::isfinite(cy)) return kErrRange;
  return OnShape(color, mask, third, w, h, [&](const Shape& s) {
    return WaterRipple(s, wavelength, amplitude, phase, cx, cy, kScratch);
  });
}

int InvertPlaneOp(uint8_t* pixels, int height, int bytesPerRow) {
  if (!pixels || height < 0 || bytesPerRow < 0) return kErrRange;
  InvertBytes(pixels, height, bytesPerRow);
  return 0;
}

// The coverage 0..255 of a picture's shape, w x h without row padding.
uint8_t* Coverage(const BitmapHandle* alpha, const BitmapHandle* mask, const BitmapHandle* pens,
                  int transparentPen, int w, int h) {
  auto* out = static_cast<uint8_t*>(Take(static_cast<size_t>(w) * h));
  if (!out) return nullptr;
  const BitmapHandle* source = alpha ? alpha : mask ? mask : pens;
  Locked l(const_cast<BitmapHandle*>(source));
  if (!l.ok()) {
    std::memset(out, 255, static_cast<size_t>(w) * h);
    return out;
  }
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = l.lock().pixels + static_cast<ptrdiff_t>(y) * l.lock().bytesPerRow;
    uint8_t* o = out + static_cast<ptrdiff_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      o[x] = alpha  ? row[x]
             : mask ? (((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0)
                    : (row[x] == transparentPen ? 0 : 255);
    }
  }
  return out;
}

BitmapHandle* ShadowAlphaOp(const BitmapHandle* alpha, const BitmapHandle* mask,
                            const BitmapHandle* pens, int transparentPen, int, int, int w, int h,
                            double radius, double sigma, int opacity, int border) {
  if (!gGraphics || w < 1 || h < 1 || !(radius >= 0) || radius > 4096) return nullptr;
  const int grow = static_cast<int>(radius);
  uint8_t* coverage = Coverage(alpha, mask, pens, transparentPen, w, h);
  if (!coverage) return nullptr;
  BitmapHandle* out = gGraphics->AllocAlpha(w + 2 * grow, h + 2 * grow, 0, nullptr, 0);
  bool done = false;
  if (out) {
    Locked l(out);
    done = l.ok() && ShadowCoverage(coverage, w, h, grow, sigma,
                                    opacity < 0     ? 0
                                    : opacity > 255 ? 255
                                                    : opacity,
                                    border != 0, l.Plane(), kScratch);
  }
  Give(coverage);
  if (!done && out) {
    gGraphics->FreeBitmap(out);
    out = nullptr;
  }
  return out;
}

// Bilinear colour at a continuous source position (pixel centres at .5).
uint32_t Bilinear(const LockRecord& l, double sx, double sy, int w, int h) {
  const double fx = sx - 0.5, fy = sy - 0.5;
  const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  const double ax = fx - x0, ay = fy - y0;
  auto at = [&](int x, int y) {
    x = x < 0 ? 0 : x >= w ? w - 1 : x;
    y = y < 0 ? 0 : y >= h ? h - 1 : y;
    return reinterpret_cast<const uint32_t*>(l.pixels +
                                             static_cast<ptrdiff_t>(y) * l.bytesPerRow)[x];
  };
  const uint32_t c00 = at(x0, y0), c10 = at(x0 + 1, y0), c01 = at(x0, y0 + 1),
                 c11 = at(x0 + 1, y0 + 1);
  uint32_t out = 0;
  for (int k = 0; k < 32; k += 8) {
    const double top = ((c00 >> k) & 255) * (1 - ax) + ((c10 >> k) & 255) * ax;
    const double bottom = ((c01 >> k) & 255) * (1 - ax) + ((c11 >> k) & 255) * ax;
    out |= static_cast<uint32_t>(std::lround(top * (1 - ay) + bottom * ay)) << k;
  }
  return out;
}

int DistortOp(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* alpha, BitmapHandle* pens,
              int w, int h, int method, int count, const double* numbers, int smooth,
              int transparentPen, BitmapHandle** outColor, BitmapHandle** outMask,
              BitmapHandle** outAlpha, BitmapHandle** outPens, int* outWidth, int* outHeight) {
  if (!gGraphics) return GraphicsAbsent();
  if ((!color && !pens) || count < 0 || count > 16 || (count && !numbers)) return kErrRange;
  Distortion d;
  if (!PlanDistortion(method, count, numbers, w, h, &d)) return kErrRange;
  const int ow = d.outWidth, oh = d.outHeight;
  const graphics::GraphicsInterface& g = *gGraphics;
  // Pixels outside the source are hidden: colour pictures keep their alpha
  // channel or mask, or get a mask; pens take the transparent pen.
  BitmapHandle* c = color ? g.AllocBitmap(ow, oh, 0, nullptr) : nullptr;
  BitmapHandle* a = color && alpha ? g.AllocAlpha(ow, oh, 0, nullptr, 0) : nullptr;
  BitmapHandle* m = color && !alpha ? g.AllocMask(nullptr, ow, oh, 0, nullptr, 0) : nullptr;
  BitmapHandle* p = pens ? g.AllocIndexBitmap(ow, oh, 1) : nullptr;
  int rc = 0;
  if ((color && !c) || (color && alpha && !a) || (color && !alpha && !m) || (pens && !p)) {
    rc = kErrNoMemory;
  }
  if (!rc) {
    Locked sc(color), sm(mask), sa(alpha), sp(pens), dc(c), dm(m), da(a), dp(p);
    if ((color && (!sc.ok() || !dc.ok() || sc.lock().format != graphics::kFormatArgb32 ||
                   dc.lock().format != graphics::kFormatArgb32)) ||
        (mask && !sm.ok()) || (alpha && !sa.ok()) || (pens && !sp.ok()) || (m && !dm.ok()) ||
        (a && !da.ok()) || (p && !dp.ok())) {
      rc = kErrLockBitmap;
    } else {
      const uint8_t hiddenPen = static_cast<uint8_t>(transparentPen >= 0 ? transparentPen : 0);
      for (int y = 0; y < oh; ++y) {
        for (int x = 0; x < ow; ++x) {
          double sx, sy;
          const bool inside = SourceOf(d, x, y, &sx, &sy);
          const int ix = inside ? static_cast<int>(sx) : 0, iy = inside ? static_cast<int>(sy) : 0;
          if (c) {
            uint32_t v = 0;
            if (inside) {
              v = smooth ? Bilinear(sc.lock(), sx, sy, w, h)
                         : reinterpret_cast<const uint32_t*>(sc.lock().pixels +
                                                             static_cast<ptrdiff_t>(iy) *
                                                                 sc.lock().bytesPerRow)[ix];
            }
            reinterpret_cast<uint32_t*>(dc.lock().pixels +
                                        static_cast<ptrdiff_t>(y) * dc.lock().bytesPerRow)[x] = v;
          }
          if (a) {
            const uint8_t v =
                inside ? sa.lock().pixels[static_cast<ptrdiff_t>(iy) * sa.lock().bytesPerRow + ix]
                       : 0;
            da.lock().pixels[static_cast<ptrdiff_t>(y) * da.lock().bytesPerRow + x] = v;
          }
          if (m) {
            bool on = inside;
            if (inside && mask) {
              on = (sm.lock()
                        .pixels[static_cast<ptrdiff_t>(iy) * sm.lock().bytesPerRow + (ix >> 3)] >>
                    (7 - (ix & 7))) &
                   1;
            }
            uint8_t& byte =
                dm.lock().pixels[static_cast<ptrdiff_t>(y) * dm.lock().bytesPerRow + (x >> 3)];
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
            byte = on ? byte | bit : byte & ~bit;
          }
          if (p) {
            dp.lock().pixels[static_cast<ptrdiff_t>(y) * dp.lock().bytesPerRow + x] =
                inside ? sp.lock().pixels[static_cast<ptrdiff_t>(iy) * sp.lock().bytesPerRow + ix]
                       : hiddenPen;
          }
        }
      }
    }
  }
  if (rc) {
    g.FreeBitmapSet(&c, &m, &a);
    g.FreeBitmap(p);
    return rc;
  }
  *outColor = c;
  *outMask = m;
  *outAlpha = a;
  *outPens = p;
  *outWidth = ow;
  *outHeight = oh;
  return 0;
}

const FiltersSibling kTable = {
    GrayscaleOp,  InvertOp,      ConvolveOp, SolarizeOp,    GammaOp,   ContrastOp,
    ModulateOp,   nullptr,       SepiaOp,    CharcoalOp,    SwirlOp,   PixelateOp,
    MonochromeOp, WaterRippleOp, OilPaintOp, InvertPlaneOp, DistortOp, ShadowAlphaOp,
};

const void* Interface() {
  return &kTable;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "graphics") == 0) {
    gGraphics = static_cast<const graphics::GraphicsInterface*>(interface);
  }
}

void Reset(lua_State*) {
  gGraphics = nullptr;
}

}  // namespace

const HostSibling kFiltersSibling = {"filters", Interface, nullptr, Reset, Bind};

}  // namespace tzx::host
