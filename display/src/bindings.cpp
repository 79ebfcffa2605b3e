#include "bindings.h"

#include "tzx/types.h"

namespace tzx::display {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    {"anim", &gBound.anim},           {"application", &gBound.application},
    {"async", &gBound.async},         {"bgpic", &gBound.bgpic},
    {"brush", &gBound.brush},         {"clipboard", &gBound.clipboard},
    {"event", &gBound.event},         {"graphics", &gBound.graphics},
    {"icon", &gBound.icon},           {"imageio", &gBound.imageio},
    {"layers", &gBound.layers},       {"menu", &gBound.menu},
    {"object", &gBound.object},       {"palette", &gBound.palette},
    {"pointer", &gBound.pointer},     {"requester", &gBound.requester},
    {"serialize", &gBound.serialize}, {"sound", &gBound.sound},
    {"sprite", &gBound.sprite},       {"system", &gBound.system},
    {"text", &gBound.text},           {"transitionfx", &gBound.transitionfx},
    {"video", &gBound.video},         {nullptr, nullptr},
};

}  // namespace tzx::display
