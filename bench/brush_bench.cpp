// brush commands against their peers:
//   LoadBrush of a 2048 x 2048 JPEG   vs decoding it with libjpeg   (goal: 0.9 of its speed)
//   LoadBrush of a 2048 x 2048 PNG    vs decoding it with libpng    (goal: 0.9 of its speed)
//   seed FloodFill of 4096 x 4096     vs a plain breadth-first fill (goal: faster)
// The pictures are written by the benchmark with libjpeg and libpng into a
// temporary folder. LoadBrush runs in a real tessera host from Lua (reading
// the file, decoding, making the brush's planes); the peers read the same
// file and decode it into a pixel buffer. Each side runs five times,
// interleaved, and the best time counts. The speed ratio printed is peer
// time / our time: above 1 means ours is faster.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compare.h"
#include "flood_fill.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

constexpr int kRuns = 5;
constexpr int kPictureSide = 2048;
constexpr int kFillSide = 4096;

// A picture with smooth areas and some texture, as photographs have.
uint8_t Channel(int x, int y, int c) {
  const unsigned noise = (x * 2654435761u ^ y * 40503u ^ c * 977u) >> 28;
  return static_cast<uint8_t>((x * (c + 1) / 9 + y * (3 - c) / 11 + noise) & 0xFF);
}

struct Pictures {
  std::string folder;
  std::string jpeg;
  std::string png;

  Pictures() {
    char pattern[] = "/tmp/brush_bench.XXXXXX";
    folder = mkdtemp(pattern);
    jpeg = folder + "/big.jpg";
    png = folder + "/big.png";
    WriteJpeg();
    WritePng();
  }
  ~Pictures() { std::filesystem::remove_all(folder); }

