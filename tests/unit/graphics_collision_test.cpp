// The collision engine against the plain per-pixel reference on random
// shapes, offsets and scaled or flipped planes; layers and sprites through
// stand-ins of their libraries; boxes, matrices and the draw style's clamping
// and draw tags.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "graphics/src/bindings.h"
#include "graphics/src/bitmap_sets.h"
#include "graphics/src/blits.h"
#include "graphics/src/collision.h"
#include "graphics/src/commands.h"
#include "graphics/src/draw_style.h"
#include "graphics/src/draw_tags.h"
#include "graphics/src/geometry.h"
#include "graphics/src/graphics_state.h"
#include "graphics/src/scale_bitmap.h"
#include "host_state.h"
#include "support/collision_reference.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;

class Collisions : public testing::GraphicsTest {
 protected:
  // A plane of the kind filled with blobs of solid pixels at the density.
  Bitmap Plane(int kind, int w, int h, double density) {
    Bitmap b(kind == kKindMask    ? AllocMask(nullptr, w, h, 0, nullptr, 0)
             : kind == kKindAlpha ? AllocAlpha(w, h, 0, nullptr, 0)
                                  : AllocIndexBitmap(w, h, 1));
    std::uniform_real_distribution<double> unit(0, 1);
    // Runs of pixels, so that words are partly set.
    for (int y = 0; y < h; ++y) {
      bool solid = unit(random_) < density;
      for (int x = 0; x < w; ++x) {
        if (unit(random_) < 0.08) solid = unit(random_) < density;
        uint32_t v = solid ? 1 + random_() % 255 : 0;
        if (kind == kKindIndex) v = solid ? 1 + random_() % 3 : 0;
        WritePixel(b.get(), x, y, v, 1);
      }
    }
    return b;
  }
  int Random(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

  std::mt19937 random_{1234};
};

CollisionShape Shape(int x, int y, int w, int h) {
  CollisionShape s{};
  s.x = x;
  s.y = y;
  s.width = w;
  s.height = h;
  s.transparentPen = -1;
  return s;
}

TEST_F(Collisions, BoxesAlone) {
  CollisionShape a = Shape(0, 0, 10, 10), b = Shape(9, 9, 5, 5);
  EXPECT_EQ(CollisionTest(&a, &b), 1);
  b.x = b.y = 10;
  EXPECT_EQ(CollisionTest(&a, &b), 0);
  b = Shape(-4, 3, 5, 1);
  EXPECT_EQ(CollisionTest(&a, &b), 1);
  b.width = 0;
  EXPECT_EQ(CollisionTest(&a, &b), 0);
  EXPECT_TRUE(BoxesMeet(0, 0, 10, 10, 9, 0, 10, 10));
  EXPECT_FALSE(BoxesMeet(0, 0, 10, 10, 10, 0, 10, 10));
  // Far apart boxes do not wrap around.
  EXPECT_FALSE(BoxesMeet(2147483600, 0, 100, 1, -2147483600, 0, 100, 1));
}

TEST_F(Collisions, EveryPlaneMustAgree) {
  // A has a mask and an alpha channel; its pixel (1, 0) is set in the mask
  // but clear in the alpha channel, (2, 0) is solid in both.
  Bitmap mask = testing::MaskPlane(3, 1), alpha = testing::AlphaPlane(3, 1);
  Bitmap other = testing::MaskPlane(1, 1);
  for (int x = 0; x < 3; ++x) WritePixel(mask.get(), x, 0, 1, 1);
  WritePixel(alpha.get(), 2, 0, 200, 1);
  WritePixel(other.get(), 0, 0, 1, 1);
  CollisionShape a = Shape(0, 0, 3, 1), b = Shape(1, 0, 1, 1);
  a.mask = mask.get();
  a.alpha = alpha.get();
  b.mask = other.get();
  EXPECT_EQ(CollisionTest(&a, &b), 0);  // A is see-through at (1, 0)
  b.x = 2;
  EXPECT_EQ(CollisionTest(&a, &b), 1);  // solid in every plane of both
  // A plane that cannot be read.
  BitmapHandle broken = *mask;
  broken.data = nullptr;
  a.mask = &broken;
  EXPECT_EQ(CollisionTest(&a, &b), kErrLockBitmap);
}

TEST_F(Collisions, RandomShapesMatchTheReference) {
  const int kinds[] = {kKindMask, kKindAlpha, kKindIndex};
  int collisions = 0, trials = 0;
  for (int round = 0; round < 300; ++round) {
    Bitmap planes[2][4];
    CollisionShape shapes[2];
    for (int i = 0; i < 2; ++i) {
      const int w = Random(1, 150), h = Random(1, 40);
      // The planes may be larger than the box, which starts inside them.
      const int sx = Random(0, 3) == 0 ? Random(0, 9) : 0,
                sy = Random(0, 3) == 0 ? Random(0, 5) : 0;
      shapes[i] = Shape(Random(-20, 140), Random(-10, 40), w, h);
      shapes[i].sourceX = sx;
      shapes[i].sourceY = sy;
      const double density = std::uniform_real_distribution<double>(0.01, 0.6)(random_);
      for (int kind : kinds) {
        if (Random(0, 2) != 0) continue;
        Bitmap p = Plane(kind, w + sx, h + sy, density);
        if (kind == kKindMask) shapes[i].mask = p.get();
        if (kind == kKindAlpha) shapes[i].alpha = p.get();
        if (kind == kKindIndex) {
          shapes[i].index = p.get();
          shapes[i].transparentPen = Random(-1, 1);
        }
        planes[i][kind - 1] = std::move(p);
      }
      if (Random(0, 5) == 0) {
        // A visible area of its own, anywhere near the box.
        const int ew = Random(1, 160), eh = Random(1, 50);
        planes[i][3] = Plane(kKindMask, ew, eh, 0.7);
        shapes[i].extraMask = planes[i][3].get();
        shapes[i].extraX = shapes[i].x + Random(-10, 10);
        shapes[i].extraY = shapes[i].y + Random(-5, 5);
      }
    }
    const int expected = testing::ReferenceCollision(shapes[0], shapes[1]);
    ASSERT_EQ(CollisionTest(&shapes[0], &shapes[1]), expected) << "round " << round;
    ASSERT_EQ(CollisionTest(&shapes[1], &shapes[0]), expected) << "round " << round;
    collisions += expected;
    ++trials;
  }
  // Both answers were seen often.
  EXPECT_GT(collisions, trials / 5);
  EXPECT_LT(collisions, trials * 4 / 5);
}

TEST_F(Collisions, ScaledAndFlippedPlanesMatchTheReference) {
  for (int round = 0; round < 60; ++round) {
    const int w = Random(8, 90), h = Random(4, 30);
    BitmapHandle* mask = AllocMask(nullptr, w, h, 0, nullptr, 0);
    Bitmap shape = Plane(kKindMask, w, h, 0.3);
    CopyMaskToMask(shape.get(), 0, 0, mask, 0, 0, w, h, 0);
    const int nw = Random(1, 200), nh = Random(1, 60);
    ASSERT_EQ(ScaleAlphaOrMask(&mask, nw, nh, round & 1), 0);
    if (round % 3 == 0) FlipBitmapSet(nullptr, mask, nullptr, nullptr, 1);
    Bitmap scaled(mask);
    Bitmap alpha = Plane(kKindAlpha, 70, 20, 0.4);
    CollisionShape a = Shape(Random(-50, 50), Random(-20, 20), nw, nh);
    a.mask = scaled.get();
    CollisionShape b = Shape(Random(-30, 60), Random(-10, 30), 70, 20);
    b.alpha = alpha.get();
    ASSERT_EQ(CollisionTest(&a, &b), testing::ReferenceCollision(a, b)) << round;
  }
}

// --- Matrices and boxes -----------------------------------------------------

TEST_F(Collisions, MatricesAndBoxes) {
  double m[4];
  Matrix2D(1, 1, 90, m);
  EXPECT_NEAR(m[0], 0, 1e-12);
  EXPECT_NEAR(m[1], -1, 1e-12);
  EXPECT_NEAR(m[2], 1, 1e-12);
  EXPECT_NEAR(m[3], 0, 1e-12);
  double x, y;
  TransformPoint(m, 1, 0, &x, &y);
  EXPECT_NEAR(x, 0, 1e-12);
  EXPECT_NEAR(y, -1, 1e-12);
  Matrix2D(2, 3, 0, m);
  EXPECT_EQ(m[0], 2);
  EXPECT_EQ(m[3], 3);

  const double identity[4] = {1, 0, 0, 1};
  double box[4];
  TransformBox(identity, 0, 0, 10, 10, true, 0, 0, box);
  EXPECT_EQ(box[0], 0);
  EXPECT_EQ(box[2], 11);
  EXPECT_EQ(box[3], 11);
  const double half[4] = {0.5, 0, 0, 0.5};
  // The anchor is a fraction of the size, taken from the origin for a box
  // at its place: here about (5, 5).
  TransformBox(half, 4, 6, 10, 10, false, 0.5, 0.5, box);
  EXPECT_EQ(box[0], 4.5);
  EXPECT_EQ(box[1], 5.5);
  EXPECT_EQ(box[2], 6);
  TransformBox(half, 4, 6, 10, 10, true, 0, 0, box);
  EXPECT_EQ(box[0], 4);
  EXPECT_EQ(box[1], 6);

  double corners[8];
  TransformBoxCorners(m, 10, 4, corners);
  EXPECT_EQ(corners[2], 20);
  EXPECT_EQ(corners[5], 12);
  int w, h;
  Matrix2D(1, 1, 90, m);
  TransformBoxSize(m, 10, 4, &w, &h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 10);
}

// --- The draw style ---------------------------------------------------------

TEST_F(Collisions, DrawStyleClamping) {
  DrawStyle s = SharedState().drawStyle;
  s.lineWidth = 0;
  s.shadowSize = 100;
  s.borderSize = 0;
  s.shadowDirection = 8;
  s.fillStyle = 4;
  ClampDrawStyle(&s);
  EXPECT_EQ(s.lineWidth, 1);
  EXPECT_EQ(s.shadowSize, 64);
  EXPECT_EQ(s.borderSize, 1);
  EXPECT_EQ(s.shadowDirection, kShdwsoutheast);
  EXPECT_EQ(s.fillStyle, kFillnone);
  s.shadowDirection = 7;
  s.fillStyle = 3;
  s.lineWidth = 100000;
  ClampDrawStyle(&s);
  EXPECT_EQ(s.shadowDirection, 7);
  EXPECT_EQ(s.fillStyle, 3);
  EXPECT_EQ(s.lineWidth, 100000);
}

TEST_F(Collisions, FormStyleAsDrawTags) {
  DrawStyle s = SharedState().drawStyle;
  TagRecord tags{};
  uint32_t color = 0x40FF0000;
  s.formStyle = kShadow | kBorder;
  s.shadowSize = 6;
  s.borderColor = 0x123456;
  ASSERT_EQ(FormStyleToDrawTags(&s, &tags, 0, &color), 0);
  EXPECT_EQ(tags.border.on, 1);
  EXPECT_EQ(tags.border.color, 0x123456u);
  EXPECT_EQ(tags.border.size, 2);
  EXPECT_EQ(tags.shadow.on, 1);
  EXPECT_EQ(tags.shadow.size, 6);
  EXPECT_EQ(tags.shadow.color, 0x80000000u);
  EXPECT_EQ(tags.hasEffects, 1);
  // The colour's alpha becomes the transparency.
  EXPECT_EQ(tags.transparency, 0x40);
  EXPECT_EQ(color, 0xFF0000u);

  // Unfilled outlines wider than a pixel are a border in the drawing colour.
  tags = TagRecord{};
  s.formStyle = kNormal;
  s.fillStyle = kFillnone;
  s.lineWidth = 7;
  color = 0x00ABCDEF;
  ASSERT_EQ(FormStyleToDrawTags(&s, &tags, 0, &color), 0);
  EXPECT_EQ(tags.border.on, 1);
  EXPECT_EQ(tags.border.color, 0xABCDEFu);
  EXPECT_EQ(tags.border.size, 3);
  EXPECT_EQ(tags.border.pen, s.drawPen);
  EXPECT_EQ(tags.transparency, 0);
  EXPECT_EQ(SharedState().drawStyle.lineWidth, 1);  // the style itself stays
  tags = TagRecord{};
  s.lineWidth = 1;
  ASSERT_EQ(FormStyleToDrawTags(&s, &tags, 0, &color), 0);
  EXPECT_EQ(tags.hasEffects, 0);

  // Palette outputs: pens beyond the palette are refused, alpha stays.
  uint32_t palette[256] = {};
  Bitmap pens = testing::IndexPlane(4, 4);
  OutputRecord out{};
  out.kind = kOutputBrush;
  out.color = pens.get();
  out.palette = palette;
  out.paletteDepth = 1;
  gCurrentOutput = &out;
  s.formStyle = kBorder;
  s.borderPen = 3;
  color = 0x80000001;
  tags = TagRecord{};
  EXPECT_EQ(FormStyleToDrawTags(&s, &tags, 0, &color), kErrPenRange);
  s.borderPen = 1;
  tags = TagRecord{};
  EXPECT_EQ(FormStyleToDrawTags(&s, &tags, 0, &color), 0);
  EXPECT_EQ(color, 0x80000001u);
  // The no-palette flag treats the output as true colour.
  s.borderPen = 3;
  tags = TagRecord{};
  EXPECT_EQ(FormStyleToDrawTags(&s, &tags, 1, &color), 0);
  EXPECT_EQ(tags.transparency, 0x80);
  gCurrentOutput = nullptr;
}

// --- Layers and sprites through stand-ins of their libraries ---------------

namespace siblings {

// Layers or sprites 1 and 2 are 4 × 1 objects at (0, 0), solid at x 3 only;
// any other number is unknown.
Bitmap gMask;
CollisionShape gShapes[2];

void Prepare() {
  gMask = testing::MaskPlane(4, 1);
  WritePixel(gMask.get(), 3, 0, 1, 1);
  for (int i = 0; i < 2; ++i) {
    gShapes[i] = Shape(0, 0, 4, 1);
    gShapes[i].mask = gMask.get();
  }
}

int ReadLayerId(lua_State* L, int n, ObjectId* out) {
  *out = Args().objectId(L, n);
  return 0;
}
void* FindLayer(void*, const ObjectId* id) {
  return id->number == 1 || id->number == 2 ? &gShapes[id->number - 1] : nullptr;
}
int ShapeOf(lua_State*, void* object, CollisionShape* shape) {
  *shape = *static_cast<CollisionShape*>(object);
  return 0;
}
int FindSprite(lua_State*, const ObjectId* id, void** out) {
  if (id->number != 1 && id->number != 2) return kErrRange;
  *out = &gShapes[id->number - 1];
  return 0;
}

}  // namespace siblings

class SiblingCollisions : public Collisions {
 protected:
  void SetUp() override {
    Collisions::SetUp();
    L = luaL_newstate();
    siblings::Prepare();
    layers.readLayerId = siblings::ReadLayerId;
    layers.findLayer = siblings::FindLayer;
    layers.layerShape = siblings::ShapeOf;
    sprites.findSprite = siblings::FindSprite;
    sprites.spriteShape = siblings::ShapeOf;
    saved = gBound;
  }
  void TearDown() override {
    gBound = saved;
    gCurrentOutput = nullptr;
    lua_close(L);
    siblings::gMask.reset();
    Collisions::TearDown();
  }
  // Collision(...) with numbers; its result, or its error code.
  int Collide(std::initializer_list<double> args) {
    lua_settop(L, 0);
    for (double v : args) lua_pushnumber(L, v);
    const int rc = Collision(L);
    if (rc != 1) return rc;
    return static_cast<int>(lua_tonumber(L, -1));
  }

