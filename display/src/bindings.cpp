#include "bindings.h"

#include "tzx/types.h"

namespace tzx::display {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    Bind<gBound, &BoundSiblings::anim>("anim"),
    Bind<gBound, &BoundSiblings::application>("application"),
    Bind<gBound, &BoundSiblings::async>("async"),
    Bind<gBound, &BoundSiblings::bgpic>("bgpic"),
    Bind<gBound, &BoundSiblings::brush>("brush"),
    Bind<gBound, &BoundSiblings::clipboard>("clipboard"),
    Bind<gBound, &BoundSiblings::event>("event"),
    Bind<gBound, &BoundSiblings::graphics>("graphics"),
    Bind<gBound, &BoundSiblings::icon>("icon"),
    Bind<gBound, &BoundSiblings::imageio>("imageio"),
    Bind<gBound, &BoundSiblings::layers>("layers"),
    Bind<gBound, &BoundSiblings::menu>("menu"),
    Bind<gBound, &BoundSiblings::object>("object"),
    Bind<gBound, &BoundSiblings::palette>("palette"),
    Bind<gBound, &BoundSiblings::pointer>("pointer"),
    Bind<gBound, &BoundSiblings::requester>("requester"),
    Bind<gBound, &BoundSiblings::serialize>("serialize"),
    Bind<gBound, &BoundSiblings::sound>("sound"),
    Bind<gBound, &BoundSiblings::sprite>("sprite"),
    Bind<gBound, &BoundSiblings::system>("system"),
    Bind<gBound, &BoundSiblings::text>("text"),
    Bind<gBound, &BoundSiblings::transitionfx>("transitionfx"),
    Bind<gBound, &BoundSiblings::video>("video"),
    {nullptr, nullptr, nullptr},
};

}  // namespace tzx::display
