// Records that graphics.tzx shares with its siblings: bitmap handles and their
// stores, lock records, image objects, the draw record, the style blocks, the
// output record and the shared graphics state. Layouts are fixed; siblings read
// and write several of them in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx::text {
struct FontRecord;  // the text library's font record (text/src/font_record.h)
}

namespace tzx::graphics {

// ---------------------------------------------------------------------------
// Pixel formats and bitmap handles

// Pixel format codes; every other code has 0 bytes per pixel and depth 0.
enum PixelFormat : int32_t {
  kFormatNone = -1,  // in the output-format variable: no output exists
  kFormatRgb15 = 0,  // 16-bit LE word, red 10-14, green 5-9, blue 0-4
  kFormatBgr15 = 1,
  kFormatRgb15Be = 2,
  kFormatBgr15Be = 3,
  kFormatRgb16 = 4,  // 16-bit LE word, red 11-15, green 5-10, blue 0-4
  kFormatBgr16 = 5,
  kFormatRgb16Be = 6,
  kFormatBgr16Be = 7,
  kFormatRgb24 = 8,       // bytes R, G, B
  kFormatBgr24 = 9,       // bytes B, G, R
  kFormatArgb32 = 10,     // LE word 0xAARRGGBB: the library's own format
  kFormatArgbBytes = 11,  // bytes A, R, G, B
  kFormatAbgrBytes = 12,  // bytes A, B, G, R
  kFormatRgbaBytes = 13,  // bytes R, G, B, A
  kFormatByte = 14,       // one byte: a palette index or an 8-bit channel
  kFormatCount = 15,
  kFormatMask = 15,  // what a lock record reports for a 1-bit mask
};

enum BitmapKind : int32_t {
  kKindColor = 0,
  kKindAlpha = 1,  // 8 bits, 0 transparent .. 255 opaque
  kKindMask = 2,   // 1 bit, set = visible, most significant bit first
  kKindIndex = 3,  // 8-bit pens
};

// The store of a colour bitmap.
struct ColorStore {
  int32_t width;
  int32_t height;
  uint8_t* pixels;
  int32_t bytesPerRow;
  int32_t bytesPerPixel;
  int32_t format;
  int32_t borrowed;  // pixels belong to somebody else
};

// The store of a mask, alpha channel or index bitmap.
struct PlaneStore {
  int32_t kind;
  int32_t width;
  int32_t height;
  uint8_t* pixels;
  int32_t bytesPerRow;
  int32_t borrowed;
};

// Every pixel buffer that crosses libraries. Made, locked and freed only
// through the graphics interface.
struct BitmapHandle {
  int32_t kind;  // BitmapKind
  void* data;    // ColorStore for colour bitmaps, PlaneStore otherwise
  int32_t width;
  int32_t height;
  int32_t video;     // lives in the display adapter's memory
  int32_t changed;   // the adapter was told once that a video bitmap changed
  int32_t borrowed;  // the handle wraps pixels that belong to somebody else
};

// Flags of AllocBitmap.
inline constexpr uint32_t kAllocVideo = 0x08;     // video memory when the adapter offers it
inline constexpr uint32_t kAllocBorrowed = 0x20;  // wrap the given ColorStore
// Take over the given ColorStore's pixels: a block from the host's memory
// service laid out as the library's own store (graphics_layout.h) in the
// format of new colour bitmaps. The bitmap then frees them. Null when the
// store has another layout; the pixels then stay the caller's.
inline constexpr uint32_t kAllocAdopt = 0x40;

// Flags of ConvertBitmapSet.
inline constexpr uint32_t kConvertHardwareAlpha = 0x04;  // with the hardware flag
inline constexpr uint32_t kConvertSmooth = 0x10;
inline constexpr uint32_t kConvertAlphaFromTopByte = 0x100;
// The pixels are a block from the host's memory service of height + 1 rows
// of rowLength words. On success the library owns it: the colour bitmap keeps
// it as its store when the layout is the bitmap's own, else it is freed once
// copied. On failure it stays the caller's.
inline constexpr uint32_t kConvertTakePixels = 0x1000;

// Flags of LockBitmap.
inline constexpr uint32_t kLockReadOnly = 0x01;
inline constexpr uint32_t kLockRawStore = 0x02;  // the argument is a ColorStore

// Filled by LockBitmap.
struct LockRecord {
  uint8_t* pixels;
  int32_t success;
  int32_t reserved;
  int32_t format;  // pixel format; an alpha channel reads as 14, a mask as 15
  int32_t bytesPerPixel;
  int32_t bytesPerRow;
  int32_t width;
  int32_t height;
  int32_t plainMemory;
  int32_t borrowed;
};

// Attributes of GetBitmapAttr.
enum BitmapAttribute : int32_t {
  kAttrWidth = 0,
  kAttrBytesPerRow = 6,
  kAttrHeight = 7,
  kAttrVideo = 9,
  kAttrChanged = 10,
  kAttrData = 11,
  kAttrFormat = 12,
  kAttrVideoWithoutAdapter = 13,
  kAttrBytesPerPixel = 14,
};

struct Rect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// ---------------------------------------------------------------------------
// Image objects: pictures shared between libraries, raster or drawn on demand

// Renders a drawn picture at a size through a 2x2 matrix into new planes; 0 or
// an error code.
using ImageDrawFn = int (*)(void* data, int width, int height, const double matrix[4],
                            BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha);
// Frees the creator's data when the last reference goes.
using ImageFreeFn = void (*)(void* data);

struct ImageObject {
  int32_t type;  // the creator's type; types 0 and 1 are never cloned
  int32_t refCount;
  int32_t width;
  int32_t height;
  uint32_t* pixels;  // width × height 0xAARRGGBB words, or null
  int32_t ownsPixels;
  void* data;        // the creator's data, released through freeData
  ImageDrawFn draw;  // set for vector pictures
  ImageFreeFn freeData;
};

// ---------------------------------------------------------------------------
// The draw record: a transform record and a tag record

// A 2x2 matrix {m00, m01, m10, m11} that leaves every point where it is.
inline bool IsIdentity(const double m[4]) {
  return m[0] == 1.0 && m[1] == 0.0 && m[2] == 0.0 && m[3] == 1.0;
}

struct TransformRecord {
  double matrix[4];  // m00, m01, m10, m11
  double scaleX;
  double scaleY;
  int32_t width;  // requested size, 0 = the source's
  int32_t height;
  double rotate;  // degrees, reduced modulo 360
  double givenMatrix[4];
  int32_t matrixGiven;
  int32_t smoothScale;
  int32_t scaleAndRotate;
  double anchorX;  // 0..1 of the object's size
  double anchorY;
};
static_assert(sizeof(TransformRecord) == 128);
static_assert(offsetof(TransformRecord, anchorX) == 112);

struct ShadowRecord {
  int32_t on;
  uint32_t color;
  int32_t pen;
  int32_t size;
  int32_t direction;
  int32_t reserved;
  double radius;
  double sigma;
};

struct BorderRecord {
  int32_t on;
  uint32_t color;
  int32_t size;
  int32_t pen;
};

inline constexpr int kFilterKinds = 21;

struct FilterEntry {
  uint8_t reserved[2];
  uint8_t enabled;
  uint8_t priority;
  int32_t ints[4];
  float floats[4];
};
static_assert(sizeof(FilterEntry) == 36);

struct TagRecord {
  char name[256];
  char group[65];
  int32_t hidden;
  int32_t insertPosition;
  int32_t transparency;  // 0 opaque .. 255
  int32_t globalTransparency;
  ShadowRecord shadow;
  BorderRecord border;
  FilterEntry filters[kFilterKinds];
  int32_t hasEffects;
};
static_assert(sizeof(TagRecord) == 1160);
static_assert(offsetof(TagRecord, shadow) == 344);
static_assert(offsetof(TagRecord, filters) == 400);

// Flags of InitDrawRecord.
inline constexpr uint32_t kInitKeepSmoothScale = 0x10;

// One row of the filter table: a filter's name and its arguments.
enum FilterArgumentKind : int32_t { kFilterArgInt = 0, kFilterArgLevel = 1, kFilterArgFloat = 2 };
struct FilterKind {
  const char* name;
  int32_t argumentCount;
  int32_t argumentKinds[5];
  double defaults[5];
};

// Geometry filters; the others change colours only.
enum FilterKindNumber : int32_t {
  kFilterPixelate = 11,
  kFilterSwirl = 15,
  kFilterTint = 16,
  kFilterWaterRipple = 17,
  kFilterXFlip = 18,
  kFilterYFlip = 19,
  kFilterQuantize = 20,
};

// ---------------------------------------------------------------------------
// Collision tests

// What a collision test knows of an object: its box and the planes that say
// which of its pixels are solid. Each plane covers the box from (sourceX,
// sourceY) on. A pixel is solid when every plane the object has says so; an
// object without planes is solid all over its box.
struct CollisionShape {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  const BitmapHandle* mask;   // 1-bit: solid where set
  const BitmapHandle* alpha;  // 8-bit: solid where not 0
  const BitmapHandle* index;  // 8-bit pens: solid where not the transparent pen
  int32_t transparentPen;     // -1: none
  int32_t sourceX;
  int32_t sourceY;
  // A layer's visible area: solid where set; its first pixel lies at
  // (extraX, extraY) in the boxes' coordinates and nothing outside it is solid.
  const BitmapHandle* extraMask;
  int32_t extraX;
  int32_t extraY;
};

// ---------------------------------------------------------------------------
// Style blocks of the shared state

struct GradientStop {
  uint32_t color;
  double position;  // 0..1
};

struct GradientRecord {
  int32_t style;  // LINEAR 2, RADIAL 3, CONICAL 4
  uint32_t startColor;
  uint32_t endColor;
  int32_t colorCount;  // 0: two-colour gradient
  int32_t angle;
  int32_t reserved;
  GradientStop stops[64];
  double centerX;
  double centerY;
  double balance;
  double border;
};
static_assert(sizeof(GradientRecord) == 1080);

// What FillGradient fills: a rectangle of a buffer of 32-bit 0xAARRGGBB words.
// The gradient spans the whole rectangle; the part outside the buffer is not
// written.
struct GradientRequest {
  uint32_t* pixels;     // the buffer's first row
  int32_t bytesPerRow;  // a multiple of 4
  int32_t bufferWidth;
  int32_t bufferHeight;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  const GradientRecord* gradient;
};

struct DrawStyle {
  int32_t fillStyle;
  int32_t formStyle;
  int32_t drawPen;  // written by the display library
  int32_t reserved;
  GradientRecord gradient;
  ObjectId textureBrush;
  int32_t borderSize;
  uint32_t borderColor;
  int32_t borderPen;
  int32_t shadowSize;
  int32_t shadowDirection;
  uint32_t shadowColor;
  int32_t shadowPen;
  int32_t lineWidth;
  int32_t textureX;
  int32_t textureY;
};

// The text library owns the meaning of these fields and the font record.
struct TextStyle {
  int32_t flags;
  uint32_t fontColor;
  uint32_t shadowColor;
  uint32_t borderColor;
  uint32_t bulletColor;
  int32_t fontPen;
  int32_t shadowPen;
  int32_t borderPen;
  int32_t bulletPen;
  int32_t shadowSize;
  int32_t shadowDir;
  int32_t borderSize;
  text::FontRecord* font;
};

// ---------------------------------------------------------------------------
// Outputs: the target that drawing goes to

enum OutputKind : int32_t {
  kOutputBgPic = 1,
  kOutputBrush = 3,
  kOutputDisplay = 21,
  kOutputMask = 28,
  kOutputAlpha = 30,
};

struct PrintCursor {
  int32_t cursorX;
  int32_t cursorY;
  int32_t leftMargin;
  int32_t rightMargin;
  int32_t tabs[32];  // ascending
  int32_t tabCount;
};

struct OutputRecord;

// What the owner of an output does for graphics; the record's first word
// leads here. Every entry may be null.
struct OutputOps {
  // Pixels of the rectangle changed (a display shows them at its next refresh).
  void (*changed)(OutputRecord* output, int x, int y, int width, int height);
  // The output stops being current (told by the display library).
  void (*released)(OutputRecord* output);
};

// A drawing target, made by the library that owns it (display, brush ...).
// The graphics library draws into `color` (kind 0, or kind 3 for palette
// outputs), into `mask` for mask outputs and into `alpha` for alpha outputs.
struct OutputRecord {
  const OutputOps* ops;
  int32_t kind;     // OutputKind
  ObjectId object;  // the object drawn into
  void* owner;      // the owner's record: the DisplayRecord of a display output
  BitmapHandle* color;
  BitmapHandle* mask;
  BitmapHandle* alpha;
  int32_t width;
  int32_t height;
  int32_t mode;          // brush outputs: the mode word
  int32_t layers;        // non-zero when drawing makes layers
  int32_t paletteDepth;  // 0 for true colour, else pens are 0 .. 2^depth - 1
  const uint32_t* palette;
  Rect view;  // a display's inner view; width 0 = none
  Rect clip;  // drawing is kept inside; width 0 = the whole output
  PrintCursor cursor;
};

// ---------------------------------------------------------------------------
// The shared graphics state, inline at the end of the interface record

struct GraphicsState {
  uint8_t* scratch;  // EnsureBuffer's buffer
  int32_t scratchWord;
  int32_t scratchCapacity;  // in 16-byte entries
  TransformRecord transformDefaults;
  TagRecord drawTagDefaults;
  DrawStyle drawStyle;
  TextStyle textStyle;
};

// Bytes in one scratch-buffer entry (two doubles: a point).
inline constexpr int kScratchEntryBytes = 16;

// A quantisation on plain pixels (DitherToPalette); see the quantiser.
struct QuantizeRequest {
  // Source window: pixels of `sourceFormat`, read from (sourceX, sourceY).
  const uint8_t* source = nullptr;
  int sourceFormat = 0;
  int sourceBytesPerRow = 0;
  int sourceX = 0;
  int sourceY = 0;
  // 8-bit sources: their palette (0x00RRGGBB) and transparent pen (-1: none).
  const uint32_t* sourcePalette = nullptr;
  int sourceTransparentPen = -1;
  // Shape planes over the same window (null when absent): a clear mask bit or
  // an alpha byte below 255 makes a pixel transparent.
  const uint8_t* mask = nullptr;
  int maskBytesPerRow = 0;
  const uint8_t* alpha = nullptr;
  int alphaBytesPerRow = 0;

