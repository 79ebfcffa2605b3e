// The slots of the host's own sibling libraries that the five libraries call.
// A sibling's interface is an array of pointers; each struct below lays out the
// slots a caller uses, in the sibling's own order, with the unused slots kept as
// plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>

#include "tzx/types.h"

namespace tzx::graphics {
struct BitmapHandle;
}

namespace tzx {

// "object": the registry behind the generic object commands.
struct ObjectSibling {
  const void* slot0;
  // Forgets an object whose record is about to be freed.
  void (*forget)(lua_State* L, void* objectData);
  // Duplicates the per-object data for a copied object; 0 or an error code.
  int (*duplicate)(lua_State* L, void* objectData, void** newObjectData);
  void (*displayHook)(lua_State* L, int unused);
  void (*registerType)(int32_t type, const char* pluralName, ObjectHeader** listHead,
                       AttributeFn attribute, int unused, int unused2);
};
static_assert(offsetof(ObjectSibling, registerType) == 4 * sizeof(void*));

// "async": steps a prepared copy, move or delete operation on the script thread.
// The operation's record starts with this head; async calls `step` until it
// returns something other than kAsyncMore (0 when done, else an error code),
// then hands the record to `cleanUp`, which frees it. A cancelled operation
// goes to `cleanUp` between steps.
inline constexpr int kAsyncMore = -1;
struct AsyncOperation {
  int (*step)(lua_State* L, AsyncOperation* operation);
  void (*cleanUp)(lua_State* L, AsyncOperation* operation);
  int32_t busy;  // set by async while a step runs (it may run script code)
};
struct AsyncSibling {
  const void* slots0to7[8];
  int (*start)(lua_State* L, AsyncOperation* operation);
};
static_assert(offsetof(AsyncSibling, start) == 8 * sizeof(void*));

// "time": date parsing and the default entry date.
struct DateRecord;
struct TimeSibling {
  int (*parseDate)(const char* text, DateRecord* out);
  const void* slot1;
  void (*defaultDate)(DateRecord* out);
};
static_assert(offsetof(TimeSibling, defaultDate) == 2 * sizeof(void*));

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

// "palette": palettes and pens of palette objects.
// What a palette operation works on: the planes of a palette object (a brush)
// in plain memory. Operations change them in place; depth and transparentPen
// come back changed where the operation says so.
struct PaletteTarget {
  uint32_t* palette;       // 256 entries 0x00RRGGBB
  int32_t depth;           // 1..8: pens 0 .. 2^depth - 1 are in use
  int32_t transparentPen;  // -1 when none
  uint8_t* pens;           // one pen per pixel; null when the object has none
  int32_t width;
  int32_t height;
  int32_t bytesPerRow;
};

// Operation codes of PaletteSibling::operate.
enum PaletteOperation : int32_t {
  kPaletteGetPen = 1,             // result = the pen's colour
  kPaletteSetPalette = 2,         // copies the palette `palette`
  kPaletteSetPen = 4,             // sets the pen's colour
  kPaletteSetTransparentPen = 5,  // pen -1 removes it
  kPaletteSetDepth = 6,
};

struct PaletteOperationArgs {
  int32_t pen;
  uint32_t color;
  int32_t depth;
  ObjectId palette;
  // Stack index of the command's option table, 0 when none; the operation
  // reads its own keys from it.
  int32_t optionsIndex;
  uint32_t result;  // kPaletteGetPen
};

// The palette with this number always exists: 256 colours, depth 8.
inline constexpr int32_t kDefaultPaletteId = -983;

// Values of the published mode word.
enum PaletteMode : int32_t {
  kPaletteModePen = 0,    // colours are not matched to pens: the draw pen is used
  kPaletteModeRemap = 1,  // colours are matched to the nearest pen
};

struct PaletteSibling {
  // Slot 0: the mode word, read in place.
  const int32_t* mode;
  // Slot 1: applies an operation to an object of the type (3 brushes) whose
  // planes the target describes; 0 or an error code.
  int (*operate)(lua_State* L, int32_t type, const ObjectId* id, PaletteTarget* target,
                 int32_t operation, PaletteOperationArgs* args);
  // Slot 2: builds an object's palette from the palette with the given
  // identifier: fills target->palette (256 entries), and sets target->depth
  // (the palette's own when `depth` is 0) and target->transparentPen (the
  // palette's own when `transparentPen` is -1); 0 or an error code.
  int (*buildPalette)(lua_State* L, const ObjectId* palette, int32_t depth, int32_t transparentPen,
                      PaletteTarget* target);
};
static_assert(offsetof(PaletteSibling, operate) == 1 * sizeof(void*));
static_assert(offsetof(PaletteSibling, buildPalette) == 2 * sizeof(void*));

// "filters": the pixel algorithms of the brush filter commands and of the
// draw tags' filters. Every operation works in place on the planes it is
// given and returns 0 or an error code, unless it says otherwise.
// - A colour target is a colour bitmap, or the 256 × 1 view of a palette, so
//   that a palette picture changes its colours and keeps its pens.
// - An image is the colour bitmap of a true-colour picture.
// - Shape planes are the colour bitmap, mask and alpha channel, or (none,
//   none, pens) for a palette picture; they move pixels.
// Planes an operation hands back are made through the graphics library and
// belong to the caller.

// Letter codes of the convolution effects (slot 2).
enum FilterConvolution : int32_t {
  kConvolveBlur = 'b',
  kConvolveEmboss = 'e',
  kConvolveEdge = 'g',
  kConvolveSharpen = 's',
};

// Methods of the distortions (slot 16) and the numbers they read.
enum FilterDistortion : int32_t {
  // 16 numbers: four groups of source x, source y, destination x, destination
  // y for the top-left, top-right, bottom-right and bottom-left corners.
  kDistortPerspective = 4,
  kDistortArc = 9,      // up to 4
  kDistortPolar = 10,   // up to 6
  kDistortBarrel = 12,  // up to 10
};

struct FiltersSibling {
  // Slot 0: grey; the last two words are 0.
  int (*grayscale)(graphics::BitmapHandle* target, int width, int height, int, int);
  // Slot 1: invert; the last word is 0.
  int (*invert)(graphics::BitmapHandle* target, int width, int height, int);
  // Slot 2: the convolution the code selects. Blur reads radius and sigma;
  // emboss and sharpen radius with sigma 0 and gain 1.0; edge radius alone
  // (the others 0).
  int (*convolve)(int code, graphics::BitmapHandle* image, graphics::BitmapHandle* alpha, int width,
                  int height, double radius, double sigma, double gain);
  // Slot 3: solarize above the threshold (0..255).
  int (*solarize)(graphics::BitmapHandle* target, int width, int height, int threshold);
  // Slot 4: gamma per channel.
  int (*gamma)(graphics::BitmapHandle* target, int width, int height, double red, double green,
               double blue);
  // Slot 5: contrast; the last word is 0.
  int (*contrast)(graphics::BitmapHandle* target, int width, int height, int amount, int steps,
                  int);
  // Slot 6: modulate.
  int (*modulate)(graphics::BitmapHandle* target, int width, int height, double brightness,
                  double saturation, double hue);
  const void* slot7;
  // Slot 8: sepia tone.
  int (*sepia)(graphics::BitmapHandle* image, int width, int height, int level);
  // Slot 9: charcoal, with sigma 0 and gain 1.0.
  int (*charcoal)(graphics::BitmapHandle* image, graphics::BitmapHandle* alpha, int width,
                  int height, double radius, double sigma, double gain);
  // Slot 10: swirl by the degrees.
  int (*swirl)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
               graphics::BitmapHandle* third, int width, int height, int degrees);
  // Slot 11: pixelate in blocks of the size.
  int (*pixelate)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                  graphics::BitmapHandle* third, int width, int height, int size);
  // Slot 12: monochrome.
  int (*monochrome)(graphics::BitmapHandle* image, int width, int height, int level);
  // Slot 13: water ripple around the centre (fractions of the size).
  int (*waterRipple)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                     graphics::BitmapHandle* third, int width, int height, int wavelength,
                     int amplitude, int phase, double centerX, double centerY);
  // Slot 14: oil paint.
  int (*oilPaint)(graphics::BitmapHandle* image, int width, int height, double radius);
  // Slot 15: inverts every byte of an 8-bit plane or a mask, locked for
  // writing.
  int (*invertPlane)(uint8_t* pixels, int height, int bytesPerRow);
  // Slot 16: distorts the planes by the method with `count` numbers into new
  // planes and their size. `smooth` asks for interpolation (callers pass 0
  // with pens); `transparentPen` is the pens' transparent pen, -1 for none.
  int (*distort)(graphics::BitmapHandle* color, graphics::BitmapHandle* mask,
                 graphics::BitmapHandle* alpha, graphics::BitmapHandle* pens, int width, int height,
                 int method, int count, const double* numbers, int smooth, int transparentPen,
                 graphics::BitmapHandle** outColor, graphics::BitmapHandle** outMask,
                 graphics::BitmapHandle** outAlpha, graphics::BitmapHandle** outPens, int* outWidth,
                 int* outHeight);
  // Slot 17: the alpha channel of a shadow (border 0) or border (1) of a
  // picture's shape, taken from its alpha channel, mask or pens without the
  // transparent pen; grown by the radius on every side and scaled to the
  // opacity (0..255). A new alpha channel, or null. The two words are 0.
  graphics::BitmapHandle* (*shadowAlpha)(const graphics::BitmapHandle* alpha,
                                         const graphics::BitmapHandle* mask,
                                         const graphics::BitmapHandle* pens, int transparentPen,
                                         int, int, int width, int height, double radius,
                                         double sigma, int opacity, int border);
};
static_assert(offsetof(FiltersSibling, grayscale) == 0 * sizeof(void*));
static_assert(offsetof(FiltersSibling, invert) == 1 * sizeof(void*));
static_assert(offsetof(FiltersSibling, convolve) == 2 * sizeof(void*));
static_assert(offsetof(FiltersSibling, solarize) == 3 * sizeof(void*));
static_assert(offsetof(FiltersSibling, gamma) == 4 * sizeof(void*));
static_assert(offsetof(FiltersSibling, contrast) == 5 * sizeof(void*));
static_assert(offsetof(FiltersSibling, modulate) == 6 * sizeof(void*));
static_assert(offsetof(FiltersSibling, sepia) == 8 * sizeof(void*));
static_assert(offsetof(FiltersSibling, charcoal) == 9 * sizeof(void*));
static_assert(offsetof(FiltersSibling, swirl) == 10 * sizeof(void*));
static_assert(offsetof(FiltersSibling, pixelate) == 11 * sizeof(void*));
static_assert(offsetof(FiltersSibling, monochrome) == 12 * sizeof(void*));
static_assert(offsetof(FiltersSibling, waterRipple) == 13 * sizeof(void*));
static_assert(offsetof(FiltersSibling, oilPaint) == 14 * sizeof(void*));
static_assert(offsetof(FiltersSibling, invertPlane) == 15 * sizeof(void*));
static_assert(offsetof(FiltersSibling, distort) == 16 * sizeof(void*));
static_assert(offsetof(FiltersSibling, shadowAlpha) == 17 * sizeof(void*));

