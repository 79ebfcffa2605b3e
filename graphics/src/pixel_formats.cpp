#include "pixel_formats.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tzx::graphics {

namespace {

template <int F>
using Format = std::integral_constant<int, F>;

// Calls fn(Format<F>{}) for a known format; false for any other code.
template <class Fn>
bool WithFormat(int format, Fn&& fn) {
  switch (format) {
    case 0:
      fn(Format<0>{});
      return true;
    case 1:
      fn(Format<1>{});
      return true;
    case 2:
      fn(Format<2>{});
      return true;
    case 3:
      fn(Format<3>{});
      return true;
    case 4:
      fn(Format<4>{});
      return true;
    case 5:
      fn(Format<5>{});
      return true;
    case 6:
      fn(Format<6>{});
      return true;
    case 7:
      fn(Format<7>{});
      return true;
    case 8:
      fn(Format<8>{});
      return true;
    case 9:
      fn(Format<9>{});
      return true;
    case 10:
      fn(Format<10>{});
      return true;
    case 11:
      fn(Format<11>{});
      return true;
    case 12:
      fn(Format<12>{});
      return true;
    case 13:
      fn(Format<13>{});
      return true;
    case 14:
      fn(Format<14>{});
      return true;
    default:
      return false;
  }
}

template <int F>
constexpr int kBytes = F <= 7    ? 2
                       : F <= 9  ? 3
                       : F <= 13 ? 4
                                 : 1;
template <int F>
constexpr bool kBigEndian = F == 2 || F == 3 || F == 6 || F == 7;
// Formats whose high field holds red (0, 2, 4, 6) or blue (1, 3, 5, 7).
template <int F>
constexpr bool kRedHigh = F % 2 == 0;

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(uint8_t* p, uint32_t v) {
  std::memcpy(p, &v, 4);
}
inline uint32_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Store16(uint8_t* p, uint32_t v) {
  uint16_t w = static_cast<uint16_t>(v);
  std::memcpy(p, &w, 2);
}
inline uint32_t SwapRedBlue(uint32_t c) {
  return (c & 0xFF00FF00) | ((c >> 16) & 0xFF) | ((c & 0xFF) << 16);
}

template <int F>
inline uint32_t Decode(const uint8_t* p) {
  if constexpr (F <= 7) {
    uint32_t w = Load16(p);
    if constexpr (kBigEndian<F>) w = __builtin_bswap16(static_cast<uint16_t>(w));
    uint32_t high, middle, low;
    if constexpr (F <= 3) {
      high = (w >> 10) & 31;
      middle = ((w >> 5) & 31) << 11;
      low = w & 31;
    } else {
      high = (w >> 11) & 31;
      middle = ((w >> 5) & 63) << 10;
      low = w & 31;
    }
    uint32_t red = kRedHigh<F> ? high : low;
    uint32_t blue = kRedHigh<F> ? low : high;
    return (red << 19) | middle | (blue << 3);
  } else if constexpr (F == 8) {
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  } else if constexpr (F == 9) {
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  } else if constexpr (F == 10) {
    return Load32(p);
  } else if constexpr (F == 11) {
    return __builtin_bswap32(Load32(p));
  } else if constexpr (F == 12) {
    uint32_t w = Load32(p);
    return (w >> 8) | (w << 24);
  } else if constexpr (F == 13) {
    return SwapRedBlue(Load32(p));
  } else {
    return uint32_t{p[0]} * 0x010101;
  }
}

// How a 15- or 16-bit pixel is built from 0xAARRGGBB, one shape for formats
// 0 to 7: the top five bits of red and blue (bytes 2 and 0) are scaled into
// place and added, green's top bits are masked in where they already sit, and
// the sum holds the pixel shifted left by kShift, its top field at bit 16. The
// scales stay within the signed 16-bit multipliers of pmaddwd.
template <int F>
struct Packing16 {
  static constexpr bool kFiveBitGreen = F <= 3;
  static constexpr int kShift = kFiveBitGreen ? 6 : 5;
  static constexpr uint32_t kGreenMask = kFiveBitGreen ? 0xF800 : 0xFC00;
  static constexpr int kTopScale = 1 << 13;               // bit 3 to bit 16
  static constexpr int kBottomScale = 1 << (kShift - 3);  // bit 3 to bit kShift
  static constexpr int kRedScale = kRedHigh<F> ? kTopScale : kBottomScale;
  static constexpr int kBlueScale = kRedHigh<F> ? kBottomScale : kTopScale;
};

// The stored 16-bit value of a pixel given as 0xAARRGGBB.
template <int F>
inline uint32_t Pack16(uint32_t c) {
  using P = Packing16<F>;
  uint32_t sum = (c & 0xF8) * P::kBlueScale + ((c >> 16) & 0xF8) * P::kRedScale;
  uint32_t w = (sum | (c & P::kGreenMask)) >> P::kShift;
  if constexpr (kBigEndian<F>) w = (w >> 8) | ((w & 0xFF) << 8);
  return w;
}

template <int F>
inline void Encode(uint8_t* p, uint32_t c) {
  if constexpr (F <= 7) {
    Store16(p, Pack16<F>(c));
  } else if constexpr (F == 8) {
    uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    p[0] = static_cast<uint8_t>(r);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(b);
  } else if constexpr (F == 9) {
    uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
  } else if constexpr (F == 10) {
    Store32(p, c);
  } else if constexpr (F == 11) {
    Store32(p, __builtin_bswap32(c));
  } else if constexpr (F == 12) {
    Store32(p, (c << 8) | (c >> 24));
  } else if constexpr (F == 13) {
    Store32(p, SwapRedBlue(c));
  } else {
    uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    // Integer luma weights that sum to 256, so a grey keeps its level.
    p[0] = static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
  }
}

template <int F>
void DecodeRow(const uint8_t* __restrict source, uint8_t* __restrict target, int count) {
  for (int i = 0; i < count; ++i) Store32(target + 4 * i, Decode<F>(source + kBytes<F> * i));
}

#if defined(__SSE2__)
// Pack16 of eight pixels at once: pmaddwd scales and adds red and blue in one
// step. packs_epi32 saturates signed values, so each pixel is sign-extended
// from its 16 bits first, which keeps every word exact.
template <int F>
inline __m128i Pack16x8(const uint8_t* source) {
  using P = Packing16<F>;
  const __m128i redBlue = _mm_set1_epi32(0x00F800F8), green = _mm_set1_epi32(P::kGreenMask);
  const __m128i scales = _mm_set1_epi32(P::kBlueScale | (P::kRedScale << 16));
  auto pack4 = [&](__m128i c) {
    __m128i sum = _mm_madd_epi16(_mm_and_si128(c, redBlue), scales);
    __m128i shifted = _mm_or_si128(sum, _mm_and_si128(c, green));
    return _mm_srai_epi32(_mm_slli_epi32(shifted, 16 - P::kShift), 16);
  };
  __m128i w =
      _mm_packs_epi32(pack4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source))),
                      pack4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 16))));
  if constexpr (kBigEndian<F>) w = _mm_or_si128(_mm_srli_epi16(w, 8), _mm_slli_epi16(w, 8));
  return w;
}
#endif

