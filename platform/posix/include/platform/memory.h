// How the process's allocator treats large blocks.
#pragma once

namespace tzx::platform {

// Pictures of a few megabytes are made and freed again and again (a loaded
// picture, its converted planes, a scaled copy). Left to itself the allocator
// maps each such block anew and hands it back on free, so every picture pays
// a page fault per page. Kept in the heap and not trimmed at once, freed
// picture memory is reused as it is. Called once at start.
void KeepPictureSizedBlocks();

}  // namespace tzx::platform
