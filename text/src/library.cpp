// The frame of text.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/errors.h"
#include "tzx/text.h"
#include "tzx/objects.h"

namespace tzx::text {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: text.tzx 11.0 (10.01.26) [Windows] [x86] ";

const TextInterface kInterface = {};

const CommandRow kCommands[] = {
    {nullptr, nullptr},
};

ObjectHeader* gTextObjectList = nullptr;
ObjectHeader* gFontList = nullptr;

// No attribute of this type is readable yet; a lookup still reports unknown
// objects the same way the commands do.
int TextObjectAttribute(lua_State*, int, const ObjectId* id) {
  if (!FindObject(gTextObjectList, *id)) return ObjectNotFound(*id, 1175);
  return kErrUnknownAttribute;
}

// No attribute of this type is readable yet; a lookup still reports unknown
// objects the same way the commands do.
int FontAttribute(lua_State*, int, const ObjectId* id) {
  if (!FindObject(gFontList, *id)) return ObjectNotFound(*id, 1334);
  return kErrUnknownAttribute;
}

const ObjectTypeRow kObjectTypes[] = {
    {8, "Text objects", &gTextObjectList, TextObjectAttribute},
    {43, "Fonts", &gFontList, FontAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  while (ObjectHeader* h = gTextObjectList) {
    UnlinkObject(&gTextObjectList, h);
    ForgetAndFree(L, h);
  }
  while (ObjectHeader* h = gFontList) {
    UnlinkObject(&gFontList, h);
    ForgetAndFree(L, h);
  }
}

const LibraryDefinition kDefinition = {
    .name = "text",
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
}  // namespace tzx::text

const tzx::LibraryDefinition& tzx::ThisLibrary() { return tzx::text::kDefinition; }
