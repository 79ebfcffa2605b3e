// LoadBrush and SaveBrush: pictures decoded and encoded by the imageio
// sibling, cut, keyed and turned into planes by the graphics library.
#include <algorithm>
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "glue.h"
#include "plane_lock.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

// The loader of every picture the host's imageio decodes.
constexpr const char* kInbuiltLoader = "inbuilt";

struct LoadOptions {
  ObjectId id{};
  const char* file = nullptr;
  int32_t loadAlpha = 0;
  int32_t loadTransparency = 0;
  int32_t loadPalette = 0;
  int32_t hardware = 0;
  int32_t smoothScale = 0;
  int32_t cacheAlpha = 0;
  int32_t globalAlpha = -1;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  double scale[2] = {0, 0};
  bool scalePercent[2] = {false, false};
  uint32_t transparentColor = kNoColor;
  bool colorGiven = false;
  int32_t transparentPen = kNoPen;
  bool penGiven = false;
  uint32_t secondColor = 0;
  int32_t legacy = 0;
  ObjectId display{};
  bool displayGiven = false;
  char loader[256] = {};
  char adapter[256] = {};
  char cacheKey[512] = {};
  char cachedLoad[512] = {};
  UserTags* tags = nullptr;
};

// A decoded picture in host blocks. Pen rows are `width` entries long; the
// colours are laid out as a colour bitmap's store (rows of `rowLength` words,
// then a spare row), which the brush's bitmap can take over.
struct Picture {
  uint32_t* argb = nullptr;  // or ...
  uint8_t* pens = nullptr;   // ... with palette
  uint32_t* palette = nullptr;
  uint8_t* cycles = nullptr;
  int32_t cycleCount = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t rowLength = 0;
  int32_t depth = 0;
  int32_t transparency = kTransparencyNone;
  uint32_t key = kNoColor;  // the picture's transparent colour or pen
  char format[256] = {};
};

void ReleasePicture(Picture* p) {
  HostFree(p->argb);
  HostFree(p->pens);
  HostFree(p->palette);
  HostFree(p->cycles);
  *p = Picture{};
}

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

int CheckConflicts(const LoadOptions& o) {
  const bool globalAlpha = o.globalAlpha >= 0;
  if ((o.colorGiven && o.loadPalette) || (o.penGiven && !o.loadPalette) ||
      (o.loadAlpha && (o.loadTransparency || o.loadPalette)) ||
      (o.loadTransparency && o.colorGiven) || (o.loadPalette && (o.hardware || globalAlpha))) {
    return kErrRange;
  }
  if ((globalAlpha || o.loadAlpha) && o.colorGiven) return kErrAlphaWithTransparency;
  return 0;
}

// Percentages of the picture's size, through the imageio probe.
int ResolveScale(const ImageIoSibling& io, LoadOptions* o, int32_t out[2]) {
  out[0] = static_cast<int32_t>(o->scale[0]);
  out[1] = static_cast<int32_t>(o->scale[1]);
  if (!o->scalePercent[0] && !o->scalePercent[1]) return 0;
  int type, format, size[2], depth, alpha, transparency;
  if (!io.probe(o->file, o->loader, o->adapter, o->tags, &type, &format, &size[0], &size[1], &depth,
                &alpha, &transparency)) {
    return kErrPluginUnsupported;
  }
  for (int i = 0; i < 2; ++i) {
    if (o->scalePercent[i]) out[i] = std::max(1, static_cast<int32_t>(o->scale[i] * size[i] + 0.5));
  }
  return 0;
}

