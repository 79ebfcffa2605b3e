// PNG through libpng. libpng reports errors by longjmp: the functions that set
// the jump point keep every resource in a plain job record owned by their
// caller, hold no object with a destructor, and the caller frees what the job
// holds however the work ended.
#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>

#include "picture.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

static_assert(std::endian::native == std::endian::little,
              "pixels are read and written as B, G, R, A bytes");

struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  bool ranOut = false;
  Status failure = Status::kOk;  // set before a longjmp that is not libpng's own
  Picture picture;
  png_bytep* rows = nullptr;
  // Encoding.
  const SaveSource* source = nullptr;
  ByteBuffer* out = nullptr;
  uint32_t* row = nullptr;
};

void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, size_t n) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (n > job->size - job->pos) {
    job->ranOut = true;
    png_error(png, "data ends early");
  }
  std::memcpy(out, job->data + job->pos, n);
  job->pos += n;
}

Status FailureOf(const PngJob& job) {
  if (job.failure != Status::kOk) return job.failure;
  return job.ranOut ? Status::kTruncated : Status::kCorrupt;
}

// A 16-bit sample as libpng's scaling to 8 bits gives it.
uint32_t Scale16(uint32_t v) {
  return (v * 255 + 32767) / 65535;
}

uint32_t ScaleGrey(uint32_t v, int bitDepth) {
  if (bitDepth == 16) return Scale16(v);
  if (bitDepth == 8) return v;
  return v * 255 / ((1u << bitDepth) - 1);
}

// The last transform of every true-colour row: R, G, B, A bytes become the
// B, G, R, A of 0xAARRGGBB words while the row is still in the cache. It does
// what png_set_bgr does, word by word, in a loop the compiler vectorises;
// libpng's own swaps byte by byte.
void SwapRedAndBlue(png_structp, png_row_infop row, png_bytep data) {
  if (row->pixel_depth != 32) return;
  const size_t count = row->width;
  for (size_t i = 0; i < count; ++i) {
    uint32_t v;
    std::memcpy(&v, data + 4 * i, 4);
    v = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
    std::memcpy(data + 4 * i, &v, 4);
  }
}

// Fills in what the header tells, and the palette and key of the picture.
void ReadHeader(PngJob* job, PictureInfo* info) {
  png_structp png = job->png;
  png_infop pi = job->info;
  const int colorType = png_get_color_type(png, pi);
  const int bitDepth = png_get_bit_depth(png, pi);
  const bool hasTrns = png_get_valid(png, pi, PNG_INFO_tRNS) != 0;
  Picture& p = job->picture;
  info->format = graphics::kImgfmtPng;
  info->width = static_cast<int32_t>(png_get_image_width(png, pi));
  info->height = static_cast<int32_t>(png_get_image_height(png, pi));
  info->alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  std::memset(p.paletteAlpha, 255, sizeof p.paletteAlpha);

  png_bytep transAlpha = nullptr;
  int transCount = 0;
  png_color_16p transColor = nullptr;
  if (hasTrns) png_get_tRNS(png, pi, &transAlpha, &transCount, &transColor);

  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    info->depth = bitDepth;
    int zeros = 0, partial = 0;
    for (int i = 0; i < transCount && i < 256; ++i) {
      p.paletteAlpha[i] = transAlpha[i];
      if (transAlpha[i] == 0) {
        if (zeros++ == 0) p.transparentPen = i;
      } else if (transAlpha[i] != 255) {
        ++partial;
      }
    }
    if (partial || zeros > 1) {
      info->alpha = true;
      p.transparentPen = -1;
    }
    info->transparency = p.transparentPen >= 0;
    png_colorp colors = nullptr;
    int count = 0;
    if (info->transparency && png_get_PLTE(png, pi, &colors, &count) && p.transparentPen < count) {
      const png_color& c = colors[p.transparentPen];
      p.transparentColor = uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
    }
    return;
  }
  const bool grey = (colorType & PNG_COLOR_MASK_COLOR) == 0;
  info->depth = info->alpha ? 32 : (grey && bitDepth <= 8 ? bitDepth : 24);
  if (!hasTrns || !transColor || info->alpha) return;
  info->transparency = true;
  if (grey) {
    const uint32_t v = ScaleGrey(transColor->gray, bitDepth);
    p.transparentColor = v * 0x010101u;
    if (bitDepth <= 8 && transColor->gray < (1u << bitDepth)) {
      p.transparentPen = transColor->gray;
      p.paletteAlpha[p.transparentPen] = 0;
    }
  } else if (bitDepth == 16) {
    p.transparentColor = Scale16(transColor->red) << 16 | Scale16(transColor->green) << 8 |
                         Scale16(transColor->blue);
  } else {
    p.transparentColor = uint32_t{transColor->red & 0xFFu} << 16 |
                         uint32_t{transColor->green & 0xFFu} << 8 | (transColor->blue & 0xFFu);
  }
}

