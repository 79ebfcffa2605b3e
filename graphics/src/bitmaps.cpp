#include "bitmaps.h"

#include <climits>
#include <cstring>
#include <initializer_list>

#include "graphics_state.h"
#include "pixel_formats.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

// A handle and the store it owns come in one block.
struct ColorBlock {
  BitmapHandle handle;
  ColorStore store;
};
struct PlaneBlock {
  BitmapHandle handle;
  PlaneStore store;
};

// Bigger stores are refused rather than risking overflowing row arithmetic.
constexpr int64_t kMaxStoreBytes = int64_t{1} << 34;
constexpr int kMaxSide = 1 << 20;

bool SizeOk(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

void* AllocPixels(int64_t bytes, bool zero) {
  if (bytes <= 0 || bytes > kMaxStoreBytes) return nullptr;
  return HostAlloc(static_cast<size_t>(bytes), zero);
}

BitmapHandle* AllocPlane(int kind, int width, int height, uint8_t* borrowed, int bytesPerRow,
                         bool zero) {
  if (!SizeOk(width, height)) return nullptr;
  int rowBytes = kind == kKindMask ? MaskRowBytes(width) : PlaneRowBytes(width);
  if (borrowed && bytesPerRow > 0) rowBytes = bytesPerRow;
  auto* block = AllocRecord<PlaneBlock>();
  if (!block) return nullptr;
  uint8_t* pixels = borrowed;
  if (!pixels) {
    pixels = static_cast<uint8_t*>(AllocPixels(int64_t{rowBytes} * height, zero));
    if (!pixels) {
      HostFree(block);
      return nullptr;
    }
  }
  block->store = {kind, width, height, pixels, rowBytes, borrowed ? 1 : 0};
  block->handle = {kind, &block->store, width, height, 0, 0, borrowed ? 1 : 0};
  return &block->handle;
}

// Only a store that the library could have made itself is taken over, so that
// every owned store keeps the row rule and the spare row.
BitmapHandle* AdoptStore(const ColorStore* store) {
  if (!store || !store->pixels || !SizeOk(store->width, store->height) ||
      store->format != ColorBitmapFormat()) {
    return nullptr;
  }
  const int bytesPerPixel = FormatBytes(store->format);
  if (int64_t{store->bytesPerRow} != int64_t{bytesPerPixel} * ColorRowPixels(store->width)) {
    return nullptr;
  }
  auto* block = AllocRecord<ColorBlock>();
  if (!block) return nullptr;
  block->store = *store;
  block->store.bytesPerPixel = bytesPerPixel;
  block->store.borrowed = 0;
  block->handle = {kKindColor, &block->store, store->width, store->height, 0, 0, 0};
  return &block->handle;
}

const ColorStore* ColorStoreOf(const BitmapHandle* bitmap) {
  return static_cast<const ColorStore*>(bitmap->data);
}
const PlaneStore* PlaneStoreOf(const BitmapHandle* bitmap) {
  return static_cast<const PlaneStore*>(bitmap->data);
}

}  // namespace

BitmapHandle* AllocBitmapOfFormat(int width, int height, int format) {
  int bytesPerPixel = FormatBytes(format);
  if (!SizeOk(width, height) || bytesPerPixel == 0) return nullptr;
  int64_t rowBytes = int64_t{bytesPerPixel} * ColorRowPixels(width);
  if (rowBytes > INT_MAX) return nullptr;
  auto* block = AllocRecord<ColorBlock>();
  if (!block) return nullptr;
  // One spare row, so that row-wise readers may run a little past the end.
  auto* pixels = static_cast<uint8_t*>(AllocPixels(rowBytes * (height + 1), true));
  if (!pixels) {
    HostFree(block);
    return nullptr;
  }
  block->store = {width, height, pixels, static_cast<int32_t>(rowBytes), bytesPerPixel, format, 0};
  block->handle = {kKindColor, &block->store, width, height, 0, 0, 0};
  return &block->handle;
}

