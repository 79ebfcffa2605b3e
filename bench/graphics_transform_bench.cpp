// Bitmap transformation against pixman's affine transform of the same
// picture (PIXMAN_OP_SRC, PIXMAN_REPEAT_NONE, the same destination size):
//   a 1920 x 1080 picture turned by 30 degrees, nearest and bilinear
//     (PIXMAN_FILTER_NEAREST / PIXMAN_FILTER_BILINEAR)        goal: >= 1.0
//   quarter turns of 4096 x 4096 against pixman's 90-degree rotation
//                                                             goal: >= 1.0
// Both write every destination pixel (outside the picture 0); ours writes
// the mask of the picture's outline besides. speed_ratio = pixman's time / ours.
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
#include "graphics/src/transform.h"
#include "script_host.h"
#include "tessera/host.h"
#include "tzx/graphics_layout.h"

namespace {

using tzx::graphics::Bounds;
using tzx::graphics::MatrixBoundsOf;
using tzx::graphics::TransformPixels;
using tzx::graphics::TransformRequest;

std::vector<uint32_t> Picture(int w, int h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  std::mt19937 random(11);
  for (auto& v : p) v = random() | 0xFF000000u;
  return p;
}

void TurnAgainstPixman(benchmark::State& state, bool smooth) {
  constexpr int w = 1920, h = 1080;
  std::vector<uint32_t> source = Picture(w, h);
  const double a = (360.0 - 30.0) * 0.017453292519943295;
  const double m[4] = {std::cos(a), std::sin(a), -std::sin(a), std::cos(a)};
  const Bounds b = MatrixBoundsOf(m, w, h);
  const int tw = b.width, th = b.height;
  std::vector<uint32_t> ours(static_cast<size_t>(tw) * th), theirs(ours.size());
  const int maskRow = tzx::graphics::MaskRowBytes(tw);
  std::vector<uint8_t> mask(static_cast<size_t>(maskRow) * th);

  TransformRequest r;
  r.color = {reinterpret_cast<const uint8_t*>(source.data()), 4 * w};
  r.width = w;
  r.height = h;
  r.toColor = {reinterpret_cast<uint8_t*>(ours.data()), 4 * tw};
  r.toMask = {mask.data(), maskRow};
  r.toWidth = tw;
  r.toHeight = th;
  const double full[6] = {m[0], m[1], m[2], m[3], -b.left, -b.top};
  std::memcpy(r.matrix, full, sizeof full);
  r.smooth = smooth;

  // pixman maps destination to source: the inverse, translation included.
  const double d = m[0] * m[3] - m[2] * m[1];
  const double i00 = m[3] / d, i01 = -m[1] / d, i10 = -m[2] / d, i11 = m[0] / d;
  pixman_f_transform ft;
  ft.m[0][0] = i00;
  ft.m[0][1] = i10;
  ft.m[0][2] = -full[4] * i00 - full[5] * i10;
  ft.m[1][0] = i01;
  ft.m[1][1] = i11;
  ft.m[1][2] = -full[4] * i01 - full[5] * i11;
  ft.m[2][0] = ft.m[2][1] = 0;
  ft.m[2][2] = 1;
  pixman_transform_t t;
  pixman_transform_from_pixman_f_transform(&t, &ft);
  pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, source.data(), 4 * w);
  pixman_image_t* to = pixman_image_create_bits(PIXMAN_a8r8g8b8, tw, th, theirs.data(), 4 * tw);
  pixman_image_set_transform(from, &t);
  pixman_image_set_filter(from, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                          0);
  pixman_image_set_repeat(from, PIXMAN_REPEAT_NONE);

  tzx::bench::CompareInTurn(
      state, [&] { TransformPixels(r); },
      [&] { pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, tw, th); },
      tzx::bench::Row{
          std::string("rotate 30 1920x1080 ") + (smooth ? "bilinear" : "nearest") + " (core)",
          "pixman", 1.0, "pixman SRC with an affine transform, same filter"});
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tw) * th);
  pixman_image_unref(to);
  pixman_image_unref(from);
}

