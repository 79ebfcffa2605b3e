// The SDL2 window back end: real windows on X11 or Wayland. SDL's events
// become window messages; on X11 the window's and the desktop's pixels are
// read back from the X server itself.
#include <SDL.h>
#include <SDL_syswm.h>

#ifdef SDL_VIDEO_DRIVER_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/window_backend.h"
#include "sdl_keymap.h"

namespace tzx::platform {

namespace {

struct SdlWindow : NativeWindow {
  SDL_Window* window = nullptr;
  void* user = nullptr;
  bool minimized = false;
};

// The window's flags that SDL can change on an existing window.
void ApplyFlags(SDL_Window* w, uint32_t flags) {
  SDL_SetWindowBordered(w, (flags & kWindowBorderless) ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowResizable(w, (flags & kWindowSizeable) ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowAlwaysOnTop(w, (flags & kWindowAlwaysOnTop) ? SDL_TRUE : SDL_FALSE);
}

SdlWindow* Of(NativeWindow* w) {
  return static_cast<SdlWindow*>(w);
}
SDL_Window* Sdl(NativeWindow* w) {
  return Of(w)->window;
}

uint32_t Modifiers(uint16_t mod) {
  uint32_t m = 0;
  if (mod & KMOD_SHIFT) m |= kModShift;
  if (mod & KMOD_CTRL) m |= kModControl;
  if (mod & KMOD_ALT) m |= kModAlt;
  if (mod & KMOD_RALT) m |= kModRightAlt;
  if (mod & KMOD_CAPS) m |= kModCapsLock;
  if (mod & KMOD_NUM) m |= kModNumLock;
  return m;
}

// The code points of a UTF-8 text; invalid bytes are skipped.
std::vector<uint32_t> CodePoints(const char* text) {
  std::vector<uint32_t> out;
  auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    uint32_t c = *s;
    int extra = c < 0x80             ? 0
                : (c & 0xE0) == 0xC0 ? 1
                : (c & 0xF0) == 0xE0 ? 2
                : (c & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0) {
      ++s;
      continue;
    }
    c &= extra == 0 ? 0x7F : 0x3F >> extra;
    int i = 1;
    for (; i <= extra && (s[i] & 0xC0) == 0x80; ++i) c = (c << 6) | (s[i] & 0x3F);
    if (i <= extra) {
      s += i;
      continue;
    }
    out.push_back(c);
    s += extra + 1;
  }
  return out;
}

#ifdef SDL_VIDEO_DRIVER_X11
// Reading pixels that are not on screen is a protocol error; it must not end
// the program.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// Reads a rectangle of a drawable that lies on screen into 0xFFRRGGBB words;
// false when the server refuses.
bool ReadDrawable(Display* display, Drawable drawable, int x, int y, int width, int height,
                  uint32_t* out, int outStride) {
  XSync(display, False);
  auto previous = XSetErrorHandler(IgnoreXError);
  XImage* image = XGetImage(display, drawable, x, y, width, height, AllPlanes, ZPixmap);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!image) return false;
  int rs = MaskShift(image->red_mask), gs = MaskShift(image->green_mask),
      bs = MaskShift(image->blue_mask);
  unsigned long rm = image->red_mask >> rs, gm = image->green_mask >> gs,
                bm = image->blue_mask >> bs;
  auto scale = [](unsigned long v, unsigned long max) {
    return max == 255 ? v : max ? v * 255 / max : 0;
  };
  for (int row = 0; row < height; ++row) {
    uint32_t* d = out + size_t(row) * outStride;
    for (int col = 0; col < width; ++col) {
      unsigned long p = XGetPixel(image, col, row);
      d[col] = 0xFF000000u | uint32_t(scale((p >> rs) & rm, rm) << 16) |
               uint32_t(scale((p >> gs) & gm, gm) << 8) | uint32_t(scale((p >> bs) & bm, bm));
    }
  }
  XDestroyImage(image);
  return true;
}
#endif

class SdlBackend final : public WindowBackend {
 public:
  ~SdlBackend() override {
    if (video_) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      SDL_Quit();
    }
  }

