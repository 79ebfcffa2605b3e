// The frame of text.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "commands.h"
#include "constants.h"
#include "font_handles.h"
#include "text_objects.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "tzx/text.h"

namespace tzx::text {

extern const BindingRow kBindings[];
extern const TextInterface kInterface;

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: text.tzx 11.0 (10.01.26) [Windows] [x86] ";

const CommandRow kCommands[] = {
    // Fonts
    {"AddFontPath", AddFontPathCommand},
    {"CloseFont", CloseFont},
    {"CreateFont", CreateFont},
    {"FreeGlyphCache", FreeGlyphCacheCommand},
    {"GetAvailableFonts", GetAvailableFonts},
    {"GetCharMaps", GetCharMaps},
    {"GetKerningPair", GetKerningPair},
    {"OpenFont", OpenFont},
    {"SetFont", SetFont},
    {"UseFont", UseFont},
    // Text style, printing and layout
    {"SetFontColor", SetFontColor},
    {"GetFontColor", GetFontColor},
    {"SetBulletColor", SetBulletColor},
    {"GetBulletColor", GetBulletColor},
    {"SetFontStyle", SetFontStyle},
    {"GetFontStyle", GetFontStyle},
    {"UseFormatTags", UseFormatTags},
    {"Print", Print},
    {"NPrint", NPrint},
    {"Locate", Locate},
    {"SetMargins", SetMargins},
    {"AddTab", AddTab},
    {"ResetTabs", ResetTabs},
    {"TextWidth", TextWidth},
    {"TextHeight", TextHeight},
    {"TextExtent", TextExtent},
    {"TextOut", TextOut},
    // Text objects
    {"CreateTextObject", CreateTextObject},
    {"DisplayTextObject", DisplayTextObject},
    {"FreeTextObject", FreeTextObject},
    {"CopyTextObject", CopyTextObject},
    {"ScaleTextObject", ScaleTextObject},
    {"RotateTextObject", RotateTextObject},
    {"TransformTextObject", TransformTextObject},
    // Keyboard input
    {"InKeyStr", InKeyStr},
    {nullptr, nullptr},
};

const ObjectTypeRow kObjectTypes[] = {
    {kTypeTextObject, "Text objects", &gTextObjectList, TextObjectAttribute},
    {kTypeFont, "Fonts", &gFontList, GetFontAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  FreeAllTextObjects(L);
  CloseFontObjects(L);
}

int SetUp(lua_State*) {
  return StartFonts();
}

const LibraryDefinition kDefinition = {
    .name = "text",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = true,
    .setUp = SetUp,
    .finishSetUp = nullptr,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::text

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::text::kDefinition;
}
