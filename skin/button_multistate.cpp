#include "skin/button_multistate.h"

#include <string>

namespace skinner {

ControlButtonMultistate::ControlButtonMultistate(std::uint32_t state_count, Container* container,
                                                 const std::u16string& name, int lookup_mode)
    : ControlButton(container, name, lookup_mode), state_looks_(state_count) {
    load_states();
}

ControlButtonMultistate::~ControlButtonMultistate() = default;

void ControlButtonMultistate::load_states() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    for (std::size_t index = 0; index < state_looks_.size(); ++index) {
        std::string const number = std::to_string(index);
        state_looks_[index] = build_state_looks(*this, u"State" + std::u16string(number.begin(), number.end()));
    }
}

void ControlButtonMultistate::load_properties() {
    ControlButton::load_properties();
    load_states();
}

void ControlButtonMultistate::set_state(std::uint32_t index) {
    if (index >= state_looks_.size() || index == state_) return;
    state_ = index;
    repaint();
}

void ControlButtonMultistate::click(const ButtonEvent& event) {
    ++state_;
    if (state_ >= state_looks_.size()) state_ = 0;
    ControlButtonBase::click(event);
}

const StateLooks& ControlButtonMultistate::get_looks() const {
    if (state_looks_.empty()) return ControlButton::get_looks();
    return state_looks_[state_];
}

}  // namespace skinner