  const char* Name() const override { return "sdl"; }
  const char* LastError() const override { return error_.c_str(); }

  int MonitorCount() override {
    if (!EnsureVideo()) return 0;
    return std::max(SDL_GetNumVideoDisplays(), 0);
  }

  bool MonitorRect(int monitor, ScreenRect* out) override {
    SDL_Rect r;
    if (!EnsureVideo() || SDL_GetDisplayBounds(monitor, &r) != 0) return false;
    *out = {r.x, r.y, r.w, r.h};
    return true;
  }

  int ScreenDepth() override {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
    return SDL_BITSPERPIXEL(mode.format);
  }

  int ModeCount(int monitor) override {
    if (!EnsureVideo()) return -1;
    int n = SDL_GetNumDisplayModes(monitor);
    return n < 0 ? -1 : n;
  }
  bool ModeAt(int monitor, int index, ScreenMode* out) override {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetDisplayMode(monitor, index, &mode) != 0) return false;
    *out = ScreenMode{mode.w, mode.h, int32_t(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate};
    return true;
  }
  bool CurrentMode(int monitor, ScreenMode* out) override {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetCurrentDisplayMode(monitor, &mode) != 0) return false;
    *out = ScreenMode{mode.w, mode.h, int32_t(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate};
    return true;
  }
  // SDL does not tell the pointer's size; X11 and Wayland draw 32 × 32
  // pointers unless the theme says otherwise.
  void CursorSize(int* width, int* height) override { *width = *height = 32; }

