// Glyph drawing against its peers, each pair run in turn in every iteration:
// a 2000-character paragraph in Bitstream Vera Sans at 24 pixels, drawn in
// one run with cached glyphs into a 32-bit bitmap, against SDL_ttf's
// TTF_RenderUTF8_Blended of the same text, file and glyph size (SDL_ttf makes
// and fills a new surface each call; ours clears its bitmap each call); and
// the same run drawn with every glyph rendered anew (a font opened with
// "cache" False) against a plain FreeType FT_Load_Char(FT_LOAD_RENDER) loop
// over the text, which renders without drawing (ours draws each glyph, over
// the last call's text, without clearing). glyphs_per_s counts ours.
#if TZX_HAVE_SDL_TTF
#include <SDL2/SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "compare.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/blits.h"
#include "graphics/src/graphics_state.h"
#include "text/src/bindings.h"
#include "text/src/fonts.h"
#include "text/src/glyph_runs.h"
#include "text/src/outline_fonts.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace {

using namespace tzx;

constexpr char kVera[] = "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf";
constexpr int kPixels = 24;

std::string Paragraph() {
  const std::string words =
      "The quick brown fox jumps over the lazy dog while five boxing wizards jump quickly. ";
  std::string text;
  while (text.size() < 2000) text += words;
  text.resize(2000);
  return text;
}

struct Fonts {
  text::FontRecord* cached = nullptr;
  text::FontRecord* uncached = nullptr;
  int ftPixels = 0;  // the FreeType pixel size our 24-pixel font set
  Fonts() {
    text::gBound.graphics = &graphics::gInterface;
    text::InitFonts();
    text::FontRequest r{text::kSans, kPixels, text::kFontengineInbuilt, 1, 0, 0, nullptr, nullptr};
    text::OpenFontByName(r, &cached);
    r.cache = 0;
    text::OpenFontByName(r, &uncached);
    ftPixels = static_cast<text::OutlineFontData*>(cached->engineData)->pixelSize - 1;
  }
  ~Fonts() { text::CloseFonts(); }
};

void DrawParagraph(benchmark::State& state, bool cached) {
  Fonts fonts;
  const std::string text = Paragraph();
  text::TextExtent e;
  text::FontRecord* font = cached ? fonts.cached : fonts.uncached;
  text::MeasureRun(font, text.data(), 2000, 0, graphics::kAntialias, 0, &e);
  const int width = e.width + 8, height = font->height + 8;
  graphics::BitmapHandle* bitmap =
      graphics::AllocBitmapOfFormat(width, height, graphics::kFormatArgb32);
  const text::DrawTarget target{bitmap, {}, -1, 0xFFFFFF, graphics::kAntialias, 0};
  // Against SDL_ttf, which fills a new surface per call, ours clears its
  // bitmap per call; against FreeType, which draws nothing, it is cleared once.
  graphics::FillBitmapRect(bitmap, 0, 0, width, height, 0);
  auto ours = [&] {
    if (cached) graphics::FillBitmapRect(bitmap, 0, 0, width, height, 0);
    text::DrawRun(font, text.data(), 2000, 0, 2, 2, target);
  };
  if (cached) {
    TTF_Init();
    TTF_Font* peerFont = TTF_OpenFont(kVera, fonts.ftPixels);
    const SDL_Color white{255, 255, 255, 255};
    tzx::bench::CompareInTurn(
        state, ours,
        [&] {
          SDL_Surface* s = TTF_RenderUTF8_Blended(peerFont, text.c_str(), white);
          benchmark::DoNotOptimize(s);
          SDL_FreeSurface(s);
        },
        tzx::bench::Row{"glyphs cached 2000 (core)", "SDL_ttf", 1.0,
                        "TTF_RenderUTF8_Blended of the same text into a new surface"});
    TTF_CloseFont(peerFont);
    TTF_Quit();
  } else {
    FT_Library library;
    FT_Init_FreeType(&library);
    FT_Face face;
    FT_New_Face(library, kVera, 0, &face);
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(fonts.ftPixels), 0);
    tzx::bench::CompareInTurn(
        state, ours,
        [&] {
          for (char c : text) {
            FT_Load_Char(face, static_cast<uint8_t>(c), FT_LOAD_RENDER);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
          }
        },
        tzx::bench::Row{"glyphs uncached 2000 (core)", "FreeType", 0.9,
                        "FT_Load_Char(FT_LOAD_RENDER) per character, without drawing; ours draws"});
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  state.counters["glyphs_per_s"] = benchmark::Counter(
      2000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  graphics::FreeBitmap(bitmap);
}

void BM_GlyphsCached(benchmark::State& state) {
  DrawParagraph(state, true);
}
void BM_GlyphsUncached(benchmark::State& state) {
  DrawParagraph(state, false);
}

BENCHMARK(BM_GlyphsCached)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphsUncached)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
#endif  // TZX_HAVE_SDL_TTF
