#include "screens/settings_playback.h"

#include "app/settings.h"
#include "screens/turn_off_combo.h"
#include "skin/combo_box_string.h"

namespace {

// In the order of the play mode numbers.
constexpr const char16_t* mode_keys[] = {u"PlaybackModeSingleFile", u"PlaybackModeSingleFileRepeat",
                                         u"PlaybackModeAllFilesByOrder", u"PlaybackModeAllFilesRepeating",
                                         u"PlaybackModeShuffle"};

}  // namespace

SettingsPlayback::SettingsPlayback(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    mode_ = std::make_unique<skinner::ControlComboBoxStringReadonly>(get_panel_container(), u"cbMode");
    turn_off_ = std::make_unique<screens::ControlComboBoxTurnOff>(get_panel_container(), u"cbTurnOff");
    mode_->set_items(translated_modes());
    mode_->set_selected_index(settings.play.mode);
    turn_off_->select_seconds(settings.play.turn_off);
}

SettingsPlayback::~SettingsPlayback() = default;

std::vector<std::u16string> SettingsPlayback::translated_modes() {
    std::vector<std::u16string> labels;
    for (const char16_t* key : mode_keys) labels.push_back(translate(key));
    return labels;
}

void SettingsPlayback::load_properties() {
    ControlTabElement::load_properties();
    mode_->replace_item_texts(translated_modes());
}

void SettingsPlayback::apply(Settings& settings) {
    int const mode = mode_->get_selected_index();
    if (mode >= 0 && mode < mode_->get_item_count()) settings.play.mode = mode;
    int const turn_off = turn_off_->get_selected_index();
    auto const& delays = turn_off_->get_items();
    if (turn_off >= 0 && turn_off < static_cast<int>(delays.size())) {
        settings.play.turn_off = delays[static_cast<std::size_t>(turn_off)].seconds;
    }
}
