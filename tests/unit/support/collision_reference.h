// The plain collision test, pixel by pixel over the boxes' intersection, that
// the word-at-a-time engine is checked and timed against.
#pragma once

#include <algorithm>
#include <vector>

#include "graphics/src/bitmaps.h"
#include "tzx/graphics_records.h"

namespace tzx::graphics::testing {

struct ReferencePlane {
  PixelView view;
  int originX, originY;  // where its first pixel lies in the boxes' coordinates
  int pen;               // index planes: the transparent pen, -1 none
};

inline void AddReferencePlane(std::vector<ReferencePlane>* planes, const BitmapHandle* plane,
                              int originX, int originY, int pen) {
  if (!plane) return;
  ReferencePlane p{{}, originX, originY, pen};
  ViewOf(plane, &p.view);
  planes->push_back(p);
}

inline std::vector<ReferencePlane> ReferencePlanes(const CollisionShape& s) {
  std::vector<ReferencePlane> planes;
  const int ox = s.x - s.sourceX, oy = s.y - s.sourceY;
  AddReferencePlane(&planes, s.mask, ox, oy, 0);
  AddReferencePlane(&planes, s.alpha, ox, oy, 0);
  AddReferencePlane(&planes, s.index, ox, oy, s.transparentPen);
  AddReferencePlane(&planes, s.extraMask, s.extraX, s.extraY, 0);
  return planes;
}

// A pixel is solid when every plane says so; outside a plane nothing is.
inline bool ReferenceSolid(const std::vector<ReferencePlane>& planes, int x, int y) {
  for (const ReferencePlane& p : planes) {
    const int px = x - p.originX, py = y - p.originY;
    if (px < 0 || py < 0 || px >= p.view.width || py >= p.view.height) return false;
    const uint8_t* row = RowOf(p.view, py);
    switch (p.view.kind) {
      case kKindMask:
        if (!((row[px >> 3] >> (7 - (px & 7))) & 1)) return false;
        break;
      case kKindAlpha:
        if (row[px] == 0) return false;
        break;
      default:
        if (p.pen >= 0 && row[px] == p.pen) return false;
        break;
    }
  }
  return true;
}

inline int ReferenceCollision(const CollisionShape& a, const CollisionShape& b) {
  const std::vector<ReferencePlane> pa = ReferencePlanes(a), pb = ReferencePlanes(b);
  const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.width, b.x + b.width);
  const int y1 = std::min(a.y + a.height, b.y + b.height);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (ReferenceSolid(pa, x, y) && ReferenceSolid(pb, x, y)) return 1;
    }
  }
  return 0;
}

}  // namespace tzx::graphics::testing