// The palette of a pen picture: the file's, or a grey ramp for the file's
// bit depth.
bool MakePalette(PngJob* job, int bitDepth) {
  png_structp png = job->png;
  Picture& p = job->picture;
  p.palette = static_cast<uint32_t*>(AllocPlane(256, 4, true));
  if (!p.palette) return false;
  if (png_get_color_type(png, job->info) == PNG_COLOR_TYPE_PALETTE) {
    png_colorp colors = nullptr;
    int count = 0;
    if (png_get_PLTE(png, job->info, &colors, &count)) {
      for (int i = 0; i < count && i < 256; ++i) {
        p.palette[i] =
            uint32_t{colors[i].red} << 16 | uint32_t{colors[i].green} << 8 | colors[i].blue;
      }
    }
  } else {
    for (uint32_t i = 0; i < (1u << bitDepth); ++i)
      p.palette[i] = ScaleGrey(i, bitDepth) * 0x010101u;
  }
  return true;
}

// Sets the jump point; see the file's first comment.
Status RunDecode(PngJob* job, bool headerOnly, bool pens, const Limits* limits, PictureInfo* info) {
  if (setjmp(png_jmpbuf(job->png))) return FailureOf(*job);
  png_structp png = job->png;
  png_set_read_fn(png, job, ReadData);
  // The size limits are checked here, with their own status.
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_read_info(png, job->info);
  ReadHeader(job, info);
  Status sized =
      CheckSize(png_get_image_width(png, job->info), png_get_image_height(png, job->info), *limits);
  if (sized != Status::kOk || headerOnly) return sized;

  const int colorType = png_get_color_type(png, job->info);
  const int bitDepth = png_get_bit_depth(png, job->info);
  const bool asPens = pens && info->depth <= 8;
  if (asPens) {
    if (bitDepth < 8) png_set_packing(png);
  } else {
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    const bool trns = png_get_valid(png, job->info, PNG_INFO_tRNS) != 0;
    if (trns) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_scale_16(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !trns) {
      png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_read_user_transform_fn(png, SwapRedAndBlue);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, job->info);

  const size_t width = info->width, height = info->height;
  if (png_get_rowbytes(png, job->info) != (asPens ? width : width * 4)) {
    return Status::kUnsupported;
  }
  Picture& p = job->picture;
  uint8_t* pixels;
  size_t stride;
  if (asPens) {
    if (!MakePalette(job, bitDepth)) return Status::kNoMemory;
    p.indices = static_cast<uint8_t*>(AllocPlane(width, height, false));
    pixels = p.indices;
    stride = width;
  } else {
    p.argb = AllocArgb(info->width, info->height);
    pixels = reinterpret_cast<uint8_t*>(p.argb);
    stride = size_t{4} * graphics::ColorRowPixels(info->width);
  }
  job->rows = static_cast<png_bytep*>(AllocPlane(height, sizeof(png_bytep), false));
  if (!pixels || !job->rows) return Status::kNoMemory;
  for (size_t y = 0; y < height; ++y) job->rows[y] = pixels + y * stride;
  png_read_image(png, job->rows);
  png_read_end(png, nullptr);
  return Status::kOk;
}

Status Decode(const uint8_t* data, size_t size, bool headerOnly, bool pens, const Limits& limits,
              PictureInfo* info, Picture* out) {
  PngJob job;
  job.data = data;
  job.size = size;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
  if (!job.png) return Status::kNoMemory;
  job.info = png_create_info_struct(job.png);
  Status status = job.info ? RunDecode(&job, headerOnly, pens, &limits, info) : Status::kNoMemory;
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  FreePlane(job.rows);
  if (status != Status::kOk || !out) {
    ReleasePicture(&job.picture);
    return status;
  }
  job.picture.info = *info;
  *out = job.picture;
  return Status::kOk;
}

void WriteData(png_structp png, png_bytep bytes, size_t n) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (!Append(job->out, bytes, n)) {
    job->failure = Status::kNoMemory;
    png_error(png, "out of memory");
  }
}
void FlushData(png_structp) {}

