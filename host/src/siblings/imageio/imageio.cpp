// "imageio": probes, decodes and saves PNG, JPEG and BMP files for the
// libraries. Files are read and written through the host's file services, so
// that adapters and virtual files work as for any other file; the codecs work
// on the bytes in memory.
#include <algorithm>
#include <cstring>

#include "../../services.h"
#include "../sibling.h"
#include "picture.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

using imageio::ByteBuffer;
using imageio::Picture;
using imageio::PictureInfo;
using imageio::SaveSource;
using imageio::Status;

const imageio::Limits kLimits;
// Scaled loads go through its scaler; null until the library is bound.
const graphics::GraphicsInterface* gGraphics = nullptr;
// A probe reads this much first, and more only when the header goes on.
constexpr size_t kProbePrefix = 65536;
constexpr size_t kReadChunk = size_t{1} << 20;

using imageio::PictureFormat;

// Whether a loader list ("png|jpeg", empty for any) lets the codec of the
// format decode. "inbuilt" and "default" name all of them.
bool LoaderAllowed(const char* list, const PictureFormat& format) {
  if (!list || !*list) return true;
  for (const char* p = list; *p;) {
    const char* end = std::strchr(p, '|');
    if (!end) end = p + std::strlen(p);
    while (p < end && *p == ' ') ++p;
    const char* last = end;
    while (last > p && last[-1] == ' ') --last;
    const size_t n = last - p;
    auto is = [&](const char* name) {
      return name && n == std::strlen(name) && kRuntime.strnicmp(p, name, n) == 0;
    };
    if (is(format.name) || is(format.alias) || is("inbuilt") || is("default")) return true;
    p = *end ? end + 1 : end;
  }
  return false;
}

FileHandle* OpenWith(const char* file, int access, const char* adapter, UserTags* tags) {
  OpenOptions options;
  kFileSystem.initOpenOptions(&options);
  if (adapter) kRuntime.strlcpy(options.adapter, sizeof options.adapter, adapter);
  return kFileSystem.openFile(file, access, &options, tags);
}

// Appends the file's bytes to `out` until it holds `limit` bytes or the file
// ends (`complete`). False when memory runs out or reading fails.
bool ReadUpTo(FileHandle* h, size_t limit, ByteBuffer* out, bool* complete) {
  *complete = false;
  while (out->size < limit) {
    if (out->capacity == out->size &&
        !imageio::Reserve(out, std::min(limit - out->size, kReadChunk))) {
      return false;
    }
    const size_t want = std::min(limit - out->size, out->capacity - out->size);
    const int64_t got = kStreamIo.readBytes(h, out->data + out->size, static_cast<int64_t>(want));
    if (got < 0) return false;
    if (got == 0) {
      *complete = true;
      return true;
    }
    out->size += static_cast<size_t>(got);
  }
  return true;
}

int ErrorFor(Status status, const char* file) {
  switch (status) {
    case Status::kTruncated:
      return kErrRead;
    case Status::kCorrupt:
    case Status::kUnsupported:
      return kErrDamagedPicture;
    case Status::kTooLarge:
      return kErrPictureTooLarge;
    case Status::kNoMemory:
      return kErrNoMemory;
    case Status::kUnsupportedDepth:
      kErrorReporting.setErrorString(file);
      return kErrUnsupportedDepth;
    default:
      // No loader here knows the file.
      return kErrPluginUnsupported;
  }
}

// A name field of a request, which need not be terminated.
void CopyField(const char (&field)[256], char (&out)[256]) {
  const void* end = std::memchr(field, 0, sizeof field);
  const size_t n = end ? static_cast<const char*>(end) - field : sizeof field - 1;
  std::memcpy(out, field, n);
  out[n] = 0;
}

int Probe(const char* file, const char* loader, const char* adapter, UserTags* tags, int* type,
          int* formatCode, int* width, int* height, int* depth, int* alpha, int* transparency) {
  if (!file) return 0;
  FileHandle* h = OpenWith(file, kAccessRead, adapter, tags);
  if (!h) return 0;
  ByteBuffer bytes;
  PictureInfo info;
  Status status = Status::kNotRecognised;
  const PictureFormat* format = nullptr;
  bool complete = false;
  for (size_t limit = kProbePrefix; !complete; limit *= 4) {
    if (!ReadUpTo(h, limit, &bytes, &complete)) break;
    if (!format) {
      format = imageio::SniffPicture(bytes.data, bytes.size);
      if (!format || !LoaderAllowed(loader, *format)) break;
    }
    status = format->probe(bytes.data, bytes.size, kLimits, &info);
    if (status != Status::kTruncated) break;
  }
  kStreamIo.closeFile(h);
  imageio::ReleaseBuffer(&bytes);
  if (status != Status::kOk) return 0;
  *type = graphics::kImagetypeRaster;
  *formatCode = info.format;
  *width = info.width;
  *height = info.height;
  *depth = info.depth;
  *alpha = info.alpha ? 1 : 0;
  *transparency = info.transparency ? 1 : 0;
  return 1;
}

