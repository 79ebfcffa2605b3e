// What a decode may do to a picture after the codec: scaling it to the size
// the caller asked for (with the graphics library's scaler, so that a load
// scales as ScaleBrush does), separating its alpha channel, flattening it.
#include <cmath>
#include <cstring>

#include "picture.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

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

int ScalePicture(const graphics::GraphicsInterface& g, Picture* p, int32_t width, int32_t height,
                 bool smooth) {
  const int32_t srcWidth = p->info.width, srcHeight = p->info.height;
  if (width == srcWidth && height == srcHeight) return 0;
  if (p->indices) {
    auto* pens = static_cast<uint8_t*>(AllocPlane(static_cast<size_t>(width) * height, 1, false));
    if (!pens) return kErrNoMemory;
    // Pens name colours: picked, never blended, as in a palette brush.
    if (int rc = g.ScalePixels(p->indices, srcWidth, pens, width, graphics::kFormatByte, srcWidth,
                               srcHeight, width, height, 0)) {
      FreePlane(pens);
      return rc;
    }
    FreePlane(p->indices);
    p->indices = pens;
  } else {
    uint32_t* argb = AllocArgb(width, height);
    if (!argb) return kErrNoMemory;
    // The alpha values ride in the top bytes; the scaler treats every byte of
    // a pixel alike, so they come out as a scaled alpha plane would.
    if (int rc = g.ScalePixels(
            reinterpret_cast<const uint8_t*>(p->argb), graphics::ColorRowPixels(srcWidth) * 4,
            reinterpret_cast<uint8_t*>(argb), graphics::ColorRowPixels(width) * 4,
            graphics::kFormatArgb32, srcWidth, srcHeight, width, height, smooth ? 1 : 0)) {
      FreePlane(argb);
      return rc;
    }
    FreePlane(p->argb);
    p->argb = argb;
  }
  p->info.width = width;
  p->info.height = height;
  return 0;
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
