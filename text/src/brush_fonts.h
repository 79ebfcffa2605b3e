// Brush fonts (CreateFont): characters cut from a brush's picture in a grid
// of cells.
#pragma once

#include <cstdint>

#include "font_record.h"
#include "tzx/graphics.h"

namespace tzx::text {

struct BrushFontData {
  uint32_t* pixels;  // the grid as 0xAARRGGBB words, gridWidth per row
  int32_t gridWidth;
  int32_t gridHeight;
  int32_t cellWidth;
  int32_t cellHeight;
  int32_t perRow;
  int32_t colSpacing;
  int32_t rowSpacing;
  int32_t count;
  uint8_t characters[1024];  // codes in cell order
  int32_t widths[1024];      // advance of each cell
};

struct BrushFontRequest {
  const char* characters;
  int count;
  int cellWidth;
  int cellHeight;
  int perRow;
  int colSpacing;
  int rowSpacing;
  int ascender;
  const char* name;
  const int32_t* widths;  // count entries
};

// Cuts the cells from the brush into a new kind 5 record. 0, 1156 (brush too
// small) or 1000.
int BuildBrushFont(const graphics::BrushRecordHead& brush, const BrushFontRequest& request,
                   FontRecord** out);
void FreeBrushFont(FontRecord* font);

// The cell of a code, -1 when the string has no such character.
int BrushFontCell(const BrushFontData& f, uint32_t code);

}  // namespace tzx::text
