// The library's interface record and shared variables, and the start and end
// of the state they hold.
#pragma once

#include <cstdint>

#include "tzx/graphics.h"

namespace tzx::graphics {

// Siblings call through this record and read and write its state in place.
extern GraphicsInterface gInterface;

// The variables that slots 168 to 180 point at.
extern OutputRecord* gCurrentOutput;
extern OutputRecord* gCurrentDisplay;
extern int32_t gDisplayWord170;
extern int32_t gDisplayWord171;
extern int32_t gWord172;
extern int32_t gDisplayWord173;
extern int32_t gOutputBlitLevel;
extern int32_t gOutputFormat;
extern int32_t gWord179;
extern ImageCacheEntry* gImageCache;

inline GraphicsState& SharedState() {
  return gInterface.state;
}

// The start values of the shared state and variables (internal initialisation).
void ResetGraphicsState();
// Fills the trigonometric tables with the host's math and allocates the scratch
// buffer; 0 or kErrNoMemory.
int StartGraphicsTables();
// Frees what the state holds.
void CloseGraphicsState();

// The scratch buffer with room for at least `entries` 16-byte entries, grown
// as needed; null when memory runs out (the old buffer stays).
void* EnsureBuffer(int entries);

// The colour bitmap format: the output's format when it has one that colour
// bitmaps can take, else 10.
int ColorBitmapFormat();

}  // namespace tzx::graphics
