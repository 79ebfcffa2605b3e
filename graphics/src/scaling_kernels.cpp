#include "scaling_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define TZX_AVX2 __attribute__((target("avx2")))
#endif

namespace tzx::graphics {

namespace {

// One channel between two values; the shift is arithmetic.
inline int Lerp(int a, int b, int f) {
  return a + (((b - a) * f) >> 16);
}

// Pixels from `from` on, one channel at a time; also the last columns, whose right neighbour is
// the pixel itself.
void InterpolatePixelTail(const uint8_t* in, const ScaleAxis& c, uint8_t* out, int32_t from) {
  for (int32_t i = from; i < c.count; ++i) {
    const int32_t x = c.index[i];
    const uint8_t* a = in + 4 * static_cast<ptrdiff_t>(x);
    const uint8_t* b = in + 4 * static_cast<ptrdiff_t>(std::min(x + 1, c.last));
    for (int channel = 0; channel < 4; ++channel) {
      out[4 * i + channel] = static_cast<uint8_t>(Lerp(a[channel], b[channel], c.fraction[i]));
    }
  }
}

void BlendTail(const uint8_t* top, const uint8_t* bottom, int f, uint8_t* out, size_t from,
               size_t count) {
  for (size_t i = from; i < count; ++i) out[i] = static_cast<uint8_t>(Lerp(top[i], bottom[i], f));
}

#if defined(__x86_64__)
// Per 16-bit lane a + ((d * f) >> 16) for d = b - a, with w = f read as a signed lane. Below
// one half w = f and the signed high product is the shifted term; from one half on
// w = f - 65536, and a + d + ((d * w) >> 16) is the same value.
inline __m128i LerpLanes(__m128i a, __m128i b, __m128i w) {
  const __m128i d = _mm_sub_epi16(b, a);
  const __m128i fromB = _mm_and_si128(d, _mm_srai_epi16(w, 15));
  return _mm_add_epi16(_mm_add_epi16(a, fromB), _mm_mulhi_epi16(d, w));
}

TZX_AVX2 inline __m256i LerpLanes256(__m256i a, __m256i b, __m256i w) {
  const __m256i d = _mm256_sub_epi16(b, a);
  const __m256i fromB = _mm256_and_si256(d, _mm256_srai_epi16(w, 15));
  return _mm256_add_epi16(_mm256_add_epi16(a, fromB), _mm256_mulhi_epi16(d, w));
}

// The pixels at x and x + 1 in the low eight bytes.
inline __m128i LoadPair(const uint8_t* in, int32_t x) {
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 4 * static_cast<ptrdiff_t>(x)));
}

constexpr int32_t kPrefetchAhead = 64;  // destination pixels

inline void Prefetch(const uint8_t* in, int32_t x) {
  _mm_prefetch(reinterpret_cast<const char*>(in + 4 * static_cast<ptrdiff_t>(x)), _MM_HINT_T0);
}

// The alpha values at x and x + 1, the first in the low byte.
inline int16_t Pair(const uint8_t* in, int32_t x) {
  uint16_t v;
  std::memcpy(&v, in + x, 2);
  return static_cast<int16_t>(v);
}

// Two destination pixels' neighbours: a0 a1 b0 b1.
inline __m128i LoadPairs(const uint8_t* in, const int32_t* index) {
  return _mm_unpacklo_epi32(LoadPair(in, index[0]), LoadPair(in, index[1]));
}
#endif

}  // namespace

void PickPixelRow(const uint8_t* in, const int32_t* columns, int32_t count, uint8_t* out) {
  auto pixel = [in](int32_t x) {
    uint32_t v;
    std::memcpy(&v, in + 4 * static_cast<ptrdiff_t>(x), 4);
    return v;
  };
  int32_t i = 0;
#if defined(__x86_64__)
  for (; i + 4 <= count; i += 4) {
    const __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(pixel(columns[i])),
                                           _mm_cvtsi32_si128(pixel(columns[i + 1])));
    const __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(pixel(columns[i + 2])),
                                            _mm_cvtsi32_si128(pixel(columns[i + 3])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_unpacklo_epi64(low, high));
  }
#endif
  for (; i < count; ++i) {
    const uint32_t v = pixel(columns[i]);
    std::memcpy(out + 4 * i, &v, 4);
  }
}

void PickAlphaRow(const uint8_t* in, const int32_t* columns, int32_t count, uint8_t* out) {
  for (int32_t i = 0; i < count; ++i) out[i] = in[columns[i]];
}

uint64_t FractionWeight(int32_t fraction) {
  return 0x0001000100010001ull * static_cast<uint16_t>(fraction);
}

