// Colour quantisation and image filters against their peers, on a 1920 x 1080
// photograph-like picture (a smooth random field with noise):
//   quantising to 256 colours, plain and dithered: libjpeg's two-pass
//     quantiser while decoding the same JPEG, against our decoding through
//     libjpeg plus our quantiser (core), and LoadBrush + QuantizeBrush from Lua
//     (command); the mean colour error of both is printed (goal: at least
//     1.0 of its speed, error no more than 5% above it)
//   blur, charcoal, oil paint and swirl: MagickCore's BlurImage,
//     CharcoalImage, OilPaintImage and SwirlImage on one thread and on two,
//     against our filters library (core) and the brush commands (goal: 3x)
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "compare.h"
#include "graphics/src/quantize.h"
#include "photo.h"
#include "script_host.h"
#include "siblings/filters/filter_kernels.h"
#include "tessera/host.h"

#if TZX_HAVE_MAGICK
#include <magick/MagickCore.h>
#endif

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

const std::vector<uint32_t>& Photo() {
  static const std::vector<uint32_t> photo = tzx::bench::MakePhoto(kWidth, kHeight, 42);
  return photo;
}

struct Files {
  std::string folder, jpeg;
  std::vector<uint8_t> jpegBytes;
  Files() {
    char pattern[] = "/tmp/quantize_bench.XXXXXX";
    folder = mkdtemp(pattern);
    jpeg = folder + "/photo.jpg";
    jpegBytes = tzx::bench::EncodeJpeg(Photo(), kWidth, kHeight, 95);
    if (!tzx::bench::WriteBytes(jpeg.c_str(), jpegBytes)) std::exit(1);
  }
  ~Files() { std::filesystem::remove_all(folder); }
};

const Files& TheFiles() {
  static const Files files;
  return files;
}

// Decodes the JPEG: into 0xFFRRGGBB words, or, with quantize, into pens and
// the decoder's colour map (libjpeg's two-pass quantiser).
void Decode(bool quantize, bool dither, std::vector<uint32_t>* words, std::vector<uint8_t>* pens,
            uint32_t* palette) {
  const auto& bytes = TheFiles().jpegBytes;
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), bytes.size());
  jpeg_read_header(&d, TRUE);
  if (quantize) {
    d.quantize_colors = TRUE;
    d.two_pass_quantize = TRUE;
    d.desired_number_of_colors = 256;
    d.dither_mode = dither ? JDITHER_FS : JDITHER_NONE;
  } else {
    d.out_color_space = JCS_EXT_BGRX;
  }
  jpeg_start_decompress(&d);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = quantize ? pens->data() + static_cast<size_t>(d.output_scanline) * kWidth
                            : reinterpret_cast<JSAMPROW>(
                                  words->data() + static_cast<size_t>(d.output_scanline) * kWidth);
    jpeg_read_scanlines(&d, &row, 1);
  }
  if (quantize) {
    for (int i = 0; i < d.actual_number_of_colors; ++i) {
      palette[i] =
          (uint32_t{d.colormap[0][i]} << 16) | (uint32_t{d.colormap[1][i]} << 8) | d.colormap[2][i];
    }
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
}

double MeanError(const std::vector<uint8_t>& pens, const uint32_t* palette) {
  double total = 0;
  for (size_t i = 0; i < pens.size(); ++i) {
    const uint32_t a = Photo()[i], b = palette[pens[i]];
    for (int k = 0; k < 24; k += 8) total += std::abs(int((a >> k) & 255) - int((b >> k) & 255));
  }
  return total / (3.0 * pens.size());
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    auto h = tzx::bench::StartHost(options);
    return h.release();
  }();
  return *host;
}

void Run(const std::string& code) {
  tzx::bench::RunOrExit(Host(), code);
}

