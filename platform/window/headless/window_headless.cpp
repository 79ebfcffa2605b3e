// The headless window back end: windows are pixel stores in memory on a
// virtual desktop, and their messages are the ones tests inject plus those a
// real window system would send for the back end's own moves, resizes and
// activations. Deterministic, and needs no window system.
//
// The desktop's monitors and their modes come from TESSERA_HEADLESS_MONITORS
// (tessera's --monitors): monitors separated by spaces or ";", each
// "WxH[+X+Y][:MODE,MODE...]" with modes "WxH[@HZ]". A monitor without a mode
// list offers its own size; one with an empty list ("800x600:") has no
// device whose modes can be read. Without +X+Y a monitor stands right of the
// previous one. The default is one 1920 × 1080 monitor with common modes.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/window_backend.h"

namespace tzx::platform {

namespace {

struct HeadlessWindow : NativeWindow {
  void* user = nullptr;
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
  uint32_t flags = 0;
  bool visible = false;
  bool minimized = false;
  bool captured = false;
  int fullscreenMonitor = -1;    // the monitor whose mode it changed, or -1
  std::vector<uint32_t> pixels;  // 0xAARRGGBB as presented, width per row
};

HeadlessWindow* Of(NativeWindow* w) {
  return static_cast<HeadlessWindow*>(w);
}

constexpr const char* kDefaultMonitors =
    "1920x1080:1920x1080,1680x1050,1600x900,1280x1024,1280x720,1024x768,800x600,640x480";

struct VirtualMonitor {
  ScreenRect rect;     // as the monitor is now
  ScreenRect desktop;  // in its own mode
  bool hasDevice = true;
  std::vector<ScreenMode> modes;
};

// Reads "WxH" and an optional "@HZ" from `s`; null when it is not there.
const char* ParseSize(const char* s, int* width, int* height, int* rate) {
  char* end;
  long w = std::strtol(s, &end, 10);
  if (end == s || *end != 'x') return nullptr;
  const char* hs = end + 1;
  long h = std::strtol(hs, &end, 10);
  if (end == hs || w < 1 || h < 1 || w > 65535 || h > 65535) return nullptr;
  *width = int(w);
  *height = int(h);
  *rate = 0;
  if (*end == '@' && rate) {
    const char* rs = end + 1;
    long r = std::strtol(rs, &end, 10);
    if (end == rs || r < 0) return nullptr;
    *rate = int(r);
  }
  return end;
}

// False for a text that does not follow the format.
bool ParseMonitors(const char* text, std::vector<VirtualMonitor>* out) {
  std::vector<VirtualMonitor> monitors;
  const char* s = text;
  int nextX = 0;
  while (*s) {
    VirtualMonitor m;
    int rate;
    s = ParseSize(s, &m.rect.width, &m.rect.height, &rate);
    if (!s || rate != 0) return false;
    m.rect.x = nextX;
    m.rect.y = 0;
    if (*s == '+' || *s == '-') {
      char* end;
      long x = std::strtol(s, &end, 10);
      if (end == s || (*end != '+' && *end != '-')) return false;
      const char* ys = end;
      long y = std::strtol(ys, &end, 10);
      if (end == ys) return false;
      m.rect.x = int(x);
      m.rect.y = int(y);
      s = end;
    }
    if (*s == ':') {
      ++s;
      m.hasDevice = *s && *s != ';' && *s != ' ';
      while (*s && *s != ';' && *s != ' ') {
        ScreenMode mode{0, 0, 32, 0};
        s = ParseSize(s, &mode.width, &mode.height, &mode.refreshRate);
        if (!s) return false;
        m.modes.push_back(mode);
        if (*s == ',') ++s;
      }
    } else {
      m.modes.push_back(ScreenMode{m.rect.width, m.rect.height, 32, 60});
    }
    if (*s == ';' || *s == ' ') {
      while (*s == ';' || *s == ' ') ++s;
    } else if (*s) {
      return false;
    }
    m.desktop = m.rect;
    nextX = m.rect.x + m.rect.width;
    monitors.push_back(std::move(m));
  }
  if (monitors.empty()) return false;
  *out = std::move(monitors);
  return true;
}

struct Queued {
  WindowMessage message;
  std::vector<std::string> files;
};

class HeadlessBackend final : public WindowBackend {
 public:
  // False when the configuration cannot be read.
  bool Configure() {
    const char* text = std::getenv("TESSERA_HEADLESS_MONITORS");
    if (text && *text && ParseMonitors(text, &monitors_)) return true;
    if (text && *text) error_ = "TESSERA_HEADLESS_MONITORS is not a list of monitors";
    return ParseMonitors(kDefaultMonitors, &monitors_);
  }

