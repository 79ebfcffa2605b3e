// A 2000-character paragraph at 24 px, antialiased and word-wrapped to 600
// pixels into a 32-bit output: TextOut through the host against SDL_ttf's
// TTF_RenderUTF8_Blended_Wrapped of the same font file at the size with the
// same line height (SDL_ttf sizes by the em, our pixel mode by the ink).
#include <benchmark/benchmark.h>
#include <lua.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "compare.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/graphics_state.h"
#include "script_host.h"
#include "tessera/host.h"
#include "text/src/bindings.h"
#include "text/src/fonts.h"
#include "text/src/print.h"
#include "text/src/print_glue.h"
#include "tzx/graphics_constants.h"

#ifdef TZX_HAVE_SDL_TTF
#include <SDL2/SDL_ttf.h>
#endif

namespace {

constexpr int kWrapWidth = 600;
constexpr char kFontFile[] = "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf";

// Words of varied length, in a fixed order, up to 2000 characters.
std::string Paragraph() {
  static const char* kWords[] = {"layout", "of",     "text",      "wraps", "words",   "at",
                                 "the",    "border", "measuring", "each",  "glyph's", "advance",
                                 "and",    "ink",    "a",         "quick", "brown",   "fox"};
  std::string s;
  for (size_t i = 0; s.size() < 2000; ++i) {
    if (!s.empty()) s += ' ';
    s += kWords[(i * 7 + i / 3) % (sizeof(kWords) / sizeof(kWords[0]))];
  }
  s.resize(2000);
  return s;
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush", "text"};
    options.siblings = {"object", "offscreen"};
    auto h = tzx::bench::StartHost(options);
    return h.release();
  }();
  return *host;
}

void RunLua(const std::string& code) {
  tzx::bench::RunOrExit(Host(), code);
}

#ifdef TZX_HAVE_SDL_TTF
// The point size whose line height is closest to `height`.
TTF_Font* OpenSameHeight(int height) {
  TTF_Font* best = nullptr;
  for (int size = 10; size <= 40; ++size) {
    TTF_Font* f = TTF_OpenFont(kFontFile, size);
    if (!f) return nullptr;
    if (!best || std::abs(TTF_FontHeight(f) - height) < std::abs(TTF_FontHeight(best) - height)) {
      if (best) TTF_CloseFont(best);
      best = f;
    } else {
      TTF_CloseFont(f);
    }
  }
  return best;
}

void BM_TextOutWrappedVsSdlTtf(benchmark::State& state) {
  const std::string text = Paragraph();
  RunLua("TEXT = [[" + text + "]]");
  RunLua(
      "CreateBrush(1, 600, 1400, 0) SelectBrush(1) SetFont(':::default_sans', 24) "
      "SetFontStyle(ANTIALIAS) function Draw() TextOut(0, 0, TEXT, {wordwrap = 600}) end "
      "HEIGHT = TextHeight('a')");
  lua_State* L = Host().L();
  lua_getglobal(L, "HEIGHT");
  const int height = static_cast<int>(lua_tonumber(L, -1));
  lua_pop(L, 1);
  if (TTF_Init() != 0) {
    state.SkipWithError("TTF_Init failed");
    return;
  }
  TTF_Font* font = OpenSameHeight(height);
  if (!font) {
    state.SkipWithError("Vera.ttf is missing");
    return;
  }
  tzx::bench::CompareInTurn(
      state, [] { RunLua("Draw()"); },
      [&] {
        SDL_Color white = {255, 255, 255, 255};
        SDL_Surface* s = TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), white, kWrapWidth);
        benchmark::DoNotOptimize(s);
        SDL_FreeSurface(s);
      },
      tzx::bench::Row{"TextOut 2000 chars wrapped (command)", "SDL_ttf", 1.0,
                      "TTF_RenderUTF8_Blended_Wrapped of the same text, font and line height"});
  state.counters["line_height"] = height;
  state.counters["sdl_ttf_line_height"] = TTF_FontHeight(font);
  TTF_CloseFont(font);
  TTF_Quit();
  RunLua("EndSelect() FreeBrush(1)");
}
BENCHMARK(BM_TextOutWrappedVsSdlTtf)->Unit(benchmark::kMillisecond)->UseManualTime();

// The same drawing without the host: the layout and the glyph drawing of
// TextOut called directly, into a 32-bit output of the graphics core.
void BM_TextOutCoreWrappedVsSdlTtf(benchmark::State& state) {
  using namespace tzx;
  const std::string text = Paragraph();
  text::gBound.graphics = &graphics::gInterface;
  if (text::InitFonts() != 0) {
    state.SkipWithError("fonts do not start");
    return;
  }
  text::FontRecord* font = nullptr;
  const text::FontRequest request{":::default_sans", 24, 4, 1, 0, 0, nullptr, nullptr};
  graphics::BitmapHandle* bitmap = graphics::AllocBitmapOfFormat(kWrapWidth, 1400, 10);
  graphics::OutputRecord output{};
  output.kind = graphics::kOutputBrush;
  output.color = bitmap;
  output.width = kWrapWidth;
  output.height = 1400;
  graphics::OutputRecord* previous = *graphics::gInterface.currentOutput;
  *graphics::gInterface.currentOutput = &output;
  TTF_Init();
  TTF_Font* peer = nullptr;
  if (text::OpenFontByName(request, &font) == 0 && (peer = OpenSameHeight(font->height))) {
    text::TextStyle& style = text::CurrentStyle();
    style.font = font;
    style.flags = graphics::kAntialias;
    text::LayoutRequest r;
    r.style = style;
    r.text = text.data();
    r.length = text.size();
    r.encoding = 1;
    r.wrapWidth = kWrapWidth;
    text::DefaultListSettings(&r);
    tzx::bench::CompareInTurn(
        state,
        [&] {
          text::Layout layout;
          if (text::DrawText(nullptr, r, 0, 0, false, nullptr, &layout) != 0) std::exit(1);
        },
        [&] {
          SDL_Color white = {255, 255, 255, 255};
          SDL_Surface* s = TTF_RenderUTF8_Blended_Wrapped(peer, text.c_str(), white, kWrapWidth);
          benchmark::DoNotOptimize(s);
          SDL_FreeSurface(s);
        },
        tzx::bench::Row{"TextOut 2000 chars wrapped (core)", "SDL_ttf", 1.0,
                        "TTF_RenderUTF8_Blended_Wrapped of the same text, font and line height"});
    TTF_CloseFont(peer);
  } else {
    state.SkipWithError("the stored font or Vera.ttf does not open");
  }
  TTF_Quit();
  *graphics::gInterface.currentOutput = previous;
  graphics::FreeBitmap(bitmap);
  text::CloseFonts();
  text::gBound.graphics = nullptr;
}
BENCHMARK(BM_TextOutCoreWrappedVsSdlTtf)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

}  // namespace
