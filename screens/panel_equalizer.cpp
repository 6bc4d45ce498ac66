#include "screens/panel_equalizer.h"

#include "app/document.h"
#include "skin/check_box.h"

namespace {

EqualizerBand& band_of(Settings& settings, std::size_t index) {
    EqualizerBand* const bands[] = {&settings.equalizer1, &settings.equalizer2, &settings.equalizer3};
    return *bands[index];
}

}  // namespace

PanelEqualizer::PanelEqualizer(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name) {
    Settings settings = Document::instance()->get_settings();
    static constexpr const char16_t* names[] = {u"chkEq1", u"chkEq2", u"chkEq3"};
    for (std::size_t index = 0; index < switches_.size(); ++index) {
        switches_[index] = std::make_unique<skinner::ControlCheckBox>(get_panel_container(), names[index]);
        switches_[index]->set_checked(band_of(settings, index).active);
    }
}

PanelEqualizer::~PanelEqualizer() = default;

void PanelEqualizer::on_click(skinner::Control* sender) {
    for (auto const& band_switch : switches_) {
        if (band_switch.get() == sender) {
            save();
            return;
        }
    }
}

// A band switched off keeps its values in the settings, so switching it on restores them.
void PanelEqualizer::save() {
    Document& document = *Document::instance();
    Settings settings = document.get_settings();
    for (std::size_t index = 0; index < switches_.size(); ++index) {
        band_of(settings, index).active = switches_[index]->is_checked();
    }
    document.set_settings(settings);
    document.apply_equalizers();
}