int Decode(const LoadOptions& o, Picture* p) {
  const ImageIoSibling* io = gBound.imageio;
  if (!io) return ErrorWithString(kErrSiblingAbsent, "imageio");
  LoadOptions scaled = o;
  int32_t scale[2];
  if (int rc = ResolveScale(*io, &scaled, scale)) return rc;
  ImageDecodeRequest r;
  std::memset(&r, 0, sizeof r);
  Host().runtime->strlcpy(r.loader, sizeof r.loader, o.loader);
  Host().runtime->strlcpy(r.adapter, sizeof r.adapter, o.adapter);
  r.tags = o.tags;
  r.scaleWidth = scale[0];
  r.scaleHeight = scale[1];
  r.smoothScale = o.smoothScale;
  r.secondColor = o.secondColor;
  // The alpha values come in the top bytes of the colours, which is where
  // the planes are made from: a separate alpha plane (kDecodeAlpha) would
  // only be one more pass and copy. Loads that flatten alpha (legacy) never
  // load it.
  r.flags = kDecodeTrueColor | kDecodeFormatName | (o.legacy ? uint32_t{kDecodeLegacy} : 0u);
  if (o.loadTransparency) r.flags |= kDecodeTransparency;
  if (o.loadPalette) r.flags |= kDecodePens | kDecodePalette;
  if (int rc = io->decode(o.file, &r)) return rc;
  HostFree(r.alpha);
  *p = Picture{.argb = r.bitmap,
               .pens = r.chunky,
               .palette = r.palette,
               .cycles = r.cycles,
               .cycleCount = r.cycleCount,
               .width = r.width,
               .height = r.height,
               .rowLength = r.bitmapRowLength,
               .depth = r.depth,
               .transparency = r.transparency,
               .key = r.transparentColor};
  std::memcpy(p->format, r.format, sizeof p->format);
  p->format[sizeof p->format - 1] = 0;
  if (p->transparency == kTransparencyWhole) p->key = kNoColor;
  return 0;
}

// The cached picture stands for the file: true colour, with the alpha
// channel when it was cached with one.
int DecodeCached(const LoadOptions& o, Picture* p) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  graphics::CachedImage c{};
  if (int rc = g.CacheLookup(o.cachedLoad, o.loadAlpha, &c)) return rc;
  const int32_t rowLength = graphics::ColorRowPixels(c.width);
  int rc = c.image && c.image->pixels ? 0 : static_cast<int>(kErrNotCached);
  uint32_t* argb = nullptr;
  if (!rc) {
    const size_t rows = static_cast<size_t>(c.height) + graphics::kColorSpareRows;
    argb = static_cast<uint32_t*>(HostAlloc(rows * rowLength * 4, true));
  }
  if (!rc && !argb) rc = kErrNoMemory;
  for (int32_t y = 0; !rc && y < c.height; ++y) {
    std::memcpy(argb + static_cast<size_t>(y) * rowLength,
                c.image->pixels + static_cast<size_t>(y) * c.width,
                static_cast<size_t>(c.width) * 4);
  }
  g.ReleaseImageObject(c.image);
  g.FreeBitmapSet(nullptr, nullptr, &c.alpha);
  HostFree(c.palette);
  HostFree(c.ranges);
  if (rc) return rc;
  *p = Picture{.argb = argb,
               .width = c.width,
               .height = c.height,
               .rowLength = rowLength,
               .depth = c.values[2],
               .transparency = c.values[0],
               .key = static_cast<uint32_t>(c.values[1])};
  Host().runtime->strlcpy(p->format, sizeof p->format, c.loader);
  return 0;
}

// The picture's colours in rows of `width` words, as image objects keep them:
// p.argb itself when it has no padding, else a new block.
uint32_t* PackedColors(const Picture& p) {
  if (p.argb && p.rowLength == p.width) return p.argb;
  const size_t width = p.width;
  auto* colors = static_cast<uint32_t*>(HostAlloc(width * p.height * 4, false));
  if (!colors) return nullptr;
  for (int32_t y = 0; y < p.height; ++y) {
    uint32_t* out = colors + y * width;
    if (p.argb) {
      std::memcpy(out, p.argb + static_cast<size_t>(y) * p.rowLength, width * 4);
    } else {
      const uint8_t* pens = p.pens + y * width;
      for (size_t x = 0; x < width; ++x) out[x] = p.palette[pens[x]] | 0xFF000000;
    }
  }
  return colors;
}

