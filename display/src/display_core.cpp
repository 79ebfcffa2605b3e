#include "display_core.h"

#include <algorithm>
#include <cstring>

#include "bindings.h"
#include "display_list.h"
#include "mode_switch.h"
#include "refresh.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

using graphics::BitmapHandle;
using graphics::BrushRecordHead;

void FreePicture(BitmapHandle* bitmap) {
  if (!bitmap) return;
  if (bitmap->kind == graphics::kKindIndex) {
    gBound.graphics->FreeIndexBitmap(bitmap);
  } else {
    gBound.graphics->FreeBitmap(bitmap);
  }
}

int FindTexture(lua_State* L, const DisplayRecord* d, const BrushRecordHead** out) {
  const brush::BrushInterface* brushes = gBound.brush;
  if (!brushes || !brushes->FindBrush) return ErrorWithString(kErrSiblingAbsent, "brush");
  brush::BrushRecord* record;
  if (int rc = brushes->FindBrush(L, &d->backfill.textureBrush, &record, 0)) return rc;
  *out = reinterpret_cast<const BrushRecordHead*>(record);
  return 0;
}

// Pens of a palette texture drawn into a true-colour picture.
int BlitPensAsColors(const BrushRecordHead* b, int sx, int sy, BitmapHandle* target, int x, int y,
                     int width, int height) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::LockRecord source{}, dest{};
  if (!g.LockBitmap(b->chunky, graphics::kLockReadOnly, &source) || !source.success) {
    return kErrLockBitmap;
  }
  if (!g.LockBitmap(target, 0, &dest) || !dest.success) {
    g.UnlockBitmap(&source);
    return kErrLockBitmap;
  }
  for (int row = 0; row < height; ++row) {
    const uint8_t* s = source.pixels + size_t(sy + row) * source.bytesPerRow + sx;
    auto* t = reinterpret_cast<uint32_t*>(dest.pixels + size_t(y + row) * dest.bytesPerRow) + x;
    for (int col = 0; col < width; ++col) t[col] = 0xFF000000u | b->palette[s[col]];
  }
  g.UnlockBitmap(&dest);
  g.UnlockBitmap(&source);
  return 0;
}

int TileTexture(lua_State* L, DisplayRecord* d, BitmapHandle* target) {
  const BrushRecordHead* b;
  if (int rc = FindTexture(L, d, &b)) return rc;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  int bw = b->width, bh = b->height;
  if (bw < 1 || bh < 1) return 0;
  // Display pixel (0, 0) shows texture pixel (texturex, texturey).
  int startX = -(((d->backfill.textureX % bw) + bw) % bw);
  int startY = -(((d->backfill.textureY % bh) + bh) % bh);
  bool pens = target->kind == graphics::kKindIndex;
  for (int ty = startY; ty < d->height; ty += bh) {
    for (int tx = startX; tx < d->width; tx += bw) {
      int sx = 0, sy = 0, x = tx, y = ty, w = bw, h = bh;
      if (!g.ClipBlitToTarget(nullptr, &sx, &sy, &x, &y, &w, &h, bw, bh, d->width, d->height, 0)) {
        continue;
      }
      int rc;
      if (pens) {
        rc = g.CopyBitmapPixels(b->chunky, sx, sy, target, x, y, w, h);
      } else if (b->chunky) {
        rc = BlitPensAsColors(b, sx, sy, target, x, y, w, h);
      } else if (b->alpha) {
        rc = g.BlitBitmapAlpha(b->bitmap, b->alpha, sx, sy, target, x, y, w, h, 255);
      } else if (b->mask) {
        rc = g.BlitBitmapMasked(b->bitmap, b->mask, sx, sy, target, x, y, w, h);
      } else {
        rc = g.BlitBitmap(b->bitmap, sx, sy, target, x, y, w, h);
      }
      if (rc) return rc;
    }
  }
  return 0;
}

