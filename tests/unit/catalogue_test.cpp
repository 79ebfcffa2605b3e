#include "catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "tzx/errors.h"

namespace tzx::host {
namespace {

struct Directives {
  int s = 0;
  int d = 0;
  int other = 0;
};

Directives CountDirectives(std::string_view text) {
  Directives n;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    const char kind = i + 1 < text.size() ? text[i + 1] : '\0';
    if (kind == 's') {
      ++n.s;
    } else if (kind == 'd') {
      ++n.d;
    } else if (kind != '%') {
      ++n.other;
    }
    ++i;
  }
  return n;
}

TEST(CatalogueTable, SortedUniqueAndLimitedToKnownNumbers) {
  const auto entries = CatalogueEntries();
  for (size_t i = 1; i < entries.size(); ++i) {
    EXPECT_LT(entries[i - 1].code, entries[i].code) << "at row " << i;
  }
  std::set<int> known(std::begin(kAllErrorCodes), std::end(kAllErrorCodes));
  known.insert(std::begin(kAllMessageNumbers), std::end(kAllMessageNumbers));
  for (const auto& e : entries) {
    EXPECT_TRUE(known.count(e.code)) << e.code << " has a text but no constant";
  }
  EXPECT_EQ(entries.size(), known.size());
}

TEST(CatalogueTable, ErrorCodesAndMessagesStayInTheirRanges) {
  EXPECT_TRUE(std::is_sorted(std::begin(kAllErrorCodes), std::end(kAllErrorCodes)));
  EXPECT_EQ(std::adjacent_find(std::begin(kAllErrorCodes), std::end(kAllErrorCodes)),
            std::end(kAllErrorCodes));
  for (int code : kAllErrorCodes) EXPECT_GE(code, 1000);
  for (int msg : kAllMessageNumbers) EXPECT_LT(msg, 1000);
}

TEST(CatalogueTable, EveryCodeAndMessageHasANonEmptyText) {
  for (int code : kAllErrorCodes) {
    const char* text = CatalogueText(code);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_NE(text[0], '\0') << code;
  }
  for (int msg : kAllMessageNumbers) EXPECT_NE(CatalogueText(msg), nullptr) << msg;
}

TEST(CatalogueTable, TextsHoldAtMostOneOfEachDirectiveAndNoOthers) {
  for (const auto& e : CatalogueEntries()) {
    const Directives n = CountDirectives(e.text);
    EXPECT_LE(n.s, 1) << e.code << ": " << e.text;
    EXPECT_LE(n.d, 1) << e.code << ": " << e.text;
    EXPECT_EQ(n.other, 0) << e.code << ": " << e.text;
  }
}

// Codes whose callers hand over a name or a number must show it; the rest must
// not print an empty quoted name.
TEST(CatalogueTable, ArgumentPlaceholdersMatchWhatCallersHandOver) {
  const std::set<int> takesString = {
      kErrOpenRead,          kErrOpenWrite,        kErrOpenFont,      kErrMakeDir,
      kErrExamine,           kErrNotNumber,        kErrOpenDir,       kErrUnknownFilter,
      kErrFilterWithoutName, kErrFieldNotTable,    kErrNoInfo,        kErrChangeDir,
      kErrNotFunction,       kErrUnsupportedDepth, kErrSiblingAbsent, kErrNoGraphics,
      kMsgFontNameSize,      kMsgOpeningFile,      kErrScript,        kErrTooFewArguments,
      kErrTooManyArguments,  kErrShuttingDown};
  const std::set<int> takesNumber = {
      kErrTableArgument,    kErrUnknownBrush,    kErrUnknownTextObject, kErrUnknownFile,
      kErrUnknownDirectory, kErrUnknownFont,     kErrUnknownDisplay,    kErrNoMonitorDevice,
      kMsgFontNameSize,     kErrTooFewArguments, kErrTooManyArguments};
  for (const auto& e : CatalogueEntries()) {
    const Directives n = CountDirectives(e.text);
    EXPECT_EQ(n.s, takesString.count(e.code) ? 1 : 0) << e.code << ": " << e.text;
    EXPECT_EQ(n.d, takesNumber.count(e.code) ? 1 : 0) << e.code << ": " << e.text;
  }
}

TEST(CatalogueLookup, FindsFirstLastAndRejectsGaps) {
  const auto entries = CatalogueEntries();
  EXPECT_STREQ(CatalogueText(entries.front().code), entries.front().text);
  EXPECT_STREQ(CatalogueText(entries.back().code), entries.back().text);
  EXPECT_STREQ(CatalogueText(kErrRange), "Value out of range or invalid argument!");
  for (int missing : {-1, 0, 999, 1001, 1057, 1688, 100000}) {
    EXPECT_EQ(CatalogueText(missing), nullptr) << missing;
  }
}

TEST(CatalogueFormat, SubstitutesStringAndNumberArguments) {
  EXPECT_EQ(FormatCatalogue(kErrOpenRead, "data/a.txt", 0),
            "Cannot open file \"data/a.txt\" for reading!");
  EXPECT_EQ(FormatCatalogue(kErrUnknownBrush, nullptr, 42), "Brush 42 not found!");
  EXPECT_EQ(FormatCatalogue(kErrUnknownBrush, nullptr, -7), "Brush -7 not found!");
  EXPECT_EQ(FormatCatalogue(kErrSiblingAbsent, "imageio", 0),
            "Library \"imageio\" is not available!");
  // The font message takes both and is itself the argument of the open error.
  const std::string font = FormatCatalogue(kMsgFontNameSize, "Vera", 12);
  EXPECT_EQ(font, "\"Vera\" in size 12");
  EXPECT_EQ(FormatCatalogue(kErrOpenFont, font.c_str(), 0),
            "Cannot open font \"Vera\" in size 12!");
}

TEST(CatalogueFormat, MissingArgumentsAndUnknownCodes) {
  EXPECT_EQ(FormatCatalogue(kErrOpenWrite, nullptr, 0), "Cannot open file \"\" for writing!");
  EXPECT_EQ(FormatCatalogue(kErrNoMemory, "ignored", 5), "Out of memory!");
  EXPECT_EQ(FormatCatalogue(12345, "x", 1), "Unknown error");
  EXPECT_EQ(FormatCatalogue(0, nullptr, 0), "Unknown error");
}

TEST(CatalogueFormat, ArgumentsAreNeverExpandedAgain) {
  EXPECT_EQ(FormatCatalogue(kErrOpenRead, "%s%d%n%%", 99),
            "Cannot open file \"%s%d%n%%\" for reading!");
  EXPECT_EQ(FormatCatalogue(kMsgFontNameSize, "%d", 3), "\"%d\" in size 3");
  const std::string longName(5000, 'n');
  EXPECT_EQ(FormatCatalogue(kErrOpenDir, longName.c_str(), 0),
            "Cannot open directory \"" + longName + "\"!");
}

}  // namespace
}  // namespace tzx::host
