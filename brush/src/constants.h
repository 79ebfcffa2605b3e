// The table that tzx_GetConstants hands to the host.
#pragma once

#include <cstddef>

#include "tzx/types.h"

namespace tzx::brush {

// Ended by an all-zero row, which kConstantCount does not count.
extern const ConstantRow kConstants[];
extern const size_t kConstantCount;

}  // namespace tzx::brush
