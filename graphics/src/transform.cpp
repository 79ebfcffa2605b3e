#include "transform.h"

#include <emmintrin.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "tzx/errors.h"
#include "tzx/graphics_layout.h"

namespace tzx::graphics {

namespace {

// A coefficient this small moves the source point by less than a pixel over
// any row a bitmap can have: the coordinate counts as constant along the row.
constexpr double kFlat = 1e-10;
// Larger sides are refused by the allocation anyway; the bounds stop there
// so that the conversion to int stays defined.
constexpr double kMaxSide = static_cast<double>(INT32_MAX);

int32_t Side(double extent) {
  const double v = std::ceil(extent + 1.0);
  if (!(v < kMaxSide)) return INT32_MAX;  // also NaN
  return std::max(1, static_cast<int32_t>(v));
}

template <class T>
T Load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class T>
void Store(uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

inline int Clamp(int v, int last) {
  return v < 0 ? 0 : (v > last ? last : v);
}

// Sets bits first..last of a mask row.
void SetBits(uint8_t* row, int first, int last) {
  if (first > last) return;
  const int a = first >> 3, b = last >> 3;
  const uint8_t head = static_cast<uint8_t>(0xFF >> (first & 7));
  const uint8_t tail = static_cast<uint8_t>(0xFF << (7 - (last & 7)));
  if (a == b) {
    row[a] |= head & tail;
    return;
  }
  row[a] |= head;
  if (b > a + 1) std::memset(row + a + 1, 0xFF, b - a - 1);
  row[b] |= tail;
}

// The source point of the first pixel of a span and its step along the row.
struct Walk {
  double x, y, dx, dy;
};
Walk WalkOf(const double inv[6], int first, int y) {
  const double cx = first + 0.5, cy = y + 0.5;
  return {inv[0] * cx + inv[2] * cy + inv[4], inv[1] * cx + inv[3] * cy + inv[5], inv[0], inv[1]};
}

// Nearest pixels of B bytes along a span.
template <int B>
void NearestRow(const TransformRequest& r, const PlaneBuffer& from, uint8_t* out, Walk w, int first,
                int last) {
  const uint8_t* base = from.pixels;
  const ptrdiff_t row = from.bytesPerRow;
  const int lastX = r.width - 1, lastY = r.height - 1;
  for (int x = first; x <= last; ++x) {
    const int ix = Clamp(static_cast<int>(w.x), lastX), iy = Clamp(static_cast<int>(w.y), lastY);
    const uint8_t* p = base + iy * row + ix * B;
    if constexpr (B == 4) {
      Store(out + x * 4, Load<uint32_t>(p));
    } else if constexpr (B == 2) {
      Store(out + x * 2, Load<uint16_t>(p));
    } else if constexpr (B == 1) {
      out[x] = *p;
    } else {
      std::memcpy(out + x * B, p, B);
    }
    w.x += w.dx;
    w.y += w.dy;
  }
}

void NearestPixels(const TransformRequest& r, const PlaneBuffer& from, int bytes, uint8_t* out,
                   const Walk& w, int first, int last) {
  switch (bytes) {
    case 1:
      return NearestRow<1>(r, from, out, w, first, last);
    case 2:
      return NearestRow<2>(r, from, out, w, first, last);
    case 3:
      return NearestRow<3>(r, from, out, w, first, last);
    default:
      return NearestRow<4>(r, from, out, w, first, last);
  }
}

void NearestMask(const TransformRequest& r, uint8_t* out, Walk w, int first, int last) {
  const uint8_t* base = r.mask.pixels;
  const ptrdiff_t row = r.mask.bytesPerRow;
  const int lastX = r.width - 1, lastY = r.height - 1;
  for (int x = first; x <= last; ++x) {
    const int ix = Clamp(static_cast<int>(w.x), lastX), iy = Clamp(static_cast<int>(w.y), lastY);
    if (MaskBit(base + iy * row, ix)) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    w.x += w.dx;
    w.y += w.dy;
  }
}

// The bilinear sample position: the 2x2 neighbourhood starts at
// floor(s - 0.5) and its weights are the 16-bit fraction of s - 0.5. The
// walk carries s + 0.5 (never below 0 inside a span), so that the
// truncation is the floor.
struct Cell {
  int x0, x1, y0, y1;
  uint32_t fx, fy;
};
inline Cell CellOf(double sx, double sy, int lastX, int lastY) {
  const int64_t px = static_cast<int64_t>(sx * 65536.0) - 65536;
  const int64_t py = static_cast<int64_t>(sy * 65536.0) - 65536;
  const int x = static_cast<int>(px >> 16), y = static_cast<int>(py >> 16);
  return {Clamp(x, lastX),
          Clamp(x + 1, lastX),
          Clamp(y, lastY),
          Clamp(y + 1, lastY),
          static_cast<uint32_t>(px & 0xFFFF),
          static_cast<uint32_t>(py & 0xFFFF)};
}

// c00 (1 - fx)(1 - fy) + c10 fx (1 - fy) + c01 (1 - fx) fy + c11 fx fy with
// 16-bit fractions, truncated, for the four channels at once. The value is
// exact: the horizontal sums are integers below 2^24 (exact in floats), the
// vertical ones below 2^40 (exact in doubles), and 2^-32 is a power of two.
inline __m128 Channels(uint32_t c) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c)), zero);
  return _mm_cvtepi32_ps(_mm_unpacklo_epi16(v, zero));
}

