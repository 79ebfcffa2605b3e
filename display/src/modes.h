// Screen modes and the scale state of a display on plain values: which mode
// full screen takes, the list of sizes a monitor offers, where a scaled
// picture shows in its window and how window points map back to it.
#pragma once

#include <cstdint>

#include "platform/window_backend.h"

namespace tzx::display {

struct ModeSize {
  int32_t width;
  int32_t height;
};

// Keeps the first of each width × height of `modes` in place, in their order;
// returns how many are left.
int UniqueSizes(ModeSize* modes, int count);

// The index of the smallest mode (by area; the first of equal ones) that is
// at least width × height at `depth` bits or more; -1 when none is.
int ChooseMode(const platform::ScreenMode* modes, int count, int width, int height, int depth);

// Where a picture shows inside a window's client area.
struct PictureView {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// Unscaled pictures sit at the top-left at their own size; scaled ones fill
// the client area, or, when `keepAspect`, the largest part of it with the
// picture's aspect, centred between black borders.
PictureView ViewOf(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight,
                   bool scaled, bool keepAspect);

// A client point in the picture's own coordinates.
void ToPicture(const PictureView& view, int pictureWidth, int pictureHeight, int x, int y,
               int* outX, int* outY);

// The client size nearest to width × height that keeps the picture's aspect:
// the side that moved further from the old size leads.
void KeepAspect(int pictureWidth, int pictureHeight, int oldWidth, int oldHeight, int* width,
                int* height);

}  // namespace tzx::display
