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

namespace {

// Longest list whose rectangles are first checked, in order of x1, for a pair
// that overlaps or touches; the sort keys live on the stack.
constexpr int kSweepLimit = kRectListBlock;

// Whether any two rectangles not consumed overlap or touch. Sorted by x1, a
// rectangle can only touch those that follow it while their x1 is at most
// one beyond its x2, so rectangles spread over the picture take few tests.
bool AnyTouching(const DirtyRect* r, int count) {
  int64_t keys[kSweepLimit];
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (r[i].x1 != kConsumed) keys[n++] = int64_t{r[i].x1} * (int64_t{1} << 32) + i;
  }
  std::sort(keys, keys + n);
  for (int s = 0; s < n; ++s) {
    const DirtyRect& a = r[keys[s] & 0xFFFFFFFF];
    for (int t = s + 1; t < n; ++t) {
      const DirtyRect& b = r[keys[t] & 0xFFFFFFFF];
      if (b.x1 - a.x2 > 1) break;
      if (a.x1 - b.x2 <= 1 && b.y1 - a.y2 <= 1 && a.y1 - b.y2 <= 1) return true;
    }
  }
  return false;
}

}  // namespace

void MergeRects(DirtyRect* r, int count) {
  // Without a touching pair no rectangle grows, so the pass changes nothing.
  if (count < 2 || (count <= kSweepLimit && !AnyTouching(r, count))) return;
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
