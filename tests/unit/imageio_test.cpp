// The picture codecs of the imageio sibling and its slots as the libraries
// call them.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <jpeglib.h>
}
#include <zlib.h>

#include "graphics/src/graphics_state.h"
#include "graphics/src/scale_bitmap.h"
#include "host_state.h"
#include "services.h"
#include "siblings/imageio/picture.h"
#include "siblings/sibling.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/graphics_layout.h"
#include "tzx/siblings.h"

namespace {

using namespace tzx;
using namespace tzx::host;
using namespace tzx::host::imageio;
using Bytes = std::vector<uint8_t>;

constexpr int32_t kBmp = graphics::kImgfmtBmp, kPng = graphics::kImgfmtPng,
                  kJpeg = graphics::kImgfmtJpeg;
const Limits kDefault;

// Every test ends with as many host blocks as it started with (the graphics
// scaler's scratch given back).
class ImageIo : public ::testing::Test {
 protected:
  void SetUp() override { before_ = State().liveBlocks; }
  void TearDown() override {
    graphics::ReleaseScaleScratch();
    EXPECT_EQ(State().liveBlocks, before_) << "host blocks leaked";
  }

 private:
  long before_ = 0;
};

struct HeldPicture {
  Picture p;
  ~HeldPicture() { ReleasePicture(&p); }
};

Bytes Take(ByteBuffer* b) {
  Bytes out(b->data, b->data + b->size);
  ReleaseBuffer(b);
  return out;
}

// The colours of a true-colour picture or decode, row after row without the
// padding of their store layout.
std::vector<uint32_t> Colors(const uint32_t* argb, int w, int h) {
  std::vector<uint32_t> v;
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = argb + y * graphics::ColorRowPixels(w);
    v.insert(v.end(), row, row + w);
  }
  return v;
}
std::vector<uint32_t> Colors(const Picture& p) {
  return Colors(p.argb, p.info.width, p.info.height);
}

Status Decode(const Bytes& file, bool pens, HeldPicture* out, const Limits& limits = kDefault) {
  int32_t format = SniffFormat(file.data(), file.size());
  return DecodePicture(format, file.data(), file.size(), pens, limits, &out->p);
}

// An ARGB test picture with every kind of alpha and colour.
std::vector<uint32_t> Pattern(int w, int h) {
  std::vector<uint32_t> v(w * h);
  uint32_t seed = 12345;
  for (auto& p : v) {
    seed = seed * 1103515245 + 12345;
    p = seed ^ (seed >> 13);
  }
  return v;
}

SaveSource TrueColor(const std::vector<uint32_t>& argb, int w, int h) {
  SaveSource s;
  s.width = w;
  s.height = h;
  s.argb = reinterpret_cast<const uint8_t*>(argb.data());
  s.argbStride = w * 4;
  return s;
}

SaveSource Pens(const Bytes& pens, const std::vector<uint32_t>& palette, int w, int h, int depth) {
  SaveSource s;
  s.width = w;
  s.height = h;
  s.indices = pens.data();
  s.indexStride = w;
  s.palette = palette.data();
  s.depth = depth;
  return s;
}

Bytes Encode(Status (*encode)(const SaveSource&, ByteBuffer*), const SaveSource& s) {
  ByteBuffer b;
  EXPECT_EQ(encode(s, &b), Status::kOk);
  return Take(&b);
}

// --- PNG files made with libpng itself, for layouts the encoder never writes.

struct PngLayout {
  int width = 0, height = 0, bitDepth = 8, colorType = PNG_COLOR_TYPE_RGB;
  bool interlace = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;
  bool keyed = false;
  png_color_16 key{};
};

PngLayout Layout(int width, int height, int bitDepth, int colorType) {
  PngLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitDepth = bitDepth;
  layout.colorType = colorType;
  return layout;
}

void AppendPng(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void FailPng(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

// Rows are given in the PNG's own packed layout.
bool WritePng(const PngLayout* layout, png_bytep* rows, Bytes* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailPng, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendPng, nullptr);
  png_set_IHDR(png, info, layout->width, layout->height, layout->bitDepth, layout->colorType,
               layout->interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!layout->palette.empty()) {
    png_set_PLTE(png, info, layout->palette.data(), static_cast<int>(layout->palette.size()));
  }
  if (!layout->paletteAlpha.empty()) {
    png_set_tRNS(png, info, layout->paletteAlpha.data(),
                 static_cast<int>(layout->paletteAlpha.size()), nullptr);
  }
  if (layout->keyed) png_set_tRNS(png, info, nullptr, 0, &layout->key);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

Bytes MakePng(const PngLayout& layout, Bytes packed) {
  const size_t rowBytes = packed.size() / layout.height;
  std::vector<png_bytep> rows(layout.height);
  for (int y = 0; y < layout.height; ++y) rows[y] = packed.data() + y * rowBytes;
  Bytes out;
  EXPECT_TRUE(WritePng(&layout, rows.data(), &out));
  return out;
}

// A PNG whose header says width × height, with a valid checksum, followed by
// the start of its pixel data.
Bytes PngHeaderOnly(uint32_t width, uint32_t height) {
  Bytes f = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {width, height}) {
    for (int s = 24; s >= 0; s -= 8) f.push_back(static_cast<uint8_t>(v >> s));
  }
  f.insert(f.end(), {8, 6, 0, 0, 0});
  uLong crc = crc32(0, f.data() + 12, 17);
  for (int s = 24; s >= 0; s -= 8) f.push_back(static_cast<uint8_t>(crc >> s));
  f.insert(f.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T'});
  return f;
}

// --- JPEG files made with libjpeg.

Bytes MakeJpeg(int w, int h, int components, J_COLOR_SPACE space, const Bytes& samples,
               int quality = 95, bool progressive = false) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = w;
  c.image_height = h;
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  for (int y = 0; y < h; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + y * w * components);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes out(mem, mem + size);
  std::free(mem);
  return out;
}

// A smooth RGB gradient, which JPEG keeps closely.
Bytes Gradient(int w, int h) {
  Bytes rgb(w * h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(y * w + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / (w - 1));
      p[1] = static_cast<uint8_t>(y * 255 / (h - 1));
      p[2] = 128;
    }
  }
  return rgb;
}

int MaxChannelDifference(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s = 0; s < 24; s += 8) d = std::max(d, std::abs(int(a >> s & 255) - int(b >> s & 255)));
  return d;
}

// --- BMP files written byte by byte.