// "offscreen": drawing into planes that are not a display.
// The planes that become the drawing target; the caller keeps them.
struct OffscreenPlanes {
  ObjectId object;                // the object drawn into (for brushes, the brush)
  int32_t kind;                   // the output kind: 3 colour or pens, 28 mask, 30 alpha channel
  graphics::BitmapHandle* color;  // kind 0, or kind 3 pens with palette
  graphics::BitmapHandle* mask;
  graphics::BitmapHandle* alpha;
  int32_t width;
  int32_t height;
  int32_t paletteDepth;  // 0 for true colour
  const uint32_t* palette;
};

using OffscreenDrawFn = int (*)(lua_State* L, void* data);

struct OffscreenSibling {
  // Slot 0: makes the planes the graphics library's current output, runs
  // `draw`, and gives the previous output back; draw's result, or an error
  // code when the output cannot be made.
  int (*redirect)(lua_State* L, const OffscreenPlanes* planes, OffscreenDrawFn draw, void* data);
};

// "event": the host's event queue. Window and input events of displays and
// the messages of dos's workers become script events there, delivered to the
// handler functions scripts install.

// Event codes of display events (slot 3).
enum DisplayEventCode : int32_t {
  kEventLeftButton = 1,   // x, y, 1 down / 0 up
  kEventRightButton = 2,  // x, y, 1 / 0
  kEventKey = 3,          // 1 down / 0 up, 0, key code (character pass)
  kEventMoved = 4,        // the window moved
  kEventResized = 5,      // the window changed size
  kEventDeactivated = 6,
  kEventClose = 7,  // the user asked to close the window
  kEventActivated = 8,
  kEventMinimized = 9,
  kEventRestored = 10,
  kEventWheelUp = 11,    // screen x, screen y
  kEventWheelDown = 12,  // screen x, screen y
  kEventMenu = 13,
  kEventDropFiles = 14,     // x, y, names, count (below)
  kEventClipboard = 15,     // another program changed the clipboard
  kEventMiddleButton = 16,  // x, y, 1 / 0
  kEventTrayIcon = 21,
  kEventCharacter = 28,  // 0, 0, code point
  kEventRawKey = 29,     // 1 down / 0 up, 0, key code (raw pass)
};

