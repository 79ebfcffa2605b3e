// Commands of the text style: SetFontColor, GetFontColor, SetBulletColor,
// GetBulletColor, SetFontStyle, GetFontStyle and UseFormatTags.
#include "commands.h"
#include "print_glue.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

// SetFontColor(color): the text colour, and the bullets' with it.
int SetFontColor(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const uint32_t color = ColorArg(L, 1);
  CurrentStyle().fontColor = color;
  CurrentStyle().bulletColor = color;
  return 0;
}

int GetFontColor(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  PushColor(L, CurrentStyle().fontColor);
  return 1;
}

int SetBulletColor(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  CurrentStyle().bulletColor = ColorArg(L, 1);
  return 0;
}

int GetBulletColor(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  PushColor(L, CurrentStyle().bulletColor);
  return 1;
}

// SetFontStyle(style[, table]) or SetFontStyle(SHADOW, color, size, dir) or
// SetFontStyle(EDGE, color, size).
int SetFontStyle(lua_State* L) {
  L = Args().beginCommand(L, 1, 4, 0, 0);
  const int32_t flags = Lua().checkinteger(L, 1);
  StyleSettings s;
  if (Lua().gettop(L) >= 2 && Lua().type(L, 2) == kLuaTable) {
    if (flags & graphics::kShadow) {
      if (Args().fieldColor(L, 2, "shadowcolor", &s.shadowColor))
        s.has |= StyleSettings::kShadowColor;
      if (Args().fieldInt(L, 2, "shadowsize", &s.shadowSize)) s.has |= StyleSettings::kShadowSize;
      if (Args().fieldInt(L, 2, "shadowdir", &s.shadowDir)) s.has |= StyleSettings::kShadowDir;
    }
    if (flags & graphics::kEdge) {
      if (Args().fieldColor(L, 2, "bordercolor", &s.borderColor))
        s.has |= StyleSettings::kBorderColor;
      if (Args().fieldInt(L, 2, "bordersize", &s.borderSize)) s.has |= StyleSettings::kBorderSize;
    }
  } else if (flags == graphics::kShadow || flags == graphics::kEdge) {
    const int n = Lua().gettop(L);
    const bool shadow = flags == graphics::kShadow;
    if (n >= 2 && Lua().type(L, 2) != kLuaNil) {
      (shadow ? s.shadowColor : s.borderColor) = ColorArg(L, 2);
      s.has |= shadow ? StyleSettings::kShadowColor : StyleSettings::kBorderColor;
    }
    if (n >= 3 && Lua().type(L, 3) != kLuaNil) {
      (shadow ? s.shadowSize : s.borderSize) = Lua().checkinteger(L, 3);
      s.has |= shadow ? StyleSettings::kShadowSize : StyleSettings::kBorderSize;
    }
    if (shadow && n >= 4 && Lua().type(L, 4) != kLuaNil) {
      s.shadowDir = Lua().checkinteger(L, 4);
      s.has |= StyleSettings::kShadowDir;
    }
  }
  ApplyFontStyle(&CurrentStyle(), flags, s);
  return 0;
}

// GetFontStyle(): the flags without NORMAL, and the shadow and border
// settings when those are on.
int GetFontStyle(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  const TextStyle& s = CurrentStyle();
  Lua().pushnumber(L, s.flags & ~graphics::kNormal);
  if (!(s.flags & (graphics::kShadow | graphics::kEdge))) return 1;
  Lua().newtable(L);
  if (s.flags & graphics::kShadow) {
    Args().setNumberField(L, "shadowcolor", s.shadowColor);
    Args().setIntField(L, "shadowsize", s.shadowSize);
    Args().setIntField(L, "shadowdir", s.shadowDir);
  }
  if (s.flags & graphics::kEdge) {
    Args().setIntField(L, "bordersize", s.borderSize);
    Args().setNumberField(L, "bordercolor", s.borderColor);
  }
  return 2;
}

int UseFormatTags(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  gFormatTagsDefault =
      Lua().type(L, 1) == kLuaBoolean ? Lua().toboolean(L, 1) != 0 : Lua().checkinteger(L, 1) != 0;
  return 0;
}

}  // namespace tzx::text
