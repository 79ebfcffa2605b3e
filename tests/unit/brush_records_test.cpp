// Brush records and their lookup: the access bits in their order, the
// target guard, detaching for layers, and the slots that siblings call
// (hardware brushes leaving and coming back, rebuilding, pixel access).
#include "brush/src/brush_records.h"

#include <gtest/gtest.h>

#include <cstring>

extern "C" {
#include <lua.h>
}

#include "brush/src/attributes.h"
#include "brush/src/bindings.h"
#include "brush/src/interface.h"
#include "brush/src/slots.h"
#include "command_scope.h"
#include "graphics/src/graphics_state.h"
#include "support/graphics_fixtures.h"
#include "tessera/host.h"
#include "tzx/brush_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {
namespace {

// A layers library that shows the brushes the test says it shows.
struct FakeLayers {
  static inline ObjectId shown{};
  static inline bool keeps = false;
  static inline LayerEntry entry{};
  static inline int clones = 0;

  static int InUse(int32_t, const ObjectId* id, int, int, int) { return *id == shown; }
  static int Keeps(int32_t, const ObjectId* id, void*) { return keeps && *id == shown; }
  static int WillChange(lua_State* L, int32_t, const ObjectId* id, LayerCloneFn clone, void* record,
                        LayerEntry** out) {
    if (!(*id == shown)) return 0;
    if (clone(L, record, 0)) ++clones;
    *out = &entry;
    return 0;
  }
};

class BrushRecords : public graphics::testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    gBound = BoundSiblings{};
    gBound.graphics = &graphics::gInterface;
    layers_.inUse = FakeLayers::InUse;
    layers_.keeps = FakeLayers::Keeps;
    layers_.willChange = FakeLayers::WillChange;
    FakeLayers::shown = ObjectId{};
    FakeLayers::keeps = false;
    FakeLayers::entry = LayerEntry{};
    FakeLayers::clones = 0;
  }
  void TearDown() override {
    FreeAllBrushes(nullptr);
    graphics::gCurrentOutput = nullptr;
    gBound = BoundSiblings{};
    GraphicsTest::TearDown();
  }

  // A true-colour brush of the number, filled with the colour.
  BrushRecord* Make(int number, int width, int height, uint32_t color, int depth = 0,
                    bool mask = false, bool alpha = false) {
    BrushCoreArgs a{};
    a.id = ObjectId{number, nullptr};
    a.width = width;
    a.height = height;
    a.color = color;
    a.transparentPen = kNoPen;
    a.depth = depth;
    a.mask = mask;
    a.alpha = alpha;
    a.callbackRef = kNoRef;
    a.userdataRef = kNoRef;
    BrushRecord* b = nullptr;
    EXPECT_EQ(CreateBrushCore(nullptr, &a, &b), 0);
    return b;
  }

  LayersSibling layers_{};
};

TEST_F(BrushRecords, HeadMatchesWhatGraphicsReads) {
  BrushRecord* b = Make(1, 3, 2, 0x112233, 0, true);
  auto* head = reinterpret_cast<graphics::BrushRecordHead*>(b);
  EXPECT_EQ(head->header.type, kTypeBrush);
  EXPECT_EQ(head->bitmap, b->bitmap);
  EXPECT_EQ(head->mask, b->mask);
  EXPECT_EQ(head->width, 3);
  EXPECT_EQ(head->depth, 32);
  EXPECT_EQ(head->transparentPen, kMaskWithoutKey);
  // The interface's slots graphics calls, at the places graphics calls them.
  BrushRecord* found = nullptr;
  const ObjectId id{1, nullptr};
  EXPECT_EQ(kInterface.FindBrush(nullptr, &id, &found, graphics::kFindForDraw), 0);
  EXPECT_EQ(found, b);
  EXPECT_EQ(reinterpret_cast<graphics::BrushRecordHead*>(found), head);
  EXPECT_EQ(kInterface.RebuildBrushes(0, 1), 0);
}

