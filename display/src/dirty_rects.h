// Lists of changed rectangles: the dirty list of a double-buffered display
// and the list of changes waiting to reach a display's window. Plain values,
// no host state besides the memory service.
#pragma once

#include <cstdint>

namespace tzx::display {

// A rectangle with inclusive corners.
struct DirtyRect {
  int32_t x1;
  int32_t y1;
  int32_t x2;
  int32_t y2;
};

// Entries a list is made with, and the step it grows by.
inline constexpr int32_t kRectListBlock = 1024;
// x1 of a rectangle that the merge folded into another.
inline constexpr int32_t kConsumed = 100000;

struct RectList {
  DirtyRect* rects;
  int32_t count;
  int32_t capacity;
  // Everything is changed: the rectangles no longer matter.
  int32_t everything;
};

// Allocates room for kRectListBlock rectangles; false when out of memory.
bool InitRectList(RectList* list);
void FreeRectList(RectList* list);
void ClearRectList(RectList* list);

// Adds (x, y, width, height) for a picture of pictureWidth × pictureHeight.
// A rectangle that covers the whole picture marks everything changed. A full
// list grows by kRectListBlock entries when `grow` is set and memory allows;
// otherwise it too marks everything changed, so that no change is lost.
void AddRect(RectList* list, int x, int y, int width, int height, int pictureWidth,
             int pictureHeight, bool grow);

// One pass over all pairs (i, j), i != j, in index order: when i lies inside
// j, or the two overlap or touch, i becomes the bounding box of both and j is
// consumed (x1 = kConsumed). A rectangle grown late in the pass is not
// compared again with those already passed.
void MergeRects(DirtyRect* rects, int count);

}  // namespace tzx::display