// Keeps the decoded picture in the image cache under the key.
int StoreInCache(const LoadOptions& o, const Picture& p) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  uint32_t* colors = PackedColors(p);
  if (!colors) return kErrNoMemory;
  graphics::CachedImage c{};
  c.width = p.width;
  c.height = p.height;
  c.values[0] = p.transparency;
  c.values[1] = static_cast<int32_t>(p.key);
  c.values[2] = p.depth;
  c.image = g.CreateImageObject(graphics::kImagetypeRaster, p.width, p.height, colors, nullptr,
                                nullptr, nullptr);
  if (colors != p.argb) HostFree(colors);
  int rc = c.image ? 0 : kErrNoMemory;
  if (!rc && o.cacheAlpha && p.argb) {
    c.alpha = g.AllocAlpha(p.width, p.height, 0, nullptr, 0);
    PlaneLock l;
    if (!c.alpha || !LockPlane(c.alpha, true, &l)) {
      rc = kErrAllocAlpha;
    } else {
      for (int y = 0; y < p.height; ++y) {
        const uint32_t* row = p.argb + static_cast<size_t>(y) * p.rowLength;
        uint8_t* levels = PlaneRow(l, y);
        for (int x = 0; x < p.width; ++x) levels[x] = static_cast<uint8_t>(row[x] >> 24);
      }
      UnlockPlane(&l);
    }
  }
  Host().runtime->strlcpy(c.loader, sizeof c.loader, p.format);
  if (!rc) rc = g.CacheStore(o.cacheKey, &c);
  g.ReleaseImageObject(c.image);
  g.FreeBitmapSet(nullptr, nullptr, &c.alpha);
  return rc;
}

struct Window {
  int x, y, width, height;
};

int CutWindow(const LoadOptions& o, const Picture& p, Window* w) {
  if (o.x < 0 || o.y < 0) return kErrNegativePosition;
  if (o.x >= p.width || o.y >= p.height) return kErrOutside;
  if (o.width < 0 || o.height < 0) return kErrSizeTooSmall;
  w->x = o.x;
  w->y = o.y;
  w->width = std::min(o.width > 0 ? o.width : p.width, p.width - o.x);
  w->height = std::min(o.height > 0 ? o.height : p.height, p.height - o.y);
  if (p.transparency == kTransparencyWhole && (w->width != p.width || w->height != p.height)) {
    return kErrNotAllowed;
  }
  return 0;
}

// The transparent pen of a pen picture: the chosen one or the picture's key.
int PenPictureKey(const LoadOptions& o, const Picture& p, int* pen) {
  *pen = o.penGiven                           ? o.transparentPen
         : p.transparency == kTransparencyKey ? static_cast<int32_t>(p.key)
                                              : kNoPen;
  if (p.depth < 1 || p.depth > 8) return ErrorWithString(kErrUnsupportedDepth, o.file);
  if (*pen != kNoPen && (*pen < 0 || *pen >= PenCount(p.depth))) return kErrPenRange;
  return 0;
}

// The pens of the window in a new index bitmap, with the picture's palette.
int MakePenPlanes(Picture* p, const Window& w, int pen, NewBrush* n) {
  BitmapHandle* chunky = gBound.graphics->AllocIndexBitmap(w.width, w.height, 0);
  if (!chunky) return kErrAllocIndexBitmap;
  PlaneLock l;
  if (!LockPlane(chunky, true, &l)) {
    gBound.graphics->FreeIndexBitmap(chunky);
    return kErrLockBitmap;
  }
  for (int y = 0; y < w.height; ++y) {
    std::memcpy(PlaneRow(l, y), p->pens + static_cast<size_t>(w.y + y) * p->width + w.x, w.width);
  }
  UnlockPlane(&l);
  n->chunky = chunky;
  n->palette = p->palette;
  p->palette = nullptr;
  n->depth = p->depth;
  n->transparentPen = pen;
  return 0;
}

