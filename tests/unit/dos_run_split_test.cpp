// The command line of Execute and Run: the program split from its arguments,
// and the argument string split at blanks with double quotes grouping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dos/src/run.h"

namespace tzx::dos {
namespace {

struct Split {
  bool ok;
  std::string program, arguments;
};

Split ProgramOf(std::string_view text) {
  std::string_view program, arguments;
  bool ok = SplitProgramText(text, &program, &arguments);
  return {ok, std::string(program), std::string(arguments)};
}

std::vector<std::string> ArgumentsOf(std::string_view text) {
  std::vector<char> chars(ArgumentCharsNeeded(text.size()));
  std::vector<char*> argv(ArgumentSlotsNeeded(text.size()));
  size_t n = SplitArguments(text, chars.data(), argv.data());
  EXPECT_LE(n, argv.size());
  return {argv.begin(), argv.begin() + n};
}

TEST(DosRunSplit, QuotedProgramEndsAtTheClosingQuote) {
  Split s = ProgramOf("\"/opt/my tools/run me\" -x \"a b\"");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.program, "/opt/my tools/run me");
  EXPECT_EQ(s.arguments, "-x \"a b\"");
  // Nothing after the quote, and a quote right after the closing one.
  s = ProgramOf("\"/bin/true\"");
  EXPECT_EQ(s.program, "/bin/true");
  EXPECT_EQ(s.arguments, "");
  s = ProgramOf("\"p\"\"q\"");
  EXPECT_EQ(s.program, "p");
  EXPECT_EQ(s.arguments, "\"q\"");
  s = ProgramOf("\"\" x");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.program, "");
}

TEST(DosRunSplit, MissingClosingQuoteFails) {
  EXPECT_FALSE(ProgramOf("\"/bin/echo hello").ok);
  EXPECT_FALSE(ProgramOf("\"").ok);
}

TEST(DosRunSplit, UnquotedProgramEndsAtTheFirstBlank) {
  Split s = ProgramOf("/bin/echo \t  one  two ");
  EXPECT_EQ(s.program, "/bin/echo");
  EXPECT_EQ(s.arguments, "one  two ");
  s = ProgramOf("echo");
  EXPECT_EQ(s.program, "echo");
  EXPECT_EQ(s.arguments, "");
  s = ProgramOf("echo\tx");
  EXPECT_EQ(s.program, "echo");
  EXPECT_EQ(s.arguments, "x");
  s = ProgramOf("");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.program, "");
}

TEST(DosRunSplit, ArgumentsSplitAtBlanks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ArgumentsOf(""), V{});
  EXPECT_EQ(ArgumentsOf("   \t "), V{});
  EXPECT_EQ(ArgumentsOf("a"), V{"a"});
  EXPECT_EQ(ArgumentsOf("  a  b\tc "), (V{"a", "b", "c"}));
  // The densest text: every other byte an argument.
  EXPECT_EQ(ArgumentsOf("a b c d e"), (V{"a", "b", "c", "d", "e"}));
}

TEST(DosRunSplit, QuotesGroupAndAreDropped) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ArgumentsOf("\"a b\" c"), (V{"a b", "c"}));
  EXPECT_EQ(ArgumentsOf("x\"y z\"w v"), (V{"xy zw", "v"}));
  EXPECT_EQ(ArgumentsOf("\"\" a \"\""), (V{"", "a", ""}));
  EXPECT_EQ(ArgumentsOf("\"\"\"\""), V{""});
  // An open quote runs to the end instead of losing the rest.
  EXPECT_EQ(ArgumentsOf("a \"b  c"), (V{"a", "b  c"}));
  EXPECT_EQ(ArgumentsOf("\""), V{""});
  // Shell characters are plain text.
  EXPECT_EQ(ArgumentsOf("$HOME;rm *|x `y`"), (V{"$HOME;rm", "*|x", "`y`"}));
}

}  // namespace
}  // namespace tzx::dos
