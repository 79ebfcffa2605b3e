// Windows for displays: a back end opens, shows, moves and paints windows and
// delivers their input as window messages. The messages keep the numbering,
// virtual keys and scan codes of the window system the display logic was
// written for, so that key tables, the message-to-event mapping and the state
// flags stay platform-neutral logic of the display library. Two back ends:
// SDL2 (real windows on X11 or Wayland) and headless (pixels in memory,
// messages injected by tests).
//
// Every operation except Wake runs on the window thread, the thread that
// pumps the messages; Present too, unless the back end says otherwise.
#pragma once

#include <cstdint>
#include <string>

namespace tzx::platform {

// Message numbers.
enum WindowMessageId : uint32_t {
  kMsgMove = 0x0003,      // x, y: the window's new position
  kMsgSize = 0x0005,      // x, y: the new client width and height
  kMsgActivate = 0x0006,  // command: 1 activated, 0 deactivated
  kMsgPaint = 0x000F,
  kMsgClose = 0x0010,
  kMsgQueryOpen = 0x0013,  // the window is restored from minimised
  kMsgKeyDown = 0x0100,
  kMsgKeyUp = 0x0101,
  kMsgChar = 0x0102,  // character: the code point typed
  kMsgSysKeyDown = 0x0104,
  kMsgSysKeyUp = 0x0105,
  kMsgSysCommand = 0x0112,  // command: kSc...
  kMsgMouseMove = 0x0200,
  kMsgLButtonDown = 0x0201,
  kMsgLButtonUp = 0x0202,
  kMsgRButtonDown = 0x0204,
  kMsgRButtonUp = 0x0205,
  kMsgMButtonDown = 0x0207,
  kMsgMButtonUp = 0x0208,
  kMsgMouseWheel = 0x020A,  // wheelDelta, screenX, screenY
  kMsgDropFiles = 0x0233,   // files, fileCount, x, y
  kMsgDrawClipboard = 0x0308,
};

// System commands.
enum SystemCommand : uint32_t {
  kScMove = 0xF010,
  kScMinimize = 0xF020,
  kScKeyMenu = 0xF100,
  kScScreenSave = 0xF140,
  kScMonitorPower = 0xF170,
};

// Virtual keys. Digits and letters are their ASCII upper-case codes.
enum VirtualKey : uint32_t {
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkMenu = 0x12,  // Alt
  kVkPause = 0x13,
  kVkCapital = 0x14,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkPrior = 0x21,
  kVkNext = 0x22,
  kVkEnd = 0x23,
  kVkHome = 0x24,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkSnapshot = 0x2C,
  kVkInsert = 0x2D,
  kVkDelete = 0x2E,
  kVkNumpad0 = 0x60,
  kVkNumpad9 = 0x69,
  kVkMultiply = 0x6A,
  kVkAdd = 0x6B,
  kVkSubtract = 0x6D,
  kVkDecimal = 0x6E,
  kVkDivide = 0x6F,
  kVkF1 = 0x70,
  kVkF10 = 0x79,
  kVkF12 = 0x7B,
  kVkF13 = 0x7C,
  kVkF16 = 0x7F,
  kVkNumLock = 0x90,
  kVkScroll = 0x91,
  kVkOem1 = 0xBA,  // ;
  kVkOemPlus = 0xBB,
  kVkOemComma = 0xBC,
  kVkOemMinus = 0xBD,
  kVkOemPeriod = 0xBE,
  kVkOem2 = 0xBF,  // /
  kVkOem3 = 0xC0,  // `
  kVkOem4 = 0xDB,  // [
  kVkOem5 = 0xDC,  // backslash
  kVkOem6 = 0xDD,  // ]
  kVkOem7 = 0xDE,  // '
};

// Scan codes of the keys the display tells apart by scan code; 0x100 marks
// the extended keys.
enum ScanCode : uint32_t {
  kScanReturn = 0x1C,
  kScanLeftControl = 0x1D,
  kScanLeftShift = 0x2A,
  kScanRightShift = 0x36,
  kScanLeftAlt = 0x38,
  kScanKeypadReturn = 0x11C,
  kScanRightControl = 0x11D,
  kScanRightAlt = 0x138,
};

// Modifier state at the time of a message.
enum Modifier : uint32_t {
  kModShift = 0x01,
  kModControl = 0x02,
  kModAlt = 0x04,
  kModRightAlt = 0x08,
  kModCapsLock = 0x10,
  kModNumLock = 0x20,
};

// A back end's window; each back end derives its own record from it.
struct NativeWindow {};

struct WindowMessage {
  uint32_t message = 0;
  NativeWindow* window = nullptr;
  uint32_t virtualKey = 0;
  uint32_t scanCode = 0;
  // Key messages: the character the key types with the current modifiers, 0
  // when none. kMsgChar: the character typed.
  uint32_t character = 0;
  uint32_t modifiers = 0;
  uint32_t command = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t screenX = 0;
  int32_t screenY = 0;
  int32_t wheelDelta = 0;  // 120 per notch, positive away from the user
  // kMsgDropFiles: UTF-8 names, valid until the next PeekMessage.
  const char* const* files = nullptr;
  int32_t fileCount = 0;
};

enum WindowFlag : uint32_t {
  kWindowBorderless = 0x01,
  kWindowSizeable = 0x02,
  kWindowHidden = 0x04,
  kWindowAlwaysOnTop = 0x08,
  kWindowMaximized = 0x10,
  kWindowNoTaskbar = 0x20,
  kWindowNoFocus = 0x40,    // do not take the focus when shown
  kWindowKeepAwake = 0x80,  // no screen saver or monitor power-down while shown
};

struct WindowParams {
  const char* title;  // UTF-8
  int32_t x;          // screen position of the client area
  int32_t y;
  int32_t width;  // client size
  int32_t height;
  uint32_t flags;  // WindowFlag
};

enum class ShowCommand { kShow, kHide, kMinimize, kRestore };

struct PixelRect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

struct ScreenRect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// A screen mode of a monitor.
struct ScreenMode {
  int32_t width;
  int32_t height;
  int32_t depth;        // bits per pixel
  int32_t refreshRate;  // Hz, 0 when unknown
};

// A second picture a present also copies its rectangles into.
struct PixelMirror {
  uint8_t* pixels;
  int bytesPerRow;
};

// Copies `rows` rows of `bytes` bytes from one picture into two others,
// reading each row once.
void CopyRowsTwice(const uint8_t* from, size_t fromStride, uint8_t* a, size_t aStride, uint8_t* b,
                   size_t bStride, size_t bytes, int rows);

// Copies the rectangles of a picture, clipped to its size, into a mirror:
// what a back end does for the rows it cannot copy in one pass with the window.
void CopyMirrorRows(const uint8_t* pixels, int bytesPerRow, int width, int height,
                    const PixelRect* rects, int count, const PixelMirror& mirror);

class WindowBackend {
 public:
  virtual ~WindowBackend() = default;

