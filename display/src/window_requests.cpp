#include "window_requests.h"

#include <string>

#include "bindings.h"
#include "display_list.h"
#include "mode_switch.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_proc.h"
#include "window_system.h"

namespace tzx::display {

using namespace tzx::platform;

namespace {

// Read on the window thread: the window may have closed meanwhile.
NativeWindow* HandleOf(const DisplayRecord* d) {
  return d && d->window ? d->window->handle : nullptr;
}

// Runs `op(handle)` on the window thread when the display has a window.
template <class Op>
void WithWindow(DisplayRecord* d, Op&& op) {
  OnWindowThread([&]() -> int {
    if (NativeWindow* handle = HandleOf(d)) op(handle);
    return 0;
  });
}

int Open(DisplayRecord* d, const WindowParams& p) {
  NativeWindow* handle = Backend()->CreateWindow(p, d);
  if (!handle) {
    Memory().trace(Backend()->LastError());
    return kErrNoWindow;
  }
  LockDisplays();
  WindowData* w = d->window;
  w->handle = handle;
  w->lastX = p.x;
  w->lastY = p.y;
  w->clientWidth = p.width;
  w->clientHeight = p.height;
  w->fullRepaint = 0;
  UnlockDisplays();
  // The clipboard may have changed before any window watched it; text put
  // there by the script while no window could hold it stays.
  TellClipboard(false);
  return 0;
}

void Close(DisplayRecord* d) {
  LockDisplays();
  NativeWindow* handle = d->window->handle;
  d->window->handle = nullptr;
  d->window->active = 0;
  ClearKeyState(d->window);
  UnlockDisplays();
  if (handle) Backend()->DestroyWindow(handle);
}

}  // namespace

uint32_t WindowFlagsOf(const DisplayRecord* d) {
  uint32_t f = 0;
  if (d->flags & kFlagBorderless) f |= kWindowBorderless;
  if (d->flags & kFlagSizeable) f |= kWindowSizeable;
  if (d->flags2 & kFlag2Hidden) f |= kWindowHidden;
  if (d->flags & kFlagAlwaysOnTop) f |= kWindowAlwaysOnTop;
  if (d->flags & kFlagMaximized) f |= kWindowMaximized;
  if ((d->flags & kFlagHideFromTaskbar) || d->backfillMarker || d->resourceMonitor) {
    f |= kWindowNoTaskbar;
  }
  if (d->flags & kFlagDisableBlanker) f |= kWindowKeepAwake;
  return f;
}

// An open window is a source of events for the host's WaitEvent.
int OpenWindow(DisplayRecord* d, const WindowParams& params) {
  int rc = OnWindowThread([&] { return Open(d, params); });
  if (rc == 0 && d->window && d->window->handle) Host().ext->threads->eventSource(1);
  return rc;
}

void CloseWindow(DisplayRecord* d) {
  const bool open = d->window && d->window->handle;
  OnWindowThread([&]() -> int {
    Close(d);
    return 0;
  });
  if (open) Host().ext->threads->eventSource(-1);
}

void ShowWindow(DisplayRecord* d, ShowCommand command) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->Show(h, command); });
}

void UpdateWindowTitle(DisplayRecord* d) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->SetTitle(h, d->title); });
}

void UpdateWindowFlags(DisplayRecord* d) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->SetFlags(h, WindowFlagsOf(d)); });
}

void MoveWindowTo(DisplayRecord* d, int x, int y) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->SetPosition(h, x, y); });
}

void ActivateWindow(DisplayRecord* d) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->Activate(h); });
}

void ResizeWindow(DisplayRecord* d, int width, int height) {
  WithWindow(d, [&](NativeWindow* h) { Backend()->SetClientSize(h, width, height); });
}

void WindowRect(DisplayRecord* d, int out[4]) {
  int rc = OnWindowThread([&]() -> int {
    NativeWindow* h = HandleOf(d);
    if (!h) return kErrDisplayClosed;
    Backend()->GetPosition(h, &out[0], &out[1]);
    Backend()->GetClientSize(h, &out[2], &out[3]);
    return 0;
  });
  if (rc != 0) {
    out[0] = d->x;
    out[1] = d->y;
    out[2] = d->width;
    out[3] = d->height;
  }
}

