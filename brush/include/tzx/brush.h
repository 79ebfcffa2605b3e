// The interface brush.tzx hands its siblings: brush lookup, making and freeing
// brushes, drawing them, pixel access and the steps a change of the graphics
// back end or of a display needs. Members are the slots in slot order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {
struct DrawObjectArgs;
}

namespace tzx::brush {

inline constexpr int kInterfaceSlots = 18;

struct BrushRecord;

// Access bits of FindBrush.
enum FindAccess : unsigned {
  kAccessModify = 0x01,       // the caller changes the brush: busy brushes refuse
  kAccessDetached = 0x02,     // detached brushes are found too
  kAccessNoLayerCopy = 0x04,  // with kAccessModify: layers are not asked for a copy
  kAccessNoVector = 0x08,
  kAccessHardware = 0x10,  // hardware brushes are allowed
  kAccessNoPalette = 0x20,
};
// The access words the commands use.
inline constexpr unsigned kFindRead = 0x00;
inline constexpr unsigned kFindChange = 0x01;
inline constexpr unsigned kFindChangePixels = 0x09;
inline constexpr unsigned kFindChangeTrueColor = 0x29;
inline constexpr unsigned kFindReadHardware = 0x10;
inline constexpr unsigned kFindChangeHardware = 0x11;
inline constexpr unsigned kFindAttributes = 0x12;
inline constexpr unsigned kFindFree = 0x15;

// What AddBrushRecord registers. The record takes over every plane, the
// palette and the image object on success; `cycles` and `format` are copied.
struct NewBrush {
  ObjectId id;  // a non-null pointer word asks for an automatic identifier
  int32_t kind;
  int32_t width;
  int32_t height;
  int32_t rowWidth;
  int32_t transformed;
  graphics::ImageObject* imageObject;
  graphics::BitmapHandle* bitmap;
  int32_t transparentPen;
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  graphics::BitmapHandle* chunky;
  int32_t depth;
  uint32_t* palette;  // 256 entries, a block from the host's memory
  ObjectId displayId;
  const uint8_t* cycles;  // 6 bytes per range
  int32_t cycleCount;
  const char* format;  // may be null
};

// What CreateBrushCore makes.
struct BrushCoreArgs {
  ObjectId id;
  int32_t width;
  int32_t height;
  uint32_t color;  // the fill colour, or the fill pen of a palette brush
  int32_t transparentPen;
  int32_t mask;
  int32_t alpha;
  int32_t clear;
  int32_t noFill;
  int32_t hardware;
  int32_t smoothScale;
  int32_t depth;  // 0: 32 with a mask or alpha channel, else 24; 1..8 palette brush
  const uint32_t* palette;
  const uint8_t* cycles;
  int32_t cycleCount;
  ObjectId displayId;
  void* displayKey;     // the display a hardware brush is made for
  int32_t callbackRef;  // registry references; -1 when none
  int32_t userdataRef;
};

// Source types of ConvertObjectToBrush.
enum ConvertSource : int32_t {
  kConvertBgPic = 1,
  kConvertBrush = 3,
  kConvertAnim = 4,
  kConvertTextObject = 8,
  kConvertLayer = 22,
  kConvertSprite = 32,
  kConvertVectorPath = 49,
  kConvertIcon = 59,
};

struct ConvertRequest {
  int32_t sourceType;
  ObjectId sourceId;
  ObjectId id;  // of the new brush
  int32_t frame;
  int32_t selected;
  int32_t vector;
};

// Tag lists of the pixel-access and copy slots end with tag 0.
struct BrushTag {
  int32_t tag;
  intptr_t value;
};
enum BrushTagId : int32_t {
  kBrushTagEnd = 0,
  kBrushTagConvert = 1,         // value non-zero: the pixels may be converted
  kBrushTagPalette = 2,         // value non-zero: palette brushes are accepted
  kBrushTagTransparentPen = 3,  // value non-zero: the transparent pen is wanted
  kBrushTagTransform = 4,       // value: const double[4], the 2x2 matrix
};

// Filled by BeginBrushPixelAccess.
struct PixelAccessInfo {
  uint8_t* pixels;
  int32_t format;  // 10 (0xAARRGGBB words), or 14 for the pens of a palette brush
  int32_t bytesPerRow;
  int32_t width;
  int32_t height;
  const uint32_t* palette;  // palette brushes
  int32_t depth;
  int32_t transparentPen;  // with kBrushTagTransparentPen, else -1
};
struct PixelAccess;

// Planes handed out by GetBrushTransformedCopy; the caller owns them.
struct BrushCopy {
  graphics::BitmapHandle* bitmap;
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  graphics::BitmapHandle* chunky;
  uint32_t* palette;  // with chunky: 256 entries from the host's memory
  int32_t width;
  int32_t height;
};

struct BrushInterface {
  // 0: 0 or an error code; *out is set on success.
  int (*FindBrush)(lua_State* L, const ObjectId* id, BrushRecord** out, unsigned access);
  // 1: key != 0: the hardware brush whose bitmap has that texture handle (its
  // id is written); key 0: the handle of the brush `id`. Null when none.
  void* (*GetBrushTextureHandle)(ObjectId* id, void* key);
  int (*AddBrushRecord)(const NewBrush* brush, BrushRecord** out);     // 2: 0 / 1000
  int (*FreeBrushById)(lua_State* L, const ObjectId* id, int strict);  // 3
  void (*PurgeDetachedBrushes)(lua_State* L);                          // 4
  // 5: the new brush's identifier is written to *outId.
  int (*ConvertObjectToBrush)(lua_State* L, const ConvertRequest* request, ObjectId* outId);
  // 6: a detached copy that a layer keeps showing; null when out of memory.
  BrushRecord* (*CloneBrushForLayer)(lua_State* L, BrushRecord* brush, int flag);
  int (*CreateBrushCore)(lua_State* L, const BrushCoreArgs* args, BrushRecord** out);      // 7
  int (*DrawBrushObject)(lua_State* L, const ObjectId* id, int x, int y, int optionsArg);  // 8
  int (*RebuildBrushes)(int dropHardware, int keepHardware);                               // 9
  void (*FreeDisplayBrushes)(lua_State* L, void* displayKey);                              // 10
  int (*DetachHardwareBrushes)(void* displayKey);                                          // 11
  int (*AttachHardwareBrushes)(void* displayKey);                                          // 12
  // 13: reads x and y (a part: source x, y, width, height, then x and y) from
  // argument 2 on, and the draw-tag table when it is the last argument.
  int (*ReadDrawArguments)(lua_State* L, graphics::DrawObjectArgs* frame, int argCount, int part);
  PixelAccess* (*BeginBrushPixelAccess)(const ObjectId* id, const BrushTag* tags,
                                        PixelAccessInfo* info);                              // 14
  void (*EndBrushPixelAccess)(PixelAccess* access);                                          // 15
  int (*GetBrushTransformedCopy)(const ObjectId* id, const BrushTag* tags, BrushCopy* out);  // 16
  // 17: a new brush over the planes, which it takes over on success.
  int (*CreateBrushFromBitmap)(lua_State* L, const ObjectId* id, graphics::BitmapHandle* bitmap,
                               graphics::BitmapHandle* mask, graphics::BitmapHandle* alpha,
                               ObjectId* outId);
};

static_assert(offsetof(BrushInterface, FindBrush) == 0);
static_assert(offsetof(BrushInterface, FreeBrushById) == 3 * sizeof(void*));
static_assert(offsetof(BrushInterface, CreateBrushCore) == 7 * sizeof(void*));
static_assert(offsetof(BrushInterface, RebuildBrushes) == 9 * sizeof(void*));
static_assert(offsetof(BrushInterface, AttachHardwareBrushes) == 12 * sizeof(void*));
static_assert(offsetof(BrushInterface, BeginBrushPixelAccess) == 14 * sizeof(void*));
static_assert(offsetof(BrushInterface, CreateBrushFromBitmap) == 17 * sizeof(void*));
static_assert(sizeof(BrushInterface) == kInterfaceSlots * sizeof(void*));

}  // namespace tzx::brush
