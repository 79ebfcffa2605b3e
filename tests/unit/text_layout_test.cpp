// The layout pass over a fake font whose characters are all 10 pixels wide
// and 20 high: tags, wrap, soft hyphens, tabs, alignment and lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/src/layout.h"
#include "text/src/layout_bullets.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace tzx::text {
namespace {

constexpr int kCell = 10;
constexpr int kHeight = 20;

// UTF-8 continuation bytes take no room; BOLD inks one pixel further.
int FakeMeasure(void*, const TextStyle& style, const char* bytes, size_t n, int32_t spacing,
                RunMetrics* out) {
  int32_t x = 0;
  for (size_t i = 0; i < n; ++i) {
    if ((static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80) continue;
    x += kCell + spacing;
    if (x < 0) x = 0;
  }
  out->advance = x;
  out->inkWidth = x + ((style.flags & graphics::kBold) ? 1 : 0);
  return 0;
}

struct Laid {
  int rc;
  Layout layout;
};

// The request points at the text: literals, or strings that outlive it.
LayoutRequest Request(const char* text, size_t length) {
  LayoutRequest r;
  r.style = InitialTextStyle();
  r.text = text;
  r.length = length;
  r.encoding = 1;
  DefaultListSettings(&r);
  return r;
}

LayoutRequest Request(const char* text) {
  return Request(text, std::strlen(text));
}
LayoutRequest Request(const std::string& text) {
  return Request(text.data(), text.size());
}

LayoutFont Font() {
  LayoutFont f;
  f.measure = FakeMeasure;
  f.height = kHeight;
  return f;
}

// The text of every run, "|" between runs and "/" between lines.
std::string Runs(const Layout& l) {
  std::string s;
  for (size_t i = 0; i < l.runs.size(); ++i) {
    const TextRun& r = l.runs[i];
    if (i > 0) s += r.line != l.runs[i - 1].line ? "/" : "|";
    s.append(l.bytes.data() + r.offset, r.length);
  }
  return s;
}

int Lay(const LayoutRequest& r, Layout* out) {
  return LayOut(r, Font(), out);
}

int RcOf(const char* text, bool palette = false) {
  LayoutRequest r = Request(text);
  r.paletteMode = palette;
  Layout l;
  return Lay(r, &l);
}

TEST(TextLayout, DoubledBracketsAreLiteralOnlyWithTags) {
  Layout on, off;
  LayoutRequest r = Request("a[[b]]c");
  ASSERT_EQ(Lay(r, &on), 0);
  EXPECT_EQ(Runs(on), "a[b]c");
  EXPECT_EQ(on.width, 5 * kCell);
  r.formatTags = false;
  ASSERT_EQ(Lay(r, &off), 0);
  EXPECT_EQ(Runs(off), "a[[b]]c");
}

TEST(TextLayout, TagsChangeTheStyleForTheRestOfTheString) {
  LayoutRequest r = Request("[b]bold[/b] [i]it");
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "bold| |it");
  EXPECT_EQ(l.runs[0].style.flags, graphics::kBold);
  EXPECT_EQ(l.runs[1].style.flags, graphics::kNormal);
  EXPECT_EQ(l.runs[2].style.flags, graphics::kItalic);
  EXPECT_EQ(l.runs[2].x, 5 * kCell);
  EXPECT_EQ(r.style.flags, graphics::kNormal);  // the request's style is a copy
}

TEST(TextLayout, ColourStackPopsWhatWasPushed) {
  LayoutRequest r = Request("[color=255]blue[color=0xFF0000]red[/color]blue");
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  ASSERT_EQ(l.runs.size(), 3u);
  EXPECT_EQ(l.runs[0].style.fontColor, 255u);
  EXPECT_EQ(l.runs[1].style.fontColor, 0xFF0000u);
  EXPECT_EQ(l.runs[2].style.fontColor, 255u);
  EXPECT_EQ(RcOf("[color=255]blue[/color][/color]"), kErrUnexpectedClose);
  EXPECT_EQ(RcOf("[pen=3]x[/pen]", true), 0);
  EXPECT_EQ(RcOf("[/pen]", true), kErrUnexpectedClose);
}

TEST(TextLayout, BadTagsFailWithTheirCodes) {
  EXPECT_EQ(RcOf("a]b"), kErrUnexpectedClose);
  EXPECT_EQ(RcOf("[x]"), kErrUnknownTag);
  EXPECT_EQ(RcOf("[bx]"), kErrUnknownTag);
  EXPECT_EQ(RcOf("[b=1]"), kErrUnknownTag);
  EXPECT_EQ(RcOf("[color]"), kErrTagNeedsValue);
  EXPECT_EQ(RcOf("[bulletpen ]"), kErrTagNeedsValue);
  EXPECT_EQ(RcOf("[b"), kErrTagNotClosed);
  EXPECT_EQ(RcOf("[color=1 2]"), kErrTagNotClosed);
  EXPECT_EQ(RcOf("[color=1"), kErrTagNotClosed);
  EXPECT_EQ(RcOf("[color=\"red\"]"), kErrQuotedTagValue);
  EXPECT_EQ(RcOf("[color=red]"), kErrRange);
  EXPECT_EQ(RcOf("[shadow=0,65]"), kErrRange);
  EXPECT_EQ(RcOf("[shadow=0,0]"), kErrRange);
  EXPECT_EQ(RcOf("[edge=0,9]"), kErrRange);
  EXPECT_EQ(RcOf("[pen=1]"), kErrPenTagInRgb);
  EXPECT_EQ(RcOf("[bulletpen=1]"), kErrPenTagInRgb);
  EXPECT_EQ(RcOf("[color=1]", true), kErrColorTagInPalette);
  EXPECT_EQ(RcOf("[bulletcolor=1]", true), kErrColorTagInPalette);
  EXPECT_EQ(RcOf("[/bulletcolor]"), kErrUnexpectedClose);
  EXPECT_EQ(RcOf("[/color]"), kErrUnexpectedClose);
}

TEST(TextLayout, TagSyntaxAllowsBlanksAndAnyCase) {
  LayoutRequest r = Request("[ SHADOW = 5 , 64 , 9 ][ / shadow ][Edge=7,8]x");
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  ASSERT_EQ(l.runs.size(), 1u);
  const TextStyle& s = l.runs[0].style;
  EXPECT_EQ(s.flags, graphics::kEdge);
  EXPECT_EQ(s.shadowColor, 5u);
  EXPECT_EQ(s.shadowSize, 64);
  EXPECT_EQ(s.shadowDir, graphics::kShdwsoutheast);  // 9 is no direction
  EXPECT_EQ(s.borderColor, 7u);
  EXPECT_EQ(s.borderSize, 8);
}

TEST(TextLayout, HashValuesGoToTheScriptConstants) {
  struct Names {
    static int Resolve(void*, const char* name, size_t n, int32_t* out) {
      if (std::string(name, n) != "RED") return kErrUnknownTag;
      *out = 0xFF0000;
      return 0;
    }
  };
  LayoutRequest r = Request("[color=#RED]x");
  r.constants.resolve = Names::Resolve;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(l.runs[0].style.fontColor, 0xFF0000u);
  LayoutRequest bad = Request("[color=#BLUE]x");
  bad.constants.resolve = Names::Resolve;
  Layout l2;
  EXPECT_EQ(Lay(bad, &l2), kErrUnknownTag);
}

TEST(TextLayout, WordsWrapAndLongWordsKeepALineOfTheirOwn) {
  LayoutRequest r = Request("aa bb cc verylongword dd");
  r.wrapWidth = 60;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "aa bb /cc /verylongword /dd");
  EXPECT_EQ(l.lines.size(), 4u);
  EXPECT_EQ(l.runs[1].y, kHeight);
  EXPECT_EQ(l.runs[1].x, 0);
  EXPECT_EQ(l.height, 4 * kHeight);
}