  const char* Name() const override { return "headless"; }
  // Windows here are memory, changed only by operations the display orders.
  bool PresentsOnAnyThread() const override { return true; }
  const char* LastError() const override { return error_.c_str(); }

  int MonitorCount() override { return int(monitors_.size()); }
  bool MonitorRect(int monitor, ScreenRect* out) override {
    if (monitor < 0 || monitor >= MonitorCount()) return false;
    *out = monitors_[monitor].rect;
    return true;
  }
  int ScreenDepth() override { return 32; }
  int ModeCount(int monitor) override {
    if (monitor < 0 || monitor >= MonitorCount() || !monitors_[monitor].hasDevice) return -1;
    return int(monitors_[monitor].modes.size());
  }
  bool ModeAt(int monitor, int index, ScreenMode* out) override {
    if (index < 0 || index >= ModeCount(monitor)) return false;
    *out = monitors_[monitor].modes[index];
    return true;
  }
  bool CurrentMode(int monitor, ScreenMode* out) override {
    if (ModeCount(monitor) < 0) return false;
    const ScreenRect& r = monitors_[monitor].rect;
    *out = ScreenMode{r.width, r.height, 32, 60};
    return true;
  }
  void CursorSize(int* width, int* height) override { *width = *height = 32; }

  bool ReadScreen(int x, int y, int width, int height, uint32_t* out) override {
    std::fill(out, out + size_t(width) * height, 0xFF000000u);
    // Windows later in the stacking order cover earlier ones.
    for (const HeadlessWindow* w : stack_) {
      if (!w->visible || w->minimized) continue;
      for (int row = 0; row < height; ++row) {
        int wy = y + row - w->y;
        if (wy < 0 || wy >= w->height) continue;
        for (int col = 0; col < width; ++col) {
          int wx = x + col - w->x;
          if (wx >= 0 && wx < w->width) {
            out[size_t(row) * width + col] = w->pixels[size_t(wy) * w->width + wx] | 0xFF000000u;
          }
        }
      }
    }
    return true;
  }

  NativeWindow* CreateWindow(const WindowParams& p, void* user) override {
    if (p.width < 1 || p.height < 1) {
      error_ = "window size must be at least 1 x 1";
      return nullptr;
    }
    try {
      auto* w = new HeadlessWindow;
      w->user = user;
      w->title = p.title ? p.title : "";
      w->x = p.x;
      w->y = p.y;
      w->width = p.width;
      w->height = p.height;
      w->flags = p.flags;
      w->pixels.assign(size_t(p.width) * p.height, 0xFF000000u);
      stack_.push_back(w);
      if (!(p.flags & kWindowHidden)) {
        w->visible = true;
        if (!(p.flags & kWindowNoFocus)) Activate(w);
      }
      return w;
    } catch (const std::bad_alloc&) {
      error_ = "out of memory";
      return nullptr;
    }
  }

  void DestroyWindow(NativeWindow* window) override {
    HeadlessWindow* w = Of(window);
    RestoreMode(w);
    std::erase(stack_, w);
    if (active_ == w) active_ = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      std::erase_if(queue_, [w](const Queued& q) { return q.message.window == w; });
    }
    delete w;
  }

  void* UserData(NativeWindow* w) override { return Of(w)->user; }

  void Show(NativeWindow* window, ShowCommand c) override {
    HeadlessWindow* w = Of(window);
    switch (c) {
      case ShowCommand::kShow:
        w->visible = true;
        break;
      case ShowCommand::kHide:
        w->visible = false;
        break;
      case ShowCommand::kMinimize:
        w->minimized = true;
        if (active_ == w) Deactivate();
        break;
      case ShowCommand::kRestore:
        w->minimized = false;
        w->visible = true;
        break;
    }
  }

  void SetTitle(NativeWindow* w, const char* title) override { Of(w)->title = title ? title : ""; }

  void SetPosition(NativeWindow* window, int x, int y) override {
    HeadlessWindow* w = Of(window);
    w->x = x;
    w->y = y;
    WindowMessage m;
    m.message = kMsgMove;
    m.window = w;
    m.x = x;
    m.y = y;
    Queue(m, {});
  }