BitmapHandle* AllocBitmap(int width, int height, uint32_t flags, ColorStore* borrowed) {
  if (flags & kAllocAdopt) return AdoptStore(borrowed);
  if (flags & kAllocBorrowed) {
    if (!borrowed || !SizeOk(borrowed->width, borrowed->height) ||
        FormatBytes(borrowed->format) == 0) {
      return nullptr;
    }
    auto* handle = AllocRecord<BitmapHandle>();
    if (!handle) return nullptr;
    *handle = {kKindColor, borrowed, borrowed->width, borrowed->height, 0, 0, 1};
    return handle;
  }
  // Without a display adapter there is no video memory: kAllocVideo falls back
  // to the library's own store.
  return AllocBitmapOfFormat(width, height, ColorBitmapFormat());
}

BitmapHandle* AllocAlpha(int width, int height, uint32_t, uint8_t* borrowed, int bytesPerRow) {
  return AllocPlane(kKindAlpha, width, height, borrowed, bytesPerRow, true);
}

BitmapHandle* AllocMask(const BitmapHandle* model, int width, int height, uint32_t,
                        uint8_t* borrowed, int bytesPerRow) {
  if (model) {
    width = model->width;
    height = model->height;
  }
  return AllocPlane(kKindMask, width, height, borrowed, bytesPerRow, true);
}

BitmapHandle* AllocIndexBitmap(int width, int height, int clear) {
  return AllocPlane(kKindIndex, width, height, nullptr, 0, clear != 0);
}

void FreeBitmap(BitmapHandle* bitmap) {
  if (!bitmap) return;
  if (bitmap->kind == kKindColor) {
    auto* block = reinterpret_cast<ColorBlock*>(bitmap);
    // A store that is not the handle's own (borrowed or set by a sibling)
    // belongs to somebody else.
    if (bitmap->data == &block->store && !bitmap->borrowed && !block->store.borrowed) {
      HostFree(block->store.pixels);
    }
  } else {
    auto* block = reinterpret_cast<PlaneBlock*>(bitmap);
    if (bitmap->data == &block->store && !block->store.borrowed) HostFree(block->store.pixels);
  }
  HostFree(bitmap);
}

void FreeBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha) {
  for (BitmapHandle** slot : {color, mask, alpha}) {
    if (slot && *slot) {
      FreeBitmap(*slot);
      *slot = nullptr;
    }
  }
}

bool ViewOf(const BitmapHandle* bitmap, PixelView* view) {
  if (!bitmap || !bitmap->data) return false;
  if (bitmap->kind == kKindColor) {
    const ColorStore* s = ColorStoreOf(bitmap);
    *view = {s->pixels, s->bytesPerRow, s->bytesPerPixel, s->format,
             s->width,  s->height,      kKindColor};
  } else {
    const PlaneStore* s = PlaneStoreOf(bitmap);
    bool mask = bitmap->kind == kKindMask;
    *view = {s->pixels, s->bytesPerRow, mask ? 0 : 1, mask ? kFormatMask : kFormatByte,
             s->width,  s->height,      bitmap->kind};
  }
  return view->pixels != nullptr;
}

int LockBitmap(void* bitmapOrStore, uint32_t flags, LockRecord* lock) {
  std::memset(lock, 0, sizeof *lock);
  if (!bitmapOrStore) return 0;
  PixelView view;
  bool borrowed;
  if (flags & kLockRawStore) {
    const auto* store = static_cast<const ColorStore*>(bitmapOrStore);
    view = {store->pixels, store->bytesPerRow, store->bytesPerPixel, store->format, store->width,
            store->height, kKindColor};
    borrowed = store->borrowed != 0;
  } else {
    const auto* bitmap = static_cast<const BitmapHandle*>(bitmapOrStore);
    if (!ViewOf(bitmap, &view)) return 0;
    borrowed = bitmap->borrowed != 0;
  }
  if (!view.pixels) return 0;
  lock->pixels = view.pixels;
  lock->success = 1;
  lock->format = view.format;
  lock->bytesPerPixel = view.bytesPerPixel;
  lock->bytesPerRow = view.bytesPerRow;
  lock->width = view.width;
  lock->height = view.height;
  lock->plainMemory = 1;
  lock->borrowed = borrowed ? 1 : 0;
  return 1;
}

