// LoadBrush and SaveBrush: their arguments and option tables; the work is in
// load_save.cpp.
#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "load_save.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::brush {

namespace {

// "scalewidth" and "scaleheight": pixels, or a percentage of the picture.
void ReadScale(lua_State* L, int t, const char* key, double* value, bool* percent) {
  const ArgumentServices& args = Args();
  if (args.fieldByKey(L, t, key) == kLuaString) {
    size_t length = 0;
    const char* s = Lua().tolstring(L, -1, &length);
    *percent = length > 0 && s[length - 1] == '%';
  }
  Lua().settop(L, -2);
  args.fieldPercent(L, t, key, 1.0, value);
}

int ReadLoadOptions(lua_State* L, LoadOptions* o) {
  const ArgumentServices& args = Args();
  const int argc = Lua().gettop(L);
  o->id = args.newObjectId(L, 1);
  o->file = args.fileName(L, 2, 0, 0);
  if (argc >= 3 && Lua().type(L, 3) == kLuaNumber) {
    // The legacy form: transparent colour, background colour, flag.
    o->transparentColor = ColorArg(L, 3);
    o->colorGiven = o->transparentColor != kNoColor;
    o->secondColor = static_cast<uint32_t>(Lua().optinteger(L, 4, 0));
    o->legacy = Lua().optinteger(L, 5, 0) != 0;
    return 0;
  }
  const int t = OptionalTable(L, 3);
  if (!t) return 0;
  args.fieldBool(L, t, "loadalpha", &o->loadAlpha);
  args.fieldBool(L, t, "loadtransparency", &o->loadTransparency);
  args.fieldBool(L, t, "loadpalette", &o->loadPalette);
  args.fieldInt(L, t, "globalalpha", &o->globalAlpha);
  args.fieldInt(L, t, "x", &o->x);
  args.fieldInt(L, t, "y", &o->y);
  args.fieldInt(L, t, "width", &o->width);
  args.fieldInt(L, t, "height", &o->height);
  args.fieldBool(L, t, "hardware", &o->hardware);
  ReadScale(L, t, "scalewidth", &o->scale[0], &o->scalePercent[0]);
  ReadScale(L, t, "scaleheight", &o->scale[1], &o->scalePercent[1]);
  args.fieldBool(L, t, "smoothscale", &o->smoothScale);
  o->displayGiven = args.fieldObjectId(L, t, "display", &o->display);
  args.fieldString(L, t, "loader", o->loader, sizeof o->loader);
  args.fieldString(L, t, "adapter", o->adapter, sizeof o->adapter);
  o->colorGiven = args.fieldColor(L, t, "transparency", &o->transparentColor);
  o->penGiven = args.fieldInt(L, t, "transparentpen", &o->transparentPen);
  args.fieldString(L, t, "__cache", o->cacheKey, sizeof o->cacheKey);
  args.fieldString(L, t, "__cachedload", o->cachedLoad, sizeof o->cachedLoad);
  args.fieldBool(L, t, "__cachealpha", &o->cacheAlpha);
  // Last: nothing may raise an error while the tags are held.
  return args.userTags(L, t, 0, 0, &o->tags);
}

}  // namespace

// LoadBrush(id, filename[, table]) or LoadBrush(id, filename, transparentColor
// [, backgroundColor[, flag]])
int LoadBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  LoadOptions o;
  int rc = ReadLoadOptions(L, &o);
  PictureLoad load;
  if (!rc) rc = ReadPicture(o, &load);
  Args().freeUserTags(o.tags, 0);
  // The brush that the new one replaces goes once the picture proved good,
  // and before the new planes are made, which may then reuse its memory.
  if (!rc) rc = FreeBrushForReuse(L, o.id);
  BrushRecord* b = nullptr;
  if (!rc) rc = AddLoadedBrush(o, &load, &b);
  ReleasePictureLoad(&load);
  return rc ? rc : PushAutomaticId(L, o.id, b);
}

// SaveBrush(id, filename[, transparentColor = -1[, format = 0[, quality]]])
// or SaveBrush(id, filename, table)
int SaveBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  const ArgumentServices& args = Args();
  ObjectId id = args.objectId(L, 1);
  const char* file = args.fileName(L, 2, 0, 0);
  SaveRequest r{};
  graphics::SaveOptions& options = r.options;
  options.format = graphics::kImgfmtBmp;
  options.quality = 90;
  options.depth = 8;
  r.transparentColor = kNoColor;
  int rc = 0;
  if (IsTableArg(L, 3)) {
    args.fieldColor(L, 3, "transparentcolor", &r.transparentColor);
    r.fill = args.fieldByKey(L, 3, "fillcolor") != kLuaNil;
    Lua().settop(L, -2);
    rc = gBound.graphics->ParseSaveOptions(L, 3, &options);
  } else {
    r.transparentColor = static_cast<uint32_t>(Lua().optinteger(L, 3, -1));
    const int format = Lua().optinteger(L, 4, graphics::kImgfmtBmp);
    rc = gBound.graphics->ParseSaveOptions(L, 5, &options);
    options.format = format;
  }
  if (!rc && !gBound.imageio) rc = ErrorWithString(kErrSiblingAbsent, "imageio");
  BrushRecord* b = nullptr;
  if (!rc) rc = FindBrush(L, &id, &b, kFindReadHardware);
  if (!rc) rc = SaveBrushFile(b, file, r);
  args.freeUserTags(options.userTags, 0);
  return rc;
}

}  // namespace tzx::brush
