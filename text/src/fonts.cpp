// The sharing list and the loaders.
#include "fonts.h"

#include <strings.h>

#include <cstring>

#include "amiga_fonts.h"
#include "font_discovery.h"
#include "font_files.h"
#include "font_names.h"
#include "linked_fonts.h"
#include "outline_fonts.h"
#include "platform/fonts.h"
#include "stored_fonts.h"
#include "topaz.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace tzx::text {

struct OpenFontEntry {
  OpenFontEntry* next;
  char name[1024];
  char loaders[256];
  char adapter[256];
  int32_t size;
  int32_t cache;
  int32_t usePoints;
  FontRecord* font;
};

namespace {

OpenFontEntry* gShared = nullptr;
FontRecord* gTopaz = nullptr;

enum Loader { kLoaderInbuilt = 1, kLoaderNative = 2, kLoaderPlugin = 3 };

void Copy(char* out, size_t size, const char* text) {
  Host().runtime->strlcpy(out, size, text ? text : "");
}

bool EndsWith(const char* name, const char* ending) {
  const size_t n = std::strlen(name), e = std::strlen(ending);
  return n >= e && strcasecmp(name + n - e, ending) == 0;
}

bool IsPath(const char* name) {
  return std::strchr(name, '/') != nullptr;
}

// The loaders of a "a|b|c" list, in order; unknown names are skipped.
int ParseLoaders(const char* list, int* out) {
  int n = 0;
  const char* p = list;
  while (*p && n < 8) {
    const char* end = std::strchr(p, '|');
    const size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
    auto is = [&](const char* word) {
      return std::strlen(word) == length && strncasecmp(p, word, length) == 0;
    };
    if (is("inbuilt")) out[n++] = kLoaderInbuilt;
    if (is("native")) out[n++] = kLoaderNative;
    if (is("plugin")) out[n++] = kLoaderPlugin;
    p += length + (end ? 1 : 0);
  }
  return n;
}

// ---------------------------------------------------------------------------
// Bitmap fonts

int OpenBitmapFont(const char* contentsPath, const char* name, int size, const char* adapter,
                   FontRecord* font) {
  uint8_t* contents;
  size_t contentsSize;
  if (ReadWholeFile(contentsPath, adapter, &contents, &contentsSize)) return -1;
  char entry[256];
  const bool found = FindContentsEntry(contents, contentsSize, size, entry);
  HostFree(contents);
  if (!found) return -1;
  EntryName entryName;
  if (!ParseEntryName(entry, &entryName)) return -1;
  char sizePath[1024];
  if (entryName.kind == EntryNameKind::kLinked) {
    if (!LinkedSizeFile(entryName.linked, entryName.linkedLength, sizePath, sizeof sizePath)) {
      return -1;
    }
  } else {
    Copy(sizePath, sizeof sizePath, contentsPath);
    const char* folderEnd = Host().stream->pathPart(sizePath);
    sizePath[folderEnd - sizePath] = 0;
    Host().stream->pathJoin(sizePath, entry, sizeof sizePath);
  }
  uint8_t* data;
  size_t dataSize;
  if (ReadWholeFile(sizePath, adapter, &data, &dataSize)) return -1;
  auto* f = AllocRecord<BitmapFontData>();
  if (!f) {
    HostFree(data);
    return kErrNoMemory;
  }
  const int e = ReadAmigaSizeFile(data, dataSize, f);
  HostFree(data);
  if (e) {
    HostFree(f);
    return e == kErrNoMemory ? e : -1;
  }
  font->kind = (f->style & kAmigaColorStyle) ? kFontColor : kFontBitmap;
  font->ascender = font->baseAscender = f->baseline;
  font->height = font->baseHeight = f->ySize;
  font->size = size;
  font->antialias = 0;
  Copy(font->name, sizeof font->name, name);
  Copy(font->format, sizeof font->format, "Amiga bitmap");
  font->engineData = f;
  return 0;
}

// ---------------------------------------------------------------------------
// System fonts (the native engine's outline step)

struct SystemFontData {
  FontRecord* variants[4];  // regular, bold, italic, bold italic
  int32_t synth[4];         // style bits a variant still needs
};

void FreeSystemFont(SystemFontData* d) {
  for (FontRecord* v : d->variants) {
    if (!v) continue;
    CloseOutlineFont(v);
    HostFree(v);
  }
  HostFree(d);
}

int OpenVariant(const char* path, int index, const FontRequest& r, FontRecord** out) {
  auto* v = AllocRecord<FontRecord>();
  if (!v) return kErrNoMemory;
  v->scaleX = v->scaleY = 1.0;
  OutlineRequest o{path, nullptr, 0, 0, index, r.size, r.usePoints, 0, r.cache, 1};
  if (int e = OpenOutlineFont(o, v)) {
    HostFree(v);
    return e;
  }
  *out = v;
  return 0;
}

// The family and style of a name whose last words are style words.
bool SplitStyleWords(const char* name, int words, char* family, int* weight, int* slant) {
  Copy(family, 1024, name);
  *weight = 80;
  *slant = 0;
  for (int i = 0; i < words; ++i) {
    char* space = std::strrchr(family, ' ');
    if (!space || space == family) return false;
    int kind, value;
    if (!FindStyleWord(space + 1, static_cast<int>(std::strlen(space + 1)), &kind, &value))
      return false;
    (kind == kStyleWeight ? *weight : *slant) = value;
    *space = 0;
  }
  return true;
}

int OpenSystemFont(const FontRequest& r, FontRecord* font) {
  char family[1024];
  int weight = 80, slant = 0;
  platform::SystemFace faces[4];
  auto* d = AllocRecord<SystemFontData>();
  if (!d) return kErrNoMemory;
  if (IsPath(r.name)) {
    // A file: every variant is its one face, the styles synthesised.
    uint8_t* data;
    size_t size;
    if (ReadWholeFile(r.name, r.adapter, &data, &size)) {
      HostFree(d);
      return -1;
    }
    FaceName face;
    const bool named = ReadFaceName(data, size, 0, 0, &face);
    HostFree(data);
    if (!named) {
      HostFree(d);
      return -1;
    }
    BuildFullName(face.family, IsRegularStyle(face.style) ? "" : face.style, family, sizeof family);
    for (int i = 0; i < 4; ++i) {
      Copy(faces[i].path, sizeof faces[i].path, r.name);
      faces[i].index = 0;
      faces[i].emboldened = i & 1;
      faces[i].slanted = i & 2;
    }
  } else {
    bool found = false;
    Copy(family, sizeof family, r.name);
    for (int words = 0; words <= 2 && !found; ++words) {
      if (words && !SplitStyleWords(r.name, words, family, &weight, &slant)) break;
      found = platform::MatchSystemFace(family, weight, slant, &faces[0]);
    }
    if (!found) {
      HostFree(d);
      return -1;
    }
    const int boldWeight = weight > 200 ? weight : 200;
    const int italicSlant = slant ? slant : 100;
    const int weights[4] = {weight, boldWeight, weight, boldWeight};
    const int slants[4] = {slant, slant, italicSlant, italicSlant};
    for (int i = 1; i < 4; ++i) {
      if (!platform::MatchSystemFace(family, weights[i], slants[i], &faces[i])) faces[i] = faces[0];
    }
  }
  for (int i = 0; i < 4; ++i) {
    if (int e = OpenVariant(faces[i].path, faces[i].index, r, &d->variants[i])) {
      FreeSystemFont(d);
      return e;
    }
    d->synth[i] =
        (faces[i].emboldened ? graphics::kBold : 0) | (faces[i].slanted ? graphics::kItalic : 0);
  }
  const FontRecord* base = d->variants[0];
  font->kind = kFontSystem;
  font->scalable = 1;
  font->antialias = 1;
  font->height = font->baseHeight = base->height;
  font->ascender = font->baseAscender = base->ascender;
  font->size = r.size;
  font->usePoints = r.usePoints;
  Copy(font->name, sizeof font->name, IsPath(r.name) ? family : r.name);
  Copy(font->format, sizeof font->format, "TrueType");
  font->engineData = d;
  return 0;
}

// ---------------------------------------------------------------------------
// The loaders

int TryInbuilt(const FontRequest& r, FontRecord* font) {
  OutlineRequest o{r.name, r.adapter, 0, 0, 0, r.size, r.usePoints, r.charmap, r.cache, 0};
  SystemFontHit hit;
  if (!IsPath(r.name) && !FindStoredFont(r.name) && !EndsWith(r.name, ".ttf") &&
      !EndsWith(r.name, ".otf")) {
    if (!FindSystemFont(r.name, -1, 0, false, &hit)) return -1;
    o.name = hit.path;
    o.start = hit.faceOffset;
    o.length = hit.faceLength;
    o.faceIndex = hit.faceIndex;
  }
  return OpenOutlineFont(o, font);
}

// The native engine: the built-in topaz, an Amiga bitmap font, a system font.
int TryNative(const FontRequest& r, FontRecord* font, FontRecord** shared) {
  if (strcasecmp(r.name, "topaz") == 0 && r.size == 8) {
    *shared = gTopaz;
    return 0;
  }
  char name[1024];
  Copy(name, sizeof name, r.name);
  if (!IsPath(name) && EndsWith(name, ".font")) name[std::strlen(name) - 5] = 0;
  const bool outlineFile = IsPath(name) && !EndsWith(name, ".font");
  if (!r.usePoints && !outlineFile) {
    char contents[1024];
    const bool found = IsPath(name) ? (Copy(contents, sizeof contents, name), true)
                                    : FindBitmapFont(name, contents, sizeof contents);
    if (found) {
      const int e = OpenBitmapFont(contents, name, r.size, r.adapter, font);
      if (e != -1) return e;
    }
  }
  if (IsPath(name) && EndsWith(name, ".font")) return -1;
  FontRequest system = r;
  system.name = name;
  return OpenSystemFont(system, font);
}

void FreeEngineData(FontRecord* font) {
  switch (font->kind) {
    case kFontBitmap:
    case kFontColor:
      if (auto* f = static_cast<BitmapFontData*>(font->engineData)) {
        FreeAmigaFont(f);
        HostFree(f);
      }
      break;
    case kFontOutline:
      CloseOutlineFont(font);
      break;
    case kFontSystem:
      if (font->engineData) FreeSystemFont(static_cast<SystemFontData*>(font->engineData));
      break;
    default:
      break;
  }
  font->engineData = nullptr;
}

}  // namespace

