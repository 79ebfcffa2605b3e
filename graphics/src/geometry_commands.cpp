#include <cstdint>

#include "bindings.h"
#include "bitmaps.h"
#include "collision.h"
#include "colours.h"
#include "commands.h"
#include "draw_tags.h"
#include "geometry.h"
#include "graphics_state.h"
#include "image_objects.h"
#include "placement.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

constexpr int kTypeBrush = 3;
constexpr int kTypeLayer = 22;
constexpr int kTypeSprite = 32;

double Number(lua_State* L, int n) {
  return Lua().checknumber(L, n);
}
int32_t Integer(lua_State* L, int n) {
  return TruncateToInt32(Lua().checknumber(L, n));
}

// The matrix table at n: {sx, rx, ry, sy}; missing fields are 0.
void ReadMatrix(lua_State* L, int n, double m[4]) {
  Lua().checktable(L, n);
  const char* keys[4] = {"sx", "rx", "ry", "sy"};
  for (int i = 0; i < 4; ++i) {
    m[i] = 0;
    Args().fieldNumber(L, n, keys[i], &m[i]);
  }
}

// ---------------------------------------------------------------------------
// The objects of a collision

struct BoxArgs {
  int32_t x, y, width, height;
};

BoxArgs ReadBox(lua_State* L, int first) {
  return {Integer(L, first), Integer(L, first + 1), Integer(L, first + 2), Integer(L, first + 3)};
}

CollisionShape BoxShape(const BoxArgs& b) {
  CollisionShape s{};
  s.x = b.x;
  s.y = b.y;
  s.width = b.width;
  s.height = b.height;
  s.transparentPen = -1;
  return s;
}

// A brush taking part in a collision, and the planes made for a brush that
// has only a picture (vector brushes), freed by Release.
struct BrushArgs {
  ObjectId id;
  int32_t x, y;
  BitmapHandle* madeColor = nullptr;
  BitmapHandle* madeMask = nullptr;
  BitmapHandle* madeAlpha = nullptr;
};

void Release(BrushArgs* b) {
  FreeBitmapSet(&b->madeColor, &b->madeMask, &b->madeAlpha);
}

const BrushRecordHead* FindBrushHead(lua_State* L, const BrushArgs& b, int* rc) {
  auto* brush = gBound.brush;
  brush::BrushRecord* record = nullptr;
  *rc = brush->FindBrush(L, &b.id, &record, kFindForDraw);
  return *rc ? nullptr : reinterpret_cast<const BrushRecordHead*>(record);
}

bool HasPlanes(const BrushRecordHead* h) {
  return h->bitmap || h->chunky;
}

// Draws the picture of a brush without planes, at the brush's size. Its
// draw function may run script code, so this happens before any brush's
// planes are taken.
int MakePlanes(lua_State* L, BrushArgs* b) {
  int rc;
  const BrushRecordHead* h = FindBrushHead(L, *b, &rc);
  if (!h || HasPlanes(h)) return rc;
  if (!h->imageObject) return kErrNotAllowed;
  ImageObject* image = RetainImageObject(h->imageObject);
  rc = RasterizeImageObject(image, h->width, h->height, nullptr, &b->madeColor, &b->madeMask,
                            &b->madeAlpha);
  ReleaseImageObject(image);
  return rc;
}

// The brush's shape: its own planes, or those MakePlanes drew.
int BrushShape(lua_State* L, const BrushArgs& b, CollisionShape* s) {
  int rc;
  const BrushRecordHead* h = FindBrushHead(L, b, &rc);
  if (!h) return rc;
  *s = CollisionShape{};
  s->x = b.x;
  s->y = b.y;
  s->width = h->width;
  s->height = h->height;
  s->transparentPen = -1;
  if (h->chunky) {
    s->index = h->chunky;
    s->transparentPen = h->transparentPen;
  } else if (h->bitmap) {
    s->mask = h->mask;
    s->alpha = h->alpha;
  } else if (b.madeColor) {
    s->mask = b.madeMask;
    s->alpha = b.madeAlpha;
  } else {
    return kErrNotAllowed;
  }
  return 0;
}

// The brushes' shapes, drawing pictures first; every plane made is freed by
// the caller through Release.
int BrushShapes(lua_State* L, BrushArgs* brushes, int count, CollisionShape* shapes) {
  if (!gBound.brush) return ErrorWithString(kErrSiblingAbsent, "brush");
  for (int i = 0; i < count; ++i) {
    if (int rc = MakePlanes(L, &brushes[i])) return rc;
  }
  for (int i = 0; i < count; ++i) {
    if (int rc = BrushShape(L, brushes[i], &shapes[i])) return rc;
  }
  return 0;
}

int LayerShape(lua_State* L, const ObjectId& id, CollisionShape* s) {
  auto* layers = gBound.layers;
  void* layer = layers->findLayer(gCurrentDisplay ? gCurrentDisplay->owner : nullptr, &id);
  if (!layer) return kErrUnknownLayer;
  return layers->layerShape(L, layer, s);
}

int SpriteShape(lua_State* L, const ObjectId& id, CollisionShape* s) {
  auto* sprites = gBound.sprite;
  void* sprite = nullptr;
  if (int rc = sprites->findSprite(L, &id, &sprite)) return rc;
  return sprites->spriteShape(L, sprite, s);
}

// Layers: the output must make layers and the layers library must be there;
// identifiers are read by that library.
int ReadLayers(lua_State* L, int count, ObjectId* ids) {
  if (!gCurrentOutput || !gCurrentOutput->layers) return kErrNoLayers;
  auto* layers = gBound.layers;
  if (!layers || !layers->readLayerId || !layers->findLayer || !layers->layerShape) {
    return ErrorWithString(kErrSiblingAbsent, "layers");
  }
  for (int i = 0; i < count; ++i) {
    if (int rc = layers->readLayerId(L, 2 + i, &ids[i])) return rc;
  }
  return 0;
}

