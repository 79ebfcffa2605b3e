// The frame of graphics.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "commands.h"
#include "constants.h"
#include "graphics_state.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/objects.h"

namespace tzx::graphics {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: graphics.tzx 11.0 (10.01.26) [Windows] [x86] ";

const CommandRow kCommands[] = {
    {"Red", Red},
    {"Green", Green},
    {"Blue", Blue},
    {"RGB", RGB},
    {"ARGB", ARGB},
    {"MixRGB", MixRGB},
    {"GetRandomColor", GetRandomColor},
    {"GetRealColor", GetRealColor},
    {"IsPicture", IsPicture},
    {"SetDrawTagsDefault", SetDrawTagsDefault},
    {"SetFillStyle", SetFillStyle},
    {"GetFillStyle", GetFillStyle},
    {"SetFormStyle", SetFormStyle},
    {"GetFormStyle", GetFormStyle},
    {"SetLineWidth", SetLineWidth},
    {"GetLineWidth", GetLineWidth},
    {"Matrix2D", Matrix2DCommand},
    {"TransformPoint", TransformPointCommand},
    {"TransformBox", TransformBoxCommand},
    {"Intersection", Intersection},
    {"Collision", Collision},
    {nullptr, nullptr},
};

// Internal initialisation: the shared state's start values.
int SetUp(lua_State*) {
  ResetGraphicsState();
  return 0;
}

// After the commands: the lookup tables and the working buffer.
int FinishSetUp(lua_State*) {
  return StartGraphicsTables();
}

void Close(lua_State*) {
  CloseGraphicsState();
}

const LibraryDefinition kDefinition = {
    .name = "graphics",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &gInterface,
    .requiresGraphics = false,
    .setUp = SetUp,
    .finishSetUp = FinishSetUp,
    .objectTypes = nullptr,
    .close = Close,
};

}  // namespace
}  // namespace tzx::graphics

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::graphics::kDefinition;
}
