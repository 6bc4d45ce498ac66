// The settings page of the skins: the main window's skin and the start-screen item's skin,
// each chosen from the skin files found under the program folder, with a preview picture.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/finder.h"
#include "skin/tab.h"

class Settings;
namespace skinner {
class ControlComboBoxStringReadonly;
class ControlFrame;
}  // namespace skinner

// Sorts the ".skin" files of a walk into main skins and start-screen skins by what each
// file says it fits. It walks every folder it is shown except those under "%windows%";
// the directory search never reports links to folders, so a link cannot lead it in circles.
class MySkinFinder : public os::Finder {
public:
    bool on_file(const std::u16string& path) override;
    bool on_folder(const std::u16string& path) override;

    // The index of the path in the list (compared with macros expanded); the list's length
    // when it is not there.
    static bool find_path(const std::vector<std::u16string>& list, const std::u16string& path, std::size_t& index);
    // Replaces an equal entry, else appends.
    static void put_path(std::vector<std::u16string>& list, const std::u16string& path);

    std::vector<std::u16string> main_skins;
    std::vector<std::u16string> today_skins;
};

class SettingsSkin : public skinner::ControlTabElement {
public:
    SettingsSkin(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsSkin() override;

    void on_selection_changed(skinner::Control* sender) override;
    // A newly chosen main skin is put on the owner form at once; a newly chosen start-screen
    // skin is written to the registry with the item switched off around the change.
    void apply(Settings& settings);

    void show_preview(bool today, int index);

    const MySkinFinder& get_finder() const { return finder_; }
    skinner::ControlComboBoxStringReadonly& get_main() { return *main_; }
    skinner::ControlComboBoxStringReadonly& get_today() { return *today_; }
    skinner::ControlFrame& get_main_preview() { return *main_preview_; }
    skinner::ControlFrame& get_today_preview() { return *today_preview_; }

private:
    void fill(skinner::ControlComboBoxStringReadonly& combo, const std::vector<std::u16string>& paths);
    void apply_today_skin();

    std::unique_ptr<skinner::ControlComboBoxStringReadonly> main_;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> today_;
    std::unique_ptr<skinner::ControlFrame> main_preview_;
    std::unique_ptr<skinner::ControlFrame> today_preview_;
    MySkinFinder finder_;
};
