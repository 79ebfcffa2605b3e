#include "bindings.h"

#include "tzx/types.h"

namespace tzx::dos {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    {"async", &gBound.async},   {"display", &gBound.display},
    {"event", &gBound.event},   {"graphics", &gBound.graphics},
    {"object", &gBound.object}, {"time", &gBound.time},
    {nullptr, nullptr},
};

}  // namespace tzx::dos