  void SetClientSize(NativeWindow* window, int width, int height) override {
    Resize(Of(window), width, height);
  }

  bool EnterFullscreen(NativeWindow* window, int monitor, const ScreenMode* mode) override {
    HeadlessWindow* w = Of(window);
    if (monitor < 0 || monitor >= MonitorCount()) {
      error_ = "no such monitor";
      return false;
    }
    VirtualMonitor& m = monitors_[monitor];
    if (mode) {
      auto offered = [mode](const ScreenMode& o) {
        return o.width == mode->width && o.height == mode->height;
      };
      if (!m.hasDevice || std::none_of(m.modes.begin(), m.modes.end(), offered)) {
        error_ = "the monitor does not offer that mode";
        return false;
      }
      // One window at a time changes a monitor's mode.
      RestoreMode(w);
      m.rect.width = mode->width;
      m.rect.height = mode->height;
      w->fullscreenMonitor = monitor;
    }
    w->flags |= kWindowBorderless;
    SetPosition(w, m.rect.x, m.rect.y);
    Resize(w, m.rect.width, m.rect.height);
    return true;
  }

  void LeaveFullscreen(NativeWindow* window, uint32_t flags, int x, int y, int width,
                       int height) override {
    HeadlessWindow* w = Of(window);
    RestoreMode(w);
    w->flags = flags;
    SetPosition(w, x, y);
    Resize(w, width, height);
  }

 private:
  void RestoreMode(HeadlessWindow* w) {
    if (w->fullscreenMonitor < 0) return;
    VirtualMonitor& m = monitors_[w->fullscreenMonitor];
    m.rect = m.desktop;
    w->fullscreenMonitor = -1;
  }

  void Resize(HeadlessWindow* w, int width, int height) {
    if (width < 1 || height < 1) return;
    std::vector<uint32_t> pixels(size_t(width) * height, 0xFF000000u);
    for (int row = 0; row < std::min(height, w->height); ++row) {
      std::copy_n(&w->pixels[size_t(row) * w->width], std::min(width, w->width),
                  &pixels[size_t(row) * width]);
    }
    w->pixels.swap(pixels);
    w->width = width;
    w->height = height;
    WindowMessage m;
    m.message = kMsgSize;
    m.window = w;
    m.x = width;
    m.y = height;
    Queue(m, {});
  }

 public:
  void SetFlags(NativeWindow* w, uint32_t flags) override { Of(w)->flags = flags; }

  void Activate(NativeWindow* window) override {
    HeadlessWindow* w = Of(window);
    if (active_ == w) return;
    Deactivate();
    active_ = w;
    std::erase(stack_, w);
    stack_.push_back(w);
    WindowMessage m;
    m.message = kMsgActivate;
    m.window = w;
    m.command = 1;
    Queue(m, {});
  }

  void GetPosition(NativeWindow* window, int* x, int* y) override {
    HeadlessWindow* w = Of(window);
    *x = w->x;
    *y = w->y;
  }
  void GetClientSize(NativeWindow* window, int* width, int* height) override {
    HeadlessWindow* w = Of(window);
    *width = w->width;
    *height = w->height;
  }
  void GetFrameMargins(NativeWindow*, int* left, int* top, int* right, int* bottom) override {
    *left = *top = *right = *bottom = 0;
  }
  void SetCapture(NativeWindow* w, bool on) override { Of(w)->captured = on; }
  void CursorPosition(int* x, int* y) override {
    *x = cursorX_;
    *y = cursorY_;
  }

