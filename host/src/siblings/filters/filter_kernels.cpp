#include "filter_kernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tzx::host::filters {
namespace {

inline int Clamp(int v) {
  return v < 0 ? 0 : v > 255 ? 255 : v;
}
// std::lround without the library call that per-pixel loops cannot afford
// (v - trunc(v) is exact); values beyond int's range, and NaN, saturate.
inline int RoundHalfAway(double v) {
  if (!(v > -2147483648.0 && v < 2147483647.0)) return v > 0 ? INT_MAX : INT_MIN;
  const int t = static_cast<int>(v);
  const double f = v - t;
  return t + (f >= 0.5) - (f <= -0.5);
}
inline int ClampIndex(int v, int n) {
  return v < 0 ? 0 : v >= n ? n - 1 : v;
}
inline int R(uint32_t c) {
  return (c >> 16) & 255;
}
inline int G(uint32_t c) {
  return (c >> 8) & 255;
}
inline int B(uint32_t c) {
  return c & 255;
}
inline uint32_t WithRgb(uint32_t c, int r, int g, int b) {
  return (c & 0xFF000000u) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
inline int Grey(uint32_t c) {
  return (77 * R(c) + 150 * G(c) + 29 * B(c) + 128) >> 8;
}

// Applies one table to R, G and B (three tables for per-channel effects).
void ApplyTables(const Picture& p, const uint8_t* tr, const uint8_t* tg, const uint8_t* tb) {
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = row[x];
      row[x] = WithRgb(c, tr[R(c)], tg[G(c)], tb[B(c)]);
    }
  }
}

