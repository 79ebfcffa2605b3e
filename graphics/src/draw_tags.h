// The draw-tag parser: a drawing command's tag table read into a draw record
// (transform record and tag record). Errors are host codes; the parse stops at
// the first one and keeps what it had read.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/siblings/layers.h"
#include "tzx/types.h"

namespace tzx::graphics {

// Flags of ParseDrawTags.
inline constexpr uint32_t kParseFromDefaults = 0x01;      // start from the defaults
inline constexpr uint32_t kParseTableRequired = 0x02;     // a missing table is error 1140
inline constexpr uint32_t kParseNoSize = 0x04;            // "width" and "height" are not read
inline constexpr uint32_t kParseNoRotate = 0x08;          // "rotate" is not read
inline constexpr uint32_t kParseSmoothWithRotate = 0x10;  // smoothScale only for rotations

// The table at `index` is read only when it is the last argument. `width` and
// `height` are a requested size (0 = none); `tags` may be null to read the
// transform part alone.
int ParseDrawTags(lua_State* L, int index, int sourceWidth, int sourceHeight, int width, int height,
                  int smoothScale, TransformRecord* transform, TagRecord* tags, uint32_t flags);
// "shadow" and, while it is on, its colour, pen, direction, size, radius and
// sigma; 0 or kErrRange.
int ParseShadowTags(lua_State* L, int table, ShadowRecord* shadow, int, int);
// "border", "bordercolor", "borderpen", "bordersize", and with edgeNames also
// "edgecolor", "edgesize" and "outlinethickness"; 0 or kErrRange.
int ParseBorderTags(lua_State* L, int table, int edgeNames, BorderRecord* border, int);
// The "filters" list of the table into the 21 entries. 1 when the field holds
// a table (then *given is set); *error gets 0 or the code of the first bad
// entry.
int ParseFiltersTag(lua_State* L, int table, FilterEntry* entries, int* given, int* error);

}  // namespace tzx::graphics
