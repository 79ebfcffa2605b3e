#include "image_cache.h"

#include "bitmap_sets.h"
#include "bitmaps.h"
#include "graphics_state.h"
#include "image_objects.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

constexpr size_t kRangeBytes = 6;
constexpr size_t kPaletteBytes = 256 * sizeof(uint32_t);

// A host block holding a copy of `bytes` bytes; true with null for none.
bool CopyBlock(const void* source, size_t bytes, void** out) {
  *out = nullptr;
  if (!source || bytes == 0) return true;
  *out = HostAlloc(bytes, false);
  if (!*out) return false;
  Host().runtime->memcpy(*out, source, bytes);
  return true;
}

BitmapHandle* CopyAlpha(const BitmapHandle* alpha) {
  return CopyBitmapRect(alpha, 0, 0, alpha->width, alpha->height);
}

void FreeEntry(ImageCacheEntry* e) {
  ReleaseImageObject(e->image);
  FreeBitmap(e->alpha);
  HostFree(e->ranges);
  HostFree(e);
}

}  // namespace

int CacheStore(const char* key, const CachedImage* image) {
  BitmapHandle* alpha = nullptr;
  if (image->alpha && !(alpha = CopyAlpha(image->alpha))) return kErrAllocAlpha;
  const size_t rangeBytes = image->rangeCount > 0 ? image->rangeCount * kRangeBytes : 0;
  void* ranges;
  auto* entry = AllocRecord<ImageCacheEntry>();
  if (!CopyBlock(image->ranges, rangeBytes, &ranges) || !entry) {
    FreeBitmap(alpha);
    HostFree(ranges);
    HostFree(entry);
    return kErrNoMemory;
  }
  const RuntimeLibrary& rt = *Host().runtime;
  rt.strlcpy(entry->key, sizeof entry->key, key ? key : "");
  entry->width = image->width;
  entry->height = image->height;
  for (int i = 0; i < 4; ++i) entry->values[i] = image->values[i];
  entry->image = image->image ? RetainImageObject(image->image) : nullptr;
  entry->alpha = alpha;
  if (image->palette) {
    entry->hasPalette = 1;
    rt.memcpy(entry->palette, image->palette, kPaletteBytes);
  }
  entry->ranges = static_cast<uint8_t*>(ranges);
  entry->rangeCount = ranges ? image->rangeCount : 0;
  entry->extra = image->extra;
  rt.strlcpy(entry->loader, sizeof entry->loader, image->loader);
  ImageCacheEntry** tail = &gImageCache;
  while (*tail) tail = &(*tail)->next;
  *tail = entry;
  return 0;
}

int CacheLookup(const char* key, int wantAlpha, CachedImage* out) {
  const RuntimeLibrary& rt = *Host().runtime;
  const ImageCacheEntry* e = gImageCache;
  while (e && rt.strcmp(e->key, key ? key : "") != 0) e = e->next;
  if (!e || (wantAlpha && !e->alpha)) return kErrNotCached;
  BitmapHandle* alpha = nullptr;
  if (wantAlpha && !(alpha = CopyAlpha(e->alpha))) return kErrNoMemory;
  void* ranges;
  void* palette = nullptr;
  if (!CopyBlock(e->ranges, e->rangeCount * kRangeBytes, &ranges) ||
      (e->hasPalette && !CopyBlock(e->palette, kPaletteBytes, &palette))) {
    FreeBitmap(alpha);
    HostFree(ranges);
    return kErrNoMemory;
  }
  out->width = e->width;
  out->height = e->height;
  for (int i = 0; i < 4; ++i) out->values[i] = e->values[i];
  out->image = e->image ? RetainImageObject(e->image) : nullptr;
  out->alpha = alpha;
  out->palette = static_cast<uint32_t*>(palette);
  out->ranges = static_cast<uint8_t*>(ranges);
  out->rangeCount = e->rangeCount;
  out->extra = e->extra;
  rt.strlcpy(out->loader, sizeof out->loader, e->loader);
  return 0;
}

void FreeImageCache() {
  while (ImageCacheEntry* e = gImageCache) {
    gImageCache = e->next;
    FreeEntry(e);
  }
}

}  // namespace tzx::graphics
