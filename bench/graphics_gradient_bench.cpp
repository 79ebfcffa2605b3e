// Gradient fills of 1920 × 1080 pixels against pixman's own gradient images
// composited the same way (SRC into x8r8g8b8, padded beyond the stops), and
// pixel-exact collisions of two overlapping 1024 × 1024 masked shapes at 1,000
// offsets against the plain per-pixel test. Each also through the script
// commands: Cls() of a display whose background is the gradient, and a Lua
// loop of Collision over two brushes. speed_ratio is the peer's time over ours.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "compare.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/collision.h"
#include "graphics/src/gradients.h"
#include "script_host.h"
#include "tessera/host.h"
#include "tests/unit/support/collision_reference.h"
#include "tzx/graphics_constants.h"

namespace {

using namespace tzx::graphics;

constexpr int kWidth = 1920, kHeight = 1080;

GradientRecord Gradient(int style) {
  GradientRecord g{};
  InitGradientRecord(&g, 0);
  g.style = style;
  g.angle = 30;
  g.centerX = 0.4;
  g.centerY = 0.45;
  g.colorCount = 4;
  g.stops[0] = {0xFF0000, 0.0};
  g.stops[1] = {0xFFFF00, 0.3};
  g.stops[2] = {0x00FF80, 0.6};
  g.stops[3] = {0x0000FF, 1.0};
  return g;
}

pixman_gradient_stop_t Stop(double position, uint32_t rgb) {
  return {pixman_double_to_fixed(position),
          {uint16_t((rgb >> 16 & 255) * 257), uint16_t((rgb >> 8 & 255) * 257),
           uint16_t((rgb & 255) * 257), 0xFFFF}};
}

// pixman's image of the same gradient, made from scratch as a caller would.
pixman_image_t* PixmanGradient(int style) {
  const pixman_gradient_stop_t stops[] = {Stop(0, 0xFF0000), Stop(0.3, 0xFFFF00),
                                          Stop(0.6, 0x00FF80), Stop(1, 0x0000FF)};
  const pixman_point_fixed_t center = {pixman_double_to_fixed(kWidth * 0.4),
                                       pixman_double_to_fixed(kHeight * 0.45)};
  pixman_image_t* image;
  if (style == kRadial) {
    const double r = std::sqrt(double(kWidth) * kWidth + double(kHeight) * kHeight) * 0.6;
    image = pixman_image_create_radial_gradient(&center, &center, 0, pixman_double_to_fixed(r),
                                                stops, 4);
  } else if (style == kConical) {
    image = pixman_image_create_conical_gradient(&center, pixman_int_to_fixed(30), stops, 4);
  } else {
    double start[2], end[2];
    LinearGradientLine(30, kWidth, kHeight, start, end);
    const pixman_point_fixed_t p1 = {pixman_double_to_fixed(start[0]),
                                     pixman_double_to_fixed(start[1])};
    const pixman_point_fixed_t p2 = {pixman_double_to_fixed(end[0]),
                                     pixman_double_to_fixed(end[1])};
    image = pixman_image_create_linear_gradient(&p1, &p2, stops, 4);
  }
  pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);
  return image;
}

void FillAgainstPixman(benchmark::State& state, int style, const tzx::bench::Row& row) {
  const GradientRecord g = Gradient(style);
  BitmapHandle* ours = AllocBitmapOfFormat(kWidth, kHeight, kFormatArgb32);
  std::vector<uint32_t> theirs(size_t{kWidth} * kHeight);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, theirs.data(), kWidth * 4);
  tzx::bench::CompareInTurn(
      state, [&] { CreateGradientBitmap(ours, 0, 0, kWidth, kHeight, &g); },
      [&] {
        pixman_image_t* source = PixmanGradient(style);
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth,
                                 kHeight);
        pixman_image_unref(source);
      },
      row);
  // Both made the same pixels.
  PixelView v;
  ViewOf(ours, &v);
  if (ReadPixel(ours, 700, 500, 1) != theirs[500 * kWidth + 700]) {
    state.SkipWithError("the pixels differ from pixman's");
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
  pixman_image_unref(target);
  FreeBitmap(ours);
}

void BM_LinearGradientVsPixman(benchmark::State& state) {
  FillAgainstPixman(state, kLinear,
                    {"gradient linear 1920x1080 (core)", "pixman", 0.9,
                     "pixman linear gradient image composited SRC into x8r8g8b8"});
}
void BM_RadialGradientVsPixman(benchmark::State& state) {
  FillAgainstPixman(state, kRadial,
                    {"gradient radial 1920x1080 (core)", "pixman", 0.9,
                     "pixman radial gradient image composited SRC into x8r8g8b8"});
}
void BM_ConicalGradientVsPixman(benchmark::State& state) {
  FillAgainstPixman(state, kConical,
                    {"gradient conical 1920x1080 (core)", "pixman", 0.9,
                     "pixman conical gradient image composited SRC into x8r8g8b8"});
}
BENCHMARK(BM_LinearGradientVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadialGradientVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConicalGradientVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Through the script commands --------------------------------------------

tessera::Host& ScriptHost() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush", "display"};
    options.siblings = {"object"};
    options.headless = true;
    auto h = tzx::bench::StartHost(options);
    return h.release();
  }();
  return *host;
}

void RunLua(const std::string& code) {
  tzx::bench::RunOrExit(ScriptHost(), code);
}

