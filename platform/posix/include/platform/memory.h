// How the process's allocator treats large blocks.
#pragma once

#include <cstddef>

namespace tzx::platform {

// Pictures of a few megabytes are made and freed again and again (a loaded
// picture, its converted planes, a scaled copy). Left to itself the allocator
// maps each such block anew and hands it back on free, so every picture pays
// a page fault per page. Kept in the heap and not trimmed at once, freed
// picture memory is reused as it is. Called once at start.
void KeepPictureSizedBlocks();

// A block about to be filled from start to end (a program's whole output, a
// file read whole): backed by huge pages where the system offers them, it
// costs one page fault per 2 MB in place of one per 4 KB, which on a virtual
// machine is most of the time spent filling it. Blocks under 4 MB are left as
// they are: most come from heap memory used before.
void PreferLargePages(void* block, size_t size);

}  // namespace tzx::platform
