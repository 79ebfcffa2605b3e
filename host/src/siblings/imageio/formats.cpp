// The picture formats: one row each, in the order the data is tried.
#include <cstring>

#include "picture.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

bool IsPng(const uint8_t* d, size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return size >= 8 && std::memcmp(d, kSignature, 8) == 0;
}

bool IsJpeg(const uint8_t* d, size_t size) {
  return size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF;
}

bool IsBmp(const uint8_t* d, size_t size) {
  if (size < 18 || d[0] != 'B' || d[1] != 'M') return false;
  return IsBmpHeaderSize(d[14] | d[15] << 8 | d[16] << 16 | uint32_t(d[17]) << 24);
}

constexpr PictureFormat kFormats[] = {
    {graphics::kImgfmtPng, "PNG", nullptr, IsPng, ProbePng, DecodePng, EncodePng, true},
    {graphics::kImgfmtJpeg, "JPEG", "jpg", IsJpeg, ProbeJpeg, DecodeJpeg, EncodeJpeg, false},
    {graphics::kImgfmtBmp, "BMP", nullptr, IsBmp, ProbeBmp, DecodeBmp, EncodeBmp, true},
    {graphics::kImgfmtGif, "GIF", nullptr, nullptr, nullptr, nullptr, nullptr, false},
    {graphics::kImgfmtIlbm, "ILBM", nullptr, nullptr, nullptr, nullptr, nullptr, false},
    {graphics::kImgfmtTiff, "TIFF", nullptr, nullptr, nullptr, nullptr, nullptr, false},
    {graphics::kImgfmtNative, "NATIVE", nullptr, nullptr, nullptr, nullptr, nullptr, false},
    {graphics::kImgfmtPlugin, "PLUGIN", nullptr, nullptr, nullptr, nullptr, nullptr, false},
};

}  // namespace

const PictureFormat* FindFormat(int32_t format) {
  for (const PictureFormat& f : kFormats) {
    if (f.format == format) return &f;
  }
  return nullptr;
}

const PictureFormat* SniffPicture(const uint8_t* data, size_t size) {
  for (const PictureFormat& f : kFormats) {
    if (f.sniff && f.sniff(data, size)) return &f;
  }
  return nullptr;
}

int32_t SniffFormat(const uint8_t* data, size_t size) {
  const PictureFormat* f = SniffPicture(data, size);
  return f ? f->format : -1;
}

Status ProbePicture(int32_t format, const uint8_t* data, size_t size, const Limits& limits,
                    PictureInfo* info) {
  const PictureFormat* f = FindFormat(format);
  return f && f->probe ? f->probe(data, size, limits, info) : Status::kNotRecognised;
}

Status DecodePicture(int32_t format, const uint8_t* data, size_t size, bool pens,
                     const Limits& limits, Picture* out) {
  const PictureFormat* f = FindFormat(format);
  return f && f->decode ? f->decode(data, size, pens, limits, out) : Status::kNotRecognised;
}

}  // namespace tzx::host::imageio
