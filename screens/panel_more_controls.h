// The main form's panel of more controls: the playback speed with its pitch lock, and the
// noise, limiter and booster levels of the playback level filter.
#pragma once

#include <memory>

#include "app/document.h"
#include "skin/panel.h"

namespace skinner {
class ControlCheckBox;
class ControlComboBoxStringReadonly;
class ControlProgress;
}  // namespace skinner

class PanelMoreControls : public skinner::ControlPanel, public Document::View {
public:
    PanelMoreControls(skinner::Container* container, const std::u16string& name);
    ~PanelMoreControls() override;
    void on_click(skinner::Control* sender) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_combo_changed(skinner::Control* sender) override;
    // After a skin or language reload the level names are filled in again, translated anew.
    void load_properties() override;
    void on_document_changed(const Change& change) override;

    // The bar's 0..1 stands for the speeds 0.5..2.0; close to normal speed snaps to it.
    static double speed_of_fraction(double fraction);
    static double fraction_of_speed(double speed);

private:
    void fill_level_names();
    void fill_level_names(skinner::ControlComboBoxStringReadonly& combo);

    std::unique_ptr<skinner::ControlProgress> speed_;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> noise_;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> limiter_;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> booster_;
    std::unique_ptr<skinner::ControlCheckBox> pitch_lock_;
};
