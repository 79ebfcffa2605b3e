// The line reader over real host file handles: reading in blocks and setting
// the position back must give exactly what the byte-by-byte rules give.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "dos/src/file_read.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

struct Line {
  std::string text;
  bool cr, lf;
  int64_t positionAfter;
  bool operator==(const Line&) const = default;
};

class LineReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    L_ = luaL_newstate();
    std::filesystem::create_directories(TZX_TEST_TMP);
    // Tests run as parallel processes: one file each.
    path_ = std::string(TZX_TEST_TMP) + "/dos_line_reader_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  }
  void TearDown() override {
    lua_close(L_);
    std::remove(path_.c_str());
  }

  void WriteFile(const std::string& bytes) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  FileHandle* Open() {
    OpenOptions options;
    Files().initOpenOptions(&options);
    return Files().openFile(path_.c_str(), kAccessRead, &options, nullptr);
  }

  enum Way { kBlocks, kBytes, kStreamBytes, kReadLine };

  // Every line of the file, read one of the ways: the collectors, or ReadLine's
  // whole reader with the line ends kept and then taken off again.
  std::vector<Line> AllLines(Way way, bool unbuffered = false) {
    std::vector<Line> lines;
    FileHandle* h = Open();
    EXPECT_TRUE(h);
    if (!h) return lines;
    while (way == kReadLine && !Stream().eof(h)) {
      int rc = ReadTextLine(L_, h, true, unbuffered, true, kEncodingNone, kEncodingNone);
      EXPECT_EQ(rc, 0);
      if (rc) break;
      size_t n;
      const char* s = lua_tolstring(L_, -1, &n);
      Line line{std::string(s, n), false, false, Files().seek(h, 0, kSeekCurrent)};
      lua_pop(L_, 1);
      if (!line.text.empty() && line.text.back() == '\n') {
        line.lf = true;
        line.text.pop_back();
      }
      if (!line.text.empty() && line.text.back() == '\r') {
        line.cr = true;
        line.text.pop_back();
      }
      lines.push_back(line);
    }
    while (way != kReadLine && !Stream().eof(h)) {
      LuaBuffer b;
      Lua().buffinit(L_, &b);
      LineEnd end;
      int rc = way == kBlocks ? CollectLineInBlocks(h, unbuffered, &b, &end)
                              : CollectLineBytes(h, unbuffered, way == kBytes, &b, &end);
      Lua().pushresult(&b);
      EXPECT_EQ(rc, 0);
      size_t n;
      const char* s = lua_tolstring(L_, -1, &n);
      lines.push_back({std::string(s, n), end.cr, end.lf, Files().seek(h, 0, kSeekCurrent)});
      lua_pop(L_, 1);
      if (rc) break;
    }
    Stream().closeFile(h);
    return lines;
  }

  lua_State* L_ = nullptr;
  std::string path_;
};

TEST_F(LineReaderTest, LineEndsAndTheByteAfterALoneCr) {
  WriteFile("a\rb\nc\r\n\r\rd");
  std::vector<Line> expected = {
      {"a", true, false, 2}, {"b", false, true, 4}, {"c", true, true, 7},
      {"", true, false, 8},  {"", true, false, 9},  {"d", false, false, 10},
  };
  EXPECT_EQ(AllLines(kBytes), expected);
  EXPECT_EQ(AllLines(kBytes, true), expected);
  EXPECT_EQ(AllLines(kBlocks), expected);
  EXPECT_EQ(AllLines(kBlocks, true), expected);
  EXPECT_EQ(AllLines(kReadLine), expected);
  EXPECT_EQ(AllLines(kReadLine, true), expected);
}

// Random texts made mostly of line ends, so that CR and LF fall on every kind
// of block boundary.
TEST_F(LineReaderTest, BlocksMatchBytesOnRandomText) {
  std::mt19937 rng(11);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', 'x'};
  for (int trial = 0; trial < 200; ++trial) {
    std::string text(rng() % 400, 0);
    for (char& c : text) c = alphabet[rng() % sizeof alphabet];
    // Some long runs cross the 128-byte first block and its doublings.
    if (trial % 10 == 0) text.insert(rng() % (text.size() + 1), std::string(rng() % 900, 'L'));
    WriteFile(text);
    std::vector<Line> bytes = AllLines(kBytes);
    ASSERT_EQ(AllLines(kBlocks), bytes) << trial;
    ASSERT_EQ(AllLines(kBlocks, true), bytes) << trial;
    ASSERT_EQ(AllLines(kBytes, true), bytes) << trial;
    ASSERT_EQ(AllLines(kReadLine), bytes) << trial;
  }
}

