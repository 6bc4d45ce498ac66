// A push button that cycles through a fixed number of states, each with its own four looks
// ("State0Normal" ... "State1Disabled" ...). A click advances the state before the listener
// hears it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/button.h"

namespace skinner {

class ControlButtonMultistate : public ControlButton {
public:
    ControlButtonMultistate(std::uint32_t state_count, Container* container, const std::u16string& name,
                            int lookup_mode = LOOKUP_BY_NAME);
    ~ControlButtonMultistate() override;

    void load_properties() override;
    void click(const ButtonEvent& event) override;
    const StateLooks& get_looks() const override;

    // Ignored when out of range or unchanged.
    void set_state(std::uint32_t index);
    std::uint32_t get_state() const { return state_; }
    std::uint32_t get_state_count() const { return static_cast<std::uint32_t>(state_looks_.size()); }

private:
    void load_states();

    std::uint32_t state_ = 0;
    std::vector<StateLooks> state_looks_;
};

}  // namespace skinner
