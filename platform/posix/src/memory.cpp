#include "platform/memory.h"

#include <malloc.h>

namespace tzx::platform {

void KeepPictureSizedBlocks() {
#if defined(__GLIBC__)
  // Blocks below 32 MB (a 2048 x 2048 picture is 16 MB) come from the heap;
  // up to 64 MB free at its top stays with the process.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace tzx::platform
