// The core of the geometry commands on brush records: plane replacement,
// the transformation of raster planes, and vector brushes drawn afresh
// through their picture at a new size and matrix.
#pragma once

#include "brush_records.h"

namespace tzx::brush {

// Frees the brush's planes and stores the new ones and their size; a brush
// that no longer has pens drops its palette.
void ReplacePlanes(BrushRecord* brush, const Planes& planes, int width, int height);

// Raster planes through the graphics library's transformation; a palette
// brush with a transparent pen takes that pen where the turn opened corners.
// The brush is unchanged on failure.
int TransformRaster(BrushRecord* brush, const double matrix[4], int smooth);

// A vector brush drawn afresh by its picture at width x height with the
// matrix (the script function runs meanwhile; the brush is busy for it).
// transformed becomes 1 unless the matrix is the identity. The brush is
// unchanged on failure.
int RenderVector(BrushRecord* brush, int width, int height, const double matrix[4]);

// The matrix through the transformation core: raster planes are
// transformed, vector brushes drawn afresh at the size the matrix gives
// their picture.
int TransformBrushCore(BrushRecord* brush, const double matrix[4], int smooth);

}  // namespace tzx::brush
