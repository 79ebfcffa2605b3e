// The interface record, slot by slot, and the small slots that only adapt the
// library's cores to what siblings pass.
#include "interface.h"

#include <cstring>

#include "bindings.h"
#include "display_core.h"
#include "display_list.h"
#include "display_options.h"
#include "double_buffer.h"
#include "event_loop.h"
#include "frame_pacing.h"
#include "mode_switch.h"
#include "refresh.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_proc.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using graphics::BitmapHandle;

int GetDisplayKey(const ObjectId* id, DisplayRecord** out) {
  *out = nullptr;
  // Only a back end that binds hardware bitmaps to displays needs the key.
  if (!(gBound.graphics->AdapterBitmapFlags(0x20) & 0x20)) return 0;
  DisplayRecord* d;
  bool current = !id || (id->number == 0 && !id->pointer);
  if (int rc = current ? RequireCurrentDisplay(&d) : FindDisplay(id, &d)) return rc;
  if (!d->window || !d->window->handle) return kErrNoWindow;
  *out = d;
  return 0;
}

int BlitToDisplay(DisplayRecord* d, const BitmapHandle* color, const BitmapHandle* mask,
                  const BitmapHandle* alpha, int sourceX, int sourceY, int x, int y, int width,
                  int height) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::OutputRecord* o = DrawingOutput(d);
  BitmapHandle* target = o->color;
  if (!color || !target) return kErrRange;
  if (!g.ClipBlitToTarget(nullptr, &sourceX, &sourceY, &x, &y, &width, &height, color->width,
                          color->height, d->width, d->height, 0)) {
    return 0;
  }
  int rc;
  if (color->kind == graphics::kKindIndex || target->kind == graphics::kKindIndex) {
    rc = g.CopyBitmapPixels(color, sourceX, sourceY, target, x, y, width, height);
  } else if (alpha) {
    rc = g.BlitBitmapAlpha(color, alpha, sourceX, sourceY, target, x, y, width, height, 255);
  } else if (mask) {
    rc = g.BlitBitmapMasked(color, mask, sourceX, sourceY, target, x, y, width, height);
  } else {
    rc = g.BlitBitmap(color, sourceX, sourceY, target, x, y, width, height);
  }
  if (rc == 0) o->ops->changed(o, x, y, width, height);
  return rc;
}

void ClearWindowData(graphics::OutputRecord* output) {
  if (!output || output->kind != graphics::kOutputDisplay) return;
  auto* d = static_cast<DisplayRecord*>(output->owner);
  LockDisplays();
  ClearKeyState(d->window);
  UnlockDisplays();
  if (const EventSibling* event = gBound.event; event && event->forgetKeys) event->forgetKeys(d);
}

int ReadPositionAndSize(lua_State* L, int table, DisplayRecord* d) {
  int32_t x = d->x, y = d->y, width = d->width, height = d->height;
  Args().fieldInt(L, table, "x", &x);
  Args().fieldInt(L, table, "y", &y);
  Args().fieldInt(L, table, "width", &width);
  Args().fieldInt(L, table, "height", &height);
  if (width < 1 || height < 1) return kErrDisplaySize;
  d->x = x;
  d->y = y;
  d->width = width;
  d->height = height;
  return 0;
}

void GetWindowRectOf(DisplayRecord* d, int* x, int* y, int* width, int* height) {
  int r[4] = {d->x, d->y, d->width, d->height};
  if (IsOpen(d)) WindowRect(d, r);
  *x = r[0];
  *y = r[1];
  *width = r[2];
  *height = r[3];
}

int SetDisplayAttributesCore(lua_State* L, DisplayRecord* d, int table) {
  DisplayRecord options = *d;
  if (int rc = ReadDisplayOptions(L, table, &options, false)) return rc;
  return ApplyDisplayOptions(L, d, options);
}

void* CopyBuffer(const void* data, size_t size) {
  void* copy = HostAlloc(size, false);
  if (copy && size) std::memcpy(copy, data, size);
  return copy;
}

int CallCreateDisplayCommand(lua_State* L, int argCount) {
  Lua().pushstring(L, "createdisplay");
  Lua().gettable(L, kGlobalsIndex);
  Lua().insert(L, -(argCount + 1));
  return Lua().callScript(L, argCount, 0);
}

int SetWindowTitle(DisplayRecord* d, const char* title) {
  Host().runtime->strlcpy(d->title, sizeof d->title, title ? title : "");
  if (IsOpen(d)) UpdateWindowTitle(d);
  return 0;
}

int RefreshCurrent() {
  DisplayRecord* d = CurrentDisplay();
  return d ? RefreshCore(d, kRefreshNoVideo) : 0;
}

void FreeHostList(void* list) {
  while (list) {
    void* next = *static_cast<void**>(list);
    HostFree(list);
    list = next;
  }
}

void ResetDisplaySize(DisplayRecord* d) {
  if (IsOpen(d)) FitWindowToDisplay(d);
  RaiseEvent(d, kEventResized);
}