// A block of scratch memory returned when the scope ends.
class Block {
 public:
  Block(const Memory& m, size_t bytes) : m_(m), p_(m.take(bytes)) {}
  ~Block() {
    if (p_) m_.give(p_);
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  template <class T>
  T* As() const {
    return static_cast<T*>(p_);
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  const Memory& m_;
  void* p_;
};

// Normalised Gaussian weights w[0..radius] in 16-bit fixed point, summing
// (both sides) to 65536 within rounding; the centre takes the remainder.
void GaussianWeights(double sigma, int radius, int32_t* w) {
  double total = 0;
  double raw[1024];
  for (int i = 0; i <= radius; ++i) {
    raw[i] = std::exp(-double(i) * i / (2 * sigma * sigma));
    total += i ? 2 * raw[i] : raw[i];
  }
  int32_t sum = 0;
  for (int i = 1; i <= radius; ++i) {
    w[i] = static_cast<int32_t>(std::lround(raw[i] / total * 65536));
    sum += 2 * w[i];
  }
  w[0] = 65536 - sum;
}

// Separable blur of 4 byte-channels per pixel (packed words) or 1 per pixel,
// as rows of `channels` bytes: horizontal into `temp`, then vertical back.
// Both passes run over whole rows of bytes, one tap at a time, so that the
// compiler keeps every lane of the vector unit busy; the horizontal pass reads
// a copy of the row with its edge pixels repeated `radius` times on each side.
void BlurBytes(uint8_t* pixels, int strideBytes, int width, int height, int channels,
               const int32_t* w, int radius, uint8_t* temp) {
  const int rowBytes = width * channels;
  const int margin = radius * channels;
  const size_t accAt = (static_cast<size_t>(height) * rowBytes + 3) & ~size_t{3};
  int32_t* acc = reinterpret_cast<int32_t*>(temp + accAt);
  uint8_t* padded = reinterpret_cast<uint8_t*>(acc + rowBytes);
  // Horizontal.
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = pixels + static_cast<ptrdiff_t>(y) * strideBytes;
    for (int i = 0; i < margin; ++i) {
      padded[i] = in[i % channels];
      padded[margin + rowBytes + i] = in[rowBytes - channels + i % channels];
    }
    std::memcpy(padded + margin, in, rowBytes);
    const uint8_t* centre = padded + margin;
    for (int i = 0; i < rowBytes; ++i) acc[i] = w[0] * centre[i];
    for (int k = 1; k <= radius; ++k) {
      const uint8_t* left = centre - k * channels;
      const uint8_t* right = centre + k * channels;
      const int32_t wk = w[k];
      for (int i = 0; i < rowBytes; ++i) acc[i] += wk * (left[i] + right[i]);
    }
    uint8_t* out = temp + static_cast<ptrdiff_t>(y) * rowBytes;
    for (int i = 0; i < rowBytes; ++i) out[i] = static_cast<uint8_t>(Clamp((acc[i] + 32768) >> 16));
  }
  // Vertical.
  for (int y = 0; y < height; ++y) {
    const uint8_t* centre = temp + static_cast<ptrdiff_t>(y) * rowBytes;
    for (int i = 0; i < rowBytes; ++i) acc[i] = w[0] * centre[i];
    for (int k = 1; k <= radius; ++k) {
      const uint8_t* up = temp + static_cast<ptrdiff_t>(ClampIndex(y - k, height)) * rowBytes;
      const uint8_t* down = temp + static_cast<ptrdiff_t>(ClampIndex(y + k, height)) * rowBytes;
      const int32_t wk = w[k];
      for (int i = 0; i < rowBytes; ++i) acc[i] += wk * (up[i] + down[i]);
    }
    uint8_t* out = pixels + static_cast<ptrdiff_t>(y) * strideBytes;
    for (int i = 0; i < rowBytes; ++i) out[i] = static_cast<uint8_t>(Clamp((acc[i] + 32768) >> 16));
  }
}

// The horizontal pass's rows, one row of 32-bit sums (4-byte aligned) and
// one row with its margins.
size_t BlurScratch(int width, int height, int channels, int radius) {
  const size_t rowBytes = static_cast<size_t>(width) * channels;
  return ((rowBytes * height + 3) & ~size_t{3}) + rowBytes * sizeof(int32_t) + rowBytes +
         2 * static_cast<size_t>(radius) * channels;
}

// Blurs packed pictures or planes with the given sigma and half-width.
bool GaussianBlur(uint8_t* pixels, int strideBytes, int width, int height, int channels,
                  double sigma, int radius, const Memory& m) {
  if (sigma <= 0 || radius < 1 || width < 1 || height < 1) return true;
  radius = std::min(radius, 1023);
  int32_t w[1024];
  GaussianWeights(sigma, radius, w);
  Block temp(m, BlurScratch(width, height, channels, radius));
  if (!temp) return false;
  BlurBytes(pixels, strideBytes, width, height, channels, w, radius, temp.As<uint8_t>());
  return true;
}

bool BlurPicture(const Picture& p, double sigma, int radius, const Memory& m) {
  return GaussianBlur(reinterpret_cast<uint8_t*>(p.pixels), p.stride * 4, p.width, p.height, 4,
                      sigma, radius, m);
}

// A copy of the picture's words without row padding.
bool CopyOf(const Picture& p, Block& into) {
  if (!into) return false;
  uint32_t* copy = into.As<uint32_t>();
  for (int y = 0; y < p.height; ++y) {
    std::memcpy(copy + static_cast<ptrdiff_t>(y) * p.width, p.Row(y), p.width * 4);
  }
  return true;
}

// Sobel magnitude |gx| + |gy| of one channel at (x, y) of a packed copy.
template <class Channel>
int Sobel(const uint32_t* src, int width, int height, int x, int y, Channel ch) {
  const int xl = ClampIndex(x - 1, width), xr = ClampIndex(x + 1, width);
  const uint32_t* up = src + static_cast<ptrdiff_t>(ClampIndex(y - 1, height)) * width;
  const uint32_t* mid = src + static_cast<ptrdiff_t>(y) * width;
  const uint32_t* down = src + static_cast<ptrdiff_t>(ClampIndex(y + 1, height)) * width;
  const int gx =
      (ch(up[xr]) + 2 * ch(mid[xr]) + ch(down[xr])) - (ch(up[xl]) + 2 * ch(mid[xl]) + ch(down[xl]));
  const int gy =
      (ch(down[xl]) + 2 * ch(down[x]) + ch(down[xr])) - (ch(up[xl]) + 2 * ch(up[x]) + ch(up[xr]));
  return std::abs(gx) + std::abs(gy);
}

}  // namespace

void Grayscale(const Picture& p) {
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const int v = Grey(row[x]);
      row[x] = WithRgb(row[x], v, v, v);
    }
  }
}

