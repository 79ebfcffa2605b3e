// text.tzx without the brush library: brush fonts fail with 1685 naming it,
// and nothing is left behind.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"
#include "tessera/host.h"

namespace {

TEST(TextSiblings, BrushFontsNeedTheBrushLibrary) {
  tessera::Host host(tzx::testing::TestHostOptions({"graphics", "text"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  tzx::testing::ExpectAbsent(host, "CreateFont(1, 1, 'AB', 8, 8, 2)", "brush");
  EXPECT_EQ(tzx::testing::RunCode(host, "SetFont(SANS, 12)"), "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

// InKeyStr needs the display and event libraries, in that order.
TEST(TextSiblings, LineInputNeedsDisplayAndEvents) {
  {
    tessera::Host host(tzx::testing::TestHostOptions({"graphics", "text"}, {"object", "event"}));
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    tzx::testing::ExpectAbsent(host, "InKeyStr(ALL)", "display");
    host.Stop();
    EXPECT_EQ(host.LiveBlocks(), 0);
  }
  {
    tessera::Host host(
        tzx::testing::TestHostOptions({"graphics", "text", "display"}, {"object", "event"}));
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    tzx::testing::ExpectAbsent(host, "InKeyStr(ALL)", "layers");
    host.Stop();
    EXPECT_EQ(host.LiveBlocks(), 0);
  }
  tessera::Host host(
      tzx::testing::TestHostOptions({"graphics", "text", "display"}, {"object", "layers"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  tzx::testing::ExpectAbsent(host, "InKeyStr(ALL)", "event");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

}  // namespace
