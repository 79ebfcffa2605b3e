// The print cursor of an output: its position, margins and tab stops.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::text {

// A cursor the output's owner left zeroed has its margins at the output's
// edges.
void PrepareCursor(graphics::OutputRecord* output);

// Inserts the stops in ascending order: 1154 for a negative position, 1066
// beyond 32 stops (the cursor is unchanged then).
int AddTabStops(graphics::PrintCursor* cursor, const int32_t* stops, int count);

// Sets the margins; without noclip a negative left becomes 0 and right is
// limited to width - 1. 1055 unless left is below right.
int SetCursorMargins(graphics::PrintCursor* cursor, int32_t left, int32_t right, bool noclip,
                     int32_t outputWidth);

// Moves the cursor; an x outside the margins goes to the left margin.
void LocateCursor(graphics::PrintCursor* cursor, int32_t x, int32_t y);

// Positions of Locate that are position codes (1337).
bool IsPositionCodeX(int32_t x);
bool IsPositionCodeY(int32_t y);

}  // namespace tzx::text
