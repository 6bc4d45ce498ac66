// The settings page of the interface language: one entry per language file beside the
// program.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/finder.h"
#include "skin/tab.h"

class Settings;
namespace skinner {
class ControlComboBoxStringReadonly;
}

// Collects the names (without extension) of the files a walk reports.
class LangFinder : public os::Finder {
public:
    explicit LangFinder(std::vector<std::u16string>& names) : names_(&names) {}
    bool on_file(const std::u16string& path) override;

private:
    std::vector<std::u16string>* names_;
};

class SettingsLanguage : public skinner::ControlTabElement {
public:
    SettingsLanguage(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsLanguage() override;

    // A newly chosen language is loaded into the owner form's texts and this form's, and
    // kept in the settings once its file has loaded. No choice (no language file found)
    // changes nothing.
    void apply(Settings& settings);

    skinner::ControlComboBoxStringReadonly& get_languages() { return *languages_; }

private:
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> languages_;
};