  virtual const char* Name() const = 0;
  // Why the last operation failed.
  virtual const char* LastError() const = 0;

  // Screens. Monitors are numbered from 0 here.
  virtual int MonitorCount() = 0;
  virtual bool MonitorRect(int monitor, ScreenRect* out) = 0;
  virtual int ScreenDepth() = 0;
  // The modes a monitor offers, in the order the window system lists them
  // (one size may come several times, at other depths or rates); -1 when the
  // monitor has no device whose modes can be read.
  virtual int ModeCount(int monitor) = 0;
  virtual bool ModeAt(int monitor, int index, ScreenMode* out) = 0;
  virtual bool CurrentMode(int monitor, ScreenMode* out) = 0;
  // The size of the system's mouse pointer.
  virtual void CursorSize(int* width, int* height) = 0;
  // Desktop pixels as 0xFFRRGGBB words, `width` per row; false when the back
  // end cannot read the screen.
  virtual bool ReadScreen(int x, int y, int width, int height, uint32_t* out) = 0;

  // Null on failure (LastError tells why). `user` comes back from UserData.
  virtual NativeWindow* CreateWindow(const WindowParams& params, void* user) = 0;
  virtual void DestroyWindow(NativeWindow* window) = 0;
  virtual void* UserData(NativeWindow* window) = 0;
  virtual void Show(NativeWindow* window, ShowCommand command) = 0;
  virtual void SetTitle(NativeWindow* window, const char* title) = 0;
  virtual void SetPosition(NativeWindow* window, int x, int y) = 0;
  virtual void SetClientSize(NativeWindow* window, int width, int height) = 0;
  virtual void SetFlags(NativeWindow* window, uint32_t flags) = 0;
  virtual void Activate(NativeWindow* window) = 0;
  virtual void GetPosition(NativeWindow* window, int* x, int* y) = 0;
  virtual void GetClientSize(NativeWindow* window, int* width, int* height) = 0;
  // Sizes of the frame around the client area.
  virtual void GetFrameMargins(NativeWindow* window, int* left, int* top, int* right,
                               int* bottom) = 0;
  virtual void SetCapture(NativeWindow* window, bool on) = 0;
  // Full screen on a monitor: with `mode`, the monitor switches to that mode
  // and the window covers it; without, the window becomes a borderless one
  // over the monitor as it is. The window's new size comes as kMsgSize.
  // False when the mode cannot be set (LastError tells why).
  virtual bool EnterFullscreen(NativeWindow* window, int monitor, const ScreenMode* mode) = 0;
  // Back to a window with the given flags, client position and size; the
  // monitor gets its own mode back.
  virtual void LeaveFullscreen(NativeWindow* window, uint32_t flags, int x, int y, int width,
                               int height) = 0;
  virtual void CursorPosition(int* x, int* y) = 0;  // screen coordinates