void Invert(const Picture& p) {
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) row[x] ^= 0x00FFFFFFu;
  }
}

void Solarize(const Picture& p, int threshold) {
  uint8_t t[256];
  for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c > threshold ? 255 - c : c);
  ApplyTables(p, t, t, t);
}

void Gamma(const Picture& p, double red, double green, double blue) {
  uint8_t t[3][256];
  const double g[3] = {red, green, blue};
  for (int k = 0; k < 3; ++k) {
    for (int c = 0; c < 256; ++c) {
      t[k][c] = static_cast<uint8_t>(Clamp(RoundHalfAway(255 * std::pow(c / 255.0, 1 / g[k]))));
    }
  }
  ApplyTables(p, t[0], t[1], t[2]);
}

void Contrast(const Picture& p, int amount, int steps) {
  const double a = std::clamp(amount, -255, 255);
  const double f = 259 * (a + 255) / (255 * (259 - a));
  uint8_t t[256];
  for (int c = 0; c < 256; ++c) {
    int v = c;
    for (int s = 0; s < steps && s < 256; ++s) v = Clamp(RoundHalfAway(f * (v - 128) + 128));
    t[c] = static_cast<uint8_t>(v);
  }
  ApplyTables(p, t, t, t);
}

namespace {

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

}  // namespace

void Modulate(const Picture& p, double brightness, double saturation, double hue) {
  const double turn = (hue - 100) * 1.8 / 360;
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = row[x];
      const double r = R(c) / 255.0, g = G(c) / 255.0, b = B(c) / 255.0;
      const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
      double h = 0, s = 0, l = (hi + lo) / 2;
      if (hi > lo) {
        const double d = hi - lo;
        s = l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
        h = hi == r ? (g - b) / d + (g < b ? 6 : 0) : hi == g ? (b - r) / d + 2 : (r - g) / d + 4;
        h /= 6;
      }
      l = std::clamp(l * brightness / 100, 0.0, 1.0);
      s = std::clamp(s * saturation / 100, 0.0, 1.0);
      h -= std::floor(h + turn) - turn;  // h + turn wrapped into 0..1
      double rr = l, gg = l, bb = l;
      if (s > 0) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double pp = 2 * l - q;
        rr = HueToChannel(pp, q, h + 1.0 / 3);
        gg = HueToChannel(pp, q, h);
        bb = HueToChannel(pp, q, h - 1.0 / 3);
      }
      row[x] = WithRgb(c, Clamp(RoundHalfAway(rr * 255)), Clamp(RoundHalfAway(gg * 255)),
                       Clamp(RoundHalfAway(bb * 255)));
    }
  }
}

void Sepia(const Picture& p, int level) {
  level = std::clamp(level, 0, 255);
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = row[x];
      const int r = R(c), g = G(c), b = B(c);
      // The matrix in 1/1000 steps.
      const int sr = std::min(255, (393 * r + 769 * g + 189 * b + 500) / 1000);
      const int sg = std::min(255, (349 * r + 686 * g + 168 * b + 500) / 1000);
      const int sb = std::min(255, (272 * r + 534 * g + 131 * b + 500) / 1000);
      row[x] = WithRgb(c, r + ((sr - r) * level + (sr >= r ? 127 : -127)) / 255,
                       g + ((sg - g) * level + (sg >= g ? 127 : -127)) / 255,
                       b + ((sb - b) * level + (sb >= b ? 127 : -127)) / 255);
    }
  }
}

void Monochrome(const Picture& p, int level) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const int v = Grey(row[x]);
      const bool white = level <= 0 ? v >= 128 : v > 16 * kBayer[y & 3][x & 3] + 8;
      row[x] = (row[x] & 0xFF000000u) | (white ? 0xFFFFFFu : 0);
    }
  }
}

bool Blur(const Picture& p, BytePlane alpha, double radius, double sigma, const Memory& m) {
  const double s = sigma > 0 ? sigma : radius / 3;
  const int half = radius >= 1 ? int(std::lround(radius)) : int(std::ceil(3 * s));
  if (!BlurPicture(p, s, half, m)) return false;
  if (alpha.pixels && !GaussianBlur(alpha.pixels, alpha.stride, p.width, p.height, 1, s, half, m)) {
    return false;
  }
  return true;
}