#if defined(__SSE2__)
// Four 0xAARRGGBB words as 24-bit pixels: red and blue swap places for R, G, B
// bytes (format 8), two words join in a 64-bit lane as six bytes, and the
// lanes are stored six bytes apart; each store's two spare bytes are written
// again by the next, so at least two more pixels must follow.
template <int F>
inline void Pack24x4(const uint8_t* source, uint8_t* target) {
  const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
  __m128i rgb = _mm_and_si128(p, _mm_set1_epi32(0xFFFFFF));
  if constexpr (F == 8) {
    const __m128i low = _mm_set1_epi32(0xFF);
    rgb = _mm_or_si128(_mm_or_si128(_mm_and_si128(p, _mm_set1_epi32(0xFF00)),
                                    _mm_and_si128(_mm_srli_epi32(p, 16), low)),
                       _mm_slli_epi32(_mm_and_si128(p, low), 16));
  }
  const __m128i packed = _mm_or_si128(_mm_and_si128(rgb, _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF)),
                                      _mm_slli_epi64(_mm_srli_epi64(rgb, 32), 24));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(target), packed);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(target + 6), _mm_srli_si128(packed, 8));
}
#endif

template <int F>
void EncodeRow(const uint8_t* __restrict source, uint8_t* __restrict target, int count) {
  int i = 0;
#if defined(__SSE2__)
  if constexpr (F == 8 || F == 9) {
    for (; i + 6 <= count; i += 4) Pack24x4<F>(source + 4 * i, target + 3 * i);
  }
  if constexpr (F <= 7) {
    // Two vectors a turn: the loop is bound by instruction throughput.
#pragma GCC unroll 2
    for (; i + 8 <= count; i += 8) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 2 * i), Pack16x8<F>(source + 4 * i));
    }
  }
#endif
  for (; i < count; ++i) Encode<F>(target + kBytes<F> * i, Load32(source + 4 * i));
}