void WindowMargins(DisplayRecord* d, int out[4]) {
  out[0] = out[1] = out[2] = out[3] = 0;
  WithWindow(d, [&](NativeWindow* h) {
    Backend()->GetFrameMargins(h, &out[0], &out[1], &out[2], &out[3]);
  });
}

bool PresentToWindow(DisplayRecord* d, const PresentJob& job) {
  WindowBackend* b = Backend();
  auto present = [&](NativeWindow* h) {
    if (!b->Present(h, job.pixels, job.bytesPerRow, job.width, job.height, job.rects, job.count,
                    job.mirror)) {
      Memory().trace(b->LastError());
    }
  };
  if (b->PresentsOnAnyThread()) {
    // The window closes and resizes only on the window thread, inside jobs
    // this thread waits for or under the displays' lock held here.
    LockDisplays();
    NativeWindow* h = HandleOf(d);
    if (h) present(h);
    UnlockDisplays();
    return h != nullptr;
  }
  bool presented = false;
  WithWindow(d, [&](NativeWindow* h) {
    presented = true;
    present(h);
  });
  return presented;
}

int ScaleIntoWindow(DisplayRecord* d, const ScaledPicture& picture) {
  return OnWindowThread([&]() -> int {
    NativeWindow* h = HandleOf(d);
    if (!h) return 0;
    WindowBackend* b = Backend();
    uint8_t* pixels;
    int bytesPerRow, width, height;
    if (!b->LendWindowPixels(h, &pixels, &bytesPerRow, &width, &height)) {
      return kWindowPixelsNotLent;
    }
    const int rc =
        ScaleIntoView(picture, pixels, bytesPerRow, width, height, ViewIn(d, width, height));
    if (!b->ShowWindowPixels(h)) Memory().trace(b->LastError());
    return rc;
  });
}

int ReadWindowPixels(DisplayRecord* d, uint32_t* out, int width, int height) {
  return OnWindowThread([&]() -> int {
    NativeWindow* h = HandleOf(d);
    if (!h) return kErrDisplayClosed;
    return Backend()->ReadWindow(h, out, width, height) ? 0 : kErrDisplayClosed;
  });
}

int ReadScreenPixels(const int rect[4], uint32_t* out) {
  return OnWindowThread([&]() -> int {
    return Backend()->ReadScreen(rect[0], rect[1], rect[2], rect[3], out) ? 0 : kErrNotOnPlatform;
  });
}

int InjectWindowMessage(const WindowMessage& m) {
  return OnWindowThread([&]() -> int {
    if (!Backend()->Inject(m)) return kErrNotOnPlatform;
    PumpMessages();
    return 0;
  });
}

int EnterFullscreen(DisplayRecord* d, int monitor, const ScreenMode* mode) {
  return OnWindowThread([&]() -> int {
    NativeWindow* h = HandleOf(d);
    if (!h) return kErrDisplayClosed;
    if (Backend()->EnterFullscreen(h, monitor - 1, mode)) return 0;
    Memory().trace(Backend()->LastError());
    return kErrScreenMode;
  });
}

void LeaveFullscreen(DisplayRecord* d, int x, int y, int width, int height) {
  WithWindow(d, [&](NativeWindow* h) {
    Backend()->LeaveFullscreen(h, WindowFlagsOf(d), x, y, width, height);
  });
}

void CursorPosition(int out[2]) {
  OnWindowThread([&]() -> int {
    Backend()->CursorPosition(&out[0], &out[1]);
    return 0;
  });
}

void TellClipboard(bool empty) {
  const ClipboardSibling* clipboard = gBound.clipboard;
  if (!clipboard || !clipboard->systemText) return;
  std::string text;
  if (Backend()->ClipboardText(&text)) {
    clipboard->systemText(text.data(), text.size());
  } else if (empty) {
    clipboard->systemText(nullptr, 0);
  }
}

int SetSystemClipboard(const char* text) {
  return OnWindowThread([&] {
    if (!Backend()->SetClipboardText(text)) return int{kErrNotOnPlatform};
    TellClipboard(true);
    return 0;
  });
}

}  // namespace tzx::display
