#include "scaling_kernels.h"

#include <algorithm>
#include <cstring>

#include "blit_rows.h"
#include "lanes.h"

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

// Eight destination pixels interpolated across, in 16-bit lanes: pixels 0 1 | 2 3 in `low`,
// 4 5 | 6 7 in `high`; `x` and `weights` point at the first one's entries.
TZX_AVX2 inline void AcrossEight(const uint8_t* in, const int32_t* x, const uint64_t* weights,
                                 __m256i* low, __m256i* high) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i first =
      _mm256_inserti128_si256(_mm256_castsi128_si256(LoadPairs(in, x)), LoadPairs(in, x + 2), 1);
  const __m256i second = _mm256_inserti128_si256(_mm256_castsi128_si256(LoadPairs(in, x + 4)),
                                                 LoadPairs(in, x + 6), 1);
  *low = LerpLanes256(_mm256_unpacklo_epi8(first, zero), _mm256_unpackhi_epi8(first, zero),
                      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights)));
  *high = LerpLanes256(_mm256_unpacklo_epi8(second, zero), _mm256_unpackhi_epi8(second, zero),
                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 4)));
}

// The neighbour pairs of two alpha values (at x[0] and x[1]) in one 32-bit lane.
inline int TwoPairs(const uint8_t* in, const int32_t* x) {
  return static_cast<int>(static_cast<uint16_t>(Pair(in, x[0])) |
                          static_cast<uint32_t>(static_cast<uint16_t>(Pair(in, x[1]))) << 16);
}

// The neighbour pairs of eight alpha values at x[0] to x[7] of two rows, as TwoPairs puts
// them (the first row's in the low lane), picked out of the sixteen bytes from x[0] on in each
// row: the common case when scaling down by less than two, much cheaper than a load per pair.
// False, with nothing read, when a pair lies past those bytes or the bytes pass `last`.
TZX_AVX2 inline bool WindowPairs(const uint8_t* first, const uint8_t* second, const int32_t* x,
                                 int32_t last, __m256i* pairs) {
  if (x[0] + 15 > last) return false;
  const __m256i offsets = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(x)),
                                           _mm256_set1_epi32(x[0]));
  if (_mm256_movemask_epi8(_mm256_cmpgt_epi32(offsets, _mm256_set1_epi32(14)))) return false;
  // Each offset d becomes the byte pair d, d + 1.
  const __m128i words =
      _mm_packs_epi32(_mm256_castsi256_si128(offsets), _mm256_extracti128_si256(offsets, 1));
  const __m128i pick =
      _mm_add_epi16(_mm_or_si128(words, _mm_slli_epi16(words, 8)), _mm_set1_epi16(0x0100));
  const __m256i bytes = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first + x[0]))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + x[0])), 1);
  *pairs = _mm256_shuffle_epi8(bytes, _mm256_broadcastsi128_si256(pick));
  return true;
}

// The low 16 bits of eight fractions as signed lanes, the weights LerpLanes takes.
inline __m128i FractionLanes(const int32_t* fraction) {
  auto signedLanes = [](__m128i f) { return _mm_srai_epi32(_mm_slli_epi32(f, 16), 16); };
  return _mm_packs_epi32(
      signedLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(fraction))),
      signedLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(fraction + 4))));
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

ScaleAxis SliceAxis(const ScaleAxis& a, int32_t from, int32_t count) {
  return {a.index + from,
          a.fraction + from,
          a.weights ? a.weights + from : nullptr,
          count,
          a.last,
          std::clamp(a.interior - from, 0, count)};
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
  int32_t i = 0;
  for (const int32_t interior = c.interior; i + 8 <= interior; i += 8) {
    // The source is read once, left to right: ask for it some way ahead.
    if (i + kPrefetchAhead < interior) Prefetch(in, c.index[i + kPrefetchAhead]);
    __m256i low, high;
    AcrossEight(in, c.index + i, c.weights + i, &low, &high);
    // Packing gives pixels 0 1 4 5 | 2 3 6 7; the permute puts them in order.
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out + 4 * i),
        _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), _MM_SHUFFLE(3, 1, 2, 0)));
  }
  InterpolatePixelTail(in, c, out, i);
}
#else
void InterpolatePixelRowAvx2(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  InterpolatePixelRow(in, c, out);
}
#endif

