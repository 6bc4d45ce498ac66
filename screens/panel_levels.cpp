#include "screens/panel_levels.h"

#include "screens/control_progress_2scale.h"
#include "skin/check_box.h"
#include "skin/progress.h"

namespace {

template <class T>
std::unique_ptr<T> make_in(skinner::ControlPanel& panel, const char16_t* name) {
    return std::make_unique<T>(panel.get_panel_container(), name);
}

}  // namespace

PanelLevels::PanelLevels(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name),
      vas_(make_in<skinner::ControlProgress>(*this, u"pbVAS")),
      input_(make_in<skinner::ControlProgress>(*this, u"pbInput")),
      output_(make_in<skinner::ControlProgress>(*this, u"pbOutput")),
      vas_left_(make_in<screens::ControlProgress2Scale>(*this, u"pbVASLeft")),
      vas_right_(make_in<screens::ControlProgress2Scale>(*this, u"pbVASRight")),
      input_left_(make_in<skinner::ControlProgress>(*this, u"pbInputLeft")),
      input_right_(make_in<skinner::ControlProgress>(*this, u"pbInputRight")),
      output_left_(make_in<skinner::ControlProgress>(*this, u"pbOutputLeft")),
      output_right_(make_in<skinner::ControlProgress>(*this, u"pbOutputRight")),
      vas_switch_(make_in<skinner::ControlCheckBox>(*this, u"chkVAS")),
      input_switch_(make_in<skinner::ControlCheckBox>(*this, u"chkInput")),
      output_switch_(make_in<skinner::ControlCheckBox>(*this, u"chkOutput")),
      vas_lamp_(make_in<skinner::ControlCheckBox>(*this, u"chkVASInd")),
      input_lamp_(make_in<skinner::ControlCheckBox>(*this, u"chkInputInd")),
      output_lamp_(make_in<skinner::ControlCheckBox>(*this, u"chkOutputInd")) {
    output_switch_->set_checked(false);
    output_switch_->set_enabled(false);
    output_lamp_->set_checked(false);
    for (skinner::ControlCheckBox* lamp : {vas_lamp_.get(), input_lamp_.get(), output_lamp_.get()}) lamp->set_enabled(false);
    // The meters only show levels.
    for (skinner::ControlProgress* meter : std::initializer_list<skinner::ControlProgress*>
         {vas_left_.get(), vas_right_.get(), input_left_.get(), input_right_.get(), output_left_.get(), output_right_.get()}) {
        meter->set_enabled(false);
    }
}

PanelLevels::~PanelLevels() = default;

double PanelLevels::snap_input_gain(double value) { return value > 0.45 && value < 0.55 ? 0.5 : value; }

void PanelLevels::on_click(skinner::Control* sender) {
    Document& document = *Document::instance();
    // A checked switch means off.
    if (sender == vas_switch_.get()) document.set_vas_on(!vas_switch_->is_checked());
    else if (sender == input_switch_.get()) document.set_input_enabled(!input_switch_->is_checked());
    else return;
    document.notify(Change());
}

void PanelLevels::on_value_changed(skinner::Control* sender, double value) {
    Document& document = *Document::instance();
    if (sender == vas_.get()) document.set_vas_threshold(value);
    else if (sender == input_.get()) document.set_input(snap_input_gain(value));
    else if (sender == output_.get()) document.set_volume(value);
    else return;
    document.notify(Change());
}

void PanelLevels::on_document_changed(const Change& change) {
    Document& document = *Document::instance();
    if (change.position_changed || change.state_changed) {
        vas_->set_progress(document.get_vas_threshold());
        input_->set_progress(document.get_input_gain());
        vas_left_->set_second_value(document.get_vas_threshold());
        vas_right_->set_second_value(document.get_vas_threshold());
        vas_left_->set_progress(document.get_vas_input_level(0));
        vas_right_->set_progress(document.get_vas_input_level(1));
        input_left_->set_progress(document.get_input_level(0));
        input_right_->set_progress(document.get_input_level(1));
        output_left_->set_progress(document.get_output_level(0));
        output_right_->set_progress(document.get_output_level(1));
    }
    if (change.state_changed) {
        bool const vas_on = document.is_vas_on();
        bool const input_active = document.is_input_active();
        vas_lamp_->set_checked(!vas_on);
        vas_switch_->set_checked(!vas_on);
        input_lamp_->set_checked(!input_active);
        input_switch_->set_checked(!input_active);
        vas_->set_enabled(vas_on);
    }
    if (change.volume_changed) output_->set_progress(document.get_volume());
}
