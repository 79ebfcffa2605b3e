// The fifteen pixel formats: their bytes for a known colour, each to and from
// format 10 pixel by pixel and row by row, and conversions between others.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/src/pixel_formats.h"

namespace tzx::graphics {
namespace {

// 0xAARRGGBB chosen so that every channel survives 5 and 6 bits exactly.
constexpr uint32_t kColor = 0xAAF08810;

struct FormatCase {
  int format;
  std::vector<uint8_t> bytes;  // kColor stored in memory order
  uint32_t readBack;           // what ReadColor gives for those bytes
};

const FormatCase kCases[] = {
    {0, {0x22, 0x7A}, 0xF08810},
    {1, {0x3E, 0x0A}, 0xF08810},
    {2, {0x7A, 0x22}, 0xF08810},
    {3, {0x0A, 0x3E}, 0xF08810},
    {4, {0x42, 0xF4}, 0xF08810},
    {5, {0x5E, 0x14}, 0xF08810},
    {6, {0xF4, 0x42}, 0xF08810},
    {7, {0x14, 0x5E}, 0xF08810},
    {8, {0xF0, 0x88, 0x10}, 0xF08810},
    {9, {0x10, 0x88, 0xF0}, 0xF08810},
    {10, {0x10, 0x88, 0xF0, 0xAA}, 0xAAF08810},
    {11, {0xAA, 0xF0, 0x88, 0x10}, 0xAAF08810},
    {12, {0xAA, 0x10, 0x88, 0xF0}, 0xAAF08810},
    {13, {0xF0, 0x88, 0x10, 0xAA}, 0xAAF08810},
    {14, {0x99}, 0x999999},  // grey level of the colour
};

TEST(GraphicsPixelFormats, SizesAndDepths) {
  const int bytes[] = {2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 4, 4, 1};
  const int depths[] = {15, 15, 15, 15, 16, 16, 16, 16, 24, 24, 32, 32, 32, 32, 8};
  for (int f = 0; f < 15; ++f) {
    EXPECT_EQ(FormatBytes(f), bytes[f]) << f;
    EXPECT_EQ(FormatDepthBits(f), depths[f]) << f;
  }
  EXPECT_EQ(FormatBytes(15), 0);
  EXPECT_EQ(FormatBytes(-1), 0);
  EXPECT_EQ(FormatDepthBits(15), 0);
  EXPECT_EQ(FormatDepthBits(-1), 32);  // no output
}

TEST(GraphicsPixelFormats, EachFormatToAndFromFormat10) {
  for (const FormatCase& c : kCases) {
    uint8_t pixel[4] = {};
    WriteColor(pixel, c.format, kColor);
    EXPECT_EQ(std::vector<uint8_t>(pixel, pixel + c.bytes.size()), c.bytes) << c.format;
    EXPECT_EQ(ReadColor(c.bytes.data(), c.format), c.readBack) << c.format;

    // Format 10 rows through ConvertRow, both ways.
    uint8_t argb[4];
    std::memcpy(argb, &kColor, 4);
    uint8_t out[4] = {};
    ConvertRow(argb, 10, out, c.format, 1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + c.bytes.size()), c.bytes) << c.format;
    uint32_t back = 0;
    ConvertRow(c.bytes.data(), c.format, reinterpret_cast<uint8_t*>(&back), 10, 1);
    EXPECT_EQ(back, c.readBack) << c.format;
  }
}

TEST(GraphicsPixelFormats, ShallowChannelsAreNotReplicated) {
  uint8_t white15[2] = {0xFF, 0x7F};
  EXPECT_EQ(ReadColor(white15, 0), 0xF8F8F8u);
  uint8_t white16[2] = {0xFF, 0xFF};
  EXPECT_EQ(ReadColor(white16, 4), 0xF8FCF8u);
}

// Rows of every length through the specialised loops agree with single pixels.
TEST(GraphicsPixelFormats, RowsMatchSinglePixels) {
  for (int f = 0; f < 15; ++f) {
    for (int count : {1, 3, 4, 15, 16, 17, 37, 600}) {
      std::vector<uint32_t> argb(count);
      for (int i = 0; i < count; ++i) argb[i] = 0x9E3779B9u * (i + 1) ^ (f * 0x01010101u);
      std::vector<uint8_t> row(count * FormatBytes(f));
      RowFromArgb(argb.data(), row.data(), f, count);
      std::vector<uint32_t> decoded(count);
      RowToArgb(row.data(), f, decoded.data(), count);
      for (int i = 0; i < count; ++i) {
        uint8_t single[4] = {};
        WriteColor(single, f, argb[i]);
        ASSERT_EQ(std::memcmp(single, row.data() + i * FormatBytes(f), FormatBytes(f)), 0)
            << "format " << f << " pixel " << i;
        ASSERT_EQ(decoded[i], ReadColor(single, f)) << "format " << f << " pixel " << i;
      }
    }
  }
}

// The 15- and 16-bit words of 0xAARRGGBB written out field by field, apart
// from the converter's own arithmetic.
uint16_t ExpectedWord(int format, uint32_t c) {
  uint32_t red = (c >> 19) & 31, blue = (c >> 3) & 31;
  bool fiveBitGreen = format < 4;
  uint32_t green = fiveBitGreen ? (c >> 11) & 31 : (c >> 10) & 63;
  uint32_t high = format % 2 == 0 ? red : blue, low = format % 2 == 0 ? blue : red;
  uint32_t w = fiveBitGreen ? (high << 10) | (green << 5) | low : (high << 11) | (green << 5) | low;
  bool bigEndian = format == 2 || format == 3 || format == 6 || format == 7;
  if (bigEndian) w = ((w & 0xFF) << 8) | (w >> 8);
  return static_cast<uint16_t>(w);
}

// The vector path of format 10 to the 16-bit formats, on random rows of many
// widths (whole vectors, partial ones and a remainder) at unaligned addresses:
// every word as the plain formula gives it, nothing written past the row.
TEST(GraphicsPixelFormats, SixteenBitRowsMatchTheFieldFormula) {
  std::mt19937 random(7);
  std::vector<int> widths;
  for (int w = 0; w <= 67; ++w) widths.push_back(w);
  for (int w : {127, 128, 129, 1000, 1919, 1920, 1921}) widths.push_back(w);
  for (int f = 0; f < 8; ++f) {
    for (int width : widths) {
      int offset = static_cast<int>(random() % 4);
      std::vector<uint8_t> source(4 * width + offset);
      for (uint8_t& b : source) b = static_cast<uint8_t>(random());
      // Corner colours where sign and carry mistakes would show.
      const uint32_t corners[] = {0xFFFFFFFF, 0x00000000, 0x80808080, 0x7F7F7F7F, 0x00F8FCF8};
      for (int i = 0; i < width && i < 5; ++i) std::memcpy(&source[offset + 4 * i], &corners[i], 4);
      std::vector<uint8_t> target(2 * width + offset + 2, 0xA5);
      ConvertRow(source.data() + offset, 10, target.data() + offset, f, width);
      for (int i = 0; i < width; ++i) {
        uint32_t c;
        std::memcpy(&c, &source[offset + 4 * i], 4);
        uint16_t got;
        std::memcpy(&got, &target[offset + 2 * i], 2);
        ASSERT_EQ(got, ExpectedWord(f, c))
            << "format " << f << " width " << width << " pixel " << i;
      }
      for (int i = 0; i < offset; ++i) ASSERT_EQ(target[i], 0xA5) << f << " " << width;
      ASSERT_EQ(target[offset + 2 * width], 0xA5) << f << " " << width;
      ASSERT_EQ(target[offset + 2 * width + 1], 0xA5) << f << " " << width;
    }
  }
}

// Every 15- and 16-bit word survives a trip through format 10 unchanged, and
// the deeper formats keep every colour exactly.
TEST(GraphicsPixelFormats, RoundTripsThroughFormat10) {
  for (int f = 0; f < 8; ++f) {
    int mismatches = 0;
    for (uint32_t w = 0; w < 65536; ++w) {
      // 15-bit words have a free top bit that cannot survive; in formats 2
      // and 3 it comes first in memory.
      uint32_t freeBit = f < 2 ? 0x8000 : 0x0080;
      if (f < 4 && (w & freeBit)) continue;
      uint8_t bytes[2] = {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)};
      uint8_t out[2];
      WriteColor(out, f, ReadColor(bytes, f));
      mismatches += std::memcmp(bytes, out, 2) != 0;
    }
    EXPECT_EQ(mismatches, 0) << f;
  }
  for (int f = 8; f < 14; ++f) {
    for (uint32_t c : {0x00000000u, 0x00FFFFFFu, 0x00123456u, 0xFF654321u, 0x80ABCDEFu}) {
      uint8_t bytes[4];
      WriteColor(bytes, f, c);
      uint32_t keep = f >= 10 ? c : c & 0xFFFFFF;
      EXPECT_EQ(ReadColor(bytes, f), keep) << f;
    }
  }
  for (int v = 0; v < 256; ++v) {
    uint8_t grey = static_cast<uint8_t>(v), out;
    WriteColor(&out, 14, ReadColor(&grey, 14));
    EXPECT_EQ(out, grey);
  }
}

