#include "colours.h"
#include "commands.h"
#include "draw_style.h"
#include "gradient_options.h"
#include "graphics_state.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

int32_t Truncated(lua_State* L, int n) {
  return TruncateToInt32(Lua().checknumber(L, n));
}

void PushUnsigned(lua_State* L, uint32_t v) {
  Lua().pushnumber(L, static_cast<double>(v));
}

void SetUnsignedField(lua_State* L, const char* key, uint32_t v) {
  Args().setNumberField(L, key, static_cast<double>(v));
}

// What SetFormStyle reads besides the style bits, applied only once every
// argument was read.
struct FormValues {
  uint32_t shadowColor;
  int32_t shadowSize;
  int32_t shadowDirection;
  uint32_t borderColor;
  int32_t borderSize;
};

int ReadFormValues(lua_State* L, uint32_t bits, FormValues* v) {
  const int count = Lua().gettop(L);
  if (count == 2 && Lua().type(L, 2) == kLuaTable) {
    if (bits & kShadow) {
      Args().fieldColor(L, 2, "shadowcolor", &v->shadowColor);
      Args().fieldInt(L, 2, "shadowsize", &v->shadowSize);
      Args().fieldInt(L, 2, "shadowdir", &v->shadowDirection);
    }
    if (bits & kBorder) {
      Args().fieldColor(L, 2, "bordercolor", &v->borderColor);
      Args().fieldInt(L, 2, "bordersize", &v->borderSize);
    }
    return 0;
  }
  if (count < 2) return 0;
  if (bits == kShadow) {
    v->shadowColor = static_cast<uint32_t>(Lua().checkinteger(L, 2));
    if (count >= 3) v->shadowSize = Truncated(L, 3);
    if (count >= 4) v->shadowDirection = Truncated(L, 4);
    return 0;
  }
  if (bits == kBorder) {
    v->borderColor = static_cast<uint32_t>(Lua().checkinteger(L, 2));
    if (count >= 3) v->borderSize = Truncated(L, 3);
    return 0;
  }
  return kErrTooManyArgs;
}

}  // namespace

int SetFillStyle(lua_State* L) {
  L = Args().beginCommand(L, 1, 6, 0, 0);
  const int32_t style = Truncated(L, 1);
  DrawStyle& shared = SharedState().drawStyle;
  // Everything is read before the block changes, so that a failed call
  // leaves the style as it was.
  switch (style) {
    case kFillnone: {
      const int32_t thickness = TruncateToInt32(Lua().optnumber(L, 2, 1.0));
      shared.lineWidth = thickness;
      break;
    }
    case kFillcolor:
      break;
    case kFillgradient: {
      GradientRecord g = shared.gradient;
      g.style = Truncated(L, 2);
      g.startColor = static_cast<uint32_t>(Lua().checkinteger(L, 3));
      g.endColor = static_cast<uint32_t>(Lua().checkinteger(L, 4));
      if (int rc = ReadGradientOptions(L, 5, &g)) return rc;
      shared.gradient = g;
      break;
    }
    case kFilltexture: {
      const ObjectId brush = Args().objectId(L, 2);
      const int32_t x = TruncateToInt32(Lua().optnumber(L, 3, 0));
      const int32_t y = TruncateToInt32(Lua().optnumber(L, 4, 0));
      shared.textureBrush = brush;
      shared.textureX = x;
      shared.textureY = y;
      break;
    }
    default:
      return kErrRange;
  }
  shared.fillStyle = style;
  ClampDrawStyle(&shared);
  return 0;
}

int GetFillStyle(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  // Copied first: building the table may run script code that changes the style.
  const DrawStyle s = SharedState().drawStyle;
  Lua().pushnumber(L, s.fillStyle);
  if (s.fillStyle == kFillcolor) return 1;
  Lua().newtable(L);
  switch (s.fillStyle) {
    case kFillnone:
      Args().setIntField(L, "thickness", s.lineWidth);
      break;
    case kFillgradient:
      Args().setIntField(L, "type", s.gradient.style);
      PushGradientTable(L, "", &s.gradient);
      break;
    case kFilltexture:
      Args().setObjectIdField(L, "brush", s.textureBrush);
      Args().setIntField(L, "x", s.textureX);
      Args().setIntField(L, "y", s.textureY);
      break;
    default:
      break;
  }
  return 2;
}

int SetFormStyle(lua_State* L) {
  L = Args().beginCommand(L, 1, 4, 0, 0);
  const auto bits = static_cast<uint32_t>(Truncated(L, 1));
  DrawStyle& shared = SharedState().drawStyle;
  if (bits & kNormal) {
    shared.formStyle = kNormal;
    ClampDrawStyle(&shared);
    return 0;
  }
  FormValues v = {shared.shadowColor, shared.shadowSize, shared.shadowDirection, shared.borderColor,
                  shared.borderSize};
  if (int rc = ReadFormValues(L, bits, &v)) return rc;
  shared.shadowColor = v.shadowColor;
  shared.shadowSize = v.shadowSize;
  shared.shadowDirection = v.shadowDirection;
  shared.borderColor = v.borderColor;
  shared.borderSize = v.borderSize;
  // Effects accumulate until NORMAL clears them.
  shared.formStyle = static_cast<int32_t>(static_cast<uint32_t>(shared.formStyle) | bits);
  ClampDrawStyle(&shared);
  return 0;
}

int GetFormStyle(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  const DrawStyle s = SharedState().drawStyle;
  const auto bits = static_cast<uint32_t>(s.formStyle);
  PushUnsigned(L, bits);
  if (!(bits & (kShadow | kBorder))) return 1;
  Lua().newtable(L);
  if (bits & kShadow) {
    SetUnsignedField(L, "shadowcolor", s.shadowColor);
    Args().setIntField(L, "shadowsize", s.shadowSize);
    Args().setIntField(L, "shadowdir", s.shadowDirection);
  }
  if (bits & kBorder) {
    Args().setIntField(L, "bordersize", s.borderSize);
    SetUnsignedField(L, "bordercolor", s.borderColor);
  }
  return 2;
}

int SetLineWidth(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const int32_t width = Truncated(L, 1);
  if (width < 1) return kErrRange;
  SharedState().drawStyle.lineWidth = width;
  return 0;
}

int GetLineWidth(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  Lua().pushnumber(L, SharedState().drawStyle.lineWidth);
  return 1;
}

}  // namespace tzx::graphics
