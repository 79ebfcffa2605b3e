#include "bindings.h"

#include "tzx/types.h"

namespace tzx::brush {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    {"anim", &gBound.anim},
    {"animio", &gBound.animio},
    {"bgpic", &gBound.bgpic},
    {"display", &gBound.display},
    {"filters", &gBound.filters},
    {"graphics", &gBound.graphics},
    {"icon", &gBound.icon},
    {"imageio", &gBound.imageio},
    {"layers", &gBound.layers},
    {"object", &gBound.object},
    {"offscreen", &gBound.offscreen},
    {"palette", &gBound.palette},
    {"sprite", &gBound.sprite},
    {"text", &gBound.text},
    {"vectorpath", &gBound.vectorpath},
    {nullptr, nullptr},
};

}  // namespace tzx::brush
