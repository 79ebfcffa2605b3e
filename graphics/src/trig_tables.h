// The sine and cosine tables that siblings read through the interface.
#pragma once

#include "tzx/graphics.h"

namespace tzx::graphics {

extern double gSineTable[kTrigEntries];
extern double gCosineTable[kTrigEntries];

// Fills both tables with the host's sine and cosine.
void FillTrigTables();

}  // namespace tzx::graphics