namespace {

// Values from `from` on: eight at a time where both neighbours lie in the row, then one at a time.
void InterpolateAlphaFrom(const uint8_t* in, const ScaleAxis& c, uint8_t* out, int32_t from) {
  int32_t i = from;
#if defined(__x86_64__)
  const __m128i lowByte = _mm_set1_epi16(0xFF);
  for (const int32_t interior = c.interior; i + 8 <= interior; i += 8) {
    // Each destination value's two neighbours as one 16-bit lane, the left one low.
    const int32_t* x = c.index + i;
    const __m128i both =
        _mm_setr_epi16(Pair(in, x[0]), Pair(in, x[1]), Pair(in, x[2]), Pair(in, x[3]),
                       Pair(in, x[4]), Pair(in, x[5]), Pair(in, x[6]), Pair(in, x[7]));
    const __m128i v = LerpLanes(_mm_and_si128(both, lowByte), _mm_srli_epi16(both, 8),
                                FractionLanes(c.fraction + i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
  }
#endif
  for (; i < c.count; ++i) {
    const int32_t x = c.index[i];
    out[i] = static_cast<uint8_t>(Lerp(in[x], in[std::min(x + 1, c.last)], c.fraction[i]));
  }
}

}  // namespace

void InterpolateAlphaRow(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  InterpolateAlphaFrom(in, c, out, 0);
}

#if defined(__x86_64__)
TZX_AVX2 void InterpolateAlphaRowAvx2(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  const __m256i lowByte = _mm256_set1_epi16(0xFF);
  int32_t i = 0;
  for (const int32_t interior = c.interior; i + 16 <= interior; i += 16) {
    // Values 0-7 in the low lane, 8-15 in the high one.
    const int32_t* x = c.index + i;
    const __m256i both = _mm256_setr_epi32(
        TwoPairs(in, x), TwoPairs(in, x + 2), TwoPairs(in, x + 4), TwoPairs(in, x + 6),
        TwoPairs(in, x + 8), TwoPairs(in, x + 10), TwoPairs(in, x + 12), TwoPairs(in, x + 14));
    const __m256i w = _mm256_inserti128_si256(_mm256_castsi128_si256(FractionLanes(c.fraction + i)),
                                              FractionLanes(c.fraction + i + 8), 1);
    const __m256i v = LerpLanes256(_mm256_and_si256(both, lowByte), _mm256_srli_epi16(both, 8), w);
    // Packing within lanes leaves values 0-7 and 8-15 in the low halves of the lanes.
    const __m256i packed =
        _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(packed));
  }
  InterpolateAlphaFrom(in, c, out, i);
}
#else
void InterpolateAlphaRowAvx2(const uint8_t* in, const ScaleAxis& c, uint8_t* out) {
  InterpolateAlphaRow(in, c, out);
}
#endif

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

// Runs short enough for the blended rows to stay on the stack.
void BlendRowsOnto(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                   const uint8_t* bottomAlpha, int f, uint8_t* target, int32_t count) {
  constexpr int32_t kRun = 256;
  alignas(16) uint8_t colour[4 * kRun], levels[kRun];
  for (int32_t i = 0; i < count; i += kRun) {
    const int32_t n = std::min(kRun, count - i);
    BlendRows(top + 4 * i, bottom + 4 * i, f, colour, 4 * static_cast<size_t>(n));
    BlendRows(topAlpha + i, bottomAlpha + i, f, levels, static_cast<size_t>(n));
    BlendRow32(colour, levels, target + 4 * i, n);
  }
}

void InterpolateOnto(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                     const uint8_t* bottomAlpha, const ScaleAxis& c, int f, uint8_t* target) {
  constexpr int32_t kRun = 128;
  alignas(16) uint8_t colour[2][4 * kRun], levels[2][kRun];
  for (int32_t i = 0; i < c.count; i += kRun) {
    const ScaleAxis run = SliceAxis(c, i, std::min(kRun, c.count - i));
    InterpolatePixelRow(top, run, colour[0]);
    InterpolatePixelRow(bottom, run, colour[1]);
    InterpolateAlphaRow(topAlpha, run, levels[0]);
    InterpolateAlphaRow(bottomAlpha, run, levels[1]);
    BlendRowsOnto(colour[0], colour[1], levels[0], levels[1], f, target + 4 * i, run.count);
  }
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

// Eight alpha values (16-bit lanes of `levels`) each over its pixel's four colour lanes, for
// unpacked colour that holds pixels 0 1 | kSecond kSecond+1 in `low` and the pixels kHigh further
// on in `high`.
template <int kSecond, int kHigh>
TZX_AVX2 inline void SpreadAlpha(__m128i levels, __m256i* low, __m256i* high) {
  constexpr char a = 0, b = 2, c = 2 * kSecond, d = 2 * kSecond + 2;
  const __m256i both = _mm256_broadcastsi128_si256(levels);
  const __m256i pickLow = _mm256_setr_epi8(a, a + 1, a, a + 1, a, a + 1, a, a + 1, b, b + 1, b,
                                           b + 1, b, b + 1, b, b + 1, c, c + 1, c, c + 1, c, c + 1,
                                           c, c + 1, d, d + 1, d, d + 1, d, d + 1, d, d + 1);
  *low = _mm256_shuffle_epi8(both, pickLow);
  *high = _mm256_shuffle_epi8(both, _mm256_add_epi8(pickLow, _mm256_set1_epi8(2 * kHigh)));
}

TZX_AVX2 void BlendRowsOntoAvx2(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                                const uint8_t* bottomAlpha, int f, uint8_t* target, int32_t count) {
  const __m256i weight = _mm256_set1_epi16(static_cast<int16_t>(f));
  const __m256i zero = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i levels = LerpLanes(
        _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(topAlpha + i))),
        _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottomAlpha + i))),
        _mm256_castsi256_si128(weight));
    // Clear pixels leave the target as it is, opaque ones replace it.
    const uint64_t alpha8 =
        static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(levels, levels)));
    if (alpha8 == 0) continue;
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + 4 * i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + 4 * i));
    // Unpacking and packing stay within 128-bit lanes, so the order comes back unchanged.
    const __m256i low =
        LerpLanes256(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(b, zero), weight);
    const __m256i high =
        LerpLanes256(_mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(b, zero), weight);
    __m256i* out = reinterpret_cast<__m256i*>(target + 4 * i);
    if (alpha8 == ~uint64_t{0}) {
      _mm256_storeu_si256(out, _mm256_packus_epi16(low, high));
      continue;
    }
    __m256i alphaLow, alphaHigh;
    SpreadAlpha<4, 2>(levels, &alphaLow, &alphaHigh);
    const __m256i d = _mm256_loadu_si256(out);
    _mm256_storeu_si256(
        out, _mm256_packus_epi16(BlendLanes(low, _mm256_unpacklo_epi8(d, zero), alphaLow),
                                 BlendLanes(high, _mm256_unpackhi_epi8(d, zero), alphaHigh)));
  }
  if (i < count) {
    BlendRowsOnto(top + 4 * i, bottom + 4 * i, topAlpha + i, bottomAlpha + i, f, target + 4 * i,
                  count - i);
  }
}

