// Flip of a 1920 × 1080 double-buffered display in the headless back end,
// against memcpy of exactly the bytes it must move: every changed row is
// copied twice, from the back buffer to the display's picture and from there
// to the window. Two cases: 100 small changed rectangles (apart, so that the
// merge keeps them), and the whole buffer changed. The reported time is ours;
// speed_ratio is memcpy's time over ours (1 is the physical bound). Each case
// also as the script's Flip() through a host, its changes drawn by untimed
// DisplayBrush calls before each Flip. The headless back end presents on the
// script's thread; a real window's present also pays a trip to the window
// thread, which these rows do not see.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
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
#include "script_host.h"
#include "tessera/host.h"

extern "C" {
#include <lua.h>
}

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

// Seconds on a steady clock, for the script to time its own Flip calls: a
// chunk run through the host starts a script thread, which costs more than
// a Flip.
int SteadySeconds(lua_State* L) {
  lua_pushnumber(
      L,
      std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
  return 1;
}

tessera::Host& ScriptHost() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush", "display"};
    auto h = tzx::bench::StartHost(options);
    lua_pushcfunction(h->L(), SteadySeconds);
    lua_setglobal(h->L(), "STEADY_SECONDS");
    tzx::bench::RunOrExit(
        *h,
        "FLIPPED = CreateDisplay(nil, {width = 1920, height = 1080, x = 0, y = 0}) "
        "OpenDisplay(FLIPPED) BeginDoubleBuffer() DisableVWait() "
        "CreateBrush(1, 40, 40, 0x336699) CreateBrush(2, 1920, 1080, 0x996633)");
    return h.release();
  }();
  return *host;
}

// Flip() as a script calls it, each time after `draw` (a chunk that changes
// the back buffer, untimed), timed by the script around the call; the peer
// copies the same rows for as many frames.
void FlipCommand(benchmark::State& state, const std::string& draw, const std::vector<Rect>& rects,
                 const tzx::bench::Row& row) {
  constexpr int kFrames = 20;
  tessera::Host& host = ScriptHost();
  tzx::bench::RunOrExit(host, "SelectDisplay(FLIPPED) function DRAW() " + draw + " end");
  const std::string chunk = "local spent = 0 for _ = 1, " + std::to_string(kFrames) +
                            " do DRAW() local t = STEADY_SECONDS() Flip() "
                            "spent = spent + STEADY_SECONDS() - t end FLIP_SECONDS = spent";
  Peer p;
  double ours = 0, peer = 0;
  for (auto _ : state) {
    tzx::bench::RunOrExit(host, chunk);
    lua_getglobal(host.L(), "FLIP_SECONDS");
    const double spent = lua_tonumber(host.L(), -1) / kFrames;
    lua_pop(host.L(), 1);
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFrames; ++frame) {
      for (const Rect& r : rects) p.CopyRect(r.x, r.y, r.w, r.h);
      benchmark::ClobberMemory();
    }
    ours += spent;
    peer += tzx::bench::Seconds(std::chrono::steady_clock::now() - start) / kFrames;
    state.SetIterationTime(spent);
  }
  const double runs = static_cast<double>(state.iterations());
  tzx::bench::Report(state, row, ours / runs, peer / runs);
}

void FlipSmallRectsCommand(benchmark::State& state) {
  const std::vector<Rect> rects = SmallRects();
  std::string draw;
  for (const Rect& r : rects) {
    draw += "DisplayBrush(1, " + std::to_string(r.x) + ", " + std::to_string(r.y) +
            ", {width = " + std::to_string(r.w) + ", height = " + std::to_string(r.h) + "}) ";
  }
  FlipCommand(state, draw, rects,
              {"Flip 100 dirty rectangles (command)", "memcpy", 0.8,
               "memcpy of each rectangle's rows, back to picture and picture to window"});
}

void FlipWholeBufferCommand(benchmark::State& state) {
  FlipCommand(state, "DisplayBrush(2, 0, 0)", {Rect{0, 0, kWidth, kHeight}},
              {"Flip whole 1920x1080 (command)", "memcpy", 0.95,
               "memcpy of the whole buffer's rows, back to picture and picture to window"});
}

BENCHMARK(FlipSmallRects)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(FlipWholeBuffer)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FlipSmallRectsCommand)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(FlipWholeBufferCommand)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
