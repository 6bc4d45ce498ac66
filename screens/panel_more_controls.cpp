#include "screens/panel_more_controls.h"

#include "skin/check_box.h"
#include "skin/progress.h"

PanelMoreControls::PanelMoreControls(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name),
      speed_(std::make_unique<skinner::ControlProgress>(get_panel_container(), u"pbPlaybackSpeed")),
      pitch_lock_(std::make_unique<skinner::ControlCheckBox>(get_panel_container(), u"chkTone")) {}

PanelMoreControls::~PanelMoreControls() = default;

double PanelMoreControls::speed_of_fraction(double fraction) {
    double const speed = fraction * 1.5 + 0.5;
    return speed > 0.95 && speed < 1.05 ? 1.0 : speed;
}

double PanelMoreControls::fraction_of_speed(double speed) { return (speed - 0.5) * 0.6666666666666666; }

void PanelMoreControls::on_click(skinner::Control* sender) {
    if (sender != pitch_lock_.get()) return;
    Document& document = *Document::instance();
    document.set_speed(document.get_speed(), pitch_lock_->is_checked());
    document.notify(Change());
}

void PanelMoreControls::on_value_changed(skinner::Control*, double value) {
    Document& document = *Document::instance();
    document.set_speed(speed_of_fraction(value), pitch_lock_->is_checked());
    document.notify(Change());
}

void PanelMoreControls::on_document_changed(const Change& change) {
    if (!change.state_changed) return;
    Document& document = *Document::instance();
    speed_->set_progress(fraction_of_speed(document.get_speed()));
    speed_->set_enabled(!document.is_recording());
    pitch_lock_->set_checked(document.get_settings().play.pitch_lock);
}
