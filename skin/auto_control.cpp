#include "skin/auto_control.h"

#include "skin/button.h"
#include "skin/container.h"
#include "skin/edit.h"
#include "skin/frame.h"
#include "skin/properties.h"

namespace skinner {

namespace {

// An automatic control reads its own node of the form when the form has one, else the
// node of its kind.
template <class Kind>
Control* make_auto(Container* container, const std::u16string& name, const std::u16string& kind) {
    Properties& properties = container->get_properties();
    std::uint32_t const form = properties.find_form(container->get_form_name());
    if (form != 0 && properties.get_skin().find_control(form, name) != 0) {
        return new Kind(container, name, LOOKUP_BY_NAME);
    }
    return new Kind(container, kind, LOOKUP_BY_KIND);
}

}  // namespace

Control* create_auto_control(const std::u16string& kind, Container* container, const std::u16string& name) {
    if (kind == u"Auto.Button") return make_auto<ControlButton>(container, name, kind);
    if (kind == u"Auto.Edit") return make_auto<ControlEdit>(container, name, kind);
    // The labels of a dialog, which its code never touches.
    if (kind == u"Auto.Frame") return make_auto<ControlFrame>(container, name, kind);
    return nullptr;
}

}  // namespace skinner
