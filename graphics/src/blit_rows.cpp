#include "blit_rows.h"

#include <cstring>

#include "lanes.h"
#include "scaling_kernels.h"

namespace tzx::graphics {

namespace {

// Generic vectors: SSE2 on every x86-64, scalar code elsewhere. Only the
// interleaving shuffles that SSE2 has (unpack) are used.
using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Words8 = uint16_t __attribute__((vector_size(16)));
using Words16 = uint16_t __attribute__((vector_size(32)));
using Dwords4 = uint32_t __attribute__((vector_size(16)));

inline Words8 LowWords(Bytes16 v) {
  Bytes16 zero = {};
  return reinterpret_cast<Words8>(
      __builtin_shufflevector(v, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
}
inline Words8 HighWords(Bytes16 v) {
  Bytes16 zero = {};
  return reinterpret_cast<Words8>(__builtin_shufflevector(v, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12,
                                                          28, 13, 29, 14, 30, 15, 31));
}
inline Words8 Blend(Words8 s, Words8 d, Words8 a) {
  Words8 x = s * a + d * (255 - a) + 128;
  return (x + (x >> 8)) >> 8;
}

// Four pixels: each alpha byte spread over its pixel's four bytes.
inline void BlendQuad(const uint8_t* source, uint32_t alpha4, uint8_t* target) {
  Bytes16 s, d;
  std::memcpy(&s, source, 16);
  std::memcpy(&d, target, 16);
  Bytes16 a = reinterpret_cast<Bytes16>(Dwords4{alpha4, 0, 0, 0});
  Bytes16 pairs = __builtin_shufflevector(a, a, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7);
  Words8 pairWords = reinterpret_cast<Words8>(pairs);
  Bytes16 spread = reinterpret_cast<Bytes16>(
      __builtin_shufflevector(pairWords, pairWords, 0, 0, 1, 1, 2, 2, 3, 3));
  Words8 low = Blend(LowWords(s), LowWords(d), LowWords(spread));
  Words8 high = Blend(HighWords(s), HighWords(d), HighWords(spread));
  Words16 both =
      __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  Bytes16 out = __builtin_convertvector(both, Bytes16);
  std::memcpy(target, &out, 16);
}

#if defined(__x86_64__)
// Eight pixels, as BlendQuad does four.
__attribute__((target("avx2"))) void BlendOctet(const uint8_t* source, uint64_t alpha8,
                                                uint8_t* target) {
  const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target));
  // Each alpha byte over its pixel's four bytes.
  const __m256i a =
      _mm256_mullo_epi32(_mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(alpha8))),
                         _mm256_set1_epi32(0x01010101));
  const __m256i zero = _mm256_setzero_si256();
  // Unpacking and packing stay within 128-bit lanes: the order comes back.
  const __m256i low = BlendLanes(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                                 _mm256_unpacklo_epi8(a, zero));
  const __m256i high = BlendLanes(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                                  _mm256_unpackhi_epi8(a, zero));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(target), _mm256_packus_epi16(low, high));
}
#endif

}  // namespace

void BlendRow32(const uint8_t* source, const uint8_t* alpha, uint8_t* target, int count) {
  int i = 0;
#if defined(__x86_64__)
  if (HasAvx2()) {
    for (; i + 8 <= count; i += 8) {
      uint64_t alpha8;
      std::memcpy(&alpha8, alpha + i, 8);
      if (alpha8 == 0) continue;
      if (alpha8 == ~uint64_t{0}) {
        std::memcpy(target + 4 * i, source + 4 * i, 32);
        continue;
      }
      BlendOctet(source + 4 * i, alpha8, target + 4 * i);
    }
  }
#endif
  for (; i + 8 <= count; i += 8) {
    // Transparent and opaque runs are common in real pictures.
    uint64_t alpha8;
    std::memcpy(&alpha8, alpha + i, 8);
    if (alpha8 == 0) continue;
    if (alpha8 == ~uint64_t{0}) {
      std::memcpy(target + 4 * i, source + 4 * i, 32);
      continue;
    }
    BlendQuad(source + 4 * i, static_cast<uint32_t>(alpha8), target + 4 * i);
    BlendQuad(source + 4 * i + 16, static_cast<uint32_t>(alpha8 >> 32), target + 4 * i + 16);
  }
  for (; i + 4 <= count; i += 4) {
    uint32_t alpha4;
    std::memcpy(&alpha4, alpha + i, 4);
    if (alpha4 == 0) continue;
    if (alpha4 == 0xFFFFFFFF) {
      std::memcpy(target + 4 * i, source + 4 * i, 16);
      continue;
    }
    BlendQuad(source + 4 * i, alpha4, target + 4 * i);
  }
  for (; i < count; ++i) {
    uint32_t a = alpha[i];
    for (int c = 0; c < 4; ++c) {
      uint32_t s = source[4 * i + c], d = target[4 * i + c];
      target[4 * i + c] = static_cast<uint8_t>(DivideBy255(s * a + d * (255 - a)));
    }
  }
}

void ScaleLevels(const uint8_t* alpha, int level, uint8_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    out[i] = static_cast<uint8_t>(DivideBy255(alpha[i] * static_cast<uint32_t>(level)));
  }
}

void AlphaOverRow(const uint8_t* source, uint8_t* target, int count) {
  for (int i = 0; i < count; ++i) {
    uint32_t s = source[i];
    target[i] = static_cast<uint8_t>(s + DivideBy255(target[i] * (255 - s)));
  }
}

void MaskedCopyRow(const uint8_t* source, const uint8_t* maskRow, int maskX, uint8_t* target,
                   int bytesPerPixel, int count) {
  for (int i = 0; i < count; ++i) {
    int bit = maskX + i;
    if ((maskRow[bit >> 3] >> (7 - (bit & 7))) & 1) {
      std::memcpy(target + i * bytesPerPixel, source + i * bytesPerPixel, bytesPerPixel);
    }
  }
}

void KeyedCopyRowArgb(const uint32_t* source, uint32_t key, uint32_t* target, int count) {
  key &= 0xFFFFFF;
  for (int i = 0; i < count; ++i) {
    if ((source[i] & 0xFFFFFF) != key) target[i] = source[i];
  }
}

void CopyMaskBits(const uint8_t* source, int sourceX, uint8_t* target, int targetX, int count,
                  int mode) {
  for (int i = 0; i < count; ++i) {
    int s = sourceX + i, t = targetX + i;
    bool on = (source[s >> 3] >> (7 - (s & 7))) & 1;
    uint8_t bit = static_cast<uint8_t>(0x80 >> (t & 7));
    if (on) {
      target[t >> 3] |= bit;
    } else if (mode == 0) {
      target[t >> 3] &= static_cast<uint8_t>(~bit);
    }
  }
}

}  // namespace tzx::graphics
