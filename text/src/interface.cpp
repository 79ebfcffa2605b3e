// The text library's interface table: what graphics, brush and display call
// to find text objects and fonts and to render text. Slots return host
// error codes and never raise a script error.
#include "text_objects.h"
#include "tzx/errors.h"
#include "tzx/pins.h"
#include "tzx/text.h"

namespace tzx::text {

namespace {

// Slot 2. A found object is pinned for the caller's command, so that it is
// neither replaced nor freed while the caller draws it.
int FindTextObjectSlot(const FindTextObjectArgs* a) {
  TextObject* o = nullptr;
  if (int rc = FindTextObjectRecord(*a->id, a->flags & kFindDeferred, &o)) return rc;
  if ((a->flags & kFindClaimLayer) && o->head.layerClaimed) return kErrObjectBusy;
  if (a->L) {
    if (int rc = PinTextObject(a->L, o)) return rc;
  }
  if (a->flags & kFindClaimLayer) o->head.layerClaimed = 1;
  *a->out = &o->head;
  return 0;
}

}  // namespace

extern const TextInterface kInterface = {
    .FindTextObject = FindTextObjectSlot,
};

}  // namespace tzx::text