bool Sharpen(const Picture& p, double radius, double gain, const Memory& m) {
  const double sigma = radius > 0 ? radius / 2 : 1.0;
  Block copy(m, static_cast<size_t>(p.width) * p.height * 4);
  if (!CopyOf(p, copy)) return false;
  const Picture blurred{copy.As<uint32_t>(), p.width, p.width, p.height};
  if (!BlurPicture(blurred, sigma, int(std::ceil(3 * sigma)), m)) return false;
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    const uint32_t* soft = blurred.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = row[x], s = soft[x];
      row[x] = WithRgb(c, Clamp(RoundHalfAway(R(c) + gain * (R(c) - R(s)))),
                       Clamp(RoundHalfAway(G(c) + gain * (G(c) - G(s)))),
                       Clamp(RoundHalfAway(B(c) + gain * (B(c) - B(s)))));
    }
  }
  return true;
}

bool Emboss(const Picture& p, double strength, double gain, const Memory& m) {
  const double k = (strength > 0 ? strength : 1.0) * gain;
  Block copy(m, static_cast<size_t>(p.width) * p.height * 4);
  if (!CopyOf(p, copy)) return false;
  const uint32_t* src = copy.As<uint32_t>();
  for (int y = 0; y < p.height; ++y) {
    const uint32_t* up = src + static_cast<ptrdiff_t>(ClampIndex(y - 1, p.height)) * p.width;
    const uint32_t* down = src + static_cast<ptrdiff_t>(ClampIndex(y + 1, p.height)) * p.width;
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      const int d = Grey(down[ClampIndex(x + 1, p.width)]) - Grey(up[ClampIndex(x - 1, p.width)]);
      const int v = Clamp(RoundHalfAway(128 + k * d));
      row[x] = WithRgb(row[x], v, v, v);
    }
  }
  return true;
}

bool Edge(const Picture& p, double radius, const Memory& m) {
  const double k = (radius > 0 ? radius : 1.0) / 4;
  Block copy(m, static_cast<size_t>(p.width) * p.height * 4);
  if (!CopyOf(p, copy)) return false;
  const uint32_t* src = copy.As<uint32_t>();
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      row[x] = WithRgb(row[x], Clamp(RoundHalfAway(k * Sobel(src, p.width, p.height, x, y, R))),
                       Clamp(RoundHalfAway(k * Sobel(src, p.width, p.height, x, y, G))),
                       Clamp(RoundHalfAway(k * Sobel(src, p.width, p.height, x, y, B))));
    }
  }
  return true;
}

bool Charcoal(const Picture& p, double radius, double gain, const Memory& m) {
  const size_t pixels = static_cast<size_t>(p.width) * p.height;
  Block copy(m, pixels * 4 + pixels);
  if (!CopyOf(p, copy)) return false;
  const uint32_t* src = copy.As<uint32_t>();
  uint8_t* edges = copy.As<uint8_t>() + pixels * 4;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      edges[static_cast<ptrdiff_t>(y) * p.width + x] = static_cast<uint8_t>(
          Clamp(RoundHalfAway(gain / 4 * Sobel(src, p.width, p.height, x, y, Grey))));
    }
  }
  const double sigma = radius / 3;
  if (!GaussianBlur(edges, p.width, p.width, p.height, 1, sigma, int(std::ceil(3 * sigma)), m)) {
    return false;
  }
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = p.Row(y);
    const uint8_t* e = edges + static_cast<ptrdiff_t>(y) * p.width;
    for (int x = 0; x < p.width; ++x) row[x] = WithRgb(row[x], 255 - e[x], 255 - e[x], 255 - e[x]);
  }
  return true;
}