TEST(GraphicsPixelFormats, ConversionBetweenOtherFormats) {
  const int count = 700;  // more than one chunk of the converter
  std::vector<uint8_t> source(count * 2);
  for (int i = 0; i < count * 2; ++i) source[i] = static_cast<uint8_t>(i * 37 + 11);
  for (int target : {0, 5, 7, 9, 11, 12, 13, 14}) {
    std::vector<uint8_t> converted(count * FormatBytes(target));
    ConvertRow(source.data(), 4, converted.data(), target, count);
    for (int i = 0; i < count; ++i) {
      uint8_t expected[4];
      WriteColor(expected, target, ReadColor(source.data() + 2 * i, 4));
      ASSERT_EQ(
          std::memcmp(expected, converted.data() + i * FormatBytes(target), FormatBytes(target)), 0)
          << "to " << target << " pixel " << i;
    }
  }
}

TEST(GraphicsPixelFormats, RectsKeepTheirRowPitches) {
  // Two rows of three format-10 pixels, 16 bytes apart, into 3-byte rows 10 apart.
  uint32_t source[8] = {0x010203, 0x040506, 0x070809, 0xDEAD, 0x0A0B0C, 0x0D0E0F, 0x101112, 0};
  uint8_t target[20];
  std::memset(target, 0xEE, sizeof target);
  ConvertRect(reinterpret_cast<uint8_t*>(source), 16, 10, target, 10, 8, 3, 2);
  const uint8_t expected[20] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE,
                                10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE};
  EXPECT_EQ(std::memcmp(target, expected, 20), 0);
}

TEST(GraphicsPixelFormats, StoredValuesAsColors) {
  EXPECT_EQ(ReadRaw(kCases[0].bytes.data(), 0), 0x7A22u);
  // 15-bit values widen through 5-5-5, their own layout.
  EXPECT_EQ(RawToColor(0x7A22, 0, false), 0xF08810u);
  EXPECT_EQ(RawToColor(0xF442, 4, false), 0xF08810u);
  EXPECT_EQ(RawToColor(0x227A, 2, false), 0xF08810u);
  EXPECT_EQ(RawToColor(0x1088F0, 8, false), 0xF08810u);
  EXPECT_EQ(RawToColor(0xAAF08810, 10, true), 0xAAF08810u);
  EXPECT_EQ(RawToColor(0xAAF08810, 10, false), 0xF08810u);
  EXPECT_EQ(RawToColor(0x1088F0AA, 11, true), 0xAAF08810u);
  EXPECT_EQ(RawToColor(0x99, 14, true), 0x999999u);
  uint8_t bytes[4] = {};
  WriteRaw(bytes, 8, 0x1088F0);
  EXPECT_EQ(ReadColor(bytes, 8), 0xF08810u);
}

}  // namespace
}  // namespace tzx::graphics