inline uint32_t Blend(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fx,
                      uint32_t fy) {
  const __m128 wx = _mm_set1_ps(static_cast<float>(fx));
  const __m128 gx = _mm_set1_ps(static_cast<float>(65536 - fx));
  const __m128 top = _mm_add_ps(_mm_mul_ps(Channels(c00), gx), _mm_mul_ps(Channels(c10), wx));
  const __m128 bottom = _mm_add_ps(_mm_mul_ps(Channels(c01), gx), _mm_mul_ps(Channels(c11), wx));
  constexpr double kScale = 1.0 / 4294967296.0;
  const __m128d wy = _mm_set1_pd(fy * kScale), gy = _mm_set1_pd((65536 - fy) * kScale);
  const __m128d low =
      _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(top), gy), _mm_mul_pd(_mm_cvtps_pd(bottom), wy));
  const __m128d high = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(top, top)), gy),
                                  _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(bottom, bottom)), wy));
  __m128i v = _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
  v = _mm_packs_epi32(v, v);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}

inline uint8_t BlendByte(uint8_t c00, uint8_t c10, uint8_t c01, uint8_t c11, uint32_t fx,
                         uint32_t fy) {
  const uint32_t gx = 65536 - fx, gy = 65536 - fy;
  const uint64_t v = uint64_t{c00 * gx + c10 * fx} * gy + uint64_t{c01 * gx + c11 * fx} * fy;
  return static_cast<uint8_t>(v >> 32);
}

