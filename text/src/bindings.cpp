#include "bindings.h"

#include "tzx/types.h"

namespace tzx::text {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    {"bgpic", &gBound.bgpic},
    {"brush", &gBound.brush},
    {"clipboard", &gBound.clipboard},
    {"clipregion", &gBound.clipregion},
    {"display", &gBound.display},
    {"draw", &gBound.draw},
    {"event", &gBound.event},
    {"filters", &gBound.filters},
    {"graphics", &gBound.graphics},
    {"layers", &gBound.layers},
    {"object", &gBound.object},
    {"palette", &gBound.palette},
    {"system", &gBound.system},
    {"vectorpath", &gBound.vectorpath},
    {nullptr, nullptr},
};

}  // namespace tzx::text
