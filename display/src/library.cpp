// The frame of display.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::display {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: display.tzx 11.0 (10.01.26) [Windows] [x86] ";

const DisplayInterface kInterface = {};

const CommandRow kCommands[] = {
    {nullptr, nullptr},
};

ObjectHeader* gDisplayList = nullptr;

// No attribute of this type is readable yet.
int DisplayAttribute(lua_State*, int, const ObjectId* id) {
  return NoAttributes(gDisplayList, *id, kErrUnknownDisplay);
}

const ObjectTypeRow kObjectTypes[] = {
    {kTypeDisplay, "Displays", &gDisplayList, DisplayAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  FreeObjectList(L, &gDisplayList);
}

const LibraryDefinition kDefinition = {
    .name = "display",
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
}  // namespace tzx::display

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::display::kDefinition;
}
