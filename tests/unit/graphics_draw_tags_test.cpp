// The draw-tag parser on tag tables made by a real interpreter with the host's
// field readers, and SetDrawTagsDefault in a started host.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "graphics/src/bindings.h"
#include "graphics/src/draw_record.h"
#include "graphics/src/draw_tags.h"
#include "graphics/src/transform_matrix.h"
#include "support/graphics_fixtures.h"
#include "tessera/host.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"

namespace tzx::graphics {
namespace {

enum Kind { kBlur = 0, kSepiaTone = 12, kGamma = 5 };

class DrawTags : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    L = luaL_newstate();
    luaL_openlibs(L);
  }
  void TearDown() override {
    lua_close(L);
    GraphicsTest::TearDown();
  }

  // Parses `table` (a Lua expression) as the last argument, from the
  // defaults, for a source of the given size.
  int Parse(const std::string& table, int sourceWidth = 50, int sourceHeight = 40,
            uint32_t flags = kParseFromDefaults, int width = 0, int height = 0) {
    lua_settop(L, 0);
    if (luaL_dostring(L, ("return " + table).c_str()) != 0) {
      ADD_FAILURE() << lua_tostring(L, -1);
      return -1;
    }
    return ParseDrawTags(L, lua_gettop(L), sourceWidth, sourceHeight, width, height, 0, &t, &tags,
                         flags);
  }

  const char* ErrorArgument() { return tzx::host::State().errorString.c_str(); }

  lua_State* L = nullptr;
  TransformRecord t{};
  TagRecord tags{};
};

TEST_F(DrawTags, ScalesAndTheTransformMatrix) {
  EXPECT_EQ(Parse("{scalex = 0}"), kErrRange);
  EXPECT_EQ(Parse("{scalex = 2, scaley = 0}"), kErrRange);
  // A transform's zero diagonal fails even beside a valid scale.
  EXPECT_EQ(Parse("{transform = {[0] = 1, [1] = 0, [2] = 0, [3] = 0}, scalex = 2}"), kErrRange);
  ASSERT_EQ(Parse("{transform = {[0] = 2, [1] = 0.5, [2] = 0, [3] = 3}, scalex = 4}"), 0);
  EXPECT_EQ(t.matrixGiven, 1);
  EXPECT_EQ(t.matrix[0], 2.0);
  EXPECT_EQ(t.matrix[1], 0.5);
  EXPECT_EQ(t.givenMatrix[3], 3.0);
  EXPECT_EQ(t.scaleX, 1.0);  // the scale is not read beside a transform

  ASSERT_EQ(Parse("{scalex = 1.5, scaley = -2}"), 0);
  EXPECT_EQ(t.matrix[0], 1.5);
  EXPECT_EQ(t.matrix[3], -2.0);
  EXPECT_EQ(t.matrixGiven, 0);
  // The parse stops at the first error and keeps what it had read.
  EXPECT_EQ(Parse("{scalex = 3, anchorx = 2}"), kErrRange);
  EXPECT_EQ(t.scaleX, 3.0);
}

TEST_F(DrawTags, RequestedSizes) {
  ASSERT_EQ(Parse("{width = 100}"), 0);
  EXPECT_EQ(t.scaleX, 2.0);
  EXPECT_EQ(t.matrix[0], 2.0);
  EXPECT_EQ(t.matrix[3], 1.0);
  EXPECT_EQ(t.width, 100);
  // A requested size equal to the source's is no request; no table, no matrix.
  ASSERT_EQ(Parse("nil", 50, 40, kParseFromDefaults, 50, 40), 0);
  EXPECT_EQ(t.width, 0);
  EXPECT_EQ(t.matrix[0], 1.0);
  ASSERT_EQ(Parse("nil", 50, 40, kParseFromDefaults, 100, 0), 0);
  EXPECT_EQ(t.matrix[0], 2.0);
  EXPECT_EQ(t.matrix[3], 1.0);
  // A scale wins over the size; flag 4 leaves the size unread.
  ASSERT_EQ(Parse("{scalex = 3, width = 100}"), 0);
  EXPECT_EQ(t.width, 0);
  EXPECT_EQ(t.matrix[0], 3.0);
  ASSERT_EQ(Parse("{width = 100}", 50, 40, kParseFromDefaults | kParseNoSize), 0);
  EXPECT_EQ(t.width, 0);
  EXPECT_EQ(t.matrix[0], 1.0);
}

