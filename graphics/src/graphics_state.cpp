#include "graphics_state.h"

#include <cstring>

#include "draw_object.h"
#include "image_cache.h"
#include "scale_bitmap.h"
#include "trig_tables.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

OutputRecord* gCurrentOutput = nullptr;
OutputRecord* gCurrentDisplay = nullptr;
int32_t gDisplayWord170 = 0;
int32_t gDisplayWord171 = 2;
int32_t gWord172 = 0;
int32_t gDisplayWord173 = 0;
int32_t gOutputBlitLevel = 128;
int32_t gOutputFormat = kFormatNone;
int32_t gWord179 = 3;
ImageCacheEntry* gImageCache = nullptr;

namespace {

constexpr int kScratchEntries = 1024;

void SetTransformDefaults(TransformRecord* t) {
  *t = {};
  t->matrix[0] = t->matrix[3] = 1.0;
  t->scaleX = t->scaleY = 1.0;
}

void SetDrawTagDefaults(TagRecord* tags) {
  *tags = {};
  tags->shadow.color = 0x80000000;  // black at half strength
  tags->shadow.size = 4;
  tags->shadow.direction = 3;  // south-east
  tags->shadow.radius = 5.0;
  tags->shadow.sigma = 1.6666666666666667;
  tags->border.size = 2;
}

void SetDrawStyle(DrawStyle* style) {
  *style = {};
  style->formStyle = 1;
  style->drawPen = 1;
  style->gradient.style = 2;
  style->gradient.startColor = 0x0000FF;
  style->borderSize = 2;
  style->borderColor = 0x0093DD;
  style->borderPen = 3;
  style->shadowSize = 4;
  style->shadowDirection = 3;
  style->shadowColor = 0x80000000;
  style->shadowPen = 2;
  style->lineWidth = 1;
}

void SetTextStyle(TextStyle* style) {
  *style = {};
  style->flags = 1;
  style->fontColor = 0xFFFFFF;
  style->borderColor = 0x0093DD;
  style->bulletColor = 0xFFFFFF;
  style->fontPen = 1;
  style->shadowPen = 2;
  style->borderPen = 3;
  style->bulletPen = 1;
  style->shadowSize = 4;
  style->shadowDir = 3;
  style->borderSize = 2;
}

}  // namespace

void ResetGraphicsState() {
  CloseGraphicsState();
  GraphicsState& s = SharedState();
  s.scratchWord = 0;
  SetTransformDefaults(&s.transformDefaults);
  SetDrawTagDefaults(&s.drawTagDefaults);
  SetDrawStyle(&s.drawStyle);
  SetTextStyle(&s.textStyle);
  gCurrentOutput = nullptr;
  gCurrentDisplay = nullptr;
  gDisplayWord170 = 0;
  gDisplayWord171 = 2;
  gWord172 = 0;
  gDisplayWord173 = 0;
  gOutputBlitLevel = 128;
  gOutputFormat = kFormatNone;
  gWord179 = 3;
}

int StartGraphicsTables() {
  FillTrigTables();
  return EnsureBuffer(kScratchEntries) ? 0 : kErrNoMemory;
}

void CloseGraphicsState() {
  GraphicsState& s = SharedState();
  FreeImageCache();
  ReleaseScaleScratch();
  ReleaseDrawScratch();
  HostFree(s.scratch);
  s.scratch = nullptr;
  s.scratchCapacity = 0;
}

void* EnsureBuffer(int entries) {
  GraphicsState& s = SharedState();
  if (entries <= s.scratchCapacity && s.scratch) return s.scratch;
  if (entries <= 0 || entries > (1 << 26)) return nullptr;
  auto* grown = static_cast<uint8_t*>(HostAlloc(static_cast<size_t>(entries) * kScratchEntryBytes));
  if (!grown) return nullptr;
  if (s.scratch) {
    std::memcpy(grown, s.scratch, static_cast<size_t>(s.scratchCapacity) * kScratchEntryBytes);
    HostFree(s.scratch);
  }
  s.scratch = grown;
  s.scratchCapacity = entries;
  return grown;
}

int ColorBitmapFormat() {
  // Format 14 outputs keep pens in index bitmaps; colour bitmaps stay 32-bit.
  return gOutputFormat >= 0 && gOutputFormat <= 13 ? gOutputFormat : kFormatArgb32;
}

}  // namespace tzx::graphics
