#include "load_save.h"

#include <algorithm>
#include <cstring>

#include "bindings.h"
#include "copy.h"
#include "plane_lock.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"
#include "tzx/graphics_layout.h"

namespace tzx::brush {

namespace {

// The loader of every picture the host's imageio decodes.
constexpr const char* kInbuiltLoader = "inbuilt";

void ReleasePicture(Picture* p) {
  HostFree(p->argb);
  HostFree(p->pens);
  HostFree(p->palette);
  HostFree(p->cycles);
  *p = Picture{};
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

int ReadPicture(const LoadOptions& o, PictureLoad* load) {
  int rc = CheckConflicts(o);
  if (!rc && o.hardware) {
    rc = DisplayKeyFor(o.displayGiven ? &o.display : nullptr, &load->displayKey);
  }
  Picture& p = load->picture;
  if (!rc) rc = o.cachedLoad[0] ? DecodeCached(o, &p) : Decode(o, &p);
  if (!rc && o.cacheKey[0] && !o.cachedLoad[0]) rc = StoreInCache(o, p);
  if (!rc) rc = CutWindow(o, p, &load->window);
  if (!rc && p.pens) rc = PenPictureKey(o, p, &load->pen);
  return rc;
}

int AddLoadedBrush(const LoadOptions& o, PictureLoad* load, BrushRecord** out) {
  Picture& p = load->picture;
  const Window& w = load->window;
  NewBrush n{};
  int rc = p.pens ? MakePenPlanes(&p, w, load->pen, &n)
                  : MakeColorPlanes(o, &p, w, load->displayKey, &n);
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
  if (rc) {
    FreeNewBrush(&n);
    return rc;
  }
  b->loader = kInbuiltLoader;
  b->sourceX = w.x;
  b->sourceY = w.y;
  if (b->bitmap && gBound.graphics->GetBitmapAttr(b->bitmap, graphics::kAttrVideo)) {
    b->hardware = 1;
    b->displayKey = load->displayKey;
    b->hwFlags = (b->mask ? kHwHasMask : 0) | (b->alpha ? kHwHasAlpha : 0);
  }
  *out = b;
  return 0;
}

void ReleasePictureLoad(PictureLoad* load) {
  ReleasePicture(&load->picture);
}

int SaveBrushFile(BrushRecord* b, const char* file, const SaveRequest& r) {
  if (!b->bitmap && !b->chunky) return kErrNotAllowed;
  SavePlanes s;
  int rc = LockForSave(b, &s);
  if (!rc) {
    const graphics::SaveOptions& options = r.options;
    const bool pens = b->chunky != nullptr;
    const ImageSaveOptions fillOptions{options.fillColor};
    rc = gBound.imageio->saveBrush(
        options.format, pens ? nullptr : &s.bitmap, b->width, b->height, file, options.adapter,
        options.userTags, b->mask ? &s.mask : nullptr, static_cast<int32_t>(r.transparentColor),
        b->alpha ? &s.alpha : nullptr, pens ? &s.chunky : nullptr, b->palette,
        pens ? b->depth : options.depth, pens ? b->transparentPen : kNoPen, options.quality,
        r.fill ? &fillOptions : nullptr, b->hardware);
  }
  ReleaseSavePlanes(&s);
  return rc;
}

}  // namespace tzx::brush
