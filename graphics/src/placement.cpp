#include "placement.h"

#include <algorithm>
#include <cmath>

#include "graphics_state.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

// A value lies on code q when it is within 4999 of it.
bool OnCode(int x, int q) {
  return static_cast<uint32_t>(x) + 4999u - static_cast<uint32_t>(q) <= 9998u;
}

int RoundHalfUp(double v) {
  return static_cast<int>(std::floor(v + 0.5));
}

// Area and origin of the current display for an area of 0.
void DisplayArea(bool vertical, int* area, int* origin) {
  const OutputRecord* display = gCurrentDisplay;
  if (!display) return;
  if (display->view.width > 0 && display->view.height > 0) {
    *area = vertical ? display->view.height : display->view.width;
    *origin = vertical ? display->view.y : display->view.x;
  } else {
    *area = vertical ? display->height : display->width;
  }
}

int ResolveWithDisplay(int x, int size, int area, double anchor, bool vertical) {
  int origin = 0;
  if (area == 0) DisplayArea(vertical, &area, &origin);
  return ResolvePosition(x, size, area, origin, anchor, vertical);
}

}  // namespace

int ResolvePosition(int x, int size, int area, int origin, double anchor, bool vertical) {
  int k = static_cast<int>(size * anchor);
  int nearCode = vertical ? kTop : kLeft;
  int farCode = vertical ? kBottom : kRight;
  int nearOut = vertical ? kTopout : kLeftout;
  int farOut = vertical ? kBottomout : kRightout;
  if (OnCode(x, kCenter)) return (area - size) / 2 + origin + k + (x - kCenter);
  if (OnCode(x, nearCode)) return origin + k + (x - nearCode);
  if (OnCode(x, farCode)) return area - size + origin + k + (x - farCode);
  if (OnCode(x, nearOut)) return origin + k - size + (x - nearOut);
  if (OnCode(x, farOut)) return area + origin + k + (x - farOut);
  return x;
}

int ResolveX(int x, int size, int areaWidth, double anchor) {
  return ResolveWithDisplay(x, size, areaWidth, anchor, false);
}

int ResolveY(int y, int size, int areaHeight, double anchor) {
  return ResolveWithDisplay(y, size, areaHeight, anchor, true);
}

int ResolveKeepAspect(int sourceWidth, int sourceHeight, int* width, int* height) {
  if (*width <= 0 || *height <= 0) return 0;
  bool keepWidth = *width == kKeepasprat, keepHeight = *height == kKeepasprat;
  if (!keepWidth && !keepHeight) return 0;
  // Both unknown, or a source without an aspect, leaves nothing to keep.
  if ((keepWidth && keepHeight) || sourceWidth <= 0 || sourceHeight <= 0) return kErrRange;
  double aspect = static_cast<double>(sourceWidth) / sourceHeight;
  if (keepWidth) {
    *width = RoundHalfUp(aspect * *height);
  } else {
    *height = RoundHalfUp(*width / aspect);
  }
  *width = std::max(*width, 1);
  *height = std::max(*height, 1);
  return 0;
}

int IntersectRect(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2, int* x, int* y,
                  int* w, int* h) {
  int64_t left = std::max(x1, x2), top = std::max(y1, y2);
  int64_t right = std::min(int64_t{x1} + w1, int64_t{x2} + w2);
  int64_t bottom = std::min(int64_t{y1} + h1, int64_t{y2} + h2);
  if (right <= left || bottom <= top) return 0;
  *x = static_cast<int>(left);
  *y = static_cast<int>(top);
  *w = static_cast<int>(right - left);
  *h = static_cast<int>(bottom - top);
  return 1;
}

