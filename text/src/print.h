// Printing: a layout drawn into the current output, for TextOut at a
// position and for Print at the output's print cursor.
#pragma once

#include <cstdint>

#include "cursor.h"
#include "layout.h"
#include "tzx/graphics_records.h"

struct lua_State;

namespace tzx::text {

// The current output, or null; with *rc the code to fail with: 1687 without
// an output, 1685 (its argument set) for a display output without the
// display library.
graphics::OutputRecord* PrintOutput(int* rc);

// The font callbacks of a layout in the request's style.
LayoutFont FontForLayout(const LayoutRequest& request, int* encoding);

// The draw tags of a TextOut that ask for a transform, transparency,
// shadow, border or filters; the text is drawn through the graphics
// library's central draw then.
struct TextDrawTags {
  graphics::TransformRecord transform;
  graphics::TagRecord tags;
};

// Whether parsed draw tags change anything a direct draw would not do.
bool DrawTagsNeedEffects(const graphics::TransformRecord& transform,
                         const graphics::TagRecord& tags);

// Lays the request out, aligns it and draws it with its top-left corner at
// (x, y) of the current output; x and y may be position codes when
// `resolve` is set. With draw tags the text is drawn into planes of its own
// first. The layout is left in `out` for the caller.
int DrawText(lua_State* L, const LayoutRequest& request, int32_t x, int32_t y, bool resolve,
             TextDrawTags* drawTags, Layout* out);

// A text in planes of its own: its colours over the base colour in a colour
// bitmap and its coverage as the alpha channel, with a margin of `pad`
// pixels around the box for what styles draw outside it.
struct TextPlanes {
  graphics::BitmapHandle* color = nullptr;
  graphics::BitmapHandle* alpha = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pad = 0;
};

// The runs of an aligned layout whose box is `boxWidth` wide: 0, 1000 or
// 1218 (nothing to draw); nothing is left on failure.
int RenderLayoutPlanes(const LayoutRequest& request, const Layout& layout, int32_t boxWidth,
                       TextPlanes* out);
void FreeTextPlanes(TextPlanes* planes);

// Lays a request out, aligns it and renders it; a scalable font is drawn
// scaled itself (the request's lengths scale with it), other fonts at 1:1.
int RenderRequestPlanes(const LayoutRequest& request, double scaleX, double scaleY,
                        TextPlanes* out);

// Print: the text at the output's cursor, wrapped at its right margin; the
// cursor goes to the end of the last line.
int PrintAtCursor(lua_State* L, graphics::OutputRecord* output, LayoutRequest* request);

}  // namespace tzx::text
