// The interface display.tzx hands its siblings: its displays and their
// windows, refresh, double buffering, frame pacing and the event loop the host
// enters. Members are the slots in slot order; a null slot is one this build
// does not offer (slots that serve a display adapter, which this host never
// installs, and the siblings this system does not have), so callers test the
// slots they cannot rely on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::graphics {
struct BitmapHandle;
struct OutputRecord;
}  // namespace tzx::graphics

namespace tzx::display {

inline constexpr int kInterfaceSlots = 60;

// A display's record; it begins with an ObjectHeader (type 21).
struct DisplayRecord;

// Flags of OpenDisplayCore.
inline constexpr uint32_t kOpenNoActivate = 0x1;
inline constexpr uint32_t kOpenNoSelect = 0x2;

// Flags of RefreshDisplayCore (RefreshDisplay's option keys).
inline constexpr uint32_t kRefreshNoVideo = 0x02;
inline constexpr uint32_t kRefreshForceVideo = 0x04;
inline constexpr uint32_t kRefreshSkipClip = 0x20;
inline constexpr uint32_t kRefreshSkipSatellites = 0x40;
inline constexpr uint32_t kRefreshForce = 0x80;

// What GetCursorAndScreen answers; -1 for unknown queries.
enum CursorQuery : int {
  kQueryDesktopDepth = 1,
  kQueryCursorX = 2,  // in the display's own coordinates (its picture may be scaled)
  kQueryCursorY = 3,
  kQueryCursorWidth = 4,  // the system's mouse pointer
  kQueryCursorHeight = 5,
  // 1 while what is drawn cannot reach the window at once: inside a
  // refresh block or with a software double buffer.
  kQueryBusy = 6,
};

struct DisplayInterface {
  const void* GetWindowValue;  // 0: through a display adapter
  const void* SetWindowValue;  // 1: through a display adapter
  // 2: 0, 1041 (unknown automatic id) or 1344 (unknown number, set as the
  // error's number argument).
  int (*FindDisplay)(const ObjectId* id, DisplayRecord** out);
  // 3: opens the display's window and activates it unless kOpenNoActivate.
  int (*OpenDisplayCore)(lua_State* L, DisplayRecord* display, uint32_t flags);
  int (*BeginDoubleBufferCore)(lua_State* L, DisplayRecord* display, int hardware);  // 4
  int (*EndDoubleBufferCore)(lua_State* L, DisplayRecord* display);                  // 5
  int (*VWaitCore)(lua_State* L, DisplayRecord* display);                            // 6
  // 7: draws a bitmap set (mask and alpha may be null) into the display's
  // drawing target and shows the change.
  int (*BlitToDisplay)(DisplayRecord* display, const graphics::BitmapHandle* color,
                       const graphics::BitmapHandle* mask, const graphics::BitmapHandle* alpha,
                       int sourceX, int sourceY, int x, int y, int width, int height);
  // 8: forgets the keyboard state of the display behind an output record.
  void (*ClearWindowData)(graphics::OutputRecord* output);
  // 9: reads "x", "y", "width" and "height" of the table at `table`.
  int (*ReadPositionAndSize)(lua_State* L, int table, DisplayRecord* display);
  // 10: the display's record as the key of hardware bitmaps when the graphics
  // back end binds them to displays; an empty id is the current display;
  // 1526 when that display has no window. Null (and 0) otherwise.
  int (*GetDisplayKey)(const ObjectId* id, DisplayRecord** out);
  void (*GetWindowRectOf)(DisplayRecord* display, int* x, int* y, int* width,
                          int* height);  // 11
  // 12: ChangeDisplayMode's core: a DISPMODE_ mode, width and height 0 for
  // the display's own size.
  int (*ApplyDisplayMode)(lua_State* L, DisplayRecord* display, int mode, int width, int height);
  // 13: ChangeDisplaySize's core: the picture rebuilt at the new size.
  int (*ResizeOutput)(lua_State* L, DisplayRecord* display, int width, int height);
  // 14: applies the option table at `table` to the display.
  int (*SetDisplayAttributesCore)(lua_State* L, DisplayRecord* display, int table);
  int (*CreateIndexOutput)(DisplayRecord* display);            // 15: 0 or 1648
  int (*RefreshCore)(DisplayRecord* display, uint32_t flags);  // 16
  const void* NotifyLayers;                                    // 17: layers
  // 18: the output drawing into the display goes to (its back buffer while
  // double-buffered).
  graphics::OutputRecord* (*DrawingOutputOf)(DisplayRecord* display);
  int (*ModeFromName)(const char* name);       // 19: -1 for an unknown name
  int (*FillStyleFromName)(const char* name);  // 20: -1 for an unknown name
  const void* UpdateMenus;                     // 21: menu
  // 22: puts UTF-8 text on the window system's clipboard (on the window
  // thread); 0, or 1288 where there is none (headless).
  int (*SetSystemClipboard)(const char* text);
  void* (*CopyBuffer)(const void* data, size_t size);  // 23: null when out of memory
  // 24: copies a region of the display's picture to its window now.
  int (*DrawToWindow)(DisplayRecord* display, int x, int y, int width, int height);
  const void* SwapOutputBitmaps;  // 25: display adapters
  const void* FreeOutputBitmaps;  // 26: display adapters
  const void* ScaleOutput;        // 27: display modes
  // 28: calls the script's CreateDisplay with the `argCount` values at the
  // stack top.
  int (*CallCreateDisplayCommand)(lua_State* L, int argCount);
  const void* slots29to33[5];                          // drawing states of desktop drawing
  int (*CreateOutputBitmaps)(DisplayRecord* display);  // 34
  // 35: marks a region changed; it reaches the window at once unless the
  // display is inside a refresh block.
  int (*PresentRegion)(DisplayRecord* display, int x, int y, int width, int height);
  const void* slots36to39[4];
  int (*SetWindowTitle)(DisplayRecord* display, const char* title);   // 40
  int (*ActivateDisplayCore)(DisplayRecord* display, int flag);       // 41
  int (*RefreshDisplayCore)(DisplayRecord* display, uint32_t flags);  // 42
  const void* HostCallback;                                           // 43
  int (*RefreshCurrent)();                                            // 44
  const void* DrawCore;                                               // 45
  const void* DisplayBgPicChanged;                                    // 46: bgpic
  // 47: frees a list of host blocks linked through their first word.
  void (*FreeHostList)(void* list);
  int (*RefreshCurrent2)();                          // 48
  void (*ResetDisplaySize)(DisplayRecord* display);  // 49: raises event 5
  // 50: raises an input event of the display (codes 1, 3, 14, 16, 28, 29).
  void (*RaiseInputEvent)(DisplayRecord* display, int code, intptr_t a, intptr_t b, intptr_t c,
                          intptr_t d);
  // 51: the event loop. The host calls it with the script's main chunk, a
  // function without arguments, at the stack top; the chunk runs on a second
  // thread while the calling thread pumps window messages. Returns the
  // chunk's result (0 or a host error code), 1287 when the thread cannot
  // start.
  int (*RunEventLoop)(lua_State* L);
  int (*GetCursorAndScreen)(DisplayRecord* display, int query);  // 52
  const void* slot53;
  const void* DesktopSetPixel;                                  // 54: desktop drawing
  const void* DesktopDrawLine;                                  // 55: desktop drawing
  void (*EnableDropFiles)(DisplayRecord* display, int on);      // 56
  int (*MoveWindowCore)(DisplayRecord* display, int x, int y);  // 57
  const void* slot58;
  // 59: wakes the event loop; it ends by itself once the script returns.
  void (*SignalLoop)(int stop);
};

static_assert(offsetof(DisplayInterface, FindDisplay) == 2 * sizeof(void*));
static_assert(offsetof(DisplayInterface, ClearWindowData) == 8 * sizeof(void*));
static_assert(offsetof(DisplayInterface, GetDisplayKey) == 10 * sizeof(void*));
static_assert(offsetof(DisplayInterface, RefreshCore) == 16 * sizeof(void*));
static_assert(offsetof(DisplayInterface, DrawingOutputOf) == 18 * sizeof(void*));
static_assert(offsetof(DisplayInterface, SetSystemClipboard) == 22 * sizeof(void*));
static_assert(offsetof(DisplayInterface, CopyBuffer) == 23 * sizeof(void*));
static_assert(offsetof(DisplayInterface, CallCreateDisplayCommand) == 28 * sizeof(void*));
static_assert(offsetof(DisplayInterface, CreateOutputBitmaps) == 34 * sizeof(void*));
static_assert(offsetof(DisplayInterface, SetWindowTitle) == 40 * sizeof(void*));
static_assert(offsetof(DisplayInterface, RefreshDisplayCore) == 42 * sizeof(void*));
static_assert(offsetof(DisplayInterface, FreeHostList) == 47 * sizeof(void*));
static_assert(offsetof(DisplayInterface, RunEventLoop) == 51 * sizeof(void*));
static_assert(offsetof(DisplayInterface, EnableDropFiles) == 56 * sizeof(void*));
static_assert(offsetof(DisplayInterface, SignalLoop) == 59 * sizeof(void*));
static_assert(sizeof(DisplayInterface) == kInterfaceSlots * sizeof(void*));

}  // namespace tzx::display
