// The frame of display.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/errors.h"
#include "tzx/display.h"
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

// No attribute of this type is readable yet; a lookup still reports unknown
// objects the same way the commands do.
int DisplayAttribute(lua_State*, int, const ObjectId* id) {
  if (!FindObject(gDisplayList, *id)) return ObjectNotFound(*id, 1344);
  return kErrUnknownAttribute;
}

const ObjectTypeRow kObjectTypes[] = {
    {21, "Displays", &gDisplayList, DisplayAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  while (ObjectHeader* h = gDisplayList) {
    UnlinkObject(&gDisplayList, h);
    ForgetAndFree(L, h);
  }
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

const tzx::LibraryDefinition& tzx::ThisLibrary() { return tzx::display::kDefinition; }
