#include "transform_matrix.h"

#include "tzx/frame.h"

namespace tzx::graphics {

void IdentityMatrix(double matrix[4]) {
  matrix[0] = 1.0;
  matrix[1] = 0.0;
  matrix[2] = 0.0;
  matrix[3] = 1.0;
}

void BuildTransformMatrix(TransformRecord* t, int width, int height, int sourceWidth,
                          int sourceHeight) {
  const int w = width ? width : sourceWidth;
  const int h = height ? height : sourceHeight;
  double* m = t->matrix;
  if ((w == sourceWidth && h == sourceHeight) || sourceWidth == 0 || sourceHeight == 0) {
    m[0] = t->scaleX;
    m[3] = t->scaleY;
  } else {
    m[0] = static_cast<double>(w) / sourceWidth;
    m[3] = static_cast<double>(h) / sourceHeight;
  }
  m[1] = m[2] = 0.0;
  if (t->rotate == 0.0) return;
  const MathLibrary& math = *Host().math;
  // The host's functions, so that matrices built twice compare equal byte for byte.
  const double a = (360.0 - math.fmod(t->rotate, 360.0)) * kRadiansPerDegree;
  const double k = math.cos(a), s = math.sin(a);
  const double m00 = m[0], m01 = m[1], m10 = m[2], m11 = m[3];
  m[0] = k * m00 - s * m01;
  m[1] = s * m00 + k * m01;
  m[2] = k * m10 - s * m11;
  m[3] = s * m10 + k * m11;
}

}  // namespace tzx::graphics