  bool Present(NativeWindow* window, const uint8_t* pixels, int bytesPerRow, int width, int height,
               const PixelRect* rects, int count, const PixelMirror* mirror) override {
    HeadlessWindow* w = Of(window);
    for (int i = 0; i < count; ++i) {
      // The mirror takes the whole rectangle, the window what it has room for.
      const int x1 = std::max(rects[i].x, 0), y1 = std::max(rects[i].y, 0);
      const int x2 = std::min(rects[i].x + rects[i].width, width);
      const int y2 = std::min(rects[i].y + rects[i].height, height);
      if (x2 <= x1) continue;
      const int shownX2 = std::min(x2, w->width), shownY2 = std::min(y2, w->height);
      // The words are kept as given; readers make them opaque.
      const uint8_t* from = pixels + size_t(y1) * bytesPerRow + size_t(x1) * 4;
      uint8_t* shown =
          reinterpret_cast<uint8_t*>(w->pixels.data()) + (size_t(y1) * w->width + x1) * 4;
      const size_t shownStride = size_t(w->width) * 4, bytes = size_t(x2 - x1) * 4;
      if (mirror && shownX2 == x2 && shownY2 == y2) {
        CopyRowsTwice(from, bytesPerRow, shown, shownStride,
                      mirror->pixels + size_t(y1) * mirror->bytesPerRow + size_t(x1) * 4,
                      mirror->bytesPerRow, bytes, y2 - y1);
        continue;
      }
      if (mirror) CopyMirrorRows(pixels, bytesPerRow, width, height, &rects[i], 1, *mirror);
      for (int row = y1; row < shownY2 && x1 < shownX2; ++row) {
        std::memcpy(shown, from, size_t(shownX2 - x1) * 4);
        from += bytesPerRow;
        shown += shownStride;
      }
    }
    return true;
  }

  bool LendWindowPixels(NativeWindow* window, uint8_t** pixels, int* bytesPerRow, int* width,
                        int* height) override {
    HeadlessWindow* w = Of(window);
    *pixels = reinterpret_cast<uint8_t*>(w->pixels.data());
    *bytesPerRow = w->width * 4;
    *width = w->width;
    *height = w->height;
    return true;
  }
  bool ShowWindowPixels(NativeWindow*) override { return true; }

  bool ReadWindow(NativeWindow* window, uint32_t* out, int width, int height) override {
    HeadlessWindow* w = Of(window);
    for (int row = 0; row < height; ++row) {
      uint32_t* d = out + size_t(row) * width;
      for (int col = 0; col < width; ++col) {
        d[col] = row < w->height && col < w->width
                     ? w->pixels[size_t(row) * w->width + col] | 0xFF000000u
                     : 0xFF000000u;
      }
    }
    return true;
  }

  bool PeekMessage(WindowMessage* out) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    current_ = std::move(queue_.front());
    queue_.pop_front();
    currentNames_.clear();
    for (const std::string& f : current_.files) currentNames_.push_back(f.c_str());
    *out = current_.message;
    out->files = currentNames_.data();
    out->fileCount = static_cast<int32_t>(currentNames_.size());
    TrackCursor(*out);
    return true;
  }

  void WaitMessage(int timeoutMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    signal_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                     [this] { return woken_ || !queue_.empty(); });
    woken_ = false;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    signal_.notify_all();
  }

  bool Inject(const WindowMessage& m) override {
    std::vector<std::string> files;
    try {
      for (int i = 0; i < m.fileCount; ++i) files.emplace_back(m.files[i]);
    } catch (const std::bad_alloc&) {
      return false;
    }
    return Queue(m, std::move(files));
  }

 private:
  bool Queue(const WindowMessage& m, std::vector<std::string> files) {
    try {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(Queued{m, std::move(files)});
        queue_.back().message.files = nullptr;
        queue_.back().message.fileCount = 0;
      }
      signal_.notify_all();
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  void Deactivate() {
    if (!active_) return;
    WindowMessage m;
    m.message = kMsgActivate;
    m.window = active_;
    m.command = 0;
    Queue(m, {});
    active_ = nullptr;
  }

  // Mouse messages carry client positions; the cursor follows them.
  void TrackCursor(const WindowMessage& m) {
    if (m.message < kMsgMouseMove || m.message > kMsgMButtonUp || !m.window) return;
    cursorX_ = Of(m.window)->x + m.x;
    cursorY_ = Of(m.window)->y + m.y;
  }

  std::string error_;
  std::vector<VirtualMonitor> monitors_;
  std::vector<HeadlessWindow*> stack_;  // bottom first
  HeadlessWindow* active_ = nullptr;
  int cursorX_ = 0, cursorY_ = 0;

  std::mutex mutex_;
  std::condition_variable signal_;
  std::deque<Queued> queue_;
  bool woken_ = false;
  Queued current_;
  std::vector<const char*> currentNames_;
};

}  // namespace

WindowBackend* CreateHeadlessBackend() {
  auto* b = new (std::nothrow) HeadlessBackend;
  if (!b) return nullptr;
  try {
    if (b->Configure()) return b;
  } catch (const std::bad_alloc&) {
  }
  delete b;
  return nullptr;
}

}  // namespace tzx::platform
