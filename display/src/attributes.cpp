// The attributes of a display that GetAttribute reads.
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "display_list.h"
#include "mode_switch.h"
#include "tzx/display_constants.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

bool Flag(const DisplayRecord* d, uint32_t flag) {
  return (d->flags & flag) != 0;
}

// Position, client size and cursor as the window thread last saw them.
struct WindowView {
  int x, y, width, height, cursorX, cursorY, active;
};

WindowView ViewOf(DisplayRecord* d) {
  WindowView v{d->x, d->y, d->width, d->height, 0, 0, 0};
  LockDisplays();
  if (d->window && d->window->handle) {
    const WindowData* w = d->window;
    v = {w->lastX, w->lastY, w->clientWidth, w->clientHeight, w->cursorX, w->cursorY, w->active};
  }
  UnlockDisplays();
  return v;
}

// Copied first: the table's growth may run finalizers that change it.
void PushPalette(lua_State* L, const DisplayRecord* d) {
  uint32_t colors[256];
  const int count = 1 << d->depth;
  std::memcpy(colors, d->palette, count * sizeof colors[0]);
  Lua().newtable(L);
  for (int i = 0; i < count; ++i) {
    Lua().pushnumber(L, colors[i] & 0xFFFFFF);
    Lua().rawseti(L, -2, i);
  }
}

}  // namespace

int DisplayAttribute(lua_State* L, int attribute, const ObjectId* id) {
  DisplayRecord* d;
  if (int rc = FindDisplay(id, &d)) return rc;
  // Tables and strings pushed below may run finalizers.
  if (int rc = PinDisplay(L, d)) return rc;
  platform::ScreenRect monitor{0, 0, 0, 0};
  MonitorRect(d->monitor, &monitor);
  double value;
  switch (attribute) {
    case kAttrwidth:
    case kAttrrawwidth:
      value = d->width;
      break;
    case kAttrheight:
    case kAttrrawheight:
      value = d->height;
      break;
    case kAttrmaxwidth:
    case kAttrhostwidth:
      value = monitor.width;
      break;
    case kAttrmaxheight:
    case kAttrhostheight:
      value = monitor.height;
      break;
    case kAttrxpos:
      value = ViewOf(d).x;
      break;
    case kAttrypos:
      value = ViewOf(d).y;
      break;
    case kAttrcursorx:
      value = ViewOf(d).cursorX;
      break;
    case kAttrcursory:
      value = ViewOf(d).cursorY;
      break;
    case kAttrborderleft:
    case kAttrbordertop:
    case kAttrborderright:
    case kAttrborderbottom:
    case kAttrhosttitlebarheight: {
      int margins[4] = {0, 0, 0, 0};
      if (IsOpen(d)) WindowMargins(d, margins);
      value =
          attribute == kAttrhosttitlebarheight ? margins[1] : margins[attribute - kAttrborderleft];
      break;
    }
    case kAttrstate:
      value = DisplayStateOf(d);
      break;
    case kAttractive:
      value = ViewOf(d).active;
      break;
    case kAttrmode:
      value = d->mode;
      break;
    case kAttrscalemode:
      value = d->scaleMode;
      break;
    // A picture the library scales shows at the window's size.
    case kAttrscalewidth:
    case kAttrscaleheight: {
      int size[2] = {d->scaleWidth ? d->scaleWidth : d->width,
                     d->scaleHeight ? d->scaleHeight : d->height};
      if (LibraryScales(d)) {
        WindowSizeOf(d, &size[0], &size[1]);
        if (IsOpen(d)) {
          const WindowView v = ViewOf(d);
          size[0] = v.width;
          size[1] = v.height;
        }
      }
      value = size[attribute == kAttrscaleheight];
      break;
    }
    case kAttrborderless:
      value = Flag(d, kFlagBorderless);
      break;
    case kAttrfixed:
      value = Flag(d, kFlagFixed);
      break;
    case kAttrsizeable:
      value = Flag(d, kFlagSizeable);
      break;
    case kAttrnohide:
      value = Flag(d, kFlagNoHide);
      break;
    case kAttrnomodeswitch:
      value = Flag(d, kFlagNoModeSwitch);
      break;
    case kAttrnoclose:
      value = Flag(d, kFlagNoClose);
      break;
    case kAttrmaximized:
      value = Flag(d, kFlagMaximized);
      break;
    case kAttrinterpolate:
      value = Flag(d, kFlagSmoothScale);
      break;
    case kAttrscaleswitch:
      value = Flag(d, kFlagScaleSwitch);
      break;
    case kAttrtitle:
      Lua().pushstring(L, d->title);
      return 1;
    case kAttradapter:
      Lua().pushstring(L, Backend()->Name());
      return 1;
    case kAttrdoublebuffer:
      value = d->doubleBuffered;
      break;
    case kAttrhostdepth:
      value = ScreenDepth();
      break;
    case kAttrlayers:
      value = gBound.layers && gBound.layers->layerCount ? gBound.layers->layerCount(d) : 0;
      break;
    case kAttrlayerson:
      value = (d->flags2 & kFlag2Layers) != 0;
      break;
    case kAttrorientation:
      value = d->orientation;
      break;
    case kAttrimmersivemode:
      value = d->immersiveMode;
      break;
    case kAttrmonitor:
      value = d->monitor;
      break;
    case kAttrhostmonitors:
      value = MonitorCount();
      break;
    case kAttrhostscale:
    case kAttrhostscalex:
    case kAttrhostscaley:
      value = SystemScale();
      break;
    case kAttrdepth:
      value = d->depth > 0 ? d->depth : 32;
      break;
    case kAttrpalette:
      if (d->depth < 1) return kErrNoPalette;
      PushPalette(L, d);
      return 1;
    case kAttrtransparentpen:
      value = d->transparentPen;
      break;
    default:
      return kErrUnknownAttribute;
  }
  Lua().pushnumber(L, value);
  return 1;
}

}  // namespace tzx::display