FontRecord* TopazFont() {
  return gTopaz;
}

int InitFonts() {
  if (!gTopaz) {
    if (int e = BuildTopaz(&gTopaz)) return e;
  }
  return InitFreeType();
}

void FreeFontRecord(FontRecord* font) {
  if (!font || font == gTopaz) return;
  FreeEngineData(font);
  HostFree(font);
}

void CloseFonts() {
  while (OpenFontEntry* e = gShared) {
    gShared = e->next;
    FreeFontRecord(e->font);
    HostFree(e);
  }
  FreeBitmapFont(gTopaz);
  gTopaz = nullptr;
  EmptyAvailableFonts();
  FreeFontPaths();
  DoneFreeType();
}

int OpenFontByName(const FontRequest& request, FontRecord** out) {
  FontRequest r = request;
  char loaders[256];
  Copy(loaders, sizeof loaders, r.loaders);
  const char* builtIn = nullptr;
  if (std::strcmp(r.name, kBitmapDefault) == 0) {
    if (r.usePoints) return kErrRange;
    builtIn = "topaz";
    Copy(loaders, sizeof loaders, "native");
  } else if (std::strcmp(r.name, kTruetypeDefault) == 0 || std::strcmp(r.name, kSans) == 0) {
    builtIn = "Bitstream Vera Sans";
  } else if (std::strcmp(r.name, kSerif) == 0) {
    builtIn = "Bitstream Vera Serif";
  } else if (std::strcmp(r.name, kMonospace) == 0) {
    builtIn = "Bitstream Vera Sans Mono";
  }
  if (builtIn) {
    r.name = builtIn;
    if (std::strcmp(builtIn, "topaz") != 0) Copy(loaders, sizeof loaders, "inbuilt");
  }
  if (!loaders[0]) Copy(loaders, sizeof loaders, DefaultLoaders(r.engine));
  const char* adapter = r.adapter ? r.adapter : "";
  int order[8];
  const int count = ParseLoaders(loaders, order);

  // Pass 1: a font opened the same way before is shared.
  for (OpenFontEntry* e = gShared; e; e = e->next) {
    if (e->size == r.size && e->cache == r.cache && e->usePoints == r.usePoints &&
        strcasecmp(e->name, r.name) == 0 && strcasecmp(e->loaders, loaders) == 0 &&
        strcasecmp(e->adapter, adapter) == 0) {
      SetFontScale(e->font, 1.0, 1.0);
      *out = e->font;
      return 0;
    }
  }

  // A linked font opens from the font file behind its header, and is shared
  // under the name it was asked by.
  FontRequest opening = r;
  char linkedPath[1024];
  if (!builtIn && r.linked) {
    const int e = OpenLinkedFont(r.name, linkedPath, sizeof linkedPath);
    if (e > 0) return e;
    if (e == 0) opening.name = linkedPath;
  }

  // Pass 2: the loaders in order.
  auto* font = AllocRecord<FontRecord>();
  auto* entry = AllocRecord<OpenFontEntry>();
  if (!font || !entry) {
    HostFree(font);
    HostFree(entry);
    return kErrNoMemory;
  }
  font->scaleX = font->scaleY = 1.0;
  font->usePoints = r.usePoints;
  font->pluginTransparentPen = -1;
  FontRecord* opened = nullptr;
  for (int i = 0; i < count && !opened; ++i) {
    int e = -1;
    FontRecord* shared = nullptr;
    switch (order[i]) {
      case kLoaderInbuilt:
        e = TryInbuilt(opening, font);
        break;
      case kLoaderNative:
        e = TryNative(opening, font, &shared);
        if (!e && !shared) font->engine = kNativeEngine;
        break;
      default:
        // The host offers no font-loader plug-ins: the step is skipped.
        break;
    }
    if (e == kErrNoMemory) {
      HostFree(font);
      HostFree(entry);
      return e;
    }
    if (!e) opened = shared ? shared : font;
  }
  if (!opened) {
    HostFree(font);
    HostFree(entry);
    char text[1100];
    Host().runtime->snprintf(text, sizeof text, "%s (%d)", r.name, r.size);
    return ErrorWithString(kErrOpenFont, text);
  }
  if (opened != font) HostFree(font);
  Copy(entry->name, sizeof entry->name, r.name);
  Copy(entry->loaders, sizeof entry->loaders, loaders);
  Copy(entry->adapter, sizeof entry->adapter, adapter);
  entry->size = r.size;
  entry->cache = r.cache;
  entry->usePoints = r.usePoints;
  entry->font = opened;
  if (opened != gTopaz) opened->shareEntry = entry;
  OpenFontEntry** tail = &gShared;
  while (*tail) tail = &(*tail)->next;
  *tail = entry;
  *out = opened;
  return 0;
}

