// The frame of graphics.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/objects.h"

namespace tzx::graphics {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: graphics.tzx 11.0 (10.01.26) [Windows] [x86] ";

const GraphicsInterface kInterface = {};

const CommandRow kCommands[] = {
    {nullptr, nullptr},
};


const LibraryDefinition kDefinition = {
    .name = "graphics",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = false,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = nullptr,
    .close = nullptr,
};

}  // namespace
}  // namespace tzx::graphics

const tzx::LibraryDefinition& tzx::ThisLibrary() { return tzx::graphics::kDefinition; }
