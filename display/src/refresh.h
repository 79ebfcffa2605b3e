// How drawing reaches a display's window: changes reported by the graphics
// library are collected and presented after every drawing command, at the end
// of a refresh block, or on request.
#pragma once

#include "display_record.h"
#include "modes.h"
#include "platform/window_backend.h"

namespace tzx::display {

// The callbacks of a display's output records.
extern const graphics::OutputOps kDisplayOutputOps;

// Presents the changes waiting for the window (everything with
// kRefreshForce); nothing happens while the display has no window.
int RefreshCore(DisplayRecord* d, uint32_t flags);
// Copies the rectangles of the display's picture to its window now.
int PresentRects(DisplayRecord* d, const platform::PixelRect* rects, int count);
// Whether the window shows the picture unscaled at its top-left; when not,
// the window's client size is set. Needs an open window.
bool ShownAsItIs(DisplayRecord* d, int* clientWidth, int* clientHeight);
// Marks a region changed and presents it unless a refresh block is open.
int PresentRegion(DisplayRecord* d, int x, int y, int width, int height);
// Copies a region to the window now.
int DrawToWindow(DisplayRecord* d, int x, int y, int width, int height);

// The current output as a display for the commands that need one: 1056,
// 1229, 1082, 1147 or 1167 by the kind of output that is current instead,
// 1687 when there is none.
int DisplayOutput(DisplayRecord** out);

// A display's picture on its way to a window at another size.
struct ScaledPicture {
  const uint8_t* pixels;  // 0xAARRGGBB words
  int bytesPerRow;
  int width;
  int height;
  bool smooth;
};

// Draws the picture scaled into `v` of a width × height target, the rest
// black; 0 or the scaler's error.
int ScaleIntoView(const ScaledPicture& picture, uint8_t* target, int bytesPerRow, int width,
                  int height, const PictureView& v);

// The display's picture as 0xAARRGGBB words for the rectangles; palette and
// other formats are converted into the display's present buffer. On success
// the picture stays locked in `lock` until the caller unlocks it; 1152 or
// 1000 otherwise.
int PicturePixels(DisplayRecord* d, const platform::PixelRect* rects, int count,
                  graphics::LockRecord* lock, const uint8_t** pixels, int* bytesPerRow);

}  // namespace tzx::display
