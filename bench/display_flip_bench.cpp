// Flip of a 1920 × 1080 double-buffered display in the headless back end,
// against memcpy of exactly the bytes it must move: every changed row is
// copied twice, from the back buffer to the display's picture and from there
// to the window. Two cases: 100 small changed rectangles (apart, so that the
// merge keeps them), and the whole buffer changed. The reported time is ours;
// speed_ratio is memcpy's time over ours (1 is the physical bound).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "../display/src/bindings.h"
#include "compare.h"
#include "display/src/display_core.h"
#include "display/src/display_options.h"
#include "display/src/double_buffer.h"
#include "display/src/frame_pacing.h"
#include "display/src/window_system.h"
#include "graphics/src/graphics_state.h"
#include "host_state.h"

namespace {

using namespace tzx;
using namespace tzx::display;

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRects = 100;

// An open, double-buffered display of the benchmark's size.
struct Setup {
  DisplayRecord* d = nullptr;

  Setup() {
    host::State().headless = 1;
    StartWindowSystem();
    gBound.graphics = &graphics::gInterface;
    DisplayRecord options{};
    SetDisplayDefaults(&options);
    options.width = kWidth;
    options.height = kHeight;
    options.x = options.y = 0;
    CreateDisplayCore(nullptr, options, ObjectId{1, nullptr}, &d);
    OpenDisplayCore(nullptr, d, 0);
    BeginDoubleBufferCore(nullptr, d, 0);
    SetVWaitDisabled(true);
  }
  ~Setup() {
    EndDoubleBufferCore(nullptr, d);
    *graphics::gInterface.currentOutput = nullptr;
    *graphics::gInterface.currentDisplay = nullptr;
    DestroyDisplay(nullptr, d);
    StopWindowSystem();
    gBound.graphics = nullptr;
  }
};

struct Rect {
  int x, y, w, h;
};

// Rectangles of 24 to 40 pixels a side on a grid, with gaps between them.
std::vector<Rect> SmallRects() {
  std::vector<Rect> rects;
  for (int i = 0; i < kRects; ++i) {
    rects.push_back(
        Rect{(i % 20) * 96 + 8, (i / 20) * 200 + 16, 24 + (i * 7) % 17, 24 + (i * 5) % 17});
  }
  return rects;
}

int64_t BytesOf(const std::vector<Rect>& rects) {
  int64_t bytes = 0;
  for (const Rect& r : rects) bytes += int64_t{r.w} * r.h * 4;
  return bytes;
}

// The peer: the same rows copied twice between plain buffers.
struct Peer {
  std::vector<uint32_t> back, front, window;
  Peer() : back(size_t{kWidth} * kHeight, 1), front(back.size()), window(back.size()) {}
  void CopyRect(int x, int y, int w, int h) {
    for (int row = y; row < y + h; ++row) {
      size_t at = size_t(row) * kWidth + x;
      std::memcpy(&front[at], &back[at], size_t(w) * 4);
    }
    for (int row = y; row < y + h; ++row) {
      size_t at = size_t(row) * kWidth + x;
      std::memcpy(&window[at], &front[at], size_t(w) * 4);
    }
  }
};

template <class Ours, class Peer>
void Compare(benchmark::State& state, Ours ours, Peer peer, int64_t bytes,
             const tzx::bench::Row& row) {
  tzx::bench::CompareInTurn(state, ours, peer, row);
  state.SetBytesProcessed(state.iterations() * bytes);
}

void FlipSmallRects(benchmark::State& state) {
  Setup s;
  Peer p;
  std::vector<Rect> rects = SmallRects();
  graphics::OutputRecord* back = s.d->backOutput;
  Compare(
      state,
      [&] {
        for (const Rect& r : rects) back->ops->changed(back, r.x, r.y, r.w, r.h);
        FlipCore(nullptr, s.d, 0);
      },
      [&] {
        for (const Rect& r : rects) p.CopyRect(r.x, r.y, r.w, r.h);
      },
      2 * BytesOf(rects),
      {"Flip 100 dirty rectangles (core)", "memcpy", 0.8,
       "memcpy of each rectangle's rows, back to picture and picture to window"});
}

void FlipWholeBuffer(benchmark::State& state) {
  Setup s;
  Peer p;
  graphics::OutputRecord* back = s.d->backOutput;
  Compare(
      state,
      [&] {
        back->ops->changed(back, 0, 0, kWidth, kHeight);
        FlipCore(nullptr, s.d, 0);
      },
      [&] {
        std::memcpy(p.front.data(), p.back.data(), p.back.size() * 4);
        std::memcpy(p.window.data(), p.front.data(), p.front.size() * 4);
      },
      int64_t{2} * kWidth * kHeight * 4,
      {"Flip whole 1920x1080 (core)", "memcpy", 0.95,
       "two memcpy of the whole buffer, back to picture and picture to window"});
}

BENCHMARK(FlipSmallRects)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(FlipWholeBuffer)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
