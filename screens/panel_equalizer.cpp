#include "screens/panel_equalizer.h"

#include "app/document.h"
#include "screens/control_equalizer.h"
#include "skin/check_box.h"

namespace {

EqualizerBand& band_of(Settings& settings, std::size_t index) {
    EqualizerBand* const bands[] = {&settings.equalizer1, &settings.equalizer2, &settings.equalizer3};
    return *bands[index];
}

const char16_t* const band_names[] = {u"Eq1", u"Eq2", u"Eq3"};

}  // namespace

PanelEqualizer::PanelEqualizer(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name),
      equalizer_(std::make_unique<screens::ControlEqualizer>(get_panel_container(), u"Equalizer")) {
    Settings settings = Document::instance()->get_settings();
    static constexpr const char16_t* names[] = {u"chkEq1", u"chkEq2", u"chkEq3"};
    for (std::size_t index = 0; index < switches_.size(); ++index) {
        switches_[index] = std::make_unique<skinner::ControlCheckBox>(get_panel_container(), names[index]);
        bool const active = band_of(settings, index).active;
        switches_[index]->set_checked(active);
        if (active) add_band(index);
    }
}

void PanelEqualizer::add_band(std::size_t index) {
    Settings settings = Document::instance()->get_settings();
    EqualizerBand const& band = band_of(settings, index);
    equalizer_->set_band(band_names[index], band.frequency, band.amplitude, band.width);
}

PanelEqualizer::~PanelEqualizer() = default;

void PanelEqualizer::on_click(skinner::Control* sender) {
    if (sender == equalizer_.get()) {
        save();
        return;
    }
    for (std::size_t index = 0; index < switches_.size(); ++index) {
        if (switches_[index].get() != sender) continue;
        if (switches_[index]->is_checked()) add_band(index);
        else equalizer_->remove_band(band_names[index]);
        save();
        equalizer_->repaint();
        return;
    }
}

// A band switched off keeps its values in the settings, so switching it on restores them.
void PanelEqualizer::save() {
    Document& document = *Document::instance();
    Settings settings = document.get_settings();
    for (std::size_t index = 0; index < switches_.size(); ++index) {
        EqualizerBand& band = band_of(settings, index);
        if (switches_[index]->is_checked()) {
            band = EqualizerBand(equalizer_->get_band_frequency(band_names[index]),
                                 equalizer_->get_band_gain(band_names[index]),
                                 equalizer_->get_band_width(band_names[index]), true);
        } else {
            band.active = false;
        }
    }
    document.set_settings(settings);
    document.apply_equalizers();
}
