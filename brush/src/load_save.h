// LoadBrush's and SaveBrush's work: pictures decoded and encoded by the
// imageio sibling, cut, keyed and turned into planes by the graphics library.
#pragma once

#include <cstdint>

#include "brush_records.h"
#include "tzx/graphics_images.h"
#include "tzx/siblings.h"

namespace tzx::brush {

// What LoadBrush asks for.
struct LoadOptions {
  ObjectId id{};
  const char* file = nullptr;
  int32_t loadAlpha = 0;
  int32_t loadTransparency = 0;
  int32_t loadPalette = 0;
  int32_t hardware = 0;
  int32_t smoothScale = 0;
  int32_t cacheAlpha = 0;
  int32_t globalAlpha = -1;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  double scale[2] = {0, 0};
  bool scalePercent[2] = {false, false};
  uint32_t transparentColor = kNoColor;
  bool colorGiven = false;
  int32_t transparentPen = kNoPen;
  bool penGiven = false;
  uint32_t secondColor = 0;
  int32_t legacy = 0;
  ObjectId display{};
  bool displayGiven = false;
  char loader[256] = {};
  char adapter[256] = {};
  char cacheKey[512] = {};
  char cachedLoad[512] = {};
  UserTags* tags = nullptr;
};

// A decoded picture in host blocks. Pen rows are `width` entries long; the
// colours are laid out as a colour bitmap's store (rows of `rowLength` words,
// then a spare row), which the brush's bitmap can take over.
struct Picture {
  uint32_t* argb = nullptr;  // or ...
  uint8_t* pens = nullptr;   // ... with palette
  uint32_t* palette = nullptr;
  uint8_t* cycles = nullptr;
  int32_t cycleCount = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t rowLength = 0;
  int32_t depth = 0;
  int32_t transparency = kTransparencyNone;
  uint32_t key = kNoColor;  // the picture's transparent colour or pen
  char format[256] = {};
};

// The part of the picture the brush takes.
struct Window {
  int x, y, width, height;
};

// A load between the decode and the brush: the picture, the window of it, the
// transparent pen of a pen picture and the display a hardware brush is for.
struct PictureLoad {
  Picture picture;
  Window window{};
  int pen = kNoPen;
  void* displayKey = nullptr;
};

// Checks the options, decodes the file (or takes the cached picture the
// options name), stores it in the image cache when asked and cuts the
// window. Leaves in `load` what ReleasePictureLoad frees, also on failure.
int ReadPicture(const LoadOptions& options, PictureLoad* load);

// Makes the brush's planes of the picture and registers the brush; the
// planes may take over the picture's blocks.
int AddLoadedBrush(const LoadOptions& options, PictureLoad* load, BrushRecord** out);

void ReleasePictureLoad(PictureLoad* load);

// What SaveBrush asks for.
struct SaveRequest {
  graphics::SaveOptions options;
  uint32_t transparentColor;
  bool fill;  // the options name a fill colour
};

// Writes the brush to the file through the imageio sibling, which must be
// bound. 1388 for a brush without pixels.
int SaveBrushFile(BrushRecord* brush, const char* file, const SaveRequest& request);

}  // namespace tzx::brush
