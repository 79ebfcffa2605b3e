// What the script thread asks of the window thread, and the window side of
// each request.
#pragma once

#include "display_record.h"
#include "event_loop.h"
#include "platform/window_backend.h"

namespace tzx::display {

// A picture to copy to a window: 0xAARRGGBB words.
struct PresentJob {
  const uint8_t* pixels;
  int32_t bytesPerRow;
  int32_t width;
  int32_t height;
  const platform::PixelRect* rects;
  int32_t count;
};

struct ScreenRead {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t* out;
};

// Runs on the window thread.
int ExecuteRequest(Request* r);

// The back end's window flags for a display's options.
uint32_t WindowFlagsOf(const DisplayRecord* d);

// 0, or 1526 when the window cannot be made.
int OpenWindow(DisplayRecord* d, const platform::WindowParams& params);
void CloseWindow(DisplayRecord* d);
void ShowWindow(DisplayRecord* d, platform::ShowCommand command);
void UpdateWindowTitle(DisplayRecord* d);
void UpdateWindowFlags(DisplayRecord* d);
void MoveWindowTo(DisplayRecord* d, int x, int y);
void ActivateWindow(DisplayRecord* d);
// Position and client size of the window.
void WindowRect(DisplayRecord* d, int out[4]);

}  // namespace tzx::display