void Put(Bytes* b, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// An information-header BMP with the given pixel bytes after an optional
// palette or masks.
// A BMP file with an information header of `headerSize` bytes: the fields of
// the 40-byte one (cut where the header is shorter), then `headerTail` and
// zeros up to the size; `extra` (masks or palette) follows the header.
Bytes MakeBmpWithHeader(uint32_t headerSize, const Bytes& headerTail, int32_t w, int32_t h,
                        int bits, uint32_t compression, const Bytes& extra, const Bytes& pixels,
                        uint32_t colorsUsed = 0) {
  Bytes info;
  Put(&info, headerSize, 4);
  Put(&info, w, 4);
  Put(&info, h, 4);
  Put(&info, 1, 2);
  Put(&info, bits, 2);
  Put(&info, compression, 4);
  Put(&info, static_cast<uint32_t>(pixels.size()), 4);
  Put(&info, 0, 4);
  Put(&info, 0, 4);
  Put(&info, colorsUsed, 4);
  Put(&info, 0, 4);
  info.insert(info.end(), headerTail.begin(), headerTail.end());
  info.resize(headerSize, 0);
  Bytes b = {'B', 'M'};
  const uint32_t offset = 14 + headerSize + static_cast<uint32_t>(extra.size());
  Put(&b, offset + static_cast<uint32_t>(pixels.size()), 4);
  Put(&b, 0, 4);
  Put(&b, offset, 4);
  b.insert(b.end(), info.begin(), info.end());
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

Bytes MakeBmp(int32_t w, int32_t h, int bits, uint32_t compression, const Bytes& extra,
              const Bytes& pixels, uint32_t colorsUsed = 0) {
  return MakeBmpWithHeader(40, {}, w, h, bits, compression, extra, pixels, colorsUsed);
}

// ============================================================== PNG

TEST_F(ImageIo, PngKeepsEveryArgbValueWithItsAlphaPlane) {
  const int w = 13, h = 7;
  auto argb = Pattern(w, h);
  Bytes alpha(w * h);
  for (int i = 0; i < w * h; ++i) alpha[i] = static_cast<uint8_t>(argb[i] >> 24);
  SaveSource s = TrueColor(argb, w, h);
  s.alpha = alpha.data();
  s.alphaStride = w;
  Bytes file = Encode(EncodePng, s);

  HeldPicture d;
  ASSERT_EQ(Decode(file, false, &d), Status::kOk);
  EXPECT_EQ(d.p.info.format, kPng);
  EXPECT_TRUE(d.p.info.alpha);
  EXPECT_EQ(d.p.info.depth, 32);
  EXPECT_EQ(Colors(d.p), argb);
}

TEST_F(ImageIo, PngWithoutAlphaIsOpaqueAndAKeyColourBecomesTransparent) {
  const int w = 4, h = 2;
  std::vector<uint32_t> argb = {0x00112233, 0x12FF0000, 0x00112233, 0x7F00FF00,
                                0x000000FF, 0x00FFFFFF, 0x00112233, 0x00000000};
  Bytes plain = Encode(EncodePng, TrueColor(argb, w, h));
  HeldPicture a;
  ASSERT_EQ(Decode(plain, false, &a), Status::kOk);
  EXPECT_FALSE(a.p.info.alpha);
  EXPECT_EQ(a.p.info.depth, 24);
  for (int i = 0; i < w * h; ++i) EXPECT_EQ(a.p.argb[i], (argb[i] & 0xFFFFFF) | 0xFF000000u);

  SaveSource keyed = TrueColor(argb, w, h);
  keyed.transparentColor = 0x112233;
  Bytes file = Encode(EncodePng, keyed);
  HeldPicture b;
  ASSERT_EQ(Decode(file, false, &b), Status::kOk);
  EXPECT_TRUE(b.p.info.transparency);
  EXPECT_FALSE(b.p.info.alpha);
  EXPECT_EQ(b.p.transparentColor, 0x112233u);
  EXPECT_EQ(b.p.argb[0], 0x00112233u);
  EXPECT_EQ(b.p.argb[1], 0xFFFF0000u);
}

TEST_F(ImageIo, PngPaletteComesBackWithItsPensPaletteAndKeyPen) {
  const int w = 9, h = 3;
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 16; ++i) palette[i] = 0x010203u * i + 0x400000;
  Bytes pens(w * h);
  for (int i = 0; i < w * h; ++i) pens[i] = static_cast<uint8_t>(i % 16);
  SaveSource s = Pens(pens, palette, w, h, 4);
  s.transparentPen = 3;
  Bytes file = Encode(EncodePng, s);

  HeldPicture d;
  ASSERT_EQ(Decode(file, true, &d), Status::kOk);
  ASSERT_NE(d.p.indices, nullptr);
  EXPECT_EQ(d.p.argb, nullptr);
  EXPECT_EQ(d.p.info.depth, 4);
  EXPECT_EQ(Bytes(d.p.indices, d.p.indices + w * h), pens);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(d.p.palette[i], palette[i]) << i;
  EXPECT_EQ(d.p.transparentPen, 3);
  EXPECT_TRUE(d.p.info.transparency);
  EXPECT_FALSE(d.p.info.alpha);

  HeldPicture c;
  ASSERT_EQ(Decode(file, false, &c), Status::kOk);
  ASSERT_NE(c.p.argb, nullptr);
  const std::vector<uint32_t> colors = Colors(c.p);
  for (int i = 0; i < w * h; ++i) {
    const uint32_t alpha = pens[i] == 3 ? 0 : 0xFF000000u;
    EXPECT_EQ(colors[i], palette[pens[i]] | alpha) << i;
  }
  EXPECT_EQ(c.p.transparentColor, palette[3]);
}

TEST_F(ImageIo, PngPensAboveTheDepthWidenTheFile) {
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
  Bytes pens = {0, 1, 200, 3};
  Bytes file = Encode(EncodePng, Pens(pens, palette, 4, 1, 1));
  HeldPicture d;
  ASSERT_EQ(Decode(file, true, &d), Status::kOk);
  EXPECT_EQ(d.p.info.depth, 8);
  EXPECT_EQ(Bytes(d.p.indices, d.p.indices + 4), pens);
}

TEST_F(ImageIo, PngPaletteWithPartialAlphaHasAnAlphaChannelAndNoKey) {
  PngLayout layout = Layout(3, 1, 8, PNG_COLOR_TYPE_PALETTE);
  layout.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  layout.paletteAlpha = {0, 128, 0};
  Bytes file = MakePng(layout, {0, 1, 2});
  HeldPicture pens, argb;
  ASSERT_EQ(Decode(file, true, &pens), Status::kOk);
  EXPECT_TRUE(pens.p.info.alpha);
  EXPECT_FALSE(pens.p.info.transparency);
  EXPECT_EQ(pens.p.transparentPen, -1);
  uint8_t* alpha = AlphaPlane(pens.p);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(Bytes(alpha, alpha + 3), (Bytes{0, 128, 0}));
  FreePlane(alpha);

  ASSERT_EQ(Decode(file, false, &argb), Status::kOk);
  EXPECT_EQ(argb.p.argb[0], 0x00FF0000u);
  EXPECT_EQ(argb.p.argb[1], 0x8000FF00u);
  EXPECT_EQ(argb.p.argb[2], 0x000000FFu);
}

TEST_F(ImageIo, PngGreyIsPensWithARampOrGreyTrueColour) {
  PngLayout two = Layout(4, 1, 2, PNG_COLOR_TYPE_GRAY);
  two.keyed = true;
  two.key.gray = 2;
  Bytes file = MakePng(two, {0b00011011});  // 0, 1, 2, 3
  HeldPicture pens, argb;
  ASSERT_EQ(Decode(file, true, &pens), Status::kOk);
  EXPECT_EQ(pens.p.info.depth, 2);
  EXPECT_EQ(Bytes(pens.p.indices, pens.p.indices + 4), (Bytes{0, 1, 2, 3}));
  EXPECT_EQ(pens.p.palette[1], 0x555555u);
  EXPECT_EQ(pens.p.palette[3], 0xFFFFFFu);
  EXPECT_EQ(pens.p.transparentPen, 2);

  ASSERT_EQ(Decode(file, false, &argb), Status::kOk);
  EXPECT_EQ(argb.p.argb[0], 0xFF000000u);
  EXPECT_EQ(argb.p.argb[1], 0xFF555555u);
  EXPECT_EQ(argb.p.argb[2], 0x00AAAAAAu);
  EXPECT_EQ(argb.p.transparentColor, 0xAAAAAAu);
}

TEST_F(ImageIo, SixteenBitPngsAreScaledToEightBits) {
  PngLayout grey = Layout(4, 1, 16, PNG_COLOR_TYPE_GRAY);
  Bytes file = MakePng(grey, {0x00, 0x00, 0xFF, 0xFF, 0x80, 0x80, 0x03, 0xE8});
  HeldPicture g;
  ASSERT_EQ(Decode(file, true, &g), Status::kOk);  // too deep for pens
  ASSERT_NE(g.p.argb, nullptr);
  EXPECT_EQ(g.p.info.depth, 24);
  EXPECT_EQ(g.p.argb[0], 0xFF000000u);
  EXPECT_EQ(g.p.argb[1], 0xFFFFFFFFu);
  EXPECT_EQ(g.p.argb[2], 0xFF808080u);
  EXPECT_EQ(g.p.argb[3], 0xFF040404u);  // 1000 / 257 rounds to 4

  PngLayout rgba = Layout(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA);
  Bytes file2 = MakePng(rgba, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80, 0x80, 0x80});
  HeldPicture c;
  ASSERT_EQ(Decode(file2, false, &c), Status::kOk);
  EXPECT_EQ(c.p.argb[0], 0x80FF0080u);
}

