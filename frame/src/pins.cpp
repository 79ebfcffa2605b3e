#include "tzx/pins.h"

#include "tzx/errors.h"

namespace tzx {
namespace {

void ReleasePin(lua_State* L, const CommandEndAction* action) {
  auto* pins = static_cast<int32_t*>(action->data[0]);
  auto unpinned = reinterpret_cast<UnpinnedFn>(action->data[1]);
  if (--*pins == 0 && unpinned) unpinned(L, action->data[2]);
}

}  // namespace

int PinForCommand(lua_State* L, int32_t* pins, UnpinnedFn unpinned, void* record) {
  CommandEndAction action{ReleasePin, {pins, reinterpret_cast<void*>(unpinned), record}};
  if (Args().atCommandEnd(L, &action)) return kErrNoMemory;
  ++*pins;
  return 0;
}

}  // namespace tzx