// The colour bitmap of the window, with a mask for the transparent colour or
// an alpha channel from the top bytes. A window of the whole picture becomes
// the bitmap without a copy: the bitmap takes the picture's colours over.
int MakeColorPlanes(const LoadOptions& o, Picture* p, const Window& w, void* displayKey,
                    NewBrush* n) {
  uint32_t key = o.colorGiven ? o.transparentColor & 0xFFFFFF : kNoColor;
  if (!o.colorGiven && o.loadTransparency && p->transparency == kTransparencyKey) key = p->key;
  bool alpha = o.loadAlpha && p->depth == 32;
  if (o.globalAlpha >= 0) {
    const uint32_t level = static_cast<uint32_t>(std::clamp(o.globalAlpha, 0, 255));
    for (int y = 0; y < w.height; ++y) {
      uint32_t* row = p->argb + static_cast<size_t>(w.y + y) * p->rowLength + w.x;
      for (int x = 0; x < w.width; ++x) {
        const uint32_t a = alpha ? (row[x] >> 24) * level / 255 : level;
        row[x] = (row[x] & 0xFFFFFF) | a << 24;
      }
    }
    alpha = true;
  }
  const bool whole = w.width == p->width && w.height == p->height;
  const uint32_t flags = (alpha ? graphics::kConvertAlphaFromTopByte : 0) |
                         (o.smoothScale ? graphics::kConvertSmooth : 0) |
                         (whole ? graphics::kConvertTakePixels : 0);
  const uint32_t* first = p->argb + static_cast<size_t>(w.y) * p->rowLength + w.x;
  if (int rc =
          gBound.graphics->ConvertBitmapSet(first, key, w.width, w.height, p->rowLength, o.hardware,
                                            flags, displayKey, &n->bitmap, &n->mask, &n->alpha)) {
    return rc;
  }
  if (whole) p->argb = nullptr;
  n->transparentPen = n->mask ? static_cast<int32_t>(key) : kNoPen;
  n->depth = n->mask || n->alpha ? 32 : 24;
  return 0;
}

}  // namespace

// LoadBrush(id, filename[, table]) or LoadBrush(id, filename, transparentColor
// [, backgroundColor[, flag]])
int LoadBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  LoadOptions o;
  int rc = ReadLoadOptions(L, &o);
  if (!rc) rc = CheckConflicts(o);
  void* displayKey = nullptr;
  if (!rc && o.hardware) rc = DisplayKeyFor(o.displayGiven ? &o.display : nullptr, &displayKey);
  Picture p{};
  if (!rc) rc = o.cachedLoad[0] ? DecodeCached(o, &p) : Decode(o, &p);
  if (!rc && o.cacheKey[0] && !o.cachedLoad[0]) rc = StoreInCache(o, p);
  Window w{};
  if (!rc) rc = CutWindow(o, p, &w);
  int pen = kNoPen;
  if (!rc && p.pens) rc = PenPictureKey(o, p, &pen);
  Args().freeUserTags(o.tags, 0);
  // The brush that the new one replaces goes once the picture proved good,
  // and before the new planes are made, which may then reuse its memory.
  if (!rc) rc = FreeBrushForReuse(L, o.id);
  NewBrush n{};
  if (!rc) rc = p.pens ? MakePenPlanes(&p, w, pen, &n) : MakeColorPlanes(o, &p, w, displayKey, &n);
  BrushRecord* b = nullptr;
  if (!rc) {
    n.id = o.id;
    n.kind = kKindRaster;
    n.width = w.width;
    n.height = w.height;
    n.rowWidth = w.width;
    n.cycles = p.cycles;
    n.cycleCount = p.cycleCount;
    n.format = p.format;
    if (o.hardware) n.displayId = o.display;
    rc = AddBrushRecord(&n, &b);
  }
  ReleasePicture(&p);
  if (rc) {
    gBound.graphics->FreeBitmapSet(&n.bitmap, &n.mask, &n.alpha);
    gBound.graphics->FreeBitmapSet(&n.chunky, nullptr, nullptr);
    HostFree(n.palette);
    return rc;
  }
  b->loader = kInbuiltLoader;
  b->sourceX = w.x;
  b->sourceY = w.y;
  if (b->bitmap && gBound.graphics->GetBitmapAttr(b->bitmap, graphics::kAttrVideo)) {
    b->hardware = 1;
    b->displayKey = displayKey;
    b->hwFlags = (b->mask ? kHwHasMask : 0) | (b->alpha ? kHwHasAlpha : 0);
  }
  return PushAutomaticId(L, o.id, b);
}

