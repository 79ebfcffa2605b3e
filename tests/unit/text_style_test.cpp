// SetFontStyle's arithmetic on the style block.
#include <gtest/gtest.h>

#include "text/src/style.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {
namespace {

TEST(TextStyle, StylesAccumulateUntilNormal) {
  TextStyle s = InitialTextStyle();
  ApplyFontStyle(&s, graphics::kBold, {});
  ApplyFontStyle(&s, graphics::kItalic, {});
  EXPECT_EQ(s.flags, graphics::kBold | graphics::kItalic);
  ApplyFontStyle(&s, graphics::kNormal | graphics::kUnderlined, {});
  EXPECT_EQ(s.flags, graphics::kNormal);
}

TEST(TextStyle, ShadowAndBorderSettingsAreClamped) {
  TextStyle s = InitialTextStyle();
  StyleSettings shadow;
  shadow.has = StyleSettings::kShadowColor | StyleSettings::kShadowSize | StyleSettings::kShadowDir;
  shadow.shadowColor = 0xFF;
  shadow.shadowSize = 0;
  shadow.shadowDir = 9;
  ApplyFontStyle(&s, graphics::kShadow, shadow);
  EXPECT_EQ(s.shadowColor, 0xFFu);
  EXPECT_EQ(s.shadowSize, 1);
  EXPECT_EQ(s.shadowDir, graphics::kShdwsoutheast);
  StyleSettings edge;
  edge.has = StyleSettings::kBorderSize;
  edge.borderSize = 65;
  ApplyFontStyle(&s, graphics::kEdge, edge);
  EXPECT_EQ(s.borderSize, 64);
  EXPECT_EQ(s.flags, graphics::kShadow | graphics::kEdge);
  shadow.shadowSize = 64;
  shadow.shadowDir = graphics::kShdwnorthwest;
  ApplyFontStyle(&s, graphics::kShadow, shadow);
  EXPECT_EQ(s.shadowSize, 64);
  EXPECT_EQ(s.shadowDir, graphics::kShdwnorthwest);
  shadow.shadowDir = -1;
  ApplyFontStyle(&s, graphics::kShadow, shadow);
  EXPECT_EQ(s.shadowDir, graphics::kShdwsoutheast);
}

TEST(TextStyle, StartsAsTheGraphicsStateDoes) {
  const TextStyle s = InitialTextStyle();
  EXPECT_EQ(s.flags, 1);
  EXPECT_EQ(s.borderColor, 0x0093DDu);
  EXPECT_EQ(s.shadowSize, 4);
  EXPECT_EQ(s.shadowDir, 3);
  EXPECT_EQ(s.borderSize, 2);
}

}  // namespace
}  // namespace tzx::text
