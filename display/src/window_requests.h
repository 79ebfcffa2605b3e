// What the script thread asks of the window thread: each operation runs
// there as a job while the caller waits.
#pragma once

#include "display_record.h"
#include "event_loop.h"
#include "platform/window_backend.h"
#include "refresh.h"

namespace tzx::display {

// A picture to copy to a window: 0xAARRGGBB words.
struct PresentJob {
  const uint8_t* pixels;
  int32_t bytesPerRow;
  int32_t width;
  int32_t height;
  const platform::PixelRect* rects;
  int32_t count;
  // Also filled with the rectangles, in the same pass (a flip's front picture).
  const platform::PixelMirror* mirror = nullptr;
};

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
void ResizeWindow(DisplayRecord* d, int width, int height);
// Position and client size of the window.
void WindowRect(DisplayRecord* d, int out[4]);
// Sizes of the frame around the client area: left, top, right, bottom; 0
// without a window.
void WindowMargins(DisplayRecord* d, int out[4]);
// Copies the job's rectangles to the window; a failure is traced only. False
// when the display has no window (the mirror is then left as it was).
bool PresentToWindow(DisplayRecord* d, const PresentJob& job);
// ScaleIntoWindow's answer when the back end does not lend the window's
// pixels.
inline constexpr int kWindowPixelsNotLent = -1;
// Scales the picture into the window's own pixels at the view its size
// gives and shows it; 0, the scaler's error, or kWindowPixelsNotLent.
int ScaleIntoWindow(DisplayRecord* d, const ScaledPicture& picture);
// What the window shows; 0 or kErrDisplayClosed.
int ReadWindowPixels(DisplayRecord* d, uint32_t* out, int width, int height);
// Desktop pixels; 0 or kErrNotOnPlatform.
int ReadScreenPixels(const int rect[4], uint32_t* out);
// Queues a message as if the window system had sent it and handles it; 0 or
// kErrNotOnPlatform.
int InjectWindowMessage(const platform::WindowMessage& m);
// Full screen on a monitor (numbered from 1), in `mode` or, without, as a
// borderless window over the monitor; 0 or kErrScreenMode.
int EnterFullscreen(DisplayRecord* d, int monitor, const platform::ScreenMode* mode);
// Back to a window at a client position and size.
void LeaveFullscreen(DisplayRecord* d, int x, int y, int width, int height);
// Screen coordinates of the mouse pointer.
void CursorPosition(int out[2]);
// On the window thread: hands the window system's clipboard text to the
// clipboard library; an empty clipboard only with `empty`.
void TellClipboard(bool empty);
// Puts text on the window system's clipboard (and tells the clipboard
// library what it holds then); 0, or kErrNotOnPlatform without a window
// system's clipboard.
int SetSystemClipboard(const char* text);

}  // namespace tzx::display
