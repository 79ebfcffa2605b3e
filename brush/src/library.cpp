// The frame of brush.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/brush.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::brush {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: brush.tzx 11.0 (10.01.26) [Windows] [x86] ";

const BrushInterface kInterface = {};

const CommandRow kCommands[] = {
    {nullptr, nullptr},
};

ObjectHeader* gBrushList = nullptr;

// No attribute of this type is readable yet.
int BrushAttribute(lua_State*, int, const ObjectId* id) {
  return NoAttributes(gBrushList, *id, kErrUnknownBrush);
}

const ObjectTypeRow kObjectTypes[] = {
    {kTypeBrush, "Brushes", &gBrushList, BrushAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  FreeObjectList(L, &gBrushList);
}

const LibraryDefinition kDefinition = {
    .name = "brush",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = true,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::brush

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::brush::kDefinition;
}
