// Measuring and drawing runs: topaz, a stored outline font, a bitmap font
// the test writes, synthesised and FreeType styles, effects; checked against
// the reference pictures in tests/images/text (binary PPM). Set
// TZX_UPDATE_IMAGES=1 to write them anew after a deliberate change.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/src/blits.h"
#include "graphics_fixtures.h"
#include "host_state.h"
#include "text/src/bindings.h"
#include "text/src/brush_fonts.h"
#include "text/src/font_discovery.h"
#include "text/src/fonts.h"
#include "text/src/glyph_blend.h"
#include "text/src/glyph_runs.h"
#include "text/src/outline_fonts.h"
#include "text/src/stored_fonts.h"
#include "text_font_builders.h"
#include "text_pictures.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace tzx::text {
namespace {

using graphics::testing::Bitmap;
using graphics::testing::ColorBitmap;
using graphics::testing::LiveBlocks;

class TextDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    blocks_ = LiveBlocks();
    gBound.graphics = &graphics::gInterface;
    ASSERT_EQ(InitFonts(), 0);
  }
  void TearDown() override {
    CloseFonts();
    gBound.graphics = nullptr;
    EXPECT_EQ(LiveBlocks(), blocks_) << "memory blocks leaked";
  }

  static FontRecord* Open(const char* name, int size, int cache = 1) {
    FontRecord* font = nullptr;
    const FontRequest r{name, size, kFontengineInbuilt, cache, 0, 0, nullptr, nullptr};
    EXPECT_EQ(OpenFontByName(r, &font), 0) << name;
    return font;
  }

  // Draws one run in white on black; returns the bitmap.
  static Bitmap Draw(FontRecord* font, const std::string& text, int flags, int width = 160,
                     int height = 32, int spacing = 0) {
    Bitmap b = ColorBitmap(width, height);
    graphics::FillBitmapRect(b.get(), 0, 0, width, height, 0xFF000000);
    const DrawTarget t{b.get(), {}, -1, 0xFFFFFF, flags, spacing};
    EXPECT_EQ(DrawRun(font, text.data(), static_cast<int>(text.size()), 0, 2, 2, t), 0);
    return b;
  }

 private:
  long blocks_ = 0;
};

TEST_F(TextDrawTest, Topaz) {
  FontRecord* topaz = TopazFont();
  const std::string text = "Topaz 8: \xC4\xD6\xDC \xE4\xF6\xFC \xDF @{}";
  TextExtent e;
  ASSERT_EQ(MeasureRun(topaz, text.data(), static_cast<int>(text.size()), 0, 0, 0, &e), 0);
  EXPECT_EQ(e.width, 8 * static_cast<int>(text.size()));
  EXPECT_EQ(e.height, 8);
  ExpectPicture(Draw(topaz, text, 0, 200, 12).get(), "topaz");
  ExpectPicture(Draw(topaz, "Bold Italic", graphics::kBold | graphics::kItalic, 100, 12).get(),
                "topaz_bold_italic");
}

TEST_F(TextDrawTest, StoredFontsWithTheirStyles) {
  FontRecord* sans = Open(kSans, 20);
  ASSERT_NE(sans, nullptr);
  const int aa = graphics::kAntialias;
  ExpectPicture(Draw(sans, "Vera Sans AVq", aa).get(), "vera_sans", 2);
  ExpectPicture(Draw(sans, "Bold AVq", aa | graphics::kBold).get(), "vera_sans_bold", 2);
  ExpectPicture(Draw(sans, "Italic AVq", aa | graphics::kItalic).get(), "vera_sans_italic", 2);
  ExpectPicture(Draw(sans, "Mono AVq", 0).get(), "vera_sans_mono_render", 0);
  // Pixel sizes name the ink height of the characters 33..255 (accented
  // capitals and descenders included), not the em size.
  std::string all;
  for (int c = 33; c < 256; ++c) all += static_cast<char>(c);
  TextExtent e;
  ASSERT_EQ(MeasureRun(sans, all.data(), static_cast<int>(all.size()), 0, aa, 0, &e), 0);
  EXPECT_NEAR(e.inkBottom - e.inkY + 1, 20, 1);
  EXPECT_EQ(sans->height, 20);
  ASSERT_EQ(MeasureRun(sans, "Aq", 2, 0, aa, 0, &e), 0);
  // Bold is wider: FreeType emboldens the outlines.
  TextExtent bold;
  ASSERT_EQ(MeasureRun(sans, "Aq", 2, 0, aa | graphics::kBold, 0, &bold), 0);
  EXPECT_GT(bold.width, e.width);
}