bool OilPaint(const Picture& p, double radius, const Memory& m) {
  const int r = std::max(1, int(std::lround(radius)));
  Block copy(m, static_cast<size_t>(p.width) * p.height * 4);
  if (!CopyOf(p, copy)) return false;
  const uint32_t* src = copy.As<uint32_t>();
  for (int y = 0; y < p.height; ++y) {
    // Class counts and colour sums of the window, slid along the row.
    int count[32] = {};
    int sum[32][3] = {};
    auto add = [&](int x, int sign) {
      const int cx = ClampIndex(x, p.width);
      for (int dy = -r; dy <= r; ++dy) {
        const uint32_t c = src[static_cast<ptrdiff_t>(ClampIndex(y + dy, p.height)) * p.width + cx];
        const int k = Grey(c) >> 3;
        count[k] += sign;
        sum[k][0] += sign * R(c);
        sum[k][1] += sign * G(c);
        sum[k][2] += sign * B(c);
      }
    };
    for (int x = -r; x <= r; ++x) add(x, 1);
    uint32_t* row = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      int best = 0;
      for (int k = 1; k < 32; ++k) {
        if (count[k] > count[best]) best = k;
      }
      const int n = count[best];
      row[x] = WithRgb(row[x], (sum[best][0] + n / 2) / n, (sum[best][1] + n / 2) / n,
                       (sum[best][2] + n / 2) / n);
      add(x - r, -1);
      add(x + r + 1, 1);
    }
  }
  return true;
}

void Pixelate(const Shape& s, int size) {
  if (size < 1) return;
  for (int by = 0; by < s.height; by += size) {
    const int bh = std::min(size, s.height - by);
    for (int bx = 0; bx < s.width; bx += size) {
      const int bw = std::min(size, s.width - bx);
      const int n = bw * bh;
      if (s.color.pixels) {
        int64_t sums[4] = {};
        for (int y = by; y < by + bh; ++y) {
          const uint32_t* row = s.color.Row(y);
          for (int x = bx; x < bx + bw; ++x) {
            for (int k = 0; k < 4; ++k) sums[k] += (row[x] >> (8 * k)) & 255;
          }
        }
        uint32_t mean = 0;
        for (int k = 0; k < 4; ++k) mean |= uint32_t((sums[k] + n / 2) / n) << (8 * k);
        for (int y = by; y < by + bh; ++y) std::fill_n(s.color.Row(y) + bx, bw, mean);
      }
      if (s.third.pixels) {
        // Pens take the top-left pen; an alpha channel (with a colour
        // picture) its mean.
        int value = s.third.Row(by)[bx];
        if (s.color.pixels) {
          int64_t total = 0;
          for (int y = by; y < by + bh; ++y) {
            for (int x = bx; x < bx + bw; ++x) total += s.third.Row(y)[x];
          }
          value = int((total + n / 2) / n);
        }
        for (int y = by; y < by + bh; ++y) std::memset(s.third.Row(y) + bx, value, bw);
      }
      if (s.mask.pixels) {
        const bool on = (s.mask.Row(by)[bx >> 3] >> (7 - (bx & 7))) & 1;
        for (int y = by; y < by + bh; ++y) {
          uint8_t* row = s.mask.Row(y);
          for (int x = bx; x < bx + bw; ++x) {
            const uint8_t bit = uint8_t(0x80 >> (x & 7));
            row[x >> 3] = on ? row[x >> 3] | bit : row[x >> 3] & ~bit;
          }
        }
      }
    }
  }
}

namespace {

// Moves pixels of every plane of a shape from a copy of the planes taken
// first, so that destinations can be written in any order.
class Mover {
 public:
  Mover(const Shape& s, const Memory& m)
      : s_(s),
        w_(s.width),
        h_(s.height),
        maskStride_(s.mask.pixels ? s.mask.stride : 0),
        copy_(m, (s.color.pixels ? Pixels() * 4 : 0) + (s.third.pixels ? Pixels() : 0) +
                     static_cast<size_t>(maskStride_) * s.height + 16) {
    if (!copy_) return;
    color_ = s.color.pixels ? copy_.As<uint32_t>() : nullptr;
    third_ = copy_.As<uint8_t>() + (color_ ? Pixels() * 4 : 0);
    mask_ = third_ + (s.third.pixels ? Pixels() : 0);
    for (int y = 0; y < h_; ++y) {
      if (color_) std::memcpy(color_ + static_cast<ptrdiff_t>(y) * w_, s.color.Row(y), w_ * 4);
      if (s.third.pixels) std::memcpy(third_ + static_cast<ptrdiff_t>(y) * w_, s.third.Row(y), w_);
      if (s.mask.pixels)
        std::memcpy(mask_ + static_cast<ptrdiff_t>(y) * maskStride_, s.mask.Row(y), maskStride_);
    }
  }
  explicit operator bool() const { return static_cast<bool>(copy_); }

