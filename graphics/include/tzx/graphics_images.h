// Records of loading and saving pictures that graphics.tzx shares with the
// brush and display libraries: save options, load requests and the entries of
// the image cache.
#pragma once

#include <cstdint>

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx {
struct UserTags;
}

namespace tzx::graphics {

// Filled by ParseSaveOptions; fields the options do not name keep the
// caller's values.
struct SaveOptions {
  int32_t format;  // IMGFMT_ value
  uint32_t fillColor;
  int32_t quality;  // 90 by custom
  int32_t depth;    // 1..8 when the options set it
  int32_t dither;
  char adapter[256];
  UserTags* userTags;  // the caller frees them with the host's freeUserTags
};

// Flags of LoadRequest::loadFlags.
enum LoadFlags : uint32_t {
  kLoadAlpha = 0x1,
  kLoadTransparency = 0x2,
  kLoadPalette = 0x4,
  kLoadTransparentPen = 0x8,
};

// Flags of LoadRequest::cacheFlags.
enum LoadCacheFlags : uint32_t {
  kCacheStore = 0x1,  // "__cache": keep the loaded picture under the key
  kCacheAlpha = 0x2,  // "__cachealpha": with its alpha channel
  kCacheLoad = 0x4,   // "__cachedload": take the picture from the cache
};

// A pending load of a picture for one of the object kinds that scripts load
// (brushes, background pictures, animations ...), handed to a script-level
// loader function by CallLoadHook.
struct LoadRequest {
  int32_t objectType;         // the type number pushed as the loader's first argument
  int32_t kind;               // 0 fill requests; 1 pictures; 2 and 7 animations; others
  uint32_t transparentColor;  // 0xFFFFFFFF for none
  uint32_t loadFlags;         // LoadFlags
  // Kind 0.
  int32_t fillStyle;  // 0 none, 1 colour, 2 gradient, 3 texture
  uint32_t fillColor;
  int32_t fillPen;
  GradientRecord gradient;
  ObjectId textureBrush;
  int32_t textureX;
  int32_t textureY;
  // Kinds 0 and 1.
  int32_t scaleWidth;
  int32_t scaleHeight;
  int32_t smoothScale;
  // Every kind but 0.
  int32_t width;
  int32_t height;
  int32_t x;
  int32_t y;
  // Kind 1.
  int32_t globalAlpha;  // -1 for none
  int32_t hardware;
  int32_t hasDisplay;
  ObjectId display;
  // Kinds 2 and 7.
  int32_t frames;
  int32_t framesPerRow;
  // Kind 2.
  int32_t fromDisk;
  int32_t skipLoopFrames;
  int32_t deinterlace;
  uint32_t cacheFlags;  // LoadCacheFlags
  char cacheKey[512];
  char loader[256];
  char adapter[256];
  UserTags* userTags;
};

// A picture as the image cache keeps it and hands it out.
struct CachedImage {
  int32_t width;
  int32_t height;
  int32_t values[4];  // carried through unchanged
  ImageObject* image;
  BitmapHandle* alpha;
  uint32_t* palette;  // 256 entries, or null
  uint8_t* ranges;    // colour ranges, 6 bytes each
  int32_t rangeCount;
  int32_t extra;
  char loader[256];
};

// One entry of the image cache list (shared variable slot 180).
struct ImageCacheEntry {
  ImageCacheEntry* next;
  char key[1025];
  int32_t width;
  int32_t height;
  int32_t values[4];
  ImageObject* image;   // retained while cached
  BitmapHandle* alpha;  // the cache's own copy, or null
  int32_t hasPalette;
  uint32_t palette[256];
  uint8_t* ranges;
  int32_t rangeCount;
  int32_t extra;
  char loader[256];
};

}  // namespace tzx::graphics
