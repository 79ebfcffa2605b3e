// The interface graphics.tzx hands its siblings: bitmaps, blits, placement,
// the central draw and the shared graphics state. Members are the slots in
// slot order; a null slot is one this build does not offer, so callers test
// slots they cannot rely on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/graphics_images.h"
#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx {
struct UserTags;
struct ImagePlane;
struct SaveTag;
}  // namespace tzx

namespace tzx::graphics {

inline constexpr int kFunctionSlots = 168;
inline constexpr int kSharedVariableSlots = 13;
inline constexpr int kInterfaceSlots = kFunctionSlots + kSharedVariableSlots;

// ---------------------------------------------------------------------------
// What graphics calls in its siblings to draw their objects.
//
// brush, slot 0: FindBrush(L, id, out, access) of tzx/brush.h -> 0 or an
// error code that the draw returns unchanged. DrawObject asks with access 0x10
// for a brush (type 3) and 0x18 for a brush part (type 12), so that a vector
// brush's part is refused there. The record handed back begins with the fields
// of BrushRecordHead: the brush library's BrushRecord extends it. DrawObject
// reads them and changes nothing.
// brush, slot 9: RebuildBrushes(dropHardware, keepHardware), called by
// NotifyObjectLibraries.
inline constexpr unsigned kFindForDraw = 0x10;
inline constexpr unsigned kFindForDrawPart = 0x18;

struct BrushRecordHead {
  ObjectHeader header;       // type 3, id, object data, next
  ImageObject* imageObject;  // the picture behind the planes, or null
  BitmapHandle* bitmap;      // true-colour planes ...
  BitmapHandle* mask;
  BitmapHandle* alpha;
  BitmapHandle* chunky;  // ... or the pens of a palette brush
  uint32_t* palette;     // 256 entries with chunky
  BitmapHandle* paletteView;
  uint8_t* cycles;  // colour-cycling ranges, 6 bytes each
  int32_t cycleCount;
  int32_t width;
  int32_t height;
  int32_t rowWidth;
  int32_t depth;
  int32_t busy;
  int32_t detached;
  // Palette brushes: the pen drawn as transparent, -1 none; true-colour
  // brushes: the key colour of their mask.
  int32_t transparentPen;
  int32_t transformed;  // vector brushes: the matrix is not the identity
  int32_t kind;         // 0 raster, 1 vector
  int32_t sourceX;
  int32_t sourceY;
  int32_t sourceWidth;
  int32_t sourceHeight;
  int32_t hardware;
  uint32_t hwFlags;
  ObjectId displayId;
  void* displayKey;  // the display a hardware brush belongs to
};

// ---------------------------------------------------------------------------
// The central draw's request (slot 2), in the order of its words.

// Flags of DrawObjectArgs.
inline constexpr uint32_t kDrawRecordTransformFirst = 0x10;
inline constexpr uint32_t kDrawForceEffects = 0x400;

// Object types the draw finds by itself.
enum DrawObjectType : int32_t {
  kDrawBitmap = 0,  // the bitmap, mask and alpha of the request
  kDrawBrush = 3,
  kDrawAnimFrame = 4,
  kDrawTextObject = 8,
  kDrawTextOut = 9,
  kDrawPrint = 11,
  kDrawBrushPart = 12,
  kDrawBgPic = 13,
  kDrawVideo = 50,
};

struct DrawObjectArgs {
  BitmapHandle* mask = nullptr;   // direct bitmap draws: the bitmap's mask
  BitmapHandle* alpha = nullptr;  // direct bitmap draws: its alpha channel
  int32_t type = 0;               // DrawObjectType
  const ObjectId* id = nullptr;
  BitmapHandle* bitmap = nullptr;  // direct bitmap draws: the colour bitmap
  int32_t frame = 0;
  int32_t sourceX = 0;
  int32_t sourceY = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;  // 0 with 0 height: the object's size (brushes, bitmaps)
  int32_t height = 0;
  int32_t tagIndex = 0;  // argument index of the draw-tag table, 0 = none
  // A pre-parsed draw record, or both null to parse the tags.
  TransformRecord* transform = nullptr;
  TagRecord* tags = nullptr;
  ImageObject* image = nullptr;  // draws this picture when set
  int32_t outFlags[2] = {};      // cleared at entry
  uint32_t flags = 0;
};

// ---------------------------------------------------------------------------
// The interface record.

struct GraphicsInterface {
  // Drawing to the output and shared services
  int (*NotifyObjectLibraries)(int argument);  // 0
  // Draws a mask, alpha or index source in one colour (or pen, -1 = the draw
  // pen) into the current output; level 0..255 scales its opacity.
  int (*DrawColoredMask)(const BitmapHandle* source, int sourceX, int sourceY, int x, int y,
                         int width, int height, uint32_t color, int pen, int level);  // 1
  int (*DrawObject)(lua_State* L, DrawObjectArgs* args);                              // 2