void SetFontScale(FontRecord* font, double scaleX, double scaleY) {
  if (!font->scalable || (font->scaleX == scaleX && font->scaleY == scaleY)) return;
  font->scaleX = scaleX;
  font->scaleY = scaleY;
  const auto round = Host().runtime->roundToInt;
  font->height = round(scaleY * font->baseHeight);
  font->ascender = round(scaleY * font->baseAscender);
  if (font->kind == kFontOutline) {
    ApplyOutlineScale(font);
  } else if (font->kind == kFontSystem) {
    for (FontRecord* v : static_cast<SystemFontData*>(font->engineData)->variants) {
      v->scaleX = scaleX;
      v->scaleY = scaleY;
      v->height = round(scaleY * v->baseHeight);
      ApplyOutlineScale(v);
      v->ascender = round(scaleY * v->baseAscender);
    }
  }
}

int FontKerningPair(FontRecord* font, uint32_t first, uint32_t second, int fontUnits) {
  switch (font->kind) {
    case kFontBitmap:
    case kFontColor: {
      const auto& f = *static_cast<const BitmapFontData*>(font->engineData);
      return f.charKern && first < 256 ? f.charKern[AmigaGlyphIndex(f, first)] : 0;
    }
    case kFontOutline:
      return OutlineKerningPair(font, first, second, fontUnits);
    case kFontSystem:
      return OutlineKerningPair(static_cast<SystemFontData*>(font->engineData)->variants[0], first,
                                second, fontUnits);
    default:
      return 0;
  }
}

