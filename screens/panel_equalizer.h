// The main form's equaliser panel: the equaliser's curve with its three bands and a switch
// per band. A band is in the curve exactly while its switch is on; every edit is stored in
// the settings and applied to the sound.
#pragma once

#include <array>
#include <memory>

#include "skin/panel.h"

namespace screens {
class ControlEqualizer;
}  // namespace screens

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
    void add_band(std::size_t index);
    std::unique_ptr<screens::ControlEqualizer> equalizer_;
    std::array<std::unique_ptr<skinner::ControlCheckBox>, 3> switches_;
};
