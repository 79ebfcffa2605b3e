// brush.tzx in hosts that lack some of the libraries it calls: every command
// that needs one fails with 1685 and its name, and nothing is left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_host.h"
#include "tessera/host.h"

namespace {

using tzx::testing::ExpectAbsent;
using tzx::testing::RunCode;

tessera::HostOptions Options(std::vector<std::string> libraries,
                             std::vector<std::string> siblings) {
  return tzx::testing::TestHostOptions(std::move(libraries), std::move(siblings));
}

TEST(BrushSiblings, CommandsNameTheLibraryTheyLack) {
  tessera::Host host(Options({"graphics", "brush"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(RunCode(host, "CreateBrush(1, 4, 4, 0xFF0000)"), "");
  ExpectAbsent(host, "CreateBrush(2, 4, 4, {depth = 2})", "palette");
  ExpectAbsent(host, "PenArrayToBrush(2, {[0] = 0}, 1, 1)", "palette");
  ExpectAbsent(host, "GetBrushPen(1, 0)", "palette");
  ExpectAbsent(host, "LoadBrush(2, 'picture.png')", "imageio");
  ExpectAbsent(host, "SaveBrush(1, 'picture.png')", "imageio");
  ExpectAbsent(host, "CreateBrush(2, 4, 4, {hardware = true})", "display");
  ExpectAbsent(host, "CreateBrush(2, 4, 4, {callback = function() end, userdata = {}})",
               "offscreen");
  ExpectAbsent(host, "ConvertToBrush(1, 1, 2)", "bgpic");
  ExpectAbsent(host, "ConvertToBrush(8, 1, 2)", "text");
  // None of the failures made a brush.
  EXPECT_EQ(RunCode(host, "assert(next(GetObjects(BRUSH), next(GetObjects(BRUSH))) == nil)"), "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(BrushSiblings, NoStartWithoutGraphics) {
  tessera::Host host(Options({"brush"}, {"object"}));
  std::string error;
  EXPECT_FALSE(host.Start(&error));
  EXPECT_NE(error.find("brush"), std::string::npos) << error;
  host.Stop();
}

}  // namespace