int FontTypeOf(const FontRecord* font) {
  switch (font->kind) {
    case kFontBitmap:
      return kFonttypeBitmap;
    case kFontColor:
      return kFonttypeColor;
    case kFontBrush:
      return kFonttypeBrush;
    case kFontPlugin:
      return kFonttypePlugin;
    default:
      return kFonttypeVector;
  }
}

int FontEngineOf(const FontRecord* font) {
  if (!font->engine) return kFontengineInbuilt;
  return font->engine == kNativeEngine ? kFontengineNative : kFontenginePlugin;
}

int FontDepthOf(const FontRecord* font) {
  if (font->kind == kFontColor) return static_cast<const BitmapFontData*>(font->engineData)->depth;
  if (font->kind == kFontPlugin || font->kind == kFontBrush) return font->pluginDepth;
  return font->antialias ? 8 : 1;
}

const uint32_t* FontPaletteOf(const FontRecord* font) {
  if (font->kind == kFontColor)
    return static_cast<const BitmapFontData*>(font->engineData)->palette;
  if (font->kind == kFontPlugin) return font->pluginPalette;
  return nullptr;
}

int FontTransparentPenOf(const FontRecord* font) {
  if (font->kind == kFontColor) return 0;
  if (font->kind == kFontPlugin || font->kind == kFontBrush) return font->pluginTransparentPen;
  return -1;
}

