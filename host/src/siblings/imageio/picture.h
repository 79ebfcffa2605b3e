// The picture codecs behind the imageio sibling: plain functions over bytes in
// memory, shared by the sibling, the unit tests and the fuzz target. Every
// buffer they hand out comes from the host's memory service, so that a decoded
// plane can be handed to a library as it is.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/graphics_layout.h"

namespace tzx::graphics {
struct GraphicsInterface;
}

namespace tzx::host::imageio {

enum class Status {
  kOk,
  kNotRecognised,     // no codec knows the data
  kTruncated,         // the data ends before the picture does
  kCorrupt,           // the data breaks the format's rules (a zero size included)
  kTooLarge,          // the picture is larger than the limits
  kNoMemory,          // a buffer could not be allocated
  kUnsupportedDepth,  // a colour depth or layout that no codec here reads
  kUnsupported,       // a variant of the format that no codec here reads
};

// The largest pictures that are decoded; larger ones are refused before any
// pixel buffer is allocated.
struct Limits {
  int32_t maxSide = 65535;
  uint64_t maxPixels = uint64_t{1} << 28;
};

// kOk when a width × height picture may be decoded.
Status CheckSize(int64_t width, int64_t height, const Limits& limits);

// Format codes are the IMGFMT_ values.
struct PictureInfo {
  int32_t format = 0;
  int32_t width = 0;
  int32_t height = 0;
  // 1..8 when the pixels are pens (palette or grey pictures without alpha),
  // otherwise 24, or 32 with an alpha channel.
  int32_t depth = 0;
  bool alpha = false;         // an alpha value per pixel
  bool transparency = false;  // a transparent key colour or pen
};

inline constexpr uint32_t kNoColor = 0xFFFFFFFFu;

// A decoded picture: either `argb` or `indices` with `palette`. Pen rows are
// `width` entries long. True-colour rows are laid out as the store of a
// graphics colour bitmap, so that a bitmap can take the block over: rows of
// graphics::ColorRowPixels(width) words, then one spare row; the words past
// `width` and the spare row are 0.
struct Picture {
  PictureInfo info;
  uint32_t* argb = nullptr;     // 0xAARRGGBB
  uint8_t* indices = nullptr;   // pens
  uint32_t* palette = nullptr;  // 256 entries 0x00RRGGBB
  uint8_t paletteAlpha[256] = {};
  int32_t transparentPen = -1;
  uint32_t transparentColor = kNoColor;  // 0x00RRGGBB of the key of a true-colour picture
};

// Frees the picture's buffers and clears their pointers.
void ReleasePicture(Picture* picture);

// Buffers from the host's memory service; null when the size overflows or
// memory runs out.
void* AllocPlane(size_t count, size_t size, bool zero);
void FreePlane(void* block);
// A block for the true-colour pixels of a width × height picture, in the
// layout of Picture::argb, padding and spare row cleared.
uint32_t* AllocArgb(int32_t width, int32_t height);
// The true-colour row y of a picture.
inline uint32_t* ArgbRow(const Picture& picture, int32_t y) {
  return picture.argb + static_cast<size_t>(y) * graphics::ColorRowPixels(picture.info.width);
}

struct SaveSource;
struct ByteBuffer;

// One picture format: how its files are recognised, read and written. Codes
// without a codec here have rows too (no functions), so that asking for them
// is "not supported" rather than "no such format".
struct PictureFormat {
  int32_t format;     // the IMGFMT_ code
  const char* name;   // as format names and loader lists spell it
  const char* alias;  // another spelling loader lists may use, or null
  // Whether the data starts like a file of the format.
  bool (*sniff)(const uint8_t* data, size_t size);
  Status (*probe)(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info);
  Status (*decode)(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out);
  Status (*encode)(const SaveSource& source, ByteBuffer* out);
  bool hasAlpha;  // files keep an alpha channel
  bool CanSave() const { return encode != nullptr; }
};

// The row of an IMGFMT_ code; null for a code that names no format.
const PictureFormat* FindFormat(int32_t format);
// The row of the codec that knows the data; null when none does.
const PictureFormat* SniffPicture(const uint8_t* data, size_t size);
// The codec that knows the data, as an IMGFMT_ code, or -1.
int32_t SniffFormat(const uint8_t* data, size_t size);

// Reads what the header tells. kTruncated means that the header goes on past
// `size`: a longer prefix of the file may answer.
Status ProbePicture(int32_t format, const uint8_t* data, size_t size, const Limits& limits,
                    PictureInfo* info);
// Decodes a whole file. With `pens`, pictures whose pixels are pens come back
// as indices with their palette; everything else as ARGB. On failure nothing
// stays allocated.
Status DecodePicture(int32_t format, const uint8_t* data, size_t size, bool pens,
                     const Limits& limits, Picture* out);

Status ProbePng(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info);
Status DecodePng(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out);
Status ProbeJpeg(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info);
Status DecodeJpeg(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out);
// The information-header sizes of the BMP variants that are read.
bool IsBmpHeaderSize(uint32_t size);
Status ProbeBmp(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info);
Status DecodeBmp(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out);

// The size a decode is scaled to from the asked size: 0 keeps a side, the
// keep-aspect code on one side follows the other side's scale. False when
// both sides ask to follow the other or a side is negative.
bool ResolveScaleSize(int32_t width, int32_t height, int32_t askedWidth, int32_t askedHeight,
                      int32_t* outWidth, int32_t* outHeight);
// Scales the picture's pixels to the size with the graphics library's scaler,
// exactly as ScaleBrush scales a brush loaded at the picture's own size: each
// channel of true colour (alpha included) on its own, interpolated with
// `smooth`; pens always picked. 0, or the error code of the failure with the
// picture unchanged.
int ScalePicture(const graphics::GraphicsInterface& graphics, Picture* picture, int32_t width,
                 int32_t height, bool smooth);
// The picture's alpha values as a plane of its own; null when out of memory.
uint8_t* AlphaPlane(const Picture& picture);
// Blends a picture with an alpha channel over the colour; it keeps its
// transparent key.
void FlattenPicture(Picture* picture, uint32_t background);

// What a save writes. Either `argb` or `indices` with `palette` and `depth`
// 1..8; `alpha` and `mask` are optional. Strides are in bytes.
struct SaveSource {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* argb = nullptr;
  ptrdiff_t argbStride = 0;
  const uint8_t* indices = nullptr;
  ptrdiff_t indexStride = 0;
  const uint32_t* palette = nullptr;
  int32_t depth = 0;
  const uint8_t* alpha = nullptr;
  ptrdiff_t alphaStride = 0;
  const uint8_t* mask = nullptr;  // 1 bit per pixel, most significant first, set = visible
  ptrdiff_t maskStride = 0;
  uint32_t transparentColor = kNoColor;  // RGB key of true-colour pixels
  int32_t transparentPen = -1;
  // Formats that cannot keep transparency blend transparent pixels over the
  // fill colour when `flatten` is set, and drop the transparency otherwise.
  bool flatten = false;
  uint32_t fillColor = 0;
  int32_t quality = 90;  // 0..100, for lossy formats

  bool HasPlaneAlpha() const { return alpha || mask; }
};

// A growing byte buffer in host memory.
struct ByteBuffer {
  uint8_t* data = nullptr;
  size_t size = 0;
  size_t capacity = 0;
};
// Makes room for `n` more bytes after `size`.
bool Reserve(ByteBuffer* buffer, size_t n);
bool Append(ByteBuffer* buffer, const void* bytes, size_t n);
void ReleaseBuffer(ByteBuffer* buffer);

// One row of the source as 0xAARRGGBB. The alpha comes from the alpha plane,
// else the mask, else (with `keyIsTransparent`) 0 for the transparent key and
// 255 for the rest.
void ComposeRow(const SaveSource& source, int32_t y, bool keyIsTransparent, uint32_t* out);
// Blends each pixel over the colour and makes it opaque.
void FlattenRow(uint32_t* row, int32_t count, uint32_t background);

Status EncodePng(const SaveSource& source, ByteBuffer* out);
Status EncodeJpeg(const SaveSource& source, ByteBuffer* out);
Status EncodeBmp(const SaveSource& source, ByteBuffer* out);

}  // namespace tzx::host::imageio
