#include "draw_record.h"

#include "graphics_state.h"

namespace tzx::graphics {

namespace {
constexpr int32_t I = kFilterArgInt, L = kFilterArgLevel, F = kFilterArgFloat;
}  // namespace

const FilterKind kFilterTable[kFilterKinds] = {
    {"blur", 1, {F}, {5.0}},
    {"charcoal", 1, {F}, {2.0}},
    {"contrast", 2, {I, I}, {1, 1}},
    {"edge", 1, {F}, {5.0}},
    {"emboss", 1, {F}, {5.0}},
    {"gamma", 3, {F, F, F}, {1.0, 1.0, 1.0}},
    {"grayscale", 0, {}, {}},
    {"invert", 0, {}, {}},
    {"modulate", 3, {F, F, F}, {100.0, 100.0, 100.0}},
    {"monochrome", 1, {I}, {1}},
    {"oilpaint", 1, {F}, {2.0}},
    {"pixelate", 1, {I}, {10}},
    {"sepiatone", 1, {L}, {204}},
    {"sharpen", 1, {F}, {5.0}},
    {"solarize", 1, {L}, {128}},
    {"swirl", 1, {I}, {180}},
    {"tint", 2, {I, L}, {16777215, 128}},
    {"waterripple", 5, {I, I, I, F, F}, {32, 1, 0, 0.5, 0.5}},
    {"xflip", 0, {}, {}},
    {"yflip", 0, {}, {}},
    {"quantize", 2, {I, I}, {256, 1}},
};

void GetTransformDefaults(TransformRecord* out) {
  *out = SharedState().transformDefaults;
}

void GetDrawTagDefaults(TagRecord* out) {
  *out = SharedState().drawTagDefaults;
}

void InitDrawRecord(TransformRecord* transform, TagRecord* tags, int width, int height,
                    int smoothScale, uint32_t flags) {
  GetTransformDefaults(transform);
  if (tags) GetDrawTagDefaults(tags);
  transform->width = width;
  transform->height = height;
  if (!(flags & kInitKeepSmoothScale)) transform->smoothScale = smoothScale;
}

int IsGeometryFilter(int kind) {
  return kind == kFilterPixelate || kind == kFilterSwirl || kind == kFilterWaterRipple ||
         kind == kFilterXFlip || kind == kFilterYFlip;
}

namespace {

template <class Pred>
int AnyEnabled(const FilterEntry* entries, Pred pred) {
  for (int kind = 0; kind < kFilterKinds; ++kind) {
    if (entries[kind].enabled && pred(kind)) return 1;
  }
  return 0;
}

}  // namespace

int HasFilters(const FilterEntry* entries) {
  return AnyEnabled(entries, [](int) { return true; });
}

int HasNonGeometryFilters(const FilterEntry* entries) {
  return AnyEnabled(entries, [](int kind) { return !IsGeometryFilter(kind); });
}

int HasOtherFilters(const FilterEntry* entries) {
  return AnyEnabled(entries, [](int kind) {
    return kind != kFilterTint && kind != kFilterXFlip && kind != kFilterYFlip &&
           kind != kFilterQuantize;
  });
}

}  // namespace tzx::graphics
