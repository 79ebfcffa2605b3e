// The inverse colour map gives exactly the plain nearest-pen answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pixels/pen_finder.h"
#include "pixels/pens.h"

namespace tzx::pixels {
namespace {

struct Finder {
  std::vector<uint32_t> scratch = std::vector<uint32_t>(PenFinder::kScratchBytes / 4);
  PenFinder finder;
  Finder(const uint32_t* palette, int count) : finder(palette, count, scratch.data()) {}
};

TEST(PixelsPenFinder, AgreesWithTheScanOnRandomPalettes) {
  std::mt19937 random(7);
  for (int count : {1, 2, 3, 16, 17, 255, 256}) {
    std::vector<uint32_t> palette(count);
    for (auto& c : palette) c = random();
    // Duplicates: ties go to the lower index.
    if (count > 3) palette[count - 1] = palette[1];
    Finder f(palette.data(), count);
    for (int i = 0; i < 20000; ++i) {
      const uint32_t color = random();
      ASSERT_EQ(f.finder.Find(color), NearestPen(color, palette.data(), count))
          << count << " " << std::hex << color;
    }
    // The cube's corners and the palette's own colours.
    for (uint32_t c : {0x000000u, 0xFFFFFFu, 0xFF0000u, 0x00FFFFu, 0x0F0F0Fu, 0x101010u}) {
      ASSERT_EQ(f.finder.Find(c), NearestPen(c, palette.data(), count)) << std::hex << c;
    }
    for (uint32_t c : palette) ASSERT_EQ(f.finder.Find(c), NearestPen(c, palette.data(), count));
  }
}

TEST(PixelsPenFinder, CloseEntriesInOneCell) {
  // Entries a step apart within one 16-value cell, and at cell borders.
  std::vector<uint32_t> palette;
  for (int v = 0; v < 256; v += 5) palette.push_back(v * 0x010101u);
  Finder f(palette.data(), static_cast<int>(palette.size()));
  for (uint32_t v = 0; v < 256; ++v) {
    for (uint32_t c : {v * 0x010101u, v << 16, v << 8, v, (v << 16) | (255 - v)}) {
      ASSERT_EQ(f.finder.Find(c), NearestPen(c, palette.data(), static_cast<int>(palette.size())))
          << std::hex << c;
    }
  }
}

TEST(PixelsPenFinder, EmptyPaletteHasNoPen) {
  uint32_t none = 0;
  Finder f(&none, 0);
  EXPECT_EQ(f.finder.Find(0x123456), -1);
}

TEST(PixelsPenFinder, AlphaBytesPlayNoPart) {
  const uint32_t palette[2] = {0xFF000000u, 0x00FFFFFFu};
  Finder f(palette, 2);
  EXPECT_EQ(f.finder.Find(0x00000001u), 0);
  EXPECT_EQ(f.finder.Find(0xFFFFFFFEu), 1);
}

}  // namespace
}  // namespace tzx::pixels
