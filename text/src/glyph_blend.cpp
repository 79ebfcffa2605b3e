// Coverage-to-colour blending of glyph rows.
#include "glyph_blend.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "bindings.h"
#include "tzx/graphics.h"

namespace tzx::text {
namespace {

using graphics::kFormatArgb32;

// Clips the glyph rectangle; false when nothing is left. Moves the source
// offsets by what was cut and widens the dirty rectangle.
bool ClipGlyph(GlyphCanvas* c, int* x, int* y, int* w, int* h, int* sx, int* sy) {
  int x0 = *x, y0 = *y, x1 = *x + *w, y1 = *y + *h;
  if (x0 < c->clipX0) x0 = c->clipX0;
  if (y0 < c->clipY0) y0 = c->clipY0;
  if (x1 > c->clipX1) x1 = c->clipX1;
  if (y1 > c->clipY1) y1 = c->clipY1;
  if (x0 >= x1 || y0 >= y1) return false;
  *sx = x0 - *x;
  *sy = y0 - *y;
  *x = x0;
  *y = y0;
  *w = x1 - x0;
  *h = y1 - y0;
  c->dirtyX0 = std::min(c->dirtyX0, x0);
  c->dirtyY0 = std::min(c->dirtyY0, y0);
  c->dirtyX1 = std::max(c->dirtyX1, x1);
  c->dirtyY1 = std::max(c->dirtyY1, y1);
  return true;
}

// s over d with coverage a (1..254), both 0xAARRGGBB; d keeps its alpha.
inline uint32_t Blend(uint32_t srb, uint32_t sg, uint32_t d, uint32_t a) {
  const uint32_t ia = 255 - a;
  uint32_t rb = srb * a + (d & 0x00FF00FF) * ia;
  rb = ((rb + 0x00800080 + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t g = sg * a + ((d >> 8) & 0xFF) * ia;
  g = ((g + 0x80 + (g >> 8)) >> 8) & 0xFF;
  return (d & 0xFF000000) | rb | g << 8;
}

// Four pixels of one colour over d through four coverage bytes, keeping
// d's alpha: (s·a + d·(255 − a)) / 255 per channel in 16-bit lanes.
inline __m128i Blend4(__m128i d, uint32_t coverage4, __m128i s16, __m128i alphaMask) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = _mm_cvtsi32_si128(static_cast<int>(coverage4));
  a = _mm_unpacklo_epi8(a, a);
  a = _mm_unpacklo_epi16(a, a);  // each coverage byte four times
  const __m128i full = _mm_set1_epi16(255);
  const __m128i round = _mm_set1_epi16(128);
  auto half = [&](__m128i d16, __m128i a16) {
    __m128i t =
        _mm_add_epi16(_mm_mullo_epi16(s16, a16), _mm_mullo_epi16(d16, _mm_sub_epi16(full, a16)));
    t = _mm_add_epi16(t, round);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(a, zero));
  const __m128i hi = half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(a, zero));
  const __m128i blended = _mm_packus_epi16(lo, hi);
  return _mm_or_si128(_mm_andnot_si128(alphaMask, blended), _mm_and_si128(alphaMask, d));
}

#if defined(__x86_64__)
#define TZX_AVX2 __attribute__((target("avx2")))

// (s·a + d·(255 − a)) / 255 in 16-bit lanes.
TZX_AVX2 inline __m256i Blend16Avx2(__m256i s16, __m256i d16, __m256i a16) {
  const __m256i full = _mm256_set1_epi16(255);
  __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(s16, a16),
                               _mm256_mullo_epi16(d16, _mm256_sub_epi16(full, a16)));
  t = _mm256_add_epi16(t, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// The full-opacity row of BlendRowArgb eight pixels at a time, with the same
// arithmetic, for processors that have AVX2.
TZX_AVX2 void BlendRowsArgbAvx2(uint8_t* row, int bytesPerRow, const uint8_t* cov, int pitch, int w,
                                int h, uint32_t solid) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i s16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(solid)), zero);
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i solid8 = _mm256_set1_epi32(static_cast<int>(solid));
  // Each coverage byte four times: bytes 0..3 in the low lane, 4..7 in the high.
  const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4,
                                          4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
  const __m128i s16x4 = _mm256_castsi256_si128(s16);
  const __m128i alphaMask4 = _mm256_castsi256_si128(alphaMask);
  const uint32_t srb = solid & 0x00FF00FF, sg = (solid >> 8) & 0xFF;
  for (int r = 0; r < h; ++r, cov += pitch, row += bytesPerRow) {
    uint32_t* dst = reinterpret_cast<uint32_t*>(row);
    int i = 0;
    for (; i + 8 <= w; i += 8) {
      uint64_t eight;
      std::memcpy(&eight, cov + i, 8);
      if (eight == 0) continue;
      __m256i* at = reinterpret_cast<__m256i*>(dst + i);
      const __m256i d = _mm256_loadu_si256(at);
      if (eight == ~uint64_t{0}) {
        _mm256_storeu_si256(at, _mm256_or_si256(solid8, _mm256_and_si256(alphaMask, d)));
        continue;
      }
      const __m256i a =
          _mm256_shuffle_epi8(_mm256_set1_epi64x(static_cast<long long>(eight)), spread);
      // Unpacking and packing stay within 128-bit lanes, so the order comes back unchanged.
      const __m256i lo =
          Blend16Avx2(s16, _mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(a, zero));
      const __m256i hi =
          Blend16Avx2(s16, _mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(a, zero));
      const __m256i blended = _mm256_packus_epi16(lo, hi);
      _mm256_storeu_si256(at, _mm256_or_si256(_mm256_andnot_si256(alphaMask, blended),
                                              _mm256_and_si256(alphaMask, d)));
    }
    if (i + 4 <= w) {
      uint32_t four;
      std::memcpy(&four, cov + i, 4);
      if (four) {
        __m128i* at = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(at, Blend4(_mm_loadu_si128(at), four, s16x4, alphaMask4));
      }
      i += 4;
    }
    for (; i < w; ++i) {
      const uint32_t a = cov[i];
      if (a) dst[i] = a == 255 ? (dst[i] & 0xFF000000) | solid : Blend(srb, sg, dst[i], a);
    }
  }
}

