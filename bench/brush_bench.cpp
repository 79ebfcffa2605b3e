// brush commands against their peers, each at its best on the same work:
//   LoadBrush of a 2048 x 2048 JPEG   vs libjpeg-turbo decoding the file's bytes
//                                        from memory straight into BGRA
//                                        (goal: 0.9 of its speed)
//   LoadBrush of a 2048 x 2048 PNG    vs libpng's row interface decoding into
//                                        the final BGRA layout (goal: 0.9)
//   seed FloodFill of 4096 x 4096     vs the classic scanline (span) seed fill,
//                                        core and command (goal: its speed)
// The pictures are photograph-like (a smooth random field with noise), written
// by the benchmark with libjpeg and libpng into a temporary folder. LoadBrush
// runs in a real tessera host from Lua (reading the file, decoding, making the
// brush's planes); the peers read the same file and decode it into a pixel
// buffer that is not cleared first. Each side runs five times, interleaved,
// and the best time counts.
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

#include "brush/src/flood_fill.h"
#include "compare.h"
#include "photo.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

constexpr int kRuns = 5;
constexpr int kPictureSide = 2048;
constexpr int kFillSide = 4096;

// The photograph, with an alpha channel of its own smooth waves for the PNG.
const std::vector<uint32_t>& Photo() {
  static const std::vector<uint32_t> photo = [] {
    std::vector<uint32_t> px = tzx::bench::MakePhoto(kPictureSide, kPictureSide, 7);
    for (int y = 0; y < kPictureSide; ++y) {
      for (int x = 0; x < kPictureSide; ++x) {
        const double a = 191 + 64 * std::sin(x * 0.011) * std::cos(y * 0.007);
        uint32_t& p = px[static_cast<size_t>(y) * kPictureSide + x];
        p = (p & 0xFFFFFF) | static_cast<uint32_t>(std::clamp(static_cast<int>(a), 0, 255)) << 24;
      }
    }
    return px;
  }();
  return photo;
}

uint8_t Channel(int x, int y, int c) {
  return static_cast<uint8_t>(Photo()[static_cast<size_t>(y) * kPictureSide + x] >> (16 - 8 * c));
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
    if (!tzx::bench::WriteBytes(jpeg.c_str(),
                                tzx::bench::EncodeJpeg(Photo(), kPictureSide, kPictureSide, 90)))
      std::exit(1);
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
        p[3] = static_cast<uint8_t>(Photo()[size_t(y) * kPictureSide + x] >> 24);
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
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", "brush"};
    options.siblings = {"object", "imageio"};
    auto h = tzx::bench::StartHost(options);
    std::string setup = "JPEG = [[" + Files().jpeg + "]] PNG = [[" + Files().png + "]]";
    tzx::bench::RunOrExit(*h, setup);
    return h.release();
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

std::vector<uint8_t> ReadBytes(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  std::fseek(f, 0, SEEK_END);
  std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  std::fclose(f);
  return bytes;
}

// Pixels left as the allocator gives them: a decoder writes every one.
struct Pixels {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
};

// libjpeg-turbo: the file's bytes from memory, BGRA out (the byte order of
// 0xAARRGGBB words), as many rows per call as it gives.
Pixels DecodeJpeg(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), bytes.size());
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&d);
  const size_t stride = size_t(d.output_width) * 4;
  Pixels out{std::unique_ptr<uint8_t[]>(new uint8_t[stride * d.output_height]),
             stride * d.output_height};
  JSAMPROW rows[16];
  while (d.output_scanline < d.output_height) {
    const JDIMENSION first = d.output_scanline;
    for (int i = 0; i < 16; ++i) {
      rows[i] = out.data.get() + std::min<size_t>(first + i, d.output_height - 1) * stride;
    }
    jpeg_read_scanlines(&d, rows, 16);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return out;
}

// libpng's row interface: RGBA turned to BGRA by libpng, each row read into
// its place in the final buffer.
Pixels DecodePng(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  png_set_bgr(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t stride = png_get_rowbytes(png, info);
  Pixels out{std::unique_ptr<uint8_t[]>(new uint8_t[stride * height]), stride * height};
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, out.data.get() + y * stride, nullptr);
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  (void)width;
  return out;
}

void BM_LoadBrushJpegVsLibjpeg(benchmark::State& state) {
  Host();
  RunLua("LoadBrush(1, JPEG) assert(GetAttribute(BRUSH, 1, ATTRWIDTH) == 2048)");
  Compare(
      state,
      {"LoadBrush JPEG 2048x2048 photo (command)", "libjpeg-turbo", 0.9,
       "libjpeg-turbo from the file's bytes in memory into BGRA, 16 rows a call, no clearing"},
      [] { RunLua("LoadBrush(1, JPEG)"); },
      [] { benchmark::DoNotOptimize(DecodeJpeg(Files().jpeg)); });
  RunLua("FreeBrush(1)");
}

