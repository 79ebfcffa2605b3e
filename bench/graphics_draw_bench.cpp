// Scaled drawing as scripts do it: DisplayBrush of a 1024 x 1024 brush with
// a width and height tag (1024 -> 512 down, and 512 -> 1024 up) onto a selected
// 1024 x 1024 brush, from Lua through the host. Two peers each:
//   - the core scaler (ScalePixels, and ScaleAlpha for a brush with an alpha
//     channel) into a buffer, then one blit of it into the same target: the
//     least any draw built from our own parts can do (goal 0.9);
//   - pixman's scaled composite of the same operation into a plain buffer,
//     the same filter (goal 1.0): SRC from x8r8g8b8 for an opaque brush; for
//     a brush with an alpha channel OVER of x8r8g8b8 through an a8 mask with
//     the same transform (our planes, our arithmetic), and OVER of the
//     picture premultiplied into one a8r8g8b8 image (pixman's own form, its
//     fastest path).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "compare.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/blits.h"
#include "graphics/src/scaling.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

using namespace tzx::graphics;

constexpr int kSide = 1024;

// Colours with an alpha that changes from pixel to pixel, so that no run of
// clear or opaque pixels helps either side.
std::vector<uint32_t> Picture(int side) {
  std::vector<uint32_t> p(static_cast<size_t>(side) * side);
  std::mt19937 random(11);
  for (size_t i = 0; i < p.size(); ++i) {
    p[i] = (random() & 0xFFFFFF) | static_cast<uint32_t>((i * 7 + i / side * 13) & 255) << 24;
  }
  return p;
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush"};
    options.siblings = {"object", "offscreen"};
    auto h = tzx::bench::StartHost(options);
    // Brush 9001: opaque, 9002: with an alpha channel, 9003: half size (the
    // array counts from 0); 9004 is the output. The libraries are shared by
    // every host in the process: ids other benchmarks do not use.
    // brush 4 is the output.
    const std::vector<uint32_t> picture = Picture(kSide);
    lua_State* L = h->L();
    lua_createtable(L, static_cast<int>(picture.size()), 0);
    for (size_t i = 0; i < picture.size(); ++i) {
      lua_pushnumber(L, picture[i]);
      lua_rawseti(L, -2, static_cast<int>(i));
    }
    lua_setglobal(L, "PIXELS");
    tzx::bench::RunOrExit(*h,
                          "RGBArrayToBrush(9001, PIXELS, 1024, 1024) "
                          "RGBArrayToBrush(9002, PIXELS, 1024, 1024, true) "
                          "RGBArrayToBrush(9003, PIXELS, 512, 512, true) PIXELS = nil "
                          "collectgarbage() CreateBrush(9004, 1024, 1024, 0x102030)");
    return h.release();
  }();
  return *host;
}

// The output brush is selected while a benchmark runs, and only then: the
// output is shared by every host in the process.
struct Selected {
  Selected() { tzx::bench::RunOrExit(Host(), "SelectBrush(9004)"); }
  ~Selected() { tzx::bench::RunOrExit(Host(), "EndSelect()"); }
};

struct Case {
  int side, size;  // the brush's side, the drawn side
  bool alpha, smooth;
};

std::string Operation(const Case& c, const char* what) {
  return std::string("DisplayBrush ") + std::to_string(c.side) + "->" + std::to_string(c.size) +
         (c.smooth ? " bilinear" : " nearest") + (c.alpha ? " alpha" : "") + " (command) vs " +
         what;
}

std::string DrawCode(const Case& c) {
  const int id = c.side != kSide ? 9003 : c.alpha ? 9002 : 9001;
  return "DisplayBrush(" + std::to_string(id) + ", 0, 0, {width = " + std::to_string(c.size) +
         ", height = " + std::to_string(c.size) + ", smoothscale = " + (c.smooth ? "1" : "0") +
         "})";
}

