// The inline format-tag language: "[b]", "[color=#RED]", "[/shadow]" ...
// A tag changes the style of the text after it for the rest of one string.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout_array.h"
#include "style.h"

namespace tzx::text {

// Resolves a tag value that begins with '#' (without the '#') as a constant
// of the script language; 0 or an error code.
struct TagConstants {
  void* context = nullptr;
  int (*resolve)(void* context, const char* name, size_t length, int32_t* out) = nullptr;
};

// What the tags of one string change, and the colour stack of "color" and
// "pen" that lives as long as the string's layout.
struct FormatState {
  TextStyle style;
  bool paletteMode = false;
  bool bulletColorChanged = false;  // a "bulletcolor" or "bulletpen" tag was read
  HostArray<uint32_t> pushed;
};

// Reads the tag whose "[" stands at text[at] (the caller has ruled out "[[")
// and applies it to `state`; *end receives the offset after its "]".
// 0 or the failure code: 1024, 1055, 1108, 1251, 1252, 1253, 1658, 1659, 1000.
int ApplyFormatTag(const char* text, size_t length, size_t at, const TagConstants& constants,
                   FormatState* state, size_t* end);

}  // namespace tzx::text