// Bilinear colours. With a source mask, hidden neighbours lend no colour:
// each takes the first visible one's (top-left, top-right, bottom-left,
// bottom-right); with none visible nothing is drawn and the destination
// bit goes.
void SmoothRow(const TransformRequest& r, uint8_t* out, uint8_t* outMask, Walk w, int first,
               int last) {
  const uint8_t* base = r.color.pixels;
  const ptrdiff_t row = r.color.bytesPerRow;
  const uint8_t* bits = r.mask.pixels;
  const ptrdiff_t bitsRow = r.mask.bytesPerRow;
  const int lastX = r.width - 1, lastY = r.height - 1;
  w.x += 0.5;
  w.y += 0.5;
  for (int x = first; x <= last; ++x, w.x += w.dx, w.y += w.dy) {
    const Cell c = CellOf(w.x, w.y, lastX, lastY);
    const uint8_t* top = base + c.y0 * row;
    const uint8_t* bottom = base + c.y1 * row;
    uint32_t p[4] = {Load<uint32_t>(top + c.x0 * 4), Load<uint32_t>(top + c.x1 * 4),
                     Load<uint32_t>(bottom + c.x0 * 4), Load<uint32_t>(bottom + c.x1 * 4)};
    if (bits) {
      const uint8_t* mt = bits + c.y0 * bitsRow;
      const uint8_t* mb = bits + c.y1 * bitsRow;
      const bool seen[4] = {MaskBit(mt, c.x0), MaskBit(mt, c.x1), MaskBit(mb, c.x0),
                            MaskBit(mb, c.x1)};
      int firstSeen = 0;
      while (firstSeen < 4 && !seen[firstSeen]) ++firstSeen;
      if (firstSeen == 4) {
        if (outMask) outMask[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
        continue;
      }
      for (int i = 0; i < 4; ++i) {
        if (!seen[i]) p[i] = p[firstSeen];
      }
    }
    Store(out + x * 4, Blend(p[0], p[1], p[2], p[3], c.fx, c.fy));
  }
}

void SmoothAlpha(const TransformRequest& r, uint8_t* out, Walk w, int first, int last) {
  const uint8_t* base = r.alpha.pixels;
  const ptrdiff_t row = r.alpha.bytesPerRow;
  const int lastX = r.width - 1, lastY = r.height - 1;
  w.x += 0.5;
  w.y += 0.5;
  for (int x = first; x <= last; ++x, w.x += w.dx, w.y += w.dy) {
    const Cell c = CellOf(w.x, w.y, lastX, lastY);
    const uint8_t* top = base + c.y0 * row;
    const uint8_t* bottom = base + c.y1 * row;
    out[x] = BlendByte(top[c.x0], top[c.x1], bottom[c.x0], bottom[c.x1], c.fx, c.fy);
  }
}

// Span limit of one source axis: the centres X where a * X + c lies in
// [0, size), each end moved 1e-10 inwards.
bool Limit(double a, double c, int size, double* lo, double* hi) {
  if (a > kFlat || a < -kFlat) {
    const double t0 = -c / a, t1 = (size - c) / a;
    *lo = std::max(*lo, std::min(t0, t1) + kFlat);
    *hi = std::min(*hi, std::max(t0, t1) - kFlat);
    return true;
  }
  return c >= 0.0 && c < size;
}

// Zeroes the pixels of a row outside its span, so that every destination
// pixel is written once.
void ClearOutside(uint8_t* row, int bytes, int width, const Span& s) {
  if (s.first > s.last) {
    std::memset(row, 0, static_cast<size_t>(width) * bytes);
    return;
  }
  std::memset(row, 0, static_cast<size_t>(s.first) * bytes);
  std::memset(row + static_cast<ptrdiff_t>(s.last + 1) * bytes, 0,
              static_cast<size_t>(width - 1 - s.last) * bytes);
}

}  // namespace

Bounds MatrixBoundsOf(const double m[4], int width, int height) {
  const double xs[4] = {0.0, m[0] * width, m[2] * height, m[0] * width + m[2] * height};
  const double ys[4] = {0.0, m[1] * width, m[3] * height, m[1] * width + m[3] * height};
  const auto [left, right] = std::minmax_element(xs, xs + 4);
  const auto [top, bottom] = std::minmax_element(ys, ys + 4);
  Bounds b{*left, *top, Side(*right - *left), Side(*bottom - *top)};
  if (!std::isfinite(b.left) || !std::isfinite(b.top)) {
    b.left = b.top = 0.0;
    b.width = b.height = INT32_MAX;
  }
  return b;
}

bool InvertMatrix(const double m[6], double inv[6]) {
  const double d = m[0] * m[3] - m[2] * m[1];
  if (!(d != 0.0) || !std::isfinite(d)) return false;
  inv[0] = m[3] / d;
  inv[1] = -m[1] / d;
  inv[2] = -m[2] / d;
  inv[3] = m[0] / d;
  inv[4] = -m[4] * inv[0] - m[5] * inv[2];
  inv[5] = -m[4] * inv[1] - m[5] * inv[3];
  for (int i = 0; i < 6; ++i) {
    if (!std::isfinite(inv[i])) return false;
  }
  return true;
}

Span RowSpan(const double inv[6], int sourceWidth, int sourceHeight, int toWidth, int y) {
  const double cy = y + 0.5;
  double lo = 0.0, hi = toWidth;  // centres of columns 0 .. toWidth - 1 lie in (0, toWidth)
  if (!Limit(inv[0], inv[2] * cy + inv[4], sourceWidth, &lo, &hi) ||
      !Limit(inv[1], inv[3] * cy + inv[5], sourceHeight, &lo, &hi) || !(lo <= hi)) {
    return {0, -1};
  }
  return {static_cast<int32_t>(std::ceil(lo - 0.5)),
          static_cast<int32_t>(std::min(std::floor(hi - 0.5), toWidth - 1.0))};
}

