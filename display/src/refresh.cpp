#include "refresh.h"

#include <algorithm>
#include <atomic>

#include "bindings.h"
#include "display_list.h"
#include "mode_switch.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using graphics::LockRecord;
using graphics::OutputRecord;
using platform::PixelRect;

// Short lists are presented from the stack.
constexpr int kStackRects = 16;

void Changed(OutputRecord* output, int x, int y, int width, int height) {
  auto* d = static_cast<DisplayRecord*>(output->owner);
  if (output == d->backOutput) {
    AddRect(&d->dirty, x, y, width, height, d->width, d->height, false);
    return;
  }
  AddRect(&d->pending, x, y, width, height, d->width, d->height, true);
  if (!d->refreshBusy) RefreshCore(d, 0);
}

bool TakeFullRepaint(DisplayRecord* d) {
  return std::atomic_ref<int32_t>(d->window->fullRepaint).exchange(0) != 0;
}

// The whole picture scaled into the window: into the window's own pixels
// where the back end lends them, through the display's scaled buffer where
// not.
int PresentScaled(DisplayRecord* d, int clientWidth, int clientHeight) {
  if (clientWidth < 1 || clientHeight < 1) return 0;
  const PixelRect whole{0, 0, d->width, d->height};
  ScaledPicture picture{nullptr, 0, d->width, d->height, (d->flags & kFlagSmoothScale) != 0};
  LockRecord lock;
  if (int rc = PicturePixels(d, &whole, 1, &lock, &picture.pixels, &picture.bytesPerRow)) {
    return rc;
  }
  int rc = ScaleIntoWindow(d, picture);
  if (rc == kWindowPixelsNotLent) {
    rc = 0;
    if (!d->scaledPixels || d->scaledWidth != clientWidth || d->scaledHeight != clientHeight) {
      HostFree(d->scaledPixels);
      d->scaledPixels =
          static_cast<uint32_t*>(HostAlloc(size_t(clientWidth) * clientHeight * 4, false));
      d->scaledWidth = d->scaledPixels ? clientWidth : 0;
      d->scaledHeight = d->scaledPixels ? clientHeight : 0;
      if (!d->scaledPixels) rc = kErrNoMemory;
    }
    auto* target = reinterpret_cast<uint8_t*>(d->scaledPixels);
    if (rc == 0) {
      rc = ScaleIntoView(picture, target, clientWidth * 4, clientWidth, clientHeight,
                         ViewIn(d, clientWidth, clientHeight));
    }
    if (rc == 0) {
      const PixelRect all{0, 0, clientWidth, clientHeight};
      PresentToWindow(d, PresentJob{target, clientWidth * 4, clientWidth, clientHeight, &all, 1});
    }
  }
  gBound.graphics->UnlockBitmap(&lock);
  return rc;
}

}  // namespace

bool ShownAsItIs(DisplayRecord* d, int* clientWidth, int* clientHeight) {
  if (!LibraryScales(d)) return true;
  LockDisplays();
  *clientWidth = d->window->clientWidth;
  *clientHeight = d->window->clientHeight;
  UnlockDisplays();
  const PictureView v = ViewIn(d, *clientWidth, *clientHeight);
  return v.x == 0 && v.y == 0 && v.width == d->width && v.height == d->height &&
         *clientWidth == d->width && *clientHeight == d->height;
}

int PresentRects(DisplayRecord* d, const PixelRect* rects, int count) {
  if (!d->window || !d->window->handle || count < 1) return 0;
  int clientWidth, clientHeight;
  if (!ShownAsItIs(d, &clientWidth, &clientHeight)) {
    return PresentScaled(d, clientWidth, clientHeight);
  }
  const uint8_t* pixels;
  int bytesPerRow;
  LockRecord lock;
  if (int rc = PicturePixels(d, rects, count, &lock, &pixels, &bytesPerRow)) return rc;
  PresentJob job{pixels, bytesPerRow, d->width, d->height, rects, count};
  PresentToWindow(d, job);
  gBound.graphics->UnlockBitmap(&lock);
  return 0;
}

const graphics::OutputOps kDisplayOutputOps = {Changed, nullptr};

int ScaleIntoView(const ScaledPicture& picture, uint8_t* target, int bytesPerRow, int width,
                  int height, const PictureView& v) {
  // Black rows above and below the picture, black columns left and right.
  auto black = [&](int x, int y, int w, int h) {
    for (int row = y; row < y + h; ++row) {
      std::fill_n(reinterpret_cast<uint32_t*>(target + size_t(row) * bytesPerRow) + x, w,
                  0xFF000000u);
    }
  };
  const int x = std::clamp(v.x, 0, width), y = std::clamp(v.y, 0, height);
  const int right = std::clamp(v.x + v.width, x, width);
  const int bottom = std::clamp(v.y + v.height, y, height);
  black(0, 0, width, y);
  black(0, bottom, width, height - bottom);
  black(0, y, x, bottom - y);
  black(right, y, width - right, bottom - y);
  // A view larger than the window (no room for the picture's aspect) shows
  // nothing rather than writing past it.
  if (right - x != v.width || bottom - y != v.height) return 0;
  return gBound.graphics->ScalePixels(picture.pixels, picture.bytesPerRow,
                                      target + size_t(y) * bytesPerRow + size_t(x) * 4, bytesPerRow,
                                      graphics::kFormatArgb32, picture.width, picture.height,
                                      v.width, v.height, picture.smooth);
}

