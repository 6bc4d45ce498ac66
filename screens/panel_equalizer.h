// The main form's equaliser panel: a switch per band that turns the settings' band on and
// off. (The bands' curve comes with the equaliser control.)
#pragma once

#include <array>
#include <memory>

#include "skin/panel.h"

namespace skinner {
class ControlCheckBox;
}  // namespace skinner

class PanelEqualizer : public skinner::ControlPanel {
public:
    PanelEqualizer(skinner::Container* container, const std::u16string& name);
    ~PanelEqualizer() override;
    void on_click(skinner::Control* sender) override;

private:
    void save();
    std::array<std::unique_ptr<skinner::ControlCheckBox>, 3> switches_;
};
