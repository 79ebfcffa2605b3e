// Pens of palettes: the nearest pen of a colour and the depth of a colour
// count, shared by graphics, brush and the host's palette sibling.
#include <gtest/gtest.h>

#include "pixels/pens.h"

namespace tzx::pixels {
namespace {

TEST(PixelsPens, NearestPen) {
  const uint32_t palette[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000};
  EXPECT_EQ(NearestPen(0xF00000, palette, 5), 1);
  EXPECT_EQ(NearestPen(0x0000FF, palette, 5), 3);
  // An exact match stops the search; equal distances keep the lower pen.
  EXPECT_EQ(NearestPen(0xFF0000, palette, 5), 1);
  const uint32_t tie[] = {0x000000, 0x202020};
  EXPECT_EQ(NearestPen(0x101010, tie, 2), 0);
  EXPECT_EQ(NearestPen(0x123456, palette, 0), -1);
  // Alpha bytes play no part.
  const uint32_t alpha[] = {0xFF00FF00, 0x0000FE00};
  EXPECT_EQ(NearestPen(0x0000FF00, alpha, 2), 0);
  // The farthest colour still finds a pen.
  const uint32_t black[] = {0x000000};
  EXPECT_EQ(NearestPen(0xFFFFFF, black, 1), 0);
}

TEST(PixelsPens, DepthForColorCount) {
  EXPECT_EQ(DepthForColors(0), 1);
  EXPECT_EQ(DepthForColors(2), 1);
  EXPECT_EQ(DepthForColors(3), 2);
  EXPECT_EQ(DepthForColors(16), 4);
  EXPECT_EQ(DepthForColors(17), 5);
  EXPECT_EQ(DepthForColors(256), 8);
  EXPECT_EQ(DepthForColors(257), 9);
}

TEST(PixelsPens, EveryPenOfAFullPaletteIsFound) {
  uint32_t palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint32_t>(i * 0x010101);
  EXPECT_EQ(NearestPen(0x000000, palette, 256), 0);
  EXPECT_EQ(NearestPen(0xFFFFFF, palette, 256), 255);
  EXPECT_EQ(NearestPen(0x7F7F80, palette, 256), 127);
  // Entries past the count are never chosen.
  EXPECT_EQ(NearestPen(0xFFFFFF, palette, 2), 1);
}

}  // namespace
}  // namespace tzx::pixels
