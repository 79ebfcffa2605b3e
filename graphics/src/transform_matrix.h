// The draw record's 2x2 matrix: built from its scale factors or a requested
// size, then turned by its rotation. Plain arithmetic on the record.
#pragma once

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Degrees to radians, as the library's trigonometric tables use it.
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

void IdentityMatrix(double matrix[4]);
// Width or height 0 means the source's. A size equal to the source's uses the
// record's scale factors, any other the ratio to the source (a source side of
// 0 has no ratio, so the scale factors stay); a non-zero rotation then turns
// the matrix.
void BuildTransformMatrix(TransformRecord* transform, int width, int height, int sourceWidth,
                          int sourceHeight);

}  // namespace tzx::graphics
