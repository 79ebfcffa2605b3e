// The brush records, their list, lookup, registration and freeing, and the
// making of new brushes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/brush.h"
#include "tzx/graphics.h"

namespace tzx::brush {

using graphics::BitmapHandle;
using graphics::ImageObject;

enum BrushKind : int32_t { kKindRaster = 0, kKindVector = 1 };

// transparentPen of a true-colour brush whose mask has no key colour.
inline constexpr int32_t kMaskWithoutKey = 0xAFC0DE;
inline constexpr int32_t kNoPen = -1;
inline constexpr uint32_t kNoColor = 0xFFFFFFFF;
inline constexpr int kPaletteEntries = 256;
inline constexpr size_t kPaletteBytes = kPaletteEntries * 4;
inline constexpr int kCycleBytes = 6;

// Pens of a depth: 2^depth.
inline int PenCount(int depth) {
  return depth >= 1 && depth <= 8 ? 1 << depth : 0;
}

// hwFlags of a hardware brush.
inline constexpr uint32_t kHwHasMask = 0x1;
inline constexpr uint32_t kHwHasAlpha = 0x2;

// Planes of a hardware brush kept in memory while its display's hardware
// bitmaps are away; the pixels follow the record in one block.
struct SwapCopy {
  int32_t width;
  int32_t height;
  uint32_t hwFlags;
  uint32_t* pixels;  // 0xAARRGGBB, the mask or alpha channel in the top byte
};

// The fields that graphics and display read come first, as BrushRecordHead
// lays them out; the brush library's own follow.
struct BrushRecord : graphics::BrushRecordHead {
  SwapCopy* swapCopy;
  const char* loader;  // a static name, null when the brush was not loaded
  char format[256];
};

// The list the object sibling walks.
extern ObjectHeader* gBrushList;

inline BrushRecord* FirstBrush() {
  return reinterpret_cast<BrushRecord*>(gBrushList);
}
inline BrushRecord* NextBrush(const BrushRecord* b) {
  return reinterpret_cast<BrushRecord*>(b->header.next);
}

int FindBrush(lua_State* L, const ObjectId* id, BrushRecord** out, unsigned access);
// Keeps the brush for the running command (tzx/pins.h): while pinned it is
// busy, so that freeing, replacing or changing it fails with 1314.
int PinBrush(lua_State* L, BrushRecord* brush);
// 1149 when the graphics library's current output is the brush or one of its
// planes, else 0.
int TargetGuard(const ObjectId& id);
// The target guard, then FindBrush.
int FindBrushToChange(lua_State* L, const ObjectId& id, unsigned access, BrushRecord** out);

int AddBrushRecord(const NewBrush* brush, BrushRecord** out);
int FreeBrushById(lua_State* L, const ObjectId* id, int strict);
// Frees what the record holds, lets the object sibling forget it and frees
// it; the record must already be out of the list.
void FreeBrushRecord(lua_State* L, BrushRecord* brush);
// Frees every record (library close).
void FreeAllBrushes(lua_State* L);
void PurgeDetachedBrushes(lua_State* L);

// A numbered brush that will be replaced is freed first (not strictly).
int FreeBrushForReuse(lua_State* L, const ObjectId& id);

// The planes of a new raster brush: pens for depth 1..8, else a colour bitmap
// with an optional mask or alpha channel. Nothing is kept on failure.
struct Planes {
  BitmapHandle* bitmap;
  BitmapHandle* mask;
  BitmapHandle* alpha;
  BitmapHandle* chunky;
};
int MakePlanes(int width, int height, uint32_t color, int depth, int mask, int alpha, int clear,
               int noFill, uint32_t allocFlags, Planes* out);
void FreePlanes(Planes* planes);

int CreateBrushCore(lua_State* L, const BrushCoreArgs* args, BrushRecord** out);

// The key of the display a hardware brush is made for (null id: the
// current display); 1685 without the display library. The key stays null
// where displays do not hold hardware bitmaps.
int DisplayKeyFor(const ObjectId* display, void** key);

// 24, or 32 with a mask or an alpha channel; palette brushes keep theirs.
void UpdateTrueColorDepth(BrushRecord* brush);
// Whether the brush is a palette brush.
inline bool IsPaletteBrush(const BrushRecord* b) {
  return b->chunky != nullptr;
}

}  // namespace tzx::brush