// ReadLine copies a line it finds whole in the host's buffer to a buffer of
// 8192 bytes, with room kept for the line end: lines at that size and one byte
// either side, with each kind of end, and one that ends the file unended.
TEST_F(LineReaderTest, ReadLineAtTheSizeOfItsBuffer) {
  std::string text;
  std::vector<Line> expected;
  for (size_t length : {8189, 8190, 8191, 8192}) {
    for (const char* end : {"\n", "\r\n", "\r"}) {
      text += std::string(length, 'm') + end;
      expected.push_back({std::string(length, 'm'), end[0] == '\r',
                          end[0] == '\n' || end[1] == '\n', static_cast<int64_t>(text.size())});
    }
  }
  text += std::string(8191, 'e');
  expected.push_back({std::string(8191, 'e'), false, false, static_cast<int64_t>(text.size())});
  WriteFile(text);
  EXPECT_EQ(AllLines(kBytes), expected);
  EXPECT_EQ(AllLines(kReadLine), expected);
}

// Lines longer than the Lua buffer (8192) and than the host's buffer (65536),
// with the CR of a CR LF pair as the last byte of a host buffer.
TEST_F(LineReaderTest, LongLinesAcrossBufferBoundaries) {
  std::string text =
      std::string(65535, 'x') + "\r\n" + std::string(20000, 'y') + "\r" + std::string(9000, 'z');
  WriteFile(text);
  std::vector<Line> expected = {
      {std::string(65535, 'x'), true, true, 65537},
      {std::string(20000, 'y'), true, false, 85538},
      {std::string(9000, 'z'), false, false, 94538},
  };
  EXPECT_EQ(AllLines(kBytes), expected);
  EXPECT_EQ(AllLines(kBlocks), expected);
  EXPECT_EQ(AllLines(kBlocks, true), expected);
  EXPECT_EQ(AllLines(kReadLine), expected);
}

// A lone CR as the last byte of the host's buffer: the byte after it, read
// ahead into the next buffer, starts the next line.
TEST_F(LineReaderTest, LoneCrClosingTheHostBuffer) {
  WriteFile(std::string(65535, 'x') + "\ry\n");
  const std::vector<Line> expected = {{std::string(65535, 'x'), true, false, 65536},
                                      {"y", false, true, 65538}};
  EXPECT_EQ(AllLines(kBytes), expected);
  EXPECT_EQ(AllLines(kBlocks), expected);
  EXPECT_EQ(AllLines(kReadLine), expected);
}

// A stream cannot give back the byte after a lone CR, so it keeps both in the
// line rather than lose one.
TEST_F(LineReaderTest, StreamKeepsTheByteAfterALoneCr) {
  WriteFile("a\rb\nc\r\nd");
  std::vector<Line> lines = AllLines(kStreamBytes);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "a\rb");
  EXPECT_EQ(lines[1].text, "c");
  EXPECT_EQ(lines[2].text, "d");
}

// ReadLine's finishing rules: the line end on request, the mark removed from
// UTF-8 text, 8-bit text converted.
TEST_F(LineReaderTest, KeepEndMarkAndConversion) {
  WriteFile("\xEF\xBB\xBFh\xE9\r\nnext\n");
  FileHandle* h = Open();
  ASSERT_TRUE(h);
  ASSERT_EQ(ReadTextLine(L_, h, true, false, true, kEncodingNone, kEncodingUtf8), 0);
  EXPECT_EQ(std::string(lua_tostring(L_, -1)), "h\xE9\r\n");
  lua_pop(L_, 1);
  ASSERT_EQ(Files().seek(h, 0, kSeekBeginning), 0);
  // As an 8-bit file the mark is text and every byte becomes a character.
  ASSERT_EQ(ReadTextLine(L_, h, true, false, false, kEncodingLatin1, kEncodingUtf8), 0);
  EXPECT_EQ(std::string(lua_tostring(L_, -1)), "\xC3\xAF\xC2\xBB\xC2\xBFh\xC3\xA9");
  lua_pop(L_, 1);
  ASSERT_EQ(Files().seek(h, 0, kSeekBeginning), 0);
  // As UTF-8 the 0xE9 byte is not valid text.
  EXPECT_EQ(ReadTextLine(L_, h, true, false, false, kEncodingUtf8, kEncodingLatin1), 1670);
  EXPECT_EQ(lua_gettop(L_), 0);
  Stream().closeFile(h);
}

// A line longer than the Lua buffer is assembled on the stack; the mark is
// still removed and nothing else is left behind.
TEST_F(LineReaderTest, MarkOnALineLongerThanTheBuffer) {
  std::string body(20000, 'q');
  WriteFile("\xEF\xBB\xBF" + body + "\n");
  FileHandle* h = Open();
  ASSERT_TRUE(h);
  for (bool canSeek : {true, false}) {
    ASSERT_EQ(Files().seek(h, 0, kSeekBeginning), 0);
    ASSERT_EQ(ReadTextLine(L_, h, canSeek, false, false, kEncodingUtf8, kEncodingUtf8), 0);
    EXPECT_EQ(std::string(lua_tostring(L_, -1)), body);
    lua_pop(L_, 1);
    EXPECT_EQ(lua_gettop(L_), 0);
  }
  Stream().closeFile(h);
}

}  // namespace
}  // namespace tzx::dos
