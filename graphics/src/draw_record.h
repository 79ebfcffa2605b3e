// The draw record's defaults and the filter table: copies out of the shared
// state and the predicates on filter entries.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"

namespace tzx::graphics {

extern const FilterKind kFilterTable[kFilterKinds];

void GetTransformDefaults(TransformRecord* out);
void GetDrawTagDefaults(TagRecord* out);
// Both defaults (the tag record may be null), the requested size, and the
// smoothscale value unless kInitKeepSmoothScale.
void InitDrawRecord(TransformRecord* transform, TagRecord* tags, int width, int height,
                    int smoothScale, uint32_t flags);

int IsGeometryFilter(int kind);
int HasFilters(const FilterEntry* entries);
int HasNonGeometryFilters(const FilterEntry* entries);
// Any enabled filter but tint, the flips and quantize: those need no filters
// library.
int HasOtherFilters(const FilterEntry* entries);

}  // namespace tzx::graphics