TEST_F(TextDrawTest, SharingAndTheUncachedRecord) {
  FontRecord* a = Open(kSans, 20);
  FontRecord* b = Open(kSans, 20);
  FontRecord* c = Open(kSans, 20, 0);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  // Cached codes are rendered once per mode; codes from 256 every time.
  GlyphImage g1, g2, g3;
  ASSERT_EQ(OutlineGlyph(a, 0x41, graphics::kAntialias, &g1), 0);
  ASSERT_EQ(OutlineGlyph(a, 0x41, graphics::kAntialias, &g2), 0);
  ASSERT_EQ(OutlineGlyph(a, 0x41, 0, &g3), 0);
  EXPECT_EQ(g1.pixels, g2.pixels);
  EXPECT_NE(g1.pixels, g3.pixels);
  EXPECT_TRUE(g3.mono);
  auto* data = static_cast<OutlineFontData*>(a->engineData);
  EXPECT_TRUE(data->glyphCache->antialiased[0x41].filled);
  EXPECT_FALSE(data->glyphCache->antialiased[0x42].filled);
  ASSERT_EQ(OutlineGlyph(a, 0x141, graphics::kAntialias, &g1), 0);
  EXPECT_EQ(g1.pixels, a->engineData ? data->face->glyph->bitmap.buffer : nullptr);
  FreeGlyphCache(a);
  EXPECT_EQ(data->glyphCache, nullptr);
  // The uncached record keeps nothing.
  ASSERT_EQ(OutlineGlyph(c, 0x41, graphics::kAntialias, &g1), 0);
  EXPECT_EQ(static_cast<OutlineFontData*>(c->engineData)->glyphCache, nullptr);
}

// Glyphs drawn as soon as they are loaded are rendered from their outline
// into a reused bitmap: box, advance and every pixel are what FreeType's own
// rendering gives, for plain, emboldened and slanted outlines (left bearings
// below zero among them), codes above 255, and a box cut by the canvas edge.
TEST_F(TextDrawTest, GlyphsRenderedFromTheirOutlineMatchFreeTypesBitmaps) {
  FontRecord* serif = Open(kSerif, 23, 0);
  ASSERT_NE(serif, nullptr);
  std::vector<uint32_t> codes;
  for (uint32_t code = 32; code < 256; ++code) codes.push_back(code);
  codes.insert(codes.end(), {0x141, 0x2014, 0x20AC});
  const int aa = graphics::kAntialias;
  for (int flags : {aa, aa | graphics::kBold, aa | graphics::kItalic,
                    aa | graphics::kBold | graphics::kItalic}) {
    for (uint32_t code : codes) {
      std::vector<uint32_t> a(48 * 40, 0xFF102030u), b = a;
      GlyphCanvas ca, cb;
      InitCanvas(&ca, reinterpret_cast<uint8_t*>(a.data()), 48 * 4, graphics::kFormatArgb32,
                 kCanvasColor, 48, 40);
      InitCanvas(&cb, reinterpret_cast<uint8_t*>(b.data()), 48 * 4, graphics::kFormatArgb32,
                 kCanvasColor, 48, 40);
      ca.color = cb.color = 0xF0E0D0;
      GlyphImage rendered, outline;
      ASSERT_EQ(OutlineGlyph(serif, code, flags, &rendered), 0);
      const int x = code % 7 == 0 ? -3 : 8, y = 30 - rendered.top;
      BlendCoverage(&ca, x + rendered.left, y, rendered.pixels, rendered.pitch, rendered.width,
                    rendered.rows);
      ASSERT_EQ(OutlineGlyph(serif, code, flags, &outline, true), 0);
      ASSERT_NE(outline.outline, nullptr) << code;
      EXPECT_EQ(std::make_tuple(outline.left, outline.top, outline.width, outline.rows,
                                outline.advance, outline.glyphIndex),
                std::make_tuple(rendered.left, rendered.top, rendered.width, rendered.rows,
                                rendered.advance, rendered.glyphIndex))
          << "code " << code << " flags " << flags;
      ASSERT_EQ(DrawGlyphOutline(&cb, outline, x + outline.left, y), 0);
      ASSERT_EQ(a, b) << "code " << code << " flags " << flags;
      EXPECT_EQ(std::make_tuple(ca.dirtyX0, ca.dirtyY0, ca.dirtyX1, ca.dirtyY1),
                std::make_tuple(cb.dirtyX0, cb.dirtyY0, cb.dirtyX1, cb.dirtyY1));
    }
  }
}

