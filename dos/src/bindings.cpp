#include "bindings.h"

#include "tzx/types.h"

namespace tzx::dos {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    Bind<gBound, &BoundSiblings::async>("async"),
    Bind<gBound, &BoundSiblings::display>("display"),
    Bind<gBound, &BoundSiblings::event>("event"),
    Bind<gBound, &BoundSiblings::graphics>("graphics"),
    Bind<gBound, &BoundSiblings::object>("object"),
    Bind<gBound, &BoundSiblings::time>("time"),
    {nullptr, nullptr, nullptr},
};

}  // namespace tzx::dos