// The command against the core scaler and one blit into a bitmap like the
// output.
void AgainstScaler(benchmark::State& state, const Case& c) {
  const Selected selected;
  std::vector<uint32_t> picture = Picture(c.side);
  std::vector<uint8_t> alpha(picture.size());
  for (size_t i = 0; i < picture.size(); ++i) alpha[i] = picture[i] >> 24;
  BitmapHandle* scaled = AllocBitmapOfFormat(c.size, c.size, kFormatArgb32);
  BitmapHandle* scaledAlpha = AllocAlpha(c.size, c.size, 0, nullptr, 0);
  BitmapHandle* target = AllocBitmapOfFormat(kSide, kSide, kFormatArgb32);
  PixelView sv, av;
  ViewOf(scaled, &sv);
  ViewOf(scaledAlpha, &av);
  ScaleRequest r;
  r.source = reinterpret_cast<const uint8_t*>(picture.data());
  r.sourceRowBytes = 4 * c.side;
  r.sourceWidth = r.sourceHeight = c.side;
  r.destination = sv.pixels;
  r.destinationRowBytes = sv.bytesPerRow;
  r.destinationWidth = r.destinationHeight = c.size;
  r.smooth = c.smooth;
  if (c.alpha) {
    r.sourceAlpha = alpha.data();
    r.sourceAlphaRowBytes = c.side;
    r.destinationAlpha = av.pixels;
    r.destinationAlphaRowBytes = av.bytesPerRow;
  }
  ScaleScratch scratch;
  const std::string code = DrawCode(c);
  tzx::bench::CompareInTurn(
      state, [&] { tzx::bench::RunOrExit(Host(), code); },
      [&] {
        ScalePixels(r, scratch);
        if (c.alpha) {
          ScaleAlpha(r, scratch);
          BlitBitmapAlpha(scaled, scaledAlpha, 0, 0, target, 0, 0, c.size, c.size, 255);
        } else {
          BlitBitmap(scaled, 0, 0, target, 0, 0, c.size, c.size);
        }
      },
      {Operation(c, "scaler"), "scaler+blit", 0.9,
       c.alpha ? "ScalePixels and ScaleAlpha into a buffer, BlitBitmapAlpha into the target"
               : "ScalePixels into a buffer, BlitBitmap into the target"});
  FreeScaleScratch(scratch);
  FreeBitmap(target);
  FreeBitmap(scaledAlpha);
  FreeBitmap(scaled);
}

// premultiplied: pixman's own form of a picture with alpha, one a8r8g8b8
// image; else the same planes as ours, x8r8g8b8 through an a8 mask that has
// the same transform.
void AgainstPixman(benchmark::State& state, const Case& c, bool premultiplied) {
  const Selected selected;
  std::vector<uint32_t> picture = Picture(c.side);
  std::vector<uint8_t> levels(picture.size());
  for (size_t i = 0; i < picture.size(); ++i) levels[i] = picture[i] >> 24;
  if (c.alpha && premultiplied) {
    for (uint32_t& p : picture) {
      const uint32_t a = p >> 24;
      uint32_t out = a << 24;
      for (int shift = 0; shift < 24; shift += 8)
        out |= (((p >> shift) & 255) * a + 127) / 255 << shift;
      p = out;
    }
  }
  std::vector<uint32_t> theirs(static_cast<size_t>(kSide) * kSide, 0x102030);
  const bool masked = c.alpha && !premultiplied;
  pixman_image_t* from =
      pixman_image_create_bits(c.alpha && premultiplied ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, c.side,
                               c.side, picture.data(), 4 * c.side);
  pixman_image_t* mask =
      masked ? pixman_image_create_bits(PIXMAN_a8, c.side, c.side,
                                        reinterpret_cast<uint32_t*>(levels.data()), c.side)
             : nullptr;
  pixman_image_t* to =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kSide, kSide, theirs.data(), 4 * kSide);
  pixman_transform_t t;
  const pixman_fixed_t factor = pixman_double_to_fixed(static_cast<double>(c.side) / c.size);
  pixman_transform_init_scale(&t, factor, factor);
  for (pixman_image_t* image : {from, mask}) {
    if (!image) continue;
    pixman_image_set_transform(image, &t);
    pixman_image_set_filter(image, c.smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                            nullptr, 0);
    pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);
  }
  const pixman_op_t op = c.alpha ? PIXMAN_OP_OVER : PIXMAN_OP_SRC;
  const std::string code = DrawCode(c);
  tzx::bench::CompareInTurn(
      state, [&] { tzx::bench::RunOrExit(Host(), code); },
      [&] { pixman_image_composite32(op, from, mask, to, 0, 0, 0, 0, 0, 0, c.size, c.size); },
      {Operation(c, !c.alpha        ? "pixman"
                    : premultiplied ? "pixman premultiplied"
                                    : "pixman masked"),
       "pixman", 1.0,
       !c.alpha ? "pixman SRC from x8r8g8b8, scale transform, same filter"
       : premultiplied
           ? "pixman OVER of the picture premultiplied into a8r8g8b8, scale transform, same filter"
           : "pixman OVER of x8r8g8b8 through an a8 mask, both scaled, same filter (our planes)"});
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(to);
  pixman_image_unref(from);
}