void InterpolatePixelRow(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  int32_t i = 0;
#if defined(__x86_64__)
  const int32_t* const index = c.index;
  const uint64_t* const weights = c.weights;
  const __m128i zero = _mm_setzero_si128();
  for (const int32_t interior = c.interior; i + 4 <= interior; i += 4) {
    if (i + kPrefetchAhead < interior) Prefetch(in, index[i + kPrefetchAhead]);
    const __m128i pairs01 = LoadPairs(in, index + i);
    const __m128i pairs23 = LoadPairs(in, index + i + 2);
    const __m128i low =
        LerpLanes(_mm_unpacklo_epi8(pairs01, zero), _mm_unpackhi_epi8(pairs01, zero),
                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + i)));
    const __m128i high =
        LerpLanes(_mm_unpacklo_epi8(pairs23, zero), _mm_unpackhi_epi8(pairs23, zero),
                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + i + 2)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_packus_epi16(low, high));
  }
#endif
  InterpolatePixelTail(in, c, out, i);
}

#if defined(__x86_64__)
TZX_AVX2 void InterpolatePixelRowAvx2(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  const int32_t* const index = c.index;
  const uint64_t* const weights = c.weights;
  const __m256i zero = _mm256_setzero_si256();
  int32_t i = 0;
  for (const int32_t interior = c.interior; i + 8 <= interior; i += 8) {
    // The source is read once, left to right: ask for it some way ahead.
    if (i + kPrefetchAhead < interior) Prefetch(in, index[i + kPrefetchAhead]);
    // Lanes hold destination pixels 0 1 | 2 3 and 4 5 | 6 7.
    const __m256i first = _mm256_inserti128_si256(_mm256_castsi128_si256(LoadPairs(in, index + i)),
                                                  LoadPairs(in, index + i + 2), 1);
    const __m256i second = _mm256_inserti128_si256(
        _mm256_castsi128_si256(LoadPairs(in, index + i + 4)), LoadPairs(in, index + i + 6), 1);
    const __m256i low =
        LerpLanes256(_mm256_unpacklo_epi8(first, zero), _mm256_unpackhi_epi8(first, zero),
                     _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + i)));
    const __m256i high =
        LerpLanes256(_mm256_unpacklo_epi8(second, zero), _mm256_unpackhi_epi8(second, zero),
                     _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + i + 4)));
    // Packing gives pixels 0 1 4 5 | 2 3 6 7; the permute puts them in order.
    const __m256i packed = _mm256_packus_epi16(low, high);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i),
                        _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
  }
  InterpolatePixelTail(in, c, out, i);
}
#else
void InterpolatePixelRowAvx2(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  InterpolatePixelRow(in, c, out);
}
#endif

void InterpolateAlphaRow(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  int32_t i = 0;
#if defined(__x86_64__)
  const __m128i lowByte = _mm_set1_epi16(0xFF);
  for (const int32_t interior = c.interior; i + 8 <= interior; i += 8) {
    // Each destination value's two neighbours as one 16-bit lane, the left one low.
    const int32_t* x = c.index + i;
    const __m128i both =
        _mm_setr_epi16(Pair(in, x[0]), Pair(in, x[1]), Pair(in, x[2]), Pair(in, x[3]),
                       Pair(in, x[4]), Pair(in, x[5]), Pair(in, x[6]), Pair(in, x[7]));
    // The fractions' low 16 bits as signed lanes, the weights LerpLanes takes.
    const __m128i f0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c.fraction + i));
    const __m128i f1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c.fraction + i + 4));
    const __m128i w = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(f0, 16), 16),
                                      _mm_srai_epi32(_mm_slli_epi32(f1, 16), 16));
    const __m128i v = LerpLanes(_mm_and_si128(both, lowByte), _mm_srli_epi16(both, 8), w);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
  }
#endif
  for (; i < c.count; ++i) {
    const int32_t x = c.index[i];
    out[i] = static_cast<uint8_t>(Lerp(in[x], in[std::min(x + 1, c.last)], c.fraction[i]));
  }
}

void BlendRows(const uint8_t* top, const uint8_t* bottom, int f, uint8_t* out, size_t count) {
  size_t i = 0;
#if defined(__x86_64__)
  const __m128i weight = _mm_set1_epi16(static_cast<int16_t>(f));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
    const __m128i low = LerpLanes(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(b, zero), weight);
    const __m128i high = LerpLanes(_mm_unpackhi_epi8(t, zero), _mm_unpackhi_epi8(b, zero), weight);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  BlendTail(top, bottom, f, out, i, count);
}

#if defined(__x86_64__)
TZX_AVX2 void BlendRowsAvx2(const uint8_t* top, const uint8_t* bottom, int f, uint8_t* out,
                            size_t count) {
  const __m256i weight = _mm256_set1_epi16(static_cast<int16_t>(f));
  const __m256i zero = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + i));
    // Unpacking and packing stay within 128-bit lanes, so the order comes back unchanged.
    const __m256i low =
        LerpLanes256(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(b, zero), weight);
    const __m256i high =
        LerpLanes256(_mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(b, zero), weight);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(low, high));
  }
  BlendTail(top, bottom, f, out, i, count);
}

bool HasAvx2() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}
#else
void BlendRowsAvx2(const uint8_t* top, const uint8_t* bottom, int f, uint8_t* out, size_t count) {
  BlendRows(top, bottom, f, out, count);
}

bool HasAvx2() {
  return false;
}
#endif

}  // namespace tzx::graphics