TEST_F(ImageIo, InterlacedPngDecodesLikeAPlainOne) {
  const int w = 11, h = 9;
  Bytes rgb(w * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
  PngLayout plain = Layout(w, h, 8, PNG_COLOR_TYPE_RGB);
  PngLayout laced = plain;
  laced.interlace = true;
  HeldPicture a, b;
  ASSERT_EQ(Decode(MakePng(plain, rgb), false, &a), Status::kOk);
  ASSERT_EQ(Decode(MakePng(laced, rgb), false, &b), Status::kOk);
  EXPECT_EQ(Colors(a.p), Colors(b.p));
  EXPECT_EQ(a.p.argb[1], 0xFF151C23u);
}

// ============================================================== JPEG

TEST_F(ImageIo, JpegFromLibjpegDecodesCloseToItsPixels) {
  const int w = 40, h = 24;
  Bytes rgb = Gradient(w, h);
  Bytes file = MakeJpeg(w, h, 3, JCS_RGB, rgb);
  PictureInfo info;
  ASSERT_EQ(ProbePicture(kJpeg, file.data(), file.size(), kDefault, &info), Status::kOk);
  EXPECT_EQ(info.width, w);
  EXPECT_EQ(info.height, h);
  EXPECT_EQ(info.depth, 24);

  HeldPicture d;
  ASSERT_EQ(Decode(file, true, &d), Status::kOk);  // colour JPEGs have no pens
  ASSERT_NE(d.p.argb, nullptr);
  int worst = 0;
  for (int i = 0; i < w * h; ++i) {
    const uint32_t expected = uint32_t{rgb[i * 3]} << 16 | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2];
    EXPECT_EQ(d.p.argb[i] >> 24, 255u);
    worst = std::max(worst, MaxChannelDifference(d.p.argb[i], expected));
  }
  EXPECT_LE(worst, 8);
}

// Where the last scan of a file starts.
size_t LastScanStart(const Bytes& file) {
  size_t last = 0;
  for (size_t i = 0; i + 1 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xDA) last = i;
  }
  return last;
}

TEST_F(ImageIo, ProgressiveJpegCutInALaterScanShowsTheWholePicture) {
  const int w = 64, h = 48;
  Bytes rgb = Gradient(w, h);
  Bytes file = MakeJpeg(w, h, 3, JCS_RGB, rgb, 90, true);
  HeldPicture whole;
  ASSERT_EQ(Decode(file, false, &whole), Status::kOk);

  // Cut halfway through the last scan's data: every block still has its DC
  // and most of its detail.
  const size_t last = LastScanStart(file);
  ASSERT_GT(last, 0u);
  Bytes cut(file.begin(), file.begin() + (last + file.size()) / 2);
  HeldPicture lower;
  ASSERT_EQ(Decode(cut, false, &lower), Status::kOk);
  int worst = 0;
  for (int i = 0; i < w * h; ++i) {
    worst = std::max(worst, MaxChannelDifference(lower.p.argb[i], whole.p.argb[i]));
  }
  EXPECT_LE(worst, 24);

  // Cut inside the first scan: blocks without any data would be made up.
  size_t first = 0;
  while (first + 1 < file.size() && !(file[first] == 0xFF && file[first + 1] == 0xDA)) ++first;
  Bytes early(file.begin(), file.begin() + first + 20);
  HeldPicture none;
  EXPECT_EQ(Decode(early, false, &none), Status::kTruncated);

  // A sequential file cut anywhere in its data is refused.
  Bytes plain = MakeJpeg(w, h, 3, JCS_RGB, rgb, 90);
  Bytes plainCut(plain.begin(), plain.begin() + plain.size() - 40);
  HeldPicture grey;
  EXPECT_EQ(Decode(plainCut, false, &grey), Status::kTruncated);
}

TEST_F(ImageIo, GreyJpegMayComeBackAsPens) {
  const int w = 16, h = 8;
  Bytes grey(w * h);
  for (int i = 0; i < w * h; ++i) grey[i] = static_cast<uint8_t>(i * 2);
  Bytes file = MakeJpeg(w, h, 1, JCS_GRAYSCALE, grey, 100);
  HeldPicture d;
  ASSERT_EQ(Decode(file, true, &d), Status::kOk);
  ASSERT_NE(d.p.indices, nullptr);
  EXPECT_EQ(d.p.info.depth, 8);
  EXPECT_EQ(d.p.palette[200], 0xC8C8C8u);
  for (int i = 0; i < w * h; ++i) EXPECT_NEAR(d.p.indices[i], grey[i], 3);
}

TEST_F(ImageIo, CmykJpegBecomesRgb) {
  // Written as Adobe files are: inks inverted, 255 meaning none.
  Bytes cmyk = {255, 255, 255, 255, 255, 0, 255, 255, 0, 0, 0, 255, 255, 255, 255, 0};
  Bytes file = MakeJpeg(4, 1, 4, JCS_CMYK, cmyk, 100);
  HeldPicture d;
  ASSERT_EQ(Decode(file, false, &d), Status::kOk);
  EXPECT_LE(MaxChannelDifference(d.p.argb[0], 0xFFFFFF), 12);
  EXPECT_LE(MaxChannelDifference(d.p.argb[1], 0xFF00FF), 12);
  EXPECT_LE(MaxChannelDifference(d.p.argb[2], 0x000000), 12);
  EXPECT_LE(MaxChannelDifference(d.p.argb[3], 0x000000), 12);
}

TEST_F(ImageIo, JpegEncoderFlattensTransparencyOverTheFillColour) {
  const int w = 16, h = 16;
  std::vector<uint32_t> argb(w * h, 0x00FF0000);
  Bytes alpha(w * h, 0);
  for (int i = 0; i < w * h / 2; ++i) alpha[i] = 255;
  SaveSource s = TrueColor(argb, w, h);
  s.alpha = alpha.data();
  s.alphaStride = w;
  s.flatten = true;
  s.fillColor = 0x0000FF;
  s.quality = 100;
  HeldPicture d;
  ASSERT_EQ(Decode(Encode(EncodeJpeg, s), false, &d), Status::kOk);
  EXPECT_LE(MaxChannelDifference(d.p.argb[0], 0xFF0000), 6);          // top half: red
  EXPECT_LE(MaxChannelDifference(d.p.argb[w * h - 1], 0x0000FF), 6);  // bottom: fill
}

// ============================================================== BMP

TEST_F(ImageIo, Bmp24BitRoundTripWithRowPadding) {
  const int w = 5, h = 3;
  auto argb = Pattern(w, h);
  Bytes file = Encode(EncodeBmp, TrueColor(argb, w, h));
  EXPECT_EQ(file.size(), 14u + 40 + 16 * 3);  // 15 bytes a row padded to 16
  HeldPicture d;
  ASSERT_EQ(Decode(file, false, &d), Status::kOk);
  EXPECT_FALSE(d.p.info.alpha);
  EXPECT_EQ(d.p.info.depth, 24);
  const std::vector<uint32_t> colors = Colors(d.p);
  for (int i = 0; i < w * h; ++i) EXPECT_EQ(colors[i], argb[i] | 0xFF000000u) << i;
}

