// Drawing into the current output, its palette, and the notices graphics
// sends its siblings.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Where drawing of the current output lands: the plane for its kind and the
// rectangle drawing is kept inside.
struct DrawTarget {
  OutputRecord* output;
  BitmapHandle* bitmap;
  Rect bounds;
};
// 0, kErrNoOutput, or kErrSiblingAbsent for a display output without the
// display library.
int CurrentDrawTarget(DrawTarget* target);
// Tells the output's owner that a rectangle changed.
void OutputChanged(const DrawTarget& target, int x, int y, int width, int height);

int NotifyObjectLibraries(int argument);
int DrawColoredMask(const BitmapHandle* source, int sourceX, int sourceY, int x, int y, int width,
                    int height, uint32_t color, int pen, int level);
int CreateBitmapFromTarget(int x, int y, int width, int height, BitmapHandle** out);
int ClearRect(int x, int y, int width, int height, uint32_t color);
int ClearRectCurrent(int x, int y, int width, int height, uint32_t color);

// The pens of an output that works with pens (2^depth), 0 for true colour
// and for no output.
int PenCount(const OutputRecord* output);
int UsesPenRange(int pen);
// The pen of the current output's palette nearest to the colour; the draw pen
// when the palette library is in pen mode; -1 for outputs without pens.
int MapColorToPen(uint32_t color);
int FindNearestPen(uint32_t color, const uint32_t* palette, int depth);
int GetDefaultPalette(uint32_t* out);
int PenMatches(int pen, uint32_t color);
int DepthForColorCount(int count);
int FormatBytesPerPixel(int format);
int FormatDepth(int format);
uint32_t ConvertPixel(uint32_t pixel, int format, int keepAlpha);

}  // namespace tzx::graphics
