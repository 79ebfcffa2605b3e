// The line InKeyStr edits: the buffer exactly full, characters of several
// bytes, 8-bit text, masked encoding and the Ctrl state of a paste.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "text/src/line_input.h"

namespace tzx::text {
namespace {

TEST(LineInput, TheBufferHoldsItsBytesLessTheTerminator) {
  auto line = std::make_unique<LineInput>();
  for (int i = 0; i < kInputBufferBytes - 2; ++i) ASSERT_TRUE(InsertChar(line.get(), 'a'));
  EXPECT_FALSE(InsertChar(line.get(), 0xE9)) << "two bytes do not fit in one";
  EXPECT_TRUE(InsertChar(line.get(), 'b'));
  EXPECT_FALSE(InsertChar(line.get(), 'c'));
  EXPECT_EQ(line->bytes, kInputBufferBytes - 1);
  auto text = std::make_unique<char[]>(kInputBufferBytes);
  EXPECT_EQ(EncodeLine(*line, false, text.get()), size_t(kInputBufferBytes - 1));
  EXPECT_EQ(text[kInputBufferBytes - 2], 'b');
  EXPECT_EQ(text[kInputBufferBytes - 1], '\0');
  // Removing a character frees its bytes.
  EXPECT_EQ(PressKey(line.get(), kInputKeyBackspace, true), InputResult::kChanged);
  EXPECT_EQ(line->bytes, kInputBufferBytes - 2);
}

TEST(LineInput, EncodingsAndMasks) {
  auto line = std::make_unique<LineInput>();
  EXPECT_TRUE(InsertChar(line.get(), 0x1F600));
  EXPECT_TRUE(InsertChar(line.get(), 0x20AC));
  EXPECT_FALSE(InsertChar(line.get(), 0x07)) << "control characters are keys";
  EXPECT_EQ(line->bytes, 7);
  char text[kInputBufferBytes];
  EXPECT_EQ(std::string(text, EncodeLine(*line, false, text)), "\xF0\x9F\x98\x80\xE2\x82\xAC");
  EXPECT_EQ(std::string(text, EncodeLine(*line, true, text)), "**");
  auto latin = std::make_unique<LineInput>();
  latin->utf8 = false;
  EXPECT_TRUE(InsertChar(latin.get(), 0xE9));
  EXPECT_FALSE(InsertChar(latin.get(), 0x20AC)) << "8-bit text ends at 255";
  EXPECT_EQ(std::string(text, EncodeLine(*latin, false, text)), "\xE9");
}

TEST(LineInput, KeysAndTheControlState) {
  auto line = std::make_unique<LineInput>();
  EXPECT_EQ(PressKey(line.get(), kInputKeyPaste, true), InputResult::kNone);
  PressKey(line.get(), kInputKeyRightControl, true);
  EXPECT_EQ(PressKey(line.get(), kInputKeyPaste, true), InputResult::kPaste);
  PressKey(line.get(), kInputKeyRightControl, false);
  EXPECT_EQ(PressKey(line.get(), kInputKeyPaste, true), InputResult::kNone);
  EXPECT_EQ(PressKey(line.get(), kInputKeyReturn, false), InputResult::kNone) << "releases";
  EXPECT_EQ(PressKey(line.get(), kInputKeyEnter, true), InputResult::kEnded);
  EXPECT_EQ(PressKey(line.get(), kInputKeyEscape, true), InputResult::kCancelled);
  EXPECT_EQ(TypeCharacter(line.get(), '\n'), InputResult::kEnded);
  line->maxChars = 1;
  EXPECT_EQ(TypeCharacter(line.get(), 'x'), InputResult::kChanged);
  EXPECT_EQ(TypeCharacter(line.get(), 'y'), InputResult::kNone);
}

}  // namespace
}  // namespace tzx::text