TEST_F(ImageIo, Bmp32BitKeepsAlphaFromPlaneMaskOrKey) {
  const int w = 3, h = 2;
  auto argb = Pattern(w, h);
  Bytes alpha = {0, 50, 100, 150, 200, 255};
  SaveSource s = TrueColor(argb, w, h);
  s.alpha = alpha.data();
  s.alphaStride = w;
  HeldPicture a;
  ASSERT_EQ(Decode(Encode(EncodeBmp, s), false, &a), Status::kOk);
  EXPECT_TRUE(a.p.info.alpha);
  const std::vector<uint32_t> colors = Colors(a.p);
  for (int i = 0; i < w * h; ++i) {
    EXPECT_EQ(colors[i], (argb[i] & 0xFFFFFF) | uint32_t{alpha[i]} << 24) << i;
  }

  Bytes mask = {0b10100000, 0, 0b01000000, 0};  // rows of 2 bytes
  SaveSource m = TrueColor(argb, w, h);
  m.mask = mask.data();
  m.maskStride = 2;
  HeldPicture b;
  ASSERT_EQ(Decode(Encode(EncodeBmp, m), false, &b), Status::kOk);
  const uint32_t visible[6] = {1, 0, 1, 0, 1, 0};
  const std::vector<uint32_t> masked = Colors(b.p);
  for (int i = 0; i < w * h; ++i) EXPECT_EQ(masked[i] >> 24, visible[i] ? 255u : 0u) << i;

  std::vector<uint32_t> flat = {0x123456, 0x654321, 0x123456, 1, 2, 3};
  SaveSource k = TrueColor(flat, w, h);
  k.transparentColor = 0x123456;
  HeldPicture c;
  ASSERT_EQ(Decode(Encode(EncodeBmp, k), false, &c), Status::kOk);
  EXPECT_EQ(c.p.argb[0], 0x00123456u);
  EXPECT_EQ(c.p.argb[1], 0xFF654321u);
}

TEST_F(ImageIo, BmpPalettesRoundTripAtOneFourAndEightBits) {
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = (i * 0x030507u) & 0xFFFFFF;
  for (int depth : {1, 3, 8}) {
    const int w = 11, h = 4;
    const int pensOf = depth == 3 ? 8 : 1 << depth;
    Bytes pens(w * h);
    for (int i = 0; i < w * h; ++i) pens[i] = static_cast<uint8_t>((i * 5) % pensOf);
    HeldPicture d;
    ASSERT_EQ(Decode(Encode(EncodeBmp, Pens(pens, palette, w, h, depth)), true, &d), Status::kOk);
    EXPECT_EQ(d.p.info.depth, depth == 3 ? 4 : depth);
    EXPECT_EQ(Bytes(d.p.indices, d.p.indices + w * h), pens) << depth;
    for (int i = 0; i < pensOf; ++i) EXPECT_EQ(d.p.palette[i], palette[i]);
  }
}

TEST_F(ImageIo, BmpPaletteKeyIsFlattenedIntoThePalette) {
  std::vector<uint32_t> palette(256, 0x111111);
  Bytes pens = {0, 1, 1, 0};
  SaveSource s = Pens(pens, palette, 4, 1, 8);
  s.transparentPen = 1;
  s.flatten = true;
  s.fillColor = 0xABCDEF;
  HeldPicture d;
  ASSERT_EQ(Decode(Encode(EncodeBmp, s), false, &d), Status::kOk);
  EXPECT_EQ(d.p.argb[0], 0xFF111111u);
  EXPECT_EQ(d.p.argb[1], 0xFFABCDEFu);
}

TEST_F(ImageIo, BmpRunLengthCodedPens) {
  Bytes palette;
  for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu}) Put(&palette, c, 4);
  // Bottom row: 3 × pen 1, literal 2 3 2, end of line; top row: move 2 right,
  // 1 × pen 3, end of picture.
  Bytes runs = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1};
  HeldPicture d;
  ASSERT_EQ(Decode(MakeBmp(6, 2, 8, 1, palette, runs, 4), true, &d), Status::kOk);
  EXPECT_EQ(Bytes(d.p.indices, d.p.indices + 12), (Bytes{0, 0, 3, 0, 0, 0, 1, 1, 1, 2, 3, 2}));

  // RLE4: 5 pens alternating 1 and 2, then a literal run of 3 pens 3 0 1.
  Bytes runs4 = {5, 0x12, 0, 3, 0x30, 0x10, 0, 1};
  HeldPicture e;
  ASSERT_EQ(Decode(MakeBmp(8, 1, 4, 2, palette, runs4, 4), true, &e), Status::kOk);
  EXPECT_EQ(Bytes(e.p.indices, e.p.indices + 8), (Bytes{1, 2, 1, 2, 1, 3, 0, 1}));

  Bytes cut = {3, 1, 0, 3, 2};  // a literal run without its pens
  HeldPicture f;
  EXPECT_EQ(Decode(MakeBmp(6, 2, 8, 1, palette, cut, 4), true, &f), Status::kTruncated);
}

TEST_F(ImageIo, BmpBitFieldsTopDownAndFourthBytes) {
  Bytes masks;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put(&masks, m, 4);
  Bytes pixels;
  // A negative height stores the top row first.
  Put(&pixels, 0xF800, 2);  // red, white
  Put(&pixels, 0xFFFF, 2);
  Put(&pixels, 0x001F, 2);  // blue, green
  Put(&pixels, 0x07E0, 2);
  HeldPicture d;
  ASSERT_EQ(Decode(MakeBmp(2, -2, 16, 3, masks, pixels), false, &d), Status::kOk);
  EXPECT_EQ(Colors(d.p),
            (std::vector<uint32_t>{0xFFFF0000u, 0xFFFFFFFFu, 0xFF0000FFu, 0xFF00FF00u}));

  // No blue bits at all, and a red field as wide as the whole word.
  Bytes odd;
  for (uint32_t m : {0xFFFFFFFFu, 0u, 0u}) Put(&odd, m, 4);
  HeldPicture g;
  ASSERT_EQ(Decode(MakeBmp(1, 1, 32, 3, odd, {0xFF, 0xFF, 0xFF, 0xFF}), false, &g), Status::kOk);
  EXPECT_EQ(g.p.argb[0], 0xFFFF0000u);

  Bytes padding = {1, 2, 3, 0, 4, 5, 6, 0};
  HeldPicture e;
  ASSERT_EQ(Decode(MakeBmp(2, 1, 32, 0, {}, padding), false, &e), Status::kOk);
  EXPECT_FALSE(e.p.info.alpha);
  EXPECT_EQ(e.p.argb[0], 0xFF030201u);
  Bytes alpha = {1, 2, 3, 0, 4, 5, 6, 9};
  HeldPicture f;
  ASSERT_EQ(Decode(MakeBmp(2, 1, 32, 0, {}, alpha), false, &f), Status::kOk);
  EXPECT_TRUE(f.p.info.alpha);
  EXPECT_EQ(f.p.argb[1], 0x09060504u);
}

// Probe and decode must agree on whether a file has alpha.
void ExpectAlpha(const Bytes& file, bool alpha, uint32_t first, const char* what) {
  PictureInfo info;
  ASSERT_EQ(ProbePicture(kBmp, file.data(), file.size(), kDefault, &info), Status::kOk) << what;
  EXPECT_EQ(info.alpha, alpha) << what;
  HeldPicture d;
  ASSERT_EQ(Decode(file, false, &d), Status::kOk) << what;
  EXPECT_EQ(d.p.info.alpha, alpha) << what;
  EXPECT_EQ(d.p.argb[0], first) << what;
}

TEST_F(ImageIo, BmpFourthBytesAreAlphaOnlyInUncodedFilesWhereTheyVary) {
  // Bit fields with the top byte as red and no alpha mask: fully opaque.
  Bytes masks;
  for (uint32_t m : {0xFF000000u, 0x00000FF0u, 0x00FF0000u}) Put(&masks, m, 4);
  Bytes pixels;
  Put(&pixels, 0x12560340u, 4);  // red 12, green 34, blue 56
  Put(&pixels, 0x00000000u, 4);
  ExpectAlpha(MakeBmp(2, 1, 32, 3, masks, pixels), false, 0xFF123456u, "masks after the header");
  Bytes v4Masks = masks;
  Put(&v4Masks, 0, 4);  // an alpha mask of 0
  ExpectAlpha(MakeBmpWithHeader(108, v4Masks, 2, 1, 32, 3, {}, pixels), false, 0xFF123456u,
              "masks in a version 4 header");

  // A constant fourth byte is padding, whatever its value.
  ExpectAlpha(MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 0x7F, 4, 5, 6, 0x7F}), false, 0xFF030201u,
              "constant fourth byte");
  ExpectAlpha(MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 0x7F, 4, 5, 6, 0x80}), true, 0x7F030201u,
              "varying fourth byte");
}

