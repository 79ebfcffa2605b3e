// The frame of text.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "tzx/text.h"

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

// No attribute of this type is readable yet.
int TextObjectAttribute(lua_State*, int, const ObjectId* id) {
  return NoAttributes(gTextObjectList, *id, kErrUnknownTextObject);
}

// No attribute of this type is readable yet.
int FontAttribute(lua_State*, int, const ObjectId* id) {
  return NoAttributes(gFontList, *id, kErrUnknownFont);
}

const ObjectTypeRow kObjectTypes[] = {
    {kTypeTextObject, "Text objects", &gTextObjectList, TextObjectAttribute},
    {kTypeFont, "Fonts", &gFontList, FontAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  FreeObjectList(L, &gTextObjectList);
  FreeObjectList(L, &gFontList);
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

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::text::kDefinition;
}
