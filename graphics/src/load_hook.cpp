#include "load_hook.h"

#include "gradient_options.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

// Fields of the option table on the stack top.
void SetFlag(lua_State* L, const char* key) {
  Lua().pushstring(L, key);
  Lua().pushboolean(L, 1);
  Lua().settable(L, -3);
}

void SetColor(lua_State* L, const char* key, uint32_t color) {
  Args().setNumberField(L, key, static_cast<double>(color));
}

void SetText(lua_State* L, const char* key, const char* text) {
  if (text[0]) Args().setStringField(L, key, text);
}

void PushFillFields(lua_State* L, const LoadRequest& r) {
  const ArgumentServices& args = Args();
  if (r.fillStyle != 0) args.setIntField(L, "fillstyle", r.fillStyle);
  switch (r.fillStyle) {
    case 1:
      SetColor(L, "fillcolor", r.fillColor);
      args.setIntField(L, "fillpen", r.fillPen);
      break;
    case 2:
      PushGradientTable(L, "gradient", &r.gradient);
      break;
    case 3:
      args.setObjectIdField(L, "texturebrush", r.textureBrush);
      args.setIntField(L, "texturex", r.textureX);
      args.setIntField(L, "texturey", r.textureY);
      break;
    default:
      break;
  }
}

void PushScaleFields(lua_State* L, const LoadRequest& r) {
  const ArgumentServices& args = Args();
  args.setIntField(L, "scalewidth", r.scaleWidth);
  args.setIntField(L, "scaleheight", r.scaleHeight);
  args.setIntField(L, "smoothscale", r.smoothScale);
}

void PushPictureFields(lua_State* L, const LoadRequest& r, int* outFlag) {
  const ArgumentServices& args = Args();
  args.setIntField(L, "width", r.width);
  args.setIntField(L, "height", r.height);
  args.setIntField(L, "x", r.x);
  args.setIntField(L, "y", r.y);
  if (r.kind == 1) {
    if (r.globalAlpha != -1) args.setIntField(L, "globalalpha", r.globalAlpha);
    args.setIntField(L, "hardware", r.hardware);
    PushScaleFields(L, r);
    if (r.hasDisplay) args.setObjectIdField(L, "display", r.display);
  }
  if (r.kind == 2 || r.kind == 7) {
    args.setIntField(L, "frames", r.frames);
    args.setIntField(L, "fpr", r.framesPerRow);
  }
  if (r.kind == 2) {
    args.setIntField(L, "fromdisk", r.fromDisk);
    args.setIntField(L, "skiploopframes", r.skipLoopFrames);
    args.setIntField(L, "deinterlace", r.deinterlace);
    if (r.fromDisk && r.cacheKey[0] && outFlag) *outFlag = 0;
  }
  if (r.cacheFlags & kCacheStore) {
    args.setStringField(L, "__cache", r.cacheKey);
    if (r.cacheFlags & kCacheAlpha) SetFlag(L, "__cachealpha");
  }
  if (r.cacheFlags & kCacheLoad) args.setStringField(L, "__cachedload", r.cacheKey);
}

}  // namespace

int CallLoadHook(lua_State* L, const char* function, const char* file, const LoadRequest* request,
                 int* outFlag) {
  const LoadRequest& r = *request;
  const LuaApi& lua = Lua();
  const ThreadServices& threads = *Host().ext->threads;
  threads.enterCallback(L, 3, 1);
  lua.pushstring(L, function);
  lua.gettable(L, kGlobalsIndex);
  lua.pushnumber(L, r.objectType);
  lua.pushstring(L, file);
  lua.newtable(L);
  if (r.transparentColor != 0xFFFFFFFF) SetColor(L, "transparency", r.transparentColor);
  if (r.loadFlags & kLoadAlpha) {
    SetFlag(L, "loadalpha");
  } else if (r.loadFlags & kLoadTransparency) {
    SetFlag(L, "loadtransparency");
  }
  if (r.loadFlags & kLoadPalette) SetFlag(L, "loadpalette");
  if (r.loadFlags & kLoadTransparentPen) SetFlag(L, "transparentpen");
  if (r.kind == 0) {
    PushFillFields(L, r);
    PushScaleFields(L, r);
  } else {
    PushPictureFields(L, r, outFlag);
  }
  SetText(L, "loader", r.loader);
  SetText(L, "adapter", r.adapter);
  const int rc = lua.callScript(L, 3, 0);
  threads.leaveCallback(L, 0, 0);
  return rc;
}

}  // namespace tzx::graphics
