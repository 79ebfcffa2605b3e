// Presenting a 640 × 360 display scaled by the library into a 1920 × 1080
// window (headless back end, whose window lends its pixels), nearest and
// smooth, against pixman scaling the same picture with the same filter
// straight into a window-sized buffer. Timed through the core (RefreshCore)
// and through the script command (RefreshDisplay).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../display/src/bindings.h"
#include "compare.h"
#include "display/src/display_core.h"
#include "display/src/display_options.h"
#include "display/src/refresh.h"
#include "display/src/window_system.h"
#include "graphics/src/graphics_state.h"
#include "host_state.h"
#include "script_host.h"

namespace {

using namespace tzx;
using namespace tzx::display;

constexpr int kWidth = 640, kHeight = 360, kWindowWidth = 1920, kWindowHeight = 1080;
constexpr int kBatch = 20;

// pixman's side: the same picture scaled into the window's buffer.
struct PixmanPresent {
  std::vector<uint32_t> source, window;
  pixman_image_t* from;
  pixman_image_t* to;

  PixmanPresent(const uint32_t* pixels, int bytesPerRow, bool smooth)
      : source(size_t{kWidth} * kHeight), window(size_t{kWindowWidth} * kWindowHeight) {
    for (int row = 0; row < kHeight; ++row) {
      std::memcpy(&source[size_t(row) * kWidth],
                  reinterpret_cast<const uint8_t*>(pixels) + size_t(row) * bytesPerRow,
                  size_t{kWidth} * 4);
    }
    from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), 4 * kWidth);
    to = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWindowWidth, kWindowHeight, window.data(),
                                  4 * kWindowWidth);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(double(kWidth) / kWindowWidth),
                                pixman_double_to_fixed(double(kHeight) / kWindowHeight));
    pixman_image_set_transform(from, &transform);
    pixman_image_set_filter(from, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                            0);
    pixman_image_set_repeat(from, PIXMAN_REPEAT_PAD);
  }
  ~PixmanPresent() {
    pixman_image_unref(to);
    pixman_image_unref(from);
  }
  void operator()() {
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, kWindowWidth,
                             kWindowHeight);
  }
};

// An open display of 640 × 360 whose picture the library scales into a
// 1920 × 1080 window, filled with noise.
struct Setup {
  DisplayRecord* d = nullptr;
  graphics::LockRecord lock{};

  explicit Setup(bool smooth) {
    host::State().headless = 1;
    StartWindowSystem();
    gBound.graphics = &graphics::gInterface;
    DisplayRecord options{};
    SetDisplayDefaults(&options);
    options.width = kWidth;
    options.height = kHeight;
    options.x = options.y = 0;
    options.autoScale = 1;
    options.scaleWidth = kWindowWidth;
    options.scaleHeight = kWindowHeight;
    if (smooth) options.flags |= kFlagSmoothScale;
    CreateDisplayCore(nullptr, options, ObjectId{1, nullptr}, &d);
    OpenDisplayCore(nullptr, d, kOpenNoSelect);
    graphics::gInterface.LockBitmap(d->output.color, 0, &lock);
    std::mt19937 random(5);
    for (int row = 0; row < kHeight; ++row) {
      auto* p = reinterpret_cast<uint32_t*>(lock.pixels + size_t(row) * lock.bytesPerRow);
      for (int col = 0; col < kWidth; ++col) p[col] = random() | 0xFF000000u;
    }
  }
  ~Setup() {
    graphics::gInterface.UnlockBitmap(&lock);
    DestroyDisplay(nullptr, d);
    StopWindowSystem();
    gBound.graphics = nullptr;
  }
};

void PresentScaledCore(benchmark::State& state, bool smooth) {
  Setup s(smooth);
  PixmanPresent peer(reinterpret_cast<const uint32_t*>(s.lock.pixels), s.lock.bytesPerRow, smooth);
  const std::string filter = smooth ? "bilinear" : "nearest";
  tzx::bench::CompareInTurn(
      state, [&] { RefreshCore(s.d, kRefreshForce); }, peer,
      {"Present 640x360 display in 1920x1080 window, " + filter + " (core)", "pixman", 1.0,
       "pixman SRC scale transform, " + filter + " into the window buffer"});
}

void PresentNearestCore(benchmark::State& state) {
  PresentScaledCore(state, false);
}
void PresentSmoothCore(benchmark::State& state) {
  PresentScaledCore(state, true);
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush", "display"};
    auto h = tzx::bench::StartHost(options);
    return h.release();
  }();
  return *host;
}

// The same through RefreshDisplay({forcerefresh = true}); pixman scales a
// noise picture of the same size (neither side's time depends on the
// pixels).
void PresentScaledCommand(benchmark::State& state, bool smooth) {
  tessera::Host& host = Host();
  const std::string filter = smooth ? "bilinear" : "nearest";
  // One display per filter, made the first time the framework runs the
  // benchmark.
  const std::string name = smooth ? "BenchSmooth" : "BenchNearest";
  tzx::bench::RunOrExit(host, "if not " + name + " then " + name +
                                  " = CreateDisplay(nil, {width = 640, height = 360, x = 0, y = "
                                  "0, scalemode = SCALEMODE_AUTO, scalewidth = 1920, scaleheight "
                                  "= 1080, color = 0x336699, smoothscale = " +
                                  (smooth ? "true" : "false") + "}) OpenDisplay(" + name +
                                  ") end SelectDisplay(" + name + ")");
  std::vector<uint32_t> noise(size_t{kWidth} * kHeight);
  std::mt19937 random(5);
  for (auto& p : noise) p = random() | 0xFF000000u;
  PixmanPresent peer(noise.data(), kWidth * 4, smooth);
  // Starting a chunk costs the host more than a refresh: both sides run
  // kBatch presents per timed call.
  const std::string chunk =
      "for _ = 1, " + std::to_string(kBatch) + " do RefreshDisplay({forcerefresh = true}) end";
  tzx::bench::CompareInTurn(
      state, [&] { tzx::bench::RunOrExit(host, chunk); },
      [&] {
        for (int i = 0; i < kBatch; ++i) peer();
      },
      {"Present 640x360 display in 1920x1080 window, " + filter + " (command, " +
           std::to_string(kBatch) + " per chunk)",
       "pixman", 1.0, "pixman SRC scale transform, " + filter + " into the window buffer"});
}

void PresentNearestCommand(benchmark::State& state) {
  PresentScaledCommand(state, false);
}
void PresentSmoothCommand(benchmark::State& state) {
  PresentScaledCommand(state, true);
}

BENCHMARK(PresentNearestCore)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PresentSmoothCore)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PresentNearestCommand)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PresentSmoothCommand)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