  // Destination index pixels and their window.
  uint8_t* index = nullptr;
  int indexBytesPerRow = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  uint32_t* palette = nullptr;  // 256 entries of 0x00RRGGBB; the colour map when remapping
  int colors = 256;             // wanted (1..256) in, obtained out
  int64_t transparentColor = -1;
  bool reserveEntry = false;    // the caller fills the transparency entry itself
  bool noTransparency = false;  // take hidden pixels' colours, make no entry for them
  bool dither = false;
  bool remap = false;               // map onto the first `colors` entries of `palette`
  bool keepTransparentPen = false;  // remapping: skip choosing a free pen for transparency

  int transparentPen = -1;  // out
  int success = 0;          // out: 0 when working memory could not be had
};

// A picture's planes reduced to pens (RemapToPalette): true-colour pixels in
// `color`, or pens in `index` with their palette and transparent pen.
struct RemapRequest {
  BitmapHandle* color;
  BitmapHandle* index;
  const uint32_t* sourcePalette;
  int32_t sourceTransparentPen;
  BitmapHandle* mask;
  BitmapHandle* alpha;
  uint32_t* palette;         // 256 entries: the result, or the palette to map onto
  int32_t colors;            // wanted in, obtained out
  int64_t transparentColor;  // -1: none
  uint32_t flags;            // kRemap...
  BitmapHandle* result;      // out: the new index bitmap
  int32_t transparentPen;    // out: -1 none
};
inline constexpr uint32_t kRemapDither = 0x01;
inline constexpr uint32_t kRemapOntoPalette = 0x02;  // map onto `palette`, choose no colours
inline constexpr uint32_t kRemapReserveEntry = 0x04;
inline constexpr uint32_t kRemapNoTransparency = 0x08;
inline constexpr uint32_t kRemapKeepTransparentPen = 0x10;

}  // namespace tzx::graphics