TEST_F(BrushRecords, AccessBitsAreCheckedInOrder) {
  BrushRecord* b = Make(1, 2, 2, 0);
  const ObjectId id{1, nullptr};
  BrushRecord* out = nullptr;
  // A vector, hardware, palette and busy brush at once: the first rule wins.
  b->kind = kKindVector;
  b->hardware = 1;
  b->busy = 1;
  b->chunky = b->bitmap;
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x29), kErrNotAllowed);
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x21), kErrPaletteBrush);
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x01), kErrHardwareBrush);
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x11), kErrObjectBusy);
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x10), 0);
  EXPECT_EQ(out, b);
  b->chunky = nullptr;
  b->kind = kKindRaster;
  b->hardware = 0;
  b->busy = 0;
  EXPECT_EQ(FindBrush(nullptr, &id, &out, 0x29), 0);

  // Unknown brushes: by number, or by an automatic identifier.
  const ObjectId missing{7, nullptr};
  EXPECT_EQ(FindBrush(nullptr, &missing, &out, 0), kErrUnknownBrush);
  int nowhere = 0;
  const ObjectId gone{0, &nowhere};
  EXPECT_EQ(FindBrush(nullptr, &gone, &out, 0), kErrUnknownAutoId);
}

TEST_F(BrushRecords, LayersCopyBrushesBeforeTheyChange) {
  BrushRecord* b = Make(1, 2, 2, 0x445566);
  gBound.layers = &layers_;
  const ObjectId id{1, nullptr};
  FakeLayers::shown = id;
  BrushRecord* out = nullptr;
  // Reading asks nothing; changing hands the layer a copy and marks its entry.
  EXPECT_EQ(FindBrush(nullptr, &id, &out, kFindRead), 0);
  EXPECT_EQ(FakeLayers::clones, 0);
  EXPECT_EQ(FindBrush(nullptr, &id, &out, kFindChange), 0);
  EXPECT_EQ(FakeLayers::clones, 1);
  EXPECT_EQ(FakeLayers::entry.changed, 1);
  // Bit 4 leaves the layers alone.
  EXPECT_EQ(FindBrush(nullptr, &id, &out, kFindChange | kAccessNoLayerCopy), 0);
  EXPECT_EQ(FakeLayers::clones, 1);
  // The copy is a detached brush with its own pixels.
  BrushRecord* copy = NextBrush(b);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->detached, 1);
  EXPECT_NE(copy->bitmap, b->bitmap);
  EXPECT_EQ(gBound.graphics->ReadPixel(copy->bitmap, 1, 1, 0), 0x445566u);
}

TEST_F(BrushRecords, FreeingAShownBrushDetachesIt) {
  BrushRecord* b = Make(1, 2, 2, 0);
  gBound.layers = &layers_;
  const ObjectId id{1, nullptr};
  FakeLayers::shown = id;
  FakeLayers::keeps = true;
  EXPECT_EQ(FreeBrushById(nullptr, &id, 1), 0);
  // Still in the list, under its own address, invisible without bit 2.
  EXPECT_EQ(FirstBrush(), b);
  EXPECT_EQ(b->detached, 1);
  EXPECT_EQ(b->header.id, (ObjectId{0, b}));
  BrushRecord* out = nullptr;
  EXPECT_EQ(FindBrush(nullptr, &id, &out, kFindRead), kErrUnknownBrush);
  const ObjectId own{0, b};
  EXPECT_EQ(FindBrush(nullptr, &own, &out, kFindRead), kErrUnknownAutoId);
  EXPECT_EQ(FindBrush(nullptr, &own, &out, kAccessDetached), 0);
  // A new brush may take the number meanwhile.
  Make(1, 1, 1, 0);
  // Purged once the layer lets go of it, under the id it has now.
  FakeLayers::shown = own;
  PurgeDetachedBrushes(nullptr);
  EXPECT_EQ(FirstBrush(), b) << "still shown";
  FakeLayers::shown = ObjectId{};
  PurgeDetachedBrushes(nullptr);
  ASSERT_NE(FirstBrush(), nullptr);
  EXPECT_EQ(FirstBrush()->header.id, id);
  EXPECT_EQ(NextBrush(FirstBrush()), nullptr);
}

