#include "window_proc.h"

#include <cstring>

#include "bindings.h"
#include "display_list.h"
#include "key_translation.h"
#include "mode_switch.h"
#include "tzx/frame.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using namespace tzx::platform;

bool Inside(const graphics::Rect& r, int x, int y) {
  return r.width > 0 && r.height > 0 && x >= r.x && y >= r.y && x < r.x + r.width &&
         y < r.y + r.height;
}

void SetKeyState(uint8_t* states, int code, bool down) {
  if (code >= 0 && code < kKeyStates) states[code] = down ? 1 : 0;
}

void HandleKey(DisplayRecord* d, const WindowMessage& m, bool down) {
  WindowData* w = d->window;
  bool system = m.message == kMsgSysKeyDown || m.message == kMsgSysKeyUp;
  // System keys other than Alt and F10 belong to the window system.
  if (system && (w->systemKeys || (m.virtualKey != kVkMenu && m.virtualKey != kVkF10))) return;
  if (m.virtualKey == 'C' && (m.modifiers & kModControl) && !(m.modifiers & kModRightAlt)) {
    w->breakRequested = 1;
  }
  int raw = RawKeyCode(m.virtualKey, m.scanCode);
  if (raw >= 0x20) {
    SetKeyState(w->rawKeys, raw, down);
    w->changed |= kChangedKeys;
    RaiseEvent(d, kEventRawKey, down, 0, raw);
  }
  int character = CharacterKeyCode(m.virtualKey, m.character);
  if (character >= 0x20) {
    SetKeyState(w->charKeys, character, down);
    w->changed |= kChangedKeys;
    RaiseEvent(d, kEventKey, down, 0, character);
  }
  if (down && (raw == kKeyEscape || character == kKeyEscape)) w->escapePressed = 1;
}

// A client point in the coordinates of the display's picture, which the
// library may show scaled.
void PicturePoint(const DisplayRecord* d, int x, int y, int* outX, int* outY) {
  const WindowData* w = d->window;
  ToPicture(ViewIn(d, w->clientWidth, w->clientHeight), d->width, d->height, x, y, outX, outY);
}

void HandleButton(DisplayRecord* d, const WindowMessage& m, int code, bool down) {
  WindowData* w = d->window;
  Backend()->SetCapture(m.window, down);
  int x, y;
  PicturePoint(d, m.x, m.y, &x, &y);
  if (code == kEventLeftButton && down) {
    // Dragging or sizing the window by one of its regions.
    if (Inside(w->dragRegion, x, y) || Inside(w->sizeRegion, x, y)) {
      bool move = Inside(w->dragRegion, x, y);
      w->tracking = move ? kTrackMove : kTrackSize;
      w->trackX = w->lastX + m.x;
      w->trackY = w->lastY + m.y;
      w->trackStartX = move ? w->lastX : w->clientWidth;
      w->trackStartY = move ? w->lastY : w->clientHeight;
      return;
    }
  }
  if (code == kEventLeftButton && !down && w->tracking) {
    w->tracking = 0;
    return;
  }
  RaiseEvent(d, code, x, y, down);
}

void HandleMouseMove(DisplayRecord* d, const WindowMessage& m) {
  WindowData* w = d->window;
  PicturePoint(d, m.x, m.y, &w->cursorX, &w->cursorY);
  if (!w->tracking) return;
  int dx = w->lastX + m.x - w->trackX, dy = w->lastY + m.y - w->trackY;
  if (w->tracking == kTrackMove) {
    Backend()->SetPosition(m.window, w->trackStartX + dx, w->trackStartY + dy);
  } else if (w->trackStartX + dx >= 1 && w->trackStartY + dy >= 1) {
    Backend()->SetClientSize(m.window, w->trackStartX + dx, w->trackStartY + dy);
  }
}

// The names become one block of NUL-terminated names that the event sibling
// takes over.
void HandleDrop(DisplayRecord* d, const WindowMessage& m) {
  if (!d->window->dropFiles || m.fileCount <= 0) return;
  size_t total = 0;
  for (int i = 0; i < m.fileCount; ++i) total += std::strlen(m.files[i]) + 1;
  auto* block = static_cast<char*>(HostAlloc(total, false));
  if (!block) return;
  char* p = block;
  for (int i = 0; i < m.fileCount; ++i) {
    size_t n = std::strlen(m.files[i]) + 1;
    std::memcpy(p, m.files[i], n);
    p += n;
  }
  const EventSibling* event = gBound.event;
  if (!event || !event->raise) {
    HostFree(block);
    return;
  }
  int x, y;
  PicturePoint(d, m.x, m.y, &x, &y);
  event->raise(d, kEventDropFiles, x, y, reinterpret_cast<intptr_t>(block), m.fileCount);
}

}  // namespace

