// What changes of the graphics back end and of displays do to brushes:
// rebuilding dropped planes, and hardware brushes that leave and come back.
#include <algorithm>

#include "bindings.h"
#include "glue.h"
#include "masks.h"
#include "slots.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::brush {

namespace {

// The back end binds hardware bitmaps to displays.
constexpr uint32_t kAdapterDisplayBitmaps = 0x20;

bool HardwareBitmapsAvailable() {
  return gBound.graphics->AdapterBitmapFlags(graphics::kAllocVideo) & graphics::kAllocVideo;
}

void ClearHardware(BrushRecord* b) {
  b->hardware = 0;
  b->hwFlags = 0;
  b->displayKey = nullptr;
  b->displayId = ObjectId{};
}

// Takes over new planes and tells whether they ended up as hardware.
void UsePlanes(BrushRecord* b, BitmapHandle* color, BitmapHandle* mask, BitmapHandle* alpha,
               void* displayKey) {
  b->bitmap = color;
  b->mask = mask;
  b->alpha = alpha;
  b->width = color->width;
  b->height = color->height;
  if (gBound.graphics->GetBitmapAttr(color, graphics::kAttrVideo)) {
    b->hardware = 1;
    b->displayKey = displayKey;
    b->hwFlags = (mask ? kHwHasMask : 0) | (alpha ? kHwHasAlpha : 0);
  } else {
    ClearHardware(b);
  }
  UpdateTrueColorDepth(b);
}

bool AnyTranslucent(const uint32_t* pixels, int width, int height, int rowLength) {
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * rowLength;
    for (int x = 0; x < width; ++x) {
      if ((row[x] >> 24) != 0xFF) return true;
    }
  }
  return false;
}

// Planes again from the picture behind a brush that lost them.
int RebuildPlanes(BrushRecord* b, bool hardware) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  ImageObject* image = b->imageObject;
  void* key = nullptr;
  if (hardware) {
    if (int rc = DisplayKeyFor(&b->displayId, &key)) return rc;
  }
  BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
  int rc;
  if (image->draw) {
    rc = g.RasterizeImageObject(image, b->width, b->height, nullptr, &color, &mask, &alpha);
  } else {
    int x = std::clamp(b->sourceX, 0, image->width - 1);
    int y = std::clamp(b->sourceY, 0, image->height - 1);
    int w = std::min(b->sourceWidth > 0 ? b->sourceWidth : image->width, image->width - x);
    int h = std::min(b->sourceHeight > 0 ? b->sourceHeight : image->height, image->height - y);
    const uint32_t* first = image->pixels + static_cast<size_t>(y) * image->width + x;
    const bool keyed = b->transparentPen != kNoPen && b->transparentPen != kMaskWithoutKey;
    const uint32_t flags =
        AnyTranslucent(first, w, h, image->width) ? graphics::kConvertAlphaFromTopByte : 0;
    rc = g.ConvertBitmapSet(first, keyed ? static_cast<uint32_t>(b->transparentPen) : kNoColor, w,
                            h, image->width, hardware, flags, key, &color, &mask, &alpha);
  }
  if (rc) return rc;
  if (!color) return kErrImageObject;
  UsePlanes(b, color, mask, alpha, key);
  if (mask && b->transparentPen == kNoPen) b->transparentPen = kMaskWithoutKey;
  // A vector brush stays one unless its planes went into hardware; a raster
  // picture is not needed once the planes are back.
  if (b->kind != kKindVector || b->hardware) {
    b->kind = kKindRaster;
    g.ReleaseImageObject(b->imageObject);
    b->imageObject = nullptr;
  }
  return 0;
}

}  // namespace

void* GetBrushTextureHandle(ObjectId* id, void* key) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (key) {
    for (BrushRecord* b = FirstBrush(); b; b = NextBrush(b)) {
      if (b->hardware && b->bitmap && g.GetBitmapData(b->bitmap) == key) {
        *id = b->header.id;
        return key;
      }
    }
    return nullptr;
  }
  BrushRecord* b = nullptr;
  if (FindBrush(nullptr, id, &b, kFindReadHardware) != 0 || !b->hardware || !b->bitmap) {
    return nullptr;
  }
  return g.GetBitmapData(b->bitmap);
}

int RebuildBrushes(int dropHardware, int keepHardware) {
  const bool available = HardwareBitmapsAvailable();
  const bool displaysKeep =
      keepHardware &&
      (gBound.graphics->AdapterBitmapFlags(kAdapterDisplayBitmaps) & kAdapterDisplayBitmaps);
  int first = 0;
  for (BrushRecord* b = FirstBrush(); b; b = NextBrush(b)) {
    if (b->bitmap || b->chunky || !b->imageObject) continue;
    if (b->hardware && displaysKeep) continue;
    const int rc = RebuildPlanes(b, b->hardware && available && !dropHardware);
    if (rc && !first) first = rc;
  }
  return first;
}

void FreeDisplayBrushes(lua_State* L, void* displayKey) {
  BrushRecord* b = FirstBrush();
  while (b) {
    BrushRecord* next = NextBrush(b);
    if (b->hardware && b->displayKey == displayKey) {
      UnlinkObject(&gBrushList, &b->header);
      FreeBrushRecord(L, b);
    }
    b = next;
  }
}

int DetachHardwareBrushes(void* displayKey) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  for (BrushRecord* b = FirstBrush(); b; b = NextBrush(b)) {
    if (!b->hardware || b->displayKey != displayKey || !b->bitmap || b->swapCopy) continue;
    const size_t count = static_cast<size_t>(b->width) * b->height;
    auto* copy = static_cast<SwapCopy*>(HostAlloc(sizeof(SwapCopy) + count * 4, false));
    if (!copy) return kErrNoMemory;
    copy->width = b->width;
    copy->height = b->height;
    copy->hwFlags = b->hwFlags;
    copy->pixels = reinterpret_cast<uint32_t*>(copy + 1);
    if (int rc = g.CopyRGBArray(copy->pixels, b->width, b->bitmap, b->mask, b->alpha, 0, 0,
                                b->width, b->height, 0)) {
      HostFree(copy);
      return rc;
    }
    g.FreeBitmapSet(&b->bitmap, &b->mask, &b->alpha);
    b->swapCopy = copy;
    b->displayKey = nullptr;
  }
  return 0;
}

int AttachHardwareBrushes(void* displayKey) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  int first = 0;
  for (BrushRecord* b = FirstBrush(); b; b = NextBrush(b)) {
    SwapCopy* s = b->swapCopy;
    if (!s) continue;
    const bool wantMask = s->hwFlags & kHwHasMask;
    const bool wantAlpha = s->hwFlags & kHwHasAlpha;
    BitmapHandle *color = nullptr, *mask = nullptr, *alpha = nullptr;
    int rc = g.ConvertBitmapSet(s->pixels, kNoColor, s->width, s->height, s->width, 1,
                                wantMask || wantAlpha ? graphics::kConvertAlphaFromTopByte : 0,
                                displayKey, &color, nullptr, &alpha);
    if (!rc && wantMask && !wantAlpha) {
      rc = MaskFromAlpha(alpha, &mask);
      g.FreeBitmapSet(nullptr, nullptr, &alpha);
    }
    if (rc) {
      g.FreeBitmapSet(&color, &mask, &alpha);
      if (!first) first = rc;
      continue;
    }
    UsePlanes(b, color, mask, alpha, displayKey);
    HostFree(s);
    b->swapCopy = nullptr;
  }
  return first;
}

}  // namespace tzx::brush
