// What a decode may do to a picture after the codec: scaling it to the size
// the caller asked for, separating its alpha channel, flattening it.
#include <cmath>
#include <cstring>

#include "picture.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

// Source positions and weights of one axis, in 1/256 steps, sampling pixel
// centres.
struct Taps {
  int32_t* first;
  uint16_t* weight;  // of the second tap, 0..256
};

void MakeTaps(int32_t from, int32_t to, const Taps& t) {
  const double step = static_cast<double>(from) / to;
  for (int32_t i = 0; i < to; ++i) {
    double pos = (i + 0.5) * step - 0.5;
    if (pos < 0) pos = 0;
    int32_t first = static_cast<int32_t>(pos);
    if (first >= from - 1) {
      t.first[i] = from - 1;
      t.weight[i] = 0;
      continue;
    }
    t.first[i] = first;
    t.weight[i] = static_cast<uint16_t>(std::lround((pos - first) * 256));
  }
}

// The source index nearest to each target pixel's centre.
void MakeNearest(int32_t from, int32_t to, int32_t* index) {
  for (int32_t i = 0; i < to; ++i) {
    index[i] = static_cast<int32_t>((2 * int64_t{i} + 1) * from / (2 * int64_t{to}));
  }
}

// Strides are in entries.
template <class T>
void PickRows(const T* src, size_t srcStride, const int32_t* xs, const int32_t* ys, int32_t width,
              int32_t height, T* dst, size_t dstStride) {
  for (int32_t y = 0; y < height; ++y) {
    const T* row = src + static_cast<size_t>(ys[y]) * srcStride;
    T* out = dst + static_cast<size_t>(y) * dstStride;
    for (int32_t x = 0; x < width; ++x) out[x] = row[xs[x]];
  }
}

// Blends four pixels; colours are weighted by their alpha so that transparent
// neighbours do not bleed their colour into the result.
uint32_t Blend4(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t wx, uint32_t wy) {
  const uint32_t w[4] = {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy};
  const uint32_t p[4] = {p00, p01, p10, p11};
  uint64_t a = 0;
  for (int i = 0; i < 4; ++i) a += uint64_t{p[i] >> 24} * w[i];
  // Fully transparent or fully opaque neighbours weigh by position alone.
  const bool byAlpha = a != 0 && (p00 & p01 & p10 & p11) >> 24 != 255;
  uint32_t result = static_cast<uint32_t>((a + 32768) >> 16) << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    uint64_t sum = 0, weight = 0;
    for (int i = 0; i < 4; ++i) {
      const uint64_t wi = byAlpha ? uint64_t{w[i]} * (p[i] >> 24) : w[i];
      sum += (p[i] >> shift & 0xFF) * wi;
      weight += wi;
    }
    result |= static_cast<uint32_t>((sum + weight / 2) / weight) << shift;
  }
  return result;
}

void Interpolate(const uint32_t* src, size_t srcStride, const Taps& xt, const Taps& yt,
                 int32_t width, int32_t height, uint32_t* dst, size_t dstStride) {
  for (int32_t y = 0; y < height; ++y) {
    const int32_t y0 = yt.first[y];
    const uint32_t wy = yt.weight[y];
    const uint32_t* r0 = src + static_cast<size_t>(y0) * srcStride;
    const uint32_t* r1 = wy ? r0 + srcStride : r0;
    uint32_t* out = dst + static_cast<size_t>(y) * dstStride;
    for (int32_t x = 0; x < width; ++x) {
      const int32_t x0 = xt.first[x];
      const uint32_t wx = xt.weight[x];
      const int32_t x1 = wx ? x0 + 1 : x0;
      out[x] = Blend4(r0[x0], r0[x1], r1[x0], r1[x1], wx, wy);
    }
  }
}

int32_t RoundHalfUp(double v) {
  const double whole = std::floor(v);
  return static_cast<int32_t>(v - whole >= 0.5 ? whole + 1 : whole);
}

}  // namespace

