#include "image_files.h"

#include <cstring>

#include "bindings.h"
#include "bitmaps.h"
#include "colours.h"
#include "pixels/pens.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

int ParseSaveOptions(lua_State* L, int index, SaveOptions* out) {
  if (index != Lua().gettop(L)) return 0;
  if (Lua().type(L, index) != kLuaTable) {
    out->quality = Lua().optinteger(L, index, 90);
    return 0;
  }
  const ArgumentServices& args = Args();
  uint32_t format;
  if (args.fieldColor(L, index, "format", &format)) out->format = static_cast<int32_t>(format);
  args.fieldColor(L, index, "fillcolor", &out->fillColor);
  args.fieldInt(L, index, "quality", &out->quality);
  args.fieldInt(L, index, "dither", &out->dither);
  bool depth = args.fieldInt(L, index, "depth", &out->depth);
  int32_t colors;
  if (args.fieldInt(L, index, "colors", &colors)) {
    out->depth = pixels::DepthForColors(colors);
    depth = true;
  }
  if (depth && (out->depth < 1 || out->depth > 8)) return kErrDepthRange;
  args.fieldString(L, index, "adapter", out->adapter, sizeof out->adapter);
  // Last: nothing may raise an error while the tags are held.
  return args.userTags(L, index, 0, 0, &out->userTags);
}

int SaveImage(const char* file, const ImagePlane* pixels, int width, int height, int format,
              const SaveTag* tags) {
  const auto* imageio = gBound.imageio;
  if (!imageio) return ErrorWithString(kErrSiblingAbsent, "imageio");
  int32_t quality = 90, depth = 32, saveAlpha = 0, transparent = -1;
  const char* adapter = nullptr;
  UserTags* userTags = nullptr;
  for (const SaveTag* t = tags; t && t->tag != kSaveTagEnd; ++t) {
    switch (t->tag) {
      case kSaveTagQuality:
        quality = static_cast<int32_t>(t->value);
        break;
      case kSaveTagDepth:
        depth = static_cast<int32_t>(t->value);
        break;
      case kSaveTagAlpha:
        saveAlpha = t->value != 0;
        break;
      case kSaveTagTransparent:
        transparent = static_cast<int32_t>(t->value);
        break;
      case kSaveTagAdapter:
        adapter = reinterpret_cast<const char*>(t->value);
        break;
      case kSaveTagUserTags:
        userTags = reinterpret_cast<UserTags*>(t->value);
        break;
      default:
        break;
    }
  }
  if (!pixels || !pixels->pixels || width < 1 || height < 1) return 0;
  BitmapHandle* alpha = nullptr;
  ImagePlane alphaPlane{};
  if (saveAlpha) {
    if (!imageio->formatHasAlpha(format)) return 0;
    alpha = AllocAlpha(width, height, 0, nullptr, 0);
    uint8_t* rows = nullptr;
    int rowBytes = 0;
    if (!alpha || !GetBitmapPixels(alpha, &rows, &rowBytes, 1)) {
      FreeBitmap(alpha);
      return 0;
    }
    // The alpha channel is the pixels' top bytes, row by row.
    for (int y = 0; y < height; ++y) {
      const auto* in =
          reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels->pixels) +
                                            static_cast<ptrdiff_t>(y) * pixels->bytesPerRow);
      uint8_t* out = rows + static_cast<ptrdiff_t>(y) * rowBytes;
      for (int x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(in[x] >> 24);
    }
    alphaPlane = {rows, rowBytes};
  } else if (!imageio->canSave(format)) {
    return 0;
  }
  // The colour pixels always go with the alpha channel: a save of the alpha
  // alone would lose the picture.
  const int rc = imageio->saveImage(file, pixels, width, height, format, adapter, userTags,
                                    transparent, saveAlpha ? &alphaPlane : nullptr, saveAlpha,
                                    depth, depth == 32 ? 1 : 0, quality);
  if (alpha) ReleaseBitmapPixels(alpha);
  FreeBitmap(alpha);
  return rc == 0 ? 1 : 0;
}

}  // namespace tzx::graphics