// The plain draw of the whole brush: the command's blit against memcpy of the
// same rows (opaque), or pixman's OVER of the same picture (alpha channel,
// premultiplied: pixman's fastest form).
void PlainDraw(benchmark::State& state, bool alpha) {
  const Selected selected;
  std::vector<uint32_t> picture = Picture(kSide), theirs(picture.size(), 0x102030);
  if (alpha) {
    for (uint32_t& p : picture) {
      const uint32_t a = p >> 24;
      uint32_t out = a << 24;
      for (int shift = 0; shift < 24; shift += 8)
        out |= (((p >> shift) & 255) * a + 127) / 255 << shift;
      p = out;
    }
  }
  pixman_image_t* from =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, picture.data(), 4 * kSide);
  pixman_image_t* to =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kSide, kSide, theirs.data(), 4 * kSide);
  const std::string code = alpha ? "DisplayBrush(9002, 0, 0)" : "DisplayBrush(9001, 0, 0)";
  tzx::bench::CompareInTurn(
      state, [&] { tzx::bench::RunOrExit(Host(), code); },
      [&] {
        if (alpha) {
          pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, to, 0, 0, 0, 0, 0, 0, kSide,
                                   kSide);
        } else {
          std::memcpy(theirs.data(), picture.data(), picture.size() * 4);
        }
      },
      alpha ? tzx::bench::Row{"DisplayBrush 1024x1024 alpha (command)", "pixman", 1.0,
                              "pixman OVER of the picture premultiplied into a8r8g8b8"}
            : tzx::bench::Row{"DisplayBrush 1024x1024 (command)", "memcpy", 0.9,
                              "memcpy of the same pixels"});
  pixman_image_unref(to);
  pixman_image_unref(from);
}

void BM_DrawPlainVsMemcpy(benchmark::State& s) {
  PlainDraw(s, false);
}
void BM_DrawPlainAlphaVsPixman(benchmark::State& s) {
  PlainDraw(s, true);
}

constexpr Case kDownNearest{kSide, 512, false, false};
constexpr Case kDownBilinear{kSide, 512, false, true};
constexpr Case kDownAlphaBilinear{kSide, 512, true, true};
constexpr Case kUpBilinear{512, kSide, true, true};

void BM_DrawDownNearestVsPixman(benchmark::State& s) {
  AgainstPixman(s, kDownNearest, false);
}
void BM_DrawDownBilinearVsPixman(benchmark::State& s) {
  AgainstPixman(s, kDownBilinear, false);
}
void BM_DrawDownAlphaVsPixmanMasked(benchmark::State& s) {
  AgainstPixman(s, kDownAlphaBilinear, false);
}
void BM_DrawDownAlphaVsPixmanPremultiplied(benchmark::State& s) {
  AgainstPixman(s, kDownAlphaBilinear, true);
}
void BM_DrawUpAlphaVsPixmanMasked(benchmark::State& s) {
  AgainstPixman(s, kUpBilinear, false);
}
void BM_DrawUpAlphaVsPixmanPremultiplied(benchmark::State& s) {
  AgainstPixman(s, kUpBilinear, true);
}
void BM_DrawDownNearestVsScaler(benchmark::State& s) {
  AgainstScaler(s, kDownNearest);
}
void BM_DrawDownBilinearVsScaler(benchmark::State& s) {
  AgainstScaler(s, kDownBilinear);
}
void BM_DrawDownAlphaVsScaler(benchmark::State& s) {
  AgainstScaler(s, kDownAlphaBilinear);
}

}  // namespace

BENCHMARK(BM_DrawPlainVsMemcpy)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPlainAlphaVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownNearestVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownBilinearVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownAlphaVsPixmanMasked)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownAlphaVsPixmanPremultiplied)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawUpAlphaVsPixmanMasked)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawUpAlphaVsPixmanPremultiplied)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownNearestVsScaler)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownBilinearVsScaler)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDownAlphaVsScaler)->UseManualTime()->Unit(benchmark::kMillisecond);
