// Palettes and pens of palette brushes, through the palette sibling, and the
// turning of pens into true colour.
#pragma once

#include "brush_records.h"
#include "tzx/siblings.h"

namespace tzx::brush {

// Hands one operation on the pens of a palette brush (pinned by the caller:
// the palette sibling reads the option table meanwhile) to the palette
// sibling, which must be bound, with the pens locked for it; the brush takes
// the depth and transparent pen it leaves.
int OperateOnPens(lua_State* L, BrushRecord* brush, const ObjectId& id, int32_t operation,
                  PaletteOperationArgs* args, bool change);

// Makes a palette brush true colour; with keepTransparency its transparent
// pen becomes a mask.
int RemovePalette(BrushRecord* brush, bool keepTransparency);

// True-colour planes of a pen plane: a colour bitmap through the palette and,
// when the transparent pen is a pen, a mask that hides its pixels.
int PensToTrueColor(const BitmapHandle* pens, const uint32_t* palette, int transparentPen,
                    BitmapHandle** color, BitmapHandle** mask);

// Fills target->palette, depth and transparentPen from the palette sibling's
// palette `id` (the default palette when id is null); 1685 without it.
int BuildPalette(lua_State* L, const ObjectId* id, int depth, int transparentPen,
                 PaletteTarget* target);

}  // namespace tzx::brush
