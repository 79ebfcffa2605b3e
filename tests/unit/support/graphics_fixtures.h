// Helpers of the graphics unit tests: owned bitmap handles, pixel access and
// the host's live-block count.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "graphics/src/bitmaps.h"
#include "graphics/src/graphics_state.h"
#include "host_state.h"

namespace tzx::graphics::testing {

struct BitmapDeleter {
  void operator()(BitmapHandle* b) const { FreeBitmap(b); }
};
using Bitmap = std::unique_ptr<BitmapHandle, BitmapDeleter>;

inline long LiveBlocks() {
  return tzx::host::State().liveBlocks.load();
}

inline Bitmap ColorBitmap(int width, int height, int format = kFormatArgb32) {
  return Bitmap(AllocBitmapOfFormat(width, height, format));
}
inline Bitmap AlphaPlane(int width, int height) {
  return Bitmap(AllocAlpha(width, height, 0, nullptr, 0));
}
inline Bitmap MaskPlane(int width, int height) {
  return Bitmap(AllocMask(nullptr, width, height, 0, nullptr, 0));
}
inline Bitmap IndexPlane(int width, int height) {
  return Bitmap(AllocIndexBitmap(width, height, 1));
}

// Fills every pixel with color(x, y); colours are 0x00RRGGBB.
template <class Fn>
void Paint(BitmapHandle* b, Fn color) {
  for (int y = 0; y < b->height; ++y) {
    for (int x = 0; x < b->width; ++x) WritePixel(b, x, y, color(x, y), 0);
  }
}

// Makes `out` a brush output drawing into `color` and the current output.
inline void DrawInto(OutputRecord* out, BitmapHandle* color, const OutputOps* ops) {
  out->ops = ops;
  out->kind = kOutputBrush;
  out->color = color;
  out->width = color->width;
  out->height = color->height;
  gCurrentOutput = out;
}

// Every test starts from the library's start values and ends without blocks
// it made.
class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphicsState();
    blocks_ = LiveBlocks();
  }
  void TearDown() override {
    ResetGraphicsState();
    EXPECT_EQ(LiveBlocks(), blocks_) << "memory blocks leaked";
  }

 private:
  long blocks_ = 0;
};

}  // namespace tzx::graphics::testing