TEST(TextLayout, AWordThatExactlyFillsTheWidthStays) {
  LayoutRequest r = Request("aaa bb");
  r.wrapWidth = 60;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "aaa bb");
  r.wrapWidth = 59;
  Layout l2;
  ASSERT_EQ(Lay(r, &l2), 0);
  EXPECT_EQ(Runs(l2), "aaa /bb");
}

TEST(TextLayout, SoftHyphenShowsOnlyWhereTheWordBreaks) {
  const std::string text =
      "xx hyph\xC2\xAD"
      "enation";
  LayoutRequest r = Request(text);
  r.wrapWidth = 80;
  Layout broken;
  ASSERT_EQ(Lay(r, &broken), 0);
  EXPECT_EQ(Runs(broken), "xx hyph-/enation");
  EXPECT_EQ(broken.lines[0].width, 8 * kCell);
  r.wrapWidth = 500;
  Layout whole;
  ASSERT_EQ(Lay(r, &whole), 0);
  EXPECT_EQ(Runs(whole), "xx hyph|enation");
  EXPECT_EQ(whole.width, 14 * kCell);
  // In the 8-bit encoding the two bytes are characters like any other.
  r.encoding = 0;
  Layout latin;
  ASSERT_EQ(Lay(r, &latin), 0);
  EXPECT_EQ(latin.runs.size(), 1u);
}

