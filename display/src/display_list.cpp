#include "display_list.h"

#include <atomic>

#include "bindings.h"
#include "tzx/errors.h"
#include "tzx/objects.h"
#include "tzx/pins.h"
#include "window_system.h"

namespace tzx::display {

ObjectHeader* gDisplayList = nullptr;

int FindDisplay(const ObjectId* id, DisplayRecord** out) {
  ObjectHeader* h = FindObject(gDisplayList, *id);
  if (!h) return ObjectNotFound(*id, kErrUnknownDisplay);
  *out = reinterpret_cast<DisplayRecord*>(h);
  return 0;
}

int PinDisplay(lua_State* L, DisplayRecord* d) {
  return PinForCommand(L, &d->pins);
}

DisplayRecord* CurrentDisplay() {
  graphics::OutputRecord* output = *gBound.graphics->currentDisplay;
  if (!output || output->kind != graphics::kOutputDisplay) return nullptr;
  return static_cast<DisplayRecord*>(output->owner);
}

int RequireCurrentDisplay(DisplayRecord** out) {
  *out = CurrentDisplay();
  return *out ? 0 : kErrNoOutput;
}

graphics::OutputRecord* DrawingOutput(DisplayRecord* d) {
  return d->doubleBuffered ? d->backOutput : &d->output;
}

int32_t DisplayStateOf(const DisplayRecord* d) {
  return std::atomic_ref<int32_t>(const_cast<int32_t&>(d->state)).load();
}

void SetDisplayState(DisplayRecord* d, int32_t state) {
  std::atomic_ref<int32_t>(d->state).store(state);
}

bool IsOpen(const DisplayRecord* d) {
  return DisplayStateOf(d) != kStateClosed;
}

void LinkDisplay(DisplayRecord* d) {
  LockDisplays();
  AppendObject(&gDisplayList, &d->header);
  UnlockDisplays();
}

void UnlinkDisplay(DisplayRecord* d) {
  LockDisplays();
  UnlinkObject(&gDisplayList, &d->header);
  UnlockDisplays();
}

}  // namespace tzx::display
