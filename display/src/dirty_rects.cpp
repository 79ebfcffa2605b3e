#include "dirty_rects.h"

#include <algorithm>
#include <cstring>

#include "tzx/frame.h"

namespace tzx::display {

bool InitRectList(RectList* list) {
  *list = {};
  list->rects = static_cast<DirtyRect*>(HostAlloc(sizeof(DirtyRect) * kRectListBlock, false));
  if (!list->rects) return false;
  list->capacity = kRectListBlock;
  return true;
}

void FreeRectList(RectList* list) {
  HostFree(list->rects);
  *list = {};
}

void ClearRectList(RectList* list) {
  list->count = 0;
  list->everything = 0;
}

void AddRect(RectList* list, int x, int y, int width, int height, int pictureWidth,
             int pictureHeight, bool grow) {
  if (list->everything || width <= 0 || height <= 0) return;
  if (x <= 0 && y <= 0 && width >= pictureWidth && height >= pictureHeight) {
    list->everything = 1;
    return;
  }
  if (list->count == list->capacity) {
    DirtyRect* bigger =
        grow ? static_cast<DirtyRect*>(
                   HostAlloc(sizeof(DirtyRect) * size_t(list->capacity + kRectListBlock), false))
             : nullptr;
    if (!bigger) {
      list->everything = 1;
      return;
    }
    if (list->count) std::memcpy(bigger, list->rects, sizeof(DirtyRect) * size_t(list->count));
    HostFree(list->rects);
    list->rects = bigger;
    list->capacity += kRectListBlock;
  }
  list->rects[list->count++] = DirtyRect{x, y, x + width - 1, y + height - 1};
}

void MergeRects(DirtyRect* r, int count) {
  for (int i = 0; i < count; ++i) {
    if (r[i].x1 == kConsumed) continue;
    // Rectangle i grows in `a`; nothing else reads it during its pass. A
    // rectangle inside another also touches it, so one test serves both.
    DirtyRect a = r[i];
    for (int j = 0; j < count; ++j) {
      const DirtyRect& b = r[j];
      if (j == i || b.x1 == kConsumed) continue;
      if (b.x1 - a.x2 > 1 || a.x1 - b.x2 > 1 || b.y1 - a.y2 > 1 || a.y1 - b.y2 > 1) continue;
      a = DirtyRect{std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2),
                    std::max(a.y2, b.y2)};
      r[j].x1 = kConsumed;
    }
    r[i] = a;
  }
}

}  // namespace tzx::display