  // Placement
  int (*ResolveX)(int x, int size, int areaWidth, double anchor);                        // 3
  int (*ResolveY)(int y, int size, int areaHeight, double anchor);                       // 4
  int (*ResolveKeepAspect)(int sourceWidth, int sourceHeight, int* width, int* height);  // 5
  // Non-zero when the intersection is not empty.
  int (*IntersectRect)(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2, int* x,
                       int* y, int* w, int* h);  // 6

  // Draw record and draw tags
  void (*GetTransformDefaults)(TransformRecord* out);  // 7
  void (*GetDrawTagDefaults)(TagRecord* out);          // 8
  void (*InitDrawRecord)(TransformRecord* transform, TagRecord* tags, int width, int height,
                         int smoothScale, uint32_t flags);  // 9
  int (*ParseDrawTags)(lua_State* L, int index, int sourceWidth, int sourceHeight, int width,
                       int height, int smoothScale, TransformRecord* transform, TagRecord* tags,
                       uint32_t flags);  // 10
  int (*ParseFiltersTag)(lua_State* L, int table, FilterEntry* entries, int* given,
                         int* error);                                                         // 11
  int (*ParseShadowTags)(lua_State* L, int table, ShadowRecord* shadow, int, int);            // 12
  int (*ParseBorderTags)(lua_State* L, int table, int edgeNames, BorderRecord* border, int);  // 13
  int (*HasFilters)(const FilterEntry* entries);                                              // 14
  int (*HasNonGeometryFilters)(const FilterEntry* entries);                                   // 15
  int (*HasOtherFilters)(const FilterEntry* entries);                                         // 16
  int (*IsGeometryFilter)(int kind);                                                          // 17
  int (*ParseSaveOptions)(lua_State* L, int index, SaveOptions* out);                         // 18
  // The record's effects on a true-colour set; the object's place in the
  // grown planes comes back in originX and originY.
  int (*ApplyDrawEffects)(lua_State* L, TransformRecord* transform, TagRecord* tags,
                          BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                          int* width, int* height, int* originX, int* originY);  // 19
  // Folds a transparency 0..255 into the alpha channel (made from the mask).
  int (*ApplyTransparencyLevel)(BitmapHandle** alpha, BitmapHandle** mask, int width, int height,
                                int transparency);  // 20

  // Clipping; each returns non-zero when something is left to copy.
  int (*ClipBlitToTarget)(const Rect* region, int* sourceX, int* sourceY, int* x, int* y,
                          int* width, int* height, int sourceWidth, int sourceHeight,
                          int targetWidth, int targetHeight, int regionFlag);  // 21
  int (*ClipBlitToRegion)(const Rect* clip, int* sourceX, int* sourceY, int* x, int* y, int* width,
                          int* height, int sourceWidth, int sourceHeight);  // 22

