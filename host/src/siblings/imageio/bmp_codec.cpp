// Windows and OS/2 bitmap files: 1, 4 and 8-bit pens (plain or run-length
// coded), 16 and 32-bit pixels with or without bit-field masks, 24-bit pixels.
// Every offset and count read from the file is checked against the data.
#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "picture.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr uint32_t kOs2Rle24 = 4;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kV4HeaderSize = 108;

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}

// One colour channel of a bit-field mask.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;  // the largest value of the field
};

bool MakeChannel(uint32_t mask, Channel* c) {
  *c = Channel{};
  if (mask == 0) return true;
  c->mask = mask;
  c->shift = std::countr_zero(mask);
  c->max = mask >> c->shift;
  return (c->max & (c->max + 1)) == 0;  // one run of bits
}

// A channel without mask bits reads 0.
uint32_t Expand(const Channel& c, uint32_t v) {
  const uint64_t field = (v & c.mask) >> c.shift;
  if (c.max == 255 || c.max == 0) return static_cast<uint32_t>(field);
  return static_cast<uint32_t>((field * 255 + c.max / 2) / c.max);
}

struct Header {
  int32_t width = 0;
  int32_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kRgb;
  Channel red, green, blue, alpha;
  bool alphaFromMask = false;
  size_t paletteOffset = 0;
  int paletteEntrySize = 4;
  int paletteCount = 0;
  size_t pixelOffset = 0;
  size_t stride = 0;  // bytes per row of uncoded data
};

// Only uncoded 32-bit files may hold alpha in their fourth bytes; with bit
// fields, alpha comes from the alpha mask or not at all.
bool AlphaInFourthBytes(const Header& h) {
  return h.bitCount == 32 && h.compression == kRgb;
}

// OS/2 2.x information headers: 64 bytes, or cut short after any field.
bool IsOs2v2Header(uint32_t size) {
  return size >= 16 && size <= 64 && size % 4 == 0 && size != 40 && size != 52 && size != 56;
}

Status ReadHeader(const uint8_t* d, size_t size, const Limits& limits, Header* h,
                  PictureInfo* info) {
  if (size < kFileHeaderSize + 4) return Status::kTruncated;
  const uint32_t headerSize = U32(d + kFileHeaderSize);
  if (size < kFileHeaderSize + headerSize) return Status::kTruncated;
  const uint8_t* ih = d + kFileHeaderSize;
  // OS/2 2.x headers share the first fields of the Windows one and may end
  // after any of them; fields they leave out read 0.
  const bool os2v2 = IsOs2v2Header(headerSize);
  auto field = [&](uint32_t offset) { return offset + 4 <= headerSize ? U32(ih + offset) : 0; };
  int64_t width, height;
  if (headerSize == 12) {
    width = U16(ih + 4);
    height = U16(ih + 6);
    h->bitCount = U16(ih + 10);
    h->paletteEntrySize = 3;
  } else {
    width = static_cast<int32_t>(U32(ih + 4));
    height = static_cast<int32_t>(U32(ih + 8));
    h->bitCount = U16(ih + 14);
    h->compression = field(16);
    h->paletteCount = static_cast<int>(std::min<uint32_t>(field(32), 0x10000));
    // Their compressions 3 and 4 are Huffman and 24-bit runs, not bit fields.
    if (os2v2 && (h->compression == kBitFields || h->compression == kOs2Rle24)) {
      return Status::kUnsupported;
    }
  }
  if (height < 0) {
    h->topDown = true;
    height = -height;
  }
  Status sized = CheckSize(width, height, limits);
  if (sized != Status::kOk) return sized;
  h->width = static_cast<int32_t>(width);
  h->height = static_cast<int32_t>(height);

  const int bits = h->bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return Status::kUnsupportedDepth;
  }
  size_t afterHeader = kFileHeaderSize + headerSize;
  switch (h->compression) {
    case kRgb:
      break;
    case kRle8:
    case kRle4:
      if (bits != (h->compression == kRle8 ? 8 : 4) || h->topDown) return Status::kCorrupt;
      break;
    case kBitFields:
    case kAlphaBitFields: {
      if (bits != 16 && bits != 32) return Status::kCorrupt;
      const bool withAlpha = h->compression == kAlphaBitFields || headerSize >= 56;
      // A plain information header is followed by the masks.
      const uint8_t* masks = ih + 40;
      if (headerSize == 40) {
        afterHeader += withAlpha ? 16 : 12;
        if (size < afterHeader) return Status::kTruncated;
      } else if (headerSize < 52) {
        return Status::kCorrupt;
      }
      if (!MakeChannel(U32(masks), &h->red) || !MakeChannel(U32(masks + 4), &h->green) ||
          !MakeChannel(U32(masks + 8), &h->blue) ||
          !MakeChannel(withAlpha ? U32(masks + 12) : 0, &h->alpha)) {
        return Status::kCorrupt;
      }
      h->alphaFromMask = h->alpha.mask != 0;
      break;
    }
    default:
      return Status::kUnsupported;
  }
  if (h->compression == kRgb && bits > 8) {
    const bool five = bits == 16;  // 5 bits a channel
    MakeChannel(five ? 0x7C00 : 0xFF0000, &h->red);
    MakeChannel(five ? 0x03E0 : 0xFF00, &h->green);
    MakeChannel(five ? 0x001F : 0xFF, &h->blue);
  }

  h->paletteOffset = afterHeader;
  if (bits <= 8) {
    const int full = 1 << bits;
    if (h->paletteCount == 0 || h->paletteCount > full) h->paletteCount = full;
    const size_t paletteEnd = afterHeader + size_t(h->paletteCount) * h->paletteEntrySize;
    if (paletteEnd > size) return Status::kTruncated;
  } else {
    h->paletteCount = 0;
  }
  h->pixelOffset = U32(d + 10);
  if (h->pixelOffset < afterHeader) return Status::kCorrupt;
  h->stride = (static_cast<size_t>(h->width) * bits + 31) / 32 * 4;

  info->format = graphics::kImgfmtBmp;
  info->width = h->width;
  info->height = h->height;
  info->alpha = h->alphaFromMask || AlphaInFourthBytes(*h);
  info->depth = bits <= 8 ? bits : info->alpha ? 32 : 24;
  info->transparency = false;
  return Status::kOk;
}