TZX_AVX2 void InterpolateOntoAvx2(const uint8_t* top, const uint8_t* bottom,
                                  const uint8_t* topAlpha, const uint8_t* bottomAlpha,
                                  const ScaleAxis& c, int f, uint8_t* target) {
  const __m256i lowByte = _mm256_set1_epi16(0xFF);
  const __m256i down = _mm256_set1_epi16(static_cast<int16_t>(f));
  const __m256i zero = _mm256_setzero_si256();
  int32_t i = 0;
  for (const int32_t interior = c.interior; i + 8 <= interior; i += 8) {
    if (i + kPrefetchAhead < interior) {
      Prefetch(top, c.index[i + kPrefetchAhead]);
      Prefetch(bottom, c.index[i + kPrefetchAhead]);
    }
    const int32_t* x = c.index + i;
    // The alpha first: the top row's values in the low lane, the bottom row's in the high one,
    // then blended down.
    __m256i pairs;
    if (!WindowPairs(topAlpha, bottomAlpha, x, c.last, &pairs)) {
      pairs = _mm256_setr_epi32(TwoPairs(topAlpha, x), TwoPairs(topAlpha, x + 2),
                                TwoPairs(topAlpha, x + 4), TwoPairs(topAlpha, x + 6),
                                TwoPairs(bottomAlpha, x), TwoPairs(bottomAlpha, x + 2),
                                TwoPairs(bottomAlpha, x + 4), TwoPairs(bottomAlpha, x + 6));
    }
    const __m256i across =
        LerpLanes256(_mm256_and_si256(pairs, lowByte), _mm256_srli_epi16(pairs, 8),
                     _mm256_broadcastsi128_si256(FractionLanes(c.fraction + i)));
    const __m128i levels =
        LerpLanes(_mm256_castsi256_si128(across), _mm256_extracti128_si256(across, 1),
                  _mm256_castsi256_si128(down));
    // Clear pixels leave the target as it is, opaque ones replace it.
    const uint64_t alpha8 =
        static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(levels, levels)));
    if (alpha8 == 0) continue;
    __m256i topLow, topHigh, bottomLow, bottomHigh;
    AcrossEight(top, x, c.weights + i, &topLow, &topHigh);
    AcrossEight(bottom, x, c.weights + i, &bottomLow, &bottomHigh);
    const __m256i low = LerpLanes256(topLow, bottomLow, down);
    const __m256i high = LerpLanes256(topHigh, bottomHigh, down);
    __m256i* out = reinterpret_cast<__m256i*>(target + 4 * i);
    // Packing gives pixels 0 1 4 5 | 2 3 6 7; the permutes before and after meet that order.
    if (alpha8 == ~uint64_t{0}) {
      _mm256_storeu_si256(
          out, _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), _MM_SHUFFLE(3, 1, 2, 0)));
      continue;
    }
    __m256i alphaLow, alphaHigh;
    SpreadAlpha<2, 4>(levels, &alphaLow, &alphaHigh);
    const __m256i under =
        _mm256_permute4x64_epi64(_mm256_loadu_si256(out), _MM_SHUFFLE(3, 1, 2, 0));
    const __m256i blended =
        _mm256_packus_epi16(BlendLanes(low, _mm256_unpacklo_epi8(under, zero), alphaLow),
                            BlendLanes(high, _mm256_unpackhi_epi8(under, zero), alphaHigh));
    _mm256_storeu_si256(out, _mm256_permute4x64_epi64(blended, _MM_SHUFFLE(3, 1, 2, 0)));
  }
  if (i < c.count) {
    InterpolateOnto(top, bottom, topAlpha, bottomAlpha, SliceAxis(c, i, c.count - i), f,
                    target + 4 * i);
  }
}

bool HasAvx2() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}
#else
void BlendRowsAvx2(const uint8_t* top, const uint8_t* bottom, int f, uint8_t* out, size_t count) {
  BlendRows(top, bottom, f, out, count);
}

void BlendRowsOntoAvx2(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                       const uint8_t* bottomAlpha, int f, uint8_t* target, int32_t count) {
  BlendRowsOnto(top, bottom, topAlpha, bottomAlpha, f, target, count);
}

void InterpolateOntoAvx2(const uint8_t* top, const uint8_t* bottom, const uint8_t* topAlpha,
                         const uint8_t* bottomAlpha, const ScaleAxis& c, int f, uint8_t* target) {
  InterpolateOnto(top, bottom, topAlpha, bottomAlpha, c, f, target);
}

bool HasAvx2() {
  return false;
}
#endif

}  // namespace tzx::graphics