TEST_F(BrushRecords, FreeingIsStrictOnlyWhenAsked) {
  BrushRecord* b = Make(1, 2, 2, 0);
  const ObjectId id{1, nullptr}, missing{2, nullptr};
  EXPECT_EQ(FreeBrushById(nullptr, &missing, 1), kErrUnknownBrush);
  EXPECT_EQ(FreeBrushById(nullptr, &missing, 0), 0);
  b->busy = 1;
  EXPECT_EQ(FreeBrushById(nullptr, &id, 0), kErrObjectBusy) << "busy is never ignored";
  b->busy = 0;
  // The current output is guarded, strict or not.
  graphics::OutputRecord output{};
  output.kind = graphics::kOutputAlpha;
  output.object = id;
  graphics::gCurrentOutput = &output;
  EXPECT_EQ(FreeBrushById(nullptr, &id, 0), kErrBrushIsOutput);
  output.object = missing;
  EXPECT_EQ(TargetGuard(id), 0);
  output.object = id;
  output.kind = graphics::kOutputDisplay;
  EXPECT_EQ(TargetGuard(id), 0) << "a display output is no brush";
  graphics::gCurrentOutput = nullptr;
  EXPECT_EQ(FreeBrushById(nullptr, &id, 1), 0);
  EXPECT_EQ(FirstBrush(), nullptr);
}

TEST_F(BrushRecords, RegisteringCopiesCyclesAndTakesOverPlanes) {
  const uint8_t cycles[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  NewBrush n{};
  n.id = ObjectId{0, reinterpret_cast<void*>(1)};
  n.width = n.height = n.rowWidth = 2;
  n.bitmap = gBound.graphics->AllocBitmap(2, 2, 0, nullptr);
  n.depth = 24;
  n.transparentPen = kNoPen;
  n.cycles = cycles;
  n.cycleCount = 2;
  n.format = "PNG";
  BrushRecord* b = nullptr;
  ASSERT_EQ(AddBrushRecord(&n, &b), 0);
  EXPECT_EQ(b->header.id, (ObjectId{0, b})) << "automatic id: the record's address";
  EXPECT_NE(b->cycles, cycles);
  EXPECT_EQ(std::memcmp(b->cycles, cycles, sizeof cycles), 0);
  EXPECT_STREQ(b->format, "PNG");
  EXPECT_EQ(b->sourceWidth, 2);
}

TEST_F(BrushRecords, HardwareBrushesLeaveAndComeBack) {
  BrushRecord* b = Make(1, 3, 2, 0x00FF00, 0, false, true);
  gBound.graphics->WritePixel(b->alpha, 2, 1, 9, 0);
  int key = 0;
  // Made hardware by a back end that held it on a display.
  b->hardware = 1;
  b->displayKey = &key;
  b->hwFlags = kHwHasAlpha;
  EXPECT_EQ(GetBrushTextureHandle(&b->header.id, nullptr),
            gBound.graphics->GetBitmapData(b->bitmap));
  ObjectId found{};
  void* handle = gBound.graphics->GetBitmapData(b->bitmap);
  EXPECT_EQ(GetBrushTextureHandle(&found, handle), handle);
  EXPECT_EQ(found, b->header.id);

  ASSERT_EQ(DetachHardwareBrushes(&key), 0);
  EXPECT_EQ(b->bitmap, nullptr);
  EXPECT_EQ(b->alpha, nullptr);
  ASSERT_NE(b->swapCopy, nullptr);
  EXPECT_EQ(b->displayKey, nullptr);
  // Without hardware bitmaps the planes come back as ordinary ones.
  ASSERT_EQ(AttachHardwareBrushes(&key), 0);
  EXPECT_EQ(b->swapCopy, nullptr);
  ASSERT_NE(b->bitmap, nullptr);
  ASSERT_NE(b->alpha, nullptr);
  EXPECT_EQ(b->hardware, 0);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->bitmap, 0, 0, 0), 0x00FF00u);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->alpha, 2, 1, 0), 9u);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->alpha, 0, 0, 0), 255u);

  // A display that goes takes its hardware brushes with it.
  b->hardware = 1;
  b->displayKey = &key;
  Make(2, 1, 1, 0);
  FreeDisplayBrushes(nullptr, &key);
  ASSERT_NE(FirstBrush(), nullptr);
  EXPECT_EQ(FirstBrush()->header.id, (ObjectId{2, nullptr}));
}

