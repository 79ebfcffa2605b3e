#include "window_requests.h"

#include "display_list.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_proc.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using namespace tzx::platform;

DisplayRecord* DisplayArg(const Request* r) {
  return reinterpret_cast<DisplayRecord*>(r->args[0]);
}

NativeWindow* HandleOf(const Request* r) {
  DisplayRecord* d = DisplayArg(r);
  return d && d->window ? d->window->handle : nullptr;
}

int Open(DisplayRecord* d, const WindowParams* p) {
  NativeWindow* handle = Backend()->CreateWindow(*p, d);
  if (!handle) {
    Memory().trace(Backend()->LastError());
    return kErrNoWindow;
  }
  LockDisplays();
  WindowData* w = d->window;
  w->handle = handle;
  w->lastX = p->x;
  w->lastY = p->y;
  w->clientWidth = p->width;
  w->clientHeight = p->height;
  w->fullRepaint = 0;
  UnlockDisplays();
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

int ExecuteRequest(Request* r) {
  WindowBackend* b = Backend();
  // Requests about a display carry it first.
  bool aboutDisplay = r->code != kRequestReadScreen && r->code != kRequestInject &&
                      r->code != kRequestMonitors && r->code != kRequestMonitorRect &&
                      r->code != kRequestScreenDepth && r->code != kRequestCursor;
  NativeWindow* handle = aboutDisplay ? HandleOf(r) : nullptr;
  switch (r->code) {
    case kRequestOpen:
      return Open(DisplayArg(r), reinterpret_cast<const WindowParams*>(r->args[1]));
    case kRequestClose:
      Close(DisplayArg(r));
      return 0;
    case kRequestShow:
      if (handle) b->Show(handle, static_cast<ShowCommand>(r->args[1]));
      return 0;
    case kRequestTitle:
      if (handle) b->SetTitle(handle, DisplayArg(r)->title);
      return 0;
    case kRequestMove:
      if (handle) b->SetPosition(handle, int(r->args[1]), int(r->args[2]));
      return 0;
    case kRequestSize:
      if (handle) b->SetClientSize(handle, int(r->args[1]), int(r->args[2]));
      return 0;
    case kRequestActivate:
      if (handle) b->Activate(handle);
      return 0;
    case kRequestFlags:
      if (handle) b->SetFlags(handle, WindowFlagsOf(DisplayArg(r)));
      return 0;
    case kRequestPresent: {
      auto* job = reinterpret_cast<const PresentJob*>(r->args[1]);
      if (handle && !b->Present(handle, job->pixels, job->bytesPerRow, job->width, job->height,
                                job->rects, job->count)) {
        Memory().trace(b->LastError());
      }
      return 0;
    }
    case kRequestReadWindow:
      if (!handle) return kErrDisplayClosed;
      return b->ReadWindow(handle, reinterpret_cast<uint32_t*>(r->args[1]), int(r->args[2]),
                           int(r->args[3]))
                 ? 0
                 : kErrDisplayClosed;
    case kRequestReadScreen: {
      auto* read = reinterpret_cast<ScreenRead*>(r->args[0]);
      return b->ReadScreen(read->x, read->y, read->width, read->height, read->out)
                 ? 0
                 : kErrNotOnPlatform;
    }
    case kRequestInject:
      if (!b->Inject(*reinterpret_cast<const WindowMessage*>(r->args[0]))) return kErrNotOnPlatform;
      PumpMessages();
      return 0;
    case kRequestMonitors:
      return b->MonitorCount();
    case kRequestMonitorRect:
      return b->MonitorRect(int(r->args[0]), reinterpret_cast<ScreenRect*>(r->args[1]));
    case kRequestScreenDepth:
      return b->ScreenDepth();
    case kRequestWindowRect: {
      auto* out = reinterpret_cast<int*>(r->args[1]);
      if (!handle) return kErrDisplayClosed;
      b->GetPosition(handle, &out[0], &out[1]);
      b->GetClientSize(handle, &out[2], &out[3]);
      return 0;
    }
    case kRequestCursor: {
      auto* out = reinterpret_cast<int*>(r->args[0]);
      b->CursorPosition(&out[0], &out[1]);
      return 0;
    }
    case kRequestMargins: {
      auto* out = reinterpret_cast<int*>(r->args[1]);
      out[0] = out[1] = out[2] = out[3] = 0;
      if (handle) b->GetFrameMargins(handle, &out[0], &out[1], &out[2], &out[3]);
      return 0;
    }
    default:
      return kErrRange;
  }
}

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
  int rc =
      RunRequest(kRequestOpen, reinterpret_cast<intptr_t>(d), reinterpret_cast<intptr_t>(&params));
  if (rc == 0 && d->window && d->window->handle) Host().ext->threads->eventSource(1);
  return rc;
}

void CloseWindow(DisplayRecord* d) {
  const bool open = d->window && d->window->handle;
  RunRequest(kRequestClose, reinterpret_cast<intptr_t>(d));
  if (open) Host().ext->threads->eventSource(-1);
}

void ShowWindow(DisplayRecord* d, ShowCommand command) {
  RunRequest(kRequestShow, reinterpret_cast<intptr_t>(d), static_cast<intptr_t>(command));
}

void UpdateWindowTitle(DisplayRecord* d) {
  RunRequest(kRequestTitle, reinterpret_cast<intptr_t>(d));
}

void UpdateWindowFlags(DisplayRecord* d) {
  RunRequest(kRequestFlags, reinterpret_cast<intptr_t>(d));
}

void MoveWindowTo(DisplayRecord* d, int x, int y) {
  RunRequest(kRequestMove, reinterpret_cast<intptr_t>(d), x, y);
}

void ActivateWindow(DisplayRecord* d) {
  RunRequest(kRequestActivate, reinterpret_cast<intptr_t>(d));
}

void WindowRect(DisplayRecord* d, int out[4]) {
  if (RunRequest(kRequestWindowRect, reinterpret_cast<intptr_t>(d),
                 reinterpret_cast<intptr_t>(out)) != 0) {
    out[0] = d->x;
    out[1] = d->y;
    out[2] = d->width;
    out[3] = d->height;
  }
}

}  // namespace tzx::display