void ClearOutput(ImageDecodeRequest* r) {
  r->bitmap = nullptr;
  r->chunky = nullptr;
  r->width = 0;
  r->height = 0;
  r->alpha = nullptr;
  r->transparency = kTransparencyNone;
  r->transparentColor = imageio::kNoColor;
  r->depth = 0;
  r->palette = nullptr;
  r->cycles = nullptr;
  r->cycleCount = 0;
  r->format[0] = 0;
  r->bitmapRowLength = 0;
}

// Reads and decodes the file; its format's row comes back in `format`.
int ReadPicture(const char* file, const char* loader, const char* adapter, UserTags* tags,
                bool pens, Picture* picture, const PictureFormat** format) {
  FileHandle* h = OpenWith(file, kAccessRead, adapter, tags);
  if (!h) {
    kErrorReporting.setErrorString(file);
    return kErrOpenRead;
  }
  ByteBuffer bytes;
  const int64_t length = kFileSystem.length(h);
  bool complete = false;
  bool read = (length <= 0 || imageio::Reserve(&bytes, static_cast<size_t>(length) + 1)) &&
              ReadUpTo(h, SIZE_MAX, &bytes, &complete);
  kStreamIo.closeFile(h);
  Status status = read ? Status::kNotRecognised : Status::kNoMemory;
  if (read) {
    *format = imageio::SniffPicture(bytes.data, bytes.size);
    if (*format && LoaderAllowed(loader, **format)) {
      status = (*format)->decode(bytes.data, bytes.size, pens, kLimits, picture);
    }
  }
  imageio::ReleaseBuffer(&bytes);
  return status == Status::kOk ? 0 : ErrorFor(status, file);
}

// Flattens, scales and separates the decoded picture as the request asks. A
// legacy load is flattened before it is scaled, as a picture loaded at its
// own size and scaled afterwards would be.
int Shape(const ImageDecodeRequest& r, const char* file, Picture* p, uint8_t** alpha) {
  if (p->argb && !(r.flags & kDecodeTrueColor)) {
    kErrorReporting.setErrorString(file);
    return kErrUnsupportedDepth;
  }
  const bool separate = (r.flags & kDecodeAlpha) && p->info.alpha;
  if (!separate && (r.flags & kDecodeLegacy)) imageio::FlattenPicture(p, r.secondColor);
  if (r.scaleWidth || r.scaleHeight) {
    int32_t w, h;
    if (!imageio::ResolveScaleSize(p->info.width, p->info.height, r.scaleWidth, r.scaleHeight, &w,
                                   &h)) {
      return kErrRange;
    }
    if (imageio::CheckSize(w, h, kLimits) != Status::kOk) return kErrPictureTooLarge;
    if (!gGraphics) {
      kErrorReporting.setErrorString("graphics");
      return kErrSiblingAbsent;
    }
    if (int rc = imageio::ScalePicture(*gGraphics, p, w, h, r.smoothScale != 0)) return rc;
  }
  if (separate) {
    *alpha = imageio::AlphaPlane(*p);
    if (!*alpha) return kErrNoMemory;
  }
  return 0;
}

int Decode(const char* file, ImageDecodeRequest* r) {
  if (!file || !r) return kErrRange;
  ClearOutput(r);
  if (!(r->flags & (kDecodeTrueColor | kDecodePens))) return kErrRange;
  char loader[256], adapter[256];
  CopyField(r->loader, loader);
  CopyField(r->adapter, adapter);
  Picture p;
  const PictureFormat* format = nullptr;
  uint8_t* alpha = nullptr;
  int rc = ReadPicture(file, loader, adapter, r->tags, (r->flags & kDecodePens) != 0, &p, &format);
  if (rc == 0) rc = Shape(*r, file, &p, &alpha);
  if (rc != 0) {
    imageio::ReleasePicture(&p);
    imageio::FreePlane(alpha);
    return rc;
  }
  const bool pens = p.indices != nullptr;
  r->bitmap = p.argb;
  r->bitmapRowLength = p.argb ? graphics::ColorRowPixels(p.info.width) : 0;
  r->chunky = p.indices;
  r->width = p.info.width;
  r->height = p.info.height;
  r->alpha = alpha;
  // Pens need their key to be drawn right; true colour reports it on request.
  if (p.info.transparency && ((r->flags & kDecodeTransparency) || pens)) {
    r->transparency = kTransparencyKey;
    r->transparentColor = pens ? static_cast<uint32_t>(p.transparentPen) : p.transparentColor;
  }
  r->depth = pens ? p.info.depth : p.info.alpha ? 32 : 24;
  if (pens && (r->flags & kDecodePalette)) {
    r->palette = p.palette;
  } else {
    imageio::FreePlane(p.palette);
  }
  if (r->flags & kDecodeFormatName) std::strcpy(r->format, format->name);
  return 0;
}