void QuantizeCore(benchmark::State& state, bool dither) {
  // The host's start sets the process's allocation options, which spare both
  // sides fresh pages for their picture-sized blocks; run alone, these rows
  // would otherwise time the peer without them.
  Host();
  std::vector<uint32_t> words(static_cast<size_t>(kWidth) * kHeight);
  std::vector<uint8_t> ours(words.size()), theirs(words.size());
  uint32_t ourPalette[256], theirPalette[256];
  tzx::bench::CompareInTurn(
      state,
      [&] {
        Decode(false, false, &words, nullptr, nullptr);
        tzx::graphics::QuantizeRequest r;
        r.source = reinterpret_cast<const uint8_t*>(words.data());
        r.sourceFormat = tzx::graphics::kFormatArgb32;
        r.sourceBytesPerRow = kWidth * 4;
        r.index = ours.data();
        r.indexBytesPerRow = kWidth;
        r.width = kWidth;
        r.height = kHeight;
        r.palette = ourPalette;
        r.colors = 256;
        r.dither = dither;
        tzx::graphics::Quantize(r);
      },
      [&] { Decode(true, dither, nullptr, &theirs, theirPalette); },
      tzx::bench::Row{
          std::string("decode + quantize 256 ") + (dither ? "dithered " : "") + "(core)", "libjpeg",
          1.0, "libjpeg decoding the same JPEG with its two-pass quantiser"});
  state.counters["ours_error"] = MeanError(ours, ourPalette);
  state.counters["libjpeg_error"] = MeanError(theirs, theirPalette);
}

void QuantizeCommand(benchmark::State& state, bool dither) {
  Run("jpeg = '" + TheFiles().jpeg + "'");
  std::vector<uint8_t> theirs(static_cast<size_t>(kWidth) * kHeight);
  uint32_t theirPalette[256];
  const std::string code =
      std::string("LoadBrush(2, jpeg) QuantizeBrush(2, {colors = 256, dither = ") +
      (dither ? "true" : "false") + "})";
  // Replacing a quantised brush by a loaded one settles the heap's layout
  // only on the second run: until then each run touches fresh pages, which
  // this machine takes at about 15 us each. Both warm-ups run before the
  // timed turns (the peer's one in CompareInTurn already leaves it settled).
  Run(code);
  tzx::bench::CompareInTurn(
      state, [&] { Run(code); }, [&] { Decode(true, dither, nullptr, &theirs, theirPalette); },
      tzx::bench::Row{
          std::string("LoadBrush + QuantizeBrush 256 ") + (dither ? "dithered " : "") + "(command)",
          "libjpeg", 1.0, "libjpeg decoding the same JPEG with its two-pass quantiser"});
}

// Quantising to 256 colours: decoding with our quantiser against libjpeg's.
void BM_QuantizeCore(benchmark::State& state) {
  QuantizeCore(state, false);
}
void BM_QuantizeDitheredCore(benchmark::State& state) {
  QuantizeCore(state, true);
}
// The same from Lua: LoadBrush + QuantizeBrush.
void BM_QuantizeBrushCommand(benchmark::State& state) {
  QuantizeCommand(state, false);
}
void BM_QuantizeBrushDitheredCommand(benchmark::State& state) {
  QuantizeCommand(state, true);
}
BENCHMARK(BM_QuantizeCore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_QuantizeDitheredCore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_QuantizeBrushCommand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_QuantizeBrushDitheredCommand)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

#if TZX_HAVE_MAGICK

namespace f = tzx::host::filters;

const f::Memory kHeap{[](size_t n) { return std::malloc(n); }, [](void* p) { std::free(p); }};

enum Effect { kBlur, kCharcoal, kOilPaint, kSwirl };

Image* MagickPhoto() {
  ExceptionInfo* e = AcquireExceptionInfo();
  Image* image = ConstituteImage(kWidth, kHeight, "BGRA", CharPixel, Photo().data(), e);
  DestroyExceptionInfo(e);
  return image;
}