TEST_F(BrushRecords, RebuildCutsTheSourceWindowFromThePicture) {
  // A 4x3 picture of which the brush shows the 2x2 window at (1, 1).
  uint32_t pixels[12];
  for (int i = 0; i < 12; ++i) pixels[i] = 0xFF000000 | i;
  pixels[10] = 0x40000000 | 10;
  NewBrush n{};
  n.id = ObjectId{3, nullptr};
  n.width = n.height = n.rowWidth = 2;
  n.imageObject = gBound.graphics->CreateImageObject(0, 4, 3, pixels, nullptr, nullptr, nullptr);
  n.transparentPen = 5;  // a key colour
  BrushRecord* b = nullptr;
  ASSERT_EQ(AddBrushRecord(&n, &b), 0);
  b->sourceX = 1;
  b->sourceY = 1;
  ASSERT_EQ(RebuildBrushes(1, 0), 0);
  ASSERT_NE(b->bitmap, nullptr);
  EXPECT_EQ(b->imageObject, nullptr) << "the picture goes once the planes are back";
  EXPECT_EQ(gBound.graphics->ReadPixel(b->bitmap, 0, 0, 0), 5u);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->bitmap, 1, 1, 0), 10u);
  ASSERT_NE(b->mask, nullptr);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->mask, 0, 0, 0), 0u) << "the key colour";
  ASSERT_NE(b->alpha, nullptr);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->alpha, 1, 0, 0), 255u);
  EXPECT_EQ(gBound.graphics->ReadPixel(b->alpha, 1, 1, 0), 0x40u);
  EXPECT_EQ(b->depth, 32);
  // Brushes with planes are left alone.
  BitmapHandle* kept = b->bitmap;
  ASSERT_EQ(RebuildBrushes(1, 0), 0);
  EXPECT_EQ(b->bitmap, kept);
}

TEST_F(BrushRecords, PixelAccessLocksTheRightPlane) {
  BrushRecord* color = Make(1, 3, 2, 0x123456);
  BrushRecord* pens = Make(2, 4, 1, 3, 2);
  pens->transparentPen = 1;
  const BrushTag none[] = {{kBrushTagEnd, 0}};
  const BrushTag palette[] = {{kBrushTagPalette, 1}, {kBrushTagTransparentPen, 1}, {0, 0}};
  PixelAccessInfo info{};
  PixelAccess* access = BeginBrushPixelAccess(&color->header.id, none, &info);
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(info.format, graphics::kFormatArgb32);
  EXPECT_EQ(info.width, 3);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(info.pixels)[2] & 0xFFFFFF, 0x123456u);
  EndBrushPixelAccess(access);
  EXPECT_EQ(BeginBrushPixelAccess(&pens->header.id, none, &info), nullptr)
      << "palette brushes only when asked";
  access = BeginBrushPixelAccess(&pens->header.id, palette, &info);
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(info.format, graphics::kFormatByte);
  EXPECT_EQ(info.pixels[3], 3);
  EXPECT_EQ(info.depth, 2);
  EXPECT_EQ(info.transparentPen, 1);
  EndBrushPixelAccess(access);
  pens->kind = kKindVector;
  EXPECT_EQ(BeginBrushPixelAccess(&pens->header.id, palette, &info), nullptr);
}

TEST_F(BrushRecords, CopiesAndBrushesOverGivenPlanes) {
  BrushRecord* pens = Make(1, 2, 2, 2, 3);
  BrushCopy copy{};
  ASSERT_EQ(GetBrushTransformedCopy(&pens->header.id, nullptr, &copy), 0);
  ASSERT_NE(copy.chunky, nullptr);
  ASSERT_NE(copy.palette, nullptr);
  EXPECT_NE(copy.chunky, pens->chunky);
  EXPECT_EQ(gBound.graphics->ReadPixel(copy.chunky, 1, 1, 0), 2u);
  gBound.graphics->FreeIndexBitmap(copy.chunky);
  HostFree(copy.palette);

  BitmapHandle* bitmap = gBound.graphics->AllocBitmap(5, 4, 0, nullptr);
  BitmapHandle* mask = gBound.graphics->AllocMask(nullptr, 5, 4, 0, nullptr, 0);
  ObjectId made{};
  const ObjectId automatic{0, reinterpret_cast<void*>(1)};
  ASSERT_EQ(CreateBrushFromBitmap(nullptr, &automatic, bitmap, mask, nullptr, &made), 0);
  BrushRecord* b = nullptr;
  ASSERT_EQ(FindBrush(nullptr, &made, &b, kFindRead), 0);
  EXPECT_EQ(b->bitmap, bitmap);
  EXPECT_EQ(b->depth, 32);
  EXPECT_EQ(b->transparentPen, kMaskWithoutKey);
  EXPECT_EQ(CreateBrushFromBitmap(nullptr, &automatic, nullptr, nullptr, nullptr, &made),
            kErrRange);
}

