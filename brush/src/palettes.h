// Palettes and pens of palette brushes, through the palette sibling, and the
// turning of pens into true colour.
#pragma once

#include "brush_records.h"
#include "tzx/siblings.h"

namespace tzx::brush {

// True-colour planes of a pen plane: a colour bitmap through the palette and,
// when the transparent pen is a pen, a mask that hides its pixels.
int PensToTrueColor(const BitmapHandle* pens, const uint32_t* palette, int transparentPen,
                    BitmapHandle** color, BitmapHandle** mask);

// Fills target->palette, depth and transparentPen from the palette sibling's
// palette `id` (the default palette when id is null); 1685 without it.
int BuildPalette(lua_State* L, const ObjectId* id, int depth, int transparentPen,
                 PaletteTarget* target);

}  // namespace tzx::brush
