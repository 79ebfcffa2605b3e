#include "double_buffer.h"

#include <cstring>

#include "bindings.h"
#include "display_list.h"
#include "frame_pacing.h"
#include "refresh.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/siblings/bgpic.h"
#include "tzx/siblings/video.h"
#include "window_requests.h"

namespace tzx::display {

namespace {

using graphics::BitmapHandle;
using graphics::OutputRecord;

BitmapHandle* NewPicture(const DisplayRecord* d) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  return d->depth > 0 ? g.AllocIndexBitmap(d->width, d->height, 1)
                      : g.AllocBitmap(d->width, d->height, 0, nullptr);
}

// Palette pictures copy pens; true-colour ones go through BlitOrFill.
int CopyPicture(const BitmapHandle* source, BitmapHandle* target, int x, int y, int width,
                int height) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  return source->kind == graphics::kKindIndex
             ? g.CopyBitmapPixels(source, x, y, target, x, y, width, height)
             : g.BlitOrFill(source, x, y, target, x, y, width, height, 0);
}

// Moves the graphics library's current output and display from one output of
// the display to the other.
void Retarget(OutputRecord* from, OutputRecord* to) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (*g.currentOutput == from) *g.currentOutput = to;
  if (*g.currentDisplay == from) *g.currentDisplay = to;
}

}  // namespace

int BeginDoubleBufferCore(lua_State*, DisplayRecord* d, int) {
  if (d->doubleBuffered) return kErrDoubleBufferActive;
  if (d->refreshBusy) return kErrDisplayBusy;
  if (d->flags2 & kFlag2Layers) return kErrDoubleBufferState;
  if (auto* bgpic = gBound.bgpic; bgpic && bgpic->busy(d)) {
    return kErrBgPicBusy;
  }
  if (auto* video = gBound.video; video && video->playing(d, 0)) {
    return kErrDisplayInUse;
  }
  // No display adapter offers hardware double buffers here: a hardware
  // request gets the software one.
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* back = NewPicture(d);
  if (!back) return d->depth > 0 ? kErrAllocIndexBitmap : kErrAllocBitmap;
  if (!d->backOutput) d->backOutput = AllocRecord<OutputRecord>();
  // The dirty list never grows, so Flip's list of copied rectangles is made
  // once at its full size.
  if (!d->flipRects) {
    d->flipRects = static_cast<platform::PixelRect*>(
        HostAlloc(sizeof(platform::PixelRect) * kRectListBlock, false));
  }
  if (!d->backOutput || !d->flipRects || !InitRectList(&d->dirty)) {
    g.FreeBitmap(back);
    return kErrNoMemory;
  }
  // Both pictures start black; the window keeps its picture until the first
  // Flip.
  g.FillBitmapRect(back, 0, 0, d->width, d->height, 0);
  g.FillBitmapRect(d->output.color, 0, 0, d->width, d->height, 0);
  *d->backOutput = d->output;
  d->backOutput->color = back;
  d->doubleBuffered = 1;
  Retarget(&d->output, d->backOutput);
  return 0;
}

int FlipCore(lua_State* L, DisplayRecord* d, int sync) {
  if (!d->doubleBuffered) return kErrNoDoubleBuffer;
  // The frame is waited for before any picture is taken: the events handled
  // meanwhile run script code, which may draw, or end the double buffer.
  int waited = 0;
  if (sync && !VWaitDisabled() && IsOpen(d)) {
    waited = VWaitCore(L, d);
    if (!d->doubleBuffered) return waited ? waited : kErrNoDoubleBuffer;
  }
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* back = d->backOutput->color;
  BitmapHandle* front = d->output.color;
  RectList& dirty = d->dirty;
  // What is copied is shown as it is: the rectangles are merged already.
  platform::PixelRect* copied = d->flipRects;
  int count = 0;
  if (dirty.everything) {
    copied[count++] = platform::PixelRect{0, 0, d->width, d->height};
  } else {
    MergeRects(dirty.rects, dirty.count);
    for (int i = 0; i < dirty.count; ++i) {
      const DirtyRect& r = dirty.rects[i];
      if (r.x1 == kConsumed) continue;
      int x = r.x1, y = r.y1, w = r.x2 - r.x1 + 1, h = r.y2 - r.y1 + 1;
      if (g.ClipSourceToBounds(&x, &y, &w, &h, d->width, d->height) && w > 0 && h > 0) {
        copied[count++] = platform::PixelRect{x, y, w, h};
      }
    }
  }
  ClearRectList(&dirty);
  // Pictures of one true-colour format are locked once and their rows copied
  // as they are; to a window that shows the picture as it is, in the same
  // pass as the present, while each row is in cache.
  graphics::LockRecord from{}, to{};
  const bool rows = back->kind == graphics::kKindColor &&
                    g.LockBitmap(back, graphics::kLockReadOnly, &from) && from.success &&
                    g.LockBitmap(front, 0, &to) && to.success && from.format == to.format;
  if (!rows) {
    if (from.success) g.UnlockBitmap(&from);
    if (to.success) g.UnlockBitmap(&to);
  }
  int rc = 0;
  bool presented = false;
  int clientWidth, clientHeight;
  if (rows && from.format == graphics::kFormatArgb32 && count > 0 && d->window &&
      d->window->handle && ShownAsItIs(d, &clientWidth, &clientHeight)) {
    const platform::PixelMirror mirror{to.pixels, to.bytesPerRow};
    presented = PresentToWindow(
        d, PresentJob{from.pixels, from.bytesPerRow, d->width, d->height, copied, count, &mirror});
  }
  for (int i = 0; i < count && !presented && rc == 0; ++i) {
    const platform::PixelRect& r = copied[i];
    if (!rows) {
      rc = CopyPicture(back, front, r.x, r.y, r.width, r.height);
      continue;
    }
    const size_t offset = size_t(r.x) * from.bytesPerPixel,
                 bytes = size_t(r.width) * from.bytesPerPixel;
    for (int row = r.y; row < r.y + r.height; ++row) {
      std::memcpy(to.pixels + ptrdiff_t(row) * to.bytesPerRow + offset,
                  from.pixels + ptrdiff_t(row) * from.bytesPerRow + offset, bytes);
    }
  }
  if (rows) {
    g.UnlockBitmap(&from);
    g.UnlockBitmap(&to);
  }
  if (presented) return waited;
  int shown = PresentRects(d, copied, count);
  return rc ? rc : waited ? waited : shown;
}

int EndDoubleBufferCore(lua_State*, DisplayRecord* d) {
  if (!d->doubleBuffered) return kErrNoDoubleBuffer;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* back = d->backOutput->color;
  int rc = CopyPicture(back, d->output.color, 0, 0, d->width, d->height);
  if (back->kind == graphics::kKindIndex) {
    g.FreeIndexBitmap(back);
  } else {
    g.FreeBitmap(back);
  }
  d->backOutput->color = nullptr;
  FreeRectList(&d->dirty);
  HostFree(d->flipRects);
  d->flipRects = nullptr;
  d->doubleBuffered = 0;
  Retarget(d->backOutput, &d->output);
  int shown = RefreshCore(d, kRefreshForce);
  return rc ? rc : shown;
}

}  // namespace tzx::display