void BM_LoadBrushPngVsLibpng(benchmark::State& state) {
  Host();
  RunLua("LoadBrush(1, PNG, {loadalpha = true}) assert(GetAttribute(BRUSH, 1, ATTRHASALPHA) == 1)");
  Compare(
      state,
      {"LoadBrush PNG 2048x2048 photo (command)", "libpng", 0.9,
       "libpng's row interface from the file, BGRA rows read into the final buffer"},
      [] { RunLua("LoadBrush(1, PNG, {loadalpha = true})"); },
      [] { benchmark::DoNotOptimize(DecodePng(Files().png)); });
  RunLua("FreeBrush(1)");
}

// The peer: the classic scanline seed fill (Heckbert's, from Graphics Gems).
// Each entry on the stack is a span of a row whose neighbour row in direction
// dy was filled; the row is filled along it and widened, new spans go on in
// the same direction, and only the overhang past the parent span is looked at
// in the opposite one.
void ScanlineFill(uint32_t* pixels, int width, int height, int x, int y, uint32_t fill) {
  const uint32_t seed = pixels[size_t(y) * width + x];
  if (seed == fill) return;
  struct Span {
    int y, left, right, dy;
  };
  static std::vector<Span> stack;
  stack.clear();
  auto push = [&](int row, int left, int right, int dy) {
    if (row + dy >= 0 && row + dy < height) stack.push_back({row, left, right, dy});
  };
  push(y, x, x, 1);
  push(y + 1, x, x, -1);
  while (!stack.empty()) {
    const Span s = stack.back();
    stack.pop_back();
    const int row = s.y + s.dy;
    uint32_t* line = pixels + size_t(row) * width;
    int at = s.left;
    while (at >= 0 && line[at] == seed) line[at--] = fill;
    int start;
    if (at >= s.left) {
      start = at + 1;
      goto skip;
    }
    start = at + 1;
    if (start < s.left) push(row, start, s.left - 1, -s.dy);
    at = s.left + 1;
    do {
      while (at < width && line[at] == seed) line[at++] = fill;
      push(row, start, at - 1, s.dy);
      if (at > s.right + 1) push(row, s.right + 1, at - 1, -s.dy);
    skip:
      for (++at; at <= s.right && line[at] != seed; ++at) {
      }
      start = at;
    } while (at <= s.right);
  }
}

// One region: the whole square but a ring with a gap at the top, so that
// spans split around the ring and join again inside it.
std::vector<uint32_t> RingPicture() {
  std::vector<uint32_t> px(size_t(kFillSide) * kFillSide, 0x00FFFFFF);
  for (int i = 100; i < kFillSide - 100; ++i) {
    if (i < 2000 || i > 2010) px[size_t(100) * kFillSide + i] = 0;
    px[size_t(kFillSide - 101) * kFillSide + i] = 0;
    px[size_t(i) * kFillSide + 100] = px[size_t(i) * kFillSide + kFillSide - 101] = 0;
  }
  return px;
}

void BM_SeedFillVsScanline(benchmark::State& state) {
  std::vector<uint32_t> ours = RingPicture();
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
      {"FloodFill 4096x4096 (core)", "scanline fill", 1.0,
       "the classic scanline seed fill (Heckbert's span stack) on the same pixels"},
      [&] {
        s.fill = colors[turn[0] ^= 1];
        tzx::brush::FloodFill(s, 0, 0);
      },
      [&] { ScanlineFill(peer.data(), kFillSide, kFillSide, 0, 0, colors[turn[1] ^= 1]); });
  if (ours != peer) {
    std::fprintf(stderr, "FloodFill: results differ\n");
    std::exit(1);
  }
}

// The same fill from Lua on a brush with the same ring.
void BM_FloodFillCommandVsScanline(benchmark::State& state) {
  RunLua(
      "CreateBrush(5, 4096, 4096, 0xFFFFFF) FILLTURN = 0 "
      "for i = 100, 3995 do "
      "if i < 2000 or i > 2010 then WriteBrushPixel(5, i, 100, 0) end "
      "WriteBrushPixel(5, i, 3995, 0) WriteBrushPixel(5, 100, i, 0) "
      "WriteBrushPixel(5, 3995, i, 0) end");
  std::vector<uint32_t> peer = RingPicture();
  const uint32_t colors[2] = {0x00FFFFFF, 0x00123456};
  int turn = 0;
  Compare(
      state,
      {"FloodFill 4096x4096 (command)", "scanline fill", 1.0,
       "the classic scanline seed fill (Heckbert's span stack) on the same pixels in C++"},
      [] {
        RunLua(
            "FILLTURN = 1 - FILLTURN "
            "FloodFill(5, 0, 0, NOCOLOR, FILLTURN == 1 and 0x123456 or 0xFFFFFF)");
      },
      [&] { ScanlineFill(peer.data(), kFillSide, kFillSide, 0, 0, colors[turn ^= 1]); });
  RunLua(
      "assert(ReadBrushPixel(5, 0, 0) == (FILLTURN == 1 and 0x123456 or 0xFFFFFF)) FreeBrush(5)");
}

BENCHMARK(BM_LoadBrushJpegVsLibjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBrushPngVsLibpng)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedFillVsScanline)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillCommandVsScanline)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
