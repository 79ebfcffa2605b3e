// Blits of 1920 × 1080 pixels against their peers, each pair run one after the
// other in every iteration: a same-format blit against memcpy of the same
// bytes; an alpha blit against pixman's OVER composite (the same operation:
// an x8r8g8b8 source through an a8 mask, and pixman's cheaper premultiplied
// a8r8g8b8 OVER as a second peer); converting blits from format 10 to format 8
// (R, G, B bytes) against a hand-written SSE2 loop (pixman has no fast path
// for it), and to format 4 (RGB 5-6-5) against pixman's SRC composite into
// r5g6b5, which has one. The reported time is ours; speed_ratio is the peer's time
// over ours (above 1: faster than the peer).
#include <benchmark/benchmark.h>
#include <emmintrin.h>
#include <pixman.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>

#include "compare.h"
#include "graphics/src/bitmaps.h"
#include "graphics/src/blits.h"

namespace {

using namespace tzx::graphics;

constexpr int kWidth = 1920, kHeight = 1080;

// A bitmap and pixman's view of the same pixels.
struct Surface {
  BitmapHandle* bitmap = nullptr;
  pixman_image_t* image = nullptr;

  Surface(int format, pixman_format_code_t pixmanFormat) {
    bitmap = format == kFormatByte ? AllocAlpha(kWidth, kHeight, 0, nullptr, 0)
                                   : AllocBitmapOfFormat(kWidth, kHeight, format);
    PixelView v;
    ViewOf(bitmap, &v);
    image = pixman_image_create_bits(pixmanFormat, kWidth, kHeight,
                                     reinterpret_cast<uint32_t*>(v.pixels), v.bytesPerRow);
  }
  ~Surface() {
    pixman_image_unref(image);
    FreeBitmap(bitmap);
  }
  PixelView View() const {
    PixelView v;
    ViewOf(bitmap, &v);
    return v;
  }
};

void FillRandom(const Surface& s, uint32_t seed) {
  std::mt19937 random(seed);
  PixelView v = s.View();
  for (int y = 0; y < v.height; ++y) {
    auto* row = RowOf(v, y);
    for (int i = 0; i < v.bytesPerRow; ++i) row[i] = static_cast<uint8_t>(random());
  }
}

// Runs ours and the peer in turn and reports both.
void Compare(benchmark::State& state, const std::function<void()>& ours,
             const std::function<void()>& peer, const tzx::bench::Row& row) {
  tzx::bench::CompareInTurn(state, ours, peer, row);
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
}

void SameFormatAgainstMemcpy(benchmark::State& state) {
  Surface source(kFormatArgb32, PIXMAN_a8r8g8b8), target(kFormatArgb32, PIXMAN_a8r8g8b8);
  Surface copy(kFormatArgb32, PIXMAN_a8r8g8b8);
  FillRandom(source, 1);
  size_t bytes = size_t{kWidth} * kHeight * 4;  // rows of 1920 pixels have no padding
  Compare(
      state, [&] { BlitBitmap(source.bitmap, 0, 0, target.bitmap, 0, 0, kWidth, kHeight); },
      [&] { std::memcpy(copy.View().pixels, source.View().pixels, bytes); },
      {"blit same format 1920x1080 (core)", "memcpy", 0.95, "memcpy of the same bytes"});
}

// Alpha that changes from pixel to pixel, so that no run of 0 or 255 helps
// either side; `sprite` instead gives opaque and clear areas with soft edges.
void FillAlpha(const Surface& alpha, bool sprite) {
  PixelView v = alpha.View();
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = RowOf(v, y);
    for (int x = 0; x < kWidth; ++x) {
      if (!sprite) {
        row[x] = static_cast<uint8_t>(x * 7 + y * 13);
      } else {
        int d = (x % 256) - 128;  // 128-pixel opaque and clear bands, 16-pixel ramps
        row[x] = static_cast<uint8_t>(d < -8 ? 0 : d > 7 ? 255 : (d + 8) * 16);
      }
    }
  }
}

void AlphaAgainstPixman(benchmark::State& state, bool premultipliedPeer, bool sprite) {
  Surface source(kFormatArgb32, premultipliedPeer ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8);
  Surface alpha(kFormatByte, PIXMAN_a8);
  Surface ours(kFormatArgb32, PIXMAN_x8r8g8b8), theirs(kFormatArgb32, PIXMAN_x8r8g8b8);
  FillRandom(source, 2);
  FillRandom(ours, 3);
  FillRandom(theirs, 3);
  FillAlpha(alpha, sprite);
  if (premultipliedPeer) {
    // The same picture premultiplied, with its alpha in the top byte.
    PixelView s = source.View(), a = alpha.View();
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(RowOf(s, y));
      const uint8_t* levels = RowOf(a, y);
      for (int x = 0; x < kWidth; ++x) {
        uint32_t p = row[x], l = levels[x], out = l << 24;
        for (int shift = 0; shift < 24; shift += 8)
          out |= (((p >> shift) & 255) * l / 255) << shift;
        row[x] = out;
      }
    }
  }
  Compare(
      state,
      [&] {
        BlitBitmapAlpha(source.bitmap, alpha.bitmap, 0, 0, ours.bitmap, 0, 0, kWidth, kHeight, 255);
      },
      [&] {
        pixman_image_composite32(PIXMAN_OP_OVER, source.image,
                                 premultipliedPeer ? nullptr : alpha.image, theirs.image, 0, 0, 0,
                                 0, 0, 0, kWidth, kHeight);
      },
      {std::string("blit alpha ") + (sprite ? "sprite " : "") +
           (premultipliedPeer ? "vs premultiplied " : "") + "1920x1080 (core)",
       "pixman", 1.0,
       premultipliedPeer ? "pixman OVER of a premultiplied a8r8g8b8 source, no mask"
                         : "pixman OVER of x8r8g8b8 through the same a8 mask"});
}