Image* MagickEffect(Image* image, Effect effect, ExceptionInfo* e) {
  switch (effect) {
    case kBlur:
      return BlurImage(image, 5, 5 / 3.0, e);
    case kCharcoal:
      return CharcoalImage(image, 2, 2 / 3.0, e);
    case kOilPaint:
      return OilPaintImage(image, 3, e);
    case kSwirl:
      return SwirlImage(image, 90, e);
  }
  return nullptr;
}

bool OurEffect(std::vector<uint32_t>& px, Effect effect) {
  const f::Picture p{px.data(), kWidth, kWidth, kHeight};
  switch (effect) {
    case kBlur:
      return f::Blur(p, f::BytePlane{nullptr, 0}, 5, 5 / 3.0, kHeap);
    case kCharcoal:
      return f::Charcoal(p, 2, 1.0, kHeap);
    case kOilPaint:
      return f::OilPaint(p, 3, kHeap);
    case kSwirl:
      return f::Swirl(
          f::Shape{p, f::BytePlane{nullptr, 0}, f::BytePlane{nullptr, 0}, kWidth, kHeight}, 90,
          kHeap);
  }
  return false;
}

const char* CommandOf(Effect effect) {
  switch (effect) {
    case kBlur:
      return "BlurBrush(1, 5, 5 / 3)";
    case kCharcoal:
      return "CharcoalBrush(1, 2)";
    case kOilPaint:
      return "OilPaintBrush(1, 3)";
    case kSwirl:
      return "SwirlBrush(1, 90)";
  }
  return "";
}

void FilterCompare(benchmark::State& state, Effect effect, int threads, bool command) {
  static bool started = [] {
    MagickCoreGenesis(nullptr, MagickFalse);
    return true;
  }();
  (void)started;
  SetMagickResourceLimit(ThreadResource, threads);
  Image* image = MagickPhoto();
  ExceptionInfo* e = AcquireExceptionInfo();
  std::vector<uint32_t> px = Photo();
  if (command) Run("LoadBrush(1, '" + TheFiles().jpeg + "')");
  tzx::bench::CompareInTurn(
      state,
      [&] {
        if (command) {
          Run(CommandOf(effect));
        } else {
          OurEffect(px, effect);
        }
      },
      [&] { DestroyImage(MagickEffect(image, effect, e)); },
      tzx::bench::Row{
          CommandOf(effect) + std::string(command ? " (command" : " (core") + ", " +
              std::to_string(threads) + (threads == 1 ? " thread)" : " threads)"),
          "MagickCore", 3.0,
          "the same MagickCore effect on the same picture, limited to as many threads"});
  DestroyExceptionInfo(e);
  DestroyImage(image);
}

#define FILTER_BENCH(name, effect)                      \
  void BM_##name##Core1Thread(benchmark::State& s) {    \
    FilterCompare(s, effect, 1, false);                 \
  }                                                     \
  void BM_##name##Core2Threads(benchmark::State& s) {   \
    FilterCompare(s, effect, 2, false);                 \
  }                                                     \
  void BM_##name##Command1Thread(benchmark::State& s) { \
    FilterCompare(s, effect, 1, true);                  \
  }                                                     \
  BENCHMARK(BM_##name##Core1Thread)                     \
      ->UseManualTime()                                 \
      ->Unit(benchmark::kMillisecond)                   \
      ->Iterations(3);                                  \
  BENCHMARK(BM_##name##Core2Threads)                    \
      ->UseManualTime()                                 \
      ->Unit(benchmark::kMillisecond)                   \
      ->Iterations(3);                                  \
  BENCHMARK(BM_##name##Command1Thread)                  \
      ->UseManualTime()                                 \
      ->Unit(benchmark::kMillisecond)                   \
      ->Iterations(3)

FILTER_BENCH(Blur, kBlur);
FILTER_BENCH(Charcoal, kCharcoal);
FILTER_BENCH(OilPaint, kOilPaint);
FILTER_BENCH(Swirl, kSwirl);

#endif

}  // namespace