// Kerning goes through a small cache of pairs: whatever the order and
// however pairs share its slots, a pair keeps the value the face gives it
// (the first pass finds every pair new).
TEST_F(TextDrawTest, KerningPairsKeepTheirValuesThroughTheCache) {
  FontRecord* sans = Open(kSans, 40);
  ASSERT_NE(sans, nullptr);
  constexpr int kGlyphs = 200;
  std::vector<int> first(kGlyphs * kGlyphs);
  int kerned = 0;
  for (int a = 1; a < kGlyphs; ++a) {
    for (int b = 1; b < kGlyphs; ++b) {
      first[a * kGlyphs + b] = OutlineKerning(sans, a, b);
      kerned += first[a * kGlyphs + b] != 0;
    }
  }
  EXPECT_GT(kerned, 50) << "the face kerns";
  for (int a = kGlyphs - 1; a >= 1; --a) {
    for (int b = kGlyphs - 1; b >= 1; --b) {
      ASSERT_EQ(OutlineKerning(sans, a, b), first[a * kGlyphs + b]) << a << ", " << b;
    }
  }
  // 'A' before 'V' moves closer, by the same amount from the characters.
  EXPECT_LT(OutlineKerningPair(sans, 'A', 'V', 0), 0);
}

TEST_F(TextDrawTest, ScaleMovesMetricsAndSharingResetsIt) {
  FontRecord* sans = Open(kSans, 20);
  GlyphImage g;
  ASSERT_EQ(OutlineGlyph(sans, 'A', graphics::kAntialias, &g), 0);
  const int width = g.width;
  SetFontScale(sans, 2.0, 2.0);
  EXPECT_EQ(sans->height, 40);
  EXPECT_EQ(static_cast<OutlineFontData*>(sans->engineData)->glyphCache, nullptr);
  ASSERT_EQ(OutlineGlyph(sans, 'A', graphics::kAntialias, &g), 0);
  EXPECT_NEAR(g.width, 2 * width, 2);
  // Asking for the same font again gives it back at 1:1.
  EXPECT_EQ(Open(kSans, 20), sans);
  EXPECT_EQ(sans->height, 20);
  EXPECT_EQ(sans->scaleX, 1.0);
  // Bitmap fonts do not scale.
  SetFontScale(TopazFont(), 2.0, 2.0);
  EXPECT_EQ(TopazFont()->height, 8);
}

