// Making, freeing, opening, closing and selecting displays.
#pragma once

#include "display_record.h"

namespace tzx::display {

// Makes a display from the options in `options` (SetDisplayDefaults, then
// ReadDisplayOptions) under `id` and links it; 0 or an error code with
// nothing left behind.
int CreateDisplayCore(lua_State* L, const DisplayRecord& options, const ObjectId& id,
                      DisplayRecord** out);
// 1346 for the current display, 1504 while busy; an open display is closed
// first.
int FreeDisplayCore(lua_State* L, DisplayRecord* d);
// Frees a display whatever its state (library close).
void DestroyDisplay(lua_State* L, DisplayRecord* d);

int OpenDisplayCore(lua_State* L, DisplayRecord* d, uint32_t flags);
// 1055 when closed; 1525 while busy or when it is the current display and no
// other display is open.
int CloseDisplayCore(DisplayRecord* d);
// Makes the display the graphics library's current output; unless `flag` is
// set an open display's window is also activated.
void SelectDisplayCore(DisplayRecord* d, int flag);
// 1347 when the display is not open.
int ActivateDisplayCore(DisplayRecord* d, int flag);

// (Re)makes the display's picture at its size, filled with its background;
// 1522 or 1648 when it cannot be made.
int CreateOutputBitmaps(DisplayRecord* d);
// Remakes the picture at a new size: with the background, or black with the
// old picture's overlap kept. The size is the display's once it succeeded.
int RebuildPicture(lua_State* L, DisplayRecord* d, int width, int height, bool keepPicture);
int CreateIndexOutput(DisplayRecord* d);
// Fills a bitmap of the display's size with the display's background.
int FillBackground(lua_State* L, DisplayRecord* d, graphics::BitmapHandle* target);

// Takes over the option fields of `o` (SetDisplayAttributes) and brings the
// window up to date; 0 or an error code (the size cannot change while
// double-buffered: 1162).
int ApplyDisplayOptions(lua_State* L, DisplayRecord* d, const DisplayRecord& o);

// The window position of a display's requested x and y (position codes
// resolve on its monitor); false for an unknown monitor.
bool ResolveWindowPosition(const DisplayRecord* d, int x, int y, int* outX, int* outY);

}  // namespace tzx::display