int ClipCopy(int* sourceX, int* sourceY, int* x, int* y, int* width, int* height, int sourceWidth,
             int sourceHeight, int left, int top, int right, int bottom) {
  // 64-bit throughout: callers hand in unchecked script positions.
  int64_t sx = *sourceX, sy = *sourceY, dx = *x, dy = *y, w = *width, h = *height;
  if (dx < left) {
    sx += left - dx;
    w -= left - dx;
    dx = left;
  }
  if (dy < top) {
    sy += top - dy;
    h -= top - dy;
    dy = top;
  }
  if (sx < 0) {
    dx -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min({w, sourceWidth - sx, right - dx});
  h = std::min({h, sourceHeight - sy, bottom - dy});
  if (w <= 0 || h <= 0) {
    *width = 0;
    *height = 0;
    return 0;
  }
  *sourceX = static_cast<int>(sx);
  *sourceY = static_cast<int>(sy);
  *x = static_cast<int>(dx);
  *y = static_cast<int>(dy);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return 1;
}

int ClipBlitToTarget(const Rect* region, int* sourceX, int* sourceY, int* x, int* y, int* width,
                     int* height, int sourceWidth, int sourceHeight, int targetWidth,
                     int targetHeight, int regionFlag) {
  if (region && regionFlag) {
    return ClipCopy(sourceX, sourceY, x, y, width, height, sourceWidth, sourceHeight, region->x,
                    region->y, region->x + region->width, region->y + region->height);
  }
  return ClipCopy(sourceX, sourceY, x, y, width, height, sourceWidth, sourceHeight, 0, 0,
                  targetWidth, targetHeight);
}

int ClipBlitToRegion(const Rect* clip, int* sourceX, int* sourceY, int* x, int* y, int* width,
                     int* height, int sourceWidth, int sourceHeight) {
  if (!clip) return 0;
  return ClipCopy(sourceX, sourceY, x, y, width, height, sourceWidth, sourceHeight, clip->x,
                  clip->y, clip->x + clip->width, clip->y + clip->height);
}

int ClipRect(int* x, int* y, int* width, int* height, int boundsX, int boundsY, int boundsWidth,
             int boundsHeight) {
  int cx, cy, cw, ch;
  if (!IntersectRect(*x, *y, *width, *height, boundsX, boundsY, boundsWidth, boundsHeight, &cx, &cy,
                     &cw, &ch)) {
    *width = 0;
    *height = 0;
    return 0;
  }
  *x = cx;
  *y = cy;
  *width = cw;
  *height = ch;
  return 1;
}

int ClipSourceToBounds(int* x, int* y, int* width, int* height, int boundsWidth, int boundsHeight) {
  return ClipRect(x, y, width, height, 0, 0, boundsWidth, boundsHeight);
}

int RectInside(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2) {
  return ax1 >= bx1 && ay1 >= by1 && ax2 <= bx2 && ay2 <= by2;
}

int RectsOverlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
  if (aw <= 0 || ah <= 0 || bw <= 0 || bh <= 0) return 0;
  return int64_t{ax} < int64_t{bx} + bw && int64_t{bx} < int64_t{ax} + aw &&
         int64_t{ay} < int64_t{by} + bh && int64_t{by} < int64_t{ay} + ah;
}

void ClampNonNegative(int32_t values[4]) {
  for (int i = 0; i < 4; ++i) values[i] = std::max(values[i], 0);
}

namespace {

bool North(int d) {
  return d == 0 || d == 1 || d == 7;
}
bool South(int d) {
  return d >= 3 && d <= 5;
}
bool East(int d) {
  return d >= 1 && d <= 3;
}
bool West(int d) {
  return d >= 5 && d <= 7;
}

}  // namespace

void ShadowGrowSize(int* width, int* height, int size, int direction) {
  if (East(direction) || West(direction)) *width += size;
  if (North(direction) || South(direction)) *height += size;
}

void ShadowMargins(int size, int direction, int* top, int* bottom, int* left, int* right) {
  *top = North(direction) ? size : 0;
  *bottom = South(direction) ? size : 0;
  *right = East(direction) ? size : 0;
  *left = West(direction) ? size : 0;
}

}  // namespace tzx::graphics