TEST_F(DrawTags, Rotation) {
  ASSERT_EQ(Parse("{rotate = 450}"), 0);
  EXPECT_EQ(t.rotate, 90.0);
  // Rotation alone builds the matrix: (k, s, -s, k) for a = 270 degrees.
  EXPECT_NEAR(t.matrix[0], 0.0, 1e-12);
  EXPECT_NEAR(t.matrix[1], -1.0, 1e-12);
  EXPECT_NEAR(t.matrix[2], 1.0, 1e-12);
  EXPECT_NEAR(t.matrix[3], 0.0, 1e-12);
  EXPECT_EQ(t.scaleAndRotate, 0);
  ASSERT_EQ(Parse("{rotate = 30, scalex = 2}"), 0);
  EXPECT_EQ(t.scaleAndRotate, 1);
  EXPECT_EQ(Parse("{rotate = 30}", 50, 40, kParseFromDefaults | kParseNoRotate), 0);
  EXPECT_EQ(t.rotate, 0.0);
  // With flag 0x10 the smoothscale argument comes only with a rotation.
  lua_settop(L, 0);
  luaL_dostring(L, "return {rotate = 10}");
  ASSERT_EQ(
      ParseDrawTags(L, 1, 50, 40, 0, 0, 1, &t, &tags, kParseFromDefaults | kParseSmoothWithRotate),
      0);
  EXPECT_EQ(t.smoothScale, 1);
  lua_settop(L, 0);
  luaL_dostring(L, "return {scalex = 2}");
  ASSERT_EQ(
      ParseDrawTags(L, 1, 50, 40, 0, 0, 1, &t, &tags, kParseFromDefaults | kParseSmoothWithRotate),
      0);
  EXPECT_EQ(t.smoothScale, 0);
}

TEST_F(DrawTags, AnchorsAndTheTable) {
  ASSERT_EQ(Parse("{anchorx = 1.0, anchory = 0}"), 0);
  EXPECT_EQ(t.anchorX, 1.0);
  EXPECT_EQ(Parse("{anchorx = 1.0000001}"), kErrRange);
  EXPECT_EQ(Parse("{anchory = -0.5}"), kErrRange);
  // A missing table where one is required names its argument index.
  EXPECT_EQ(Parse("5", 50, 40, kParseFromDefaults | kParseTableRequired), kErrTableArgument);
  EXPECT_EQ(tzx::host::State().errorNumber, 1.0);
  EXPECT_EQ(ParseDrawTags(L, 0, 50, 40, 0, 0, 0, &t, &tags, kParseTableRequired),
            kErrTableArgument);
  // A table that is not the last argument is not read.
  lua_settop(L, 0);
  luaL_dostring(L, "return {scalex = 0}, 1");
  EXPECT_EQ(ParseDrawTags(L, 1, 50, 40, 0, 0, 0, &t, &tags, kParseFromDefaults), 0);
  // Without a tag record only the transform part is read.
  lua_settop(L, 0);
  luaL_dostring(L, "return {scalex = 2, name = ''}");
  EXPECT_EQ(ParseDrawTags(L, 1, 50, 40, 0, 0, 0, &t, nullptr, kParseFromDefaults), 0);
}

TEST_F(DrawTags, LevelsAreClamped) {
  ASSERT_EQ(Parse("{transparency = 300}"), 0);
  EXPECT_EQ(tags.transparency, 255);
  EXPECT_EQ(tags.hasEffects, 1);
  ASSERT_EQ(Parse("{transparency = -5}"), 0);
  EXPECT_EQ(tags.transparency, 0);
  EXPECT_EQ(tags.hasEffects, 0);
  ASSERT_EQ(Parse("{transparency = 12.9}"), 0);
  EXPECT_EQ(tags.transparency, 12);
  // Tint 0 leaves the filter off with its colour set.
  ASSERT_EQ(Parse("{tint = 0, tintcolor = 0xFF0000}"), 0);
  EXPECT_EQ(tags.filters[kFilterTint].enabled, 0);
  EXPECT_EQ(tags.filters[kFilterTint].ints[0], 0xFF0000);
  ASSERT_EQ(Parse("{tint = 999}"), 0);
  EXPECT_EQ(tags.filters[kFilterTint].enabled, 1);
  EXPECT_EQ(tags.filters[kFilterTint].ints[1], 255);
}

