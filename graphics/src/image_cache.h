// The image cache: loaded pictures kept by key, each holding one reference to
// its image object.
#pragma once

#include "tzx/graphics_images.h"

namespace tzx::graphics {

// Appends an entry with copies of the alpha channel, palette and ranges and a
// reference to the image object. 0, kErrAllocAlpha or kErrNoMemory (nothing
// is kept).
int CacheStore(const char* key, const CachedImage* image);
// The first entry under the key into *out: a new reference to its image
// object, new copies of its alpha channel (only when wanted), palette and
// ranges, which the caller releases and frees. 0, kErrNotCached (no entry, or
// no alpha channel when one is wanted) or kErrNoMemory (nothing is handed
// out).
int CacheLookup(const char* key, int wantAlpha, CachedImage* out);
// Releases every entry's image object once and empties the list.
void FreeImageCache();

}  // namespace tzx::graphics
