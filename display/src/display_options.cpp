#include "display_options.h"

#include <cstring>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_system.h"

namespace tzx::display {

namespace {

struct NamedValue {
  const char* name;
  int value;
};

constexpr NamedValue kModes[] = {
    {"windowed", kModeWindowed},
    {"fullscreen", kModeFullscreen},
    {"fullscreenscale", kModeFullscreenScale},
    {"ask", kModeAsk},
    {"askauto", kModeAskAuto},
    {"asklayers", kModeAskLayers},
    {"fakefullscreen", kModeFakeFullscreen},
    {"moderequester", kModeModeRequester},
    {"systemscale", kModeSystemScale},
    {"__modeswitch", kModeModeSwitch},
    {"autofullscreen", kModeAutoFullscreen},
    {"layerfullscreen", kModeLayerFullscreen},
};

constexpr NamedValue kFillStyles[] = {
    {"color", kFillColor},
    {"gradient", kFillGradient},
    {"texture", kFillTexture},
    {"picture", kFillPicture},
};

struct FlagKey {
  const char* key;
  uint32_t flag;
};

constexpr FlagKey kFlagKeys[] = {
    {"borderless", kFlagBorderless},
    {"sizeable", kFlagSizeable},
    {"fixed", kFlagFixed},
    {"nohide", kFlagNoHide},
    {"nomodeswitch", kFlagNoModeSwitch},
    {"active", kFlagActive},
    {"hidepointer", kFlagHidePointer},
    {"usequartz", kFlagUseQuartz},
    {"noclose", kFlagNoClose},
    {"fitscale", kFlagFitScale},
    {"keepscreenon", kFlagKeepScreenOn},
    {"hidefromtaskbar", kFlagHideFromTaskbar},
    {"hideoptionsmenu", kFlagHideOptionsMenu},
    {"nohardwarescale", kFlagNoHardwareScale},
    {"disableblanker", kFlagDisableBlanker},
    {"rememberposition", kFlagRememberPosition},
    {"maximized", kFlagMaximized},
    {"traprmb", kFlagTrapRmb},
    {"noscaleengine", kFlagNoScaleEngine},
    {"nativeunits", kFlagNativeUnits},
    {"noliveresize", kFlagNoLiveResize},
    {"alwaysontop", kFlagAlwaysOnTop},
    {"singlemenu", kFlagSingleMenu},
    {"nocyclermenu", kFlagNoCyclerMenu},
    {"softwarerenderer", kFlagSoftwareRenderer},
    {"vsync", kFlagVsync},
    {"backdrop", kFlagBackdrop},
    {"smoothscale", kFlagSmoothScale},
    {"keepproportions", kFlagKeepProportions},
    {"scaleswitch", kFlagScaleSwitch},
};

int Lookup(const NamedValue* table, size_t count, const char* name) {
  for (size_t i = 0; i < count; ++i) {
    if (Host().runtime->strcmp(table[i].name, name) == 0) return table[i].value;
  }
  return -1;
}

// A name or a number; -1 when neither names a known value.
int ReadNamedField(lua_State* L, int table, const char* key, const NamedValue* names, size_t count,
                   int current, int minimum, int maximum) {
  int type = Args().fieldByKey(L, table, key);
  int value = current;
  if (type == kLuaString) {
    value = Lookup(names, count, Lua().tolstring(L, -1, nullptr));
  } else if (type == kLuaNumber) {
    double n = Lua().tonumber(L, -1);
    value = n >= minimum && n <= maximum ? int(n) : -1;
  } else if (type != kLuaNil) {
    value = -1;
  }
  Lua().settop(L, -2);
  return value;
}

bool IsAskMode(int mode) {
  return mode == kModeAsk || mode == kModeAskAuto || mode == kModeAskLayers ||
         mode == kModeModeRequester;
}

}  // namespace

int ModeFromName(const char* name) {
  return name ? Lookup(kModes, std::size(kModes), name) : -1;
}

int FillStyleFromName(const char* name) {
  return name ? Lookup(kFillStyles, std::size(kFillStyles), name) : -1;
}

void SetDisplayDefaults(DisplayRecord* d) {
  d->header.type = kTypeDisplay;
  d->x = d->y = kCentered;
  d->width = 640;
  d->height = 480;
  Host().runtime->strlcpy(d->title, sizeof d->title, "Tessera");
  d->mode = kModeWindowed;
  d->scaleFactor = 1.0;
  d->monitor = 1;
  d->restoreWidth = d->restoreHeight = -1;
  d->backfill.fillStyle = kFillColor;
  d->backfill.color = 0x000000;
  d->backfill.pen = 0;
  d->transparentPen = -1;
}

int ReadDisplayOptions(lua_State* L, int t, DisplayRecord* d, bool create) {
  const ArgumentServices& a = Args();
  for (const FlagKey& k : kFlagKeys) {
    int32_t on;
    if (a.fieldBool(L, t, k.key, &on)) d->flags = on ? d->flags | k.flag : d->flags & ~k.flag;
  }
  a.fieldInt(L, t, "x", &d->x);
  a.fieldInt(L, t, "y", &d->y);
  a.fieldInt(L, t, "width", &d->width);
  a.fieldInt(L, t, "height", &d->height);
  double scale;
  if (a.fieldPercent(L, t, "scalewidth", d->width, &scale)) d->scaleWidth = int32_t(scale);
  if (a.fieldPercent(L, t, "scaleheight", d->height, &scale)) d->scaleHeight = int32_t(scale);
  a.fieldInt(L, t, "scalemode", &d->scaleMode);
  a.fieldInt(L, t, "orientation", &d->orientation);
  a.fieldInt(L, t, "immersivemode", &d->immersiveMode);
  a.fieldInt(L, t, "monitor", &d->monitor);
  a.fieldString(L, t, "title", d->title, sizeof d->title);
  int fillStyle = ReadNamedField(L, t, "fillstyle", kFillStyles, std::size(kFillStyles),
                                 d->backfill.fillStyle, kFillNone, kFillPicture);
  if (fillStyle == kFillGradient) {
    // Gradients are the graphics library's; a build without them cannot fill
    // with one.
    const graphics::GraphicsInterface& g = *gBound.graphics;
    if (!g.ParseGradientTags || !g.CreateGradientBitmap) return kErrNotOnPlatform;
    if (int rc = g.ParseGradientTags(L, t, &d->backfill.gradient, 0, 1)) return rc;
  }
  a.fieldObjectId(L, t, "texturebrush", &d->backfill.textureBrush);
  a.fieldInt(L, t, "texturex", &d->backfill.textureX);
  a.fieldInt(L, t, "texturey", &d->backfill.textureY);
  a.fieldInt(L, t, "fillpen", &d->backfill.pen);
  a.fieldColor(L, t, "color", &d->backfill.color);
  ObjectId menu{}, bgpic{};
  bool wantsMenu = a.fieldObjectId(L, t, "menu", &menu);
  bool wantsBgPic =
      a.fieldObjectId(L, t, "bgpic", &bgpic) | a.fieldObjectId(L, t, "__bgpic", &bgpic);

  int mode = d->mode;
  int32_t hidden = 0, layers = 0;
  bool wantsPalette = false;
  if (create) {
    if (a.fieldBool(L, t, "hidden", &hidden)) {
      d->flags2 = hidden ? d->flags2 | kFlag2Hidden : d->flags2 & ~kFlag2Hidden;
    }
    a.fieldBool(L, t, "layers", &layers);
    a.fieldNumber(L, t, "scalefactor", &d->scaleFactor);
    ObjectId palette{};
    wantsPalette = a.fieldObjectId(L, t, "palette", &palette);
    a.fieldBool(L, t, "__backfill", &d->backfillMarker);
    a.fieldBool(L, t, "__resourcemonitor", &d->resourceMonitor);
    a.fieldInt(L, t, "__restorewidth", &d->restoreWidth);
    a.fieldInt(L, t, "__restoreheight", &d->restoreHeight);
    if (a.fieldByKey(L, t, "__placement") == kLuaTable) {
      a.fieldInt(L, -1, "x", &d->placement[0]);
      a.fieldInt(L, -1, "y", &d->placement[1]);
    }
    Lua().settop(L, -2);
    mode = ReadNamedField(L, t, "mode", kModes, std::size(kModes), d->mode, kModeWindowed,
                          kModeAskLayers);
    a.fieldInt(L, t, "scrwidth", &d->screenWidth);
    a.fieldInt(L, t, "scrheight", &d->screenHeight);
    a.fieldInt(L, t, "scrdepth", &d->screenDepth);
    a.fieldBool(L, t, "desktop", &d->desktop);
    if (wantsPalette) {
      d->paletteId = palette;
      d->paletteWanted = 1;
    }
  }

  // Every value read; now the checks, so that nothing is half applied.
  if (d->width < 1 || d->height < 1) return kErrDisplaySize;
  if (mode < 0 || fillStyle < 0) return kErrRange;
  if (d->scaleMode < 0 || d->scaleMode > 2) return kErrRange;
  if (d->scaleFactor <= 0) return kErrRange;
  if ((d->flags & kFlagHidePointer) && !gBound.pointer) {
    return ErrorWithString(kErrSiblingAbsent, "pointer");
  }
  if (d->flags & kFlagRememberPosition) {
    if (!gBound.application) return ErrorWithString(kErrSiblingAbsent, "application");
    if (!gBound.serialize) return ErrorWithString(kErrSiblingAbsent, "serialize");
  }
  if (wantsMenu && !gBound.menu) return ErrorWithString(kErrSiblingAbsent, "menu");
  if ((wantsBgPic || fillStyle == kFillPicture) && !gBound.bgpic) {
    return ErrorWithString(kErrSiblingAbsent, "bgpic");
  }
  if ((layers || d->scaleMode == 2) && !gBound.layers) {
    return ErrorWithString(kErrSiblingAbsent, "layers");
  }
  // The host's layers library draws layers at the picture's own size.
  if (d->scaleMode == 2) return kErrPluginUnsupported;
  if (IsAskMode(mode) && !gBound.requester) return ErrorWithString(kErrSiblingAbsent, "requester");
  if (wantsPalette && !gBound.palette) return ErrorWithString(kErrSiblingAbsent, "palette");
  if (fillStyle == kFillTexture && !gBound.brush)
    return ErrorWithString(kErrSiblingAbsent, "brush");
  if (d->monitor < 1 || d->monitor > MonitorCount()) return kErrDisplaySize;

  d->backfill.fillStyle = fillStyle;
  if (layers) d->flags2 |= kFlag2Layers;
  // A system-scaled display is a windowed one at the system's scale.
  if (mode == kModeSystemScale) {
    mode = kModeWindowed;
    d->scaleFactor *= SystemScale();
  }
  d->mode = mode;
  d->autoScale = d->scaleMode == 1 || (d->scaleFactor != 1.0 && d->scaleMode != 2);
  d->layerScale = d->scaleMode == 2;
  return 0;
}

}  // namespace tzx::display
