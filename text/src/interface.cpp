// The text library's interface table: what graphics, brush and display call
// to find text objects and fonts and to render text. Slots return host
// error codes and never raise a script error.
#include <cstring>

#include "bindings.h"
#include "font_discovery.h"
#include "font_handles.h"
#include "font_record.h"
#include "fonts.h"
#include "layout_options.h"
#include "print.h"
#include "print_glue.h"
#include "style.h"
#include "text_objects.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/siblings/vectorpath.h"
#include "tzx/text.h"
#include "tzx/text_constants.h"

namespace tzx::text {

namespace {

// The siblings' request as a layout request; a null font is the current one.
int ToLayoutRequest(const TextRequest& t, LayoutRequest* r) {
  r->style = t.style;
  if (!r->style.font) r->style.font = CurrentStyle().font;
  if (!r->style.font) return kErrFontNotFound;
  r->text = t.text ? t.text : "";
  r->length = t.text ? t.length : 0;
  r->align = t.align;
  r->wrapWidth = t.wrapWidth;
  if (t.encoding != 0 && t.encoding != 1) return kErrZeroOrOne;
  r->encoding = t.encoding;
  r->lineSpacing = t.lineSpacing;
  r->charSpacing = t.charSpacing;
  r->formatTags = t.flagA != 0;
  r->listMode = t.flagB != 0;
  if (t.tabCount < 0 || t.tabCount > kMaxTabs - 1) return kErrTooMany;
  r->tabCount = t.tabCount;
  std::memcpy(r->tabs, t.tabs, sizeof r->tabs);
  static_assert(sizeof r->list == sizeof t.list);
  std::memcpy(r->list, t.list, sizeof r->list);
  return 0;
}

void ToRendered(const ObjectPlanes& p, const FontRecord* font, RenderedText* out) {
  *out = RenderedText{};
  out->color = p.color;
  out->alpha = p.alpha;
  out->width = p.width;
  out->height = p.height;
  out->offsetX = p.adjustX;
  out->offsetY = p.adjustY;
  out->depth = FontDepthOf(font);
  out->transparentPen = -1;
}

// Slot 0.
int InitDefaultFont(FontRecord** out) {
  if (int rc = InitFonts()) return rc;
  CurrentStyle().font = TopazFont();
  *out = TopazFont();
  return 0;
}

// Slot 1.
int FindFontHandle(const ObjectId* id, FontHandle** out) {
  return FindHandle(*id, out);
}

// Slot 2. A found object is pinned for the caller's command, so that it is
// neither replaced nor freed while the caller draws it.
int FindTextObjectSlot(const FindTextObjectArgs* a) {
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(*a->id, a->flags & kFindDeferred, &o)) return rc;
  if ((a->flags & kFindClaimLayer) && o->head.layerClaimed) return kErrObjectBusy;
  if (a->L) {
    if (int rc = PinTextObject(a->L, o)) return rc;
  }
  if (a->flags & kFindClaimLayer) o->head.layerClaimed = 1;
  *a->out = &o->head;
  return 0;
}

// Slot 5.
TextRequest* InitTextRequest(TextRequest* r) {
  r->encoding = DefaultEncoding();
  r->align = -90000;
  r->flagA = 1;
  r->flagB = 0;
  return r;
}

// Slot 6: the request in planes of its own, under the transform when one is
// given. The target and index name the caller's object; the planes are the
// caller's.
int RenderText(lua_State*, void*, int, const TextRequest* request, int type, int formatTagsDisabled,
               int, const graphics::TransformRecord* transform, const graphics::TagRecord*,
               uint32_t, RenderedText* out) {
  *out = RenderedText{};
  if (type != kRenderTextObject && type != kRenderTextOut && type != kRenderPrint) {
    return kErrRange;
  }
  LayoutRequest r;
  DefaultListSettings(&r);
  if (int rc = ToLayoutRequest(*request, &r)) return rc;
  if (formatTagsDisabled) r.formatTags = false;
  ObjectPlanes p;
  if (int rc = RenderPlain(r, &p)) return rc;
  if (transform) {
    const int32_t baseX = p.adjustX, baseY = p.adjustY;
    const int32_t w = p.width, h = p.height;
    FreeObjectPlanes(&p);
    graphics::TransformRecord t = *transform;
    if (!t.matrixGiven) gBound.graphics->BuildTransformMatrix(&t, t.width, t.height, w, h);
    if (int rc = RenderTransformed(r, t, w, h, &p)) return rc;
    TransformedAdjust(t.matrix, baseX, baseY, &p.adjustX, &p.adjustY);
  }
  ToRendered(p, r.style.font, out);
  return 0;
}

// Slots 3 and 4: a text rendered into planes that a new layer of the
// display takes over, its corner at (x, y).
int InsertTextLayer(lua_State* L, void* display, int32_t type, const ObjectId& id,
                    const ObjectId& source, int x, int y, const TextRequest* request,
                    const graphics::TransformRecord* transform) {
  const LayersSibling* layers = gBound.layers;
  if (!layers || !layers->insertLayer) return ErrorWithString(kErrSiblingAbsent, "layers");
  if (!display) return kErrNoOutput;
  if (!request) return kErrRange;
  RenderedText out;
  if (int rc = RenderText(L, nullptr, 0, request, type, 0, 0, transform, nullptr, 0, &out)) {
    return rc;
  }
  LayerRequest r{};
  r.type = type;
  r.id = id;
  r.source = source;
  r.x = x + out.offsetX;
  r.y = y + out.offsetY;
  r.width = out.width;
  r.height = out.height;
  r.color = out.color;
  r.mask = out.mask;
  r.alpha = out.alpha;
  const int rc = layers->insertLayer(L, display, &r);
  gBound.graphics->FreeBitmapSet(&r.color, &r.mask, &r.alpha);
  return rc;
}

// Slot 3: the text object's request at (x, y) of the current display, as a
// new layer numbered by the layers library.
int AddTextObjectLayer(const TextObjectLayerRecord* rec) {
  if (!gBound.layers) return ErrorWithString(kErrSiblingAbsent, "layers");
  if (!rec) return kErrRange;
  graphics::OutputRecord* output = *gBound.graphics->currentDisplay;
  return InsertTextLayer(rec->L, output ? output->owner : nullptr, kRenderTextObject, ObjectId{},
                         rec->id, rec->x, rec->y, rec->request, rec->transform);
}

// Slot 4: a text as the display's layer `id`.
int AddTextLayer(lua_State* L, const void* display, const ObjectId* id, int x, int y, int, int,
                 const TextRequest* request) {
  if (!gBound.layers) return ErrorWithString(kErrSiblingAbsent, "layers");
  if (!id) return kErrRange;
  return InsertTextLayer(L, const_cast<void*>(display), kRenderTextOut, *id, ObjectId{}, x, y,
                         request, nullptr);
}

// Slot 7: the object's request under its transform, in new planes.
int RenderTextObject(lua_State*, TextObjectHead* object, int, RenderedText* out) {
  *out = RenderedText{};
  auto* o = reinterpret_cast<TextObject*>(object);
  ObjectPlanes p;
  if (int rc =
          RenderTransformed(o->request, o->transform, object->baseWidth, object->baseHeight, &p)) {
    return rc;
  }
  ToRendered(p, o->request.style.font, out);
  out->offsetX = object->adjustX;
  out->offsetY = object->adjustY;
  return 0;
}

// Slot 8.
int RenderTextToBitmaps(const RenderBitmapsRecord* rec) {
  LayoutRequest r;
  DefaultListSettings(&r);
  if (int rc = ToLayoutRequest(*rec->request, &r)) return rc;
  const FontRecord* font = r.style.font;
  uint32_t* palette = nullptr;
  if (rec->wantPalette) {
    palette = static_cast<uint32_t*>(HostAlloc(256 * sizeof(uint32_t)));
    if (!palette) return kErrNoMemory;
    if (const uint32_t* own = FontPaletteOf(font)) {
      std::memcpy(palette, own, 256 * sizeof(uint32_t));
    } else {
      palette[1] = r.style.fontColor & 0xFFFFFF;
    }
  }
  ObjectPlanes p;
  if (int rc = RenderPlain(r, &p)) {
    HostFree(palette);
    return rc;
  }
  *rec->color = p.color;
  *rec->mask = nullptr;
  *rec->alpha = p.alpha;
  if (rec->palette) {
    *rec->palette = palette;
  } else {
    HostFree(palette);
  }
  if (rec->paletteFlag) *rec->paletteFlag = FontPaletteOf(font) != nullptr;
  if (rec->vectorFlag) *rec->vectorFlag = 0;
  if (rec->vector) *rec->vector = nullptr;
  *rec->width = p.width;
  *rec->height = p.height;
  *rec->depth = FontDepthOf(font);
  return 0;
}

// Slot 9: text objects are read here; other objects' images would come from
// the layers library, whose host version hands out no object images.
int RenderObjectOutline(const OutlineRecord* rec) {
  if (rec->type != kTypeTextObject) {
    return gBound.layers ? kErrPluginUnsupported : ErrorWithString(kErrSiblingAbsent, "layers");
  }
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(rec->id, 0, &o)) return rc;
  if (rec->size < 0) return kErrRange;
  const graphics::GraphicsInterface& g = *gBound.graphics;
  const int n = rec->size;
  const int w = o->head.width + 2 * n + 1, h = o->head.height + 2 * n + 1;
  graphics::BitmapHandle* color = g.AllocBitmap(w, h, 0, nullptr);
  if (!color) return kErrAllocIndexBitmap;
  graphics::BitmapHandle* alpha = g.AllocAlpha(w, h, 0, nullptr, 0);
  if (!alpha) {
    g.FreeBitmap(color);
    return kErrAllocAlpha;
  }
  int rc = g.FillBitmapRect(color, 0, 0, w, h, rec->color & 0xFFFFFF);
  // Each offset of the square adds the coverage; the larger value stays.
  for (int j = 0; !rc && j <= 2 * n; ++j) {
    for (int i = 0; !rc && i <= 2 * n; ++i) {
      rc = g.BlitAlphaToAlpha(o->head.alpha, 0, 0, alpha, i, j, o->head.width, o->head.height, 1);
    }
  }
  if (!rc && rec->level >= 0 && rec->level < 255) rc = g.ScaleAlpha(alpha, alpha, h, rec->level);
  if (rc) {
    g.FreeAlpha(alpha);
    g.FreeBitmap(color);
    return rc;
  }
  *rec->outColor = color;
  if (rec->outMask) *rec->outMask = nullptr;
  *rec->outAlpha = alpha;
  if (rec->outPalette) *rec->outPalette = nullptr;
  *rec->outWidth = w;
  *rec->outHeight = h;
  return 0;
}