void UnlockBitmap(LockRecord* lock) {
  // The library's own stores need no unlocking; the record is spent.
  if (lock) {
    lock->pixels = nullptr;
    lock->success = 0;
  }
}

BitmapHandle* GetBitmapPixels(BitmapHandle* bitmap, uint8_t** pixels, int* bytesPerRow, int) {
  PixelView view;
  if (!bitmap || bitmap->kind == kKindColor || !ViewOf(bitmap, &view)) return nullptr;
  *pixels = view.pixels;
  *bytesPerRow = view.bytesPerRow;
  return bitmap;
}

void ReleaseBitmapPixels(BitmapHandle*) {
  // Plane stores stay where they are between accesses.
}

intptr_t GetBitmapAttr(const BitmapHandle* bitmap, int attribute) {
  PixelView view;
  if (!bitmap || !ViewOf(bitmap, &view)) return 0;
  switch (attribute) {
    case kAttrWidth:
      return bitmap->width;
    case kAttrBytesPerRow:
      return view.bytesPerRow;
    case kAttrHeight:
      return bitmap->height;
    case kAttrVideo:
      return bitmap->video;
    case kAttrChanged:
      return bitmap->changed;
    case kAttrData:
      return reinterpret_cast<intptr_t>(bitmap->data);
    case kAttrFormat:
      return view.format;
    // Video bitmaps exist only through an adapter, so none lacks its support.
    case kAttrVideoWithoutAdapter:
      return 0;
    case kAttrBytesPerPixel:
      return view.bytesPerPixel;
    default:
      return 0;
  }
}

int IsIndexBitmap(const BitmapHandle* bitmap) {
  return bitmap && bitmap->kind == kKindIndex;
}

void* GetBitmapData(const BitmapHandle* bitmap) {
  return bitmap ? bitmap->data : nullptr;
}

void SetBitmapData(BitmapHandle* bitmap, void* data) {
  if (bitmap) bitmap->data = data;
}

void MarkBitmapChanged(BitmapHandle* bitmap) {
  if (bitmap && bitmap->video) bitmap->changed = 1;
}

uint32_t AdapterBitmapFlags(uint32_t) {
  // The library keeps every bitmap in its own stores: no adapter capability
  // is reported, which callers read as "no video bitmaps".
  return 0;
}

uint32_t ReadPixel(const BitmapHandle* bitmap, int x, int y, int raw) {
  PixelView view;
  if (!ViewOf(bitmap, &view) || x < 0 || y < 0 || x >= view.width || y >= view.height) return 0;
  const uint8_t* row = RowOf(view, y);
  if (view.kind == kKindMask) return MaskBit(row, x) ? 1 : 0;
  if (view.kind != kKindColor) return row[x];
  const uint8_t* pixel = row + x * view.bytesPerPixel;
  return raw ? ReadRaw(pixel, view.format) : ReadColor(pixel, view.format) & 0xFFFFFF;
}

void WritePixel(BitmapHandle* bitmap, int x, int y, uint32_t color, int raw) {
  PixelView view;
  if (!ViewOf(bitmap, &view) || x < 0 || y < 0 || x >= view.width || y >= view.height) return;
  uint8_t* row = RowOf(view, y);
  if (view.kind == kKindMask) {
    SetMaskBit(row, x, color != 0);
  } else if (view.kind != kKindColor) {
    row[x] = static_cast<uint8_t>(color);
  } else if (raw) {
    WriteRaw(row + x * view.bytesPerPixel, view.format, color);
  } else {
    WriteColor(row + x * view.bytesPerPixel, view.format, color);
  }
}

}  // namespace tzx::graphics
