#include "bindings.h"
#include "colours.h"
#include "commands.h"
#include "graphics_state.h"
#include "pixel_formats.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"

namespace tzx::graphics {

namespace {

// Full 32-bit colours go to scripts as unsigned numbers.
void PushUnsigned(lua_State* L, uint32_t v) {
  Lua().pushnumber(L, static_cast<double>(v));
}

int PushChannel(lua_State* L, int shift) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  int32_t color = Lua().checkinteger(L, 1);
  Lua().pushnumber(L, (color >> shift) & 255);
  return 1;
}

constexpr size_t kNameBuffer = 256;

}  // namespace

int Red(lua_State* L) {
  return PushChannel(L, 16);
}
int Green(lua_State* L) {
  return PushChannel(L, 8);
}
int Blue(lua_State* L) {
  return PushChannel(L, 0);
}

int RGB(lua_State* L) {
  L = Args().beginCommand(L, 3, 3, 0, 0);
  int32_t r = Lua().checkinteger(L, 1), g = Lua().checkinteger(L, 2), b = Lua().checkinteger(L, 3);
  // RGB alone hands its result back signed.
  Lua().pushnumber(L, static_cast<int32_t>(ComposeRgb(r, g, b)));
  return 1;
}

int ARGB(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  int32_t alpha = Lua().checkinteger(L, 1);
  int32_t color = Lua().checkinteger(L, 2);
  PushUnsigned(L, ComposeArgb(alpha, color));
  return 1;
}

int MixRGB(lua_State* L) {
  // The ratio is optional (default 255), so two arguments are enough.
  L = Args().beginCommand(L, 2, 3, 0, 0);
  int32_t color1 = Lua().checkinteger(L, 1);
  int32_t color2 = Lua().checkinteger(L, 2);
  int32_t ratio = Lua().optinteger(L, 3, 255);
  if (!MixRatioValid(ratio)) return kErrRange;
  PushUnsigned(L, MixRgb(color1, color2, ratio));
  return 1;
}

int GetRandomColor(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  PushUnsigned(L, RandomTableColor(Host().math->random()));
  return 1;
}

int GetRealColor(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  auto color = static_cast<uint32_t>(Lua().checkinteger(L, 1));
  if (!gBound.display) return ErrorWithString(kErrSiblingAbsent, "display");
  PushUnsigned(L, RealColor(color, FormatDepthBits(gOutputFormat)));
  return 1;
}

int IsPicture(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  const char* file = Args().fileName(L, 1, 0, 0);
  int type = kImagetypeRaster, format = kImgfmtUnknown;
  int width = 0, height = 0, depth = 0, alpha = 0, transparency = 0;
  const auto* imageio = gBound.imageio;
  if (!imageio) return ErrorWithString(kErrSiblingAbsent, "imageio");

  char loader[kNameBuffer], adapter[kNameBuffer];
  Memory().defaultLoaders(loader, 0);
  Memory().defaultAdapters(adapter, 0);
  UserTags* tags = nullptr;
  if (Lua().gettop(L) == 2) {
    Lua().checktable(L, 2);
    Args().fieldString(L, 2, "loader", loader, sizeof loader);
    Args().fieldString(L, 2, "adapter", adapter, sizeof adapter);
    if (int rc = Args().userTags(L, 2, 0, 0, &tags)) return rc;
  }
  int found = imageio->probe(file, loader, adapter, tags, &type, &format, &width, &height, &depth,
                             &alpha, &transparency);
  if (tags) Args().freeUserTags(tags, 0);

  Lua().pushnumber(L, found ? 1 : 0);
  Lua().newtable(L);
  Args().setIntField(L, "format", format);
  Args().setIntField(L, "width", width);
  Args().setIntField(L, "height", height);
  Args().setIntField(L, "depth", depth);
  Args().setIntField(L, "alpha", alpha);
  Args().setIntField(L, "vector", type == kImagetypeVector ? 1 : 0);
  Args().setIntField(L, "transparency", transparency);
  return 2;
}

}  // namespace tzx::graphics