void DecodeRowAny(const uint8_t* source, int format, uint8_t* target, int count) {
  bool known =
      WithFormat(format, [&](auto f) { DecodeRow<decltype(f)::value>(source, target, count); });
  if (!known) std::memset(target, 0, static_cast<size_t>(count) * 4);
}

void EncodeRowAny(const uint8_t* source, uint8_t* target, int format, int count) {
  WithFormat(format, [&](auto f) { EncodeRow<decltype(f)::value>(source, target, count); });
}

}  // namespace

int FormatBytes(int format) {
  if (format >= 0 && format <= 7) return 2;
  if (format == 8 || format == 9) return 3;
  if (format >= 10 && format <= 13) return 4;
  if (format == 14) return 1;
  return 0;
}

int FormatDepthBits(int format) {
  if (format == -1) return 32;
  if (format >= 0 && format <= 3) return 15;
  if (format >= 4 && format <= 7) return 16;
  if (format == 8 || format == 9) return 24;
  if (format >= 10 && format <= 13) return 32;
  if (format == 14) return 8;
  return 0;
}

uint32_t ReadColor(const uint8_t* pixel, int format) {
  uint32_t color = 0;
  WithFormat(format, [&](auto f) { color = Decode<decltype(f)::value>(pixel); });
  return color;
}

void WriteColor(uint8_t* pixel, int format, uint32_t argb) {
  WithFormat(format, [&](auto f) { Encode<decltype(f)::value>(pixel, argb); });
}

uint32_t ReadRaw(const uint8_t* pixel, int format) {
  switch (FormatBytes(format)) {
    case 1:
      return pixel[0];
    case 2:
      return Load16(pixel);
    case 3:
      return pixel[0] | (uint32_t{pixel[1]} << 8) | (uint32_t{pixel[2]} << 16);
    case 4:
      return Load32(pixel);
    default:
      return 0;
  }
}

void WriteRaw(uint8_t* pixel, int format, uint32_t raw) {
  switch (FormatBytes(format)) {
    case 1:
      pixel[0] = static_cast<uint8_t>(raw);
      break;
    case 2:
      Store16(pixel, raw);
      break;
    case 3:
      pixel[0] = static_cast<uint8_t>(raw);
      pixel[1] = static_cast<uint8_t>(raw >> 8);
      pixel[2] = static_cast<uint8_t>(raw >> 16);
      break;
    case 4:
      Store32(pixel, raw);
      break;
    default:
      break;
  }
}

uint32_t RawToColor(uint32_t raw, int format, bool keepAlpha) {
  uint8_t bytes[4];
  Store32(bytes, raw);
  uint32_t color = ReadColor(bytes, format);
  bool hasAlpha = format >= 10 && format <= 13;
  return hasAlpha && keepAlpha ? color : color & 0xFFFFFF;
}

void RowToArgb(const uint8_t* source, int format, uint32_t* target, int count) {
  DecodeRowAny(source, format, reinterpret_cast<uint8_t*>(target), count);
}

void RowFromArgb(const uint32_t* source, uint8_t* target, int format, int count) {
  EncodeRowAny(reinterpret_cast<const uint8_t*>(source), target, format, count);
}

void ConvertRow(const uint8_t* source, int sourceFormat, uint8_t* target, int targetFormat,
                int count) {
  if (sourceFormat == targetFormat) {
    std::memcpy(target, source, static_cast<size_t>(count) * FormatBytes(sourceFormat));
  } else if (sourceFormat == 10) {
    EncodeRowAny(source, target, targetFormat, count);
  } else if (targetFormat == 10) {
    DecodeRowAny(source, sourceFormat, target, count);
  } else {
    // Through 0xAARRGGBB in chunks that stay in the first cache level.
    constexpr int kChunk = 512;
    alignas(16) uint8_t argb[kChunk * 4];
    int sourceBytes = FormatBytes(sourceFormat), targetBytes = FormatBytes(targetFormat);
    for (int done = 0; done < count; done += kChunk) {
      int n = count - done < kChunk ? count - done : kChunk;
      DecodeRowAny(source + done * sourceBytes, sourceFormat, argb, n);
      EncodeRowAny(argb, target + done * targetBytes, targetFormat, n);
    }
  }
}

void ConvertRect(const uint8_t* source, int sourceBytesPerRow, int sourceFormat, uint8_t* target,
                 int targetBytesPerRow, int targetFormat, int width, int height) {
  for (int y = 0; y < height; ++y) {
    ConvertRow(source + static_cast<ptrdiff_t>(y) * sourceBytesPerRow, sourceFormat,
               target + static_cast<ptrdiff_t>(y) * targetBytesPerRow, targetFormat, width);
  }
}

}  // namespace tzx::graphics
