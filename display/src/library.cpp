// The frame of display.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "commands.h"
#include "constants.h"
#include "display_core.h"
#include "display_list.h"
#include "frame_pacing.h"
#include "interface.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "window_system.h"

namespace tzx::display {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: display.tzx 11.0 (10.01.26) [Windows] [x86] ";

const CommandRow kCommands[] = {
    {"CreateDisplay", CreateDisplay},
    {"OpenDisplay", OpenDisplay},
    {"CloseDisplay", CloseDisplay},
    {"FreeDisplay", FreeDisplay},
    {"SelectDisplay", SelectDisplay},
    {"ActivateDisplay", ActivateDisplay},
    {"MoveDisplay", MoveDisplay},
    {"HideDisplay", HideDisplay},
    {"ShowDisplay", ShowDisplay},
    {"SetTitle", SetTitle},
    {"SetSubtitle", SetSubtitle},
    {"SetDisplayAttributes", SetDisplayAttributes},
    {"ChangeDisplaySize", ChangeDisplaySize},
    {"ChangeDisplayMode", ChangeDisplayMode},
    {"GetDisplayModes", GetDisplayModes},
    {"GetMonitors", GetMonitors},
    {"BeginRefresh", BeginRefresh},
    {"EndRefresh", EndRefresh},
    {"RefreshDisplay", RefreshDisplay},
    {"VWait", VWait},
    {"EnableVWait", EnableVWait},
    {"DisableVWait", DisableVWait},
    {"SetFPSLimit", SetFPSLimit},
    {"GetFPSLimit", GetFPSLimit},
    {"BeginDoubleBuffer", BeginDoubleBuffer},
    {"EndDoubleBuffer", EndDoubleBuffer},
    {"Flip", Flip},
    {"Cls", Cls},
    {"SaveSnapshot", SaveSnapshot},
    {"GrabDesktop", GrabDesktop},
    {nullptr, nullptr},
};

const ObjectTypeRow kObjectTypes[] = {
    {kTypeDisplay, "Displays", &gDisplayList, DisplayAttribute},
    {0, nullptr, nullptr, nullptr},
};

int SetUp(lua_State*) {
  SetFpsLimit(kDefaultFpsLimit);
  SetVWaitDisabled(false);
  return StartWindowSystem();
}

// Tests inject window messages only where no window system sends real ones.
int FinishSetUp(lua_State* L) {
  if (IsHeadless()) Args().registerCommands(L, nullptr, kHeadlessTestCommands, 0);
  return 0;
}

void Close(lua_State* L) {
  const graphics::GraphicsInterface& g = *gBound.graphics;
  if (*g.currentDisplay && (*g.currentDisplay)->kind == graphics::kOutputDisplay) {
    *g.currentDisplay = nullptr;
  }
  if (*g.currentOutput && (*g.currentOutput)->kind == graphics::kOutputDisplay) {
    *g.currentOutput = nullptr;
    *g.outputFormat = graphics::kFormatNone;
  }
  while (gDisplayList) DestroyDisplay(L, reinterpret_cast<DisplayRecord*>(gDisplayList));
  StopFramePacing();
  StopWindowSystem();
}

const LibraryDefinition kDefinition = {
    .name = "display",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = true,
    .setUp = SetUp,
    .finishSetUp = FinishSetUp,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::display

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::display::kDefinition;
}