  bool ReadScreen(int x, int y, int width, int height, uint32_t* out) override {
#ifdef SDL_VIDEO_DRIVER_X11
    if (!EnsureVideo() || std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    bool ok = XGetWindowAttributes(display, root, &attributes);
    std::fill(out, out + size_t(width) * height, 0xFF000000u);
    // Only the part on the screen can be read; the rest stays black.
    int x1 = std::max(x, 0), y1 = std::max(y, 0);
    int x2 = std::min(x + width, attributes.width), y2 = std::min(y + height, attributes.height);
    if (ok && x2 > x1 && y2 > y1) {
      ok = ReadDrawable(display, root, x1, y1, x2 - x1, y2 - y1,
                        out + size_t(y1 - y) * width + (x1 - x), width);
    }
    XCloseDisplay(display);
    return ok;
#else
    (void)x, (void)y, (void)width, (void)height, (void)out;
    return false;
#endif
  }

  NativeWindow* CreateWindow(const WindowParams& p, void* user) override {
    if (!EnsureVideo()) return nullptr;
    auto* w = new (std::nothrow) SdlWindow;
    if (!w) {
      error_ = "out of memory";
      return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (p.flags & kWindowBorderless) flags |= SDL_WINDOW_BORDERLESS;
    if (p.flags & kWindowSizeable) flags |= SDL_WINDOW_RESIZABLE;
    if (p.flags & kWindowAlwaysOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (p.flags & kWindowMaximized) flags |= SDL_WINDOW_MAXIMIZED;
    if (p.flags & kWindowNoTaskbar) flags |= SDL_WINDOW_SKIP_TASKBAR;
    w->window = SDL_CreateWindow(p.title ? p.title : "", p.x, p.y, p.width, p.height, flags);
    if (!Sdl(w)) {
      error_ = SDL_GetError();
      delete w;
      return nullptr;
    }
    w->user = user;
    try {
      windows_.push_back(w);
    } catch (const std::bad_alloc&) {
      SDL_DestroyWindow(Sdl(w));
      delete w;
      error_ = "out of memory";
      return nullptr;
    }
    SDL_SetWindowData(Sdl(w), "tzx", w);
    // A black picture until the display presents its own.
    if (SDL_Surface* s = SDL_GetWindowSurface(Sdl(w))) {
      SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
    }
    KeepAwake(p.flags);
    if (!(p.flags & kWindowHidden)) {
      SDL_ShowWindow(Sdl(w));
      if (!(p.flags & kWindowNoFocus)) SDL_RaiseWindow(Sdl(w));
      SDL_UpdateWindowSurface(Sdl(w));
    }
    return w;
  }

  void DestroyWindow(NativeWindow* w) override {
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [w](const WindowMessage& m) { return m.window == w; }),
                   pending_.end());
    std::erase(windows_, w);
    SDL_DestroyWindow(Sdl(w));
    delete Of(w);
  }

  void* UserData(NativeWindow* w) override {
    return Of(w)->user;
  }

  void Show(NativeWindow* w, ShowCommand c) override {
    switch (c) {
      case ShowCommand::kShow:
        SDL_ShowWindow(Sdl(w));
        break;
      case ShowCommand::kHide:
        SDL_HideWindow(Sdl(w));
        break;
      case ShowCommand::kMinimize:
        SDL_MinimizeWindow(Sdl(w));
        break;
      case ShowCommand::kRestore:
        SDL_RestoreWindow(Sdl(w));
        break;
    }
  }

  void SetTitle(NativeWindow* w, const char* title) override {
    SDL_SetWindowTitle(Sdl(w), title ? title : "");
  }
  // SDL reports no change that it made itself; the window procedure hears of
  // it as a window system would tell it.
  void SetPosition(NativeWindow* w, int x, int y) override {
    SDL_SetWindowPosition(Sdl(w), x, y);
    WindowMessage m;
    m.message = kMsgMove;
    m.window = w;
    SDL_GetWindowPosition(Sdl(w), &m.x, &m.y);
    Queue(m);
  }
  void SetClientSize(NativeWindow* w, int width, int height) override {
    SDL_SetWindowSize(Sdl(w), width, height);
    WindowMessage m;
    m.message = kMsgSize;
    m.window = w;
    SDL_GetWindowSize(Sdl(w), &m.x, &m.y);
    Queue(m);
  }
  void SetFlags(NativeWindow* w, uint32_t flags) override {
    ApplyFlags(Sdl(w), flags);
    KeepAwake(flags);
  }

  bool EnterFullscreen(NativeWindow* w, int monitor, const ScreenMode* mode) override {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(monitor, &bounds) != 0) {
      error_ = SDL_GetError();
      return false;
    }
    SDL_Window* window = Sdl(w);
    if (mode) {
      // The window moves to the monitor first: SDL changes the mode of the
      // monitor the window is on.
      SDL_SetWindowPosition(window, bounds.x, bounds.y);
      SDL_DisplayMode wanted{}, closest;
      wanted.w = mode->width;
      wanted.h = mode->height;
      if (!SDL_GetClosestDisplayMode(monitor, &wanted, &closest) || closest.w != mode->width ||
          closest.h != mode->height) {
        error_ = "the monitor does not offer that mode";
        return false;
      }
      if (SDL_SetWindowDisplayMode(window, &closest) != 0 ||
          SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
        error_ = SDL_GetError();
        SDL_SetWindowFullscreen(window, 0);
        return false;
      }
    } else {
      SDL_SetWindowBordered(window, SDL_FALSE);
      SDL_SetWindowResizable(window, SDL_FALSE);
      SDL_SetWindowPosition(window, bounds.x, bounds.y);
      SDL_SetWindowSize(window, bounds.w, bounds.h);
    }
    QueueGeometry(w);
    return true;
  }

