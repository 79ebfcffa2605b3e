// The pure reading and writing rules of script files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dos/src/file_read.h"
#include "dos/src/file_write.h"

namespace tzx::dos {
namespace {

TEST(DosDecodeInteger, SignednessAndWidth) {
  EXPECT_EQ(DecodeInteger(0xFFFE, 2, false), 65534);
  EXPECT_EQ(DecodeInteger(0xFFFE, 2, true), -2);
  EXPECT_EQ(DecodeInteger(0x80, 1, true), -128);
  EXPECT_EQ(DecodeInteger(0x7F, 1, true), 127);
  EXPECT_EQ(DecodeInteger(0xFFFFFFFF, 4, true), -1);
  EXPECT_EQ(DecodeInteger(0xFFFFFFFF, 4, false), 4294967295.0);
  EXPECT_EQ(DecodeInteger(0xFFFFFFFFFFFFFFFEull, 8, true), -2);
  // Bytes above the width are not part of the value.
  EXPECT_EQ(DecodeInteger(0x1234FF, 1, false), 255);
}

TEST(DosUtf8SequenceLength, LeadPatterns) {
  EXPECT_EQ(Utf8SequenceLength('a'), 1);
  EXPECT_EQ(Utf8SequenceLength(0xC3), 2);
  EXPECT_EQ(Utf8SequenceLength(0xE2), 3);
  EXPECT_EQ(Utf8SequenceLength(0xF0), 4);
  // A continuation byte or an impossible lead reads as one (invalid) byte.
  EXPECT_EQ(Utf8SequenceLength(0x80), 1);
  EXPECT_EQ(Utf8SequenceLength(0xF8), 1);
  EXPECT_EQ(Utf8SequenceLength(0xFF), 1);
}

TEST(DosFindLineBreak, FirstOfCrOrLf) {
  EXPECT_EQ(FindLineBreak("abc", 3), 3u);
  EXPECT_EQ(FindLineBreak("ab\ncd", 5), 2u);
  EXPECT_EQ(FindLineBreak("ab\r\ncd", 6), 2u);
  EXPECT_EQ(FindLineBreak("a\nb\rc", 5), 1u);
  EXPECT_EQ(FindLineBreak("a\rb\nc", 5), 1u);
  EXPECT_EQ(FindLineBreak("\n", 1), 0u);
  // Only the first n bytes count.
  EXPECT_EQ(FindLineBreak("abc\n", 3), 3u);
}

// Every position in and around the 128-, 32- and 16-byte steps and the tail
// after them, with the other line-end byte later on and the limit cutting the
// text short.
TEST(DosFindLineBreak, EveryPositionOfLongText) {
  for (char end : {'\n', '\r'}) {
    for (size_t at = 0; at < 300; ++at) {
      std::string text(300, 'x');
      text[at] = end;
      if (at + 3 < text.size()) text[at + 3] = end == '\n' ? '\r' : '\n';
      EXPECT_EQ(FindLineBreak(text.data(), text.size()), at) << at;
      EXPECT_EQ(FindLineBreak(text.data(), at), at) << at;
    }
  }
  std::string none(100, 'y');
  EXPECT_EQ(FindLineBreak(none.data(), none.size()), none.size());
}

struct PlanCase {
  int64_t length;
  int file, requested;
  bool characters;
  int from, to;
};

TEST(DosPlanTextRead, EncodingCombinations) {
  const PlanCase cases[] = {
      // No file encoding and no length: the raw rest of the file, whatever was asked.
      {0, -1, 1, false, -1, -1},
      {0, -1, 0, false, -1, -1},
      // No file encoding: characters for UTF-8 requests, bytes otherwise.
      {5, -1, 1, true, -1, -1},
      {5, -1, 0, false, -1, -1},
      {5, -1, -1, false, -1, -1},
      // The file's encoding equals the request: read it that way, unconverted.
      {0, 1, 1, true, -1, -1},
      {0, 0, 0, false, -1, -1},
      // A UTF-8 file read for another encoding: characters, then converted.
      {0, 1, 0, true, 1, 0},
      {3, 1, -1, true, 1, -1},
      // An 8-bit file read for anything else: bytes, then converted to UTF-8.
      {0, 0, 1, false, 0, 1},
      {4, 0, -1, false, 0, 1},
  };
  for (const PlanCase& c : cases) {
    TextReadPlan plan = PlanTextRead(c.length, c.file, c.requested);
    SCOPED_TRACE(testing::Message() << c.length << " " << c.file << " " << c.requested);
    EXPECT_EQ(plan.characters, c.characters);
    EXPECT_EQ(plan.convertFrom, c.from);
    EXPECT_EQ(plan.convertTo, c.to);
  }
}

TEST(DosNeedsConversion, OnlyBetweenTwoSetEncodings) {
  EXPECT_TRUE(NeedsConversion(0, 1));
  EXPECT_TRUE(NeedsConversion(1, 0));
  EXPECT_FALSE(NeedsConversion(1, 1));
  // "Not set" passes bytes through instead of failing a conversion.
  EXPECT_FALSE(NeedsConversion(1, -1));
  EXPECT_FALSE(NeedsConversion(-1, 0));
}

TEST(DosUtf8Counting, CharactersAndOffsets) {
  const std::string text =
      "a\xC3\xA9\xE2\x82\xAC"
      "b";  // a é € b
  EXPECT_EQ(Utf8CharCount(text.data(), text.size()), 4u);
  EXPECT_EQ(Utf8CharOffset(text.data(), text.size(), 0), 0u);
  EXPECT_EQ(Utf8CharOffset(text.data(), text.size(), 2), 3u);
  EXPECT_EQ(Utf8CharOffset(text.data(), text.size(), 3), 6u);
  EXPECT_EQ(Utf8CharOffset(text.data(), text.size(), 4), text.size());
  EXPECT_EQ(Utf8CharOffset(text.data(), text.size(), 9), text.size());
}

TEST(DosTextWriteLength, CountsCharactersForUtf8) {
  const std::string text = "\xC3\xA9t\xC3\xA9";  // été: 3 characters, 5 bytes
  size_t bytes = 0;
  ASSERT_TRUE(TextWriteLength(text.data(), text.size(), 0, 1, &bytes));
  EXPECT_EQ(bytes, 5u);
  ASSERT_TRUE(TextWriteLength(text.data(), text.size(), 2, 1, &bytes));
  EXPECT_EQ(bytes, 3u);
  ASSERT_TRUE(TextWriteLength(text.data(), text.size(), 3, 1, &bytes));
  EXPECT_EQ(bytes, 5u);
  // Longer than the text in its own unit.
  EXPECT_FALSE(TextWriteLength(text.data(), text.size(), 4, 1, &bytes));
  ASSERT_TRUE(TextWriteLength(text.data(), text.size(), 4, 0, &bytes));
  EXPECT_EQ(bytes, 4u);
  EXPECT_FALSE(TextWriteLength(text.data(), text.size(), 6, -1, &bytes));
}

TEST(DosTruncateTo64, TowardZeroAndSaturating) {
  EXPECT_EQ(TruncateTo64(2.9), 2);
  EXPECT_EQ(TruncateTo64(-2.9), -2);
  EXPECT_EQ(TruncateTo64(-1), -1);
  EXPECT_EQ(TruncateTo64(4294967296.0), 4294967296LL);
  EXPECT_EQ(TruncateTo64(1e300), INT64_MAX);
  EXPECT_EQ(TruncateTo64(-1e300), INT64_MIN);
  EXPECT_EQ(TruncateTo64(std::nan("")), 0);
}

}  // namespace
}  // namespace tzx::dos
