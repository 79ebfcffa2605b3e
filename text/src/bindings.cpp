#include "bindings.h"

#include "tzx/types.h"

namespace tzx::text {

BoundSiblings gBound;

// In the order the host expects them; the first row that matches a name wins.
extern const BindingRow kBindings[] = {
    Bind<gBound, &BoundSiblings::bgpic>("bgpic"),
    Bind<gBound, &BoundSiblings::brush>("brush"),
    Bind<gBound, &BoundSiblings::clipboard>("clipboard"),
    Bind<gBound, &BoundSiblings::clipregion>("clipregion"),
    Bind<gBound, &BoundSiblings::display>("display"),
    Bind<gBound, &BoundSiblings::draw>("draw"),
    Bind<gBound, &BoundSiblings::event>("event"),
    Bind<gBound, &BoundSiblings::filters>("filters"),
    Bind<gBound, &BoundSiblings::graphics>("graphics"),
    Bind<gBound, &BoundSiblings::layers>("layers"),
    Bind<gBound, &BoundSiblings::object>("object"),
    Bind<gBound, &BoundSiblings::palette>("palette"),
    Bind<gBound, &BoundSiblings::system>("system"),
    Bind<gBound, &BoundSiblings::vectorpath>("vectorpath"),
    {nullptr, nullptr, nullptr},
};

}  // namespace tzx::text
