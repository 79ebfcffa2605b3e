// A 40-character text object drawn 10,000 times at its own size through
// DisplayTextObject, against DisplayBrush of a brush of the same size and
// pixels (the object's colour plane and its coverage as the brush's alpha
// channel): a text object is a cached picture, so it should cost what the
// brush costs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "compare.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush", "text"};
    options.siblings = {"object", "offscreen"};
    auto h = tzx::bench::StartHost(options);
    // The brush takes the object's pixels: its colour everywhere, the text's
    // coverage in its alpha channel, drawn there by the object itself.
    tzx::bench::RunOrExit(*h, R"(
      SetFont(SANS, 16)
      SetFontStyle(ANTIALIAS)
      SetFontColor(0xF0E0A0)
      CreateTextObject(1, "The quick brown fox jumps over a lazy do")
      assert(#GetAttribute(TEXTOBJECT, 1, ATTRTEXT) == 40)
      local w = GetAttribute(TEXTOBJECT, 1, ATTRWIDTH)
      local h = GetAttribute(TEXTOBJECT, 1, ATTRHEIGHT)
      local ax = GetAttribute(TEXTOBJECT, 1, ATTRADJUSTX)
      local ay = GetAttribute(TEXTOBJECT, 1, ATTRADJUSTY)
      CreateBrush(2, w, h, 0xF0E0A0, {alphachannel = true, clear = true})
      SelectBrush(2, ALPHACHANNEL)
      DisplayTextObject(1, -ax, -ay)
      EndSelect()
      -- Both draw the same pixels, or the comparison means nothing.
      CreateBrush(4, w + 40, h + 40, 0x203040)
      CreateBrush(5, w + 40, h + 40, 0x203040)
      SelectBrush(4) DisplayTextObject(1, 20, 20) EndSelect()
      SelectBrush(5) DisplayBrush(2, 20 + ax, 20 + ay) EndSelect()
      for y = 0, h + 39 do
        for x = 0, w + 39 do
          assert(ReadBrushPixel(4, x, y) == ReadBrushPixel(5, x, y), "pixels differ")
        end
      end
      CreateBrush(3, 640, 480, 0x203040)
      brush_x, brush_y = 20 + ax, 20 + ay
      SelectBrush(3)
    )");
    return h.release();
  }();
  return *host;
}

void BM_DisplayTextObjectVsDisplayBrush(benchmark::State& state) {
  tessera::Host& host = Host();
  const tzx::bench::Row kRow{"DisplayTextObject 40 chars x10000 (command)", "DisplayBrush", 0.9,
                             "DisplayBrush x10000 of a brush with the object's size and pixels"};
  tzx::bench::CompareInTurn(
      state,
      [&] { tzx::bench::RunOrExit(host, "for i = 1, 10000 do DisplayTextObject(1, 20, 20) end"); },
      [&] {
        tzx::bench::RunOrExit(host, "for i = 1, 10000 do DisplayBrush(2, brush_x, brush_y) end");
      },
      kRow);
}
BENCHMARK(BM_DisplayTextObjectVsDisplayBrush)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