TEST_F(DrawTags, FilterLists) {
  ASSERT_EQ(Parse("{filters = {[0] = {name = 'blur'}}}"), 0);
  EXPECT_EQ(tags.filters[kBlur].enabled, 1);
  EXPECT_EQ(tags.filters[kBlur].floats[0], 5.0f);
  EXPECT_EQ(tags.hasEffects, 1);
  // The list starts at index 0: an entry at 1 alone is never reached.
  ASSERT_EQ(Parse("{filters = {{name = 'blur'}}}"), 0);
  EXPECT_FALSE(HasFilters(tags.filters));
  // Given arguments first, table defaults after them; levels are clamped.
  ASSERT_EQ(Parse("{filters = {[0] = {name = 'waterripple', args = {[0] = 10.7, -3}},"
                  " {name = 'sepiatone', args = {[0] = 300}, priority = -1}}}"),
            0);
  const FilterEntry& ripple = tags.filters[kFilterWaterRipple];
  EXPECT_EQ(ripple.ints[0], 10);
  EXPECT_EQ(ripple.ints[1], -3);
  EXPECT_EQ(ripple.ints[2], 0);
  EXPECT_EQ(ripple.floats[0], 0.5f);
  EXPECT_EQ(ripple.floats[1], 0.5f);
  EXPECT_EQ(tags.filters[kSepiaTone].ints[0], 255);
  EXPECT_EQ(tags.filters[kSepiaTone].priority, 255);
  // Named twice: the later entry wins; "disable" only switches it off.
  ASSERT_EQ(Parse("{filters = {[0] = {name = 'gamma', args = {[0] = 2}}, {name = 'gamma'},"
                  " {name = 'blur'}, {name = 'blur', disable = 1}}}"),
            0);
  EXPECT_EQ(tags.filters[kGamma].floats[0], 1.0f);
  EXPECT_EQ(tags.filters[kGamma].enabled, 1);
  EXPECT_EQ(tags.filters[kBlur].enabled, 0);
  // Filters set as defaults stay on in later parses.
  SharedState().drawTagDefaults.filters[kBlur].enabled = 1;
  ASSERT_EQ(Parse("{}"), 0);
  EXPECT_EQ(tags.filters[kBlur].enabled, 1);
}

TEST_F(DrawTags, FilterListErrors) {
  EXPECT_EQ(Parse("{filters = 5}"), kErrFieldNotTable);
  EXPECT_STREQ(ErrorArgument(), "filters");
  EXPECT_EQ(Parse("{filters = {[0] = 'blur'}}"), kErrFieldNotTable);
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur'}, {args = {}}}}"), kErrFilterWithoutName);
  EXPECT_STREQ(ErrorArgument(), "1");
  EXPECT_EQ(Parse("{filters = {[0] = {name = 7}}}"), kErrNotString);
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'Blur'}}}"), kErrUnknownFilter);
  EXPECT_STREQ(ErrorArgument(), "Blur");
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur', disable = 'yes'}}}"), kErrNotNumber);
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur', priority = {}}}}"), kErrNotNumber);
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur', args = 5}}}"), kErrFieldNotTable);
  EXPECT_STREQ(ErrorArgument(), "args");
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur', args = {[0] = 'x'}}}}"), kErrNotNumber);
  // A disabled entry's arguments are not looked at.
  EXPECT_EQ(Parse("{filters = {[0] = {name = 'blur', disable = 1, args = 5}}}"), 0);
  EXPECT_EQ(lua_gettop(L), 1);  // the readers leave the stack as they found it
}

