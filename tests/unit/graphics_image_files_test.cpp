// Save options, saving through a stand-in imageio library, the image cache's
// reference counts and copies, and the load hook's option table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "graphics/src/bindings.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/image_cache.h"
#include "graphics/src/image_files.h"
#include "graphics/src/image_objects.h"
#include "graphics/src/load_hook.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {
namespace {

class LuaGraphicsTest : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    saved_ = gBound;
    L = luaL_newstate();
    luaL_openlibs(L);
  }
  void TearDown() override {
    lua_close(L);
    gBound = saved_;
    GraphicsTest::TearDown();
  }
  // Leaves the values of the Lua expression list on an empty stack.
  void Arguments(const std::string& values) {
    lua_settop(L, 0);
    ASSERT_EQ(luaL_dostring(L, ("return " + values).c_str()), 0) << lua_tostring(L, -1);
  }
  lua_State* L = nullptr;
  BoundSiblings saved_;
};

using SaveOptionsTest = LuaGraphicsTest;

SaveOptions Defaults() {
  SaveOptions o{};
  o.quality = 90;
  o.depth = 8;
  return o;
}

TEST_F(SaveOptionsTest, TablesNumbersAndNothing) {
  SaveOptions o = Defaults();
  Arguments(
      "'file', {format = 1, fillcolor = 0xFF0000, quality = 70, dither = 1,"
      " colors = 16, adapter = 'raw'}");
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.format, kImgfmtPng);
  EXPECT_EQ(o.fillColor, 0xFF0000u);
  EXPECT_EQ(o.quality, 70);
  EXPECT_EQ(o.dither, 1);
  EXPECT_EQ(o.depth, 4);
  EXPECT_STREQ(o.adapter, "raw");
  Args().freeUserTags(o.userTags, 0);

  o = Defaults();
  Arguments("'file', {colors = 300}");
  EXPECT_EQ(ParseSaveOptions(L, 2, &o), kErrDepthRange);
  Arguments("'file', {depth = 0}");
  EXPECT_EQ(ParseSaveOptions(L, 2, &o), kErrDepthRange);
  // A depth kept from the caller is not checked.
  o = Defaults();
  o.depth = 32;
  Arguments("'file', {quality = 5}");
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.depth, 32);
  Args().freeUserTags(o.userTags, 0);

  // A number is the quality, truncated; nil gives 90.
  o = Defaults();
  Arguments("'file', 55.9");
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.quality, 55);
  Arguments("'file', nil");
  o.quality = 1;
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.quality, 90);
  // Missing, or not the last argument: nothing is read.
  o = Defaults();
  Arguments("'file'");
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.quality, 90);
  Arguments("'file', {quality = 1}, 5");
  ASSERT_EQ(ParseSaveOptions(L, 2, &o), 0);
  EXPECT_EQ(o.quality, 90);
}

// The imageio library as SaveImage calls it.
struct SaveCall {
  std::string file;
  int width, height, format, transparent, saveAlpha, depth, depth32, quality;
  bool hadPixels;
  std::vector<uint8_t> alpha;
  std::string adapter;
};
std::vector<SaveCall> gSaves;
int gSaveResult = 0;

int FakeSave(const char* file, const ImagePlane* pixels, int32_t width, int32_t height,
             int32_t format, const char* adapter, UserTags*, int32_t transparent,
             const ImagePlane* alpha, int32_t saveAlpha, int32_t depth, int32_t depth32,
             int32_t quality) {
  SaveCall c{file,        width,
             height,      format,
             transparent, saveAlpha,
             depth,       depth32,
             quality,     pixels && pixels->pixels,
             {},          adapter ? adapter : ""};
  if (alpha) {
    for (int y = 0; y < height; ++y) {
      const auto* row = static_cast<const uint8_t*>(alpha->pixels) + y * alpha->bytesPerRow;
      c.alpha.insert(c.alpha.end(), row, row + width);
    }
  }
  gSaves.push_back(c);
  return gSaveResult;
}
int FakeHasAlpha(int32_t format) {
  return format == kImgfmtPng;
}
int FakeCanSave(int32_t format) {
  return format == kImgfmtPng || format == kImgfmtJpeg;
}
const ImageIoSibling kImageIo = {nullptr, nullptr, FakeSave,     nullptr,
                                 nullptr, nullptr, FakeHasAlpha, FakeCanSave};

using SaveImageTest = LuaGraphicsTest;