  void LeaveFullscreen(NativeWindow* w, uint32_t flags, int x, int y, int width,
                       int height) override {
    SDL_Window* window = Sdl(w);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window, 0);
    ApplyFlags(window, flags);
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, x, y);
    QueueGeometry(w);
  }
  void Activate(NativeWindow* w) override {
    SDL_RaiseWindow(Sdl(w));
  }
  void GetPosition(NativeWindow* w, int* x, int* y) override {
    SDL_GetWindowPosition(Sdl(w), x, y);
  }
  void GetClientSize(NativeWindow* w, int* width, int* height) override {
    SDL_GetWindowSize(Sdl(w), width, height);
  }
  void GetFrameMargins(NativeWindow* w, int* left, int* top, int* right, int* bottom) override {
    *left = *top = *right = *bottom = 0;
    SDL_GetWindowBordersSize(Sdl(w), top, left, bottom, right);
  }
  void SetCapture(NativeWindow*, bool on) override {
    SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
  }
  void CursorPosition(int* x, int* y) override {
    SDL_GetGlobalMouseState(x, y);
  }

  bool Present(NativeWindow* w, const uint8_t* pixels, int bytesPerRow, int width, int height,
               const PixelRect* rects, int count, const PixelMirror* mirror) override {
    SDL_Surface* s = SDL_GetWindowSurface(Sdl(w));
    // The display's words are 0xAARRGGBB; the usual window formats keep the
    // same bytes, others are converted.
    const bool same = s && (s->format->format == SDL_PIXELFORMAT_RGB888 ||
                            s->format->format == SDL_PIXELFORMAT_ARGB8888);
    const bool locked = s && (!SDL_MUSTLOCK(s) || SDL_LockSurface(s) == 0);
    // The mirror is filled whatever becomes of the window; in one pass with
    // it where the window keeps the display's words.
    const PixelMirror* fused = same && locked ? mirror : nullptr;
    if (mirror && !fused) CopyMirrorRows(pixels, bytesPerRow, width, height, rects, count, *mirror);
    if (!s || !locked) {
      error_ = SDL_GetError();
      return false;
    }
    int right = std::min(width, s->w), bottom = std::min(height, s->h);
    std::vector<SDL_Rect> shown;
    shown.reserve(count);
    for (int i = 0; i < count; ++i) {
      int x1 = std::max(rects[i].x, 0), y1 = std::max(rects[i].y, 0);
      int x2 = std::min(rects[i].x + rects[i].width, right);
      int y2 = std::min(rects[i].y + rects[i].height, bottom);
      // Rows the window has no room for still go to the mirror.
      const bool whole = x2 == std::min(rects[i].x + rects[i].width, width) &&
                         y2 == std::min(rects[i].y + rects[i].height, height);
      if (fused && !whole) CopyMirrorRows(pixels, bytesPerRow, width, height, &rects[i], 1, *fused);
      if (x2 <= x1 || y2 <= y1) continue;
      const uint8_t* src = pixels + size_t(y1) * bytesPerRow + size_t(x1) * 4;
      auto* dst = static_cast<uint8_t*>(s->pixels) + size_t(y1) * s->pitch +
                  size_t(x1) * s->format->BytesPerPixel;
      if (same && fused && whole) {
        CopyRowsTwice(src, bytesPerRow, dst, s->pitch,
                      fused->pixels + size_t(y1) * fused->bytesPerRow + size_t(x1) * 4,
                      fused->bytesPerRow, size_t(x2 - x1) * 4, y2 - y1);
      } else if (same) {
        for (int row = y1; row < y2; ++row, src += bytesPerRow, dst += s->pitch) {
          std::memcpy(dst, src, size_t(x2 - x1) * 4);
        }
      } else {
        SDL_ConvertPixels(x2 - x1, y2 - y1, SDL_PIXELFORMAT_ARGB8888, src, bytesPerRow,
                          s->format->format, dst, s->pitch);
      }
      shown.push_back(SDL_Rect{x1, y1, x2 - x1, y2 - y1});
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    if (shown.empty()) return true;
    if (SDL_UpdateWindowSurfaceRects(Sdl(w), shown.data(), int(shown.size())) != 0) {
      error_ = SDL_GetError();
      return false;
    }
    return true;
  }

  bool LendWindowPixels(NativeWindow* w, uint8_t** pixels, int* bytesPerRow, int* width,
                        int* height) override {
    SDL_Surface* s = SDL_GetWindowSurface(Sdl(w));
    if (!s || (s->format->format != SDL_PIXELFORMAT_RGB888 &&
               s->format->format != SDL_PIXELFORMAT_ARGB8888)) {
      return false;
    }
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    *pixels = static_cast<uint8_t*>(s->pixels);
    *bytesPerRow = s->pitch;
    *width = s->w;
    *height = s->h;
    return true;
  }
  bool ShowWindowPixels(NativeWindow* w) override {
    SDL_Surface* s = SDL_GetWindowSurface(Sdl(w));
    if (!s) return false;
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    if (SDL_UpdateWindowSurface(Sdl(w)) != 0) {
      error_ = SDL_GetError();
      return false;
    }
    return true;
  }

  bool ReadWindow(NativeWindow* w, uint32_t* out, int width, int height) override {
    std::fill(out, out + size_t(width) * height, 0xFF000000u);
#ifdef SDL_VIDEO_DRIVER_X11
    if (ReadX11Window(w, out, width, height)) return true;
#endif
    // Elsewhere the window shows its surface, so that is what it shows.
    SDL_Surface* s = SDL_GetWindowSurface(Sdl(w));
    if (!s) return false;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    int cw = std::min(width, s->w), ch = std::min(height, s->h);
    if (cw > 0 && ch > 0) {
      SDL_ConvertPixels(cw, ch, s->format->format, s->pixels, s->pitch, SDL_PIXELFORMAT_ARGB8888,
                        out, width * 4);
      for (int row = 0; row < ch; ++row) {
        for (int col = 0; col < cw; ++col) out[size_t(row) * width + col] |= 0xFF000000u;
      }
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    return true;
  }

  bool PeekMessage(WindowMessage* out) override {
    if (!video_) return false;
    for (;;) {
      if (!pending_.empty()) {
        *out = pending_.front();
        pending_.pop_front();
        if (out->message == kMsgDropFiles) {
          dropNames_.clear();
          for (const std::string& f : dropped_) dropNames_.push_back(f.c_str());
          out->files = dropNames_.data();
          out->fileCount = int32_t(dropNames_.size());
        }
        return true;
      }
      SDL_Event e;
      if (!SDL_PollEvent(&e)) return false;
      try {
        Translate(e);
      } catch (const std::bad_alloc&) {
        // The event is lost; the next ones still arrive.
      }
    }
  }

  void WaitMessage(int timeoutMs) override {
    if (video_.load()) {
      if (!pending_.empty()) return;
      SDL_WaitEventTimeout(nullptr, timeoutMs);
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    signal_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return woken_; });
    woken_ = false;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    signal_.notify_all();
    if (video_.load()) {
      SDL_Event e{};
      e.type = wakeEvent_;
      SDL_PushEvent(&e);
    }
  }

  bool Inject(const WindowMessage&) override {
    return false;
  }

  bool ClipboardText(std::string* out) override {
    if (!EnsureVideo() || !SDL_HasClipboardText()) return false;
    char* text = SDL_GetClipboardText();
    if (!text) return false;
    bool ok = true;
    try {
      out->assign(text);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
    SDL_free(text);
    return ok;
  }

  bool SetClipboardText(const char* text) override {
    return EnsureVideo() && SDL_SetClipboardText(text) == 0;
  }

 private:
  bool EnsureVideo() {
    if (video_) return true;
    // The host handles interrupts itself, and a click that focuses a window
    // also counts as a click.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Pictures go to the window system's own framebuffer, not through a GPU
    // renderer: what is presented is what the server shows.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      error_ = SDL_GetError();
      return false;
    }
    wakeEvent_ = SDL_RegisterEvents(1);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    video_ = true;
    return true;
  }

  // What SDL changed itself, told as a window system would tell it.
  void QueueGeometry(NativeWindow* w) {
    WindowMessage m;
    m.message = kMsgMove;
    m.window = w;
    SDL_GetWindowPosition(Sdl(w), &m.x, &m.y);
    Queue(m);
    m.message = kMsgSize;
    SDL_GetWindowSize(Sdl(w), &m.x, &m.y);
    Queue(m);
  }

  void Queue(const WindowMessage& m) {
    try {
      pending_.push_back(m);
    } catch (const std::bad_alloc&) {
      // Without memory the window system's own report is all there is.
    }
  }

  // SDL keeps the screen saver off unless told otherwise; the display's
  // "disableblanker" decides.
  void KeepAwake(uint32_t flags) {
    if (flags & kWindowKeepAwake) {
      SDL_DisableScreenSaver();
    } else {
      SDL_EnableScreenSaver();
    }
  }

  NativeWindow* FromId(Uint32 id) {
    SDL_Window* window = SDL_GetWindowFromID(id);
    return window ? static_cast<SdlWindow*>(SDL_GetWindowData(window, "tzx")) : nullptr;
  }

  void Translate(const SDL_Event& e) {
    WindowMessage m;
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        m.window = FromId(e.key.windowID);
        m.modifiers = Modifiers(e.key.keysym.mod);
        if (!m.window ||
            !KeyFromUsage(e.key.keysym.scancode, m.modifiers, &m.virtualKey, &m.scanCode)) {
          return;
        }
        bool down = e.type == SDL_KEYDOWN;
        bool sys = (m.modifiers & kModAlt) || m.virtualKey == kVkF10 || m.virtualKey == kVkMenu;
        m.message = sys ? (down ? kMsgSysKeyDown : kMsgSysKeyUp) : (down ? kMsgKeyDown : kMsgKeyUp);
        m.character = down ? TypedCharacter(m) : typed_[e.key.keysym.scancode % 512];
        if (down) typed_[e.key.keysym.scancode % 512] = m.character;
        break;
      }
      case SDL_TEXTINPUT: {
        NativeWindow* w = FromId(e.text.windowID);
        if (!w) return;
        for (uint32_t c : CodePoints(e.text.text)) {
          WindowMessage c1;
          c1.message = kMsgChar;
          c1.window = w;
          c1.character = c;
          pending_.push_back(c1);
        }
        return;
      }
      case SDL_MOUSEMOTION:
        m.message = kMsgMouseMove;
        m.window = FromId(e.motion.windowID);
        m.x = e.motion.x;
        m.y = e.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (e.button.button == SDL_BUTTON_LEFT) {
          m.message = down ? kMsgLButtonDown : kMsgLButtonUp;
        } else if (e.button.button == SDL_BUTTON_RIGHT) {
          m.message = down ? kMsgRButtonDown : kMsgRButtonUp;
        } else if (e.button.button == SDL_BUTTON_MIDDLE) {
          m.message = down ? kMsgMButtonDown : kMsgMButtonUp;
        } else {
          return;
        }
        m.window = FromId(e.button.windowID);
        m.x = e.button.x;
        m.y = e.button.y;
        break;
      }
      case SDL_MOUSEWHEEL: {
        int y = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y == 0) return;
        m.message = kMsgMouseWheel;
        m.window = FromId(e.wheel.windowID);
        m.wheelDelta = y * 120;
        SDL_GetGlobalMouseState(&m.screenX, &m.screenY);
        break;
      }
      case SDL_WINDOWEVENT:
        m.window = FromId(e.window.windowID);
        if (!m.window) return;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            m.message = kMsgClose;
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_FOCUS_LOST:
            m.message = kMsgActivate;
            m.command = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            break;
          case SDL_WINDOWEVENT_MINIMIZED:
            Of(m.window)->minimized = true;
            m.message = kMsgSysCommand;
            m.command = kScMinimize;
            break;
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_SHOWN:
            if (!Of(m.window)->minimized) return;
            Of(m.window)->minimized = false;
            m.message = kMsgQueryOpen;
            break;
          case SDL_WINDOWEVENT_MOVED:
            m.message = kMsgMove;
            m.x = e.window.data1;
            m.y = e.window.data2;
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            m.message = kMsgSize;
            m.x = e.window.data1;
            m.y = e.window.data2;
            break;
          case SDL_WINDOWEVENT_EXPOSED:
            // The surface still holds the last picture.
            SDL_UpdateWindowSurface(Sdl(m.window));
            m.message = kMsgPaint;
            break;
          default:
            return;
        }
        break;
      case SDL_DROPBEGIN:
        dropping_.clear();
        return;
      case SDL_DROPFILE:
        if (e.drop.file) {
          dropping_.emplace_back(e.drop.file);
          SDL_free(e.drop.file);
        }
        return;
      case SDL_DROPCOMPLETE: {
        m.window = FromId(e.drop.windowID);
        if (!m.window || dropping_.empty()) return;
        m.message = kMsgDropFiles;
        int gx, gy, wx, wy;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(Sdl(m.window), &wx, &wy);
        m.x = gx - wx;
        m.y = gy - wy;
        dropped_.swap(dropping_);
        dropping_.clear();
        break;
      }
      case SDL_CLIPBOARDUPDATE:
        // Every window of the program watches the clipboard.
        for (NativeWindow* w : windows_) {
          WindowMessage c;
          c.message = kMsgDrawClipboard;
          c.window = w;
          pending_.push_back(c);
        }
        return;
      default:
        return;
    }
    if (m.window) pending_.push_back(m);
  }

  // The character a key types, as its own text event tells when one follows.
  uint32_t TypedCharacter(const WindowMessage& m) {
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) == 1) {
      std::vector<uint32_t> cps = CodePoints(next.text.text);
      if (cps.size() == 1) return cps[0];
    }
    return UsKeyboardCharacter(m.virtualKey, m.modifiers);
  }

