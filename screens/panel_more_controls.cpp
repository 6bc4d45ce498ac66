#include "screens/panel_more_controls.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/settings.h"
#include "skin/check_box.h"
#include "skin/combo_box_string.h"
#include "skin/progress.h"
#include "skin/properties.h"

namespace {

// The level filter's levels in order: the item index is the level.
constexpr std::array<const char16_t*, 4> level_keys = {u"DynamicProcessorOff", u"DynamicProcessorLow",
                                                       u"DynamicProcessorMedium", u"DynamicProcessorHigh"};

void select_level(skinner::ControlComboBoxStringReadonly& combo, int level) {
    combo.set_selected_index(std::clamp(level, 0, combo.get_item_count() - 1));
}

}  // namespace

PanelMoreControls::PanelMoreControls(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name),
      speed_(std::make_unique<skinner::ControlProgress>(get_panel_container(), u"pbPlaybackSpeed")),
      noise_(std::make_unique<skinner::ControlComboBoxStringReadonly>(get_panel_container(), u"cmbNoise")),
      limiter_(std::make_unique<skinner::ControlComboBoxStringReadonly>(get_panel_container(), u"cmbLimiter")),
      booster_(std::make_unique<skinner::ControlComboBoxStringReadonly>(get_panel_container(), u"cmbBooster")),
      pitch_lock_(std::make_unique<skinner::ControlCheckBox>(get_panel_container(), u"chkTone")) {
    fill_level_names();
}

PanelMoreControls::~PanelMoreControls() = default;

double PanelMoreControls::speed_of_fraction(double fraction) {
    double const speed = fraction * 1.5 + 0.5;
    return speed > 0.95 && speed < 1.05 ? 1.0 : speed;
}

double PanelMoreControls::fraction_of_speed(double speed) { return (speed - 0.5) * 0.6666666666666666; }

void PanelMoreControls::load_properties() {
    skinner::ControlPanel::load_properties();
    fill_level_names();
}

void PanelMoreControls::fill_level_names() {
    fill_level_names(*noise_);
    fill_level_names(*limiter_);
    fill_level_names(*booster_);
}

void PanelMoreControls::fill_level_names(skinner::ControlComboBoxStringReadonly& combo) {
    std::vector<std::u16string> names;
    for (const char16_t* key : level_keys) names.push_back(get_properties().translate(key));
    combo.set_items(std::move(names));
    int const index = combo.get_selected_index();
    if (index >= 0 && index < combo.get_item_count()) combo.get_text_frame().set_text(combo.get_item_text(index));
}

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

void PanelMoreControls::on_combo_changed(skinner::Control* sender) {
    Document& document = *Document::instance();
    if (sender == noise_.get() && noise_->get_selected_index() >= 0) {
        document.set_noise(noise_->get_selected_index());
    } else if (sender == limiter_.get() && limiter_->get_selected_index() >= 0) {
        document.set_limiter(limiter_->get_selected_index());
    } else if (sender == booster_.get() && booster_->get_selected_index() >= 0) {
        document.set_booster(booster_->get_selected_index());
    }
}

void PanelMoreControls::on_document_changed(const Change& change) {
    if (!change.state_changed) return;
    Document& document = *Document::instance();
    PlaySettings const& play = document.get_settings().play;
    speed_->set_progress(fraction_of_speed(document.get_speed()));
    speed_->set_enabled(!document.is_recording());
    select_level(*noise_, play.noise);
    select_level(*limiter_, play.limiter);
    select_level(*booster_, play.booster);
    pitch_lock_->set_checked(play.pitch_lock);
}