void RaiseInputEvent(DisplayRecord* d, int code, intptr_t a, intptr_t b, intptr_t c, intptr_t e) {
  switch (code) {
    case kEventLeftButton:
    case kEventKey:
    case kEventDropFiles:
    case kEventMiddleButton:
    case kEventCharacter:
    case kEventRawKey:
      RaiseEvent(d, code, a, b, c, e);
      break;
    default:
      break;
  }
}

// The cursor in the display's own coordinates, as mouse events give it.
int GetCursorAndScreen(DisplayRecord* d, int query) {
  switch (query) {
    case kQueryDesktopDepth:
      return ScreenDepth();
    case kQueryCursorX:
    case kQueryCursorY: {
      int cursor[2];
      CursorPosition(cursor);
      int window[4];
      GetWindowRectOf(d, &window[0], &window[1], &window[2], &window[3]);
      int x, y;
      ToPicture(ViewIn(d, window[2], window[3]), d->width, d->height, cursor[0] - window[0],
                cursor[1] - window[1], &x, &y);
      return query == kQueryCursorX ? x : y;
    }
    case kQueryCursorWidth:
    case kQueryCursorHeight: {
      int size[2];
      PointerSize(&size[0], &size[1]);
      return query == kQueryCursorWidth ? size[0] : size[1];
    }
    case kQueryBusy:
      return d->refreshBusy || d->doubleBuffered ? 1 : 0;
    default:
      return -1;
  }
}

int ApplyDisplayMode(lua_State* L, DisplayRecord* d, int mode, int width, int height) {
  ModeRequest r{mode, width, height, 0};
  return ChangeDisplayModeCore(L, d, r);
}

int ResizeOutput(lua_State* L, DisplayRecord* d, int width, int height) {
  return ResizeDisplayCore(L, d, width, height, false);
}

void EnableDropFiles(DisplayRecord* d, int on) {
  LockDisplays();
  d->window->dropFiles = on != 0;
  UnlockDisplays();
}

int MoveWindowCore(DisplayRecord* d, int x, int y) {
  d->x = x;
  d->y = y;
  if (!IsOpen(d)) return 0;
  int toX, toY;
  if (!ResolveWindowPosition(d, x, y, &toX, &toY)) return kErrUnknownMonitor;
  MoveWindowTo(d, toX, toY);
  return 0;
}

}  // namespace

const DisplayInterface kInterface = {
    .GetWindowValue = nullptr,
    .SetWindowValue = nullptr,
    .FindDisplay = FindDisplay,
    .OpenDisplayCore = OpenDisplayCore,
    .BeginDoubleBufferCore = BeginDoubleBufferCore,
    .EndDoubleBufferCore = EndDoubleBufferCore,
    .VWaitCore = VWaitCore,
    .BlitToDisplay = BlitToDisplay,
    .ClearWindowData = ClearWindowData,
    .ReadPositionAndSize = ReadPositionAndSize,
    .GetDisplayKey = GetDisplayKey,
    .GetWindowRectOf = GetWindowRectOf,
    .ApplyDisplayMode = ApplyDisplayMode,
    .ResizeOutput = ResizeOutput,
    .SetDisplayAttributesCore = SetDisplayAttributesCore,
    .CreateIndexOutput = CreateIndexOutput,
    .RefreshCore = RefreshCore,
    .NotifyLayers = nullptr,
    .DrawingOutputOf = DrawingOutput,
    .ModeFromName = ModeFromName,
    .FillStyleFromName = FillStyleFromName,
    .UpdateMenus = nullptr,
    .SetSystemClipboard = SetSystemClipboard,
    .CopyBuffer = CopyBuffer,
    .DrawToWindow = DrawToWindow,
    .SwapOutputBitmaps = nullptr,
    .FreeOutputBitmaps = nullptr,
    .ScaleOutput = nullptr,
    .CallCreateDisplayCommand = CallCreateDisplayCommand,
    .slots29to33 = {},
    .CreateOutputBitmaps = CreateOutputBitmaps,
    .PresentRegion = PresentRegion,
    .slots36to39 = {},
    .SetWindowTitle = SetWindowTitle,
    .ActivateDisplayCore = ActivateDisplayCore,
    .RefreshDisplayCore = RefreshCore,
    .HostCallback = nullptr,
    .RefreshCurrent = RefreshCurrent,
    .DrawCore = nullptr,
    .DisplayBgPicChanged = nullptr,
    .FreeHostList = FreeHostList,
    .RefreshCurrent2 = RefreshCurrent,
    .ResetDisplaySize = ResetDisplaySize,
    .RaiseInputEvent = RaiseInputEvent,
    .RunEventLoop = RunEventLoop,
    .GetCursorAndScreen = GetCursorAndScreen,
    .slot53 = nullptr,
    .DesktopSetPixel = nullptr,
    .DesktopDrawLine = nullptr,
    .EnableDropFiles = EnableDropFiles,
    .MoveWindowCore = MoveWindowCore,
    .slot58 = nullptr,
    .SignalLoop = SignalLoop,
};

}  // namespace tzx::display
