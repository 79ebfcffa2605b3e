// The colour commands and the interface record as a host sees them: the
// plug-in started with and without the siblings GetRealColor and IsPicture
// need, and the core's IsPicture against a stand-in imageio library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "graphics/src/bindings.h"
#include "graphics/src/commands.h"
#include "host_state.h"
#include "support/test_host.h"
#include "tessera/host.h"
#include "tzx/frame.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::graphics {
namespace {

// The plug-ins named, and of the host's siblings only "object".
tessera::HostOptions Options(std::vector<std::string> libraries) {
  return tzx::testing::TestHostOptions(std::move(libraries), {"object"});
}

GraphicsInterface* InterfaceOf(tessera::Host& host) {
  for (const tessera::LoadedLibrary& lib : host.Libraries()) {
    if (lib.name == "graphics") {
      return const_cast<GraphicsInterface*>(static_cast<const GraphicsInterface*>(lib.interface));
    }
  }
  return nullptr;
}

// Runs a chunk; its failure message, or "" on success.
std::string RunChunk(tessera::Host& host, const std::string& code) {
  std::string error;
  return host.RunString(code, &error) ? "" : error;
}

TEST(GraphicsCommands, RealColourNeedsTheDisplayLibrary) {
  tessera::Host host(Options({"graphics"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  std::string failure = RunChunk(host, "GetRealColor(0)");
  EXPECT_NE(failure.find("(error 1685)"), std::string::npos) << failure;
  EXPECT_NE(failure.find("display"), std::string::npos) << failure;
  // Arguments are checked before the library.
  failure = RunChunk(host, "GetRealColor()");
  EXPECT_NE(failure.find("(error 1901)"), std::string::npos) << failure;
  failure = RunChunk(host, "IsPicture('missing.png')");
  EXPECT_NE(failure.find("(error 1685)"), std::string::npos) << failure;
  EXPECT_NE(failure.find("imageio"), std::string::npos) << failure;
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(GraphicsCommands, RealColourFollowsTheOutputFormat) {
  tessera::Host host(Options({"graphics", "display"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  GraphicsInterface* graphics = InterfaceOf(host);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(*graphics->outputFormat, -1);
  const std::string check = "local v = GetRealColor(0xFF12FF87) if v ~= %s then error(v) end";
  auto expect = [&](int format, const char* value) {
    *graphics->outputFormat = format;
    std::string code = check;
    code.replace(code.find("%s"), 2, value);
    EXPECT_EQ(RunChunk(host, code), "") << "format " << format;
  };
  expect(-1, "4279435143");  // no output: unchanged, unsigned
  expect(4, "0x10FC80");
  expect(7, "0x10FC80");
  expect(0, "0x10F880");
  expect(9, "4279435143");
  expect(14, "4279435143");
}

TEST(GraphicsCommands, InterfaceStartValues) {
  tessera::Host host(Options({"graphics"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const GraphicsInterface* g = InterfaceOf(host);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(*g->currentOutput, nullptr);
  EXPECT_EQ(*g->currentDisplay, nullptr);
  EXPECT_EQ(*g->displayWord170, 0);
  EXPECT_EQ(*g->displayWord171, 2);
  EXPECT_EQ(*g->word172, 0);
  EXPECT_EQ(*g->displayWord173, 0);
  EXPECT_EQ(*g->outputBlitLevel, 128);
  EXPECT_EQ(*g->word179, 3);
  EXPECT_EQ(*g->imageCache, nullptr);
  EXPECT_STREQ(g->filterTable[0].name, "blur");
  EXPECT_STREQ(g->filterTable[20].name, "quantize");
  EXPECT_EQ(g->filterTable[17].argumentCount, 5);

  // Entry i is (360 - i) degrees; the last three continue at 450, 540, 630.
  EXPECT_NEAR(g->sineTable[0], 0.0, 1e-12);
  EXPECT_NEAR(g->sineTable[90], -1.0, 1e-12);
  EXPECT_NEAR(g->cosineTable[180], -1.0, 1e-12);
  EXPECT_NEAR(g->sineTable[330], 0.5, 1e-12);
  EXPECT_NEAR(g->sineTable[361], 1.0, 1e-12);
  EXPECT_NEAR(g->cosineTable[362], -1.0, 1e-12);
  EXPECT_NEAR(g->sineTable[363], -1.0, 1e-12);

  const GraphicsState& s = g->state;
  EXPECT_NE(s.scratch, nullptr);
  EXPECT_EQ(s.scratchCapacity, 1024);
  const TransformRecord& t = s.transformDefaults;
  EXPECT_EQ(t.matrix[0], 1.0);
  EXPECT_EQ(t.matrix[1], 0.0);
  EXPECT_EQ(t.matrix[3], 1.0);
  EXPECT_EQ(t.scaleX, 1.0);
  EXPECT_EQ(t.scaleY, 1.0);
  EXPECT_EQ(t.anchorX, 0.0);
  const TagRecord& tags = s.drawTagDefaults;
  EXPECT_EQ(tags.shadow.on, 0);
  EXPECT_EQ(tags.shadow.color, 0x80000000u);
  EXPECT_EQ(tags.shadow.size, 4);
  EXPECT_EQ(tags.shadow.direction, 3);
  EXPECT_EQ(tags.shadow.radius, 5.0);
  EXPECT_DOUBLE_EQ(tags.shadow.sigma, 5.0 / 3.0);
  EXPECT_EQ(tags.border.size, 2);
  EXPECT_EQ(tags.border.color, 0u);
  const DrawStyle& d = s.drawStyle;
  EXPECT_EQ(d.fillStyle, 0);
  EXPECT_EQ(d.formStyle, 1);
  EXPECT_EQ(d.drawPen, 1);
  EXPECT_EQ(d.gradient.style, 2);
  EXPECT_EQ(d.gradient.startColor, 0x0000FFu);
  EXPECT_EQ(d.borderSize, 2);
  EXPECT_EQ(d.borderColor, 0x0093DDu);
  EXPECT_EQ(d.borderPen, 3);
  EXPECT_EQ(d.shadowSize, 4);
  EXPECT_EQ(d.shadowDirection, 3);
  EXPECT_EQ(d.shadowColor, 0x80000000u);
  EXPECT_EQ(d.shadowPen, 2);
  EXPECT_EQ(d.lineWidth, 1);
  const TextStyle& text = s.textStyle;
  const int32_t expected[12] = {1, 0xFFFFFF, 0, 0x0093DD, 0xFFFFFF, 1, 2, 3, 1, 4, 3, 2};
  EXPECT_EQ(std::memcmp(&text, expected, sizeof expected), 0);

  // The slots of this library's own topics are there; the defaults come out.
  EXPECT_NE(g->AllocBitmap, nullptr);
  EXPECT_EQ(g->FreeAlpha, g->FreeMask);
  EXPECT_EQ(g->FreeMask, g->FreeIndexBitmap);
  EXPECT_NE(g->DrawObject, nullptr);
  TransformRecord copy{};
  g->GetTransformDefaults(&copy);
  EXPECT_EQ(copy.scaleX, 1.0);
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

// The imageio library's probe, recording what it was given.
std::string gProbedFile, gProbedLoader, gProbedAdapter;
bool gProbedTags = false;
int Probe(const char* file, const char* loader, const char* adapter, UserTags* tags, int* type,
          int* format, int* width, int* height, int* depth, int* alpha, int* transparency) {
  gProbedFile = file;
  gProbedLoader = loader;
  gProbedAdapter = adapter;
  gProbedTags = tags != nullptr;
  if (std::string(file) != "picture.png") return 0;
  *type = 1;
  *format = 1;
  *width = 640;
  *height = 480;
  *depth = 32;
  *alpha = 1;
  *transparency = 0;
  return 1;
}

TEST(GraphicsCommands, IsPictureReportsWhatTheProbeFound) {
  tessera::Host host(Options({}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const CommandRow rows[] = {{"IsPicture", IsPicture}, {nullptr, nullptr}};
  Args().registerCommands(host.L(), nullptr, rows, 0);
  BoundSiblings saved = gBound;
  ImageIoSibling imageio{};
  imageio.probe = Probe;
  gBound.imageio = &imageio;
  EXPECT_EQ(RunChunk(host, R"(
    local found, info = IsPicture("picture.png", {loader = "png", adapter = "raw", quality = 5})
    assert(found == 1, "found")
    assert(info.format == 1 and info.width == 640 and info.height == 480, "size")
    assert(info.depth == 32 and info.alpha == 1 and info.vector == 1, "kind")
    assert(info.transparency == 0, "transparency")
    found, info = IsPicture("other.txt")
    assert(found == 0 and info.format == 8 and info.width == 0 and info.vector == 0, "unknown")
  )"),
            "");
  EXPECT_EQ(gProbedFile, "other.txt");
  EXPECT_FALSE(gProbedTags);
  RunChunk(host, R"(IsPicture("picture.png", {loader = "png", adapter = "raw", quality = 5}))");
  EXPECT_EQ(gProbedLoader, "png");
  EXPECT_EQ(gProbedAdapter, "raw");
  EXPECT_TRUE(gProbedTags);
  // User tags that the host refuses are the command's error.
  std::string failure = RunChunk(host, "IsPicture('picture.png', {nested = {}})");
  EXPECT_NE(failure.find("(error 1055)"), std::string::npos) << failure;
  failure = RunChunk(host, "IsPicture('picture.png', 5)");
  EXPECT_FALSE(failure.empty());
  gBound = saved;
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

}  // namespace
}  // namespace tzx::graphics
