// What the libraries call in the "palette" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "palette": palettes and pens of palette objects.
// What a palette operation works on: the planes of a palette object (a brush)
// in plain memory. Operations change them in place; depth and transparentPen
// come back changed where the operation says so.
struct PaletteTarget {
  uint32_t* palette;       // 256 entries 0x00RRGGBB
  int32_t depth;           // 1..8: pens 0 .. 2^depth - 1 are in use
  int32_t transparentPen;  // -1 when none
  uint8_t* pens;           // one pen per pixel; null when the object has none
  int32_t width;
  int32_t height;
  int32_t bytesPerRow;
};

// Operation codes of PaletteSibling::operate.
enum PaletteOperation : int32_t {
  kPaletteGetPen = 1,             // result = the pen's colour
  kPaletteSetPalette = 2,         // copies the palette `palette`
  kPaletteSetPen = 4,             // sets the pen's colour
  kPaletteSetTransparentPen = 5,  // pen -1 removes it
  kPaletteSetDepth = 6,
};

struct PaletteOperationArgs {
  int32_t pen;
  uint32_t color;
  int32_t depth;
  ObjectId palette;
  // Stack index of the command's option table, 0 when none; the operation
  // reads its own keys from it.
  int32_t optionsIndex;
  uint32_t result;  // kPaletteGetPen
};

// The palette with this number always exists: 256 colours, depth 8.
inline constexpr int32_t kDefaultPaletteId = -983;

// Values of the published mode word.
enum PaletteMode : int32_t {
  kPaletteModePen = 0,    // colours are not matched to pens: the draw pen is used
  kPaletteModeRemap = 1,  // colours are matched to the nearest pen
};

struct PaletteSibling {
  // Slot 0: the mode word, read in place.
  const int32_t* mode;
  // Slot 1: applies an operation to an object of the type (3 brushes) whose
  // planes the target describes; 0 or an error code.
  int (*operate)(lua_State* L, int32_t type, const ObjectId* id, PaletteTarget* target,
                 int32_t operation, PaletteOperationArgs* args);
  // Slot 2: builds an object's palette from the palette with the given
  // identifier: fills target->palette (256 entries), and sets target->depth
  // (the palette's own when `depth` is 0) and target->transparentPen (the
  // palette's own when `transparentPen` is -1); 0 or an error code.
  int (*buildPalette)(lua_State* L, const ObjectId* palette, int32_t depth, int32_t transparentPen,
                      PaletteTarget* target);
};
static_assert(offsetof(PaletteSibling, operate) == 1 * sizeof(void*));
static_assert(offsetof(PaletteSibling, buildPalette) == 2 * sizeof(void*));

}  // namespace tzx