int TransformPixels(const TransformRequest& r) {
  double inv[6];
  if (!InvertMatrix(r.matrix, inv)) return kErrRange;
  if (r.width < 1 || r.height < 1 || r.toWidth < 1 || r.toHeight < 1) return kErrRange;
  const bool color = r.color.pixels && r.toColor.pixels;
  if (color && (r.colorBytes < 1 || r.colorBytes > 4 || (r.smooth && r.colorBytes != 4))) {
    return kErrRange;
  }
  const bool sourceMask = r.mask.pixels != nullptr;
  const bool alpha = r.alpha.pixels && r.toAlpha.pixels;
  const bool index = r.index.pixels && r.toIndex.pixels;
  uint8_t* const toMask = r.toMask.pixels;

  // Rows that the picture's corners reach.
  double top = r.matrix[5], bottom = r.matrix[5];
  for (const auto& [x, y] : {std::pair{r.width, 0}, {0, r.height}, {r.width, r.height}}) {
    const double v = r.matrix[1] * x + r.matrix[3] * y + r.matrix[5];
    top = std::min(top, v);
    bottom = std::max(bottom, v);
  }
  const int firstRow = static_cast<int>(std::max(0.0, std::ceil(top - 0.5)));
  const int lastRow = static_cast<int>(std::min(r.toHeight - 1.0, std::floor(bottom + 0.5)));

  // Bands of rows, each walked in strips of columns, so that the part of
  // the source a tile reads stays in the cache from one row to the next.
  constexpr int kBandRows = 32;
  const int stripColumns = r.smooth ? 64 : 1024;
  const int colorBytes = color ? r.colorBytes : 0;
  const int mapped = r.toMask.bytesPerRow ? (r.toWidth + 7) / 8 : 0;
  auto rowOf = [](const PlaneTarget& t, int y) {
    return t.pixels + static_cast<ptrdiff_t>(y) * t.bytesPerRow;
  };
  for (int band = 0; band < r.toHeight; band += kBandRows) {
    const int rows = std::min(kBandRows, r.toHeight - band);
    Span spans[kBandRows];
    int left = r.toWidth, right = -1;
    for (int i = 0; i < rows; ++i) {
      const int y = band + i;
      Span& s = spans[i];
      s = y >= firstRow && y <= lastRow ? RowSpan(inv, r.width, r.height, r.toWidth, y)
                                        : Span{0, -1};
      if (s.first <= s.last) {
        left = std::min(left, s.first);
        right = std::max(right, s.last);
      }
      if (toMask) std::memset(rowOf(r.toMask, y), 0, mapped);
      if (color) ClearOutside(rowOf(r.toColor, y), colorBytes, r.toWidth, s);
      if (alpha) ClearOutside(rowOf(r.toAlpha, y), 1, r.toWidth, s);
      if (index) ClearOutside(rowOf(r.toIndex, y), 1, r.toWidth, s);
    }
    for (int strip = left; strip <= right; strip += stripColumns) {
      const int stripLast = std::min(right, strip + stripColumns - 1);
      for (int i = 0; i < rows; ++i) {
        const int y = band + i;
        const int first = std::max(spans[i].first, strip);
        const int last = std::min(spans[i].last, stripLast);
        if (first > last) continue;
        const Walk w = WalkOf(inv, first, y);
        uint8_t* maskRow = toMask ? rowOf(r.toMask, y) : nullptr;
        if (maskRow) {
          if (sourceMask) {
            NearestMask(r, maskRow, w, first, last);
          } else {
            SetBits(maskRow, first, last);
          }
        }
        if (color) {
          if (r.smooth) {
            SmoothRow(r, rowOf(r.toColor, y), maskRow, w, first, last);
          } else {
            NearestPixels(r, r.color, r.colorBytes, rowOf(r.toColor, y), w, first, last);
          }
        }
        if (alpha) {
          if (r.smooth) {
            SmoothAlpha(r, rowOf(r.toAlpha, y), w, first, last);
          } else {
            NearestRow<1>(r, r.alpha, rowOf(r.toAlpha, y), w, first, last);
          }
        }
        if (index) NearestRow<1>(r, r.index, rowOf(r.toIndex, y), w, first, last);
      }
    }
  }
  return 0;
}

namespace {

// 4 x 4 blocks of 32-bit pixels through SSE2 unpacks, inside 64 x 64 tiles
// so that both sides stay in the cache.
constexpr int kTile = 64;

inline void Transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
  const __m128i ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
  const __m128i cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
  a = _mm_unpacklo_epi64(ab0, cd0);
  b = _mm_unpackhi_epi64(ab0, cd0);
  c = _mm_unpacklo_epi64(ab1, cd1);
  d = _mm_unpackhi_epi64(ab1, cd1);
}

