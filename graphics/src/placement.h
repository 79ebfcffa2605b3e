// Placement of objects: position codes, keep-aspect sizes, clipping and
// rectangles, shadow margins. Pure arithmetic except where the current display
// stands in for a missing area.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// A coordinate with a position code (CENTER, LEFT/TOP, RIGHT/BOTTOM and the
// OUT codes, each with an offset of up to ±4999) resolved in an area of the
// given size and origin; any other value comes back unchanged.
int ResolvePosition(int x, int size, int area, int origin, double anchor, bool vertical);
// The same with area 0 meaning the current display (or its inner view).
int ResolveX(int x, int size, int areaWidth, double anchor);
int ResolveY(int y, int size, int areaHeight, double anchor);

// Fills in a KEEPASPRAT width or height from the source's aspect; 0 or
// kErrRange.
int ResolveKeepAspect(int sourceWidth, int sourceHeight, int* width, int* height);

int IntersectRect(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2, int* x, int* y,
                  int* w, int* h);

// Clips a copy of width × height from (sourceX, sourceY) to (x, y) so that it
// reads only inside the source and writes only inside [left, right) ×
// [top, bottom); non-zero when something is left.
int ClipCopy(int* sourceX, int* sourceY, int* x, int* y, int* width, int* height, int sourceWidth,
             int sourceHeight, int left, int top, int right, int bottom);
int ClipBlitToTarget(const Rect* region, int* sourceX, int* sourceY, int* x, int* y, int* width,
                     int* height, int sourceWidth, int sourceHeight, int targetWidth,
                     int targetHeight, int regionFlag);
int ClipBlitToRegion(const Rect* clip, int* sourceX, int* sourceY, int* x, int* y, int* width,
                     int* height, int sourceWidth, int sourceHeight);
int ClipRect(int* x, int* y, int* width, int* height, int boundsX, int boundsY, int boundsWidth,
             int boundsHeight);
int ClipSourceToBounds(int* x, int* y, int* width, int* height, int boundsWidth, int boundsHeight);

int RectInside(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2);
int RectsOverlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh);
void ClampNonNegative(int32_t values[4]);

void ShadowGrowSize(int* width, int* height, int size, int direction);
void ShadowMargins(int size, int direction, int* top, int* bottom, int* left, int* right);

}  // namespace tzx::graphics
