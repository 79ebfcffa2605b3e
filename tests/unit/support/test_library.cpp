// Unit tests and benchmarks link the libraries' cores directly: this stands in for the frame's
// per-library definition and hands the cores the real host services.
#include "services.h"
#include "tzx/frame.h"

namespace {

const tzx::BindingRow kNoBindings[] = {{nullptr, nullptr, nullptr}};
const tzx::CommandRow kNoCommands[] = {{nullptr, nullptr}};
const tzx::ConstantRow kNoConstants[] = {{nullptr, nullptr, 0}};

const tzx::LibraryDefinition kDefinition = {
    .name = "unit",
    .descriptor = "\0$VER: unit",
    .commands = kNoCommands,
    .constants = kNoConstants,
    .bindings = kNoBindings,
    .interface = nullptr,
    .requiresGraphics = false,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = nullptr,
    .close = nullptr,
};

// The cores reach the host through gHost from the first test on.
const bool kHostReady = (tzx::gHost = tzx::host::RootServices(), true);

}  // namespace

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return kDefinition;
}
