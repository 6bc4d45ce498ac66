// The main form's panel of more controls: the playback speed with its pitch lock. (The
// noise, limiter and booster choices come with the combo boxes.)
#pragma once

#include <memory>

#include "app/document.h"
#include "skin/panel.h"

namespace skinner {
class ControlCheckBox;
class ControlProgress;
}  // namespace skinner

class PanelMoreControls : public skinner::ControlPanel, public Document::View {
public:
    PanelMoreControls(skinner::Container* container, const std::u16string& name);
    ~PanelMoreControls() override;
    void on_click(skinner::Control* sender) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_document_changed(const Change& change) override;

    // The bar's 0..1 stands for the speeds 0.5..2.0; close to normal speed snaps to it.
    static double speed_of_fraction(double fraction);
    static double fraction_of_speed(double speed);

private:
    std::unique_ptr<skinner::ControlProgress> speed_;
    std::unique_ptr<skinner::ControlCheckBox> pitch_lock_;
};