int PicturePixels(DisplayRecord* d, const PixelRect* rects, int count, LockRecord* lockOut,
                  const uint8_t** pixels, int* bytesPerRow) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  LockRecord& lock = *lockOut;
  if (!g.LockBitmap(d->output.color, graphics::kLockReadOnly, &lock) || !lock.success) {
    return kErrLockBitmap;
  }
  if (lock.format == graphics::kFormatArgb32) {
    *pixels = lock.pixels;
    *bytesPerRow = lock.bytesPerRow;
    return 0;
  }
  if (!d->presentPixels) {
    d->presentPixels = static_cast<uint32_t*>(HostAlloc(size_t(d->width) * d->height * 4, false));
    if (!d->presentPixels) {
      g.UnlockBitmap(&lock);
      return kErrNoMemory;
    }
  }
  for (int i = 0; i < count; ++i) {
    const PixelRect& r = rects[i];
    for (int row = r.y; row < r.y + r.height; ++row) {
      const uint8_t* s = lock.pixels + size_t(row) * lock.bytesPerRow;
      uint32_t* t = d->presentPixels + size_t(row) * d->width + r.x;
      if (lock.format == graphics::kFormatByte) {
        for (int col = 0; col < r.width; ++col) t[col] = d->palette[s[r.x + col]];
      } else {
        g.ConvertRowToARGB(s + size_t(r.x) * lock.bytesPerPixel, lock.format, t, r.width);
      }
    }
  }
  *pixels = reinterpret_cast<const uint8_t*>(d->presentPixels);
  *bytesPerRow = d->width * 4;
  return 0;
}

int RefreshCore(DisplayRecord* d, uint32_t flags) {
  RectList& list = d->pending;
  if (!d->window || !d->window->handle) {
    ClearRectList(&list);
    return 0;
  }
  bool whole = (flags & kRefreshForce) || list.everything || TakeFullRepaint(d);
  if (!whole && list.count == 0) return 0;
  PixelRect stackRects[kStackRects];
  PixelRect* rects = stackRects;
  int count = 0;
  if (whole) {
    rects[count++] = PixelRect{0, 0, d->width, d->height};
  } else {
    MergeRects(list.rects, list.count);
    if (list.count > kStackRects) {
      rects = static_cast<PixelRect*>(HostAlloc(sizeof(PixelRect) * size_t(list.count), false));
      if (!rects) {
        rects = stackRects;
        rects[count++] = PixelRect{0, 0, d->width, d->height};
      }
    }
    if (count == 0) {
      for (int i = 0; i < list.count; ++i) {
        const DirtyRect& r = list.rects[i];
        if (r.x1 == kConsumed) continue;
        int x = r.x1, y = r.y1, w = r.x2 - r.x1 + 1, h = r.y2 - r.y1 + 1;
        if (gBound.graphics->ClipSourceToBounds(&x, &y, &w, &h, d->width, d->height)) {
          rects[count++] = PixelRect{x, y, w, h};
        }
      }
    }
  }
  ClearRectList(&list);
  int rc = PresentRects(d, rects, count);
  if (rects != stackRects) HostFree(rects);
  return rc;
}

int PresentRegion(DisplayRecord* d, int x, int y, int width, int height) {
  AddRect(&d->pending, x, y, width, height, d->width, d->height, true);
  return d->refreshBusy ? 0 : RefreshCore(d, 0);
}

int DrawToWindow(DisplayRecord* d, int x, int y, int width, int height) {
  if (!d->window || !d->window->handle) return 0;
  if (!gBound.graphics->ClipSourceToBounds(&x, &y, &width, &height, d->width, d->height)) return 0;
  PixelRect r{x, y, width, height};
  return PresentRects(d, &r, 1);
}

int DisplayOutput(DisplayRecord** out) {
  OutputRecord* o = *gBound.graphics->currentOutput;
  if (!o) return kErrNoOutput;
  switch (o->kind) {
    case graphics::kOutputDisplay:
      *out = static_cast<DisplayRecord*>(o->owner);
      return 0;
    case graphics::kOutputBgPic:
      return kErrOutputBgPic;
    case graphics::kOutputBrush:
      // No display state of this platform excludes brush outputs (1339).
      return o->mode == 1 ? kErrOutputBrushMode : kErrOutputBrush;
    case graphics::kOutputMask:
      return kErrOutputMask;
    case graphics::kOutputAlpha:
      return kErrOutputAlpha;
    default:
      return kErrNoOutput;
  }
}

}  // namespace tzx::display