// Slot 11.
void DefaultLoaderList(int engine, char* buffer, size_t size) {
  Host().runtime->strlcpy(buffer, size, DefaultLoaders(engine));
}

// Slot 13.
int ParseTabsTable(lua_State* L, int index, TextRequest* request, int* present) {
  *present = 0;
  if (Lua().type(L, index) != kLuaTable) return kErrNotTable;
  LayoutRequest r;
  r.tabCount = request->tabCount;
  const int type = Args().fieldByKey(L, index, "tabs");
  Lua().settop(L, -2);
  if (type == kLuaNil) return 0;
  if (int rc = ReadTabs(L, index, &r)) return rc;
  *present = 1;
  request->tabCount = r.tabCount;
  std::memcpy(request->tabs, r.tabs, sizeof request->tabs);
  return 0;
}

// Slot 14.
int ParseListOptions(lua_State* L, int index, TextRequest* request, int reset, int* present) {
  *present = 0;
  if (Lua().type(L, index) != kLuaTable) return kErrNotTable;
  LayoutRequest r;
  if (reset) {
    DefaultListSettings(&r);
  } else {
    std::memcpy(r.list, request->list, sizeof r.list);
  }
  static const char* const kKeys[] = {"listbullet",    "listindent",    "listoffset",
                                      "listspacing",   "deflistbullet", "deflistindent",
                                      "deflistoffset", "deflistspacing"};
  for (const char* key : kKeys) {
    const int type = Args().fieldByKey(L, index, key);
    Lua().settop(L, -2);
    if (type != kLuaNil) *present = 1;
  }
  if (int rc = ReadListSettings(L, index, &r)) return rc;
  std::memcpy(request->list, r.list, sizeof request->list);
  return 0;
}