// Palette displays: from "palette" through the palette library, or the
// palette of a palette texture brush.
int MakePalette(lua_State* L, DisplayRecord* d) {
  if (d->paletteWanted) {
    d->palette = static_cast<uint32_t*>(HostAlloc(256 * sizeof(uint32_t)));
    if (!d->palette) return kErrNoMemory;
    PaletteTarget target{d->palette, 0, -1, nullptr, 0, 0, 0};
    if (int rc = gBound.palette->buildPalette(L, &d->paletteId, 0, -1, &target)) return rc;
    d->depth = target.depth;
    d->transparentPen = target.transparentPen;
  }
  if (d->backfill.fillStyle != kFillTexture) return 0;
  const BrushRecordHead* b;
  if (int rc = FindTexture(L, d, &b)) return rc;
  if (!b->chunky) return 0;
  if (!d->palette) {
    d->palette = static_cast<uint32_t*>(HostAlloc(256 * sizeof(uint32_t)));
    if (!d->palette) return kErrNoMemory;
    std::memcpy(d->palette, b->palette, 256 * sizeof(uint32_t));
    d->depth = b->depth;
  } else if (b->depth > d->depth) {
    return kErrDepthExceeds;
  }
  return 0;
}

// The display's picture at its size: filled with its background, or, with
// `keep`, black (pen 0) with the old picture's overlap kept.
int CreatePicture(lua_State* L, DisplayRecord* d, const BitmapHandle* keep = nullptr,
                  int keepWidth = 0, int keepHeight = 0) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  BitmapHandle* bitmap = d->depth > 0 ? g.AllocIndexBitmap(d->width, d->height, 1)
                                      : g.AllocBitmap(d->width, d->height, 0, nullptr);
  if (!bitmap) return d->depth > 0 ? kErrAllocIndexBitmap : kErrAllocBitmap;
  int rc;
  if (keep) {
    int w = std::min(d->width, keepWidth), h = std::min(d->height, keepHeight);
    rc = g.FillBitmapRect(bitmap, 0, 0, d->width, d->height, 0);
    if (rc == 0) {
      rc = d->depth > 0 ? g.CopyBitmapPixels(keep, 0, 0, bitmap, 0, 0, w, h)
                        : g.BlitBitmap(keep, 0, 0, bitmap, 0, 0, w, h);
    }
  } else {
    rc = FillBackground(L, d, bitmap);
  }
  if (rc) {
    FreePicture(bitmap);
    return rc;
  }
  FreePicture(d->output.color);
  HostFree(d->presentPixels);
  d->presentPixels = nullptr;
  graphics::OutputRecord& o = d->output;
  o.ops = &kDisplayOutputOps;
  o.kind = graphics::kOutputDisplay;
  o.object = d->header.id;
  o.owner = d;
  o.color = bitmap;
  o.width = d->width;
  o.height = d->height;
  o.paletteDepth = d->depth;
  o.palette = d->palette;
  o.layers = (d->flags2 & kFlag2Layers) != 0;
  return 0;
}

// Tells the layers library that the display's picture changes.
void TellLayers(DisplayRecord* d, int32_t change) {
  if (gBound.layers && gBound.layers->displayChanged) gBound.layers->displayChanged(d, change);
}

void ReleaseResources(DisplayRecord* d) {
  FreePicture(d->output.color);
  d->output.color = nullptr;
  if (d->backOutput) FreePicture(d->backOutput->color);
  HostFree(d->backOutput);
  d->backOutput = nullptr;
  FreeRectList(&d->dirty);
  HostFree(d->flipRects);
  d->flipRects = nullptr;
  FreeRectList(&d->pending);
  HostFree(d->palette);
  d->palette = nullptr;
  HostFree(d->presentPixels);
  d->presentPixels = nullptr;
  HostFree(d->scaledPixels);
  d->scaledPixels = nullptr;
  HostFree(d->window);
  d->window = nullptr;
}

bool AnotherDisplayOpen(const DisplayRecord* d) {
  for (ObjectHeader* h = gDisplayList; h; h = h->next) {
    auto* other = reinterpret_cast<const DisplayRecord*>(h);
    if (other != d && IsOpen(other)) return true;
  }
  return false;
}

}  // namespace

int FillBackground(lua_State* L, DisplayRecord* d, BitmapHandle* target) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint32_t color = d->depth > 0 ? uint32_t(d->backfill.pen) : d->backfill.color;
  if (int rc = g.FillBitmapRect(target, 0, 0, d->width, d->height, color)) return rc;
  switch (d->backfill.fillStyle) {
    case kFillTexture:
      return TileTexture(L, d, target);
    case kFillGradient:
      if (target->kind == graphics::kKindIndex || !g.CreateGradientBitmap) return kErrNotOnPlatform;
      return g.CreateGradientBitmap(target, 0, 0, d->width, d->height, &d->backfill.gradient);
    default:
      return 0;
  }
}

