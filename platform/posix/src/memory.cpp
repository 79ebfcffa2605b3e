#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace tzx::platform {

void KeepPictureSizedBlocks() {
#if defined(__GLIBC__)
  // Blocks below 32 MB (a 2048 x 2048 picture is 16 MB) come from the heap;
  // up to 64 MB free at its top stays with the process.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

void PreferLargePages(void* block, size_t size) {
  constexpr uintptr_t kHuge = uintptr_t{2} << 20;
  if (size < 2 * kHuge) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(kHuge - 1);
  // Only whole huge pages inside the block: its neighbours keep their pages.
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace tzx::platform
