// The controls a skin form declares by kind ("Auto.Button", "Auto.Edit", "Auto.Frame"), made
// in their container.
#pragma once

#include <string>

namespace skinner {

class Container;
class Control;

// The control registers itself with the container, which owns it; null for a kind that is
// not known.
Control* create_auto_control(const std::u16string& kind, Container* container, const std::u16string& name);

}  // namespace skinner
