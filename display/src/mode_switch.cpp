#include "mode_switch.h"

#include <cmath>

#include "bindings.h"
#include "display_core.h"
#include "display_list.h"
#include "refresh.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using platform::ScreenMode;

// The smallest mode of the monitor that holds width × height at the
// display's depth (0: the monitor's own); 1555 or 1004 when there is none.
int PickMode(const DisplayRecord* d, int monitor, int width, int height, ScreenMode* out) {
  ScreenMode* modes;
  int count;
  if (int rc = ReadScreenModes(monitor, &modes, &count)) return rc;
  if (count < 0) return ErrorWithNumber(kErrNoMonitorDevice, monitor);
  ScreenMode current{};
  int depth = d->screenDepth;
  if (depth <= 0) depth = CurrentScreenMode(monitor, &current) ? current.depth : 0;
  int chosen = ChooseMode(modes, count, width, height, depth);
  if (chosen >= 0) *out = modes[chosen];
  HostFree(modes);
  return chosen >= 0 ? 0 : kErrScreenMode;
}

// The picture is presented afresh at the window's new size.
int ShowAfresh(DisplayRecord* d) {
  return RefreshCore(d, kRefreshForce);
}

// A display scaled by the library or by the layers library keeps its size
// whatever size its window has.
bool KeepsItsSize(const DisplayRecord* d) {
  return LibraryScales(d) || d->layerScale;
}

int ToWindow(lua_State* L, DisplayRecord* d, const ModeRequest& r, bool keepPicture) {
  const bool wasFullscreen = d->fullscreenMonitor != 0;
  const bool keepsSize = KeepsItsSize(d);
  // An unscaled display took the screen's size; it gets its own back.
  int width = r.width, height = r.height;
  if (wasFullscreen && !width && !keepsSize && d->restoreWidth > 0) {
    width = d->restoreWidth;
    height = d->restoreHeight;
  }
  if (width && (width != d->width || height != d->height) && !keepsSize) {
    if (int rc = ResizeDisplayCore(L, d, width, height, keepPicture)) return rc;
  }
  d->mode = kModeWindowed;
  if (!wasFullscreen) {
    if (r.width && keepsSize) ResizeWindow(d, r.width, r.height);
    return ShowAfresh(d);
  }
  d->fullscreenMonitor = 0;
  int w = d->windowRect[2], h = d->windowRect[3];
  if (keepsSize && r.width) {
    w = r.width;
    h = r.height;
  } else if (!keepsSize) {
    WindowSizeOf(d, &w, &h);
  }
  LeaveFullscreen(d, d->windowRect[0], d->windowRect[1], w, h);
  return ShowAfresh(d);
}

int ToFullscreen(lua_State* L, DisplayRecord* d, const ModeRequest& r, int monitor,
                 bool keepPicture) {
  ScreenMode mode{};
  const bool real = r.mode != kModeFakeFullscreen;
  if (real) {
    int width = r.width, height = r.height;
    if (r.mode == kModeAutoFullscreen || r.mode == kModeLayerFullscreen) {
      // The monitor's own mode, at its full size.
      if (!CurrentScreenMode(monitor, &mode)) return ErrorWithNumber(kErrNoMonitorDevice, monitor);
      width = mode.width;
      height = mode.height;
    } else if (!width) {
      width = d->width;
      height = d->height;
    }
    if (int rc = PickMode(d, monitor, width, height, &mode)) return rc;
  } else {
    platform::ScreenRect rect;
    if (!MonitorRect(monitor, &rect)) return kErrUnknownMonitor;
    mode.width = rect.width;
    mode.height = rect.height;
  }
  const int wasOn = d->fullscreenMonitor;
  if (!wasOn) {
    WindowRect(d, d->windowRect);
    d->restoreWidth = d->width;
    d->restoreHeight = d->height;
  }
  // Set first: the window procedure leaves a full screen's size alone.
  d->fullscreenMonitor = monitor;
  if (int rc = EnterFullscreen(d, monitor, real ? &mode : nullptr)) {
    d->fullscreenMonitor = wasOn;
    return rc;
  }
  d->mode = r.mode;
  // An unscaled display takes the screen's size, as the screen shows it
  // whole; a scaled one keeps its size and fills the screen.
  if (!KeepsItsSize(d) && (mode.width != d->width || mode.height != d->height)) {
    if (int rc = ResizeDisplayCore(L, d, mode.width, mode.height, keepPicture)) {
      // Out of memory for the picture: back to the window it came from.
      if (!wasOn) {
        d->fullscreenMonitor = 0;
        d->mode = kModeWindowed;
        LeaveFullscreen(d, d->windowRect[0], d->windowRect[1], d->windowRect[2], d->windowRect[3]);
      }
      return rc;
    }
  }
  return ShowAfresh(d);
}