TEST_F(DrawTags, NameAndGroup) {
  ASSERT_EQ(Parse("{name = 'hero', group = 'sprites'}"), 0);
  EXPECT_STREQ(tags.name, "hero");
  EXPECT_STREQ(tags.group, "sprites");
  EXPECT_EQ(Parse("{name = 'same', group = 'same'}"), kErrGroupIsName);
  EXPECT_EQ(Parse("{name = ''}"), kErrRange);
  EXPECT_EQ(Parse("{group = ''}"), kErrRange);
  ASSERT_EQ(Parse("{name = string.rep('n', 255), group = string.rep('g', 64)}"), 0);
  EXPECT_EQ(std::string(tags.name).size(), 255u);
  EXPECT_EQ(std::string(tags.group).size(), 64u);
  EXPECT_EQ(Parse("{name = string.rep('n', 256)}"), kErrNameTooLong);
  EXPECT_EQ(Parse("{group = string.rep('g', 65)}"), kErrNameTooLong);
  // A long group equal to a long name is the same-name error.
  EXPECT_EQ(Parse("{name = string.rep('x', 200), group = string.rep('x', 200)}"), kErrGroupIsName);
}

TEST_F(DrawTags, ShadowAndBorder) {
  ASSERT_EQ(Parse("{shadow = 1}"), 0);
  EXPECT_EQ(tags.shadow.size, 4);
  EXPECT_EQ(tags.shadow.direction, 3);
  EXPECT_EQ(tags.shadow.color, 0x80000000u);
  EXPECT_EQ(Parse("{shadow = 1, shadowradius = 0.5}"), kErrRange);
  EXPECT_EQ(Parse("{shadow = 1, shadowsize = -1}"), kErrRange);
  EXPECT_EQ(Parse("{shadow = 1, shadowsigma = 0}"), kErrRange);
  // Shadow settings are read only while the shadow is on.
  ASSERT_EQ(Parse("{shadow = 0, shadowradius = 0.5, shadowsize = 9}"), 0);
  EXPECT_EQ(tags.shadow.size, 4);
  ASSERT_EQ(Parse("{shadow = 1, shadowsize = 0, shadowcolor = 0xFF0000, shadowdir = 6}"), 0);
  EXPECT_EQ(tags.shadow.color, 0xFF0000u);
  EXPECT_EQ(tags.shadow.direction, 6);

  EXPECT_EQ(Parse("{border = 1, bordersize = 0}"), kErrRange);
  ASSERT_EQ(Parse("{border = 0, bordersize = 0}"), 0);
  ASSERT_EQ(Parse("{border = 1, bordercolor = 0xFF, edgesize = 9}"), 0);
  EXPECT_EQ(tags.border.size, 2);  // edge names are not read by the draw parser
  EXPECT_EQ(tags.border.color, 0xFFu);
  // Edge names win over the border names.
  lua_settop(L, 0);
  luaL_dostring(L, "return {bordersize = 3, edgesize = 5, outlinethickness = 7, edgecolor = 1}");
  BorderRecord border{1, 0, 2, 0};
  ASSERT_EQ(ParseBorderTags(L, 1, 1, &border, 0), 0);
  EXPECT_EQ(border.size, 7);
  EXPECT_EQ(border.color, 1u);
}

// The layers library as the parser sees it: an insert position field and a
// layer count.
int gInsertPos = 0;
int gLayerCount = 0;
int ReadInsertPos(lua_State*, int, const char*, int32_t* out, int) {
  *out = gInsertPos;
  return 1;
}
int LayerCount(void*) {
  return gLayerCount;
}

TEST_F(DrawTags, InsertPositionThroughTheLayersLibrary) {
  const BoundSiblings saved = gBound;
  LayersSibling layers{};
  layers.readInsertPos = ReadInsertPos;
  layers.layerCount = LayerCount;
  gBound.layers = &layers;
  OutputRecord display{};
  gCurrentDisplay = &display;
  gLayerCount = 3;
  gInsertPos = -1;
  EXPECT_EQ(Parse("{}"), kErrNegativeInsertPos);
  gInsertPos = 9;
  ASSERT_EQ(Parse("{}"), 0);
  EXPECT_EQ(tags.insertPosition, 4);  // beyond the last layer: on top
  EXPECT_EQ(tags.hasEffects, 0);
  gInsertPos = 2;
  ASSERT_EQ(Parse("{}"), 0);
  EXPECT_EQ(tags.insertPosition, 2);
  EXPECT_EQ(tags.hasEffects, 1);
  gBound = saved;
}