TEST_F(ImageIo, Os2Version2HeadersReadLikeTheOthers) {
  // 64 bytes, 24-bit, bottom-up: the second stored row is the top one.
  Bytes rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  Bytes file = MakeBmpWithHeader(64, {}, 2, 2, 24, 0, {}, rows);
  ASSERT_EQ(SniffFormat(file.data(), file.size()), kBmp);
  HeldPicture d;
  ASSERT_EQ(Decode(file, false, &d), Status::kOk);
  EXPECT_EQ(Colors(d.p),
            (std::vector<uint32_t>{0xFF090807u, 0xFF0C0B0Au, 0xFF030201u, 0xFF060504u}));

  // Cut after the bit count: no compression and a full palette of four-byte entries.
  Bytes palette = {0, 0, 0, 0, 0x30, 0x20, 0x10, 0};
  palette.resize(256 * 4, 0);
  Bytes pens = {1, 0, 0, 0};
  HeldPicture e;
  ASSERT_EQ(Decode(MakeBmpWithHeader(16, {}, 1, 1, 8, 0, palette, pens), true, &e), Status::kOk);
  ASSERT_NE(e.p.indices, nullptr);
  EXPECT_EQ(e.p.indices[0], 1);
  EXPECT_EQ(e.p.palette[1], 0x102030u);

  // Their compression 3 is Huffman coding, not bit fields.
  HeldPicture f;
  EXPECT_EQ(Decode(MakeBmpWithHeader(64, {}, 1, 1, 1, 3, Bytes(8), Bytes(4)), false, &f),
            Status::kUnsupported);
}

TEST_F(ImageIo, BmpDepthsAndCompressionsWithoutACodecAreRefused) {
  HeldPicture d;
  EXPECT_EQ(Decode(MakeBmp(1, 1, 2, 0, {0, 0, 0, 0}, {0, 0, 0, 0}), false, &d),
            Status::kUnsupportedDepth);
  EXPECT_EQ(Decode(MakeBmp(1, 1, 24, 4, {}, {0, 0, 0, 0}), false, &d), Status::kUnsupported);
  EXPECT_EQ(Decode(MakeBmp(1, 1, 24, 1, {}, {0, 0, 0, 0}), false, &d), Status::kCorrupt);
}

// ============================================================== every codec

// The words past the width in every row and the spare row are 0.
void ExpectStoreLayout(const Picture& p, const char* what) {
  const int w = p.info.width, h = p.info.height, row = graphics::ColorRowPixels(w);
  for (int y = 0; y <= h; ++y) {
    for (int x = y < h ? w : 0; x < row; ++x) {
      EXPECT_EQ(p.argb[y * row + x], 0u) << what << " at " << x << ", " << y;
    }
  }
}

TEST_F(ImageIo, TrueColourComesInTheStoreLayoutOfAColourBitmap) {
  const int w = 5, h = 3;
  const std::vector<uint32_t> argb = Pattern(w, h);
  SaveSource s = TrueColor(argb, w, h);
  const std::pair<const char*, Bytes> files[] = {
      {"png", Encode(EncodePng, s)},
      {"bmp", Encode(EncodeBmp, s)},
      {"jpeg", MakeJpeg(w, h, 3, JCS_RGB, Gradient(w, h))},
      {"bmp8", Encode(EncodeBmp, Pens(Bytes(w * h, 1), std::vector<uint32_t>(256, 7), w, h, 8))}};
  for (const auto& [name, file] : files) {
    HeldPicture d;
    ASSERT_EQ(Decode(file, false, &d), Status::kOk) << name;
    ExpectStoreLayout(d.p, name);
    ASSERT_EQ(ScalePicture(graphics::gInterface, &d.p, 7, 2, true), 0);
    ExpectStoreLayout(d.p, name);
    ASSERT_EQ(ScalePicture(graphics::gInterface, &d.p, 2, 5, false), 0);
    ExpectStoreLayout(d.p, name);
  }
}

// ============================================================== bad data

struct Sample {
  const char* name;
  Bytes file;
  size_t needed;  // a cut before this many bytes must fail
};

std::vector<Sample> Samples() {
  const int w = 24, h = 16;
  auto argb = Pattern(w, h);
  Bytes alpha(w * h, 77);
  SaveSource s = TrueColor(argb, w, h);
  s.alpha = alpha.data();
  s.alphaStride = w;
  std::vector<uint32_t> palette(256, 0x102030);
  Bytes pens(w * h, 1);
  Bytes png = Encode(EncodePng, s);
  Bytes jpeg = MakeJpeg(w, h, 3, JCS_RGB, Gradient(w, h));
  Bytes bmp = Encode(EncodeBmp, s);
  Bytes bmp8 = Encode(EncodeBmp, Pens(pens, palette, w, h, 8));
  return {{"png", png, png.size()},
          {"jpeg", jpeg, jpeg.size() - 2},  // the end marker may be missing
          {"bmp", bmp, bmp.size()},
          {"bmp8", bmp8, bmp8.size()}};
}

TEST_F(ImageIo, CutFilesFailAtEveryLength) {
  for (const Sample& sample : Samples()) {
    for (size_t n = 0; n < sample.needed; ++n) {
      Bytes cut(sample.file.begin(), sample.file.begin() + n);
      for (bool pens : {false, true}) {
        HeldPicture d;
        Status st = DecodePicture(SniffFormat(cut.data(), cut.size()), cut.data(), cut.size(), pens,
                                  kDefault, &d.p);
        EXPECT_NE(st, Status::kOk) << sample.name << " cut at " << n;
        EXPECT_EQ(d.p.argb, nullptr);
        EXPECT_EQ(d.p.indices, nullptr);
      }
    }
  }
}

TEST_F(ImageIo, FlippedBytesNeverCrashOrLeak) {
  for (const Sample& sample : Samples()) {
    uint32_t seed = 7;
    for (int round = 0; round < 600; ++round) {
      Bytes bad = sample.file;
      for (int k = 0; k < 1 + round % 4; ++k) {
        seed = seed * 1664525 + 1013904223;
        bad[seed % bad.size()] ^= static_cast<uint8_t>(1 + (seed >> 24) % 255);
      }
      HeldPicture d;
      PictureInfo info;
      const int32_t format = SniffFormat(bad.data(), bad.size());
      ProbePicture(format, bad.data(), bad.size(), kDefault, &info);
      if (DecodePicture(format, bad.data(), bad.size(), round & 1, kDefault, &d.p) == Status::kOk) {
        EXPECT_TRUE(d.p.argb || d.p.indices);
        EXPECT_GT(d.p.info.width, 0);
      }
    }
  }
}

TEST_F(ImageIo, ZeroAndHugeSizesAreRefusedBeforeAnyPixelBuffer) {
  PictureInfo info;
  Bytes zero = PngHeaderOnly(0, 10), huge = PngHeaderOnly(100000, 100000);
  EXPECT_EQ(ProbePng(zero.data(), zero.size(), kDefault, &info), Status::kCorrupt);
  EXPECT_EQ(ProbePng(huge.data(), huge.size(), kDefault, &info), Status::kTooLarge);
  Bytes big = PngHeaderOnly(20000, 20000);  // each side fits, the area does not
  EXPECT_EQ(ProbePng(big.data(), big.size(), kDefault, &info), Status::kTooLarge);
  HeldPicture d;
  EXPECT_EQ(Decode(huge, false, &d), Status::kTooLarge);

  EXPECT_EQ(Decode(MakeBmp(0, 5, 24, 0, {}, {}), false, &d), Status::kCorrupt);
  EXPECT_EQ(Decode(MakeBmp(70000, 1, 24, 0, {}, {}), false, &d), Status::kTooLarge);
  EXPECT_EQ(Decode(MakeBmp(3, 3, 24, 0, {}, Bytes(36)), false, &d, Limits{2, 100}),
            Status::kTooLarge);

  Bytes jpeg = MakeJpeg(8, 8, 3, JCS_RGB, Gradient(8, 8));
  size_t sof = 0;
  while (!(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0)) ++sof;
  for (int v : {0, 0xFFFF}) {
    Bytes patched = jpeg;
    patched[sof + 5] = patched[sof + 7] = static_cast<uint8_t>(v >> 8);
    patched[sof + 6] = patched[sof + 8] = static_cast<uint8_t>(v);
    EXPECT_EQ(Decode(patched, false, &d), v ? Status::kTooLarge : Status::kCorrupt);
  }
  EXPECT_EQ(SniffFormat(reinterpret_cast<const uint8_t*>("hello world"), 11), -1);
}

