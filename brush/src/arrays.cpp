#include "arrays.h"

#include "bindings.h"
#include "plane_lock.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {

namespace {

constexpr int64_t kMaxArrayEntries = int64_t{1} << 28;

}  // namespace

int ArraySize(int width, int height, int64_t* count) {
  if (width < 1 || height < 1) return kErrSizeTooSmall;
  *count = int64_t{width} * height;
  return *count > kMaxArrayEntries ? kErrRange : 0;
}

int BrushColors(const BrushRecord& b, bool withAlpha, uint32_t** out) {
  if (!b.bitmap && !b.chunky) return kErrNotAllowed;
  const int64_t count = int64_t{b.width} * b.height;
  uint32_t* values = nullptr;
  if (b.chunky) {
    PlaneLock l;
    if (!LockPlane(b.chunky, false, &l)) return kErrLockBitmap;
    values = static_cast<uint32_t*>(HostAlloc(static_cast<size_t>(count) * 4, false));
    if (values) {
      for (int y = 0; y < b.height; ++y) {
        const uint8_t* pens = PlaneRow(l, y);
        uint32_t* row = values + static_cast<size_t>(y) * b.width;
        for (int x = 0; x < b.width; ++x) {
          const uint32_t opaque = pens[x] == b.transparentPen ? 0 : 0xFF000000;
          row[x] = (b.palette[pens[x]] & 0xFFFFFF) | (withAlpha ? opaque : 0);
        }
      }
    }
    UnlockPlane(&l);
    if (!values) return kErrNoMemory;
  } else {
    const bool plane = withAlpha && (b.alpha || b.mask);
    values = gBound.graphics->BitmapToARGBArray(b.bitmap, plane ? b.mask : nullptr,
                                                plane ? b.alpha : nullptr, 0, 0, b.width, b.height);
    if (!values) return kErrLockBitmap;
    // Without a plane every pixel is opaque.
    const uint32_t top = plane ? 0xFF000000 : 0;
    const uint32_t set = withAlpha && !plane ? 0xFF000000 : 0;
    for (int64_t i = 0; i < count; ++i) values[i] = (values[i] & (0xFFFFFF | top)) | set;
  }
  *out = values;
  return 0;
}

int ColorsToPlanes(const uint32_t* values, int width, int height, bool alpha, uint32_t key,
                   NewBrush* n) {
  if (int rc = gBound.graphics->ConvertBitmapSet(values, key, width, height, width, 0,
                                                 alpha ? graphics::kConvertAlphaFromTopByte : 0,
                                                 nullptr, &n->bitmap, &n->mask, &n->alpha)) {
    return rc;
  }
  n->width = n->rowWidth = width;
  n->height = height;
  n->transparentPen = n->mask ? static_cast<int32_t>(key & 0xFFFFFF) : kNoPen;
  n->depth = n->mask || n->alpha ? 32 : 24;
  return 0;
}

int CheckPens(const uint32_t* values, int64_t count, int depth) {
  const uint32_t pens = static_cast<uint32_t>(PenCount(depth));
  for (int64_t i = 0; i < count; ++i) {
    if (values[i] >= pens) return kErrPenRange;
  }
  return 0;
}

int WritePens(BrushRecord* b, const uint32_t* values) {
  PlaneLock l{};
  if (!LockPlane(b->chunky, true, &l)) return kErrLockBitmap;
  for (int y = 0; y < b->height; ++y) {
    uint8_t* row = PlaneRow(l, y);
    const uint32_t* in = values + static_cast<size_t>(y) * b->width;
    for (int x = 0; x < b->width; ++x) row[x] = static_cast<uint8_t>(in[x]);
  }
  UnlockPlane(&l);
  return 0;
}

}  // namespace tzx::brush
