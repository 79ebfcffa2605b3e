// "palette": palette objects, the default palette, and the pen operations of
// the libraries' palette objects (brushes): colours of pens, the transparent
// pen, the depth and whole palettes. Also publishes the mode word that tells
// whether colours are matched to pens.
#include <memory>
#include <vector>

#include "../lua_api.h"
#include "../services.h"
#include "pixels/pens.h"
#include "sibling.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

constexpr int kEntries = 256;
constexpr int kNoPen = -1;

struct Palette {
  ObjectId id;
  uint32_t colors[kEntries];
  int32_t depth;
  int32_t transparentPen;
};

// The first sixteen pens hold the named colours (black and white first, so
// that a 1-bit palette is black and white), then a 6x6x6 colour cube and a
// ramp of 24 greys.
Palette MakeDefaultPalette() {
  static const uint32_t kNamed[16] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                      0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000,
                                      0x800080, 0x008080, 0x808080, 0xC0C0C0};
  Palette p{ObjectId{kDefaultPaletteId, nullptr}, {}, 8, kNoPen};
  int i = 0;
  for (uint32_t c : kNamed) p.colors[i++] = c;
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) p.colors[i++] = uint32_t(r * 51) << 16 | g * 51 << 8 | b * 51;
    }
  }
  for (int k = 0; k < 24; ++k) {
    const uint32_t v = 8 + k * 10;
    p.colors[i++] = v << 16 | v << 8 | v;
  }
  return p;
}

const Palette kDefaultPalette = MakeDefaultPalette();

std::vector<std::unique_ptr<Palette>>& Palettes() {
  static std::vector<std::unique_ptr<Palette>> palettes;
  return palettes;
}

int32_t gMode = kPaletteModeRemap;

const Palette* FindPalette(const ObjectId& id) {
  if (id == kDefaultPalette.id) return &kDefaultPalette;
  for (const auto& p : Palettes()) {
    if (p->id == id) return p.get();
  }
  return nullptr;
}

int PenCount(int depth) {
  return depth >= 1 && depth <= 8 ? 1 << depth : 0;
}

// Rewrites every pen of the target through the table.
void MapPens(const PaletteTarget& t, const uint8_t map[kEntries]) {
  if (!t.pens) return;
  for (int y = 0; y < t.height; ++y) {
    uint8_t* row = t.pens + static_cast<ptrdiff_t>(y) * t.bytesPerRow;
    for (int x = 0; x < t.width; ++x) row[x] = map[row[x]];
  }
}

bool PenInRange(const PaletteTarget& t, int pen) {
  return pen >= 0 && pen < PenCount(t.depth);
}

// Pens beyond the new depth take the nearest colour that stays.
int SetDepth(PaletteTarget* t, int depth) {
  if (depth < 1 || depth > 8) return kErrDepthRange;
  const int count = PenCount(depth);
  uint8_t map[kEntries];
  for (int pen = 0; pen < kEntries; ++pen) {
    map[pen] = static_cast<uint8_t>(
        pen < count ? pen : pixels::NearestPen(t->palette[pen], t->palette, count));
  }
  MapPens(*t, map);
  if (t->transparentPen >= count) t->transparentPen = kNoPen;
  t->depth = depth;
  return 0;
}

// The colours of another palette; with "remap" every pixel keeps its colour
// as nearly as the new colours allow, otherwise its pen.
int SetPalette(lua_State* L, PaletteTarget* t, const PaletteOperationArgs& a) {
  int32_t remap = 0;
  if (a.optionsIndex) kArguments.fieldBool(L, a.optionsIndex, "remap", &remap);
  const Palette* p = FindPalette(a.palette);
  if (!p) return kErrRange;
  const int count = PenCount(t->depth);
  if (remap) {
    uint8_t map[kEntries];
    for (int pen = 0; pen < kEntries; ++pen) {
      // Palette targets have 2 to 256 pens, so a pen is always found.
      map[pen] = static_cast<uint8_t>(pixels::NearestPen(t->palette[pen], p->colors, count));
    }
    MapPens(*t, map);
  }
  for (int i = 0; i < kEntries; ++i) t->palette[i] = p->colors[i];
  if (p->transparentPen != kNoPen && p->transparentPen < count)
    t->transparentPen = p->transparentPen;
  return 0;
}

