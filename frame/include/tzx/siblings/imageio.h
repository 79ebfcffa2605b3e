// What the libraries call in the "imageio" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "imageio": probing, decoding and saving picture files.
struct UserTags;

// Transparency kinds a decode hands back.
enum ImageTransparency : int32_t {
  kTransparencyNone = 0,
  // The picture keeps its transparency itself and may only be used whole; the
  // brush library then drops the transparent colour. No codec of the host's
  // imageio reports it.
  kTransparencyWhole = 1,
  // `transparentColor` holds the picture's key: a pen for pen-index pictures,
  // an 0x00RRGGBB colour for true-colour ones.
  kTransparencyKey = 2,
};

// Flags of an ImageDecodeRequest.
enum ImageDecodeFlags : uint32_t {
  kDecodeAlpha = 0x1,         // hand the alpha channel back as its own plane
  kDecodeTransparency = 0x2,  // report the picture's transparent key
  kDecodePens = 0x4,          // pen pictures come back as chunky pens
  // Legacy loads: pixels with alpha are blended over `secondColor` and become
  // opaque, unless the alpha channel is handed back as a plane.
  kDecodeLegacy = 0x8,
  kDecodeTrueColor = 0x20,  // hand true-colour pixels back in `bitmap`
  kDecodeFormatName = 0x40,
  kDecodePalette = 0x100,  // hand the palette back with chunky pens
};

// The request of a decode (slot 1): the caller zeroes it and fills the input
// fields; the decode fills the output fields. Every plane it hands back comes
// from the host's memory service and belongs to the caller, who frees it with
// the memory service's free. Pen and alpha rows are `width` entries long.
// `bitmap` is laid out as the store of a graphics colour bitmap: rows of
// `bitmapRowLength` words (the width rounded up to a multiple of 4, the
// padding 0), then one spare row; a bitmap can take the block over without
// copying it.
struct ImageDecodeRequest {
  // Input.
  char loader[256];  // loader names separated by '|'; empty: any loader
  char adapter[256];
  UserTags* tags;
  // Size to scale the picture to while loading; 0 keeps the picture's size,
  // KEEPASPRAT on one side follows the other side's scale.
  int32_t scaleWidth;
  int32_t scaleHeight;
  int32_t smoothScale;
  uint32_t secondColor;  // background of legacy loads (kDecodeLegacy)
  uint32_t flags;        // ImageDecodeFlags
  // Output.
  uint32_t* bitmap;  // 0xAARRGGBB pixels; null when the picture came back as pens
  uint8_t* chunky;   // pens (kDecodePens), else null
  int32_t width;
  int32_t height;
  uint8_t* alpha;             // with kDecodeAlpha, when the picture has an alpha channel
  int32_t transparency;       // ImageTransparency
  uint32_t transparentColor;  // 0xFFFFFFFF when none
  int32_t depth;              // 1..8 with pens, else 24, or 32 with an alpha channel
  uint32_t* palette;          // 256 entries 0x00RRGGBB, with pens and kDecodePalette
  uint8_t* cycles;            // colour-cycling ranges, 6 bytes each
  int32_t cycleCount;
  char format[256];         // name of the file format, with kDecodeFormatName
  int32_t bitmapRowLength;  // words from one row of `bitmap` to the next
  uint8_t reserved[232];
};
static_assert(sizeof(ImageDecodeRequest) == 1104);
static_assert(offsetof(ImageDecodeRequest, tags) == 512);
static_assert(offsetof(ImageDecodeRequest, bitmap) == 544);
static_assert(offsetof(ImageDecodeRequest, format) == 612);
static_assert(offsetof(ImageDecodeRequest, bitmapRowLength) == 868);

// Pixels handed to a save: imageio only reads them. Colour planes are 32-bit
// 0xAARRGGBB words, alpha and chunky planes one byte per pixel, masks one bit
// per pixel, most significant bit first, set = visible.
struct ImagePlane {
  const void* pixels;
  int32_t bytesPerRow;
};

// The save options that have no argument of their own in the brush save.
struct ImageSaveOptions {
  // What transparent pixels become in formats that cannot keep transparency.
  uint32_t fillColor;
};

// A save tag of the graphics library's SaveImage; a list ends with tag 0.
struct SaveTag {
  int32_t tag;
  intptr_t value;
};
enum SaveTagId : int32_t {
  kSaveTagEnd = 0,
  kSaveTagQuality = 1,      // default 90
  kSaveTagDepth = 2,        // default 32
  kSaveTagAlpha = 3,        // save the alpha channel; default 0
  kSaveTagTransparent = 4,  // transparent colour or pen; default -1
  kSaveTagAdapter = 5,      // const char* file adapter; default none
  kSaveTagUserTags = 6,     // UserTags* for the adapter; default none
};

struct ImageIoSibling {
  // Slot 0: recognises a picture file and tells what it holds; non-zero when
  // recognised. The out values are written only then.
  int (*probe)(const char* file, const char* loader, const char* adapter, UserTags* tags, int* type,
               int* format, int* width, int* height, int* depth, int* alpha, int* transparency);
  // Slot 1: decodes a picture file into planes; 0 or an error code.
  int (*decode)(const char* file, ImageDecodeRequest* request);
  // Slot 2: saves true-colour pixels (SaveImage); 0 or an error code. The alpha
  // plane, when `saveAlpha` is set, becomes the file's alpha channel; `depth`
  // and `depth32` (depth == 32) tell the depth asked for, which true-colour
  // pixels in these formats always keep.
  int (*saveImage)(const char* file, const ImagePlane* pixels, int32_t width, int32_t height,
                   int32_t format, const char* adapter, UserTags* tags, int32_t transparent,
                   const ImagePlane* alpha, int32_t saveAlpha, int32_t depth, int32_t depth32,
                   int32_t quality);
  // Slot 3: saves a brush's planes; 0 or an error code. Either `bitmap` or
  // `chunky` with `palette` (256 entries) and `depth` 1..8 is given; `mask` and
  // `alpha` are optional; `transparentColor` (true colour) and `transparentPen`
  // (pens) are -1 when none. `hardware` tells that the planes were read back
  // from a hardware brush; they are plain memory either way.
  int (*saveBrush)(int32_t format, const ImagePlane* bitmap, int32_t width, int32_t height,
                   const char* file, const char* adapter, UserTags* tags, const ImagePlane* mask,
                   int32_t transparentColor, const ImagePlane* alpha, const ImagePlane* chunky,
                   const uint32_t* palette, int32_t depth, int32_t transparentPen, int32_t quality,
                   const ImageSaveOptions* options, int32_t hardware);
  // Slots 4 and 5 are called by none of the libraries and stay null.
  const void* slot4;
  const void* slot5;
  // Slot 6: non-zero when the format can store an alpha channel.
  int (*formatHasAlpha)(int32_t format);
  // Slot 7: non-zero when pictures can be saved in the format.
  int (*canSave)(int32_t format);
};
static_assert(offsetof(ImageIoSibling, decode) == 1 * sizeof(void*));
static_assert(offsetof(ImageIoSibling, saveImage) == 2 * sizeof(void*));
static_assert(offsetof(ImageIoSibling, saveBrush) == 3 * sizeof(void*));
static_assert(offsetof(ImageIoSibling, formatHasAlpha) == 6 * sizeof(void*));
static_assert(offsetof(ImageIoSibling, canSave) == 7 * sizeof(void*));

}  // namespace tzx
