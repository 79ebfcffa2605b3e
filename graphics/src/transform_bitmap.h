// The transformation slots: a bitmap set turned, sheared or scaled by a 2x2
// matrix (transform.h does the pixels), with the exact quarter and half
// turns, allocation, pixel access and error codes.
#pragma once

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Replaces every present plane of the width x height set by its transformed
// copy; a source without mask or alpha channel gets a mask that hides what
// lies outside the picture. The identity and the whole turns keep the
// planes; the half turns flip them; the quarter turns transpose them; any
// other matrix goes through the pixel engine at the MatrixBounds size.
// 0, kErrRange (no inverse, bad planes), kErrAllocBitmap, kErrAllocMask,
// kErrAllocAlpha, kErrAllocIndexBitmap, kErrLockBitmap or kErrNoMemory;
// on failure the set is unchanged.
int RotateBitmapSet(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                    BitmapHandle** index, int width, int height, const double matrix[4], int smooth,
                    int* newWidth, int* newHeight);
// The same for a turn by angle degrees at scale 1.
int RotateBitmap(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                 BitmapHandle** index, int width, int height, double angle, int smooth,
                 int* newWidth, int* newHeight);
int IsIdentityMatrix(const double matrix[4]);
// The output size and the offset of its top-left corner (rounded down).
void MatrixBounds(const double matrix[4], int width, int height, int* x, int* y, int* outWidth,
                  int* outHeight);

}  // namespace tzx::graphics
