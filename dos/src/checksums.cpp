#include "checksums.h"

#include <immintrin.h>

#include <bit>
#include <cstring>
#include <utility>

namespace tzx::dos {
namespace {

inline uint32_t Load32LE(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian host (checked in file_read.cpp)
}

inline uint64_t Load64LE(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

inline uint32_t Load32BE(const uint8_t* p) {
  return __builtin_bswap32(Load32LE(p));
}

// A table is linear when each entry is the XOR of the entries of its bits; only
// then may it be extended to the 16-byte step.
bool IsLinear(const uint32_t* table) {
  if (table[0] != 0) return false;
  for (unsigned i = 1; i < 256; ++i) {
    uint32_t x = 0;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (i & (1u << bit)) x ^= table[1u << bit];
    }
    if (x != table[i]) return false;
  }
  return true;
}

// The table of the reflected polynomial 0xEDB88320, which the folding
// constants below belong to.
bool IsStandardTable(const uint32_t* table) {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    if (table[i] != c) return false;
  }
  return true;
}

bool CanFold() {
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

#define TZX_CLMUL __attribute__((target("pclmul,sse4.1")))

TZX_CLMUL inline __m128i Load128(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// One 128-bit lane carried 128 bits further and added to the next block.
TZX_CLMUL inline __m128i Fold16(__m128i acc, __m128i next, __m128i k) {
  __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
  __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, next), lo);
}

// Folds `n` bytes (a multiple of 16, at least 64) into the register by
// carry-less multiplication: four 128-bit lanes advance 64 bytes a step, are
// folded into one, and a Barrett reduction brings it back to 32 bits. The
// constants are x^k mod P for the fold distances, bit-reflected, and the
// reflected P and its Barrett quotient.
TZX_CLMUL uint32_t Fold(uint32_t crc, const uint8_t* p, size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i x1 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load128(p + 16), x3 = Load128(p + 32), x4 = Load128(p + 48);
  p += 64;
  n -= 64;
  while (n >= 64) {
    __m128i x5 = _mm_clmulepi64_si128(x1, k1k2, 0x00);
    __m128i x6 = _mm_clmulepi64_si128(x2, k1k2, 0x00);
    __m128i x7 = _mm_clmulepi64_si128(x3, k1k2, 0x00);
    __m128i x8 = _mm_clmulepi64_si128(x4, k1k2, 0x00);
    x1 = _mm_clmulepi64_si128(x1, k1k2, 0x11);
    x2 = _mm_clmulepi64_si128(x2, k1k2, 0x11);
    x3 = _mm_clmulepi64_si128(x3, k1k2, 0x11);
    x4 = _mm_clmulepi64_si128(x4, k1k2, 0x11);
    x1 = _mm_xor_si128(_mm_xor_si128(x1, x5), Load128(p));
    x2 = _mm_xor_si128(_mm_xor_si128(x2, x6), Load128(p + 16));
    x3 = _mm_xor_si128(_mm_xor_si128(x3, x7), Load128(p + 32));
    x4 = _mm_xor_si128(_mm_xor_si128(x4, x8), Load128(p + 48));
    p += 64;
    n -= 64;
  }
  // Four lanes into one, then the remaining 16-byte blocks.
  x1 = Fold16(x1, x2, k3k4);
  x1 = Fold16(x1, x3, k3k4);
  x1 = Fold16(x1, x4, k3k4);
  while (n >= 16) {
    x1 = Fold16(x1, Load128(p), k3k4);
    p += 16;
    n -= 16;
  }
  // 128 bits to 64, then to 32 by Barrett reduction.
  __m128i x2b = _mm_clmulepi64_si128(x1, k3k4, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2b);
  x2b = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, low32);
  x1 = _mm_clmulepi64_si128(x1, k5, 0x00);
  x1 = _mm_xor_si128(x1, x2b);
  x2b = _mm_and_si128(x1, low32);
  x2b = _mm_clmulepi64_si128(x2b, poly, 0x10);
  x2b = _mm_and_si128(x2b, low32);
  x2b = _mm_clmulepi64_si128(x2b, poly, 0x00);
  x1 = _mm_xor_si128(x1, x2b);
  return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

#undef TZX_CLMUL

}  // namespace

