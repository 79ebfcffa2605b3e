// What the central draw does to a working copy of an object before drawing
// it: the record's scaling (and, through the transformation slot, rotation),
// filters, transparency, border and shadow.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {

// A working copy that effects replace plane by plane. Everything in it is
// owned and freed by FreeEffectPlanes.
struct EffectPlanes {
  BitmapHandle* color;  // 32-bit 0xAARRGGBB
  BitmapHandle* mask;
  BitmapHandle* alpha;
  BitmapHandle* index;  // pens of a palette picture, with palette
  uint32_t* palette;    // 256 entries
  int transparentPen;   // with index; -1 for none
  int width;            // the planes
  int height;
  int objectWidth;  // the object itself, without border and shadow
  int objectHeight;
  int originX;  // where the object's top-left corner sits in the planes
  int originY;
};

// The record's matrix for an object of width x height: a requested size
// whose matrix was never built is built here.
void RecordMatrix(const TransformRecord& transform, int width, int height, double matrix[4]);
// The size the matrix gives an object drawn afresh (vector pictures): the
// sides scaled by a diagonal matrix as the scaling rounds them, else the
// box of the corners (GetTransformedSize).
void DrawnSize(const double matrix[4], int width, int height, int* outWidth, int* outHeight);
// Slot 92: the corners' extent under the matrix, each side rounded to the
// nearest pixel and at least 1 (a quarter turn of 8 x 6 is 6 x 8); sides no
// bitmap can have come back as INT32_MAX.
void GetTransformedSize(const double matrix[4], int width, int height, int* outWidth,
                        int* outHeight);

// Copies the width × height rectangle at (x, y) of the given planes (colour
// bitmaps of any format become 32-bit). 0 or an allocation error; on failure
// nothing is kept.
int CopyEffectPlanes(const BitmapHandle* color, const BitmapHandle* mask, const BitmapHandle* alpha,
                     const BitmapHandle* index, const uint32_t* palette, int transparentPen, int x,
                     int y, int width, int height, EffectPlanes* out);
void FreeEffectPlanes(EffectPlanes* planes);

// The draw record on the working copy, in this order: the matrix (a diagonal
// one scales, negative factors mirror; any other needs the transformation
// slot), the filters, then, on colour planes, the transparency, the border and
// the shadow.
int ApplyEffects(lua_State* L, const TransformRecord& transform, const TagRecord& tags,
                 EffectPlanes* planes);

// Slot 19: ApplyEffects on a true-colour set, replacing its planes; the
// object's place in the grown planes goes to originX and originY.
int ApplyDrawEffects(lua_State* L, TransformRecord* transform, TagRecord* tags,
                     BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
                     int* height, int* originX, int* originY);

// Scales the set's coverage by (255 - transparency) / 255 into an alpha
// channel; one is made from the mask (which it replaces) or as opaque when
// there is none. 0 or kErrAllocAlpha.
int ApplyTransparencyLevel(BitmapHandle** alpha, BitmapHandle** mask, int width, int height,
                           int transparency);

// The object over its silhouette in the shadow colour, moved by the size in
// the direction (SHDWNORTH 0 clockwise to SHDWNORTHWEST 7; other directions
// leave it behind the object). The planes grow by ShadowMargins; they become
// a 32-bit colour bitmap and an alpha channel. A colour's top byte is its
// transparency.
int DrawShadow(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
               int* height, const ShadowRecord* shadow);
// The object over its silhouette widened by the border size on every side,
// in the border colour; the planes grow by the size on every side.
int DrawBorder(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
               int* height, const BorderRecord* border);

}  // namespace tzx::graphics
