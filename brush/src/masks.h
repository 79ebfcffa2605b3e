// The transparency planes of true-colour brushes: masks and alpha channels.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

// A mask of the alpha channel's size, visible where the alpha is at least 128.
int MaskFromAlpha(const BitmapHandle* alpha, BitmapHandle** mask);

}  // namespace tzx::brush
