// The interface table of brush.tzx.
#pragma once

#include "tzx/brush.h"

namespace tzx::brush {

extern const BrushInterface kInterface;

}  // namespace tzx::brush
