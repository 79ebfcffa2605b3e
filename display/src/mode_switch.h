// Full screen, display sizes and the scale state of displays: the cores of
// ChangeDisplayMode and ChangeDisplaySize, and what presenting and the window
// procedure need to know of a display's scaling.
#pragma once

#include "display_record.h"
#include "modes.h"

namespace tzx::display {

// Keys of ChangeDisplayMode; -1 for a key not given.
struct ModeRequest {
  int32_t mode;
  int32_t width;  // 0: not given
  int32_t height;
  int32_t monitor;  // 0: the display's own
  int32_t layerScale = -1;
  int32_t keepProportions = -1;
  int32_t smoothScale = -1;
  int32_t noBackfill = -1;
};

// Switches the display between window and full screen. 1055 for a mode this
// platform does not switch to, 1558 for a size below 1, 1557 for an unknown
// monitor, 1685 when layer scaling lacks its library, 1347 when the display
// is not open, 1555 when the monitor's modes cannot be read, 1004 when no
// mode fits or the mode cannot be set.
int ChangeDisplayModeCore(lua_State* L, DisplayRecord* d, const ModeRequest& r);

// Gives the display a new size, its picture rebuilt (with the background, or
// keeping the old picture's overlap with `keepPicture`); the window follows
// unless the library scales the picture into it. 1558 for a size below 1,
// 1162 while double-buffered.
int ResizeDisplayCore(lua_State* L, DisplayRecord* d, int width, int height, bool keepPicture);

bool IsFullscreenMode(int mode);
// Brings an open window to the size the display's size and scaling give.
void FitWindowToDisplay(DisplayRecord* d);
// The library scales the display's picture to its window.
bool LibraryScales(const DisplayRecord* d);
// The window's client size for the display's size and scale state.
void WindowSizeOf(const DisplayRecord* d, int* width, int* height);
// Where the display's picture shows in a client area of that size.
PictureView ViewIn(const DisplayRecord* d, int clientWidth, int clientHeight);

}  // namespace tzx::display
