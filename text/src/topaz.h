// The built-in bitmap font topaz 8, the current font when the library starts.
#pragma once

#include "font_record.h"

namespace tzx::text {

// Builds the record (kind 1, "topaz", size 8). 0 or 1000.
int BuildTopaz(FontRecord** out);
void FreeBitmapFont(FontRecord* font);

}  // namespace tzx::text