  // Destination (x, y) takes the source pixel (sx, sy), clamped into the
  // picture.
  void Move(int x, int y, int sx, int sy) const {
    sx = ClampIndex(sx, w_);
    sy = ClampIndex(sy, h_);
    const ptrdiff_t at = static_cast<ptrdiff_t>(sy) * w_ + sx;
    if (color_) s_.color.Row(y)[x] = color_[at];
    if (s_.third.pixels) s_.third.Row(y)[x] = third_[at];
    if (s_.mask.pixels) {
      const bool on =
          (mask_[static_cast<ptrdiff_t>(sy) * maskStride_ + (sx >> 3)] >> (7 - (sx & 7))) & 1;
      uint8_t* row = s_.mask.Row(y);
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = on ? row[x >> 3] | bit : row[x >> 3] & ~bit;
    }
  }

 private:
  size_t Pixels() const { return static_cast<size_t>(s_.width) * s_.height; }

  const Shape& s_;
  const int w_, h_, maskStride_;
  Block copy_;
  uint32_t* color_ = nullptr;
  uint8_t* third_ = nullptr;
  uint8_t* mask_ = nullptr;
};

// Moves every plane of the shape by a source-position map: for each
// destination pixel, where it reads from (clamped into the picture).
template <class Map>
bool Remap(const Shape& s, const Memory& m, Map map) {
  const Mover mover(s, m);
  if (!mover) return false;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      int sx, sy;
      map(x, y, &sx, &sy);
      mover.Move(x, y, sx, sy);
    }
  }
  return true;
}

}  // namespace

bool Swirl(const Shape& s, int degrees, const Memory& m) {
  const int w = s.width, h = s.height;
  const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
  const double radius = std::max(w, h) / 2.0;
  const double turn = degrees * M_PI / 180;
  const Mover mover(s, m);
  if (!mover) return false;
  // The four pixels (x, y), (w - 1 - x, y), (x, h - 1 - y) and
  // (w - 1 - x, h - 1 - y) lie at offsets from the centre that differ only in
  // sign, exactly, so they share the distance and the angle: one square root
  // and one sine and cosine serve all four. A middle row or column has two.
  auto turn1 = [&](int x, int y, double ca, double sa) {
    const double dx = x - cx, dy = y - cy;
    mover.Move(x, y, RoundHalfAway(cx + dx * ca - dy * sa), RoundHalfAway(cy + dx * sa + dy * ca));
  };
  for (int y = 0; y < h - y; ++y) {
    const int my = h - 1 - y;
    const double dy = y - cy;
    for (int x = 0; x < w - x; ++x) {
      const int mx = w - 1 - x;
      const double dx = x - cx;
      const double d = std::sqrt(dx * dx + dy * dy);
      double ca = 1, sa = 0;
      const bool inside = d < radius && radius > 0;
      if (inside) {
        const double f = 1 - d / radius;
        const double a = turn * f * f;
        ca = std::cos(a);
        sa = std::sin(a);
      }
      for (int py : {y, my}) {
        for (int px : {x, mx}) {
          if (inside) {
            turn1(px, py, ca, sa);
          } else {
            mover.Move(px, py, px, py);
          }
          if (mx == x) break;
        }
        if (my == y) break;
      }
    }
  }
  return true;
}

bool WaterRipple(const Shape& s, int wavelength, int amplitude, int phase, double cxf, double cyf,
                 const Memory& m) {
  if (wavelength < 1) return true;
  const double cx = cxf * s.width, cy = cyf * s.height;
  const double ph = phase * M_PI / 180;
  return Remap(s, m, [&](int x, int y, int* sx, int* sy) {
    const double dx = x - cx, dy = y - cy;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) {
      *sx = x;
      *sy = y;
      return;
    }
    const double shift = amplitude * std::sin(2 * M_PI * d / wavelength + ph);
    *sx = RoundHalfAway(x + dx / d * shift);
    *sy = RoundHalfAway(y + dy / d * shift);
  });
}

