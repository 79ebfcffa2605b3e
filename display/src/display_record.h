// The display record, its window data and the option bits.
#pragma once

#include <cstdint>

#include "dirty_rects.h"
#include "platform/timers.h"
#include "platform/window_backend.h"
#include "tzx/display.h"
#include "tzx/graphics_records.h"

namespace tzx::platform {
struct NativeWindow;
}

namespace tzx::display {

enum DisplayState : int32_t {
  kStateClosed = 0,
  kStateOpen = 1,
  kStateMinimized = 2,
};

// Boolean option keys, one bit each, in the order of the option table
// (display_options.cpp).
enum DisplayFlag : uint32_t {
  kFlagBorderless = 1u << 0,
  kFlagSizeable = 1u << 1,
  kFlagFixed = 1u << 2,
  kFlagNoHide = 1u << 3,
  kFlagNoModeSwitch = 1u << 4,
  kFlagActive = 1u << 5,
  kFlagHidePointer = 1u << 6,
  kFlagUseQuartz = 1u << 7,
  kFlagNoClose = 1u << 8,
  kFlagFitScale = 1u << 9,
  kFlagKeepScreenOn = 1u << 10,
  kFlagHideFromTaskbar = 1u << 11,
  kFlagHideOptionsMenu = 1u << 12,
  kFlagNoHardwareScale = 1u << 13,
  kFlagDisableBlanker = 1u << 14,
  kFlagRememberPosition = 1u << 15,
  kFlagMaximized = 1u << 16,
  kFlagTrapRmb = 1u << 17,
  kFlagNoScaleEngine = 1u << 18,
  kFlagNativeUnits = 1u << 19,
  kFlagNoLiveResize = 1u << 20,
  kFlagAlwaysOnTop = 1u << 21,
  kFlagSingleMenu = 1u << 22,
  kFlagNoCyclerMenu = 1u << 23,
  kFlagSoftwareRenderer = 1u << 24,
  kFlagVsync = 1u << 25,
  kFlagBackdrop = 1u << 26,
  kFlagSmoothScale = 1u << 27,
  kFlagKeepProportions = 1u << 28,
  kFlagScaleSwitch = 1u << 29,
};

// Further bits (DisplayRecord::flags2).
enum DisplayFlag2 : uint32_t {
  kFlag2Hidden = 0x1,  // the window opens hidden
  kFlag2Layers = 0x2,  // layer mode
};

// Display modes ("mode").
enum DisplayMode : int32_t {
  kModeWindowed = 1,
  kModeFullscreen = 2,
  kModeAsk = 3,
  kModeModeRequester = 4,
  kModeFakeFullscreen = 6,
  kModeFullscreenScale = 7,
  kModeSystemScale = 8,
  kModeModeSwitch = 9,
  kModeAutoFullscreen = 10,
  kModeLayerFullscreen = 11,
  kModeAskAuto = 12,
  kModeAskLayers = 13,
};

// Background fill styles ("fillstyle").
enum FillStyle : int32_t {
  kFillNone = 0,
  kFillColor = 1,
  kFillGradient = 2,
  kFillTexture = 3,
  kFillPicture = 4,
};

// Position meaning "centred" until the window is placed.
inline constexpr int32_t kCentered = -100000;

struct BackfillStyle {
  int32_t fillStyle;
  uint32_t color;
  int32_t pen;
  ObjectId textureBrush;
  int32_t textureX;
  int32_t textureY;
  ObjectId bgpic;
  graphics::GradientRecord gradient;
};

// Bits of WindowData::changed.
enum WindowChanged : uint32_t {
  kChangedPosition = 0x2,
  kChangedKeys = 0x4,
  kChangedMinimized = 0x8,
};

// One byte per key code (1 = down) for codes below this; higher character
// codes are raised as events but have no state byte.
inline constexpr int kKeyStates = 512;

// What the window thread keeps about a display's window. Written by the
// window procedure under the display lock.
struct WindowData {
  platform::NativeWindow* handle;
  uint32_t changed;  // WindowChanged
  int32_t lastX;     // last position of the window (client area, screen)
  int32_t lastY;
  int32_t clientWidth;
  int32_t clientHeight;
  uint8_t rawKeys[kKeyStates];
  uint8_t charKeys[kKeyStates];
  graphics::Rect dragRegion;  // width 0: none
  graphics::Rect sizeRegion;
  int32_t breakRequested;  // Ctrl+C
  int32_t escapePressed;
  int32_t systemKeys;  // system-key messages go to the default procedure
  int32_t dropFiles;   // dropped files are taken
  int32_t tracking;    // 0, or the WindowTracking in progress
  int32_t trackX;      // cursor (screen) when tracking started
  int32_t trackY;
  int32_t trackStartX;  // window position or size when tracking started
  int32_t trackStartY;
  int32_t cursorX;  // client coordinates of the last mouse message
  int32_t cursorY;
  int32_t active;       // the window has the focus
  int32_t pendingMove;  // the window moved this round: event 4
  int32_t pendingSize;  // the window changed size this round: event 5
  int32_t fullRepaint;  // the window lost its picture (resized): present it whole
};

enum WindowTracking : int32_t { kTrackMove = 1, kTrackSize = 2 };

struct DisplayRecord {
  ObjectHeader header;  // type 21
  int32_t state;        // DisplayState; read with DisplayStateOf across threads
  int32_t backfillMarker;
  int32_t resourceMonitor;
  int32_t x;  // requested window position, kCentered by default
  int32_t y;
  int32_t width;
  int32_t height;
  char title[256];
  uint32_t flags;   // DisplayFlag
  uint32_t flags2;  // DisplayFlag2
  int32_t mode;     // DisplayMode
  double scaleFactor;
  int32_t autoScale;
  int32_t layerScale;
  int32_t scaleMode;
  int32_t scaleWidth;
  int32_t scaleHeight;
  int32_t restoreWidth;
  int32_t restoreHeight;
  int32_t placement[2];
  int32_t monitor;  // 1-based
  int32_t orientation;
  int32_t immersiveMode;
  int32_t screenWidth;  // the mode reader's "scrwidth", "scrheight", "scrdepth"
  int32_t screenHeight;
  int32_t screenDepth;
  int32_t desktop;
  BackfillStyle backfill;
  ObjectId paletteId;     // "palette": the palette object of a palette display
  int32_t paletteWanted;  // "palette" was given
  uint32_t* palette;      // palette displays: 256 entries
  int32_t depth;          // palette displays: 1..8; 0 true colour
  int32_t transparentPen;
  WindowData* window;
  int32_t refreshBusy;                 // inside BeginRefresh ... EndRefresh
  int32_t doubleBuffered;              // 1 while a software double buffer is active
  graphics::OutputRecord output;       // the display's own picture
  graphics::OutputRecord* backOutput;  // the back buffer's output, made once
  RectList dirty;                      // changes of the back buffer
  platform::PixelRect* flipRects;      // what Flip copied, room for the whole dirty list
  RectList pending;                    // changes not yet in the window
  uint32_t* presentPixels;             // palette displays: the picture in colours
  platform::ClockTime frameTime;       // end of the previous frame
  // Full screen: the monitor it covers (0 while windowed) and the window's
  // client position and size to go back to.
  int32_t fullscreenMonitor;
  int32_t windowRect[4];
  // Scaled by the library, for windows that do not lend their pixels: the
  // picture as the window shows it, borders included, for a client area of
  // scaledWidth × scaledHeight.
  uint32_t* scaledPixels;
  int32_t scaledWidth;
  int32_t scaledHeight;
  // Pins of the running command (tzx/pins.h): while pinned the display is
  // not freed (1504) or closed (1525).
  int32_t pins;
};

}  // namespace tzx::display
