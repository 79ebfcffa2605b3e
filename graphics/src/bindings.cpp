#include "bindings.h"

#include "tzx/types.h"

namespace tzx::graphics {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    Bind<gBound, &BoundSiblings::anim>("anim"),
    Bind<gBound, &BoundSiblings::bgpic>("bgpic"),
    Bind<gBound, &BoundSiblings::brush>("brush"),
    Bind<gBound, &BoundSiblings::clipregion>("clipregion"),
    Bind<gBound, &BoundSiblings::display>("display"),
    Bind<gBound, &BoundSiblings::filters>("filters"),
    Bind<gBound, &BoundSiblings::imageio>("imageio"),
    Bind<gBound, &BoundSiblings::layers>("layers"),
    Bind<gBound, &BoundSiblings::palette>("palette"),
    Bind<gBound, &BoundSiblings::sprite>("sprite"),
    Bind<gBound, &BoundSiblings::text>("text"),
    Bind<gBound, &BoundSiblings::video>("video"),
    {nullptr, nullptr, nullptr},
};

}  // namespace tzx::graphics
