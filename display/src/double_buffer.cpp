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
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* back = d->backOutput->color;
  BitmapHandle* front = d->output.color;
  RectList& dirty = d->dirty;
  // What was copied is shown as it is: the rectangles are merged already.
  platform::PixelRect* copied = d->flipRects;
  int count = 0;
  int rc = 0;
  if (dirty.everything) {
    rc = CopyPicture(back, front, 0, 0, d->width, d->height);
    copied[count++] = platform::PixelRect{0, 0, d->width, d->height};
  } else {
    MergeRects(dirty.rects, dirty.count);
    // Pictures of one true-colour format are locked once and their rows
    // copied as they are.
    graphics::LockRecord from{}, to{};
    const bool rows = back->kind == graphics::kKindColor &&
                      g.LockBitmap(back, graphics::kLockReadOnly, &from) && from.success &&
                      g.LockBitmap(front, 0, &to) && to.success && from.format == to.format;
    if (!rows) {
      if (from.success) g.UnlockBitmap(&from);
      if (to.success) g.UnlockBitmap(&to);
    }
    for (int i = 0; i < dirty.count && rc == 0; ++i) {
      const DirtyRect& r = dirty.rects[i];
      if (r.x1 == kConsumed) continue;
      int x = r.x1, y = r.y1, w = r.x2 - r.x1 + 1, h = r.y2 - r.y1 + 1;
      if (!g.ClipSourceToBounds(&x, &y, &w, &h, d->width, d->height) || w <= 0 || h <= 0) {
        continue;
      }
      if (rows) {
        const size_t offset = size_t(x) * from.bytesPerPixel,
                     bytes = size_t(w) * from.bytesPerPixel;
        for (int row = y; row < y + h; ++row) {
          std::memcpy(to.pixels + ptrdiff_t(row) * to.bytesPerRow + offset,
                      from.pixels + ptrdiff_t(row) * from.bytesPerRow + offset, bytes);
        }
      } else {
        rc = CopyPicture(back, front, x, y, w, h);
      }
      copied[count++] = platform::PixelRect{x, y, w, h};
    }
    if (rows) {
      g.UnlockBitmap(&from);
      g.UnlockBitmap(&to);
    }
  }
  ClearRectList(&dirty);
  if (rc == 0 && sync && !VWaitDisabled() && IsOpen(d)) rc = VWaitCore(L, d);
  int shown = PresentRects(d, copied, count);
  return rc ? rc : shown;
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