void BuildCrc32Tables(const uint32_t* table, Crc32Tables* out) {
  std::memcpy(out->t[0], table, sizeof out->t[0]);
  out->sliced = IsLinear(table);
  out->folding = out->sliced && IsStandardTable(table) && CanFold();
  if (!out->sliced) return;
  // t[k][i]: the effect of byte i followed by k zero bytes.
  for (int k = 1; k < 16; ++k) {
    for (int i = 0; i < 256; ++i) {
      uint32_t prev = out->t[k - 1][i];
      out->t[k][i] = (prev >> 8) ^ out->t[0][prev & 0xFF];
    }
  }
}

uint32_t Crc32Update(const Crc32Tables& tables, uint32_t crc, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  const auto& t = tables.t;
  if (tables.folding && n >= 64) {
    size_t folded = n & ~size_t{15};
    crc = Fold(crc, p, folded);
    p += folded;
    n -= folded;
  }
  if (tables.sliced) {
    while (n >= 16) {
      uint64_t a = Load64LE(p) ^ crc;
      uint64_t b = Load64LE(p + 8);
      crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^
            t[12][(a >> 24) & 0xFF] ^ t[11][(a >> 32) & 0xFF] ^ t[10][(a >> 40) & 0xFF] ^
            t[9][(a >> 48) & 0xFF] ^ t[8][a >> 56] ^ t[7][b & 0xFF] ^ t[6][(b >> 8) & 0xFF] ^
            t[5][(b >> 16) & 0xFF] ^ t[4][(b >> 24) & 0xFF] ^ t[3][(b >> 32) & 0xFF] ^
            t[2][(b >> 40) & 0xFF] ^ t[1][(b >> 48) & 0xFF] ^ t[0][b >> 56];
      p += 16;
      n -= 16;
    }
  }
  while (n--) crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
  return crc;
}

// --- MD5 --------------------------------------------------------------------

namespace {

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// The two halves of G share no bits, so they can be added, and the half
// without the newest word (x) is ready before it: a shorter chain per step.
#define MD5_G(x, y, z) (((x) & (z)) + ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += (x) + (t);                        \
  a += f(b, c, d);                       \
  a = std::rotl(a, s) + (b)

void Md5Blocks(uint32_t state[4], const uint8_t* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks; --blocks, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = Load32LE(p + 4 * i);
    uint32_t sa = a, sb = b, sc = c, sd = d;

    MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    a += sa;
    b += sb;
    c += sc;
    d += sd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I
#undef MD5_STEP

// Feeds whole blocks straight from the input and keeps the rest pending; shared
// by both hashes, which differ only in their block function.
template <class BlockFn>
void Absorb(BlockFn blocks, uint8_t pending[64], size_t* used, uint64_t* length, const void* data,
            size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  *length += n;
  if (*used) {
    size_t take = 64 - *used < n ? 64 - *used : n;
    std::memcpy(pending + *used, p, take);
    *used += take;
    p += take;
    n -= take;
    if (*used < 64) return;
    blocks(pending, 1);
    *used = 0;
  }
  if (n >= 64) {
    blocks(p, n / 64);
    p += n - n % 64;
    n %= 64;
  }
  std::memcpy(pending, p, n);
  *used = n;
}

// The closing padding: 0x80, zeros, then the bit length in the last 8 bytes.
template <class BlockFn>
void Pad(BlockFn blocks, uint8_t pending[64], size_t used, uint64_t bitLength, bool bigEndian) {
  pending[used++] = 0x80;
  if (used > 56) {
    std::memset(pending + used, 0, 64 - used);
    blocks(pending, 1);
    used = 0;
  }
  std::memset(pending + used, 0, 56 - used);
  for (int i = 0; i < 8; ++i) {
    int shift = bigEndian ? 56 - 8 * i : 8 * i;
    pending[56 + i] = static_cast<uint8_t>(bitLength >> shift);
  }
  blocks(pending, 1);
}

}  // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::Update(const void* data, size_t n) {
  auto blocks = [this](const uint8_t* p, size_t count) { Md5Blocks(state_, p, count); };
  Absorb(blocks, pending_, &used_, &length_, data, n);
}