void RaiseEvent(DisplayRecord* d, int code, intptr_t a, intptr_t b, intptr_t c, intptr_t e) {
  const EventSibling* event = gBound.event;
  if (event && event->raise) event->raise(d, code, a, b, c, e);
}

void ClearKeyState(WindowData* w) {
  std::memset(w->rawKeys, 0, sizeof w->rawKeys);
  std::memset(w->charKeys, 0, sizeof w->charKeys);
  w->changed |= kChangedKeys;
  w->tracking = 0;
  w->breakRequested = 0;
  w->escapePressed = 0;
}

void DispatchWindowMessage(const WindowMessage& m) {
  if (!m.window) return;
  auto* d = static_cast<DisplayRecord*>(Backend()->UserData(m.window));
  if (d && d->window && d->window->handle == m.window) WindowProc(d, m);
}

void WindowProc(DisplayRecord* d, const WindowMessage& m) {
  WindowData* w = d->window;
  switch (m.message) {
    case kMsgKeyDown:
    case kMsgSysKeyDown:
      HandleKey(d, m, true);
      break;
    case kMsgKeyUp:
    case kMsgSysKeyUp:
      HandleKey(d, m, false);
      break;
    case kMsgChar:
      if (m.character && Host().utf8->accept(m.character)) {
        RaiseEvent(d, kEventCharacter, 0, 0, m.character);
      }
      break;
    case kMsgLButtonDown:
    case kMsgLButtonUp:
      HandleButton(d, m, kEventLeftButton, m.message == kMsgLButtonDown);
      break;
    case kMsgRButtonDown:
    case kMsgRButtonUp:
      // Without a menu library there is no options menu to take the button.
      HandleButton(d, m, kEventRightButton, m.message == kMsgRButtonDown);
      break;
    case kMsgMButtonDown:
    case kMsgMButtonUp:
      HandleButton(d, m, kEventMiddleButton, m.message == kMsgMButtonDown);
      break;
    case kMsgMouseMove:
      HandleMouseMove(d, m);
      break;
    case kMsgMouseWheel:
      RaiseEvent(d, m.wheelDelta > 0 ? kEventWheelUp : kEventWheelDown, m.screenX, m.screenY);
      break;
    case kMsgClose:
      RaiseEvent(d, kEventClose);
      break;
    case kMsgActivate:
      if (m.command) {
        w->active = 1;
        RaiseEvent(d, kEventActivated);
      } else {
        w->active = 0;
        ClearKeyState(w);
        RaiseEvent(d, kEventDeactivated);
      }
      break;
    case kMsgSysCommand:
      if (m.command == kScMinimize) {
        w->changed |= kChangedMinimized;
        if (DisplayStateOf(d) == kStateOpen) SetDisplayState(d, kStateMinimized);
        RaiseEvent(d, kEventMinimized);
      }
      // Screen saver and monitor power-down are the window system's unless
      // "disableblanker" keeps them off (the back end's flag).
      break;
    case kMsgQueryOpen:
      if (DisplayStateOf(d) == kStateMinimized) SetDisplayState(d, kStateOpen);
      RaiseEvent(d, kEventRestored);
      break;
    case kMsgMove:
      // A minimised window reports -32000.
      if (m.x != -32000 || m.y != -32000) {
        w->lastX = m.x;
        w->lastY = m.y;
        w->changed |= kChangedPosition;
        w->pendingMove = 1;
      }
      break;
    case kMsgSize:
      if (m.x > 0 && m.y > 0 && (m.x != w->clientWidth || m.y != w->clientHeight)) {
        // A scaled picture that keeps its proportions keeps them in the
        // window too, while the window is a window.
        int width = m.x, height = m.y;
        if (LibraryScales(d) && (d->flags & kFlagKeepProportions) && !d->fullscreenMonitor) {
          KeepAspect(d->width, d->height, w->clientWidth, w->clientHeight, &width, &height);
          if (width != m.x || height != m.y) Backend()->SetClientSize(m.window, width, height);
        }
        w->clientWidth = m.x;
        w->clientHeight = m.y;
        w->pendingSize = 1;
        w->fullRepaint = 1;
      }
      break;
    case kMsgDropFiles:
      HandleDrop(d, m);
      break;
    case kMsgDrawClipboard:
      TellClipboard(true);
      RaiseEvent(d, kEventClipboard);
      break;
    default:
      break;
  }
}

void FinishRound() {
  for (ObjectHeader* h = gDisplayList; h; h = h->next) {
    auto* d = reinterpret_cast<DisplayRecord*>(h);
    WindowData* w = d->window;
    if (!w || !w->handle) continue;
    if (w->pendingMove) {
      w->pendingMove = 0;
      RaiseEvent(d, kEventMoved);
    }
    if (w->pendingSize) {
      w->pendingSize = 0;
      RaiseEvent(d, kEventResized);
    }
  }
}

}  // namespace tzx::display