TEST(TextLayout, ZeroWidthSpaceBreaksWithoutDrawing) {
  LayoutRequest r = Request(
      "abcd\xE2\x80\x8B"
      "efgh");
  r.wrapWidth = 50;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "abcd/efgh");
}

TEST(TextLayout, WrapTableBreaksAfterTheListedWords) {
  LayoutRequest r = Request("one two three four");
  const int32_t table[] = {0, 2};
  r.wrapTable = table;
  r.wrapTableCount = 2;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "one /two three /four");
}

TEST(TextLayout, JustifiedLinesFillTheBoxButTheLastStaysLeft) {
  LayoutRequest r = Request("aa bb cc dd ee ff g");
  r.align = graphics::kJustified;
  r.wrapWidth = 95;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  ASSERT_EQ(l.lines.size(), 3u);
  AlignLayout(&l, r.align, r.wrapWidth);
  // "aa bb cc" is 80 wide: 15 pixels over two gaps, 8 to the first.
  const LayoutLine& first = l.lines[0];
  EXPECT_EQ(first.runCount, 3u);
  EXPECT_EQ(l.runs[first.firstRun + 1].x, 30 + 8);
  EXPECT_EQ(l.runs[first.firstRun + 2].x, 60 + 15);
  const TextRun& lastOfFirst = l.runs[first.firstRun + 2];
  EXPECT_EQ(lastOfFirst.x + lastOfFirst.extent.advance, r.wrapWidth);
  // "g" alone: nothing to spread. "dd ee ff" is not the paragraph's last.
  const LayoutLine& last = l.lines[2];
  EXPECT_TRUE(last.paragraphEnd);
  EXPECT_EQ(l.runs[last.firstRun].x, 0);
}

TEST(TextLayout, JustifiedLastLineWithWideGapsStaysLeftAligned) {
  LayoutRequest r = Request("aaaa bbbb cccc\ndd ee");
  r.align = graphics::kJustified;
  r.wrapWidth = 200;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  AlignLayout(&l, r.align, r.wrapWidth);
  // Both lines end paragraphs with far more room than two spaces per gap.
  const LayoutLine& last = l.lines[1];
  EXPECT_TRUE(last.paragraphEnd);
  EXPECT_EQ(l.runs[last.firstRun + 1].x, 30);
  // With a narrow box the last line's gaps are small enough to justify.
  r.text = "aaaa bbbb cccc dd ee";
  r.length = 20;
  r.wrapWidth = 160;
  Layout m;
  ASSERT_EQ(Lay(r, &m), 0);
  ASSERT_EQ(m.lines.size(), 2u);
  AlignLayout(&m, r.align, r.wrapWidth);
  EXPECT_EQ(m.runs[m.lines[1].firstRun + 1].x, 30);  // 110 free over 1 gap
}

TEST(TextLayout, RightAndCenterUseTheWidestLineWithoutWrap) {
  LayoutRequest r = Request("abcd  \nab");
  r.align = graphics::kRight;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "abcd/ab");  // trailing blanks go where they would show
  EXPECT_EQ(l.width, 40);
  AlignLayout(&l, r.align, l.width);
  EXPECT_EQ(l.runs[0].x, 0);
  EXPECT_EQ(l.runs[1].x, 20);
  Layout c;
  r.align = graphics::kCenter;
  ASSERT_EQ(Lay(r, &c), 0);
  AlignLayout(&c, r.align, 45);
  EXPECT_EQ(c.runs[0].x, 2);
  EXPECT_EQ(c.runs[1].x, 12);
}

TEST(TextLayout, TrailingBlanksStayOnLeftAlignedLinesUnlessUnderlined) {
  Layout plain, under;
  ASSERT_EQ(Lay(Request("ab  "), &plain), 0);
  EXPECT_EQ(plain.width, 40);
  ASSERT_EQ(Lay(Request("[u]ab  "), &under), 0);
  EXPECT_EQ(under.width, 20);
}

