// The settings page that says how new recordings are made: the format (one of a fixed table),
// the folder, the dated subfolder, the file name's prefix and date, and the turn-off delay.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/combo_box_generic.h"
#include "skin/tab.h"

class Settings;
namespace screens {
class ControlComboBoxTurnOff;
}
namespace skinner {
class ControlCheckBox;
class ControlComboBoxFolderTree;
class ControlEdit;
}  // namespace skinner

class SettingsRecording : public skinner::ControlTabElement {
public:
    struct Format {
        std::u16string codec;
        int channels = 1;
        int bits = 16;
        int sample_rate = 0;
        int bit_rate = 0;
        std::u16string label;  // shown as it stands, never translated
    };

    // The fifteen formats in the order the user sees them.
    static const std::vector<Format>& format_table();
    static constexpr int default_format = 4;

    class FormatCombo : public skinner::ControlComboBoxGenericReadonly<std::vector<Format>> {
    public:
        FormatCombo(skinner::Container* container, const std::u16string& name);

        // The first row equal in all five values; the default row when none is.
        void select_format(const std::u16string& codec, int channels, int bits, int sample_rate, int bit_rate);
        const Format& get_selected_format() const;

        std::u16string get_item_text(int index) override;
        void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                        bool selected, bool highlighted) override;
        // With nothing chosen the field shows the first row.
        void on_selection_changed(skinner::Control* sender) override;
    };

    SettingsRecording(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsRecording() override;

    void on_click(skinner::Control* sender) override;
    void apply(Settings& settings);

    FormatCombo& get_formats() { return *formats_; }
    skinner::ControlCheckBox& get_default_folder() { return *default_folder_; }
    skinner::ControlComboBoxFolderTree& get_folder() { return *folder_; }
    skinner::ControlCheckBox& get_date_folder() { return *date_folder_; }
    skinner::ControlEdit& get_prefix() { return *prefix_; }
    skinner::ControlCheckBox& get_include_date() { return *include_date_; }
    screens::ControlComboBoxTurnOff& get_turn_off() { return *turn_off_; }

    // The folder the combo shows; its tree starts at the device's root.
    std::u16string get_folder_text();
    void set_folder_text(const std::u16string& folder);

private:
    void enable_folder_controls();

    std::unique_ptr<FormatCombo> formats_;
    std::unique_ptr<skinner::ControlCheckBox> default_folder_;
    std::unique_ptr<skinner::ControlComboBoxFolderTree> folder_;
    std::unique_ptr<skinner::ControlCheckBox> date_folder_;
    std::unique_ptr<skinner::ControlEdit> prefix_;
    std::unique_ptr<skinner::ControlCheckBox> include_date_;
    std::unique_ptr<screens::ControlComboBoxTurnOff> turn_off_;
};