// ============================================================== after the codec

TEST_F(ImageIo, ScaleSizesFollowTheKeepAspectCode) {
  int32_t w, h;
  ASSERT_TRUE(ResolveScaleSize(300, 200, graphics::kKeepasprat, 101, &w, &h));
  EXPECT_EQ(w, 152);  // 151.5 rounds up
  EXPECT_EQ(h, 101);
  ASSERT_TRUE(ResolveScaleSize(300, 200, 30, graphics::kKeepasprat, &w, &h));
  EXPECT_EQ(h, 20);
  ASSERT_TRUE(ResolveScaleSize(300, 200, 0, 50, &w, &h));
  EXPECT_EQ(w, 300);
  EXPECT_FALSE(ResolveScaleSize(300, 200, graphics::kKeepasprat, graphics::kKeepasprat, &w, &h));
  EXPECT_FALSE(ResolveScaleSize(300, 200, -4, 10, &w, &h));
}

// Load-time scaling is the graphics library's scaler, so that a picture
// loaded at a size is the picture loaded at its own size and then scaled by
// ScaleBrush: positions meet at the corners, and every channel (alpha
// included) is interpolated on its own.
TEST_F(ImageIo, ScalingPicksPensAndBlendsTrueColourChannelByChannel) {
  HeldPicture pens;
  pens.p.info.width = 2;
  pens.p.info.height = 1;
  pens.p.indices = static_cast<uint8_t*>(AllocPlane(2, 1, false));
  pens.p.indices[0] = 4;
  pens.p.indices[1] = 9;
  ASSERT_EQ(ScalePicture(graphics::gInterface, &pens.p, 4, 2, true), 0);
  EXPECT_EQ(Bytes(pens.p.indices, pens.p.indices + 8), (Bytes{4, 4, 9, 9, 4, 4, 9, 9}));

  HeldPicture tc;
  tc.p.info.width = 2;
  tc.p.info.height = 1;
  tc.p.argb = AllocArgb(2, 1);
  tc.p.argb[0] = 0xFFFF0000;  // opaque red beside transparent green
  tc.p.argb[1] = 0x0000FF00;
  ASSERT_EQ(ScalePicture(graphics::gInterface, &tc.p, 3, 1, true), 0);
  EXPECT_EQ(tc.p.argb[0], 0xFFFF0000u);
  EXPECT_EQ(tc.p.argb[1], 0x7F7F7F00u);  // half way in alpha, red and green alike
  EXPECT_EQ(tc.p.argb[2], 0x0000FF00u);
  ASSERT_EQ(ScalePicture(graphics::gInterface, &tc.p, 1, 1, false), 0);
  EXPECT_EQ(tc.p.argb[0], 0xFFFF0000u);  // the first column, not the middle one
}

// ============================================================== the slots

