// Gradient pixels: a gradient record turned into pixman's gradient model
// (colour stops in 16.16 fixed point, the record's geometry for a rectangle)
// and composited into 32-bit pixels, so that the pixels are pixman's.
#pragma once

#include <pixman.h>

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

inline constexpr int kMaxGradientStops = 64;

// The record's start values: style LINEAR, centre and balance 0.5, border 0;
// without keepCountAndAngle the colour count and the angle are cleared too.
// The two colours and the stops stay.
void InitGradientRecord(GradientRecord* gradient, int keepCountAndAngle);

// The record's colour stops as pixman takes them (opaque, channels × 257,
// positions × 65536 truncated); returns their number, 0 when the record has
// none it can use.
int GradientStops(const GradientRecord& gradient, pixman_gradient_stop_t stops[kMaxGradientStops]);

// The start and end points of a LINEAR gradient of `angle` degrees over a
// width × height rectangle, in pixels (y downward).
void LinearGradientLine(int angle, int width, int height, double start[2], double end[2]);

// pixman's gradient image of the record for a width × height rectangle,
// padded beyond its first and last stop; null when it cannot be made.
pixman_image_t* CreateGradientImage(const GradientRecord& gradient, int width, int height);

// Fills the request's rectangle; 0, kErrRange for a bad request or
// kErrNoMemory.
int FillGradient(GradientRequest* request);
// Fills a rectangle of a colour bitmap of any format with the gradient laid
// over that rectangle; 0 or an error code (kErrRange for other kinds).
int CreateGradientBitmap(BitmapHandle* bitmap, int x, int y, int width, int height,
                         const GradientRecord* gradient);

}  // namespace tzx::graphics
