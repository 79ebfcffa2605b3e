// The record tzx_GetInterface hands out.
#pragma once

#include "tzx/display.h"

namespace tzx::display {

extern const DisplayInterface kInterface;

}  // namespace tzx::display
