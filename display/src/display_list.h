// The list of displays and the current display.
#pragma once

#include "display_record.h"

namespace tzx::display {

extern ObjectHeader* gDisplayList;

// 0, 1041 for an unknown automatic id, 1344 (the number as argument) for an
// unknown number.
int FindDisplay(const ObjectId* id, DisplayRecord** out);
// Keeps the display for the running command (tzx/pins.h).
int PinDisplay(lua_State* L, DisplayRecord* d);

// The display the graphics library draws to (the owner of its current
// display output), or null.
DisplayRecord* CurrentDisplay();
// The current display, or 1687 when there is none.
int RequireCurrentDisplay(DisplayRecord** out);
// The output drawing goes to: the back buffer's while double-buffered.
graphics::OutputRecord* DrawingOutput(DisplayRecord* d);

// The state is written by the window thread too.
int32_t DisplayStateOf(const DisplayRecord* d);
void SetDisplayState(DisplayRecord* d, int32_t state);
bool IsOpen(const DisplayRecord* d);  // open or minimised

void LinkDisplay(DisplayRecord* d);
void UnlinkDisplay(DisplayRecord* d);

}  // namespace tzx::display
