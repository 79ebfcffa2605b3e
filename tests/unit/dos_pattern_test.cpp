// MatchesPattern: the wildcard table, sets, alternatives, and random patterns of
// the syntax it shares with fnmatch(3) checked against it.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dos/src/pattern.h"

namespace tzx::dos {
namespace {

TEST(DosPattern, Wildcards) {
  EXPECT_TRUE(MatchesPattern("file12.txt", "file##.txt"));
  EXPECT_FALSE(MatchesPattern("file1x.txt", "file##.txt"));
  EXPECT_FALSE(MatchesPattern("file1.txt", "file##.txt"));
  EXPECT_TRUE(MatchesPattern("abc", "a?c"));
  EXPECT_FALSE(MatchesPattern("ac", "a?c"));
  EXPECT_TRUE(MatchesPattern("", "*"));
  EXPECT_TRUE(MatchesPattern("anything/at all", "*"));
  EXPECT_TRUE(MatchesPattern("a.b.c", "*.c"));
  EXPECT_FALSE(MatchesPattern("a.b.cd", "*.c"));
  EXPECT_TRUE(MatchesPattern("abcabd", "*abd"));  // the star takes one more character
  EXPECT_TRUE(MatchesPattern("xy", "x**y***"));
  EXPECT_TRUE(MatchesPattern("x12", "x*#"));
  EXPECT_FALSE(MatchesPattern("x1a", "x*#"));
  EXPECT_TRUE(MatchesPattern("aXb", "a*?b"));
  EXPECT_FALSE(MatchesPattern("ab", "a*?b"));
}

TEST(DosPattern, CaseMatters) {
  EXPECT_FALSE(MatchesPattern("File.txt", "file.txt"));
  EXPECT_TRUE(MatchesPattern("file.txt", "file.txt"));
  EXPECT_FALSE(MatchesPattern("A", "[a-z]"));
}

TEST(DosPattern, Alternatives) {
  EXPECT_TRUE(MatchesPattern("a.jpg", "*.png;*.jpg"));
  EXPECT_TRUE(MatchesPattern("a.png", "*.png;*.jpg"));
  EXPECT_FALSE(MatchesPattern("a.gif", "*.png;*.jpg"));
  // An empty alternative ends the list.
  EXPECT_FALSE(MatchesPattern("a.jpg", "*.png;;*.jpg"));
  EXPECT_TRUE(MatchesPattern("a.png", "*.png;"));
  EXPECT_FALSE(MatchesPattern("", ""));
}

TEST(DosPattern, Sets) {
  EXPECT_FALSE(MatchesPattern("b", "[!a-c]"));
  EXPECT_TRUE(MatchesPattern("d", "[!a-c]"));
  EXPECT_TRUE(MatchesPattern("]", "[]]"));
  EXPECT_FALSE(MatchesPattern("x", "[]]"));
  EXPECT_TRUE(MatchesPattern("x", "[!]]"));
  EXPECT_FALSE(MatchesPattern("]", "[!]]"));
  EXPECT_TRUE(MatchesPattern("c", "[abc]"));
  // Not a range: the right side is lower, or the set's end.
  EXPECT_TRUE(MatchesPattern("-", "[z-a]"));
  EXPECT_FALSE(MatchesPattern("m", "[z-a]"));
  EXPECT_TRUE(MatchesPattern("-", "[a-]"));
  // A wildcard inside a set is itself.
  EXPECT_TRUE(MatchesPattern("*", "[*]"));
  EXPECT_FALSE(MatchesPattern("a", "[*]"));
  EXPECT_TRUE(MatchesPattern("#1", "[#]#"));
  // Bytes above 127 compare unsigned.
  EXPECT_TRUE(MatchesPattern("\xE9", "[\xE0-\xEF]"));
  // A '[' without its ']' is itself.
  EXPECT_TRUE(MatchesPattern("[ab", "[ab"));
  EXPECT_FALSE(MatchesPattern("a", "[ab"));
}

TEST(DosPattern, LongPatternsAndTexts) {
  std::string text(5000, 'a');
  EXPECT_TRUE(MatchesPattern(text, std::string(3000, '?') + "*"));
  EXPECT_FALSE(MatchesPattern(text, "*b*"));
  EXPECT_TRUE(MatchesPattern(text + "b", "*a*a*b"));
}

// Patterns of '*', '?', sets and plain letters mean the same to both.
TEST(DosPattern, AgreesWithFnmatch) {
  std::mt19937 rng(7);
  const char kText[] = "abc-]";
  const char* const kTokens[] = {"a",    "b",     "c",    "*", "?", "[ab]",
                                 "[!a]", "[a-c]", "[]a]", "-", "]"};
  for (int round = 0; round < 20000; ++round) {
    std::string text, pattern;
    for (int n = rng() % 7; n > 0; --n) text += kText[rng() % 5];
    for (int n = rng() % 6; n > 0; --n) pattern += kTokens[rng() % 11];
    if (pattern.empty()) continue;
    bool expected = fnmatch(pattern.c_str(), text.c_str(), FNM_NOESCAPE) == 0;
    ASSERT_EQ(MatchesPattern(text, pattern), expected) << text << " ~ " << pattern;
  }
}

// The compiled form gives MatchesPattern's answer for every shape it knows
// (plain, "*x", "x*", "x*y", alternatives) and for the ones it walks.
TEST(DosPattern, CompiledAgreesWithMatchesPattern) {
  std::mt19937 rng(11);
  const char kText[] = "ab.*[";
  const char* const kTokens[] = {"a", "b", ".", "*", "?", "#", "[ab]", "[!a]", ";", "[", "[*]"};
  CompiledPattern compiled;
  for (int round = 0; round < 20000; ++round) {
    std::string text, pattern;
    for (int n = rng() % 7; n > 0; --n) text += kText[rng() % 5];
    for (int n = rng() % 7; n > 0; --n) pattern += kTokens[rng() % 11];
    ASSERT_TRUE(compiled.Compile(pattern));
    ASSERT_EQ(compiled.Matches(text), MatchesPattern(text, pattern)) << text << " ~ " << pattern;
  }
  ASSERT_TRUE(compiled.Compile("*.txt;file*;a*z;exact"));
  EXPECT_TRUE(compiled.Matches(".txt"));
  EXPECT_TRUE(compiled.Matches("file"));
  EXPECT_TRUE(compiled.Matches("az"));
  EXPECT_FALSE(compiled.Matches("a"));  // "a*z" needs both ends, not overlapping
  EXPECT_TRUE(compiled.Matches("exact"));
  EXPECT_FALSE(compiled.Matches("exactly"));
}

// A compiled pattern replaced by another keeps nothing of the first, however
// alike the two are.
TEST(DosPattern, CompiledReplacedWhole) {
  CompiledPattern compiled;
  EXPECT_FALSE(compiled.Ready());  // nothing compiled yet
  ASSERT_TRUE(compiled.Compile("*.TXT;a*"));
  EXPECT_TRUE(compiled.Matches("abc"));
  EXPECT_FALSE(compiled.Matches("b.txt"));
  EXPECT_TRUE(compiled.Matches("b.TXT"));
  ASSERT_TRUE(compiled.Compile("*.txt"));
  EXPECT_TRUE(compiled.Matches("b.txt"));
  EXPECT_FALSE(compiled.Matches("b.TXT"));
  EXPECT_FALSE(compiled.Matches("abc"));  // the old second alternative is gone
  // Exactly as long as a compiled pattern may be, and one more.
  EXPECT_TRUE(compiled.Compile(std::string(CompiledPattern::kMaxLength, '?')));
  EXPECT_TRUE(compiled.Matches(std::string(CompiledPattern::kMaxLength, 'x')));
  EXPECT_FALSE(compiled.Compile(std::string(CompiledPattern::kMaxLength + 1, '?')));
  EXPECT_FALSE(compiled.Ready());
  std::string many;
  for (int i = 0; i <= CompiledPattern::kMaxAlternatives; ++i) many += "a;";
  EXPECT_FALSE(compiled.Compile(many));
  EXPECT_FALSE(compiled.Ready());
}

}  // namespace
}  // namespace tzx::dos