struct EventSibling {
  const void* slots0to2[3];
  // Slot 3: raises an event of a display; callable from any thread, it only
  // queues. `display` is the display's record, which begins with an
  // ObjectHeader. For kEventDropFiles, c is a block from the host's memory
  // holding d NUL-terminated UTF-8 names one after another; the event sibling
  // takes it over and frees it.
  void (*raise)(const void* display, int32_t code, intptr_t a, intptr_t b, intptr_t c, intptr_t d);
  // Slot 4: takes the oldest queued key event of a display for a line input:
  // a raw key (kEventRawKey, down or up) or a character (kEventCharacter);
  // the other events stay queued. 1 with the event, 0 when none is queued.
  int (*takeKeyEvent)(const ObjectId* display, int32_t* code, intptr_t* a, intptr_t* c);
  // Slot 5: waits until something arrives for the script thread and handles
  // it; 0, the host's error when the script is stopped meanwhile, or
  // kErrNoEventSource when no key can ever come (no window system).
  int (*waitKeyEvent)(lua_State* L);
  // Slot 6: the keys held so far no longer count as held (their releases
  // went elsewhere, for instance to a program the script started).
  void (*forgetKeys)(const void* display);
};
static_assert(offsetof(EventSibling, raise) == 3 * sizeof(void*));
static_assert(offsetof(EventSibling, takeKeyEvent) == 4 * sizeof(void*));
static_assert(offsetof(EventSibling, forgetKeys) == 6 * sizeof(void*));

// "clipboard": the text of the system's clipboard.
struct ClipboardSibling {
  // Slot 0: the clipboard's text as UTF-8 in a block of the host's memory,
  // which the caller frees; null when the clipboard holds no text.
  char* (*getText)();
};
static_assert(offsetof(ClipboardSibling, getText) == 0);

// What dos's workers post (ThreadServices::postMessage, data = the record)
// with the messages kMsgProgramFinished, kMsgDirectoryChanged,
// kMsgProgramOutput and kMsgDirectoryReport. The record is one block from the
// host's memory with the text after it; the event sibling frees it once the
// event is delivered.
struct WorkerEventMessage {
  ObjectId object;  // the watched directory (11, 15); {0, null} for runs
  // Registry reference handed to the handler as "userdata", kNoRef for none;
  // the poster keeps owning it.
  int32_t userData;
  // Program finished: the exit code. Directory report: 0 added, 1 removed,
  // 2 modified.
  int32_t value;
  // Program finished: the dos ProgramRun, handed back through dos slot 1 once
  // the event is delivered; else null.
  void* run;
  uint32_t length;  // bytes of text
  // Program finished: the program; program output: the chunk; directory
  // report: the entry's name; directory changed: empty.
  char text[1];
};

}  // namespace tzx
