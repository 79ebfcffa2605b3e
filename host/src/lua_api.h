#pragma once

#include "tzx/host.h"

namespace tzx::host {

// Maps a classic pseudo-index (registry, globals, upvalues) to the embedded
// interpreter's; stack positions pass through.
int TranslateIndex(int index);

extern const LuaApi kLuaApi;

}  // namespace tzx::host
