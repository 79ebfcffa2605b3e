// The texts of list bullets: symbols by encoding and font kind, numbers,
// letters and roman numerals, each followed by one space.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

// Long enough for any bullet: "(mmmmmmmmmm...)" is bounded by the item count.
inline constexpr size_t kBulletTextSize = 96;

// Writes the bullet of item n (0-based) of a level with `kind`; returns its
// length (0 for BULLET_NONE).
size_t BulletText(int32_t kind, int32_t n, int32_t encoding, bool bitmapFont, char* out);

// Kinds 8 to 22 write numbers, letters or roman numerals.
inline bool IsNumberedBullet(int32_t kind) {
  return kind >= 8 && kind <= 22;
}

}  // namespace tzx::text