int RebuildPicture(lua_State* L, DisplayRecord* d, int width, int height, bool keepPicture) {
  const int oldWidth = d->width, oldHeight = d->height;
  // The window procedure maps mouse positions with the size.
  LockDisplays();
  d->width = width;
  d->height = height;
  UnlockDisplays();
  // Layers lift off the old picture and are drawn onto the new one (or onto
  // the old one again).
  TellLayers(d, kLayersBeforeResize);
  int rc = CreatePicture(L, d, keepPicture ? d->output.color : nullptr, oldWidth, oldHeight);
  if (rc) {
    LockDisplays();
    d->width = oldWidth;
    d->height = oldHeight;
    UnlockDisplays();
  }
  TellLayers(d, kLayersAfterResize);
  return rc;
}

int CreateOutputBitmaps(DisplayRecord* d) {
  return CreatePicture(nullptr, d);
}

int CreateIndexOutput(DisplayRecord* d) {
  if (d->depth < 1) return kErrRange;
  return CreatePicture(nullptr, d);
}

int CreateDisplayCore(lua_State* L, const DisplayRecord& options, const ObjectId& id,
                      DisplayRecord** out) {
  auto* d = AllocRecord<DisplayRecord>();
  if (!d) return kErrNoMemory;
  *d = options;
  d->pins = 0;
  d->header.next = nullptr;
  d->header.objectData = nullptr;
  d->window = AllocRecord<WindowData>();
  int rc = d->window && InitRectList(&d->pending) ? 0 : kErrNoMemory;
  if (rc == 0) {
    d->window->dropFiles = 1;
    rc = MakePalette(L, d);
  }
  if (rc == 0) {
    AssignObjectId(&d->header, kTypeDisplay, id);
    rc = CreatePicture(L, d);
  }
  if (rc) {
    ReleaseResources(d);
    HostFree(d);
    return rc;
  }
  LinkDisplay(d);
  *out = d;
  return 0;
}

void DestroyDisplay(lua_State* L, DisplayRecord* d) {
  if (d->window && d->window->handle) CloseWindow(d);
  SetDisplayState(d, kStateClosed);
  UnlinkDisplay(d);
  TellLayers(d, kLayersDisplayGone);
  ReleaseResources(d);
  ForgetAndFree(L, &d->header);
}

int FreeDisplayCore(lua_State* L, DisplayRecord* d) {
  if (d == CurrentDisplay()) return kErrDisplayIsCurrent;
  if (d->refreshBusy || d->doubleBuffered || d->pins) return kErrFreeBusyDisplay;
  DestroyDisplay(L, d);
  return 0;
}

bool ResolveWindowPosition(const DisplayRecord* d, int x, int y, int* outX, int* outY) {
  platform::ScreenRect monitor;
  if (!MonitorRect(d->monitor, &monitor)) return false;
  *outX = gBound.graphics->ResolveX(x, d->width, monitor.width, 0.0) + monitor.x;
  *outY = gBound.graphics->ResolveY(y, d->height, monitor.height, 0.0) + monitor.y;
  return true;
}

int OpenDisplayCore(lua_State* L, DisplayRecord* d, uint32_t flags) {
  if (IsOpen(d)) return kErrRange;
  platform::WindowParams params{};
  if (!ResolveWindowPosition(d, d->x, d->y, &params.x, &params.y)) return kErrUnknownMonitor;
  params.title = d->title;
  WindowSizeOf(d, &params.width, &params.height);
  params.flags = WindowFlagsOf(d);
  if (flags & kOpenNoActivate) params.flags |= platform::kWindowNoFocus;
  if (int rc = OpenWindow(d, params)) return rc;
  SetDisplayState(d, kStateOpen);
  // A display made for full screen ("mode", "scrwidth", "scrheight") opens
  // in it.
  if (IsFullscreenMode(d->mode)) {
    const bool sized = d->screenWidth > 0 && d->screenHeight > 0;
    ModeRequest r{d->mode, sized ? d->screenWidth : 0, sized ? d->screenHeight : 0, 0};
    if (int rc = ChangeDisplayModeCore(L, d, r)) {
      CloseWindow(d);
      SetDisplayState(d, kStateClosed);
      d->fullscreenMonitor = 0;
      return rc;
    }
  }
  RefreshCore(d, kRefreshForce);
  if (!(flags & kOpenNoSelect)) SelectDisplayCore(d, 1);
  return 0;
}