// 32-bit files without masks carry alpha only when their fourth bytes differ
// from pixel to pixel: most writers leave them as padding, at 0 or at one
// constant value, and such pictures are shown opaque.
bool FourthBytesVary(const uint8_t* pixels, const Header& h) {
  const uint8_t first = pixels[3];
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = pixels + y * h.stride;
    for (int32_t x = 0; x < h.width; ++x) {
      if (row[x * 4 + 3] != first) return true;
    }
  }
  return false;
}

void ReadPalette(const uint8_t* d, const Header& h, uint32_t* palette) {
  const uint8_t* p = d + h.paletteOffset;
  for (int i = 0; i < h.paletteCount; ++i, p += h.paletteEntrySize) {
    palette[i] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
  }
}

// Run-length coded pens into a bottom-up grid; pixels the runs skip stay pen 0.
Status DecodeRuns(const uint8_t* src, size_t size, const Header& h, uint8_t* pens) {
  const bool rle4 = h.compression == kRle4;
  const size_t w = h.width;
  size_t x = 0, y = 0, pos = 0;
  auto put = [&](uint8_t pen) {
    if (x < w) pens[y * w + x] = pen;
    ++x;
  };
  while (y < static_cast<size_t>(h.height)) {
    if (size - pos < 2) return Status::kTruncated;
    const uint8_t count = src[pos], value = src[pos + 1];
    pos += 2;
    if (count) {
      for (int i = 0; i < count; ++i) put(rle4 ? (i & 1 ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return Status::kOk;
    } else if (value == 2) {  // move right and up
      if (size - pos < 2) return Status::kTruncated;
      x += src[pos];
      y += src[pos + 1];
      pos += 2;
    } else {  // literal pens, padded to a whole word
      const size_t bytes = rle4 ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (size - pos < padded) return Status::kTruncated;
      for (int i = 0; i < value; ++i) {
        const uint8_t b = src[pos + (rle4 ? i / 2 : i)];
        put(rle4 ? (i & 1 ? b & 15 : b >> 4) : b);
      }
      pos += padded;
    }
  }
  return Status::kOk;
}

// Uncoded pens, one per byte.
void UnpackPens(const uint8_t* src, const Header& h, uint8_t* pens) {
  const int bits = h.bitCount;
  const int perByte = 8 / bits;
  const uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = src + y * h.stride;
    uint8_t* out = pens + static_cast<size_t>(y) * h.width;
    for (int32_t x = 0; x < h.width; ++x) {
      const int shift = 8 - bits * (x % perByte + 1);
      out[x] = row[x / perByte] >> shift & mask;
    }
  }
}

// Stored rows go straight to their place: bottom-up files fill the picture
// from its last row.
void ReadTrueColor(const uint8_t* src, const Header& h, bool alpha, const Picture& p) {
  const int bytes = h.bitCount / 8;
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = src + y * h.stride;
    uint32_t* out = ArgbRow(p, h.topDown ? y : h.height - 1 - y);
    if (bytes == 3) {
      for (int32_t x = 0; x < h.width; ++x, row += 3) {
        out[x] = 0xFF000000u | uint32_t{row[2]} << 16 | uint32_t{row[1]} << 8 | row[0];
      }
      continue;
    }
    for (int32_t x = 0; x < h.width; ++x, row += bytes) {
      const uint32_t v = bytes == 2 ? U16(row) : U32(row);
      const uint32_t a = !alpha ? 255 : h.alphaFromMask ? Expand(h.alpha, v) : v >> 24;
      out[x] = a << 24 | Expand(h.red, v) << 16 | Expand(h.green, v) << 8 | Expand(h.blue, v);
    }
  }
}