  // Blits and bitmap access
  int (*BlitMaskedToBitmap)(const BitmapHandle* source, const BitmapHandle* mask, int sourceX,
                            int sourceY, BitmapHandle* target, BitmapHandle* targetMask, int x,
                            int y, int width, int height);  // 23
  int (*IsIndexBitmap)(const BitmapHandle* bitmap);         // 24
  // A region as 0xAARRGGBB words, allocated from the host (HostFree); alpha
  // comes from the alpha channel, else from the mask (0 or 255), else from the
  // pixels' own alpha byte (0 for formats without one).
  uint32_t* (*BitmapToARGBArray)(const BitmapHandle* color, const BitmapHandle* mask,
                                 const BitmapHandle* alpha, int x, int y, int width,
                                 int height);                                              // 25
  int (*LockBitmap)(void* bitmapOrStore, uint32_t flags, LockRecord* lock);                // 26
  void (*UnlockBitmap)(LockRecord* lock);                                                  // 27
  void (*FreeBitmapSet)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha);  // 28
  int (*BlitBitmap)(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                    int x, int y, int width, int height);  // 29
  int (*BlitBitmapMasked)(const BitmapHandle* source, const BitmapHandle* mask, int sourceX,
                          int sourceY, BitmapHandle* target, int x, int y, int width,
                          int height);  // 30
  // Blends the source over the target through its alpha channel, with the
  // opacity scaled by level (255 = as the channel says).
  int (*BlitBitmapAlpha)(const BitmapHandle* source, const BitmapHandle* alpha, int sourceX,
                         int sourceY, BitmapHandle* target, int x, int y, int width, int height,
                         int level);  // 31
  int (*BlitAlphaToAlpha)(const BitmapHandle* source, int sourceX, int sourceY,
                          BitmapHandle* target, int x, int y, int width, int height,
                          int mode);  // 32
  int (*CopyBitmapPixels)(const BitmapHandle* source, int sourceX, int sourceY,
                          BitmapHandle* target, int x, int y, int width, int height);  // 33
  BitmapHandle* (*CopyBitmapRect)(const BitmapHandle* source, int x, int y, int width,
                                  int height);  // 34
  // Flags kConvert... (graphics_records.h); kConvertTakePixels hands the
  // pixels' block over.
  int (*ConvertBitmapSet)(const uint32_t* pixels, uint32_t transparentColor, int width, int height,
                          int rowLength, int hardware, uint32_t flags, void* display,
                          BitmapHandle** color, BitmapHandle** mask,
                          BitmapHandle** alpha);  // 35
  int (*FillBitmapRect)(BitmapHandle* bitmap, int x, int y, int width, int height,
                        uint32_t color);  // 36
  // Fills the target with a colour through an 8-bit coverage source.
  int (*FillAlphaRect)(const BitmapHandle* coverage, int sourceX, int sourceY, BitmapHandle* target,
                       int x, int y, int width, int height, uint32_t color,
                       int level);                                       // 37
  intptr_t (*GetBitmapAttr)(const BitmapHandle* bitmap, int attribute);  // 38
  int (*BlitOrFill)(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                    int x, int y, int width, int height, uint32_t color);                  // 39
  int (*CreateBitmapFromTarget)(int x, int y, int width, int height, BitmapHandle** out);  // 40
  // Copies between an array of 0xAARRGGBB words and a bitmap set, in the
  // direction of toBitmaps.
  int (*CopyRGBArray)(uint32_t* pixels, int rowLength, BitmapHandle* color, BitmapHandle* mask,
                      BitmapHandle* alpha, int x, int y, int width, int height,
                      int toBitmaps);  // 41
  int (*DrawBitmapScaled)(const BitmapHandle* source, int sourceX, int sourceY, int sourceWidth,
                          int sourceHeight, BitmapHandle* target, int x, int y, int width,
                          int height, int smooth);                                   // 42
  int (*CombineAlpha)(BitmapHandle* target, const BitmapHandle* source, int level);  // 43
  int (*BlitBitmapTransparent)(const BitmapHandle* source, int sourceX, int sourceY,
                               BitmapHandle* target, int x, int y, int width, int height,
                               uint32_t transparentColor);  // 44