// Source position of destination (x, y) for a w x h source.
inline void SourceOf(int x, int y, int w, int h, bool clockwise, int* sx, int* sy) {
  if (clockwise) {
    *sx = y;
    *sy = h - 1 - x;
  } else {
    *sx = w - 1 - y;
    *sy = x;
  }
}

template <int B>
void TurnTileScalar(const uint8_t* s, ptrdiff_t sr, uint8_t* t, ptrdiff_t tr, int w, int h, bool cw,
                    int x0, int x1, int y0, int y1) {
  for (int y = y0; y < y1; ++y) {
    uint8_t* out = t + y * tr;
    for (int x = x0; x < x1; ++x) {
      int sx, sy;
      SourceOf(x, y, w, h, cw, &sx, &sy);
      std::memcpy(out + x * B, s + sy * sr + sx * B, B);
    }
  }
}

void Turn32(const uint8_t* s, ptrdiff_t sr, uint8_t* t, ptrdiff_t tr, int w, int h, bool cw) {
  const int tw = h, th = w;  // destination size
  for (int ty = 0; ty < th; ty += kTile) {
    const int ty1 = std::min(th, ty + kTile);
    for (int tx = 0; tx < tw; tx += kTile) {
      const int tx1 = std::min(tw, tx + kTile);
      const int bx1 = tx + ((tx1 - tx) & ~3), by1 = ty + ((ty1 - ty) & ~3);
      for (int y = ty; y < by1; y += 4) {
        for (int x = tx; x < bx1; x += 4) {
          // Source rows r0..r0+3, columns c0..c0+3 hold this block.
          const int r0 = cw ? h - 4 - x : x;
          const int c0 = cw ? y : w - 4 - y;
          const uint8_t* p = s + r0 * sr + c0 * 4;
          __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
          __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + sr));
          __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * sr));
          __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * sr));
          Transpose4(a, b, c, d);  // a..d: source columns c0..c0+3, down the rows
          uint8_t* q = t + y * tr + x * 4;
          if (cw) {
            // Destination row y + k is source column c0 + k, read upwards.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_shuffle_epi32(a, 0x1B));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + tr), _mm_shuffle_epi32(b, 0x1B));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 2 * tr), _mm_shuffle_epi32(c, 0x1B));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 3 * tr), _mm_shuffle_epi32(d, 0x1B));
          } else {
            // Destination row y + k is source column c0 + 3 - k.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q), d);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + tr), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 2 * tr), b);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 3 * tr), a);
          }
        }
        TurnTileScalar<4>(s, sr, t, tr, w, h, cw, bx1, tx1, y, y + 4);
      }
      TurnTileScalar<4>(s, sr, t, tr, w, h, cw, tx, tx1, by1, ty1);
    }
  }
}

template <int B>
void TurnTiled(const uint8_t* s, ptrdiff_t sr, uint8_t* t, ptrdiff_t tr, int w, int h, bool cw) {
  for (int ty = 0; ty < w; ty += kTile) {
    for (int tx = 0; tx < h; tx += kTile) {
      TurnTileScalar<B>(s, sr, t, tr, w, h, cw, tx, std::min(h, tx + kTile), ty,
                        std::min(w, ty + kTile));
    }
  }
}

void TurnMask(const uint8_t* s, ptrdiff_t sr, uint8_t* t, ptrdiff_t tr, int w, int h, bool cw) {
  for (int y = 0; y < w; ++y) {
    uint8_t* out = t + y * tr;
    std::memset(out, 0, tr);
    for (int x = 0; x < h; ++x) {
      int sx, sy;
      SourceOf(x, y, w, h, cw, &sx, &sy);
      if (MaskBit(s + sy * sr, sx)) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
  }
}

}  // namespace

void TurnPlane(const uint8_t* source, int sourceRow, uint8_t* target, int targetRow, int width,
               int height, int bytesPerPixel, bool clockwise) {
  switch (bytesPerPixel) {
    case 0:
      return TurnMask(source, sourceRow, target, targetRow, width, height, clockwise);
    case 1:
      return TurnTiled<1>(source, sourceRow, target, targetRow, width, height, clockwise);
    case 2:
      return TurnTiled<2>(source, sourceRow, target, targetRow, width, height, clockwise);
    case 3:
      return TurnTiled<3>(source, sourceRow, target, targetRow, width, height, clockwise);
    default:
      return Turn32(source, sourceRow, target, targetRow, width, height, clockwise);
  }
}

}  // namespace tzx::graphics
