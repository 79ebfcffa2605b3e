// The font file readers on bytes the tests build: Amiga contents and size
// files (monochrome and colour), sfnt name tables, collections, resource
// forks, and the style words.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/src/amiga_fonts.h"
#include "text/src/font_discovery.h"
#include "text/src/font_names.h"
#include "text_font_builders.h"
#include "tzx/frame.h"

namespace tzx::text {
namespace {

using testing::AmigaSizeFile;
using testing::ContentsFile;
using testing::Sfnt;

TEST(AmigaContents, SizesAreDistinctInEntryOrder) {
  const auto file = ContentsFile(0x0F00, {{"f/11", 11}, {"f/8", 8}, {"f/8b", 8}, {"f/11b", 11}});
  uint8_t sizes[256];
  ASSERT_EQ(ContentsSizes(file.data(), file.size(), sizes), 2);
  EXPECT_EQ(sizes[0], 11);
  EXPECT_EQ(sizes[1], 8);
  // Outline contents and unknown ids list no sizes.
  const auto outline = ContentsFile(0x0F03, {{"f/8", 8}});
  EXPECT_EQ(ContentsSizes(outline.data(), outline.size(), sizes), 0);
  const auto other = ContentsFile(0x1234, {{"f/8", 8}});
  EXPECT_EQ(ContentsSizes(other.data(), other.size(), sizes), 0);
}

TEST(AmigaContents, IncompleteEntriesAreNeverChosen) {
  const auto file = ContentsFile(0x0F02, {{"::incomplete", 9}, {"f/8", 8}, {"f/9", 9}});
  char name[256];
  ASSERT_TRUE(FindContentsEntry(file.data(), file.size(), 9, name));
  EXPECT_STREQ(name, "f/9");
  const auto only = ContentsFile(0x0F00, {{"::incomplete", 9}});
  EXPECT_FALSE(FindContentsEntry(only.data(), only.size(), 9, name));
  EXPECT_FALSE(FindContentsEntry(file.data(), file.size(), 12, name));
}

TEST(AmigaContents, ClaimedEntriesBeyondTheFileAreNotRead) {
  auto file = ContentsFile(0x0F00, {{"f/8", 8}, {"f/9", 9}});
  file[3] = 200;                 // claims 200 entries
  file.resize(file.size() - 1);  // and the last one is cut short
  char name[256];
  EXPECT_TRUE(FindContentsEntry(file.data(), file.size(), 8, name));
  EXPECT_FALSE(FindContentsEntry(file.data(), file.size(), 9, name));
  uint8_t sizes[256];
  EXPECT_EQ(ContentsSizes(file.data(), 1, sizes), 0);
}

TEST(AmigaContents, LinkedNames) {
  EntryName e;
  ASSERT_TRUE(ParseEntryName(":::chunk12*fonts/x/8", &e));
  EXPECT_EQ(e.kind, EntryNameKind::kLinked);
  EXPECT_EQ(e.linkNumber, 12);
  EXPECT_EQ(std::string(e.linked, e.linkedLength), "fonts/x/8");
  ASSERT_TRUE(ParseEntryName("::linkedfont3*data.bin/8", &e));
  EXPECT_EQ(std::string(e.linked, e.linkedLength), "data.bin");
  EXPECT_FALSE(ParseEntryName("::linkedfont3data", &e));
  ASSERT_TRUE(ParseEntryName("ruby/8", &e));
  EXPECT_EQ(e.kind, EntryNameKind::kRelative);
}

TEST(AmigaSizeFile, MonochromeWithSpacingAndKerning) {
  AmigaSizeFile f;
  f.ySize = 3;
  f.baseline = 2;
  f.loChar = 'A';
  f.hiChar = 'B';
  f.glyphs = {{"#.#", "###", "#.#"}, {"##", "#.", "##"}, {"#", "#", "#"}};
  f.spacing = {4, 3, 2};
  f.kerning = {1, -1, 0};
  const auto bytes = f.Build();
  BitmapFontData font;
  ASSERT_EQ(ReadAmigaSizeFile(bytes.data(), bytes.size(), &font), 0);
  EXPECT_EQ(font.ySize, 3);
  EXPECT_EQ(font.baseline, 2);
  EXPECT_EQ(font.glyphCount, 3);
  EXPECT_EQ(font.charLoc[1], (3u << 16) | 2u);
  EXPECT_EQ(font.charSpace[0], 4);
  EXPECT_EQ(font.charKern[1], -1);
  // Row 1 of the strip: "###" "#." "#" = 111 10 1.
  EXPECT_EQ(font.strip[1 * font.modulo], 0xF4);
  EXPECT_EQ(AmigaGlyphIndex(font, 'A'), 0);
  EXPECT_EQ(AmigaGlyphIndex(font, 'Z'), 2);  // outside: the last glyph
  EXPECT_EQ(AmigaGlyphIndex(font, 0), 2);
  FreeAmigaFont(&font);
}

TEST(AmigaSizeFile, DamagedFilesFailWithoutReadingOutside) {
  AmigaSizeFile f;
  f.glyphs = {{"#"}, {"#"}};
  f.loChar = f.hiChar = 'x';
  f.ySize = 1;
  auto good = f.Build();
  BitmapFontData font;
  ASSERT_EQ(ReadAmigaSizeFile(good.data(), good.size(), &font), 0);
  FreeAmigaFont(&font);

  auto wrongId = good;
  wrongId[51] = 0x81;
  EXPECT_EQ(ReadAmigaSizeFile(wrongId.data(), wrongId.size(), &font), -1);
  // Every cut of the file fails cleanly.
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_EQ(ReadAmigaSizeFile(good.data(), n, &font), -1) << n;
  // A glyph reaching past the strip's row.
  auto wide = good;
  const size_t loc = 32 + testing::Be32At(wide, 130);
  wide[loc + 3] = 200;
  EXPECT_EQ(ReadAmigaSizeFile(wide.data(), wide.size(), &font), -1);
  // HiChar below LoChar.
  auto reversed = good;
  reversed[123] = 'a';
  EXPECT_EQ(ReadAmigaSizeFile(reversed.data(), reversed.size(), &font), -1);
}

TEST(AmigaSizeFile, ColourFontReadsPickedPlanesAndWidensColours) {
  AmigaSizeFile f;
  f.ySize = 1;
  f.loChar = f.hiChar = 'a';
  f.glyphs = {{"####"}, {"#"}};
  f.color = true;
  f.depth = 2;
  f.planePick = 0x02;
  f.planes = {{0x00, 0x00}, {0xA0, 0x00}};  // plane 0 (not picked) and plane 1
  f.colors = {0x0000, 0x0F80};
  const auto bytes = f.Build();
  BitmapFontData font;
  ASSERT_EQ(ReadAmigaSizeFile(bytes.data(), bytes.size(), &font), 0);
  ASSERT_NE(font.chunky, nullptr);
  // Plane 1 is the only plane read: it becomes bit 0.
  EXPECT_EQ(font.chunky[0], 1);
  EXPECT_EQ(font.chunky[1], 0);
  EXPECT_EQ(font.chunky[2], 1);
  EXPECT_EQ(font.colorCount, 2);
  EXPECT_EQ(font.palette[1], 0xFF8800u);
  EXPECT_EQ(font.strip, nullptr);
  FreeAmigaFont(&font);

  // Planes larger than the file are refused even when none is picked.
  f.planePick = 0;
  f.modulo = 0x7FFF;
  f.ySize = 0x7FFF;
  f.glyphs = {{"#"}, {"#"}};
  const auto huge = f.Build();
  EXPECT_EQ(ReadAmigaSizeFile(huge.data(), huge.size(), &font), -1);
}

TEST(NameTable, WindowsEnglishAndMacintoshRecords) {
  Sfnt s;
  s.names = {{3, 1, 0x0407, 1, "Deutsch"},  // not English: skipped
             {3, 1, 0x0809, 1, "Fam"},
             {1, 0, 0, 2, "Bold Italic"},
             {1, 0, 1, 2, "Other"}};
  const auto bytes = s.Build();
  FaceName name;
  ASSERT_TRUE(ReadFaceName(bytes.data(), bytes.size(), 0, 0, &name));
  EXPECT_STREQ(name.family, "Fam");
  EXPECT_STREQ(name.style, "Bold Italic");
}

TEST(NameTable, VersionsAndDamage) {
  Sfnt s;
  s.names = {{3, 1, 0x0409, 1, "Fam"}};
  for (uint32_t version : {0x00010000u, 0x4F54544Fu, 0x74727565u}) {
    s.version = version;
    const auto bytes = s.Build();
    FaceName name;
    EXPECT_TRUE(ReadFaceName(bytes.data(), bytes.size(), 0, 0, &name)) << version;
  }
  s.version = 0x12345678;
  auto bytes = s.Build();
  FaceName name;
  EXPECT_FALSE(ReadFaceName(bytes.data(), bytes.size(), 0, 0, &name));
  s.version = 0x00010000;
  bytes = s.Build();
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_FALSE(ReadFaceName(bytes.data(), n, 0, 0, &name)) << n;
  // A string longer than 511 bytes fails the read.
  s.names = {{3, 1, 0x0409, 1, std::string(300, 'x')}};
  bytes = s.Build();
  EXPECT_FALSE(ReadFaceName(bytes.data(), bytes.size(), 0, 0, &name));
  // 255 bytes are kept of a long name.
  s.names = {{1, 0, 0, 1, std::string(400, 'y')}};
  bytes = s.Build();
  ASSERT_TRUE(ReadFaceName(bytes.data(), bytes.size(), 0, 0, &name));
  EXPECT_EQ(std::strlen(name.family), 255u);
}

struct Collected {
  std::vector<std::string> families;
  std::vector<uint32_t> tableDirs;
  std::vector<int64_t> offsets;
};
void Collect(void* context, const NamedFace& face) {
  auto* c = static_cast<Collected*>(context);
  c->families.push_back(std::string(face.family) + "|" + face.style);
  c->tableDirs.push_back(face.tableDirOffset);
  c->offsets.push_back(face.faceOffset);
}

TEST(FontFiles, CollectionsAndResourceForks) {
  Sfnt a, b;
  a.names = {{3, 1, 0x0409, 1, "One"}, {3, 1, 0x0409, 2, "Regular"}};
  b.names = {{3, 1, 0x0409, 1, "Two"}};
  const auto ttc = testing::Collection({a, b});
  Collected c;
  EXPECT_EQ(NameFontFile(ttc.data(), ttc.size(), "x.TTC", Collect, &c), 2);
  ASSERT_EQ(c.families.size(), 2u);
  EXPECT_EQ(c.families[0], "One|Regular");
  EXPECT_EQ(c.families[1], "Two|");
  EXPECT_NE(c.tableDirs[1], 0u);

  // A collection whose offset points outside the file names nothing there.
  auto broken = ttc;
  broken[16] = 0x7F;
  Collected d;
  EXPECT_EQ(NameFontFile(broken.data(), broken.size(), "x.ttc", Collect, &d), 1);

  const auto dfont = testing::ResourceFork({a, b});
  Collected e;
  EXPECT_EQ(NameFontFile(dfont.data(), dfont.size(), "x.dfont", Collect, &e), 2);
  EXPECT_EQ(e.offsets[0], 260);

  const auto contents = ContentsFile(0x0F00, {{"f/8", 8}, {"f/8", 8}, {"f/11", 11}});
  Collected f;
  EXPECT_EQ(NameFontFile(contents.data(), contents.size(), "ruby.font", Collect, &f), 1);
  EXPECT_EQ(f.families[0], "ruby|");
}

TEST(StyleWords, WeightsSlantsAndFullNames) {
  int weight, slant;
  StyleWeightAndSlant("Ultra-Bold Oblique", &weight, &slant);
  EXPECT_EQ(weight, 205);
  EXPECT_EQ(slant, 110);
  StyleWeightAndSlant("", &weight, &slant);
  EXPECT_EQ(weight, 80);
  EXPECT_EQ(slant, 0);
  StyleWeightAndSlant("Condensed", &weight, &slant);
  EXPECT_EQ(weight, 80);
  EXPECT_TRUE(IsRegularStyle("BOOK"));
  EXPECT_TRUE(IsRegularStyle(""));
  EXPECT_FALSE(IsRegularStyle("Bold"));
  char full[256];
  BuildFullName("Vera Bold", "Bold Italic", full, sizeof full);
  EXPECT_STREQ(full, "Vera Bold Italic");
  BuildFullName("Vera", "", full, sizeof full);
  EXPECT_STREQ(full, "Vera");
}

}  // namespace
}  // namespace tzx::text