bool ResolveScaleSize(int32_t width, int32_t height, int32_t askedWidth, int32_t askedHeight,
                      int32_t* outWidth, int32_t* outHeight) {
  constexpr int32_t kKeep = graphics::kKeepasprat;
  if (askedWidth == kKeep && askedHeight == kKeep) return false;
  if (askedWidth < 0 || askedHeight < 0) return false;
  int32_t w = askedWidth > 0 ? askedWidth : width;
  int32_t h = askedHeight > 0 ? askedHeight : height;
  if (askedWidth == kKeep) {
    w = RoundHalfUp(static_cast<double>(width) / height * h);
  } else if (askedHeight == kKeep) {
    h = RoundHalfUp(w / (static_cast<double>(width) / height));
  }
  *outWidth = w < 1 ? 1 : w;
  *outHeight = h < 1 ? 1 : h;
  return true;
}

Status ScalePicture(Picture* p, int32_t width, int32_t height, bool smooth) {
  const int32_t srcWidth = p->info.width, srcHeight = p->info.height;
  if (width == srcWidth && height == srcHeight) return Status::kOk;
  const bool pens = p->indices != nullptr;
  smooth = smooth && !pens;
  const size_t srcStride = pens ? srcWidth : graphics::ColorRowPixels(srcWidth);
  const size_t stride = pens ? width : graphics::ColorRowPixels(width);
  void* pixels = pens ? AllocPlane(static_cast<size_t>(width) * height, 1, false)
                      : static_cast<void*>(AllocArgb(width, height));
  auto* firstX = static_cast<int32_t*>(AllocPlane(width, 4, false));
  auto* firstY = static_cast<int32_t*>(AllocPlane(height, 4, false));
  auto* weightX = static_cast<uint16_t*>(AllocPlane(width, 2, false));
  auto* weightY = static_cast<uint16_t*>(AllocPlane(height, 2, false));
  Status status = Status::kNoMemory;
  if (pixels && firstX && firstY && weightX && weightY) {
    if (smooth) {
      const Taps xt{firstX, weightX}, yt{firstY, weightY};
      MakeTaps(srcWidth, width, xt);
      MakeTaps(srcHeight, height, yt);
      Interpolate(p->argb, srcStride, xt, yt, width, height, static_cast<uint32_t*>(pixels),
                  stride);
    } else {
      MakeNearest(srcWidth, width, firstX);
      MakeNearest(srcHeight, height, firstY);
      if (pens) {
        PickRows(p->indices, srcStride, firstX, firstY, width, height,
                 static_cast<uint8_t*>(pixels), stride);
      } else {
        PickRows(p->argb, srcStride, firstX, firstY, width, height, static_cast<uint32_t*>(pixels),
                 stride);
      }
    }
    if (pens) {
      FreePlane(p->indices);
      p->indices = static_cast<uint8_t*>(pixels);
    } else {
      FreePlane(p->argb);
      p->argb = static_cast<uint32_t*>(pixels);
    }
    pixels = nullptr;
    p->info.width = width;
    p->info.height = height;
    status = Status::kOk;
  }
  FreePlane(pixels);
  FreePlane(firstX);
  FreePlane(firstY);
  FreePlane(weightX);
  FreePlane(weightY);
  return status;
}

uint8_t* AlphaPlane(const Picture& p) {
  const size_t width = p.info.width;
  const size_t count = width * p.info.height;
  auto* alpha = static_cast<uint8_t*>(AllocPlane(count, 1, false));
  if (!alpha) return nullptr;
  if (p.argb) {
    for (int32_t y = 0; y < p.info.height; ++y) {
      const uint32_t* row = ArgbRow(p, y);
      uint8_t* out = alpha + y * width;
      for (size_t x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(row[x] >> 24);
    }
  } else {
    for (size_t i = 0; i < count; ++i) alpha[i] = p.paletteAlpha[p.indices[i]];
  }
  return alpha;
}

void FlattenPicture(Picture* p, uint32_t background) {
  if (!p->info.alpha) return;
  if (p->argb) {
    for (int32_t y = 0; y < p->info.height; ++y)
      FlattenRow(ArgbRow(*p, y), p->info.width, background);
    p->info.depth = 24;
  } else {
    for (int i = 0; i < 256; ++i) {
      uint32_t entry = uint32_t{p->paletteAlpha[i]} << 24 | p->palette[i];
      FlattenRow(&entry, 1, background);
      p->palette[i] = entry & 0xFFFFFF;
      p->paletteAlpha[i] = 255;
    }
  }
  p->info.alpha = false;
}

}  // namespace tzx::host::imageio
