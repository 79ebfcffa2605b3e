// The three outline fonts stored inside the library, opened from memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

struct StoredFont {
  const char* family;
  const uint8_t* data;
  size_t length;
};

inline constexpr int kStoredFontCount = 3;
// Sans, Sans Mono, Serif.
extern const StoredFont kStoredFonts[kStoredFontCount];

// The stored font of that family (case-insensitive), or null.
const StoredFont* FindStoredFont(const char* family);

}  // namespace tzx::text