// Pen rows are stored bottom-up unless the height was negative.
void FlipRows(uint8_t* pixels, size_t rowBytes, int32_t height) {
  uint8_t* temp = static_cast<uint8_t*>(AllocPlane(rowBytes, 1, false));
  for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = pixels + top * rowBytes;
    uint8_t* b = pixels + bottom * rowBytes;
    if (temp) {
      std::memcpy(temp, a, rowBytes);
      std::memcpy(a, b, rowBytes);
      std::memcpy(b, temp, rowBytes);
    } else {
      for (size_t i = 0; i < rowBytes; ++i) std::swap(a[i], b[i]);
    }
  }
  FreePlane(temp);
}

Status DecodeInto(const uint8_t* d, size_t size, bool pens, const Header& h, Picture* p) {
  const size_t w = h.width, height = h.height;
  if (h.pixelOffset > size) return Status::kTruncated;
  const uint8_t* pixels = d + h.pixelOffset;
  const size_t available = size - h.pixelOffset;
  const bool coded = h.compression == kRle4 || h.compression == kRle8;
  if (!coded && available / h.stride < height) return Status::kTruncated;

  if (h.bitCount > 8) {
    p->argb = AllocArgb(h.width, h.height);
    if (!p->argb) return Status::kNoMemory;
    p->info.alpha = h.alphaFromMask || (AlphaInFourthBytes(h) && FourthBytesVary(pixels, h));
    p->info.depth = p->info.alpha ? 32 : 24;
    ReadTrueColor(pixels, h, p->info.alpha, *p);
    return Status::kOk;
  }
  p->palette = static_cast<uint32_t*>(AllocPlane(256, 4, true));
  p->indices = static_cast<uint8_t*>(AllocPlane(w, height, coded));
  if (!p->palette || !p->indices) return Status::kNoMemory;
  ReadPalette(d, h, p->palette);
  std::memset(p->paletteAlpha, 255, sizeof p->paletteAlpha);
  if (coded) {
    Status runs = DecodeRuns(pixels, available, h, p->indices);
    if (runs != Status::kOk) return runs;
  } else {
    UnpackPens(pixels, h, p->indices);
  }
  if (!h.topDown) FlipRows(p->indices, w, h.height);
  if (pens) return Status::kOk;
  p->argb = AllocArgb(h.width, h.height);
  if (!p->argb) return Status::kNoMemory;
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* pens = p->indices + static_cast<size_t>(y) * w;
    uint32_t* out = ArgbRow(*p, y);
    for (size_t x = 0; x < w; ++x) out[x] = 0xFF000000u | p->palette[pens[x]];
  }
  FreePlane(p->indices);
  FreePlane(p->palette);
  p->indices = nullptr;
  p->palette = nullptr;
  return Status::kOk;
}

void Put16(ByteBuffer* b, uint32_t v, bool* ok) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  *ok = *ok && Append(b, bytes, 2);
}
void Put32(ByteBuffer* b, uint32_t v, bool* ok) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  *ok = *ok && Append(b, bytes, 4);
}

// The BMP pen width that holds every pen of the picture.
int PenBits(const SaveSource& s) {
  int highest = 0;
  for (int32_t y = 0; y < s.height; ++y) {
    const uint8_t* pens = s.indices + y * s.indexStride;
    for (int32_t x = 0; x < s.width; ++x) highest |= pens[x];
  }
  const int bits = s.depth <= 1 && highest < 2 ? 1 : s.depth <= 4 && highest < 16 ? 4 : 8;
  return bits;
}

}  // namespace

bool IsBmpHeaderSize(uint32_t size) {
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124 ||
         IsOs2v2Header(size);
}