void Md5::Final(uint8_t digest[kDigestSize]) {
  auto blocks = [this](const uint8_t* p, size_t count) { Md5Blocks(state_, p, count); };
  Pad(blocks, pending_, used_, length_ * 8, false);
  std::memcpy(digest, state_, kDigestSize);
}

// --- SHA-1 ------------------------------------------------------------------

namespace {

// The message schedule lives in a 16-word ring; each round names its roles
// explicitly so the compiler keeps all five words in registers.
#define SHA1_W(t) \
  (w[(t)&15] = std::rotl(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_F0(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F1(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F2(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define SHA1_ROUND(a, b, c, d, e, f, k, x)       \
  e += std::rotl(a, 5) + f(b, c, d) + (k) + (x); \
  b = std::rotl(b, 30)
#define SHA1_R0(a, b, c, d, e, t) SHA1_ROUND(a, b, c, d, e, SHA1_F0, 0x5A827999u, w[t])
#define SHA1_R1(a, b, c, d, e, t) SHA1_ROUND(a, b, c, d, e, SHA1_F0, 0x5A827999u, SHA1_W(t))
#define SHA1_R2(a, b, c, d, e, t) SHA1_ROUND(a, b, c, d, e, SHA1_F1, 0x6ED9EBA1u, SHA1_W(t))
#define SHA1_R3(a, b, c, d, e, t) SHA1_ROUND(a, b, c, d, e, SHA1_F2, 0x8F1BBCDCu, SHA1_W(t))
#define SHA1_R4(a, b, c, d, e, t) SHA1_ROUND(a, b, c, d, e, SHA1_F1, 0xCA62C1D6u, SHA1_W(t))
#define SHA1_FIVE(R, t)      \
  R(a, b, c, d, e, (t));     \
  R(e, a, b, c, d, (t) + 1); \
  R(d, e, a, b, c, (t) + 2); \
  R(c, d, e, a, b, (t) + 3); \
  R(b, c, d, e, a, (t) + 4)

void Sha1Blocks(uint32_t state[5], const uint8_t* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
  for (; blocks; --blocks, p += 64) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = Load32BE(p + 4 * i);
    uint32_t sa = a, sb = b, sc = c, sd = d, se = e;
    SHA1_FIVE(SHA1_R0, 0);
    SHA1_FIVE(SHA1_R0, 5);
    SHA1_FIVE(SHA1_R0, 10);
    SHA1_R0(a, b, c, d, e, 15);
    SHA1_R1(e, a, b, c, d, 16);
    SHA1_R1(d, e, a, b, c, 17);
    SHA1_R1(c, d, e, a, b, 18);
    SHA1_R1(b, c, d, e, a, 19);
    SHA1_FIVE(SHA1_R2, 20);
    SHA1_FIVE(SHA1_R2, 25);
    SHA1_FIVE(SHA1_R2, 30);
    SHA1_FIVE(SHA1_R2, 35);
    SHA1_FIVE(SHA1_R3, 40);
    SHA1_FIVE(SHA1_R3, 45);
    SHA1_FIVE(SHA1_R3, 50);
    SHA1_FIVE(SHA1_R3, 55);
    SHA1_FIVE(SHA1_R4, 60);
    SHA1_FIVE(SHA1_R4, 65);
    SHA1_FIVE(SHA1_R4, 70);
    SHA1_FIVE(SHA1_R4, 75);
    a += sa;
    b += sb;
    c += sc;
    d += sd;
    e += se;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
  state[4] = e;
}

#undef SHA1_W
#undef SHA1_F0
#undef SHA1_F1
#undef SHA1_F2
#undef SHA1_ROUND
#undef SHA1_R0
#undef SHA1_R1
#undef SHA1_R2
#undef SHA1_R3
#undef SHA1_R4
#undef SHA1_FIVE

#define TZX_SHA __attribute__((target("sha,ssse3,sse4.1")))

// Four rounds with the SHA instructions. The schedule lives in four registers:
// group G loads or extends msg[G % 4] and prepares the words of later groups.
template <int G>
TZX_SHA inline void Sha1Group(__m128i& abcd, __m128i& e0, __m128i& e1, __m128i (&msg)[4],
                              const uint8_t* p, __m128i byteSwap) {
  if constexpr (G < 4) {
    msg[G] =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * G)), byteSwap);
  }
  __m128i& e = G % 2 == 0 ? e0 : e1;
  __m128i& next = G % 2 == 0 ? e1 : e0;
  if constexpr (G == 0) {
    e = _mm_add_epi32(e, msg[0]);
  } else {
    e = _mm_sha1nexte_epu32(e, msg[G % 4]);
  }
  next = abcd;
  if constexpr (G >= 3 && G <= 18) {
    msg[(G + 1) % 4] = _mm_sha1msg2_epu32(msg[(G + 1) % 4], msg[G % 4]);
  }
  abcd = _mm_sha1rnds4_epu32(abcd, e, G / 5);
  if constexpr (G >= 1 && G <= 16) {
    msg[(G + 3) % 4] = _mm_sha1msg1_epu32(msg[(G + 3) % 4], msg[G % 4]);
  }
  if constexpr (G >= 2 && G <= 17) {
    msg[(G + 2) % 4] = _mm_xor_si128(msg[(G + 2) % 4], msg[G % 4]);
  }
}

template <int... G>
TZX_SHA inline void Sha1Groups(std::integer_sequence<int, G...>, __m128i& abcd, __m128i& e0,
                               __m128i& e1, __m128i (&msg)[4], const uint8_t* p, __m128i byteSwap) {
  (Sha1Group<G>(abcd, e0, e1, msg, p, byteSwap), ...);
}

TZX_SHA void Sha1BlocksWithExtensions(uint32_t state[5], const uint8_t* p, size_t blocks) {
  const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
  __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
  for (; blocks; --blocks, p += 64) {
    __m128i abcdSaved = abcd, e0Saved = e0, e1, msg[4];
    Sha1Groups(std::make_integer_sequence<int, 20>(), abcd, e0, e1, msg, p, byteSwap);
    e0 = _mm_sha1nexte_epu32(e0, e0Saved);
    abcd = _mm_add_epi32(abcd, abcdSaved);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
  state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

#undef TZX_SHA

bool HasShaExtensions() {
  return __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1") &&
         __builtin_cpu_supports("ssse3");
}

}  // namespace

Sha1::Sha1(bool allowExtensions)
    : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0},
      extensions_(allowExtensions && HasShaExtensions()) {}

void Sha1::Blocks(const uint8_t* p, size_t count) {
  if (extensions_) {
    Sha1BlocksWithExtensions(state_, p, count);
  } else {
    Sha1Blocks(state_, p, count);
  }
}

void Sha1::Update(const void* data, size_t n) {
  auto blocks = [this](const uint8_t* p, size_t count) { Blocks(p, count); };
  Absorb(blocks, pending_, &used_, &length_, data, n);
}

void Sha1::Final(uint8_t digest[kDigestSize]) {
  auto blocks = [this](const uint8_t* p, size_t count) { Blocks(p, count); };
  Pad(blocks, pending_, used_, length_ * 8, true);
  for (int i = 0; i < 5; ++i) {
    uint32_t v = __builtin_bswap32(state_[i]);
    std::memcpy(digest + 4 * i, &v, 4);
  }
}

void HexDigits(const uint8_t* bytes, size_t n, char* out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < n; ++i) {
    out[2 * i] = kDigits[bytes[i] >> 4];
    out[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  out[2 * n] = 0;
}

}  // namespace tzx::dos
