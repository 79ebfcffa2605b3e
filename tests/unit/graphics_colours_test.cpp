// Colour arithmetic: composition without clamping, mixing, the random table,
// real colours, nearest pens and palette depths.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/src/colours.h"

namespace tzx::graphics {
namespace {

TEST(GraphicsColours, ComposeShiftsWithoutClamping) {
  EXPECT_EQ(ComposeRgb(256, 0, 0), 0x1000000u);
  EXPECT_EQ(ComposeRgb(0, 256, 0), 0x10000u);
  EXPECT_EQ(ComposeRgb(0, 256, 0), ComposeRgb(1, 0, 0));
  EXPECT_EQ(ComposeRgb(0x12, 0x34, 0x56), 0x123456u);
  // A negative channel's bits spread over the others.
  EXPECT_EQ(ComposeRgb(-1, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(ComposeArgb(255, 0xFFFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(ComposeArgb(1, 0), 0x01000000u);
}

TEST(GraphicsColours, TruncationTowardZeroAndWrapping) {
  EXPECT_EQ(TruncateToInt32(1.9), 1);
  EXPECT_EQ(TruncateToInt32(-1.9), -1);
  EXPECT_EQ(TruncateToInt32(4294967295.0), -1);
  EXPECT_EQ(TruncateToInt32(4294967296.0 + 5), 5);
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(TruncateToInt32(1e300), 0);
}

TEST(GraphicsColours, MixRoundsTowardMinusInfinity) {
  EXPECT_EQ(MixRgb(0x000000, 0xFFFFFF, 255), 0xFEFEFEu);
  EXPECT_EQ(MixRgb(0xFFFFFF, 0x000000, 255), 0x000000u);
  EXPECT_EQ(MixRgb(0x000000, 0xFFFFFF, 128), 0x7F7F7Fu);
  EXPECT_EQ(MixRgb(0xFFFFFF, 0x000000, 128), 0x7F7F7Fu);
  EXPECT_EQ(MixRgb(0x123456, 0xABCDEF, 0), 0x123456u);
  // Alpha of either colour is dropped; channels mix separately.
  EXPECT_EQ(MixRgb(static_cast<int32_t>(0xFF102030), static_cast<int32_t>(0x80000000), 0),
            0x102030u);
  EXPECT_EQ(MixRgb(0xFF0000, 0x0000FF, 128), 0x7F007Fu);
}

TEST(GraphicsColours, MixRatioRange) {
  EXPECT_TRUE(MixRatioValid(0));
  EXPECT_TRUE(MixRatioValid(255));
  EXPECT_FALSE(MixRatioValid(256));
  EXPECT_FALSE(MixRatioValid(-1));
}

TEST(GraphicsColours, RandomTableEnds) {
  EXPECT_EQ(RandomTableColor(0.0), 0xCCCCCCu);
  EXPECT_EQ(RandomTableColor(std::nextafter(1.0, 0.0)), 0xCC00FFu);
  EXPECT_EQ(RandomTableColor(4.0 / 246), 0xAA2200u);  // entry 4, 0xA20
  // Strays outside [0, 1) still give table colours.
  EXPECT_EQ(RandomTableColor(-0.5), 0xCCCCCCu);
  EXPECT_EQ(RandomTableColor(1.0), 0xCC00FFu);
  for (int i = 0; i < kRandomColorCount; ++i) {
    uint32_t c = RandomTableColor((i + 0.5) / kRandomColorCount);
    EXPECT_EQ((c >> 16) % 17, 0u);
    EXPECT_EQ(((c >> 8) & 255) % 17, 0u);
    EXPECT_EQ((c & 255) % 17, 0u);
  }
}

TEST(GraphicsColours, RealColorByDepth) {
  EXPECT_EQ(RealColor(0xFF12FF87, 16), 0x10FC80u);
  EXPECT_EQ(RealColor(0xFF12FF87, 15), 0x10F880u);
  EXPECT_EQ(RealColor(0xFF12FF87, 32), 0xFF12FF87u);
  EXPECT_EQ(RealColor(0xFF12FF87, 24), 0xFF12FF87u);
  EXPECT_EQ(RealColor(0xFF12FF87, 8), 0xFF12FF87u);
}

}  // namespace
}  // namespace tzx::graphics
