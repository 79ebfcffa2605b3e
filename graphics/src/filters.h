// The filters of a draw record applied to a bitmap set in priority order: the
// colour and geometry filters through the filters library, tint and the flips
// by this library.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {

// Runs the enabled filters from the highest priority down, equal priorities
// in kind order; with geometryOnly only the geometry filters. With a palette
// (and pens in *index) the colour filters change the 256 palette entries and
// the filters that need neighbouring pixels are skipped. 0, the first error,
// or kErrSiblingAbsent ("filters") for a filter of the filters library
// while it is absent.
int ApplyFilters(lua_State* L, const FilterEntry* entries, BitmapHandle** color,
                 BitmapHandle** mask, BitmapHandle** alpha, BitmapHandle** index, uint32_t* palette,
                 int width, int height, int geometryOnly);

}  // namespace tzx::graphics