  void WriteJpeg() const {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    FILE* f = std::fopen(jpeg.c_str(), "wb");
    jpeg_stdio_dest(&c, f);
    c.image_width = kPictureSide;
    c.image_height = kPictureSide;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(kPictureSide * 3);
    for (int y = 0; y < kPictureSide; ++y) {
      for (int x = 0; x < kPictureSide; ++x) {
        for (int k = 0; k < 3; ++k) row[x * 3 + k] = Channel(x, y, k);
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
  }

  void WritePng() const {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = kPictureSide;
    image.height = kPictureSide;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(size_t(kPictureSide) * kPictureSide * 4);
    for (int y = 0; y < kPictureSide; ++y) {
      for (int x = 0; x < kPictureSide; ++x) {
        uint8_t* p = &pixels[(size_t(y) * kPictureSide + x) * 4];
        for (int k = 0; k < 3; ++k) p[k] = Channel(x, y, k);
        p[3] = static_cast<uint8_t>(255 - ((x + y) & 0x7F));
      }
    }
    png_image_write_to_file(&image, png.c_str(), 0, pixels.data(), 0, nullptr);
  }
};

const Pictures& Files() {
  static Pictures pictures;
  return pictures;
}

tessera::Host& Host() {
  static std::unique_ptr<tessera::Host> host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush"};
    options.siblings = {"object", "imageio"};
    auto h = tzx::bench::StartHost(options);
    std::string setup = "JPEG = [[" + Files().jpeg + "]] PNG = [[" + Files().png + "]]";
    tzx::bench::RunOrExit(*h, setup);
    return h;
  }();
  return *host;
}

void RunLua(const std::string& code) {
  tzx::bench::RunOrExit(Host(), code);
}

// Best of kRuns for each side, interleaved so that both meet the same machine.
void Compare(benchmark::State& state, const tzx::bench::Row& row, const std::function<void()>& ours,
             const std::function<void()>& theirs) {
  tzx::bench::BestOfInTurn(state, kRuns, ours, theirs, row);
}

std::vector<uint8_t> DecodeJpeg(const std::string& path) {
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  FILE* f = std::fopen(path.c_str(), "rb");
  jpeg_stdio_src(&d, f);
  jpeg_read_header(&d, TRUE);
  jpeg_start_decompress(&d);
  const size_t stride = size_t(d.output_width) * d.output_components;
  std::vector<uint8_t> pixels(stride * d.output_height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = &pixels[d.output_scanline * stride];
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::fclose(f);
  return pixels;
}

std::vector<uint8_t> DecodePng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  png_image_begin_read_from_file(&image, path.c_str());
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  return pixels;
}

void BM_LoadBrushJpegVsLibjpeg(benchmark::State& state) {
  Host();
  RunLua("LoadBrush(1, JPEG) assert(GetAttribute(BRUSH, 1, ATTRWIDTH) == 2048)");
  Compare(
      state,
      {"LoadBrush JPEG 2048x2048 (command)", "libjpeg", 0.9,
       "libjpeg from stdio, one RGB row per call into a zero-filled buffer"},
      [] { RunLua("LoadBrush(1, JPEG)"); },
      [] { benchmark::DoNotOptimize(DecodeJpeg(Files().jpeg)); });
  RunLua("FreeBrush(1)");
}

void BM_LoadBrushPngVsLibpng(benchmark::State& state) {
  Host();
  RunLua("LoadBrush(1, PNG, {loadalpha = true}) assert(GetAttribute(BRUSH, 1, ATTRHASALPHA) == 1)");
  Compare(
      state,
      {"LoadBrush PNG 2048x2048 (command)", "libpng", 0.9,
       "libpng simplified API from the file into RGBA"},
      [] { RunLua("LoadBrush(1, PNG, {loadalpha = true})"); },
      [] { benchmark::DoNotOptimize(DecodePng(Files().png)); });
  RunLua("FreeBrush(1)");
}

// The peer: a queue of pixel indices, four neighbours each, the pixel's
// value telling whether it was reached.
void BreadthFirstFill(uint32_t* pixels, int width, int height, int x, int y, uint32_t fill) {
  const uint32_t seed = pixels[size_t(y) * width + x];
  if (seed == fill) return;
  std::vector<uint32_t> queue;
  queue.reserve(size_t(width) * height);
  queue.push_back(uint32_t(y) * width + x);
  pixels[queue[0]] = fill;
  for (size_t head = 0; head < queue.size(); ++head) {
    const uint32_t i = queue[head];
    const int px = i % width, py = i / width;
    auto visit = [&](uint32_t n) {
      if (pixels[n] == seed) {
        pixels[n] = fill;
        queue.push_back(n);
      }
    };
    if (px > 0) visit(i - 1);
    if (px + 1 < width) visit(i + 1);
    if (py > 0) visit(i - width);
    if (py + 1 < height) visit(i + width);
  }
}

void BM_SeedFillVsBreadthFirst(benchmark::State& state) {
  // One region: the whole square but a ring with a gap at the top, so that
  // spans split around the ring and join again inside it.
  std::vector<uint32_t> ours(size_t(kFillSide) * kFillSide, 0x00FFFFFF);
  for (int i = 100; i < kFillSide - 100; ++i) {
    if (i < 2000 || i > 2010) ours[size_t(100) * kFillSide + i] = 0;
    ours[size_t(kFillSide - 101) * kFillSide + i] = 0;
    ours[size_t(i) * kFillSide + 100] = ours[size_t(i) * kFillSide + kFillSide - 101] = 0;
  }
  std::vector<uint32_t> peer = ours;
  uint32_t colors[2] = {0x00FFFFFF, 0x00123456};
  int turn[2] = {0, 0};
  tzx::brush::FillSurface s{};
  s.pixels = reinterpret_cast<uint8_t*>(ours.data());
  s.width = s.height = s.stride = kFillSide;
  s.bytesPerPixel = 4;
  s.compareMask = 0x00FFFFFF;
  s.border = tzx::brush::kNoBorder;
  Compare(
      state,
      {"FloodFill 4096x4096 (core)", "breadth-first", 1.0,
       "breadth-first fill with a queue of pixel indices"},
      [&] {
        s.fill = colors[turn[0] ^= 1];
        tzx::brush::FloodFill(s, 0, 0);
      },
      [&] { BreadthFirstFill(peer.data(), kFillSide, kFillSide, 0, 0, colors[turn[1] ^= 1]); });
  if (ours != peer) {
    std::fprintf(stderr, "FloodFill: results differ\n");
    std::exit(1);
  }
}

BENCHMARK(BM_LoadBrushJpegVsLibjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBrushPngVsLibpng)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedFillVsBreadthFirst)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