  // Text blits: clip like ClipBlitToTarget without a region, then copy (mode 0)
  // or blend with the level (mode 1).
  using TextBlitFn = int (*)(const BitmapHandle* source, int sourceX, int sourceY,
                             BitmapHandle* target, int x, int y, int width, int height,
                             int sourceWidth, int sourceHeight, int targetWidth, int targetHeight,
                             int mode, int level);
  TextBlitFn BlitTextMask;   // 45
  TextBlitFn BlitTextAlpha;  // 46
  TextBlitFn BlitTextPlane;  // 47: an 8-bit plane
  TextBlitFn BlitTextColor;  // 48: colour pixels
  // Sets the colour (or pen) where the mask's bits are set.
  int (*FillMaskRect)(const BitmapHandle* mask, int sourceX, int sourceY, BitmapHandle* target,
                      int x, int y, int width, int height, uint32_t color);  // 49
  // Copies (mode 0) or ORs (mode 1) mask bits.
  int (*CopyMaskToMask)(const BitmapHandle* source, int sourceX, int sourceY, BitmapHandle* target,
                        int x, int y, int width, int height,
                        int mode);                                             // 50
  int (*LoadImageFile)(lua_State* L, const char* file, LoadRequest* request);  // 51
  int (*ClipRect)(int* x, int* y, int* width, int* height, int boundsX, int boundsY,
                  int boundsWidth, int boundsHeight);                // 52
  int (*MergeAlpha)(BitmapHandle* alpha, const BitmapHandle* mask);  // 53
  BitmapHandle* (*GetBitmapPixels)(BitmapHandle* bitmap, uint8_t** pixels, int* bytesPerRow,
                                   int write);         // 54
  void (*ReleaseBitmapPixels)(BitmapHandle* bitmap);   // 55
  uint32_t (*AdapterBitmapFlags)(uint32_t requested);  // 56
  int (*DrawRectAlpha)(OutputRecord* output, int x, int y, int width, int height, uint32_t color,
                       int level);  // 57

  // Colour effects
  // 0, or 1000 when working memory could not be had.
  int (*DitherToPalette)(QuantizeRequest* request);  // 58
  // Allocates the index bitmap (1648), locks the planes (1152), quantises.
  int (*RemapToPalette)(RemapRequest* request);  // 59
  // target = source × level / 255, over the first `height` rows.
  int (*ScaleAlpha)(const BitmapHandle* source, BitmapHandle* target, int height, int level);  // 60
  int (*CropBitmapSet)(const BitmapHandle* color, const BitmapHandle* mask,
                       const BitmapHandle* alpha, const BitmapHandle* index,
                       const uint32_t* palette, int x, int y, int width, int height,
                       BitmapHandle** outColor, BitmapHandle** outMask, BitmapHandle** outAlpha,
                       BitmapHandle** outIndex, uint32_t** outPalette);  // 61
  // Non-zero when the pen exists in the current output (always for true colour).
  int (*UsesPenRange)(int pen);  // 62
  int (*TintBitmap)(BitmapHandle* bitmap, int x, int y, int width, int height, uint32_t color,
                    int level);  // 63
  // The source mixed into the target's top-left part; palette sides (index
  // bitmaps) give their palettes, a palette target its depth.
  int (*MixBitmaps)(BitmapHandle* target, const uint32_t* targetPalette, int targetDepth,
                    const BitmapHandle* source, const uint32_t* sourcePalette, int width,
                    int height, int level);  // 64
  // With a palette the pens are in *index and colour filters change the palette.
  int (*ApplyFilters)(lua_State* L, const FilterEntry* entries, BitmapHandle** color,
                      BitmapHandle** mask, BitmapHandle** alpha, BitmapHandle** index,
                      uint32_t* palette, int width, int height, int geometryOnly);  // 65
  int (*ConvertToOutputFormat)(BitmapHandle** bitmap);                              // 66
  int (*RemovePaletteFromBitmap)(BitmapHandle** index, const uint32_t* palette,
                                 BitmapHandle** color);  // 67
  int (*DrawToDisplay)(OutputRecord* output, const BitmapHandle* source, int sourceX, int sourceY,
                       int x, int y, int width, int height);                     // 68
  int (*ClearRect)(int x, int y, int width, int height, uint32_t color);         // 69
  int (*ClearRectCurrent)(int x, int y, int width, int height, uint32_t color);  // 70

  // Bitmap fields and pixels
  void* (*GetBitmapData)(const BitmapHandle* bitmap);                               // 71
  void (*SetBitmapData)(BitmapHandle* bitmap, void* data);                          // 72
  void (*MarkBitmapChanged)(BitmapHandle* bitmap);                                  // 73
  uint32_t (*ReadPixel)(const BitmapHandle* bitmap, int x, int y, int raw);         // 74
  void (*WritePixel)(BitmapHandle* bitmap, int x, int y, uint32_t color, int raw);  // 75
  int (*DrawLineMask)(BitmapHandle* mask, int x1, int y1, int x2, int y2);          // 76
  TextBlitFn BlitTextPen;                                                           // 77
  int (*CreateTextureBitmap)(const BitmapHandle* texture, int width, int height, int x, int y,
                             BitmapHandle** out);  // 78
  int (*FormatBytesPerPixel)(int format);          // 79
  int (*FormatDepth)(int format);                  // 80: -1 (no output) gives 32
  int (*DepthForColorCount)(int count);            // 81
  // 82: the nearest pen in the current output's palette, or the draw pen in
  // the palette library's pen mode.
  int (*MapColorToPen)(uint32_t color);
  int (*FindNearestPen)(uint32_t color, const uint32_t* palette, int depth);  // 83
  // Copies the current output's palette (256 entries); its depth, 0 without one.
  int (*GetDefaultPalette)(uint32_t* out);     // 84
  int (*PenMatches)(int pen, uint32_t color);  // 85