void InvertBytes(uint8_t* pixels, int height, int bytesPerRow) {
  const size_t n = static_cast<size_t>(height) * bytesPerRow;
  for (size_t i = 0; i < n; ++i) pixels[i] = static_cast<uint8_t>(~pixels[i]);
}

namespace {

// Largest value of every window of `k` bytes of `in` (length n, k <= n):
// out[x] = max(in[x .. x + k - 1]) for x in 0 .. n - k, through the maxima
// from each block start and to each block end (blocks of k bytes), so that
// the cost does not grow with the window.
void WindowMax(const uint8_t* in, int n, int k, uint8_t* fromStart, uint8_t* toEnd, uint8_t* out) {
  for (int start = 0; start < n; start += k) {
    const int end = std::min(n, start + k);
    fromStart[start] = in[start];
    for (int i = start + 1; i < end; ++i) fromStart[i] = std::max(fromStart[i - 1], in[i]);
    toEnd[end - 1] = in[end - 1];
    for (int i = end - 2; i >= start; --i) toEnd[i] = std::max(toEnd[i + 1], in[i]);
  }
  for (int x = 0; x + k <= n; ++x) out[x] = std::max(toEnd[x], fromStart[x + k - 1]);
}

// Dilation by a disc of radius `grow` into the cleared plane `out`, grown
// by `grow` on every side: a source row lies at vertical distance d from two
// output rows, and reaches each through the disc's half-width at d.
bool DilateByDisc(const uint8_t* coverage, int width, int height, int grow, BytePlane out,
                  const Memory& m) {
  const int ow = width + 2 * grow;
  const int longest = ow + 2 * grow;
  Block scratch(m, 4 * static_cast<size_t>(longest));
  if (!scratch) return false;
  uint8_t* padded = scratch.As<uint8_t>();
  uint8_t* fromStart = padded + longest;
  uint8_t* toEnd = fromStart + longest;
  uint8_t* maxima = toEnd + longest;
  for (int sy = 0; sy < height; ++sy) {
    const uint8_t* src = coverage + static_cast<ptrdiff_t>(sy) * width;
    for (int d = 0; d <= grow; ++d) {
      const int half = int(std::floor(std::sqrt(double(grow) * grow - double(d) * d)));
      // Output x sees source columns x - grow - half .. x - grow + half.
      const int n = ow + 2 * half;
      std::memset(padded, 0, n);
      std::memcpy(padded + grow + half, src, width);
      WindowMax(padded, n, 2 * half + 1, fromStart, toEnd, maxima);
      for (int y : {sy + grow - d, sy + grow + d}) {
        uint8_t* row = out.Row(y);
        for (int x = 0; x < ow; ++x) row[x] = std::max(row[x], maxima[x]);
        if (d == 0) break;
      }
    }
  }
  return true;
}

}  // namespace

bool ShadowCoverage(const uint8_t* coverage, int width, int height, int grow, double sigma,
                    int opacity, bool border, BytePlane out, const Memory& m) {
  const int ow = width + 2 * grow, oh = height + 2 * grow;
  for (int y = 0; y < oh; ++y) std::memset(out.Row(y), 0, ow);
  if (!border || grow == 0) {
    for (int y = 0; y < height; ++y) {
      std::memcpy(out.Row(y + grow) + grow, coverage + static_cast<ptrdiff_t>(y) * width, width);
    }
  } else if (!DilateByDisc(coverage, width, height, grow, out, m)) {
    return false;
  }
  const double s = sigma > 0 ? sigma : (border ? 0 : grow / 3.0);
  if (s > 0 && !GaussianBlur(out.pixels, out.stride, ow, oh, 1, s, int(std::ceil(3 * s)), m)) {
    return false;
  }
  if (opacity < 255) {
    for (int y = 0; y < oh; ++y) {
      uint8_t* row = out.Row(y);
      for (int x = 0; x < ow; ++x) row[x] = static_cast<uint8_t>((row[x] * opacity + 127) / 255);
    }
  }
  return true;
}

}  // namespace tzx::host::filters
