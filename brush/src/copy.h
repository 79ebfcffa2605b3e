// Copies of brushes: for CopyBrush, for conversions of a brush and for the
// copies that layers keep of the brushes they show.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

// Fills `n` with copies of the source's planes, palette and fields. With
// keepVector a vector brush stays one (its picture is shared); otherwise the
// copy is a raster brush. The caller registers `n` or frees it with
// FreeNewBrush.
int CopyPlanes(const BrushRecord& source, bool keepVector, NewBrush* n);
void FreeNewBrush(NewBrush* n);

// Registers a copy of `source` under `id` (an existing numbered brush is
// freed first).
int CopyBrushTo(lua_State* L, const BrushRecord& source, const ObjectId& id, bool keepVector,
                BrushRecord** out);

// Moves the bitmap into the display adapter's memory where the back end
// offers hardware bitmaps; otherwise the brush stays as it is.
void MakeHardware(BrushRecord* brush, void* displayKey);

BrushRecord* CloneBrushForLayer(lua_State* L, BrushRecord* brush, int flag);

}  // namespace tzx::brush
