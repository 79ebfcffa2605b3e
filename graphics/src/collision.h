// Collision of two objects: their boxes, then, where they have shape planes,
// the solid pixels they share. Planes are compared 64 pixels at a time.
#pragma once

#include "tzx/graphics_records.h"

namespace tzx::graphics {

// Boxes with inclusive edges: they meet when they share a pixel.
bool BoxesMeet(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);

// 1 when the objects share a solid pixel, 0 when not, kErrLockBitmap when a
// plane cannot be read.
int CollisionTest(const CollisionShape* a, const CollisionShape* b);

}  // namespace tzx::graphics