  // Whole-image operations of later topics
  int (*RotateBitmapSet)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                         BitmapHandle** index, int width, int height, const double matrix[4],
                         int smooth, int* newWidth, int* newHeight);                     // 86
  int (*AdapterConvert)(BitmapHandle* bitmap, int format);                               // 87
  BitmapHandle* (*CreateAlphaFromMask)(const BitmapHandle* mask);                        // 88
  int (*CreateOutlineBitmap)(const BitmapHandle* source, int size, BitmapHandle** out);  // 89
  void (*ApplyRecordTransform)(TransformRecord* transform, int width, int height);       // 90
  void (*ScaleMatrix)(double matrix[4], double scaleX, double scaleY);                   // 91
  void (*GetTransformedSize)(const double matrix[4], int width, int height, int* outWidth,
                             int* outHeight);  // 92
  int (*RectInside)(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2,
                    int by2);                                                           // 93
  int (*RectsOverlap)(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh);  // 94
  // 1 when the two objects share a solid pixel, else 0; kErrLockBitmap when a
  // plane cannot be read.
  int (*CollisionTest)(const CollisionShape* a, const CollisionShape* b);  // 95
  int (*ClipSourceToBounds)(int* x, int* y, int* width, int* height, int boundsWidth,
                            int boundsHeight);                            // 96
  int (*ReplaceColor)(BitmapHandle* bitmap, uint32_t from, uint32_t to);  // 97
  uint32_t (*ConvertPixel)(uint32_t pixel, int format, int keepAlpha);    // 98

  // Image objects
  ImageObject* (*CreateImageObject)(int type, int width, int height, const uint32_t* source,
                                    void* data, ImageDrawFn draw, ImageFreeFn freeData);  // 99
  void (*ReleaseImageObject)(ImageObject* image);                                         // 100
  void (*FreeImageObjectData)(ImageObject* image);                                        // 101
  int (*GetImageObjectType)(const ImageObject* image);                                    // 102
  void (*GetImageObjectSize)(const ImageObject* image, int* width, int* height);          // 103
  ImageObject* (*RetainImageObject)(ImageObject* image);                                  // 104
  void (*SetImageObjectData)(ImageObject* image, void* data, ImageFreeFn freeData);       // 105
  void (*SetImageObjectFields)(ImageObject* image, int type, int width, int height);      // 106
  int (*RasterizeImageObject)(ImageObject* image, int width, int height, const double matrix[4],
                              BitmapHandle** color, BitmapHandle** mask,
                              BitmapHandle** alpha);                       // 107
  int (*DrawImageObject)(lua_State* L, ImageObject* image, int x, int y);  // 108
  ImageObject* (*CloneImageObject)(const ImageObject* image);              // 109
  void* (*EnsureBuffer)(int entries);                                      // 110

  // Scaling and transformation
  int (*ScaleBitmap)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                     BitmapHandle** index, int width, int height, int newWidth, int newHeight,
                     int smooth);  // 111
  int (*RotateBitmap)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                      BitmapHandle** index, int width, int height, double angle, int smooth,
                      int* newWidth, int* newHeight);  // 112
  int (*ScalePixelsTo)(const uint8_t* pixels, int bytesPerRow, int format, int width, int height,
                       uint8_t** target, int newWidth, int newHeight,
                       int smooth);  // 113
  int (*ScalePixels)(const uint8_t* pixels, int bytesPerRow, uint8_t* target, int targetBytesPerRow,
                     int format, int width, int height, int newWidth, int newHeight,
                     int smooth);                   // 114
  int (*IsIdentityMatrix)(const double matrix[4]);  // 115
  void (*MatrixBounds)(const double matrix[4], int width, int height, int* x, int* y, int* outWidth,
                       int* outHeight);                                                    // 116
  int (*ScaleAlphaOrMask)(BitmapHandle** plane, int newWidth, int newHeight, int smooth);  // 117
  // Mirrors every present plane in place (horizontal: left and right swap).
  int (*FlipBitmapSet)(BitmapHandle* color, BitmapHandle* mask, BitmapHandle* alpha,
                       BitmapHandle* index, int horizontal);  // 118

  // Image cache
  void (*FreeImageCache)();                                                        // 119
  int (*CacheStore)(const char* key, const CachedImage* image);                    // 120
  int (*CacheLookup)(const char* key, int wantAlpha, CachedImage* out);            // 121
  int (*FindDrawItemRect)(lua_State* L, int type, const ObjectId* id, Rect* out);  // 122
  int (*AdapterFormat)(int format);                                                // 123
  int (*ApplyFilterToBitmap)(lua_State* L, int kind, const FilterEntry* entry, BitmapHandle** color,
                             BitmapHandle** mask,
                             BitmapHandle** alpha);                                // 124
  int (*NeedsOffscreen)(const TransformRecord* transform, const TagRecord* tags);  // 125
  int (*DrawBrushLayer)(lua_State* L, const ObjectId* id, int x, int y);           // 126
  void (*ClampNonNegative)(int32_t values[4]);                                     // 127

  // Matrices and boxes
  void (*BuildTransformMatrix)(TransformRecord* transform, int width, int height, int sourceWidth,
                               int sourceHeight);  // 128
  void (*IdentityMatrix)(double matrix[4]);        // 129
  void (*TransformBoxSize)(const double matrix[4], int width, int height, int* outWidth,
                           int* outHeight);  // 130
  void (*TransformBoxCorners)(const double matrix[4], int width, int height,
                              double corners[8]);                               // 131
  void (*PolygonBounds)(const double* points, int count, double bounds[4]);     // 132
  void (*TransformPolygon)(const double matrix[4], double* points, int count);  // 133
  int (*FormStyleToDrawTags)(const DrawStyle* style, TagRecord* tags, int noPalette,
                             uint32_t* color);  // 134

  // Shadows
  void (*ShadowGrowSize)(int* width, int* height, int size, int direction);  // 135
  void (*ShadowMargins)(int size, int direction, int* top, int* bottom, int* left,
                        int* right);  // 136
  int (*DrawShadow)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha, int* width,
                    int* height, const ShadowRecord* shadow);          // 137
  ImageObject* (*ImageObjectFromBrush)(const BrushRecordHead* brush);  // 138

  // Fill styles and gradients
  void (*ClampDrawStyle)(DrawStyle* style);                                       // 139
  int (*ReadGradientOptions)(lua_State* L, int index, GradientRecord* gradient);  // 140
  int (*ReadGradientTable)(lua_State* L, int table, GradientRecord* gradient,
                           const char* centerXKey, const char* centerYKey, const char* balanceKey,
                           const char* borderKey, const char* colorsKey, int* given);  // 141
  int (*ParseGradientTags)(lua_State* L, int table, GradientRecord* gradient, int initFlag,
                           int initialise);  // 142
  int (*CreateGradientBitmap)(BitmapHandle* bitmap, int x, int y, int width, int height,
                              const GradientRecord* gradient);  // 143
  int (*FillGradient)(GradientRequest* request);                // 144
  // Cuts the set to its visible pixels (index bitmaps: the pens other than
  // transparentPen) and hands back the kept rectangle.
  int (*TrimBitmapSet)(BitmapHandle** color, BitmapHandle** mask, BitmapHandle** alpha,
                       BitmapHandle** index, int transparentPen, int* x, int* y, int* width,
                       int* height);  // 145
  int (*CallLoadHook)(lua_State* L, const char* function, const char* file,
                      const LoadRequest* request, int* outFlag);                // 146
  void (*InitColorRecord)(void* record);                                        // 147
  void (*InitGradientRecord)(GradientRecord* gradient, int keepCountAndAngle);  // 148
  void (*PushGradientTable)(lua_State* L, const char* keyPrefix,
                            const GradientRecord* gradient);                   // 149
  int (*ReadGradientArgs)(lua_State* L, int index, GradientRecord* gradient);  // 150
  void (*InitDrawState)(void* state);                                          // 151
  // 0xAARRGGBB pixels saved through imageio: 1 saved, 0 not, or 1685.
  int (*SaveImage)(const char* file, const ImagePlane* pixels, int width, int height, int format,
                   const SaveTag* tags);                                     // 152
  int (*PaletteLookup)(const uint32_t* palette, int depth, uint32_t color);  // 153

  // Pixel format converters
  void (*ConvertRowToARGB)(const uint8_t* source, int format, uint32_t* target, int count);  // 154
  void (*ConvertRowFromARGB)(const uint32_t* source, uint8_t* target, int format,
                             int count);  // 155
  void (*ConvertRow)(const uint8_t* source, int sourceFormat, uint8_t* target, int targetFormat,
                     int count);  // 156
  void (*ConvertPixels)(const uint8_t* source, int sourceBytesPerRow, int sourceFormat,
                        uint8_t* target, int targetBytesPerRow, int targetFormat, int width,
                        int height);  // 157
  int (*AdapterQuery)(int what);      // 158
  void* (*AdapterScratch)(int size);  // 159

  // Allocation; AllocBitmap's flags are kAlloc... (graphics_records.h).
  BitmapHandle* (*AllocBitmap)(int width, int height, uint32_t flags,
                               ColorStore* borrowed);  // 160
  BitmapHandle* (*AllocAlpha)(int width, int height, uint32_t flags, uint8_t* borrowed,
                              int bytesPerRow);  // 161
  BitmapHandle* (*AllocMask)(const BitmapHandle* model, int width, int height, uint32_t flags,
                             uint8_t* borrowed, int bytesPerRow);       // 162
  BitmapHandle* (*AllocIndexBitmap)(int width, int height, int clear);  // 163
  void (*FreeBitmap)(BitmapHandle* bitmap);                             // 164
  void (*FreeAlpha)(BitmapHandle* bitmap);                              // 165
  void (*FreeMask)(BitmapHandle* bitmap);                               // 166
  void (*FreeIndexBitmap)(BitmapHandle* bitmap);                        // 167

  // Shared variables (168 to 180)
  OutputRecord** currentOutput;   // 168
  OutputRecord** currentDisplay;  // 169
  int32_t* displayWord170;        // 170, start 0
  int32_t* displayWord171;        // 171, start 2
  int32_t* word172;               // 172, start 0
  int32_t* displayWord173;        // 173, start 0
  int32_t* outputBlitLevel;       // 174, start 128, read by the output blits
  int32_t* outputFormat;          // 175, PixelFormat; -1 = no output
  const double* sineTable;        // 176, kTrigEntries entries
  const double* cosineTable;      // 177
  const FilterKind* filterTable;  // 178, kFilterKinds rows
  int32_t* word179;               // 179, start 3
  ImageCacheEntry** imageCache;   // 180

  GraphicsState state;
};