// The peer of the conversion to R, G, B bytes, where pixman has no fast path:
// a hand-written SSE2 loop. Red and blue swap places in each 0xAARRGGBB word,
// two words join in a 64-bit lane as six bytes, and the lanes are stored six
// bytes apart (each store's two spare bytes are overwritten by the next).
void SseArgbToRgb24(const uint32_t* in, uint8_t* out, int count) {
  const __m128i green = _mm_set1_epi32(0x0000FF00), low = _mm_set1_epi32(0xFF);
  const __m128i low24 = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
  int i = 0;
  for (; i + 6 <= count; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i rgb = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(p, green), _mm_and_si128(_mm_srli_epi32(p, 16), low)),
        _mm_slli_epi32(_mm_and_si128(p, low), 16));
    const __m128i packed =
        _mm_or_si128(_mm_and_si128(rgb, low24), _mm_slli_epi64(_mm_srli_epi64(rgb, 32), 24));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * i), packed);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * i + 6), _mm_srli_si128(packed, 8));
  }
  for (; i < count; ++i) {
    out[3 * i] = static_cast<uint8_t>(in[i] >> 16);
    out[3 * i + 1] = static_cast<uint8_t>(in[i] >> 8);
    out[3 * i + 2] = static_cast<uint8_t>(in[i]);
  }
}

void ConvertAgainstSse2(benchmark::State& state) {
  Surface source(kFormatArgb32, PIXMAN_a8r8g8b8);
  Surface ours(kFormatRgb24, PIXMAN_b8g8r8), theirs(kFormatRgb24, PIXMAN_b8g8r8);
  FillRandom(source, 4);
  const PixelView from = source.View(), to = theirs.View();
  Compare(
      state, [&] { BlitBitmap(source.bitmap, 0, 0, ours.bitmap, 0, 0, kWidth, kHeight); },
      [&] {
        for (int y = 0; y < kHeight; ++y) {
          SseArgbToRgb24(reinterpret_cast<const uint32_t*>(RowOf(from, y)), RowOf(to, y), kWidth);
        }
      },
      {"blit convert 10 to 8 1920x1080 (core)", "SSE2 loop", 1.0,
       "a hand-written SSE2 loop per row (pixman has no fast path for this conversion)"});
  // Both made the same bytes.
  const PixelView mine = ours.View();
  for (int y = 0; y < kHeight; y += 97) {
    if (std::memcmp(RowOf(mine, y), RowOf(to, y), size_t{kWidth} * 3) != 0) {
      state.SkipWithError("the converted rows differ");
      return;
    }
  }
}

void ConvertAgainstPixman(benchmark::State& state, int format, pixman_format_code_t peerFormat,
                          const char* operation) {
  Surface source(kFormatArgb32, PIXMAN_a8r8g8b8);
  Surface ours(format, peerFormat), theirs(format, peerFormat);
  FillRandom(source, 4);
  Compare(
      state, [&] { BlitBitmap(source.bitmap, 0, 0, ours.bitmap, 0, 0, kWidth, kHeight); },
      [&] {
        pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, theirs.image, 0, 0, 0, 0, 0,
                                 0, kWidth, kHeight);
      },
      {operation, "pixman", 1.0, "pixman SRC composite into the same format"});
}

}  // namespace

BENCHMARK(SameFormatAgainstMemcpy)
    ->Name("GraphicsBlit/same_format_10/vs_memcpy")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlphaAgainstPixman, masked, false, false)
    ->Name("GraphicsBlit/alpha/vs_pixman_over_x888_a8")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlphaAgainstPixman, premultiplied, true, false)
    ->Name("GraphicsBlit/alpha/vs_pixman_over_premultiplied_8888")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlphaAgainstPixman, sprite, false, true)
    ->Name("GraphicsBlit/alpha_sprite/vs_pixman_over_x888_a8")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertAgainstSse2)
    ->Name("GraphicsBlit/convert_10_to_8/vs_sse2")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ConvertAgainstPixman, rgb565, kFormatRgb16, PIXMAN_r5g6b5,
                  "blit convert 10 to 4 1920x1080 (core)")
    ->Name("GraphicsBlit/convert_10_to_4/vs_pixman_src_r5g6b5")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