// Slots 15 and 17: nodes a vector-path library attached to fonts.

void FreeNodesOf(FontRecord* font, void*) {
  auto* vectorpath = gBound.vectorpath;
  while (AttachedNode* node = font->attachedNodes) {
    font->attachedNodes = node->next;
    if (vectorpath && vectorpath->releaseNode) vectorpath->releaseNode(node->data);
    HostFree(node);
  }
}

void FreeAllGlyphCacheNodes() {
  ForEachOpenFont(FreeNodesOf, nullptr);
}

struct NodeSearch {
  const void* key;
  FontRecord* found;
};

void SearchNodes(FontRecord* font, void* context) {
  auto* s = static_cast<NodeSearch*>(context);
  for (AttachedNode* n = font->attachedNodes; n && !s->found; n = n->next) {
    if (n->key == s->key) s->found = font;
  }
}

FontRecord* FindFontByCacheNode(const void* key) {
  NodeSearch s{key, nullptr};
  ForEachOpenFont(SearchNodes, &s);
  return s.found;
}

// Slot 18.
int FindSystemFontSlot(const char* name, int weight, int slant, int needStandalone, char* path,
                       size_t size, int64_t* faceOffset, int64_t* faceLength, int* isTemporary) {
  SystemFontHit hit{};
  if (!FindSystemFont(name, weight, slant, needStandalone != 0, &hit)) return 0;
  Host().runtime->strlcpy(path, size, hit.path);
  *faceOffset = hit.faceOffset;
  *faceLength = hit.faceLength;
  *isTemporary = 0;
  return 1;
}