static_assert(offsetof(GraphicsInterface, NotifyObjectLibraries) == 0);
static_assert(offsetof(GraphicsInterface, DrawObject) == 2 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, IsGeometryFilter) == 17 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, BlitBitmap) == 29 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, GetBitmapAttr) == 38 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, BlitTextMask) == 45 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, FillMaskRect) == 49 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, DrawRectAlpha) == 57 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, CropBitmapSet) == 61 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, ClearRectCurrent) == 70 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, BlitTextPen) == 77 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, PenMatches) == 85 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, ConvertPixel) == 98 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, EnsureBuffer) == 110 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, FlipBitmapSet) == 118 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, ClampNonNegative) == 127 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, FormStyleToDrawTags) == 134 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, ImageObjectFromBrush) == 138 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, PaletteLookup) == 153 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, AdapterScratch) == 159 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, AllocBitmap) == 160 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, FreeIndexBitmap) == 167 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, currentOutput) == 168 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, outputFormat) == 175 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, imageCache) == 180 * sizeof(void*));
static_assert(offsetof(GraphicsInterface, state) == kInterfaceSlots * sizeof(void*));

// Entries of the sine and cosine tables: 0..360 for (360 - i) degrees, then
// 450, 540 and 630 degrees.
inline constexpr int kTrigEntries = 364;

}  // namespace tzx::graphics