TEST_F(BrushRecords, FailedCreationsLeaveNothing) {
  BrushCoreArgs a{};
  a.id = ObjectId{1, nullptr};
  a.width = 1 << 21;  // beyond any bitmap
  a.height = 1;
  a.callbackRef = kNoRef;
  a.userdataRef = kNoRef;
  EXPECT_EQ(CreateBrushCore(nullptr, &a, nullptr), kErrAllocBitmap);
  a.depth = 4;
  EXPECT_EQ(CreateBrushCore(nullptr, &a, nullptr), kErrAllocIndexBitmap);
  EXPECT_EQ(FirstBrush(), nullptr);
}

TEST_F(BrushRecords, AttributesPushTablesAndUnsignedPens) {
  tessera::HostOptions options;
  options.pluginDir = TZX_PLUGIN_DIR;
  options.libraries = {};
  options.siblings = {};
  tessera::Host host(options);
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  lua_State* L = host.L();
  // A palette brush with two colour-cycling ranges.
  const uint8_t cycles[12] = {0x10, 0x27, 0x03, 0x00, 2, 9, 0x01, 0x00, 0x00, 0x00, 0, 1};
  BrushCoreArgs a{};
  a.id = ObjectId{5, nullptr};
  a.width = a.height = 2;
  a.depth = 2;
  const uint32_t palette[256] = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
  a.palette = palette;
  a.transparentPen = kNoPen;
  a.cycles = cycles;
  a.cycleCount = 2;
  a.callbackRef = kNoRef;
  a.userdataRef = kNoRef;
  ASSERT_EQ(CreateBrushCore(nullptr, &a, nullptr), 0);
  ASSERT_EQ(BrushAttribute(L, kAttrcycle, &a.id), 1);
  lua_rawgeti(L, -1, 0);
  lua_getfield(L, -1, "rate");
  EXPECT_EQ(lua_tonumber(L, -1), 10000);
  lua_getfield(L, -2, "active");
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  lua_getfield(L, -3, "reverse");
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  lua_getfield(L, -4, "high");
  EXPECT_EQ(lua_tonumber(L, -1), 9);
  lua_settop(L, 1);
  lua_rawgeti(L, -1, 1);
  lua_getfield(L, -1, "active");
  EXPECT_EQ(lua_tonumber(L, -1), 0);
  lua_settop(L, 0);
  ASSERT_EQ(BrushAttribute(L, kAttrpalette, &a.id), 1);
  lua_rawgeti(L, -1, 3);
  EXPECT_EQ(lua_tonumber(L, -1), 0x0A0B0C);
  lua_rawgeti(L, -2, 4);
  EXPECT_TRUE(lua_isnil(L, -1)) << "2^depth entries";
  lua_settop(L, 0);
  ASSERT_EQ(BrushAttribute(L, kAttrtransparentpen, &a.id), 1);
  EXPECT_EQ(lua_tonumber(L, -1), 4294967295.0) << "no pen reads unsigned";
  lua_settop(L, 0);
  const ObjectId missing{6, nullptr};
  EXPECT_EQ(BrushAttribute(L, kAttrwidth, &missing), kErrUnknownBrush);
  // The attribute reads pinned the brush as a command would: what they
  // recorded for the command's end runs before the brushes go.
  host::UnwindCommands(L, 0);
  FreeAllBrushes(nullptr);
  host.Stop();
}

}  // namespace
}  // namespace tzx::brush
