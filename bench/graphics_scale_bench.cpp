// Bitmap scaling against pixman: the same 32-bit ARGB source scaled to the same destination
// size, nearest pixel against PIXMAN_FILTER_NEAREST and smooth against PIXMAN_FILTER_BILINEAR
// (PIXMAN_OP_SRC with a scale transform). Both run in every iteration, one after the other; the
// reported time is ours, pixman_ms is pixman's, speed_ratio is pixman's time over ours (above 1
// means faster than pixman).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "compare.h"
#include "graphics/src/scaling.h"

namespace {

using tzx::graphics::ScalePixels;
using tzx::graphics::ScaleRequest;
using tzx::graphics::ScaleScratch;

void ScaleAgainstPixman(benchmark::State& state, int sw, int sh, int dw, int dh, bool smooth) {
  const tzx::bench::Row row{
      "ScalePixels " + std::to_string(sw) + "x" + std::to_string(sh) + "->" + std::to_string(dw) +
          "x" + std::to_string(dh) + (smooth ? " bilinear" : " nearest") + " (core)",
      "pixman", 1.0, "pixman SRC with a scale transform and the same filter, pad repeat"};
  std::vector<uint32_t> source(static_cast<size_t>(sw) * sh);
  std::mt19937 random(7);
  for (auto& p : source) p = random();
  std::vector<uint32_t> ours(static_cast<size_t>(dw) * dh), theirs(ours.size());

  ScaleRequest request;
  request.source = reinterpret_cast<const uint8_t*>(source.data());
  request.sourceRowBytes = 4 * sw;
  request.destination = reinterpret_cast<uint8_t*>(ours.data());
  request.destinationRowBytes = 4 * dw;
  request.sourceWidth = sw;
  request.sourceHeight = sh;
  request.destinationWidth = dw;
  request.destinationHeight = dh;
  request.smooth = smooth;
  ScaleScratch scratch;

  pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, sw, sh, source.data(), 4 * sw);
  pixman_image_t* to = pixman_image_create_bits(PIXMAN_a8r8g8b8, dw, dh, theirs.data(), 4 * dw);
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, pixman_double_to_fixed(static_cast<double>(sw) / dw),
                              pixman_double_to_fixed(static_cast<double>(sh) / dh));
  pixman_image_set_transform(from, &transform);
  pixman_image_set_filter(from, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                          0);
  pixman_image_set_repeat(from, PIXMAN_REPEAT_PAD);

  // Warm both up: our scratch grows once, pixman picks its fast path once.
  const bool ready = ScalePixels(request, scratch) == 0;
  pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, dw, dh);
  if (!ready) state.SkipWithError("scaling failed");

  if (ready) {
    tzx::bench::CompareInTurn(
        state, [&] { ScalePixels(request, scratch); },
        [&] {
          pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, dw, dh);
        },
        row);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(dw) * dh);
  }

  pixman_image_unref(to);
  pixman_image_unref(from);
  tzx::graphics::FreeScaleScratch(scratch);
}

void ArgbDownNearest(benchmark::State& state) {
  ScaleAgainstPixman(state, 1920, 1080, 1280, 720, false);
}
void ArgbDownBilinear(benchmark::State& state) {
  ScaleAgainstPixman(state, 1920, 1080, 1280, 720, true);
}
void ArgbUpNearest(benchmark::State& state) {
  ScaleAgainstPixman(state, 640, 480, 1920, 1080, false);
}
void ArgbUpBilinear(benchmark::State& state) {
  ScaleAgainstPixman(state, 640, 480, 1920, 1080, true);
}

}  // namespace

BENCHMARK(ArgbDownNearest)
    ->Name("GraphicsScale/1920x1080_to_1280x720/nearest")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ArgbDownBilinear)
    ->Name("GraphicsScale/1920x1080_to_1280x720/bilinear")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ArgbUpNearest)
    ->Name("GraphicsScale/640x480_to_1920x1080/nearest")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ArgbUpBilinear)
    ->Name("GraphicsScale/640x480_to_1920x1080/bilinear")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