Status ProbeBmp(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info) {
  Header h;
  Status status = ReadHeader(data, size, limits, &h, info);
  if (status != Status::kOk || !AlphaInFourthBytes(h)) return status;
  // Whether the fourth bytes carry alpha needs every pixel.
  if (h.pixelOffset > size || (size - h.pixelOffset) / h.stride < size_t(h.height)) {
    return Status::kTruncated;
  }
  info->alpha = FourthBytesVary(data + h.pixelOffset, h);
  info->depth = info->alpha ? 32 : 24;
  return Status::kOk;
}

Status DecodeBmp(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out) {
  Header h;
  Picture p;
  Status status = ReadHeader(data, size, limits, &h, &p.info);
  if (status == Status::kOk) status = DecodeInto(data, size, pens, h, &p);
  if (status != Status::kOk) {
    ReleasePicture(&p);
    return status;
  }
  *out = p;
  return Status::kOk;
}

Status EncodeBmp(const SaveSource& s, ByteBuffer* out) {
  const bool pens = s.indices && !s.HasPlaneAlpha();
  const bool keyed = s.argb && s.transparentColor != kNoColor;
  // Alpha planes and the key of true-colour pixels become an alpha channel;
  // pen pictures keep their pens, and their key can only be flattened.
  const bool alpha = s.HasPlaneAlpha() || keyed;
  const int bits = pens ? PenBits(s) : alpha ? 32 : 24;
  const int paletteCount = pens ? 1 << bits : 0;
  const size_t headerSize = alpha ? kV4HeaderSize : 40;
  const size_t stride = (static_cast<size_t>(s.width) * bits + 31) / 32 * 4;
  const size_t offset = kFileHeaderSize + headerSize + paletteCount * 4;
  const uint64_t fileSize = offset + uint64_t{stride} * s.height;
  if (fileSize > 0xFFFFFFFFu) return Status::kTooLarge;

  bool ok = true;
  ok = Append(out, "BM", 2);
  Put32(out, static_cast<uint32_t>(fileSize), &ok);
  Put32(out, 0, &ok);
  Put32(out, static_cast<uint32_t>(offset), &ok);
  Put32(out, static_cast<uint32_t>(headerSize), &ok);
  Put32(out, s.width, &ok);
  Put32(out, s.height, &ok);
  Put16(out, 1, &ok);
  Put16(out, bits, &ok);
  Put32(out, alpha ? kBitFields : kRgb, &ok);
  Put32(out, static_cast<uint32_t>(stride * s.height), &ok);
  Put32(out, 2835, &ok);  // 72 dots per inch
  Put32(out, 2835, &ok);
  Put32(out, paletteCount, &ok);
  Put32(out, 0, &ok);
  if (alpha) {
    Put32(out, 0x00FF0000, &ok);
    Put32(out, 0x0000FF00, &ok);
    Put32(out, 0x000000FF, &ok);
    Put32(out, 0xFF000000, &ok);
    Put32(out, 0x73524742, &ok);                      // sRGB
    for (int i = 0; i < 12; ++i) Put32(out, 0, &ok);  // end points and gamma
  }
  for (int i = 0; i < paletteCount; ++i) {
    uint32_t c = s.palette[i];
    if (i == s.transparentPen && s.flatten) c = s.fillColor;
    Put32(out, c & 0xFFFFFF, &ok);
  }
  if (!ok) return Status::kNoMemory;

  uint8_t* row = static_cast<uint8_t*>(AllocPlane(stride + 4, 1, true));
  uint32_t* argb = pens ? nullptr : static_cast<uint32_t*>(AllocPlane(s.width, 4, false));
  if (!row || (!pens && !argb)) ok = false;
  for (int32_t y = s.height - 1; ok && y >= 0; --y) {
    if (pens) {
      const uint8_t* src = s.indices + y * s.indexStride;
      std::memset(row, 0, stride);
      const int perByte = 8 / bits;
      for (int32_t x = 0; x < s.width; ++x) {
        row[x / perByte] |= static_cast<uint8_t>(src[x] << (8 - bits * (x % perByte + 1)));
      }
    } else {
      ComposeRow(s, y, true, argb);
      if (alpha) {
        std::memcpy(row, argb, static_cast<size_t>(s.width) * 4);
      } else {
        for (int32_t x = 0; x < s.width; ++x) {
          row[x * 3] = static_cast<uint8_t>(argb[x]);
          row[x * 3 + 1] = static_cast<uint8_t>(argb[x] >> 8);
          row[x * 3 + 2] = static_cast<uint8_t>(argb[x] >> 16);
        }
      }
    }
    ok = Append(out, row, stride);
  }
  FreePlane(row);
  FreePlane(argb);
  if (!ok) {
    ReleaseBuffer(out);
    return Status::kNoMemory;
  }
  return Status::kOk;
}

}  // namespace tzx::host::imageio