int CloseDisplayCore(DisplayRecord* d) {
  if (!IsOpen(d)) return kErrRange;
  if (d->refreshBusy || d->doubleBuffered || d->pins) return kErrCloseDisplay;
  if (d == CurrentDisplay() && !AnotherDisplayOpen(d)) return kErrCloseDisplay;
  CloseWindow(d);
  SetDisplayState(d, kStateClosed);
  // Closing the window gave the monitor its mode back.
  d->fullscreenMonitor = 0;
  return 0;
}

void SelectDisplayCore(DisplayRecord* d, int flag) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::OutputRecord* target = DrawingOutput(d);
  graphics::OutputRecord* previous = *g.currentOutput;
  if (previous == target && *g.currentDisplay == target) return;
  if (previous && previous->kind != graphics::kOutputDisplay && previous->ops &&
      previous->ops->released) {
    previous->ops->released(previous);
  }
  if (!flag && DisplayStateOf(d) == kStateOpen) ActivateWindow(d);
  *g.currentOutput = target;
  *g.currentDisplay = target;
  *g.outputFormat = d->depth > 0 ? graphics::kFormatByte : graphics::kFormatArgb32;
}

int ActivateDisplayCore(DisplayRecord* d, int) {
  if (!IsOpen(d)) return kErrDisplayClosed;
  if (DisplayStateOf(d) == kStateMinimized) {
    ShowWindow(d, platform::ShowCommand::kRestore);
    SetDisplayState(d, kStateOpen);
  }
  ActivateWindow(d);
  return 0;
}

int ApplyDisplayOptions(lua_State* L, DisplayRecord* d, const DisplayRecord& o) {
  bool resize = o.width != d->width || o.height != d->height;
  if (resize && d->doubleBuffered) return kErrDoubleBufferActive;
  bool moved = o.x != d->x || o.y != d->y;
  int oldWindow[2];
  WindowSizeOf(d, &oldWindow[0], &oldWindow[1]);
  const bool wasScaled = LibraryScales(d);
  if (resize) {
    BackfillStyle oldBackfill = d->backfill;
    d->backfill = o.backfill;
    if (int rc = RebuildPicture(L, d, o.width, o.height, false)) {
      d->backfill = oldBackfill;
      return rc;
    }
  }
  // The window procedure reads the scale state.
  LockDisplays();
  d->flags = o.flags;
  d->x = o.x;
  d->y = o.y;
  std::memcpy(d->title, o.title, sizeof d->title);
  d->scaleFactor = o.scaleFactor;
  d->scaleMode = o.scaleMode;
  d->autoScale = o.autoScale;
  d->layerScale = o.layerScale;
  d->scaleWidth = o.scaleWidth;
  d->scaleHeight = o.scaleHeight;
  UnlockDisplays();
  d->monitor = o.monitor;
  d->orientation = o.orientation;
  d->immersiveMode = o.immersiveMode;
  d->backfill = o.backfill;
  if (!d->window->handle) return 0;
  UpdateWindowTitle(d);
  UpdateWindowFlags(d);
  // A new size or scale gives the window the size they ask for.
  int newWindow[2];
  WindowSizeOf(d, &newWindow[0], &newWindow[1]);
  const bool rescaled =
      LibraryScales(d) != wasScaled || newWindow[0] != oldWindow[0] || newWindow[1] != oldWindow[1];
  if ((resize || rescaled) && !d->fullscreenMonitor) FitWindowToDisplay(d);
  if (moved) {
    int x, y;
    if (ResolveWindowPosition(d, d->x, d->y, &x, &y)) MoveWindowTo(d, x, y);
  }
  return resize || rescaled ? RefreshCore(d, kRefreshForce) : 0;
}

}  // namespace tzx::display