// Cls() of a display whose background is a linear gradient: the fill, the
// gradient and the display's own bookkeeping, against pixman's gradient alone.
void BM_ClsGradientDisplayVsPixman(benchmark::State& state) {
  // The framework calls this more than once; the display is made once and
  // stays the current output until the host ends.
  RunLua(
      "if not GRADIENT_DISPLAY then GRADIENT_DISPLAY = true"
      " CreateDisplay(1, {width = 1920, height = 1080, fillstyle = 'gradient',"
      " gradientstyle = LINEAR, gradientangle = 30, gradientcolors = {[0] = 0xFF0000, 0,"
      " 0xFFFF00, 0.3, 0x00FF80, 0.6, 0x0000FF, 1}}) SelectDisplay(1) end");
  std::vector<uint32_t> theirs(size_t{kWidth} * kHeight);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, theirs.data(), kWidth * 4);
  tzx::bench::CompareInTurn(
      state, [] { RunLua("Cls()"); },
      [&] {
        pixman_image_t* source = PixmanGradient(kLinear);
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth,
                                 kHeight);
        pixman_image_unref(source);
      },
      tzx::bench::Row{"Cls gradient display 1920x1080 (command)", "pixman", 0.9,
                      "pixman linear gradient composited SRC, without a display around it"});
  pixman_image_unref(target);
}
BENCHMARK(BM_ClsGradientDisplayVsPixman)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Collisions ---------------------------------------------------------------

constexpr int kSide = 1024, kOffsets = 1000;

// Bands of 8 solid rows every 16 rows: shifted by 8 rows (plus any whole
// number of bands) the two never meet and every pixel of the overlap is
// looked at; a quarter of the offsets meet in their first rows.
struct Offsets {
  std::vector<int> dx, dy;
  Offsets() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> shift(-40, 40), across(-700, 700);
    for (int i = 0; i < kOffsets; ++i) {
      dx.push_back(across(random));
      dy.push_back(16 * shift(random) + (i % 4 == 0 ? 3 : 8));
    }
  }
};

BitmapHandle* BandedMask() {
  BitmapHandle* mask = AllocMask(nullptr, kSide, kSide, 0, nullptr, 0);
  PixelView v;
  ViewOf(mask, &v);
  for (int y = 0; y < kSide; ++y) {
    if (y % 16 < 8) std::memset(RowOf(v, y), 0xFF, kSide / 8);
  }
  return mask;
}

void BM_CollisionMasksVsPerPixel(benchmark::State& state) {
  const Offsets offsets;
  BitmapHandle* maskA = BandedMask();
  BitmapHandle* maskB = BandedMask();
  CollisionShape a{}, b{};
  a.width = b.width = a.height = b.height = kSide;
  a.transparentPen = b.transparentPen = -1;
  a.mask = maskA;
  b.mask = maskB;
  int oursHits = 0, theirHits = 0;
  tzx::bench::CompareInTurn(
      state,
      [&] {
        oursHits = 0;
        for (int i = 0; i < kOffsets; ++i) {
          b.x = offsets.dx[i];
          b.y = offsets.dy[i];
          oursHits += CollisionTest(&a, &b);
        }
      },
      [&] {
        theirHits = 0;
        for (int i = 0; i < kOffsets; ++i) {
          b.x = offsets.dx[i];
          b.y = offsets.dy[i];
          theirHits += tzx::graphics::testing::ReferenceCollision(a, b);
        }
      },
      tzx::bench::Row{"Collision masks 1,000 offsets (core)", "per-pixel", 8.0,
                      "the plain per-pixel test of both masks over the overlap"});
  if (oursHits != theirHits) state.SkipWithError("the answers differ");
  state.counters["collisions"] = oursHits;
  FreeBitmap(maskA);
  FreeBitmap(maskB);
}
BENCHMARK(BM_CollisionMasksVsPerPixel)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same collisions through Collision(BRUSH, ...) on two brushes with
// those masks, against the per-pixel test on the same masks in C++.
void BM_CollisionCommandVsPerPixel(benchmark::State& state) {
  const Offsets offsets;
  std::string dx = "DX = {", dy = "DY = {";
  for (int i = 0; i < kOffsets; ++i) {
    dx += std::to_string(offsets.dx[i]) + ",";
    dy += std::to_string(offsets.dy[i]) + ",";
  }
  RunLua(dx + "} " + dy + "}");
  // Made once: the framework calls this more than once.
  RunLua(
      "if not BANDED_BRUSHES then BANDED_BRUSHES = true for id = 1, 2 do"
      " CreateBrush(id, 1024, 1024, BLACK)"
      " for y = 0, 1023 do if y % 16 < 8 then for x = 0, 1023 do"
      " WriteBrushPixel(id, x, y, RED) end end end"
      " SetBrushTransparency(id, BLACK) end end");
  BitmapHandle* maskA = BandedMask();
  BitmapHandle* maskB = BandedMask();
  CollisionShape a{}, b{};
  a.width = b.width = a.height = b.height = kSide;
  a.transparentPen = b.transparentPen = -1;
  a.mask = maskA;
  b.mask = maskB;
  tzx::bench::CompareInTurn(
      state,
      [] {
        RunLua(
            "HITS = 0 for i = 1, #DX do HITS = HITS + Collision(BRUSH, 1, 0, 0, 2, DX[i], DY[i])"
            " end");
      },
      [&] {
        for (int i = 0; i < kOffsets; ++i) {
          b.x = offsets.dx[i];
          b.y = offsets.dy[i];
          benchmark::DoNotOptimize(tzx::graphics::testing::ReferenceCollision(a, b));
        }
      },
      tzx::bench::Row{"Collision brushes 1,000 offsets (command)", "per-pixel", 8.0,
                      "the plain per-pixel test of both masks over the overlap, in C++"});
  FreeBitmap(maskA);
  FreeBitmap(maskB);
}
BENCHMARK(BM_CollisionCommandVsPerPixel)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