bool HasAvx2() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}
#endif

// One coverage row into a 32-bit row.
inline void BlendRowArgb(uint32_t* dst, const uint8_t* cov, int w, uint32_t color, int level) {
  const uint32_t srb = color & 0x00FF00FF, sg = (color >> 8) & 0xFF;
  const uint32_t solid = color & 0x00FFFFFF;
  int i = 0;
  if (level == 255) {
    const __m128i s16 =
        _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid)), _mm_setzero_si128());
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i solid4 = _mm_set1_epi32(static_cast<int>(solid));
    // Empty coverage is common between strokes, full coverage inside them.
    for (; i + 4 <= w; i += 4) {
      uint32_t four;
      std::memcpy(&four, cov + i, 4);
      if (four == 0) continue;
      __m128i* at = reinterpret_cast<__m128i*>(dst + i);
      const __m128i d = _mm_loadu_si128(at);
      if (four == 0xFFFFFFFFu) {
        _mm_storeu_si128(at, _mm_or_si128(solid4, _mm_and_si128(alphaMask, d)));
      } else {
        _mm_storeu_si128(at, Blend4(d, four, s16, alphaMask));
      }
    }
    for (; i < w; ++i) {
      const uint32_t a = cov[i];
      if (a) dst[i] = a == 255 ? (dst[i] & 0xFF000000) | solid : Blend(srb, sg, dst[i], a);
    }
    return;
  }
  for (; i < w; ++i) {
    const uint32_t a = (cov[i] * static_cast<uint32_t>(level) + 127) / 255;
    if (a) dst[i] = a == 255 ? (dst[i] & 0xFF000000) | solid : Blend(srb, sg, dst[i], a);
  }
}