TEST_F(TextDrawTest, BrushFontCells) {
  Bitmap grid = ColorBitmap(8, 4);
  graphics::testing::Paint(grid.get(), [](int x, int) { return x < 4 ? 0xFF0000u : 0x00FF00u; });
  graphics::BrushRecordHead head{};
  head.bitmap = grid.get();
  head.width = 8;
  head.height = 4;
  head.transparentPen = -1;
  const int32_t widths[2] = {4, 6};
  const BrushFontRequest r{"AB", 2, 4, 4, 2, 0, 0, 3, "Cells", widths};
  FontRecord* font = nullptr;
  ASSERT_EQ(BuildBrushFont(head, r, &font), 0);
  EXPECT_EQ(font->kind, kFontBrush);
  TextExtent e;
  ASSERT_EQ(MeasureRun(font, "BAx", 3, 0, 0, 0, &e), 0);
  EXPECT_EQ(e.width, 6 + 4 + 4);  // a character not in the string advances a cell
  EXPECT_EQ(e.inkRight, 13);
  Bitmap b = Draw(font, "BAx", 0, 24, 8);
  EXPECT_EQ(graphics::ReadPixel(b.get(), 2, 2, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(graphics::ReadPixel(b.get(), 2 + 6, 2, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(graphics::ReadPixel(b.get(), 2 + 10, 2, 0) & 0xFFFFFF, 0u);
  // Too small a brush for the grid.
  const BrushFontRequest wide{"ABC", 3, 4, 4, 3, 0, 0, 3, "Cells", nullptr};
  FontRecord* none = nullptr;
  EXPECT_EQ(BuildBrushFont(head, wide, &none), kErrBrushTooSmall);
  FreeBrushFont(font);
}

TEST_F(TextDrawTest, NegativeSpacingKeepsThePen) {
  FontRecord* topaz = TopazFont();
  TextExtent e;
  ASSERT_EQ(MeasureRun(topaz, "abc", 3, 0, 0, -20, &e), 0);
  EXPECT_EQ(e.width, 0);
  // Every glyph lands at the same x: the picture equals "a", "b", "c" drawn over each other.
  Bitmap all = Draw(topaz, "ab", 0, 20, 12, -20);
  Bitmap a = Draw(topaz, "a", 0, 20, 12);
  Bitmap b = Draw(topaz, "b", 0, 20, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(graphics::ReadPixel(all.get(), x, y, 0),
                graphics::ReadPixel(a.get(), x, y, 0) | graphics::ReadPixel(b.get(), x, y, 0));
}

class BitmapFontFiles : public TextDrawTest {
 protected:
  void SetUp() override {
    TextDrawTest::SetUp();
    folder_ = std::string(TZX_TEST_TMP) + "/text_fonts";
    std::filesystem::create_directories(folder_ + "/blocky");
    Write(folder_ + "/blocky.font",
          testing::ContentsFile(0x0F00, {{"::incomplete", 5}, {"blocky/5", 5}, {"blocky/5", 5}}));
    testing::AmigaSizeFile f;
    f.ySize = 5;
    f.baseline = 4;
    f.xSize = 6;
    f.loChar = 'a';
    f.hiChar = 'b';
    f.glyphs = {{"####.", "#..#.", "####.", "#..#.", "#..#."},
                {"###..", "#..#.", "###..", "#..#.", "###.."},
                {"#####", "#...#", "#...#", "#...#", "#####"}};
    Write(folder_ + "/blocky/5", f.Build());
  }
  static void Write(const std::string& path, const testing::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::string folder_;
};

TEST_F(BitmapFontFiles, OpensByPathAndDrawsTheUndefinedGlyph) {
  const std::string path = folder_ + "/blocky.font";
  FontRecord* font = nullptr;
  FontRequest r{path.c_str(), 5, kFontengineNative, 1, 0, 0, nullptr, nullptr};
  ASSERT_EQ(OpenFontByName(r, &font), 0);
  EXPECT_EQ(font->kind, kFontBitmap);
  EXPECT_EQ(font->height, 5);
  EXPECT_EQ(font->ascender, 4);
  EXPECT_STREQ(font->format, "Amiga bitmap");
  // 'z' is outside 'a'..'b': the box of the last glyph is drawn.
  ExpectPicture(Draw(font, "abz", 0, 24, 9).get(), "bitmap_font");
  // A size the contents file lists only as "::incomplete" does not open.
  FontRecord* none = nullptr;
  r.size = 4;
  EXPECT_EQ(OpenFontByName(r, &none), kErrOpenFont);
}

// Fonts linked into the program: the header, then the font file; a linked
// contents file names its size files by their linked names.
TEST_F(BitmapFontFiles, LinkedFontsOpenFromBehindTheirHeader) {
  auto header = [](uint32_t flags, const testing::Bytes& block) {
    testing::Bytes h;
    auto big32 = [&h](uint32_t v) {
      for (int shift = 24; shift >= 0; shift -= 8) h.push_back(uint8_t(v >> shift));
    };
    big32(flags);
    if (flags & 2) {
      big32(static_cast<uint32_t>(block.size()));
      h.insert(h.end(), block.begin(), block.end());
    }
    return h;
  };
  auto join = [](testing::Bytes a, const testing::Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  std::ifstream sizeFile(folder_ + "/blocky/5", std::ios::binary);
  const testing::Bytes size5((std::istreambuf_iterator<char>(sizeFile)), {});
  Write(folder_ + "/linked_size", size5);
  Write(
      folder_ + "/linked_contents",
      join(header(2, {9, 9, 9}), testing::ContentsFile(0x0F00, {{"::linkedfont1*blocky5/5", 5}})));
  const StoredFont& vera = kStoredFonts[0];
  Write(folder_ + "/linked_outline",
        join(header(1, {}), testing::Bytes(vera.data, vera.data + vera.length)));
  // A block that ends exactly where the linked data does leaves an empty
  // font file; one byte longer and the header itself is short.
  Write(folder_ + "/linked_exact", header(2, {1, 2, 3}));
  testing::Bytes cut = header(2, {1, 2, 3});
  cut[7] = 4;
  Write(folder_ + "/linked_cut", cut);
  auto& linked = host::State().linkedFiles;
  const auto saved = linked;
  linked = {{"fonts/blocky.font", folder_ + "/linked_contents"},
            {"blocky5", folder_ + "/linked_size"},
            {"fonts/Vera.ttf", folder_ + "/linked_outline"},
            {"fonts/exact.ttf", folder_ + "/linked_exact"},
            {"fonts/cut.ttf", folder_ + "/linked_cut"}};

  FontRecord* font = nullptr;
  FontRequest r{"fonts/blocky.font", 5, kFontengineNative, 1, 0, 0, nullptr, nullptr, 1};
  ASSERT_EQ(OpenFontByName(r, &font), 0);
  EXPECT_EQ(font->kind, kFontBitmap);
  ExpectPicture(Draw(font, "abz", 0, 24, 9).get(), "bitmap_font");
  FontRecord* again = nullptr;
  ASSERT_EQ(OpenFontByName(r, &again), 0);
  EXPECT_EQ(again, font) << "shared under the name it was asked by";

  FontRecord* outline = nullptr;
  FontRecord* stored = nullptr;
  r = FontRequest{"fonts/Vera.ttf", 20, kFontengineInbuilt, 1, 0, 0, nullptr, nullptr, 1};
  ASSERT_EQ(OpenFontByName(r, &outline), 0);
  EXPECT_EQ(outline->kind, kFontOutline);
  r = FontRequest{kSans, 20, kFontengineInbuilt, 1, 0, 0, nullptr, nullptr};
  ASSERT_EQ(OpenFontByName(r, &stored), 0);
  TextExtent a, b;
  ASSERT_EQ(MeasureRun(outline, "Linked", 6, 0, 0, 0, &a), 0);
  ASSERT_EQ(MeasureRun(stored, "Linked", 6, 0, 0, 0, &b), 0);
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(outline->height, stored->height);

  // Not linked: the name is an ordinary path, which does not exist.
  r = FontRequest{"fonts/none.ttf", 20, kFontengineInbuilt, 1, 0, 0, nullptr, nullptr, 1};
  EXPECT_EQ(OpenFontByName(r, &font), kErrOpenFont);
  r.name = "fonts/exact.ttf";
  EXPECT_EQ(OpenFontByName(r, &font), kErrOpenFont);
  r.name = "fonts/cut.ttf";
  EXPECT_EQ(OpenFontByName(r, &font), kErrRead);
  linked = saved;
}

TEST_F(BitmapFontFiles, FontPathsListingAndFindingByName) {
  Write(folder_ + "/sizes.font",
        testing::ContentsFile(0x0F00, {{"sizes/8", 8}, {"sizes/8", 8}, {"sizes/11", 11}}));
  Write(folder_ + "/broken.font", testing::ContentsFile(0x1234, {{"broken/8", 8}}));
  EXPECT_EQ(AddFontPath((folder_ + "/no such folder").c_str()), kErrOpenDir);
  ASSERT_EQ(AddFontPath(folder_.c_str()), 0);
  ASSERT_EQ(AddFontPath(folder_.c_str()), 0);  // once only

  const AvailableFont* list;
  ASSERT_EQ(RebuildAvailableFontsForListing(&list), 0);
  const AvailableFont* sizes = nullptr;
  int ours = 0;
  for (const AvailableFont* f = list; f; f = f->next) {
    if (std::string(f->path).rfind(folder_, 0) != 0) continue;
    ++ours;
    if (std::string(f->family) == "sizes") sizes = f;
  }
  EXPECT_EQ(ours, 2);  // "broken" is no font
  ASSERT_NE(sizes, nullptr);
  EXPECT_TRUE(sizes->bitmap);
  ASSERT_EQ(sizes->sizeCount, 2);
  EXPECT_EQ(sizes->sizes[0], 8);
  EXPECT_EQ(sizes->sizes[1], 11);
  EXPECT_EQ(sizes->weight, 80);

  // A bare name, with or without ".font", is found in the font paths.
  for (const char* name : {"blocky", "blocky.font"}) {
    FontRecord* font = nullptr;
    const FontRequest r{name, 5, kFontengineNative, 1, 0, 0, nullptr, nullptr};
    ASSERT_EQ(OpenFontByName(r, &font), 0) << name;
    EXPECT_EQ(font->kind, kFontBitmap);
  }
  int kind = -1;
  SystemFontHit hit;
  EXPECT_EQ(FindFontFile("blocky", &kind, &hit), 0);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(FindFontFile("broken", &kind, &hit), kErrBadFontFile);
  EXPECT_EQ(FindFontFile("No Such Font At All", &kind, &hit), kErrFontNotFound);
}

TEST_F(TextDrawTest, ShadowEdgeAndUnderline) {
  FontRecord* sans = Open(kSans, 16);
  graphics::TextStyle style{};
  style.flags = graphics::kAntialias | graphics::kShadow | graphics::kEdge | graphics::kUnderlined;
  style.fontColor = 0xFFFFFF;
  style.shadowColor = 0x80000000;  // black at half strength
  style.borderColor = 0x0093DD;
  style.shadowSize = 3;
  style.shadowDir = 3;
  style.borderSize = 1;
  style.font = sans;
  const char* text = "Effects";
  PlacedRun run{4, 4, text, 7, style, {}, 0};
  ASSERT_EQ(MeasureRun(sans, text, 7, 0, style.flags, 0, &run.extent), 0);
  Bitmap b = ColorBitmap(90, 30);
  graphics::FillBitmapRect(b.get(), 0, 0, 90, 30, 0xFF808080);
  const DrawTarget t{b.get(), {}, -1, 0xFFFFFF, style.flags, 0};
  ASSERT_EQ(DrawPlacedRuns(&run, 1, 0, 0, 0, 0, t, 0), 0);
  ExpectPicture(b.get(), "effects", 2);
}

TEST_F(TextDrawTest, ClippingAndTargets) {
  FontRecord* topaz = TopazFont();
  // A clip rectangle keeps the run inside.
  Bitmap b = ColorBitmap(40, 12);
  graphics::FillBitmapRect(b.get(), 0, 0, 40, 12, 0xFF000000);
  const DrawTarget t{b.get(), {0, 0, 10, 12}, -1, 0xFFFFFF, 0, 0};
  ASSERT_EQ(DrawRun(topaz, "MMMM", 4, 0, 2, 2, t), 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 10; x < 40; ++x) EXPECT_EQ(graphics::ReadPixel(b.get(), x, y, 0) & 0xFFFFFF, 0u);
  // Without a current output there is nothing to draw into.
  const DrawTarget output{nullptr, {}, -1, 0xFFFFFF, 0, 0};
  EXPECT_EQ(DrawRun(topaz, "M", 1, 0, 0, 0, output), kErrNoOutput);
}

}  // namespace
}  // namespace tzx::text
