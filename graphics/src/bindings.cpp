#include "bindings.h"

#include "tzx/types.h"

namespace tzx::graphics {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    {"anim", &gBound.anim},       {"bgpic", &gBound.bgpic},
    {"brush", &gBound.brush},     {"clipregion", &gBound.clipregion},
    {"display", &gBound.display}, {"filters", &gBound.filters},
    {"imageio", &gBound.imageio}, {"layers", &gBound.layers},
    {"palette", &gBound.palette}, {"sprite", &gBound.sprite},
    {"text", &gBound.text},       {"video", &gBound.video},
    {nullptr, nullptr},
};

}  // namespace tzx::graphics