TEST(TextLayout, TabsMoveToStopsOrBreakTheLine) {
  LayoutRequest r = Request("a\tb\tc\td");
  r.tabs[0] = 50;
  r.tabs[1] = 100;
  r.tabCount = 2;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "a|b|c/d");
  EXPECT_EQ(l.runs[1].x, 50);
  EXPECT_EQ(l.runs[2].x, 100);
  // Print counts stops from the left margin.
  r.leftMargin = 40;
  Layout m;
  ASSERT_EQ(Lay(r, &m), 0);
  EXPECT_EQ(m.runs[1].x, 60);  // 50 is not beyond 10 + 40
  // A stop at the wrap width breaks the line; no stops at all do too.
  r.leftMargin = 0;
  r.wrapWidth = 100;
  Layout n;
  ASSERT_EQ(Lay(r, &n), 0);
  EXPECT_EQ(Runs(n), "a|b/c|d");
  Layout none;
  ASSERT_EQ(Lay(Request("a\tb"), &none), 0);
  EXPECT_EQ(Runs(none), "a/b");
}

TEST(TextLayout, SpacingBetweenCharactersAndLines) {
  LayoutRequest r = Request("ab\ncd");
  r.charSpacing = 3;
  r.lineSpacing = 5;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(l.width, 26);
  EXPECT_EQ(l.runs[1].y, kHeight + 5);
  r.charSpacing = -15;  // the pen never moves back
  Layout m;
  ASSERT_EQ(Lay(r, &m), 0);
  EXPECT_EQ(m.width, 0);
  r.lineSpacing = -kHeight - 1;
  Layout n;
  EXPECT_EQ(Lay(r, &n), kErrRange);
  r.lineSpacing = 0;
  r.wrapWidth = -1;
  EXPECT_EQ(Lay(r, &n), kErrRange);
}

TEST(TextLayout, PrintIndentsOnlyTheFirstLine) {
  LayoutRequest r = Request("aa bb cc");
  r.firstIndent = 40;
  r.wrapWidth = 60;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "aa /bb cc");
  EXPECT_EQ(l.runs[0].x, 40);
  EXPECT_EQ(l.runs[1].x, 0);
  EXPECT_EQ(l.endX, 50);
  EXPECT_EQ(l.endY, kHeight);
  Layout m;
  ASSERT_EQ(Lay(Request("x\n"), &m), 0);
  EXPECT_EQ(m.endX, 0);
  EXPECT_EQ(m.endY, kHeight);
}

// List texts ---------------------------------------------------------------

template <class Text>
LayoutRequest ListRequest(const Text& text) {
  LayoutRequest r = Request(text);
  r.listMode = true;
  return r;
}

TEST(TextLayout, ListFramesInBothModes) {
  const std::string text = "one\ntwo\nthree";
  for (int mode : {kFramemodeFull, kFramemodeSingle}) {
    const int frames = mode == kFramemodeFull ? 3 : 4;
    for (int frame = 0; frame <= frames + 1; ++frame) {
      LayoutRequest r = ListRequest(text);
      r.frameMode = mode;
      r.frame = frame;
      Layout l;
      const int rc = Lay(r, &l);
      if (frame < 1 || frame > frames) {
        EXPECT_EQ(rc, kErrFrameRange) << mode << " " << frame;
        continue;
      }
      ASSERT_EQ(rc, 0) << mode << " " << frame;
      EXPECT_EQ(FrameCount(l, mode), frames);
      std::string shown;
      for (size_t i = 0; i < l.runs.size(); ++i) {
        if (!l.runs[i].bullet && RunInFrame(l.runs[i], mode, frame)) {
          shown.append(l.bytes.data() + l.runs[i].offset, l.runs[i].length) += ",";
        }
      }
      const char* expected[2][5] = {{"", "one,two,three,", "one,", "one,two,", ""},
                                    {"", "one,two,three,", "one,", "two,", "three,"}};
      EXPECT_EQ(shown, expected[mode][frame]) << mode << " " << frame;
    }
  }
}

TEST(TextLayout, ListItemsStandBehindTheirBullets) {
  LayoutRequest r = ListRequest("a\n\tb\n\tc\nd");
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(Runs(l), "- |a/- |b/- |c/- |d");
  EXPECT_EQ(l.runs[1].x, 20);  // after "- "
  EXPECT_EQ(l.runs[2].x, 40);  // indent 4 spaces
  EXPECT_EQ(l.runs[3].x, 60);
  EXPECT_EQ(l.runs[0].style.fontColor, r.style.bulletColor);
}

