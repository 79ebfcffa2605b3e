// Pieces shared by the command glue of styles, printing and measuring: the
// text style in the graphics state, colours, text arguments in an encoding,
// and the script constants that format tags name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bindings.h"
#include "format_tags.h"
#include "style.h"
#include "tzx/frame.h"

namespace tzx::text {

// The text style block of the graphics state, which this library owns the
// meaning of and writes in place.
inline TextStyle& CurrentStyle() {
  return const_cast<graphics::GraphicsState&>(gBound.graphics->state).textStyle;
}

// The global default of "useformattags" (UseFormatTags).
extern bool gFormatTagsDefault;

// Colours are 32-bit patterns; scripts may write them signed or unsigned.
inline uint32_t ColorArg(lua_State* L, int n) {
  return static_cast<uint32_t>(static_cast<int64_t>(Lua().checknumber(L, n)));
}
inline void PushColor(lua_State* L, uint32_t color) {
  Lua().pushnumber(L, color);
}

// The host's default encoding of text arguments.
inline int DefaultEncoding() {
  return *Memory().textEncoding;
}

// The text at stack index n converted from the host's encoding to
// `encoding`: 1584 for an encoding other than 0 or 1, 1585 for a text that
// is not valid UTF-8 in UTF-8. The bytes live until the command returns.
int TextArg(lua_State* L, int n, int encoding, const char** text, size_t* length);

// Resolves every "#NAME" of the text as a global of the script before any
// layout runs, so that the layout calls no script code; the cache is a
// userdata left on the stack for the rest of the command.
TagConstants CollectTagConstants(lua_State* L, const char* text, size_t length);

}  // namespace tzx::text

namespace tzx::text {

struct LayoutRequest;

// A request in the current style with the global tag default and the list
// defaults; palette mode when the output has pens and RGB was not asked for.
// 1255 for ANTIALIAS with a font that has none (dropped in palette mode).
int StartRequest(LayoutRequest* request, const graphics::OutputRecord* output, bool rgbAsked);

}  // namespace tzx::text
