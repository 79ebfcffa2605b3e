// The headless window back end: windows are pixel stores in memory on a
// virtual 1920 × 1080 desktop, and their messages are the ones tests inject
// plus those a real window system would send for the back end's own moves,
// resizes and activations. Deterministic, and needs no window system.
#include <algorithm>
#include <chrono>
#include <condition_variable>
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
  std::vector<uint32_t> pixels;  // 0xAARRGGBB as presented, width per row
};

HeadlessWindow* Of(NativeWindow* w) {
  return static_cast<HeadlessWindow*>(w);
}

constexpr int kDesktopWidth = 1920, kDesktopHeight = 1080;

struct Queued {
  WindowMessage message;
  std::vector<std::string> files;
};

class HeadlessBackend final : public WindowBackend {
 public:
  const char* Name() const override { return "headless"; }
  const char* LastError() const override { return error_.c_str(); }

  int MonitorCount() override { return 1; }
  bool MonitorRect(int monitor, ScreenRect* out) override {
    if (monitor != 0) return false;
    *out = {0, 0, kDesktopWidth, kDesktopHeight};
    return true;
  }
  int ScreenDepth() override { return 32; }

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
    HeadlessWindow* w = Of(window);
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
               const PixelRect* rects, int count) override {
    HeadlessWindow* w = Of(window);
    int right = std::min(width, w->width), bottom = std::min(height, w->height);
    for (int i = 0; i < count; ++i) {
      int x1 = std::max(rects[i].x, 0), y1 = std::max(rects[i].y, 0);
      int x2 = std::min(rects[i].x + rects[i].width, right);
      int y2 = std::min(rects[i].y + rects[i].height, bottom);
      if (x2 <= x1) continue;
      // The words are kept as given; readers make them opaque.
      for (int row = y1; row < y2; ++row) {
        std::memcpy(&w->pixels[size_t(row) * w->width + x1],
                    pixels + size_t(row) * bytesPerRow + size_t(x1) * 4, size_t(x2 - x1) * 4);
      }
    }
    return true;
  }

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
  return new (std::nothrow) HeadlessBackend;
}

}  // namespace tzx::platform
