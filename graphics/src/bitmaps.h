// Bitmap handles of the four kinds: allocation, access and single pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/graphics_layout.h"
#include "tzx/graphics_records.h"

namespace tzx::graphics {

BitmapHandle* AllocBitmap(int width, int height, uint32_t flags, ColorStore* borrowed);
// A colour bitmap of a given format, for working copies that must keep one.
BitmapHandle* AllocBitmapOfFormat(int width, int height, int format);
BitmapHandle* AllocAlpha(int width, int height, uint32_t flags, uint8_t* borrowed, int bytesPerRow);
BitmapHandle* AllocMask(const BitmapHandle* model, int width, int height, uint32_t flags,
                        uint8_t* borrowed, int bytesPerRow);
BitmapHandle* AllocIndexBitmap(int width, int height, int clear);
// Frees a handle of any kind, and its pixels unless they are borrowed.
void FreeBitmap(BitmapHandle* bitmap);
void FreeBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha);

int LockBitmap(void* bitmapOrStore, uint32_t flags, LockRecord* lock);
void UnlockBitmap(LockRecord* lock);
BitmapHandle* GetBitmapPixels(BitmapHandle* bitmap, uint8_t** pixels, int* bytesPerRow, int write);
void ReleaseBitmapPixels(BitmapHandle* bitmap);
intptr_t GetBitmapAttr(const BitmapHandle* bitmap, int attribute);
int IsIndexBitmap(const BitmapHandle* bitmap);
void* GetBitmapData(const BitmapHandle* bitmap);
void SetBitmapData(BitmapHandle* bitmap, void* data);
void MarkBitmapChanged(BitmapHandle* bitmap);
uint32_t AdapterBitmapFlags(uint32_t requested);

// Colour bitmaps: 0x00RRGGBB, or the stored value when raw. Alpha channels and
// index bitmaps: the byte. Masks: 1 for a set bit. Outside the bitmap: 0.
uint32_t ReadPixel(const BitmapHandle* bitmap, int x, int y, int raw);
// Outside the bitmap nothing is written. Masks set the bit for a non-zero value.
void WritePixel(BitmapHandle* bitmap, int x, int y, uint32_t color, int raw);

// The pixels of any kind as the blits see them. Masks have format 15 and 0
// bytes per pixel.
struct PixelView {
  uint8_t* pixels;
  int bytesPerRow;
  int bytesPerPixel;
  int format;
  int width;
  int height;
  int kind;
};
bool ViewOf(const BitmapHandle* bitmap, PixelView* view);
inline uint8_t* RowOf(const PixelView& view, int y) {
  return view.pixels + static_cast<ptrdiff_t>(y) * view.bytesPerRow;
}

}  // namespace tzx::graphics
