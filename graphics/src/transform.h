// The transformation engine: a bitmap set mapped through a 2x3 matrix by
// inverse mapping, and the quarter-turn copies. Plain buffers only; the
// callers own allocation, locking and error reporting.
//
// A destination pixel (x, y) stands for its centre (x + 0.5, y + 0.5): it is
// drawn when the inverse of the matrix takes that point inside the source
// rectangle [0, w) x [0, h), and it samples the source pixel under that
// point. Finding and sampling at the same point is what keeps mirrors and
// quarter turns through this path from losing or doubling a row.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::graphics {

// The output box of a w x h source under a 2x2 matrix (m00, m01, m10, m11;
// a point (x, y) maps to (m00 x + m10 y, m01 x + m11 y)): the corners' extent
// plus one, rounded up, at least 1. Sides that no bitmap could have (or a
// matrix with a non-finite entry) come back as INT32_MAX, for the allocation
// to refuse.
struct Bounds {
  double left;  // the smallest mapped x and y: minus the engine's translation
  double top;
  int32_t width;
  int32_t height;
};
Bounds MatrixBoundsOf(const double matrix[4], int width, int height);

// One plane: pixels and bytes per row. A plane takes part when both its
// source and its destination are given.
struct PlaneBuffer {
  const uint8_t* pixels = nullptr;
  int32_t bytesPerRow = 0;
};
struct PlaneTarget {
  uint8_t* pixels = nullptr;
  int32_t bytesPerRow = 0;
};

struct TransformRequest {
  PlaneBuffer color;  // pixels of colourBytes bytes (1 to 4)
  int32_t colorBytes = 4;
  PlaneBuffer mask;   // 1 bit, most significant first, set = visible
  PlaneBuffer alpha;  // 8 bits
  PlaneBuffer index;  // 8-bit pens, never blended
  int32_t width = 0;
  int32_t height = 0;
  PlaneTarget toColor;
  PlaneTarget toMask;  // the drawn pixels; required when the source has no alpha
                       // channel, so that the outside stays transparent
  PlaneTarget toAlpha;
  PlaneTarget toIndex;
  int32_t toWidth = 0;
  int32_t toHeight = 0;
  // m00, m01, m10, m11, tx, ty: source (x, y) goes to
  // (m00 x + m10 y + tx, m01 x + m11 y + ty).
  double matrix[6] = {1, 0, 0, 1, 0, 0};
  // Bilinear colours (32-bit pixels only) and alpha; masks and pens are
  // always the nearest pixel.
  bool smooth = false;
};

// Fills the destination planes; pixels outside the picture become 0 (and
// their mask bits clear). 0, or kErrRange for a matrix without an inverse
// (determinant 0 or non-finite entries) or a request the planes do not fit.
int TransformPixels(const TransformRequest& request);

// Inclusive column range of row y whose centres map inside the source, as
// the engine draws them; empty when first > last. Exposed for the tests.
struct Span {
  int32_t first;
  int32_t last;
};
// The inverse 2x3 matrix of TransformPixels (false without one).
bool InvertMatrix(const double matrix[6], double inverse[6]);
Span RowSpan(const double inverse[6], int sourceWidth, int sourceHeight, int toWidth, int y);

// The exact quarter turns: a w x h plane becomes h x w. Clockwise on the
// screen (y down): destination (x, y) = source (y, h - 1 - x); otherwise the
// other way round: destination (x, y) = source (w - 1 - y, x). bytesPerPixel
// 0 means a 1-bit mask.
void TurnPlane(const uint8_t* source, int sourceRow, uint8_t* target, int targetRow, int width,
               int height, int bytesPerPixel, bool clockwise);

}  // namespace tzx::graphics