  lua_State* L = nullptr;
  LayersSibling layers{};
  SpriteSibling sprites{};
  BoundSiblings saved;
};

TEST_F(SiblingCollisions, Layers) {
  OutputRecord out{};
  gCurrentOutput = &out;
  EXPECT_EQ(Collide({22, 1, 2}), kErrNoLayers);
  out.layers = 1;
  gBound.layers = nullptr;
  EXPECT_EQ(Collide({22, 1, 2}), kErrSiblingAbsent);
  gBound.layers = &layers;
  EXPECT_EQ(Collide({22, 1, 2}), 1);  // both solid at x 3
  EXPECT_EQ(Collide({22, 1, 3}), kErrUnknownLayer);
  EXPECT_EQ(Collide({kLayerVsBox, 2, 0, 0, 3, 1}), 0);
  EXPECT_EQ(Collide({kLayerVsBox, 2, 3, 0, 1, 1}), 1);
  // A visible area that hides the shared pixel.
  Bitmap area = testing::MaskPlane(3, 1);
  for (int x = 0; x < 3; ++x) WritePixel(area.get(), x, 0, 1, 1);
  siblings::gShapes[0].extraMask = area.get();
  EXPECT_EQ(Collide({22, 1, 2}), 0);
  siblings::gShapes[0].extraX = 1;
  EXPECT_EQ(Collide({22, 1, 2}), 1);
}

TEST_F(SiblingCollisions, Sprites) {
  gBound.sprite = nullptr;
  EXPECT_EQ(Collide({32, 1, 2}), kErrSiblingAbsent);
  EXPECT_STREQ(tzx::host::State().errorString.c_str(), "sprite");
  gBound.sprite = &sprites;
  EXPECT_EQ(Collide({32, 1, 2}), 1);
  EXPECT_EQ(Collide({32, 2, 9}), kErrRange);  // the library's own code comes back
  EXPECT_EQ(Collide({kSpriteVsBox, 1, 0, 0, 3, 1}), 0);
  EXPECT_EQ(Collide({kSpriteVsBox, 1, 3, 0, 3, 1}), 1);
  // Against a brush, the brush library is needed too.
  gBound.brush = nullptr;
  EXPECT_EQ(Collide({kSpriteVsBrush, 1, 5, 0, 0}), kErrSiblingAbsent);
  EXPECT_STREQ(tzx::host::State().errorString.c_str(), "brush");
}

}  // namespace
}  // namespace tzx::graphics
