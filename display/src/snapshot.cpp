#include "snapshot.h"

#include <algorithm>

#include "bindings.h"
#include "display_list.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

uint32_t* AllocPixels(int width, int height) {
  return static_cast<uint32_t*>(HostAlloc(size_t(width) * height * 4, false));
}

int Save(const char* file, const ImagePlane& colors, int width, int height, int32_t transparent,
         const graphics::SaveOptions& o) {
  ImageSaveOptions fill{o.fillColor};
  return gBound.imageio->saveBrush(
      o.format, &colors, width, height, file, o.adapter[0] ? o.adapter : nullptr, o.userTags,
      nullptr, transparent, nullptr, nullptr, nullptr, 0, -1, o.quality, &fill, 0);
}

// The display's own picture: pens with their palette, or colours in place.
int SaveDisplay(DisplayRecord* d, const char* file, int32_t transparent,
                const graphics::SaveOptions& o) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::LockRecord lock{};
  if (!g.LockBitmap(d->output.color, graphics::kLockReadOnly, &lock) || !lock.success) {
    return kErrLockBitmap;
  }
  ImagePlane plane{lock.pixels, lock.bytesPerRow};
  int rc = -1;
  if (lock.format == graphics::kFormatByte) {
    ImageSaveOptions fill{o.fillColor};
    rc = gBound.imageio->saveBrush(o.format, nullptr, d->width, d->height, file,
                                   o.adapter[0] ? o.adapter : nullptr, o.userTags, nullptr, -1,
                                   nullptr, &plane, d->palette, d->depth, d->transparentPen,
                                   o.quality, &fill, 0);
  } else if (lock.format == graphics::kFormatArgb32) {
    rc = Save(file, plane, d->width, d->height, transparent, o);
  }
  g.UnlockBitmap(&lock);
  if (rc >= 0) return rc;
  uint32_t* pixels =
      g.BitmapToARGBArray(d->output.color, nullptr, nullptr, 0, 0, d->width, d->height);
  if (!pixels) return kErrNoMemory;
  rc = Save(file, ImagePlane{pixels, d->width * 4}, d->width, d->height, transparent, o);
  HostFree(pixels);
  return rc;
}

}  // namespace

void DesktopRect(int rect[4]) {
  int monitors = MonitorCount();
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  for (int i = 1; i <= monitors; ++i) {
    platform::ScreenRect r;
    if (!MonitorRect(i, &r)) continue;
    if (x2 == x1) {
      x1 = r.x, y1 = r.y, x2 = r.x + r.width, y2 = r.y + r.height;
    } else {
      x1 = std::min(x1, r.x), y1 = std::min(y1, r.y);
      x2 = std::max(x2, r.x + r.width), y2 = std::max(y2, r.y + r.height);
    }
  }
  rect[0] = x1;
  rect[1] = y1;
  rect[2] = x2 - x1;
  rect[3] = y2 - y1;
}

int SaveSnapshotCore(DisplayRecord* d, const char* file, int kind, int32_t transparent,
                     const graphics::SaveOptions& o) {
  if (!gBound.imageio) return ErrorWithString(kErrSiblingAbsent, "imageio");
  if (!d && kind != kSnapDesktop) return kErrNoOutput;
  if (kind == kSnapDisplay) return SaveDisplay(d, file, transparent, o);
  int rect[4];
  if (kind == kSnapWindow) {
    if (!IsOpen(d)) return kErrDisplayClosed;
    WindowRect(d, rect);
  } else if (kind == kSnapDesktop) {
    DesktopRect(rect);
  } else {
    return kErrRange;
  }
  if (rect[2] < 1 || rect[3] < 1) return kErrSizeTooSmall;
  uint32_t* pixels = AllocPixels(rect[2], rect[3]);
  if (!pixels) return kErrNoMemory;
  int rc = kind == kSnapWindow ? ReadWindowPixels(d, pixels, rect[2], rect[3])
                               : ReadScreenPixels(rect, pixels);
  if (rc == 0) rc = Save(file, ImagePlane{pixels, rect[2] * 4}, rect[2], rect[3], transparent, o);
  HostFree(pixels);
  return rc;
}

int GrabDesktopCore(lua_State* L, const ObjectId& id, const int rect[4], ObjectId* outId) {
  const brush::BrushInterface* brushes = gBound.brush;
  if (!brushes || !brushes->AddBrushRecord) return ErrorWithString(kErrSiblingAbsent, "brush");
  if (rect[2] < 1 || rect[3] < 1) return kErrSizeTooSmall;
  uint32_t* pixels = AllocPixels(rect[2], rect[3]);
  if (!pixels) return kErrNoMemory;
  int rc = ReadScreenPixels(rect, pixels);
  graphics::BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  if (rc == 0) {
    rc = gBound.graphics->ConvertBitmapSet(pixels, 0xFFFFFFFFu, rect[2], rect[3], rect[2], 0, 0,
                                           nullptr, &color, &mask, &alpha);
  }
  HostFree(pixels);
  if (rc) return rc;
  // A numbered brush that exists already gives way to the new one.
  if (!id.pointer && brushes->FreeBrushById) {
    if ((rc = brushes->FreeBrushById(L, &id, 0))) {
      gBound.graphics->FreeBitmapSet(&color, &mask, &alpha);
      return rc;
    }
  }
  brush::NewBrush nb{};
  nb.id = id;
  nb.width = rect[2];
  nb.height = rect[3];
  nb.rowWidth = rect[2];
  nb.bitmap = color;
  nb.mask = mask;
  nb.alpha = alpha;
  nb.transparentPen = -1;
  nb.depth = 24;
  brush::BrushRecord* record;
  if ((rc = brushes->AddBrushRecord(&nb, &record))) {
    gBound.graphics->FreeBitmapSet(&color, &mask, &alpha);
    return rc;
  }
  *outId = reinterpret_cast<const ObjectHeader*>(record)->id;
  return 0;
}

}  // namespace tzx::display
