// Saving pictures through the imageio library: the option table of the save
// commands and the save itself.
#pragma once

#include <cstdint>

#include "tzx/graphics_images.h"
#include "tzx/siblings.h"

namespace tzx::graphics {

// Reads the save options at `index` when it is the last argument: a table
// ("format", "fillcolor", "quality", "dither", "depth", "colors", "adapter"
// and the user tags), or else the quality as an optional number (90). Fields
// not named keep the caller's values. 0, kErrDepthRange, or the host's code
// for the user tags.
int ParseSaveOptions(lua_State* L, int index, SaveOptions* out);

// Saves width × height 0xAARRGGBB pixels. The tags (SaveTag, ended by tag 0)
// give the quality, depth, alpha flag, transparent colour, adapter and user
// tags. 1 when saved, 0 when imageio cannot save the format (or its alpha) or
// fails; kErrSiblingAbsent ("imageio") without the library.
int SaveImage(const char* file, const ImagePlane* pixels, int width, int height, int format,
              const SaveTag* tags);

}  // namespace tzx::graphics