TEST_F(SaveImageTest, SavesThroughImageIo) {
  const uint32_t pixels[4] = {0x10FF0000, 0x2000FF00, 0x30000000, 0x40FFFFFF};
  const ImagePlane plane{pixels, 8};
  gBound.imageio = nullptr;
  EXPECT_EQ(SaveImage("a.png", &plane, 2, 2, kImgfmtPng, nullptr), kErrSiblingAbsent);
  EXPECT_STREQ(tzx::host::State().errorString.c_str(), "imageio");

  gBound.imageio = &kImageIo;
  gSaves.clear();
  gSaveResult = 0;
  ASSERT_EQ(SaveImage("a.jpg", &plane, 2, 2, kImgfmtJpeg, nullptr), 1);
  ASSERT_EQ(gSaves.size(), 1u);
  EXPECT_EQ(gSaves[0].quality, 90);
  EXPECT_EQ(gSaves[0].depth, 32);
  EXPECT_EQ(gSaves[0].depth32, 1);
  EXPECT_EQ(gSaves[0].transparent, -1);
  EXPECT_EQ(gSaves[0].saveAlpha, 0);

  // The alpha channel goes as its own plane, from the pixels' top bytes, and
  // the colours go with it.
  const SaveTag tags[] = {{kSaveTagAlpha, 1},
                          {kSaveTagQuality, 40},
                          {kSaveTagDepth, 24},
                          {99, 7},
                          {kSaveTagTransparent, 0x123456},
                          {kSaveTagAdapter, reinterpret_cast<intptr_t>("raw")},
                          {kSaveTagEnd, 0}};
  ASSERT_EQ(SaveImage("b.png", &plane, 2, 2, kImgfmtPng, tags), 1);
  const SaveCall& c = gSaves.back();
  EXPECT_TRUE(c.hadPixels);
  EXPECT_EQ(c.saveAlpha, 1);
  EXPECT_EQ(c.alpha, (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40}));
  EXPECT_EQ(c.quality, 40);
  EXPECT_EQ(c.depth, 24);
  EXPECT_EQ(c.depth32, 0);
  EXPECT_EQ(c.transparent, 0x123456);
  EXPECT_EQ(c.adapter, "raw");

  // Formats that cannot take the alpha channel, or cannot be saved at all.
  gSaves.clear();
  EXPECT_EQ(SaveImage("c.jpg", &plane, 2, 2, kImgfmtJpeg, tags), 0);
  EXPECT_EQ(SaveImage("c.gif", &plane, 2, 2, kImgfmtGif, nullptr), 0);
  EXPECT_TRUE(gSaves.empty());
  gSaveResult = kErrRange;
  EXPECT_EQ(SaveImage("d.png", &plane, 2, 2, kImgfmtPng, nullptr), 0);
  EXPECT_EQ(SaveImage("e.png", nullptr, 2, 2, kImgfmtPng, nullptr), 0);
}

class ImageCache : public testing::GraphicsTest {
 protected:
  ImageObject* NewImage() {
    const uint32_t pixels[2] = {1, 2};
    return CreateImageObject(0, 2, 1, pixels, nullptr, nullptr, nullptr);
  }
};

TEST_F(ImageCache, ReferenceCountsAreExact) {
  ImageObject* image = NewImage();
  CachedImage in{};
  in.width = 2;
  in.height = 1;
  in.values[2] = 7;
  in.image = image;
  in.extra = 5;
  std::strcpy(in.loader, "png");
  ASSERT_EQ(CacheStore("pic", &in), 0);
  EXPECT_EQ(image->refCount, 2);
  CachedImage a{}, b{};
  ASSERT_EQ(CacheLookup("pic", 0, &a), 0);
  ASSERT_EQ(CacheLookup("pic", 0, &b), 0);
  // The same object both times, one reference more each time.
  EXPECT_EQ(a.image, image);
  EXPECT_EQ(b.image, image);
  EXPECT_EQ(image->refCount, 4);
  EXPECT_EQ(a.values[2], 7);
  EXPECT_EQ(a.extra, 5);
  EXPECT_STREQ(a.loader, "png");
  EXPECT_EQ(a.alpha, nullptr);
  EXPECT_EQ(a.palette, nullptr);
  EXPECT_EQ(CacheLookup("other", 0, &a), kErrNotCached);
  EXPECT_EQ(CacheLookup("pic", 1, &a), kErrNotCached);  // no alpha channel cached
  EXPECT_EQ(image->refCount, 4);
  ReleaseImageObject(a.image);
  ReleaseImageObject(b.image);
  // Freeing the cache releases its reference once.
  FreeImageCache();
  EXPECT_EQ(image->refCount, 1);
  EXPECT_EQ(gImageCache, nullptr);
  FreeImageCache();
  EXPECT_EQ(image->refCount, 1);
  ReleaseImageObject(image);
}

