// "offscreen": makes planes that are not a display the graphics library's
// current output. Vector brushes draw through slot 0; scripts draw into a
// brush, its mask or its alpha channel between SelectBrush and EndSelect.
#include <cstring>
#include <memory>
#include <vector>

#include "../lua_api.h"
#include "../services.h"
#include "sibling.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

using graphics::BrushRecordHead;
using graphics::OutputRecord;

// A brush drawn into changes its pixels: no vector brush (its picture would
// draw over them), and not while it is in use.
constexpr unsigned kFindToDrawInto = 0x09;

const graphics::GraphicsInterface* gGraphics = nullptr;
const brush::BrushInterface* gBrush = nullptr;

// One SelectBrush: the output it made and the one it replaced.
struct Selection {
  OutputRecord output;
  OutputRecord* previous;
  BrushRecordHead* brush;
};

std::vector<std::unique_ptr<Selection>>& Selections() {
  static std::vector<std::unique_ptr<Selection>> selections;
  return selections;
}

// Selections below this one were made outside the drawing that runs now; it
// may not end them, or the output it gives back would be gone.
size_t gFloor = 0;

OutputRecord MakeOutput(const OffscreenPlanes& p) {
  OutputRecord o{};
  o.kind = p.kind;
  o.object = p.object;
  o.color = p.color;
  o.mask = p.mask;
  o.alpha = p.alpha;
  o.width = p.width;
  o.height = p.height;
  o.paletteDepth = p.paletteDepth;
  o.palette = p.palette;
  return o;
}

// Gives back the output of each selection above `depth`.
void EndSelectionsAbove(size_t depth) {
  auto& all = Selections();
  while (all.size() > depth) {
    Selection& s = *all.back();
    --s.brush->busy;
    *gGraphics->currentOutput = s.previous;
    all.pop_back();
  }
}

int Redirect(lua_State* L, const OffscreenPlanes* planes, OffscreenDrawFn draw, void* data) {
  if (!gGraphics) {
    kErrorReporting.setErrorString("graphics");
    return kErrSiblingAbsent;
  }
  if (!planes || !draw) return kErrRange;
  OutputRecord output = MakeOutput(*planes);
  OutputRecord* previous = *gGraphics->currentOutput;
  const size_t depth = Selections().size();
  const size_t floor = gFloor;
  gFloor = depth;
  *gGraphics->currentOutput = &output;
  const int rc = draw(L, data);
  // Selections the drawing left open end with it.
  EndSelectionsAbove(depth);
  gFloor = floor;
  *gGraphics->currentOutput = previous;
  return rc;
}

int Absent(const char* library) {
  kErrorReporting.setErrorString(library);
  return kErrSiblingAbsent;
}

// SelectBrush(id[, BRUSH | MASK | ALPHACHANNEL])
int SelectBrush(lua_State* L) {
  kArguments.beginCommand(L, 1, 2, 0, 0);
  ObjectId id = kArguments.objectId(L, 1);
  const int kind = kLuaApi.optinteger(L, 2, kTypeBrush);
  if (!gGraphics) return Absent("graphics");
  if (!gBrush || !gBrush->FindBrush) return Absent("brush");
  if (kind != kTypeBrush && kind != kTypeMask && kind != kTypeAlphaChannel) return kErrRange;
  brush::BrushRecord* record = nullptr;
  if (int rc = gBrush->FindBrush(L, &id, &record, kFindToDrawInto)) return rc;
  auto* b = reinterpret_cast<BrushRecordHead*>(record);
  OffscreenPlanes planes{id, kind, nullptr, nullptr, nullptr, b->width, b->height, 0, nullptr};
  if (kind == kTypeBrush && b->chunky) {
    planes.color = b->chunky;
    planes.paletteDepth = b->depth;
    planes.palette = b->palette;
  } else if (kind == kTypeBrush) {
    planes.color = b->bitmap;
  } else if (kind == kTypeMask) {
    planes.mask = b->mask;
  } else {
    planes.alpha = b->alpha;
  }
  if (!planes.color && !planes.mask && !planes.alpha) return kErrRange;
  auto selection = std::make_unique<Selection>();
  selection->output = MakeOutput(planes);
  selection->previous = *gGraphics->currentOutput;
  selection->brush = b;
  ++b->busy;
  *gGraphics->currentOutput = &selection->output;
  Selections().push_back(std::move(selection));
  return 0;
}

// EndSelect(): the output before the last SelectBrush is current again.
int EndSelect(lua_State* L) {
  kArguments.beginCommand(L, 0, 0, 0, 0);
  if (Selections().size() <= gFloor) return kErrRange;
  EndSelectionsAbove(Selections().size() - 1);
  return 0;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "graphics") == 0) {
    gGraphics = static_cast<const graphics::GraphicsInterface*>(interface);
  } else if (std::strcmp(library, "brush") == 0) {
    gBrush = static_cast<const brush::BrushInterface*>(interface);
  }
}

// The libraries are closed by now: their records are gone.
void Reset(lua_State*) {
  Selections().clear();
  gFloor = 0;
  gGraphics = nullptr;
  gBrush = nullptr;
}

const OffscreenSibling kInterface = {Redirect};
const void* Interface() {
  return &kInterface;
}

const CommandRow kCommands[] = {
    {"SelectBrush", SelectBrush},
    {"EndSelect", EndSelect},
    {nullptr, nullptr},
};

}  // namespace

const HostSibling kOffscreenSibling = {"offscreen", Interface, kCommands, Reset, Bind};

}  // namespace tzx::host