#ifdef SDL_VIDEO_DRIVER_X11
  bool ReadX11Window(NativeWindow* w, uint32_t* out, int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(Sdl(w), &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    Window window = info.info.x11.window;
    XWindowAttributes wa;
    if (!XGetWindowAttributes(display, window, &wa) || wa.map_state != IsViewable) return false;
    XWindowAttributes ra;
    XGetWindowAttributes(display, wa.root, &ra);
    int rx, ry;
    Window child;
    XTranslateCoordinates(display, window, wa.root, 0, 0, &rx, &ry, &child);
    // Only the part of the window on the screen can be read.
    int x1 = std::max(0, -rx), y1 = std::max(0, -ry);
    int x2 = std::min({width, wa.width, ra.width - rx}),
        y2 = std::min({height, wa.height, ra.height - ry});
    if (x2 <= x1 || y2 <= y1) return true;
    return ReadDrawable(display, window, x1, y1, x2 - x1, y2 - y1, out + size_t(y1) * width + x1,
                        width);
  }
#endif

  std::string error_;
  std::atomic<bool> video_{false};
  Uint32 wakeEvent_ = 0;
  std::vector<NativeWindow*> windows_;
  std::deque<WindowMessage> pending_;
  std::vector<std::string> dropping_, dropped_;
  std::vector<const char*> dropNames_;
  uint32_t typed_[512] = {};
  std::mutex mutex_;
  std::condition_variable signal_;
  bool woken_ = false;
};

}  // namespace

WindowBackend* CreateSdlBackend() {
  return new (std::nothrow) SdlBackend;
}

}  // namespace tzx::platform