class ImageIoSlots : public ImageIo {
 protected:
  void SetUp() override {
    ImageIo::SetUp();
    std::filesystem::create_directories(TZX_TEST_TMP);
    sibling_ = FindHostSibling("imageio");
    ASSERT_NE(sibling_, nullptr);
    sibling_->bind("graphics", &graphics::gInterface);
    io_ = static_cast<const ImageIoSibling*>(sibling_->interface());
  }
  void TearDown() override {
    sibling_->reset(nullptr);
    ImageIo::TearDown();
  }
  static std::string PathOf(const char* name) { return std::string(TZX_TEST_TMP) + "/" + name; }
  static std::string WriteFile(const char* name, const Bytes& bytes) {
    std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static void FreeOutput(ImageDecodeRequest* r) {
    for (void* p : {static_cast<void*>(r->bitmap), static_cast<void*>(r->chunky),
                    static_cast<void*>(r->alpha), static_cast<void*>(r->palette),
                    static_cast<void*>(r->cycles)}) {
      FreePlane(p);
    }
  }
  const HostSibling* sibling_ = nullptr;
  const ImageIoSibling* io_ = nullptr;
};

TEST_F(ImageIoSlots, ProbeTellsWhatTheFileHolds) {
  std::vector<uint32_t> palette(256, 0x445566);
  Bytes pens(6, 2);
  SaveSource s = Pens(pens, palette, 3, 2, 2);
  s.transparentPen = 2;
  std::string png = WriteFile("probe.png", Encode(EncodePng, s));
  int type = -1, format = 8, w = 0, h = 0, depth = 0, alpha = -1, transparency = -1;
  ASSERT_EQ(io_->probe(png.c_str(), "", "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                       &transparency),
            1);
  EXPECT_EQ(type, graphics::kImagetypeRaster);
  EXPECT_EQ(format, kPng);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(depth, 2);
  EXPECT_EQ(alpha, 0);
  EXPECT_EQ(transparency, 1);

  std::string jpeg = WriteFile("probe.jpg", MakeJpeg(8, 4, 3, JCS_RGB, Gradient(8, 4)));
  ASSERT_EQ(io_->probe(jpeg.c_str(), "jpeg|bmp", "", nullptr, &type, &format, &w, &h, &depth,
                       &alpha, &transparency),
            1);
  EXPECT_EQ(format, kJpeg);
  EXPECT_EQ(depth, 24);

  // Unknown data, a loader list without the file's codec, a missing file and
  // a foreign adapter are no pictures, and the out values stay untouched.
  std::string text = WriteFile("probe.txt", Bytes(100, 'a'));
  format = 8;
  w = 0;
  EXPECT_EQ(io_->probe(text.c_str(), "", "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                       &transparency),
            0);
  EXPECT_EQ(io_->probe(png.c_str(), "jpeg", "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                       &transparency),
            0);
  EXPECT_EQ(io_->probe(PathOf("missing.png").c_str(), "", "", nullptr, &type, &format, &w, &h,
                       &depth, &alpha, &transparency),
            0);
  EXPECT_EQ(io_->probe(png.c_str(), "", "zip", nullptr, &type, &format, &w, &h, &depth, &alpha,
                       &transparency),
            0);
  EXPECT_EQ(format, 8);
  EXPECT_EQ(w, 0);
}

TEST_F(ImageIoSlots, LoaderListsNameFormatsInAnyCaseAndJpegAsJpg) {
  std::string jpeg = WriteFile("names.jpg", MakeJpeg(8, 4, 3, JCS_RGB, Gradient(8, 4)));
  int type, format = -1, w, h, depth, alpha, transparency;
  for (const char* list : {"JPG", "bmp | Jpeg", "Inbuilt"}) {
    EXPECT_EQ(io_->probe(jpeg.c_str(), list, "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                         &transparency),
              1)
        << list;
  }
  // A name is matched whole: neither a prefix nor the alias of another format.
  for (const char* list : {"jp", "jpegs", "png|bmp"}) {
    EXPECT_EQ(io_->probe(jpeg.c_str(), list, "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                         &transparency),
              0)
        << list;
  }
}

TEST_F(ImageIo, EachFormatRowRecognisesWhatItsCodecWrites) {
  const int w = 4, h = 3;
  const std::vector<uint32_t> argb = Pattern(w, h);
  SaveSource s = TrueColor(argb, w, h);
  for (int32_t code : {kPng, kJpeg, kBmp}) {
    const PictureFormat* row = FindFormat(code);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->format, code);
    ASSERT_TRUE(row->CanSave());
    Bytes file = Encode(row->encode, s);
    EXPECT_EQ(SniffPicture(file.data(), file.size()), row) << row->name;
    HeldPicture d;
    ASSERT_EQ(row->decode(file.data(), file.size(), false, Limits{}, &d.p), Status::kOk);
    EXPECT_EQ(d.p.info.format, code);
  }
  EXPECT_EQ(FindFormat(graphics::kImgfmtUnknown), nullptr);
  EXPECT_EQ(FindFormat(-1), nullptr);
  EXPECT_FALSE(FindFormat(graphics::kImgfmtGif)->CanSave());
}

TEST_F(ImageIoSlots, ProbeReadsOnWhenTheHeaderIsFarIn) {
  // A JPEG whose picture header follows 200 KB of comment segments.
  Bytes jpeg = MakeJpeg(8, 4, 3, JCS_RGB, Gradient(8, 4));
  Bytes padded(jpeg.begin(), jpeg.begin() + 2);
  for (int i = 0; i < 4; ++i) {
    padded.insert(padded.end(), {0xFF, 0xFE, 0xFF, 0xFF});
    padded.insert(padded.end(), 0xFFFD, 'x');
  }
  padded.insert(padded.end(), jpeg.begin() + 2, jpeg.end());
  std::string path = WriteFile("far.jpg", padded);
  int type, format, w = 0, h, depth, alpha, transparency;
  EXPECT_EQ(io_->probe(path.c_str(), "", "", nullptr, &type, &format, &w, &h, &depth, &alpha,
                       &transparency),
            1);
  EXPECT_EQ(w, 8);
}

TEST_F(ImageIoSlots, DecodeHandsBackPensPaletteKeyAndFormatName) {
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = i * 0x010000u;
  Bytes pens = {0, 1, 2, 3, 4, 5};
  SaveSource s = Pens(pens, palette, 3, 2, 3);
  s.transparentPen = 5;
  std::string path = WriteFile("pens.png", Encode(EncodePng, s));

  ImageDecodeRequest r = {};
  r.flags = 0x60 | 0x104;
  ASSERT_EQ(io_->decode(path.c_str(), &r), 0);
  EXPECT_EQ(r.bitmap, nullptr);
  ASSERT_NE(r.chunky, nullptr);
  ASSERT_NE(r.palette, nullptr);
  EXPECT_EQ(r.width, 3);
  EXPECT_EQ(r.height, 2);
  EXPECT_EQ(r.depth, 4);
  EXPECT_EQ(Bytes(r.chunky, r.chunky + 6), pens);
  EXPECT_EQ(r.palette[4], 0x040000u);
  EXPECT_EQ(r.transparency, kTransparencyKey);
  EXPECT_EQ(r.transparentColor, 5u);
  EXPECT_STREQ(r.format, "PNG");
  EXPECT_EQ(r.alpha, nullptr);
  EXPECT_EQ(r.cycles, nullptr);
  FreeOutput(&r);

  ImageDecodeRequest t = {};
  t.flags = 0x20;  // true colour, no key, no name
  ASSERT_EQ(io_->decode(path.c_str(), &t), 0);
  ASSERT_NE(t.bitmap, nullptr);
  EXPECT_EQ(t.chunky, nullptr);
  EXPECT_EQ(t.bitmapRowLength, 4);
  EXPECT_EQ(t.bitmap[4 + 2], 0x00050000u);
  EXPECT_EQ(t.transparency, kTransparencyNone);
  EXPECT_EQ(t.transparentColor, 0xFFFFFFFFu);
  EXPECT_EQ(t.depth, 24);
  EXPECT_STREQ(t.format, "");
  FreeOutput(&t);

  ImageDecodeRequest only = {};
  only.flags = kDecodePens | kDecodePalette;  // pens or nothing
  std::string jpeg = WriteFile("tc.jpg", MakeJpeg(8, 4, 3, JCS_RGB, Gradient(8, 4)));
  EXPECT_EQ(io_->decode(jpeg.c_str(), &only), kErrUnsupportedDepth);
  EXPECT_EQ(only.bitmap, nullptr);
}

TEST_F(ImageIoSlots, DecodeSeparatesAlphaScalesAndFlattensLegacyLoads) {
  const int w = 4, h = 2;
  std::vector<uint32_t> argb(w * h, 0x00FF0000);
  Bytes alpha = {255, 255, 0, 0, 255, 255, 0, 0};
  SaveSource s = TrueColor(argb, w, h);
  s.alpha = alpha.data();
  s.alphaStride = w;
  std::string path = WriteFile("alpha.png", Encode(EncodePng, s));

  ImageDecodeRequest a = {};
  a.flags = 0x61;
  ASSERT_EQ(io_->decode(path.c_str(), &a), 0);
  ASSERT_NE(a.alpha, nullptr);
  EXPECT_EQ(Bytes(a.alpha, a.alpha + w * h), alpha);
  EXPECT_EQ(a.depth, 32);
  FreeOutput(&a);

  ImageDecodeRequest scaled = {};
  scaled.flags = 0x61;
  scaled.scaleWidth = 2;
  scaled.scaleHeight = graphics::kKeepasprat;
  ASSERT_EQ(io_->decode(path.c_str(), &scaled), 0);
  EXPECT_EQ(scaled.width, 2);
  EXPECT_EQ(scaled.height, 1);
  EXPECT_EQ(Bytes(scaled.alpha, scaled.alpha + 2), (Bytes{255, 0}));
  FreeOutput(&scaled);

  ImageDecodeRequest legacy = {};
  legacy.flags = 0x68;
  legacy.secondColor = 0x0000FF;
  ASSERT_EQ(io_->decode(path.c_str(), &legacy), 0);
  EXPECT_EQ(legacy.alpha, nullptr);
  EXPECT_EQ(legacy.bitmap[0], 0xFFFF0000u);
  EXPECT_EQ(legacy.bitmap[2], 0xFF0000FFu);
  EXPECT_EQ(legacy.depth, 24);
  FreeOutput(&legacy);

  ImageDecodeRequest both = {};
  both.flags = 0x60;
  both.scaleWidth = both.scaleHeight = graphics::kKeepasprat;
  EXPECT_EQ(io_->decode(path.c_str(), &both), kErrRange);
}

// A legacy load is flattened first and scaled then, as the picture loaded at
// its own size and scaled afterwards: the colour of transparent pixels never
// reaches the result.
TEST_F(ImageIoSlots, LegacyLoadsAreFlattenedBeforeTheyAreScaled) {
  std::vector<uint32_t> argb = {0x00FF0000, 0x00FF0000, 0x0000FF00, 0x0000FF00};
  Bytes alpha = {255, 255, 0, 0};
  SaveSource s = TrueColor(argb, 4, 1);
  s.alpha = alpha.data();
  s.alphaStride = 4;
  std::string path = WriteFile("legacy.png", Encode(EncodePng, s));
  ImageDecodeRequest r = {};
  r.flags = 0x28;
  r.secondColor = 0x0000FF;
  r.scaleWidth = 3;
  r.smoothScale = 1;
  ASSERT_EQ(io_->decode(path.c_str(), &r), 0);
  ASSERT_EQ(r.width, 3);
  EXPECT_EQ(r.bitmap[0], 0xFFFF0000u);
  EXPECT_EQ(r.bitmap[1], 0xFF7F007Fu);  // red and the background, no green
  EXPECT_EQ(r.bitmap[2], 0xFF0000FFu);
  EXPECT_EQ(r.depth, 24);
  FreeOutput(&r);
}

// Without the graphics library no scaler is there: scaled loads fail, the
// others go on.
TEST_F(ImageIoSlots, ScaledLoadsNeedTheGraphicsLibrary) {
  sibling_->reset(nullptr);
  std::string path = WriteFile("plain.png", Encode(EncodePng, TrueColor(Pattern(4, 2), 4, 2)));
  ImageDecodeRequest r = {};
  r.flags = 0x20;
  r.scaleWidth = 2;
  EXPECT_EQ(io_->decode(path.c_str(), &r), kErrSiblingAbsent);
  EXPECT_EQ(r.bitmap, nullptr);
  r.scaleWidth = 0;
  ASSERT_EQ(io_->decode(path.c_str(), &r), 0);
  EXPECT_EQ(r.width, 4);
  FreeOutput(&r);
}

TEST_F(ImageIoSlots, DecodeErrorsCarryTheirCodes) {
  ImageDecodeRequest r = {};
  r.flags = 0x60;
  EXPECT_EQ(io_->decode(PathOf("missing.png").c_str(), &r), kErrOpenRead);
  EXPECT_EQ(io_->decode(WriteFile("text.png", Bytes(64, 'z')).c_str(), &r), kErrPluginUnsupported);
  Bytes png = Encode(EncodePng, TrueColor(Pattern(8, 8), 8, 8));
  png.resize(png.size() - 20);
  EXPECT_EQ(io_->decode(WriteFile("cut.png", png).c_str(), &r), kErrRead);
  EXPECT_EQ(io_->decode(WriteFile("huge.png", PngHeaderOnly(100000, 100000)).c_str(), &r),
            kErrPictureTooLarge);
  EXPECT_EQ(io_->decode(WriteFile("zero.png", PngHeaderOnly(0, 10)).c_str(), &r),
            kErrDamagedPicture);
  EXPECT_EQ(io_->decode(WriteFile("two.bmp", MakeBmp(1, 1, 2, 0, Bytes(16), Bytes(4))).c_str(), &r),
            kErrUnsupportedDepth);
  EXPECT_EQ(r.bitmap, nullptr);
  ImageDecodeRequest none = {};  // asks for no plane at all
  EXPECT_EQ(
      io_->decode(WriteFile("ok.png", Encode(EncodePng, TrueColor(Pattern(2, 2), 2, 2))).c_str(),
                  &none),
      kErrRange);
}

TEST_F(ImageIoSlots, SaveImageWritesPixelsAndTheirAlpha) {
  const int w = 5, h = 3;
  auto argb = Pattern(w, h);
  Bytes alpha(w * 8);  // rows padded to 8 bytes
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) alpha[y * 8 + x] = static_cast<uint8_t>(argb[y * w + x] >> 24);
  }
  ImagePlane pixels{argb.data(), w * 4};
  ImagePlane alphaPlane{alpha.data(), 8};
  std::string path = PathOf("saved.png");
  ASSERT_EQ(io_->saveImage(path.c_str(), &pixels, w, h, kPng, nullptr, nullptr, -1, &alphaPlane, 1,
                           32, 1, 90),
            0);
  ImageDecodeRequest r = {};
  r.flags = 0x60;
  ASSERT_EQ(io_->decode(path.c_str(), &r), 0);
  EXPECT_EQ(Colors(r.bitmap, w, h), argb);
  FreeOutput(&r);

  std::string jpeg = PathOf("saved.jpg");
  EXPECT_EQ(io_->saveImage(jpeg.c_str(), &pixels, w, h, kJpeg, nullptr, nullptr, -1, nullptr, 0, 24,
                           0, 50),
            0);
  int type, format = -1, ww, hh, depth, a, t;
  EXPECT_EQ(io_->probe(jpeg.c_str(), "", "", nullptr, &type, &format, &ww, &hh, &depth, &a, &t), 1);
  EXPECT_EQ(format, kJpeg);

  EXPECT_EQ(io_->saveImage(path.c_str(), &pixels, w, h, graphics::kImgfmtGif, nullptr, nullptr, -1,
                           nullptr, 0, 32, 1, 90),
            kErrPluginUnsupported);
  EXPECT_EQ(
      io_->saveImage(path.c_str(), &pixels, w, h, 42, nullptr, nullptr, -1, nullptr, 0, 32, 1, 90),
      kErrRange);
  EXPECT_EQ(io_->saveImage(path.c_str(), &pixels, 0, h, kPng, nullptr, nullptr, -1, nullptr, 0, 32,
                           1, 90),
            kErrRange);
  EXPECT_EQ(io_->saveImage(path.c_str(), &pixels, w, h, kPng, nullptr, nullptr, -1, nullptr, 1, 32,
                           1, 90),
            kErrRange);  // alpha asked for, no plane given
  EXPECT_EQ(io_->saveImage(PathOf("no/such/dir/x.png").c_str(), &pixels, w, h, kPng, nullptr,
                           nullptr, -1, nullptr, 0, 32, 1, 90),
            kErrOpenWrite);
}

TEST_F(ImageIoSlots, SaveBrushWritesPensMasksAndFlattensForJpeg) {
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = i * 0x000101u;
  Bytes pens = {1, 2, 3, 4, 5, 6, 7, 0};
  ImagePlane chunky{pens.data(), 4};
  std::string bmp = PathOf("brush.bmp");
  ASSERT_EQ(io_->saveBrush(kBmp, nullptr, 4, 2, bmp.c_str(), nullptr, nullptr, nullptr, -1, nullptr,
                           &chunky, palette.data(), 3, -1, 90, nullptr, 0),
            0);
  ImageDecodeRequest r = {};
  r.flags = 0x60 | 0x104;
  ASSERT_EQ(io_->decode(bmp.c_str(), &r), 0);
  EXPECT_EQ(Bytes(r.chunky, r.chunky + 8), pens);
  EXPECT_EQ(r.depth, 4);
  EXPECT_STREQ(r.format, "BMP");
  FreeOutput(&r);

  std::vector<uint32_t> argb(4, 0x00336699);
  ImagePlane bitmap{argb.data(), 8};
  Bytes mask = {0b10000000, 0, 0b01000000, 0};
  ImagePlane maskPlane{mask.data(), 2};
  std::string png = PathOf("masked.png");
  ASSERT_EQ(io_->saveBrush(kPng, &bitmap, 2, 2, png.c_str(), nullptr, nullptr, &maskPlane, 0xAFC0DE,
                           nullptr, nullptr, nullptr, 32, -1, 90, nullptr, 0),
            0);
  ImageDecodeRequest m = {};
  m.flags = 0x61;
  ASSERT_EQ(io_->decode(png.c_str(), &m), 0);
  EXPECT_EQ(Bytes(m.alpha, m.alpha + 4), (Bytes{255, 0, 0, 255}));
  FreeOutput(&m);

  // Left half visible, right half flattened over white.
  std::vector<uint32_t> wide(16 * 16, 0x00336699);
  ImagePlane widePlane{wide.data(), 64};
  Bytes halves(16 * 2);
  for (int y = 0; y < 16; ++y) halves[y * 2] = 0xFF;
  ImagePlane halfMask{halves.data(), 2};
  ImageSaveOptions options{0xFFFFFF};
  std::string jpeg = PathOf("masked.jpg");
  ASSERT_EQ(io_->saveBrush(kJpeg, &widePlane, 16, 16, jpeg.c_str(), nullptr, nullptr, &halfMask,
                           0xAFC0DE, nullptr, nullptr, nullptr, 32, -1, 100, &options, 0),
            0);
  ImageDecodeRequest j = {};
  j.flags = 0x60;
  ASSERT_EQ(io_->decode(jpeg.c_str(), &j), 0);
  EXPECT_LE(MaxChannelDifference(j.bitmap[0], 0x336699), 8);
  EXPECT_LE(MaxChannelDifference(j.bitmap[255], 0xFFFFFF), 8);
  FreeOutput(&j);

  EXPECT_EQ(io_->saveBrush(kPng, nullptr, 2, 2, png.c_str(), nullptr, nullptr, nullptr, -1, nullptr,
                           &chunky, palette.data(), 9, -1, 90, nullptr, 0),
            kErrRange);  // pens need a depth of 1 to 8
}

TEST_F(ImageIoSlots, FormatQueriesAndUnusedSlots) {
  EXPECT_TRUE(io_->formatHasAlpha(kPng));
  EXPECT_TRUE(io_->formatHasAlpha(kBmp));
  EXPECT_FALSE(io_->formatHasAlpha(kJpeg));
  EXPECT_FALSE(io_->formatHasAlpha(graphics::kImgfmtUnknown));
  for (int32_t f : {kBmp, kPng, kJpeg}) EXPECT_TRUE(io_->canSave(f));
  for (int32_t f = graphics::kImgfmtGif; f <= graphics::kImgfmtUnknown; ++f) {
    EXPECT_FALSE(io_->canSave(f));
  }
  EXPECT_EQ(io_->slot4, nullptr);
  EXPECT_EQ(io_->slot5, nullptr);
}

}  // namespace
