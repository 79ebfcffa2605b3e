// 2-D geometry of scripts: matrices, transformed points and boxes. A matrix
// {m00, m01, m10, m11} is the script table {sx, rx, ry, sy}; it maps (x, y)
// to (m00·x + m10·y, m01·x + m11·y).
#pragma once

namespace tzx::graphics {

// The scale matrix (sx, sy) turned by `angle` degrees, as the draw tags build it.
void Matrix2D(double scaleX, double scaleY, double angle, double m[4]);
void TransformPoint(const double m[4], double x, double y, double* outX, double* outY);

// The bounding box {x, y, width, height} of the box's corners (x, y) ..
// (x + w, y + h) turned about the anchor point (anchorX × w, anchorY × h);
// width and height count both edges (largest - smallest + 1). A relative box
// is turned at (0, 0) and then moved to (x, y). Nothing is rounded.
void TransformBox(const double m[4], double x, double y, double w, double h, bool relative,
                  double anchorX, double anchorY, double out[4]);

// The corners (0, 0), (w, 0), (w, h), (0, h) through the matrix, as x, y pairs.
void TransformBoxCorners(const double m[4], int width, int height, double corners[8]);
// The size of the corners' bounding box, rounded to whole pixels.
void TransformBoxSize(const double m[4], int width, int height, int* outWidth, int* outHeight);

}  // namespace tzx::graphics