// The smallest PNG bit depth that holds every pen of the picture.
int PenBitDepth(const SaveSource& s) {
  int highest = 0;
  for (int32_t y = 0; y < s.height; ++y) {
    const uint8_t* pens = s.indices + y * s.indexStride;
    for (int32_t x = 0; x < s.width; ++x) highest |= pens[x];
  }
  int bits = s.depth <= 1 ? 1 : s.depth <= 2 ? 2 : s.depth <= 4 ? 4 : 8;
  while (bits < 8 && highest >= (1 << bits)) bits *= 2;
  return bits;
}

// Sets the jump point; see the file's first comment.
Status RunEncode(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return FailureOf(*job);
  png_structp png = job->png;
  png_infop pi = job->info;
  const SaveSource& s = *job->source;
  png_set_write_fn(png, job, WriteData, FlushData);
  const bool pens = s.indices && !s.HasPlaneAlpha();
  if (pens) {
    const int bits = PenBitDepth(s);
    const int count = 1 << bits;
    png_set_IHDR(png, pi, s.width, s.height, bits, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colors[256];
    for (int i = 0; i < count; ++i) {
      colors[i] =
          png_color{static_cast<png_byte>(s.palette[i] >> 16),
                    static_cast<png_byte>(s.palette[i] >> 8), static_cast<png_byte>(s.palette[i])};
    }
    png_set_PLTE(png, pi, colors, count);
    if (s.transparentPen >= 0 && s.transparentPen < count) {
      png_byte alpha[256];
      std::memset(alpha, 255, sizeof alpha);
      alpha[s.transparentPen] = 0;
      png_set_tRNS(png, pi, alpha, s.transparentPen + 1, nullptr);
    }
    png_write_info(png, pi);
    if (bits < 8) png_set_packing(png);
    for (int32_t y = 0; y < s.height; ++y) {
      png_write_row(png, const_cast<png_bytep>(s.indices + y * s.indexStride));
    }
  } else {
    const bool alpha = s.HasPlaneAlpha();
    png_set_IHDR(png, pi, s.width, s.height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Without alpha planes the pixels are true colour (pens went above).
    const uint32_t key = s.transparentColor;
    if (!alpha && key != kNoColor) {
      png_color_16 color = {};
      color.red = key >> 16 & 0xFF;
      color.green = key >> 8 & 0xFF;
      color.blue = key & 0xFF;
      png_set_tRNS(png, pi, nullptr, 0, &color);
    }
    png_write_info(png, pi);
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    job->row = static_cast<uint32_t*>(AllocPlane(s.width, 4, false));
    if (!job->row) return Status::kNoMemory;
    for (int32_t y = 0; y < s.height; ++y) {
      ComposeRow(s, y, false, job->row);
      png_write_row(png, reinterpret_cast<png_bytep>(job->row));
    }
  }
  png_write_end(png, pi);
  return Status::kOk;
}

}  // namespace

Status ProbePng(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info) {
  return Decode(data, size, true, false, limits, info, nullptr);
}

Status DecodePng(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out) {
  PictureInfo info;
  return Decode(data, size, false, pens, limits, &info, out);
}

Status EncodePng(const SaveSource& source, ByteBuffer* out) {
  PngJob job;
  job.source = &source;
  job.out = out;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
  if (!job.png) return Status::kNoMemory;
  job.info = png_create_info_struct(job.png);
  Status status = job.info ? RunEncode(&job) : Status::kNoMemory;
  png_destroy_write_struct(&job.png, &job.info);
  FreePlane(job.row);
  if (status != Status::kOk) ReleaseBuffer(out);
  return status;
}

}  // namespace tzx::host::imageio