  // Copies the rectangles of a picture of 32-bit 0xAARRGGBB words (the
  // picture's top-left at the client area's top-left) to the window and shows
  // them; false on failure. With a mirror, each row copied is also written
  // there (a picture of the same size and words) while it is in cache: a
  // flip fills the display's front picture and the window in one pass.
  virtual bool Present(NativeWindow* window, const uint8_t* pixels, int bytesPerRow, int width,
                       int height, const PixelRect* rects, int count,
                       const PixelMirror* mirror) = 0;
  // True when Present may run on any thread, provided the caller keeps the
  // window from closing and resizing meanwhile: a present then costs no trip
  // to the window thread.
  virtual bool PresentsOnAnyThread() const { return false; }
  // The window's own pixels as 0xAARRGGBB words, for a picture drawn into
  // them in place (scaled ones); false when the window keeps another format
  // or cannot lend them. ShowWindowPixels shows what was drawn and ends the
  // loan.
  virtual bool LendWindowPixels(NativeWindow* window, uint8_t** pixels, int* bytesPerRow,
                                int* width, int* height) = 0;
  virtual bool ShowWindowPixels(NativeWindow* window) = 0;
  // What the window shows, as 0xFFRRGGBB words, `width` per row; parts
  // outside the window's client area read as black.
  virtual bool ReadWindow(NativeWindow* window, uint32_t* out, int width, int height) = 0;

  // The next message, false when none is waiting.
  virtual bool PeekMessage(WindowMessage* out) = 0;
  // Waits until a message arrives, Wake is called, or the time passes.
  virtual void WaitMessage(int timeoutMs) = 0;
  // Ends a WaitMessage early; callable from any thread.
  virtual void Wake() = 0;
  // Queues a message as if the window system had sent it; false when the back
  // end takes its messages from a real window system only.
  virtual bool Inject(const WindowMessage& message) = 0;

  // The window system's clipboard, on the window thread. ClipboardText is
  // false when the clipboard holds no text or there is no window system;
  // SetClipboardText is false when the text could not be put there.
  virtual bool ClipboardText(std::string*) { return false; }
  virtual bool SetClipboardText(const char*) { return false; }
};

// Each returns null when out of memory.
WindowBackend* CreateHeadlessBackend();
WindowBackend* CreateSdlBackend();

// The character a key types on a US keyboard with the given modifiers, 0
// when it types none. Back ends without a keyboard layout of their own use it.
uint32_t UsKeyboardCharacter(uint32_t virtualKey, uint32_t modifiers);

}  // namespace tzx::platform
