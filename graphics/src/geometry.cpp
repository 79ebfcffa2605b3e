#include "geometry.h"

#include <algorithm>
#include <cmath>

#include "transform_matrix.h"

namespace tzx::graphics {

namespace {

// Smallest x, smallest y, largest x, largest y of four points.
void Bounds(const double corners[8], double out[4]) {
  out[0] = out[2] = corners[0];
  out[1] = out[3] = corners[1];
  for (int i = 1; i < 4; ++i) {
    out[0] = std::min(out[0], corners[2 * i]);
    out[1] = std::min(out[1], corners[2 * i + 1]);
    out[2] = std::max(out[2], corners[2 * i]);
    out[3] = std::max(out[3], corners[2 * i + 1]);
  }
}

}  // namespace

void Matrix2D(double scaleX, double scaleY, double angle, double m[4]) {
  TransformRecord t{};
  t.scaleX = scaleX;
  t.scaleY = scaleY;
  t.rotate = angle;
  BuildTransformMatrix(&t, 0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) m[i] = t.matrix[i];
}

void TransformPoint(const double m[4], double x, double y, double* outX, double* outY) {
  *outX = m[0] * x + m[2] * y;
  *outY = m[1] * x + m[3] * y;
}

void TransformBox(const double m[4], double x, double y, double w, double h, bool relative,
                  double anchorX, double anchorY, double out[4]) {
  const double bx = relative ? 0 : x, by = relative ? 0 : y;
  const double ax = anchorX * w, ay = anchorY * h;
  const double points[8] = {bx, by, bx + w, by, bx + w, by + h, bx, by + h};
  double corners[8];
  for (int i = 0; i < 4; ++i) {
    TransformPoint(m, points[2 * i] - ax, points[2 * i + 1] - ay, &corners[2 * i],
                   &corners[2 * i + 1]);
    corners[2 * i] += ax;
    corners[2 * i + 1] += ay;
  }
  double b[4];
  Bounds(corners, b);
  out[0] = b[0] + (relative ? x : 0);
  out[1] = b[1] + (relative ? y : 0);
  out[2] = b[2] - b[0] + 1;
  out[3] = b[3] - b[1] + 1;
}

void TransformBoxCorners(const double m[4], int width, int height, double corners[8]) {
  const double points[8] = {
      0, 0, double(width), 0, double(width), double(height), 0, double(height)};
  for (int i = 0; i < 4; ++i) {
    TransformPoint(m, points[2 * i], points[2 * i + 1], &corners[2 * i], &corners[2 * i + 1]);
  }
}

void TransformBoxSize(const double m[4], int width, int height, int* outWidth, int* outHeight) {
  double corners[8], b[4];
  TransformBoxCorners(m, width, height, corners);
  Bounds(corners, b);
  *outWidth = static_cast<int>(std::lround(b[2] - b[0]));
  *outHeight = static_cast<int>(std::lround(b[3] - b[1]));
}

}  // namespace tzx::graphics