void* FontFaceOf(const FontRecord* font) {
  if (font->kind == kFontSystem) {
    font = static_cast<const SystemFontData*>(font->engineData)->variants[0];
  }
  if (!font || font->kind != kFontOutline) return nullptr;
  return static_cast<const OutlineFontData*>(font->engineData)->face;
}

int FontSourceOf(const FontRecord* font, const char** path, const void** address, size_t* length) {
  if (font->kind == kFontSystem) {
    font = static_cast<const SystemFontData*>(font->engineData)->variants[0];
  }
  if (!font || font->kind != kFontOutline) return kErrRange;
  const auto* d = static_cast<const OutlineFontData*>(font->engineData);
  *path = d->fileName;
  *address = d->memory;
  *length = d->memory ? d->memoryLength : 0;
  return 0;
}

void FreeGlyphCache(FontRecord* font) {
  if (font->kind == kFontOutline) FreeGlyphCacheOf(font);
}

const char* DefaultLoaders(int engine) {
  return engine == kFontengineNative   ? "plugin|native"
         : engine == kFontenginePlugin ? "plugin"
                                       : "plugin|inbuilt|native";
}

void ForEachOpenFont(void (*fn)(FontRecord* font, void* context), void* context) {
  if (gTopaz) fn(gTopaz, context);
  for (OpenFontEntry* e = gShared; e; e = e->next) fn(e->font, context);
}

void FreeAllGlyphCaches() {
  for (OpenFontEntry* e = gShared; e; e = e->next) FreeGlyphCache(e->font);
}

FontRecord* SystemFontVariant(FontRecord* font, int flags, int* synthFlags) {
  auto* d = static_cast<SystemFontData*>(font->engineData);
  const int i = ((flags & graphics::kBold) ? 1 : 0) | ((flags & graphics::kItalic) ? 2 : 0);
  *synthFlags = d->synth[i];
  return d->variants[i];
}

}  // namespace tzx::text
