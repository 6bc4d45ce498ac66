// The main form's levels panel: the input, output and voice-activation levels, and the bars
// that set the volume, the input gain and the voice-activation threshold.
#pragma once

#include <memory>

#include "app/document.h"
#include "skin/panel.h"

namespace screens {
class ControlProgress2Scale;
}  // namespace screens

namespace skinner {
class ControlCheckBox;
class ControlProgress;
}  // namespace skinner

class PanelLevels : public skinner::ControlPanel, public Document::View {
public:
    PanelLevels(skinner::Container* container, const std::u16string& name);
    ~PanelLevels() override;
    void on_click(skinner::Control* sender) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_document_changed(const Change& change) override;

    // A gain dragged close to the middle snaps to it.
    static double snap_input_gain(double value);

private:
    std::unique_ptr<skinner::ControlProgress> vas_;
    std::unique_ptr<skinner::ControlProgress> input_;
    std::unique_ptr<skinner::ControlProgress> output_;
    std::unique_ptr<screens::ControlProgress2Scale> vas_left_;
    std::unique_ptr<screens::ControlProgress2Scale> vas_right_;
    std::unique_ptr<skinner::ControlProgress> input_left_;
    std::unique_ptr<skinner::ControlProgress> input_right_;
    std::unique_ptr<skinner::ControlProgress> output_left_;
    std::unique_ptr<skinner::ControlProgress> output_right_;
    std::unique_ptr<skinner::ControlCheckBox> vas_switch_;
    std::unique_ptr<skinner::ControlCheckBox> input_switch_;
    std::unique_ptr<skinner::ControlCheckBox> output_switch_;
    std::unique_ptr<skinner::ControlCheckBox> vas_lamp_;
    std::unique_ptr<skinner::ControlCheckBox> input_lamp_;
    std::unique_ptr<skinner::ControlCheckBox> output_lamp_;
};