TEST_F(ImageCache, PlanesAndTablesAreCopies) {
  ImageObject* image = NewImage();
  BitmapHandle* alpha = AllocAlpha(2, 1, 0, nullptr, 0);
  WritePixel(alpha, 1, 0, 99, 0);
  std::vector<uint32_t> palette(256, 0);
  palette[3] = 0xABCDEF;
  uint8_t ranges[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  CachedImage in{};
  in.image = image;
  in.alpha = alpha;
  in.palette = palette.data();
  in.ranges = ranges;
  in.rangeCount = 2;
  const std::string longKey(1500, 'k');
  ASSERT_EQ(CacheStore(longKey.c_str(), &in), 0);
  ASSERT_EQ(CacheStore("second", &in), 0);
  // The caller's planes and tables may go: the cache holds its own.
  FreeBitmap(alpha);
  palette[3] = 0;
  ranges[0] = 0;
  EXPECT_EQ(std::strlen(gImageCache->key), 1024u);  // keys are cut at 1024 characters
  EXPECT_EQ(std::string(gImageCache->next->key), "second");

  CachedImage out{};
  ASSERT_EQ(CacheLookup("second", 1, &out), 0);
  ASSERT_NE(out.alpha, nullptr);
  EXPECT_EQ(ReadPixel(out.alpha, 1, 0, 0), 99u);
  EXPECT_NE(out.alpha, gImageCache->next->alpha);
  ASSERT_NE(out.palette, nullptr);
  EXPECT_EQ(out.palette[3], 0xABCDEFu);
  ASSERT_NE(out.ranges, nullptr);
  EXPECT_EQ(out.rangeCount, 2);
  EXPECT_EQ(out.ranges[0], 1);
  EXPECT_EQ(out.ranges[11], 12);
  FreeBitmap(out.alpha);
  HostFree(out.palette);
  HostFree(out.ranges);
  ReleaseImageObject(out.image);
  // Entries go with the library's state; nothing is left over (checked on
  // tear-down).
  ReleaseImageObject(image);
  EXPECT_EQ(image->refCount, 2);
}

using LoadHook = LuaGraphicsTest;

TEST_F(LoadHook, HandsTheRequestToTheScript) {
  ASSERT_EQ(luaL_dostring(L, R"(
    function loader(kind, file, options)
      seen = {kind = kind, file = file, options = options}
    end
    function failing() error("no") end)"),
            0);
  auto request = std::make_unique<LoadRequest>();
  LoadRequest& r = *request;
  r.objectType = 3;
  r.kind = 0;
  r.transparentColor = 0xFF00FF;
  r.loadFlags = kLoadAlpha | kLoadTransparency | kLoadTransparentPen;
  r.fillStyle = 2;
  r.gradient.style = 3;
  r.gradient.startColor = 0xFF0000;
  r.gradient.colorCount = 2;
  r.gradient.stops[0] = {0xFF000000, 0.0};
  r.gradient.stops[1] = {0x0000FF, 1.0};
  r.gradient.centerX = 0.25;
  r.scaleWidth = 64;
  std::strcpy(r.adapter, "raw");
  int flag = 1;
  ASSERT_EQ(CallLoadHook(L, "loader", "pic.png", &r, &flag), 0);
  ASSERT_EQ(luaL_dostring(L, R"(
    local o = seen.options
    assert(seen.kind == 3 and seen.file == "pic.png")
    assert(o.transparency == 0xFF00FF)
    assert(o.loadalpha == true and o.loadtransparency == nil and o.transparentpen == true)
    assert(o.fillstyle == 2 and o.gradientstyle == 3 and o.gradientstartcolor == 0xFF0000)
    assert(o.gradientcenterx == 0.25 and o.gradientcolors[0] == 0xFF000000)
    assert(o.gradientcolors[3] == 1.0 and o.scalewidth == 64 and o.smoothscale == 0)
    assert(o.adapter == "raw" and o.loader == nil and o.width == nil)
  )"),
            0)
      << lua_tostring(L, -1);
  EXPECT_EQ(flag, 1);

  // An animation read from disk under a cache key clears the flag.
  r = LoadRequest{};
  r.objectType = 4;
  r.kind = 2;
  r.transparentColor = 0xFFFFFFFF;
  r.width = 10;
  r.frames = 5;
  r.framesPerRow = 3;
  r.fromDisk = 1;
  r.cacheFlags = kCacheStore | kCacheAlpha;
  std::strcpy(r.cacheKey, "anim-key");
  ASSERT_EQ(CallLoadHook(L, "loader", "anim.gif", &r, &flag), 0);
  EXPECT_EQ(flag, 0);
  ASSERT_EQ(luaL_dostring(L, R"(
    local o = seen.options
    assert(o.transparency == nil and o.width == 10 and o.frames == 5 and o.fpr == 3)
    assert(o.fromdisk == 1 and o.__cache == "anim-key" and o.__cachealpha == true)
    assert(o.__cachedload == nil and o.fillstyle == nil and o.hardware == nil)
  )"),
            0)
      << lua_tostring(L, -1);

  // The script's error comes back as its code.
  EXPECT_NE(CallLoadHook(L, "failing", "x", &r, &flag), 0);
  EXPECT_NE(CallLoadHook(L, "missing", "x", &r, &flag), 0);
  EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
}  // namespace tzx::graphics