// Slot 19.
void UnpackFontOpenFlags(uint32_t packed, int* engine, int* cache, int* usePoints, int* charmap) {
  *engine = static_cast<int>(packed & 0xFFFF);
  *cache = (packed & 0x10000) ? 0 : 1;
  *usePoints = (packed & 0x20000) ? 1 : 0;
  *charmap = static_cast<int>(packed >> 24);
}

// Slot 20: the script's own "openfont" with the font's arguments.
int ReplayOpenFont(lua_State* L, const FontOpenRecord* rec) {
  const LuaApi& lua = Lua();
  int engine = 0, cache = 0, usePoints = 0, charmap = 0;
  UnpackFontOpenFlags(rec->packedFlags, &engine, &cache, &usePoints, &charmap);
  const int userTags = rec->userTags;
  lua.pushstring(L, "openfont");
  lua.rawget(L, kGlobalsIndex);
  Args().pushObjectId(L, rec->id);
  lua.pushstring(L, rec->name);
  lua.pushnumber(L, rec->size);
  lua.newtable(L);
  Args().setIntField(L, "engine", engine);
  lua.pushstring(L, "cache");
  lua.pushboolean(L, cache);
  lua.rawset(L, -3);
  lua.pushstring(L, "usepoints");
  lua.pushboolean(L, usePoints);
  lua.rawset(L, -3);
  Args().setIntField(L, "charmap", charmap);
  const char* const strings[2][2] = {{"loader", rec->loader}, {"adapter", rec->adapter}};
  for (const auto& s : strings) {
    if (!s[1] || !*s[1]) continue;
    lua.pushstring(L, s[0]);
    lua.pushstring(L, s[1]);
    lua.rawset(L, -3);
  }
  if (userTags) {
    lua.pushstring(L, "usertags");
    lua.pushvalue(L, userTags);
    lua.rawset(L, -3);
  }
  return lua.pcall(L, 4, 0, 0);
}

// Slot 21.
int OpenFontByNameSlot(const char* name, int size, int cache, int usePoints, int charmap,
                       int linked, const char* loaders, const char* adapter, const void*,
                       FontRecord** out) {
  const FontRequest r{name,    size,    kFontengineNative, cache, usePoints,
                      charmap, loaders, adapter,           linked};
  return OpenFontByName(r, out);
}

// Slot 25.
int FindFontFileSlot(const char* name, char* path, size_t size, int* kind, int64_t* faceOffset,
                     int64_t* faceLength, int* isTemporary) {
  SystemFontHit hit{};
  if (int rc = FindFontFile(name, kind, &hit)) return rc;
  Host().runtime->strlcpy(path, size, hit.path);
  *faceOffset = hit.faceOffset;
  *faceLength = hit.faceLength;
  *isTemporary = 0;
  return 0;
}

}  // namespace

extern const TextInterface kInterface = {
    .InitDefaultFont = InitDefaultFont,
    .FindFontHandle = FindFontHandle,
    .FindTextObject = FindTextObjectSlot,
    .AddTextObjectLayer = AddTextObjectLayer,
    .AddTextLayer = AddTextLayer,
    .InitTextRequest = InitTextRequest,
    .RenderText = RenderText,
    .RenderTextObject = RenderTextObject,
    .RenderTextToBitmaps = RenderTextToBitmaps,
    .RenderObjectOutline = RenderObjectOutline,
    .FreeDeferredTextObjects = FreeDeferredTextObjects,
    .DefaultLoaderList = DefaultLoaderList,
    .ClampShadowBorder = ClampTextStyle,
    .ParseTabsTable = ParseTabsTable,
    .ParseListOptions = ParseListOptions,
    .FreeAllGlyphCacheNodes = FreeAllGlyphCacheNodes,
    .GetFontAttribute = GetFontAttribute,
    .FindFontByCacheNode = FindFontByCacheNode,
    .FindSystemFont = FindSystemFontSlot,
    .UnpackFontOpenFlags = UnpackFontOpenFlags,
    .ReplayOpenFont = ReplayOpenFont,
    .OpenFontByName = OpenFontByNameSlot,
    .GetFontPalette = FontPaletteOf,
    .GetFontTransparentPen = FontTransparentPenOf,
    .GetFontDepth = FontDepthOf,
    .FindFontFile = FindFontFileSlot,
    .GetFontFace = FontFaceOf,
    .GetFontSource = FontSourceOf,
};

}  // namespace tzx::text
