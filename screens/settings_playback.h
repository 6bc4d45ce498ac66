// The settings page of playback: the play mode and the play turn-off delay.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/tab.h"

class Settings;
namespace screens {
class ControlComboBoxTurnOff;
}
namespace skinner {
class ControlComboBoxStringReadonly;
}

class SettingsPlayback : public skinner::ControlTabElement {
public:
    SettingsPlayback(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsPlayback() override;

    // After a skin or language reload the play modes are translated again; the choice stays.
    void load_properties() override;
    void apply(Settings& settings);

    skinner::ControlComboBoxStringReadonly& get_mode() { return *mode_; }
    screens::ControlComboBoxTurnOff& get_turn_off() { return *turn_off_; }

private:
    std::vector<std::u16string> translated_modes();

    std::unique_ptr<skinner::ControlComboBoxStringReadonly> mode_;
    std::unique_ptr<screens::ControlComboBoxTurnOff> turn_off_;
};