// Encodes the source and writes the file.
int Save(const char* file, const char* adapter, UserTags* tags, int32_t format,
         const SaveSource& source) {
  if (!file || source.width < 1 || source.height < 1) return kErrRange;
  if (imageio::CheckSize(source.width, source.height, kLimits) != Status::kOk) {
    return kErrPictureTooLarge;
  }
  const PictureFormat* row = imageio::FindFormat(format);
  if (!row) return kErrRange;
  if (!row->CanSave()) return kErrPluginUnsupported;
  // The whole file is made before the old one is touched, so that a failed
  // encode leaves it as it was.
  ByteBuffer bytes;
  if (row->encode(source, &bytes) != Status::kOk) return kErrNoMemory;
  FileHandle* h = OpenWith(file, kAccessWrite, adapter, tags);
  int rc = 0;
  if (!h) {
    kErrorReporting.setErrorString(file);
    rc = kErrOpenWrite;
  } else {
    const int64_t size = static_cast<int64_t>(bytes.size);
    if (kStreamIo.writeBytes(h, bytes.data, size) != size || kStreamIo.flush(h) != 0) {
      rc = kErrWrite;
    }
    kStreamIo.closeFile(h);
  }
  imageio::ReleaseBuffer(&bytes);
  return rc;
}

bool Present(const ImagePlane* plane) {
  return plane && plane->pixels;
}
const uint8_t* Bytes(const ImagePlane* plane) {
  return Present(plane) ? static_cast<const uint8_t*>(plane->pixels) : nullptr;
}
ptrdiff_t Stride(const ImagePlane* plane) {
  return Present(plane) ? plane->bytesPerRow : 0;
}

// The depth asked for needs nothing more: the formats here hold true colour,
// and the alpha channel is written exactly when its plane is given.
int SaveImage(const char* file, const ImagePlane* pixels, int32_t width, int32_t height,
              int32_t format, const char* adapter, UserTags* tags, int32_t transparent,
              const ImagePlane* alpha, int32_t saveAlpha, int32_t /*depth*/, int32_t /*depth32*/,
              int32_t quality) {
  if (!Present(pixels) || (saveAlpha && !Present(alpha))) return kErrRange;
  SaveSource s;
  s.width = width;
  s.height = height;
  s.argb = Bytes(pixels);
  s.argbStride = Stride(pixels);
  if (saveAlpha) {
    s.alpha = Bytes(alpha);
    s.alphaStride = Stride(alpha);
  }
  s.transparentColor = transparent < 0 ? imageio::kNoColor : transparent & 0xFFFFFFu;
  s.quality = quality;
  return Save(file, adapter, tags, format, s);
}

// Hardware brushes reach here with their planes read back into memory, so the
// hardware flag needs nothing more.
int SaveBrush(int32_t format, const ImagePlane* bitmap, int32_t width, int32_t height,
              const char* file, const char* adapter, UserTags* tags, const ImagePlane* mask,
              int32_t transparentColor, const ImagePlane* alpha, const ImagePlane* chunky,
              const uint32_t* palette, int32_t depth, int32_t transparentPen, int32_t quality,
              const ImageSaveOptions* options, int32_t /*hardware*/) {
  SaveSource s;
  s.width = width;
  s.height = height;
  if (Present(bitmap)) {
    s.argb = Bytes(bitmap);
    s.argbStride = Stride(bitmap);
    s.transparentColor = transparentColor < 0 ? imageio::kNoColor : transparentColor & 0xFFFFFFu;
  } else if (Present(chunky) && palette && depth >= 1 && depth <= 8) {
    s.indices = Bytes(chunky);
    s.indexStride = Stride(chunky);
    s.palette = palette;
    s.depth = depth;
    s.transparentPen = transparentPen >= 0 && transparentPen < 256 ? transparentPen : -1;
  } else {
    return kErrRange;
  }
  s.alpha = Bytes(alpha);
  s.alphaStride = Stride(alpha);
  s.mask = Bytes(mask);
  s.maskStride = Stride(mask);
  s.quality = quality;
  if (options) {
    s.flatten = true;
    s.fillColor = options->fillColor;
  }
  return Save(file, adapter, tags, format, s);
}

int FormatHasAlpha(int32_t format) {
  const PictureFormat* row = imageio::FindFormat(format);
  return row && row->hasAlpha;
}

int CanSave(int32_t format) {
  const PictureFormat* row = imageio::FindFormat(format);
  return row && row->CanSave();
}

const ImageIoSibling kInterface = {
    .probe = Probe,
    .decode = Decode,
    .saveImage = SaveImage,
    .saveBrush = SaveBrush,
    .slot4 = nullptr,
    .slot5 = nullptr,
    .formatHasAlpha = FormatHasAlpha,
    .canSave = CanSave,
};
const void* Interface() {
  return &kInterface;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "graphics") == 0) {
    gGraphics = static_cast<const graphics::GraphicsInterface*>(interface);
  }
}

void Reset(lua_State*) {
  gGraphics = nullptr;
}

}  // namespace

// No script commands.
const HostSibling kImageIoSibling = {"imageio", Interface, nullptr, Reset, Bind};

}  // namespace tzx::host
