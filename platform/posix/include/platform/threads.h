// Thread names, as debuggers and process lists show them.
#pragma once

namespace tzx::platform {

// Names the calling thread; the system may keep only the first characters.
void NameCurrentThread(const char* name);

}  // namespace tzx::platform
