#include "bindings.h"

#include "tzx/types.h"

namespace tzx::brush {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    Bind<gBound, &BoundSiblings::anim>("anim"),
    Bind<gBound, &BoundSiblings::animio>("animio"),
    Bind<gBound, &BoundSiblings::bgpic>("bgpic"),
    Bind<gBound, &BoundSiblings::display>("display"),
    Bind<gBound, &BoundSiblings::filters>("filters"),
    Bind<gBound, &BoundSiblings::graphics>("graphics"),
    Bind<gBound, &BoundSiblings::icon>("icon"),
    Bind<gBound, &BoundSiblings::imageio>("imageio"),
    Bind<gBound, &BoundSiblings::layers>("layers"),
    Bind<gBound, &BoundSiblings::object>("object"),
    Bind<gBound, &BoundSiblings::offscreen>("offscreen"),
    Bind<gBound, &BoundSiblings::palette>("palette"),
    Bind<gBound, &BoundSiblings::sprite>("sprite"),
    Bind<gBound, &BoundSiblings::text>("text"),
    Bind<gBound, &BoundSiblings::vectorpath>("vectorpath"),
    {nullptr, nullptr, nullptr},
};

}  // namespace tzx::brush