int Operate(lua_State* L, int32_t type, const ObjectId*, PaletteTarget* t, int32_t operation,
            PaletteOperationArgs* a) {
  if (type != kTypeBrush || !t || !t->palette || !a) return kErrRange;
  switch (operation) {
    case kPaletteGetPen:
      if (!PenInRange(*t, a->pen)) return kErrPenRange;
      a->result = t->palette[a->pen] & 0xFFFFFF;
      return 0;
    case kPaletteSetPen:
      if (!PenInRange(*t, a->pen)) return kErrPenRange;
      t->palette[a->pen] = a->color & 0xFFFFFF;
      return 0;
    case kPaletteSetTransparentPen:
      if (a->pen != kNoPen && !PenInRange(*t, a->pen)) return kErrPenRange;
      t->transparentPen = a->pen;
      return 0;
    case kPaletteSetDepth:
      return SetDepth(t, a->depth);
    case kPaletteSetPalette:
      return SetPalette(L, t, *a);
    default:
      return kErrRange;
  }
}

int BuildPalette(lua_State*, const ObjectId* id, int32_t depth, int32_t transparentPen,
                 PaletteTarget* t) {
  const Palette* p = id ? FindPalette(*id) : nullptr;
  if (!p) return kErrRange;
  if (depth == 0) depth = p->depth;
  if (depth < 1 || depth > 8) return kErrDepthRange;
  if (transparentPen == kNoPen) {
    transparentPen = p->transparentPen < PenCount(depth) ? p->transparentPen : kNoPen;
  } else if (transparentPen < 0 || transparentPen >= PenCount(depth)) {
    return kErrPenRange;
  }
  for (int i = 0; i < kEntries; ++i) t->palette[i] = p->colors[i];
  t->depth = depth;
  t->transparentPen = transparentPen;
  return 0;
}

// CreatePalette(id, colors[, transparentPen]): colours from index 0; the
// depth is the smallest that holds them.
int CreatePalette(lua_State* L) {
  kArguments.beginCommand(L, 2, 3, 0, 0);
  ObjectId id = kArguments.newObjectId(L, 1);
  kLuaApi.checktable(L, 2);
  const int transparentPen = kLuaApi.optinteger(L, 3, kNoPen);
  auto p = std::make_unique<Palette>();
  int count = 0;
  for (;; ++count) {
    const int type = kArguments.fieldByIndex(L, 2, count);
    int error = 0;
    const double v = type == kLuaNil ? 0 : kArguments.stackNumber(L, -1, &error);
    kLuaApi.settop(L, -2);
    if (type == kLuaNil) break;
    if (error) return kErrRange;
    if (count == kEntries) return kErrDepthRange;
    p->colors[count] = static_cast<uint32_t>(static_cast<int64_t>(v)) & 0xFFFFFF;
  }
  if (count == 0) return kErrRange;
  p->depth = pixels::DepthForColors(count);
  if (transparentPen != kNoPen && (transparentPen < 0 || transparentPen >= PenCount(p->depth))) {
    return kErrPenRange;
  }
  p->transparentPen = transparentPen;
  if (!id.pointer && (id.number == kDefaultPaletteId)) return kErrRange;
  auto& all = Palettes();
  for (auto it = all.begin(); it != all.end(); ++it) {
    if (!id.pointer && (*it)->id == id) {
      all.erase(it);
      break;
    }
  }
  p->id = id.pointer ? ObjectId{0, p.get()} : id;
  const ObjectId made = p->id;
  all.push_back(std::move(p));
  if (!id.pointer) return 0;
  kArguments.pushObjectId(L, made);
  return 1;
}

// FreePalette(id)
int FreePalette(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  ObjectId id = kArguments.objectId(L, 1);
  auto& all = Palettes();
  for (auto it = all.begin(); it != all.end(); ++it) {
    if ((*it)->id == id) {
      all.erase(it);
      return 0;
    }
  }
  return kErrRange;
}

// SetPaletteMode(mode): 0 draws with the pen, 1 matches colours to pens;
// returns the previous mode.
int SetPaletteMode(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  const int mode = kLuaApi.checkinteger(L, 1);
  if (mode != kPaletteModePen && mode != kPaletteModeRemap) return kErrRange;
  kLuaApi.pushnumber(L, gMode);
  gMode = mode;
  return 1;
}

const PaletteSibling kInterface = {&gMode, Operate, BuildPalette};
const void* Interface() {
  return &kInterface;
}

const CommandRow kCommands[] = {
    {"CreatePalette", CreatePalette},
    {"FreePalette", FreePalette},
    {"SetPaletteMode", SetPaletteMode},
    {nullptr, nullptr},
};

void Reset(lua_State*) {
  Palettes().clear();
  gMode = kPaletteModeRemap;
}

}  // namespace

const HostSibling kPaletteSibling = {"palette", Interface, kCommands, Reset, nullptr};

}  // namespace tzx::host
