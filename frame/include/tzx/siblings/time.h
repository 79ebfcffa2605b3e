// What the libraries call in the "time" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "time": date parsing and the default entry date.
struct DateRecord;
struct TimeSibling {
  int (*parseDate)(const char* text, DateRecord* out);
  const void* slot1;
  void (*defaultDate)(DateRecord* out);
};
static_assert(offsetof(TimeSibling, defaultDate) == 2 * sizeof(void*));

}  // namespace tzx