TEST_F(DrawTags, MatrixBuilder) {
  TransformRecord r;
  GetTransformDefaults(&r);
  r.scaleX = 3;
  r.scaleY = 0.5;
  BuildTransformMatrix(&r, 0, 0, 10, 20);
  EXPECT_EQ(r.matrix[0], 3.0);
  EXPECT_EQ(r.matrix[3], 0.5);
  BuildTransformMatrix(&r, 40, 0, 10, 20);
  EXPECT_EQ(r.matrix[0], 4.0);
  EXPECT_EQ(r.matrix[3], 1.0);
  // No source size: no ratio to take, the scale factors stay.
  BuildTransformMatrix(&r, 40, 0, 0, 0);
  EXPECT_EQ(r.matrix[0], 3.0);
  r.rotate = 180;
  BuildTransformMatrix(&r, 0, 0, 10, 20);
  EXPECT_NEAR(r.matrix[0], -3.0, 1e-12);
  EXPECT_NEAR(r.matrix[3], -0.5, 1e-12);
}

// SetDrawTagsDefault in a host that loaded graphics: the defaults siblings
// read in place.
class DrawTagDefaults : public ::testing::Test {
 protected:
  void SetUp() override {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics"};
    options.siblings = {"object"};
    host_ = std::make_unique<tessera::Host>(options);
    std::string error;
    ASSERT_TRUE(host_->Start(&error)) << error;
    for (const tessera::LoadedLibrary& lib : host_->Libraries()) {
      if (lib.name == "graphics") {
        graphics_ = static_cast<const GraphicsInterface*>(lib.interface);
      }
    }
    ASSERT_NE(graphics_, nullptr);
  }
  void TearDown() override {
    host_->Stop();
    EXPECT_EQ(host_->LiveBlocks(), 0);
  }
  std::string Run(const std::string& code) {
    std::string error;
    return host_->RunString(code, &error) ? "" : error;
  }
  const TagRecord& Tags() { return graphics_->state.drawTagDefaults; }
  const TransformRecord& Transform() { return graphics_->state.transformDefaults; }

  std::unique_ptr<tessera::Host> host_;
  const GraphicsInterface* graphics_ = nullptr;
};

TEST_F(DrawTagDefaults, SuccessReplacesTheDefaults) {
  ASSERT_EQ(Run("SetDrawTagsDefault({shadow = 1, scalex = 2, name = 'n', group = 'g',"
                " filters = {[0] = {name = 'xflip'}}})"),
            "");
  EXPECT_EQ(Tags().shadow.on, 1);
  EXPECT_EQ(Tags().shadow.size, 4);
  EXPECT_EQ(Tags().filters[kFilterXFlip].enabled, 1);
  EXPECT_STREQ(Tags().name, "");  // the name is not a default
  EXPECT_STREQ(Tags().group, "g");
  EXPECT_EQ(Transform().scaleX, 2.0);
  EXPECT_EQ(Transform().matrix[0], 2.0);
  // Only the named tags change.
  ASSERT_EQ(Run("setdrawtagsdefault({transparency = 40})"), "");
  EXPECT_EQ(Tags().shadow.on, 1);
  EXPECT_EQ(Tags().transparency, 40);
  EXPECT_EQ(Transform().scaleX, 2.0);
}

TEST_F(DrawTagDefaults, FailureLeavesTheDefaults) {
  std::string failure = Run("SetDrawTagsDefault({transparency = 90, shadow = 1, name = ''})");
  EXPECT_NE(failure.find("(error 1055)"), std::string::npos) << failure;
  failure = Run("SetDrawTagsDefault({scalex = 4, filters = {[0] = {name = 'nope'}}})");
  EXPECT_NE(failure.find("(error 1444)"), std::string::npos) << failure;
  EXPECT_NE(failure.find("nope"), std::string::npos) << failure;
  EXPECT_EQ(Tags().transparency, 0);
  EXPECT_EQ(Tags().shadow.on, 0);
  EXPECT_EQ(Transform().scaleX, 1.0);
  EXPECT_EQ(Transform().matrix[0], 1.0);
  failure = Run("SetDrawTagsDefault(5)");
  EXPECT_FALSE(failure.empty());
  failure = Run("SetDrawTagsDefault({}, {})");
  EXPECT_NE(failure.find("(error 1902)"), std::string::npos) << failure;
}

}  // namespace
}  // namespace tzx::graphics