void SetFlag(DisplayRecord* d, uint32_t flag, int32_t value) {
  if (value >= 0) d->flags = value ? d->flags | flag : d->flags & ~flag;
}

}  // namespace

bool IsFullscreenMode(int mode) {
  return mode == kModeFullscreen || mode == kModeFakeFullscreen || mode == kModeFullscreenScale ||
         mode == kModeAutoFullscreen || mode == kModeLayerFullscreen;
}

void FitWindowToDisplay(DisplayRecord* d) {
  int width, height;
  WindowSizeOf(d, &width, &height);
  ResizeWindow(d, width, height);
}

bool LibraryScales(const DisplayRecord* d) {
  return d->autoScale && !d->layerScale && !(d->flags & kFlagNoScaleEngine);
}

void WindowSizeOf(const DisplayRecord* d, int* width, int* height) {
  *width = d->width;
  *height = d->height;
  if (!LibraryScales(d)) return;
  *width =
      d->scaleWidth > 0 ? d->scaleWidth : std::max(1, int(std::lround(d->width * d->scaleFactor)));
  *height = d->scaleHeight > 0 ? d->scaleHeight
                               : std::max(1, int(std::lround(d->height * d->scaleFactor)));
}

PictureView ViewIn(const DisplayRecord* d, int clientWidth, int clientHeight) {
  return ViewOf(d->width, d->height, clientWidth, clientHeight, LibraryScales(d),
                (d->flags & (kFlagKeepProportions | kFlagFitScale)) != 0);
}

int ResizeDisplayCore(lua_State* L, DisplayRecord* d, int width, int height, bool keepPicture) {
  if (width < 1 || height < 1) return kErrDisplaySize;
  if (d->doubleBuffered) return kErrDoubleBufferActive;
  if (width == d->width && height == d->height) return 0;
  if (int rc = RebuildPicture(L, d, width, height, keepPicture)) return rc;
  // A scaled picture, or one on a full screen, keeps its window.
  if (IsOpen(d) && !KeepsItsSize(d) && d->fullscreenMonitor == 0) FitWindowToDisplay(d);
  return ShowAfresh(d);
}

int ChangeDisplayModeCore(lua_State* L, DisplayRecord* d, const ModeRequest& r) {
  if (r.mode != kModeWindowed && !IsFullscreenMode(r.mode)) return kErrRange;
  // Layer scaling is the layers library's own way of filling a screen: it
  // does not go with the library's scaling to full screen.
  if (r.layerScale > 0 && r.mode == kModeFullscreenScale) return kErrRange;
  if ((r.width || r.height) && (r.width < 1 || r.height < 1)) return kErrDisplaySize;
  const int monitor = r.monitor ? r.monitor : d->monitor;
  if (monitor < 1 || monitor > MonitorCount()) return kErrUnknownMonitor;
  if (r.layerScale > 0 || r.mode == kModeLayerFullscreen) {
    if (!gBound.layers) return ErrorWithString(kErrSiblingAbsent, "layers");
    // The host's layers library draws layers at the picture's own size.
    return kErrPluginUnsupported;
  }
  if (!IsOpen(d)) return kErrDisplayClosed;
  // Window and full screen give an unscaled display other sizes, which its
  // back buffer cannot follow.
  if (d->doubleBuffered && !KeepsItsSize(d) && r.mode != kModeFullscreenScale) {
    return kErrDoubleBufferActive;
  }

  // The window procedure reads the scale state.
  LockDisplays();
  SetFlag(d, kFlagKeepProportions, r.keepProportions);
  SetFlag(d, kFlagSmoothScale, r.smoothScale);
  if (r.layerScale >= 0 || r.mode == kModeLayerFullscreen) {
    d->layerScale = r.layerScale != 0;
    if (d->layerScale) d->autoScale = 0;
  }
  if (r.mode == kModeFullscreenScale) d->autoScale = 1;
  UnlockDisplays();
  const bool keepPicture = r.noBackfill > 0;
  return r.mode == kModeWindowed ? ToWindow(L, d, r, keepPicture)
                                 : ToFullscreen(L, d, r, monitor, keepPicture);
}

}  // namespace tzx::display