void QuarterTurnAgainstPixman(benchmark::State& state, bool clockwise) {
  constexpr int side = 4096;
  std::vector<uint32_t> source = Picture(side, side);
  std::vector<uint32_t> ours(source.size()), theirs(source.size());
  // Destination (x, y) from source (y, side - 1 - x), or (side - 1 - y, x).
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  const pixman_fixed_t one = pixman_fixed_1, last = pixman_int_to_fixed(side);
  if (clockwise) {
    t.matrix[0][0] = 0, t.matrix[0][1] = one, t.matrix[0][2] = 0;
    t.matrix[1][0] = -one, t.matrix[1][1] = 0, t.matrix[1][2] = last;
  } else {
    t.matrix[0][0] = 0, t.matrix[0][1] = -one, t.matrix[0][2] = last;
    t.matrix[1][0] = one, t.matrix[1][1] = 0, t.matrix[1][2] = 0;
  }
  pixman_image_t* from =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, source.data(), 4 * side);
  pixman_image_t* to =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, theirs.data(), 4 * side);
  pixman_image_set_transform(from, &t);
  pixman_image_set_filter(from, PIXMAN_FILTER_NEAREST, nullptr, 0);
  tzx::bench::CompareInTurn(
      state,
      [&] {
        tzx::graphics::TurnPlane(reinterpret_cast<const uint8_t*>(source.data()), 4 * side,
                                 reinterpret_cast<uint8_t*>(ours.data()), 4 * side, side, side, 4,
                                 clockwise);
      },
      [&] {
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, side, side);
      },
      tzx::bench::Row{std::string("rotate ") + (clockwise ? "270" : "90") + " 4096x4096 (core)",
                      "pixman", 1.0, "pixman SRC with a quarter-turn transform (its fast path)"});
  if (ours != theirs) state.SkipWithError("the quarter turns differ from pixman's");
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(side) * side);
  pixman_image_unref(to);
  pixman_image_unref(from);
}

// RotateBrush through the host from Lua: a copy of a 1920 x 1080 brush turned
// by 30 degrees; pixman copies the same picture and transforms it.
tessera::Host& ScriptHost() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush"};
    options.siblings = {"object"};
    auto h = tzx::bench::StartHost(options);
    tzx::bench::RunOrExit(*h, "CreateBrush(1, 1920, 1080, 0x336699)");
    return h.release();
  }();
  return *host;
}

void ScriptRotate(benchmark::State& state, bool smooth) {
  constexpr int w = 1920, h = 1080;
  std::vector<uint32_t> source = Picture(w, h), copy(source.size());
  const double a = (360.0 - 30.0) * 0.017453292519943295;
  const double m[4] = {std::cos(a), std::sin(a), -std::sin(a), std::cos(a)};
  const Bounds b = MatrixBoundsOf(m, w, h);
  std::vector<uint32_t> theirs(static_cast<size_t>(b.width) * b.height);
  pixman_f_transform ft{};
  const double d = m[0] * m[3] - m[2] * m[1];
  ft.m[0][0] = m[3] / d;
  ft.m[0][1] = -m[2] / d;
  ft.m[1][0] = -m[1] / d;
  ft.m[1][1] = m[0] / d;
  ft.m[0][2] = b.left * ft.m[0][0] + b.top * ft.m[0][1];
  ft.m[1][2] = b.left * ft.m[1][0] + b.top * ft.m[1][1];
  ft.m[2][2] = 1;
  pixman_transform_t t;
  pixman_transform_from_pixman_f_transform(&t, &ft);
  pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, copy.data(), 4 * w);
  pixman_image_t* to =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, b.width, b.height, theirs.data(), 4 * b.width);
  pixman_image_set_transform(from, &t);
  pixman_image_set_filter(from, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                          0);
  tessera::Host& host = ScriptHost();
  const std::string code = std::string("CopyBrush(1, 2) RotateBrush(2, 30, 1, 1, ") +
                           (smooth ? "1" : "0") + ") FreeBrush(2)";
  std::string error;
  tzx::bench::CompareInTurn(
      state,
      [&] {
        if (!host.RunString(code, &error)) state.SkipWithError(error.c_str());
      },
      [&] {
        std::memcpy(copy.data(), source.data(), source.size() * 4);
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, b.width,
                                 b.height);
      },
      tzx::bench::Row{std::string("RotateBrush 30 1920x1080 ") + (smooth ? "bilinear" : "nearest") +
                          " (command)",
                      "pixman", 1.0,
                      "copy of the source, then pixman SRC with an affine transform"});
  pixman_image_unref(to);
  pixman_image_unref(from);
}

void ScriptNearest(benchmark::State& state) {
  ScriptRotate(state, false);
}
void ScriptBilinear(benchmark::State& state) {
  ScriptRotate(state, true);
}

void Turn30Nearest(benchmark::State& state) {
  TurnAgainstPixman(state, false);
}
void Turn30Bilinear(benchmark::State& state) {
  TurnAgainstPixman(state, true);
}
void Turn90(benchmark::State& state) {
  QuarterTurnAgainstPixman(state, false);
}
void Turn270(benchmark::State& state) {
  QuarterTurnAgainstPixman(state, true);
}

}  // namespace

BENCHMARK(Turn30Nearest)
    ->Name("GraphicsTransform/1920x1080_rotate30/nearest")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Turn30Bilinear)
    ->Name("GraphicsTransform/1920x1080_rotate30/bilinear")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Turn90)
    ->Name("GraphicsTransform/4096x4096_rotate90")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Turn270)
    ->Name("GraphicsTransform/4096x4096_rotate270")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ScriptNearest)
    ->Name("GraphicsTransform/script_RotateBrush_1920x1080_30/nearest")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ScriptBilinear)
    ->Name("GraphicsTransform/script_RotateBrush_1920x1080_30/bilinear")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
