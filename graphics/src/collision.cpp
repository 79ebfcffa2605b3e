#include "collision.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "bitmaps.h"
#include "placement.h"
#include "tzx/errors.h"

namespace tzx::graphics {

namespace {

// Words hold 64 pixels, the first pixel in the most significant bit, as mask
// bytes hold theirs.
constexpr int kWordPixels = 64;

enum PlaneKind { kPlaneMask, kPlaneAlpha, kPlaneIndex };

// One plane of an object, placed in the boxes' coordinates.
struct Plane {
  PlaneKind kind;
  const uint8_t* pixels;
  int bytesPerRow;
  int width;
  int height;
  int originX;  // where its first pixel lies
  int originY;
  uint8_t pen;  // index planes: the transparent pen
  bool anyPen;  // index planes without a transparent pen
};

struct Solid {
  Plane planes[4];
  int count = 0;
};

// The first n bits of a word set.
uint64_t Leading(int n) {
  return n >= kWordPixels ? ~uint64_t{0} : n <= 0 ? 0 : ~uint64_t{0} << (kWordPixels - n);
}

uint8_t Reverse8(uint8_t v) {
  v = static_cast<uint8_t>((v & 0xF0) >> 4 | (v & 0x0F) << 4);
  v = static_cast<uint8_t>((v & 0xCC) >> 2 | (v & 0x33) << 2);
  return static_cast<uint8_t>((v & 0xAA) >> 1 | (v & 0x55) << 1);
}

struct ReverseTable {
  uint8_t bits[256];
  ReverseTable() {
    for (int i = 0; i < 256; ++i) bits[i] = Reverse8(static_cast<uint8_t>(i));
  }
};
const ReverseTable kReverse;

// n (1..64) mask bits from bit `pos` of a row, all inside the row.
uint64_t MaskWord(const uint8_t* row, int bytesPerRow, int pos, int n) {
  const int byte = pos >> 3, shift = pos & 7;
  const uint8_t* bytes = row + byte;
  uint8_t last[9] = {};
  if (byte + 9 > bytesPerRow) {
    // The row's last bytes: only those it has.
    std::memcpy(last, bytes, static_cast<size_t>(bytesPerRow - byte));
    bytes = last;
  }
  uint64_t word;
  std::memcpy(&word, bytes, 8);
  word = __builtin_bswap64(word);
  if (shift) word = word << shift | bytes[8] >> (8 - shift);
  return word & Leading(n);
}

// Bytes to bits, a byte's bit set when `solid` says so; n (1..64) bytes.
template <class Test, class Wide>
uint64_t ByteWord(const uint8_t* bytes, int n, Test solid, Wide wideSolid) {
  uint64_t word = 0;
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const unsigned bits = wideSolid(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)));
    const uint64_t msbFirst = uint64_t{kReverse.bits[bits & 255]} << 8 | kReverse.bits[bits >> 8];
    word |= msbFirst << (48 - i);
  }
  for (; i < n; ++i) word |= uint64_t{solid(bytes[i])} << (63 - i);
  return word;
}

// n (1..64) pixels of the plane from (x, y) on, every one inside it.
uint64_t InsideWord(const Plane& p, const uint8_t* row, int x, int n) {
  switch (p.kind) {
    case kPlaneMask:
      return MaskWord(row, p.bytesPerRow, x, n);
    case kPlaneAlpha: {
      const __m128i zero = _mm_setzero_si128();
      return ByteWord(
          row + x, n, [](uint8_t v) { return v != 0; },
          [&](__m128i v) { return ~_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)) & 0xFFFFu; });
    }
    default: {
      if (p.anyPen) return Leading(n);
      const __m128i pen = _mm_set1_epi8(static_cast<char>(p.pen));
      const uint8_t transparent = p.pen;
      return ByteWord(
          row + x, n, [&](uint8_t v) { return v != transparent; },
          [&](__m128i v) { return ~_mm_movemask_epi8(_mm_cmpeq_epi8(v, pen)) & 0xFFFFu; });
    }
  }
}

// The solid bits of n (1..64) pixels from (x, y) in the boxes' coordinates;
// pixels outside the plane are not solid.
uint64_t PlaneWord(const Plane& p, int x, int y, int n) {
  const int py = y - p.originY;
  if (py < 0 || py >= p.height) return 0;
  const int px = x - p.originX;
  const int first = std::max(0, -px), end = std::min(n, p.width - px);
  if (first >= end) return 0;
  const uint8_t* row = p.pixels + static_cast<ptrdiff_t>(py) * p.bytesPerRow;
  return InsideWord(p, row, px + first, end - first) >> first;
}

bool AddPlane(Solid* s, const BitmapHandle* bitmap, PlaneKind kind, int originX, int originY,
              int pen) {
  if (!bitmap) return true;
  PixelView v;
  if (!ViewOf(bitmap, &v)) return false;
  if ((kind == kPlaneMask) != (v.kind == kKindMask) || v.kind == kKindColor) return false;
  s->planes[s->count++] = {kind,    v.pixels, v.bytesPerRow,      v.width, v.height,
                           originX, originY,  uint8_t(pen & 255), pen < 0};
  return true;
}

bool Gather(const CollisionShape& shape, Solid* s) {
  const int ox = shape.x - shape.sourceX, oy = shape.y - shape.sourceY;
  return AddPlane(s, shape.mask, kPlaneMask, ox, oy, 0) &&
         AddPlane(s, shape.alpha, kPlaneAlpha, ox, oy, 0) &&
         AddPlane(s, shape.index, kPlaneIndex, ox, oy, shape.transparentPen) &&
         AddPlane(s, shape.extraMask, kPlaneMask, shape.extraX, shape.extraY, 0);
}

uint64_t SolidWord(const Solid& s, int x, int y, int n) {
  uint64_t word = Leading(n);
  for (int i = 0; i < s.count && word; ++i) word &= PlaneWord(s.planes[i], x, y, n);
  return word;
}

}  // namespace

bool BoxesMeet(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
  return RectsOverlap(x1, y1, w1, h1, x2, y2, w2, h2) != 0;
}

int CollisionTest(const CollisionShape* a, const CollisionShape* b) {
  int x, y, w, h;
  if (!IntersectRect(a->x, a->y, a->width, a->height, b->x, b->y, b->width, b->height, &x, &y, &w,
                     &h)) {
    return 0;
  }
  Solid sa, sb;
  if (!Gather(*a, &sa) || !Gather(*b, &sb)) return kErrLockBitmap;
  if (sa.count == 0 && sb.count == 0) return 1;
  for (int row = y; row < y + h; ++row) {
    for (int column = x; column < x + w; column += kWordPixels) {
      const int n = std::min(kWordPixels, x + w - column);
      const uint64_t solidA = SolidWord(sa, column, row, n);
      if (solidA && (solidA & SolidWord(sb, column, row, n))) return 1;
    }
  }
  return 0;
}

}  // namespace tzx::graphics