bool SpritesBound() {
  auto* sprites = gBound.sprite;
  return sprites && sprites->findSprite && sprites->spriteShape;
}

// Collision by type: 1, 0 or an error code.
int Collide(lua_State* L, int type) {
  CollisionShape shapes[2];
  switch (type) {
    case kBox: {
      const BoxArgs a = ReadBox(L, 2), b = ReadBox(L, 6);
      return BoxesMeet(a.x, a.y, a.width, a.height, b.x, b.y, b.width, b.height) ? 1 : 0;
    }
    case kTypeBrush:
    case kBrushVsBox: {
      BrushArgs brushes[2];
      brushes[0] = {Args().objectId(L, 2), Integer(L, 3), Integer(L, 4)};
      const bool box = type == kBrushVsBox;
      BoxArgs area{};
      if (box) {
        area = ReadBox(L, 5);
      } else {
        brushes[1] = {Args().objectId(L, 5), Integer(L, 6), Integer(L, 7)};
      }
      int rc = BrushShapes(L, brushes, box ? 1 : 2, shapes);
      if (box) shapes[1] = BoxShape(area);
      if (rc == 0) rc = CollisionTest(&shapes[0], &shapes[1]);
      for (BrushArgs& b : brushes) Release(&b);
      return rc;
    }
    case kTypeLayer:
    case kLayerVsBox: {
      const bool box = type == kLayerVsBox;
      BoxArgs area = box ? ReadBox(L, 3) : BoxArgs{};
      ObjectId ids[2];
      if (int rc = ReadLayers(L, box ? 1 : 2, ids)) return rc;
      if (int rc = LayerShape(L, ids[0], &shapes[0])) return rc;
      if (box) {
        shapes[1] = BoxShape(area);
      } else if (int rc = LayerShape(L, ids[1], &shapes[1])) {
        return rc;
      }
      return CollisionTest(&shapes[0], &shapes[1]);
    }
    case kTypeSprite:
    case kSpriteVsBox:
    case kSpriteVsBrush: {
      ObjectId sprites[2] = {Args().objectId(L, 2), {}};
      BoxArgs area{};
      BrushArgs brush;
      if (type == kTypeSprite) sprites[1] = Args().objectId(L, 3);
      if (type == kSpriteVsBox) area = ReadBox(L, 3);
      if (type == kSpriteVsBrush) brush = {Args().objectId(L, 3), Integer(L, 4), Integer(L, 5)};
      if (!SpritesBound()) return ErrorWithString(kErrSiblingAbsent, "sprite");
      int rc = 0;
      if (type == kSpriteVsBrush) rc = BrushShapes(L, &brush, 1, &shapes[1]);
      if (rc == 0) rc = SpriteShape(L, sprites[0], &shapes[0]);
      if (rc == 0 && type == kTypeSprite) rc = SpriteShape(L, sprites[1], &shapes[1]);
      if (type == kSpriteVsBox) shapes[1] = BoxShape(area);
      // The brush is looked up again after the sprite library ran.
      if (rc == 0 && type == kSpriteVsBrush) rc = BrushShape(L, brush, &shapes[1]);
      if (rc == 0) rc = CollisionTest(&shapes[0], &shapes[1]);
      Release(&brush);
      return rc;
    }
    default:
      return kErrRange;
  }
}

}  // namespace

int Matrix2DCommand(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  const double sx = Number(L, 1), sy = Number(L, 2), angle = Number(L, 3);
  double m[4];
  Matrix2D(sx, sy, angle, m);
  Lua().newtable(L);
  Args().setNumberField(L, "sx", m[0]);
  Args().setNumberField(L, "rx", m[1]);
  Args().setNumberField(L, "ry", m[2]);
  Args().setNumberField(L, "sy", m[3]);
  return 1;
}

int TransformPointCommand(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  const double x = Number(L, 1), y = Number(L, 2);
  double m[4], outX, outY;
  ReadMatrix(L, 3, m);
  TransformPoint(m, x, y, &outX, &outY);
  Lua().pushnumber(L, outX);
  Lua().pushnumber(L, outY);
  return 2;
}

int TransformBoxCommand(lua_State* L) {
  L = Args().beginCommand(L, 5, 8, 0, 0);
  const double x = Number(L, 1), y = Number(L, 2), w = Number(L, 3), h = Number(L, 4);
  double m[4];
  ReadMatrix(L, 5, m);
  const int32_t relative = TruncateToInt32(Lua().optnumber(L, 6, 1));
  const double anchorX = Lua().optnumber(L, 7, 0), anchorY = Lua().optnumber(L, 8, 0);
  double box[4];
  TransformBox(m, x, y, w, h, relative != 0, anchorX, anchorY, box);
  for (double v : box) Lua().pushnumber(L, v);
  return 4;
}

int Intersection(lua_State* L) {
  L = Args().beginCommand(L, 8, 8, 0, 0);
  const BoxArgs a = ReadBox(L, 1), b = ReadBox(L, 5);
  int box[4] = {0, 0, 0, 0};
  IntersectRect(a.x, a.y, a.width, a.height, b.x, b.y, b.width, b.height, &box[0], &box[1], &box[2],
                &box[3]);
  for (int v : box) Lua().pushnumber(L, v);
  return 4;
}

int Collision(lua_State* L) {
  // Each type takes its own arguments; their count has no upper limit.
  L = Args().beginCommand(L, 3, INT32_MAX, 0, 0);
  const int rc = Collide(L, Integer(L, 1));
  if (rc >= 1000) return rc;
  Lua().pushnumber(L, rc);
  return 1;
}

}  // namespace tzx::graphics
