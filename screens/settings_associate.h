// The settings page of the file types that the program opens from the shell.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "skin/tab.h"

class Settings;
namespace skinner {
class ControlCheckBox;
}

class SettingsAssociate : public skinner::ControlTabElement {
public:
    enum Type { wav, mp3, m3u, ogg, wma, type_count };

    // A box is ticked while the program holds that type (its remembered opener is known).
    SettingsAssociate(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsAssociate() override;

    // Registers the program for the ticked types and gives the others back.
    void apply(Settings& settings);

    skinner::ControlCheckBox& get_box(Type type) { return *boxes_[type]; }

private:
    std::array<std::unique_ptr<skinner::ControlCheckBox>, type_count> boxes_;
};