TEST(TextLayout, ListLevelsMayNotSkipAndTabsOnlyLead) {
  Layout skip;
  EXPECT_EQ(Lay(ListRequest("a\n\t\tb"), &skip), kErrRange);
  Layout l;
  EXPECT_EQ(Lay(ListRequest("a\tb"), &l), kErrRange);
  std::string deep = "0";
  for (int level = 1; level <= kListLevels; ++level) deep += "\n" + std::string(level, '\t') + "x";
  Layout d;
  EXPECT_EQ(Lay(ListRequest(deep), &d), kErrTooMany);
  LayoutRequest centered = ListRequest("a");
  centered.align = graphics::kCenter;
  Layout c;
  EXPECT_EQ(Lay(centered, &c), kErrRange);
  LayoutRequest negative = ListRequest("a");
  negative.list[kListIndent][3] = -1;
  Layout n;
  EXPECT_EQ(Lay(negative, &n), kErrRange);
  LayoutRequest spacing = ListRequest("a\nb");
  spacing.list[kListSpacing][0] = -5;  // spacing may pull items together
  Layout s;
  ASSERT_EQ(Lay(spacing, &s), 0);
  EXPECT_EQ(s.runs[2].y, kHeight - 5);
}

TEST(TextLayout, SubListsTakeEntriesUnlessSimple) {
  const std::string text = "a\n\tb\nc\n\td";
  for (bool simple : {false, true}) {
    LayoutRequest r = ListRequest(text);
    r.simpleList = simple;
    r.list[kListBullet][1] = kBulletCross;
    r.list[kListBullet][2] = 'o';
    r.encoding = 0;
    Layout l;
    ASSERT_EQ(Lay(r, &l), 0);
    EXPECT_EQ(Runs(l), simple ? "- |a/\xD7 |b/- |c/\xD7 |d" : "- |a/\xD7 |b/- |c/o |d") << simple;
  }
}

TEST(TextLayout, NumberedListsRestartAndAlignBehindTheWidestNumber) {
  std::string text;
  for (int i = 0; i < 10; ++i) text += "x\n";
  text += "\tsub\n\tsub\ny\n\tagain";
  LayoutRequest r = ListRequest(text);
  r.list[kListBullet][0] = kBulletNumeric;
  r.list[kListBullet][1] = kBulletLromandouble;
  r.list[kListBullet][2] = kBulletUalphasingle;
  Layout l;
  ASSERT_EQ(Lay(r, &l), 0);
  EXPECT_EQ(std::string(l.bytes.data() + l.runs[0].offset, l.runs[0].length), "1. ");
  EXPECT_EQ(l.runs[1].x, 40);  // behind "10. ", the widest of the level
  EXPECT_EQ(std::string(l.bytes.data() + l.runs[18].offset, l.runs[18].length), "10. ");
  const std::string tail = "(i) |sub/(ii) |sub/11. |y/A) |again";
  EXPECT_EQ(Runs(l).substr(Runs(l).size() - tail.size()), tail);
}

TEST(TextLayout, BulletColourTagChangesItsItemsBullet) {
  LayoutRequest r = ListRequest("a[bulletcolor=$1]\nb");
  Layout bad;
  EXPECT_EQ(Lay(r, &bad), kErrRange);
  LayoutRequest ok = ListRequest("a[bulletcolor=0x123456]\nb");
  Layout l;
  ASSERT_EQ(Lay(ok, &l), 0);
  EXPECT_EQ(l.runs[0].style.fontColor, 0x123456u);
  EXPECT_EQ(l.runs[2].style.fontColor, 0x123456u);  // and the items after it
}

TEST(TextLayout, BulletTexts) {
  char out[kBulletTextSize];
  auto text = [&](int kind, int n, int enc, bool bitmap = false) {
    return std::string(out, BulletText(kind, n, enc, bitmap, out));
  };
  EXPECT_EQ(text(kBulletNone, 0, 1), "");
  EXPECT_EQ(text(kBulletCircle, 0, 1), "\xE2\x80\xA2 ");
  EXPECT_EQ(text(kBulletCircle, 0, 1, true), "* ");
  EXPECT_EQ(text(kBulletBox, 0, 0), "\xB7 ");
  EXPECT_EQ(text(kBulletLalpha, 27, 1), "bb. ");
  EXPECT_EQ(text(kBulletUromansingle, 1993, 1), "MCMXCIV) ");
  EXPECT_EQ(text(kBulletNumericdouble, 41, 1), "(42) ");
  EXPECT_EQ(text(0x263A, 0, 1), "\xE2\x98\xBA ");
  EXPECT_EQ(text(0x263A, 0, 0), "? ");
}

}  // namespace
}  // namespace tzx::text