// Any coverage row into any canvas row.
void BlendRow(GlyphCanvas* c, int x, int y, const uint8_t* cov, int w) {
  uint8_t* row = c->pixels + static_cast<ptrdiff_t>(y) * c->bytesPerRow;
  switch (c->kind) {
    case kCanvasColor:
      if (c->format == kFormatArgb32) {
        BlendRowArgb(reinterpret_cast<uint32_t*>(row) + x, cov, w, c->color, c->level);
      } else {
        // Other formats go through 32-bit words a slice at a time.
        const graphics::GraphicsInterface& g = *gBound.graphics;
        const int bpp = g.FormatBytesPerPixel(c->format);
        uint32_t words[256];
        for (int done = 0; done < w; done += 256) {
          const int n = std::min(256, w - done);
          uint8_t* at = row + static_cast<ptrdiff_t>(x + done) * bpp;
          g.ConvertRowToARGB(at, c->format, words, n);
          BlendRowArgb(words, cov + done, n, c->color, c->level);
          g.ConvertRowFromARGB(words, at, c->format, n);
        }
      }
      return;
    case kCanvasAlpha:
      for (int i = 0; i < w; ++i) {
        const uint8_t a = static_cast<uint8_t>((cov[i] * c->level + 127) / 255);
        if (a > row[x + i]) row[x + i] = a;
      }
      return;
    case kCanvasMask:
      for (int i = 0; i < w; ++i)
        if (cov[i] >= 128) row[(x + i) >> 3] |= static_cast<uint8_t>(0x80 >> ((x + i) & 7));
      return;
    case kCanvasPen:
      for (int i = 0; i < w; ++i)
        if (cov[i] >= 128) row[x + i] = static_cast<uint8_t>(c->pen);
      return;
  }
}

}  // namespace

void InitCanvas(GlyphCanvas* c, uint8_t* pixels, int bytesPerRow, int format, int kind, int width,
                int height) {
  *c = {};
  c->pixels = pixels;
  c->bytesPerRow = bytesPerRow;
  c->format = format;
  c->kind = kind;
  c->clipX1 = width;
  c->clipY1 = height;
  c->level = 255;
  c->dirtyX0 = c->dirtyY0 = 1 << 30;
  c->dirtyX1 = c->dirtyY1 = -(1 << 30);
}

void ClipCanvas(GlyphCanvas* c, int x, int y, int width, int height) {
  c->clipX0 = std::max(c->clipX0, x);
  c->clipY0 = std::max(c->clipY0, y);
  c->clipX1 = std::min(c->clipX1, x + width);
  c->clipY1 = std::min(c->clipY1, y + height);
}

void BlendCoverage(GlyphCanvas* c, int x, int y, const uint8_t* coverage, int pitch, int w, int h) {
  int sx, sy;
  if (!ClipGlyph(c, &x, &y, &w, &h, &sx, &sy)) return;
  const uint8_t* src = coverage + static_cast<ptrdiff_t>(sy) * pitch + sx;
  if (c->kind == kCanvasColor && c->format == kFormatArgb32) {
    // Coverage rows are zero past the glyph up to their pitch: rounding the
    // width up to whole groups of eight (or four) keeps every pixel on the
    // vector path, and a zero coverage leaves its pixel exactly as it was.
    for (const int group : {8, 4}) {
      const int wide = (w + group - 1) & -group;
      if (sx + wide <= pitch && x + wide <= c->clipX1) {
        w = wide;
        break;
      }
    }
    uint8_t* row = c->pixels + static_cast<ptrdiff_t>(y) * c->bytesPerRow + x * 4;
#if defined(__x86_64__)
    if (c->level == 255 && HasAvx2()) {
      BlendRowsArgbAvx2(row, c->bytesPerRow, src, pitch, w, h, c->color & 0x00FFFFFF);
      return;
    }
#endif
    for (int r = 0; r < h; ++r, src += pitch, row += c->bytesPerRow)
      BlendRowArgb(reinterpret_cast<uint32_t*>(row), src, w, c->color, c->level);
    return;
  }
  for (int r = 0; r < h; ++r, src += pitch) BlendRow(c, x, y + r, src, w);
}

