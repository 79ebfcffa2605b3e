#include "cursor.h"

#include "layout.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

namespace {

// A value lies on a position code when it is within 4999 of it.
bool OnCode(int32_t v, int32_t code) {
  return static_cast<uint32_t>(v) + 4999u - static_cast<uint32_t>(code) <= 9998u;
}

}  // namespace

void PrepareCursor(graphics::OutputRecord* output) {
  graphics::PrintCursor& c = output->cursor;
  if (c.leftMargin == 0 && c.rightMargin == 0) c.rightMargin = output->width - 1;
}

int AddTabStops(graphics::PrintCursor* cursor, const int32_t* stops, int count) {
  for (int i = 0; i < count; ++i) {
    if (stops[i] < 0) return kErrNegativePosition;
  }
  if (cursor->tabCount + count > kMaxTabs) return kErrTooMany;
  for (int i = 0; i < count; ++i) {
    int k = cursor->tabCount++;
    while (k > 0 && cursor->tabs[k - 1] > stops[i]) {
      cursor->tabs[k] = cursor->tabs[k - 1];
      --k;
    }
    cursor->tabs[k] = stops[i];
  }
  return 0;
}

int SetCursorMargins(graphics::PrintCursor* cursor, int32_t left, int32_t right, bool noclip,
                     int32_t outputWidth) {
  if (!noclip) {
    if (left < 0) left = 0;
    if (right > outputWidth - 1) right = outputWidth - 1;
  }
  if (left >= right) return kErrRange;
  cursor->leftMargin = left;
  cursor->rightMargin = right;
  cursor->cursorX = left;
  return 0;
}

void LocateCursor(graphics::PrintCursor* cursor, int32_t x, int32_t y) {
  cursor->cursorX = x < cursor->leftMargin || x > cursor->rightMargin ? cursor->leftMargin : x;
  cursor->cursorY = y;
}

bool IsPositionCodeX(int32_t x) {
  return OnCode(x, graphics::kLeft) || OnCode(x, graphics::kCenter) || OnCode(x, graphics::kRight);
}

bool IsPositionCodeY(int32_t y) {
  return OnCode(y, graphics::kCenter) || OnCode(y, graphics::kTop) || OnCode(y, graphics::kBottom);
}

}  // namespace tzx::text
