// Lane arithmetic shared by the row kernels of scaling and blending: one channel of a pixel per
// 16-bit lane.
#pragma once

#if defined(__x86_64__)
#include <immintrin.h>

namespace tzx::graphics {

// Per 16-bit lane a + ((d * f) >> 16) for d = b - a, with w = f read as a signed lane. Below
// one half w = f and the signed high product is the shifted term; from one half on
// w = f - 65536, and a + d + ((d * w) >> 16) is the same value.
inline __m128i LerpLanes(__m128i a, __m128i b, __m128i w) {
  const __m128i d = _mm_sub_epi16(b, a);
  const __m128i fromB = _mm_and_si128(d, _mm_srai_epi16(w, 15));
  return _mm_add_epi16(_mm_add_epi16(a, fromB), _mm_mulhi_epi16(d, w));
}

__attribute__((target("avx2"))) inline __m256i LerpLanes256(__m256i a, __m256i b, __m256i w) {
  const __m256i d = _mm256_sub_epi16(b, a);
  const __m256i fromB = _mm256_and_si256(d, _mm256_srai_epi16(w, 15));
  return _mm256_add_epi16(_mm256_add_epi16(a, fromB), _mm256_mulhi_epi16(d, w));
}

// (s * a + d * (255 - a)) / 255 rounded, per lane: the sum plus 128 stays below 65536.
__attribute__((target("avx2"))) inline __m256i BlendLanes(__m256i s, __m256i d, __m256i a) {
  const __m256i x = _mm256_add_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(s, a),
                       _mm256_mullo_epi16(d, _mm256_sub_epi16(_mm256_set1_epi16(255), a))),
      _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

}  // namespace tzx::graphics
#endif