void PrefetchGlyphBox(const GlyphCanvas* c, int x, int y, int w, int h) {
  const int x0 = std::max(x, c->clipX0), x1 = std::min(x + w, c->clipX1);
  const int y0 = std::max(y, c->clipY0), y1 = std::min(y + h, c->clipY1);
  if (x0 >= x1) return;
  int first = x0, last = x1;
  if (c->kind == kCanvasColor) {
    first *= 4;
    last *= 4;
  } else if (c->kind == kCanvasMask) {
    first >>= 3;
    last = (last + 7) >> 3;
  }
  const uint8_t* row = c->pixels + static_cast<ptrdiff_t>(y0) * c->bytesPerRow;
  for (int r = y0; r < y1; ++r, row += c->bytesPerRow) {
    for (int at = first & ~63; at < last; at += 64)
      _mm_prefetch(reinterpret_cast<const char*>(row + at), _MM_HINT_T0);
  }
}

void BlendBits(GlyphCanvas* c, int x, int y, const uint8_t* bits, int pitch, int bitX, int w,
               int h) {
  int sx, sy;
  if (!ClipGlyph(c, &x, &y, &w, &h, &sx, &sy)) return;
  uint8_t cov[512];
  for (int r = 0; r < h; ++r) {
    const uint8_t* src = bits + static_cast<ptrdiff_t>(sy + r) * pitch;
    for (int done = 0; done < w; done += 512) {
      const int n = std::min(512, w - done);
      for (int i = 0; i < n; ++i) {
        const int b = bitX + sx + done + i;
        cov[i] = (src[b >> 3] & (0x80 >> (b & 7))) ? 255 : 0;
      }
      BlendRow(c, x + done, y + r, cov, n);
    }
  }
}

void BlendPens(GlyphCanvas* c, int x, int y, const uint8_t* pens, int pitch, int w, int h,
               const uint32_t* palette) {
  int sx, sy;
  if (!ClipGlyph(c, &x, &y, &w, &h, &sx, &sy)) return;
  const uint32_t color = c->color;
  const int pen = c->pen;
  uint8_t cov[1];
  for (int r = 0; r < h; ++r) {
    const uint8_t* src = pens + static_cast<ptrdiff_t>(sy + r) * pitch + sx;
    for (int i = 0; i < w; ++i) {
      const uint8_t p = src[i];
      if (!p) continue;
      cov[0] = 255;
      c->color = palette[p];
      c->pen = p;
      BlendRow(c, x + i, y + r, cov, 1);
    }
  }
  c->color = color;
  c->pen = pen;
}

void BlendImage(GlyphCanvas* c, int x, int y, const uint32_t* pixels, int pitch, int w, int h) {
  int sx, sy;
  if (!ClipGlyph(c, &x, &y, &w, &h, &sx, &sy)) return;
  const uint32_t color = c->color;
  uint8_t cov[1];
  for (int r = 0; r < h; ++r) {
    const uint32_t* src = pixels + static_cast<ptrdiff_t>(sy + r) * pitch + sx;
    for (int i = 0; i < w; ++i) {
      cov[0] = static_cast<uint8_t>(src[i] >> 24);
      if (!cov[0]) continue;
      c->color = src[i] & 0xFFFFFF;
      BlendRow(c, x + i, y + r, cov, 1);
    }
  }
  c->color = color;
}

void FillCanvasRect(GlyphCanvas* c, int x, int y, int w, int h) {
  int sx, sy;
  if (!ClipGlyph(c, &x, &y, &w, &h, &sx, &sy)) return;
  uint8_t full[512];
  std::memset(full, 255, sizeof full);
  for (int r = 0; r < h; ++r)
    for (int done = 0; done < w; done += 512)
      BlendRow(c, x + done, y + r, full, std::min(512, w - done));
}

}  // namespace tzx::text