namespace {

// The planes of a brush as imageio reads them: locked in place, except a
// colour bitmap of another format, which is copied as 0xAARRGGBB words.
struct SavePlanes {
  ImagePlane bitmap{}, mask{}, alpha{}, chunky{};
  PlaneLock locks[4]{};
  uint32_t* copy = nullptr;
};

void ReleaseSavePlanes(SavePlanes* s) {
  for (PlaneLock& l : s->locks) UnlockPlane(&l);
  HostFree(s->copy);
}

int LockForSave(BrushRecord* b, SavePlanes* s) {
  BitmapHandle* planes[4] = {b->bitmap, b->mask, b->alpha, b->chunky};
  ImagePlane* outs[4] = {&s->bitmap, &s->mask, &s->alpha, &s->chunky};
  for (int i = 0; i < 4; ++i) {
    if (!planes[i]) continue;
    if (!LockPlane(planes[i], false, &s->locks[i])) return kErrLockBitmap;
    *outs[i] = ImagePlane{s->locks[i].pixels, s->locks[i].bytesPerRow};
  }
  if (b->bitmap && s->locks[0].format != graphics::kFormatArgb32) {
    s->copy =
        gBound.graphics->BitmapToARGBArray(b->bitmap, nullptr, nullptr, 0, 0, b->width, b->height);
    if (!s->copy) return kErrNoMemory;
    s->bitmap = ImagePlane{s->copy, b->width * 4};
  }
  return 0;
}

}  // namespace

// SaveBrush(id, filename[, transparentColor = -1[, format = 0[, quality]]])
// or SaveBrush(id, filename, table)
int SaveBrush(lua_State* L) {
  L = Args().beginCommand(L, 2, 5, 0, 0);
  const ArgumentServices& args = Args();
  ObjectId id = args.objectId(L, 1);
  const char* file = args.fileName(L, 2, 0, 0);
  graphics::SaveOptions options{};
  options.format = graphics::kImgfmtBmp;
  options.quality = 90;
  options.depth = 8;
  uint32_t transparentColor = kNoColor;
  bool fill = false;
  int rc = 0;
  if (IsTableArg(L, 3)) {
    args.fieldColor(L, 3, "transparentcolor", &transparentColor);
    fill = args.fieldByKey(L, 3, "fillcolor") != kLuaNil;
    Lua().settop(L, -2);
    rc = gBound.graphics->ParseSaveOptions(L, 3, &options);
  } else {
    transparentColor = static_cast<uint32_t>(Lua().optinteger(L, 3, -1));
    const int format = Lua().optinteger(L, 4, graphics::kImgfmtBmp);
    rc = gBound.graphics->ParseSaveOptions(L, 5, &options);
    options.format = format;
  }
  const ImageIoSibling* io = gBound.imageio;
  if (!rc && !io) rc = ErrorWithString(kErrSiblingAbsent, "imageio");
  BrushRecord* b = nullptr;
  if (!rc) rc = FindBrush(L, &id, &b, kFindReadHardware);
  if (!rc && !b->bitmap && !b->chunky) rc = kErrNotAllowed;
  SavePlanes s;
  if (!rc) rc = LockForSave(b, &s);
  if (!rc) {
    const bool pens = b->chunky != nullptr;
    const ImageSaveOptions fillOptions{options.fillColor};
    rc = io->saveBrush(options.format, pens ? nullptr : &s.bitmap, b->width, b->height, file,
                       options.adapter, options.userTags, b->mask ? &s.mask : nullptr,
                       static_cast<int32_t>(transparentColor), b->alpha ? &s.alpha : nullptr,
                       pens ? &s.chunky : nullptr, b->palette, pens ? b->depth : options.depth,
                       pens ? b->transparentPen : kNoPen, options.quality,
                       fill ? &fillOptions : nullptr, b->hardware);
  }
  ReleaseSavePlanes(&s);
  args.freeUserTags(options.userTags, 0);
  return rc;
}

}  // namespace tzx::brush
