// The settings page of the hardware buttons: which command each button of the device and
// each side of the joystick runs, and whether the buttons are freed while the program is in
// the background.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "skin/picture_ref.h"
#include "skin/string_list.h"
#include "skin/tab.h"

class Settings;
namespace skinner {
class ControlCheckBox;
class ControlComboBoxStringReadonly;
class HardwareKeys;
}  // namespace skinner

class SettingsButtons : public skinner::ControlTabElement {
public:
    static constexpr int joystick_left = 4;
    static constexpr int joystick_right = 5;

    struct Button {
        std::u16string name;
        int action = 0;  // into the action table
        HICON icon = nullptr;
        const skinner::PictureRef* picture = nullptr;  // the joystick rows'
        int kind = 0;  // joystick_left, joystick_right, else a hardware button
    };

    class ListButtons : public skinner::ControlListGeneric<std::vector<Button>> {
    public:
        ListButtons(skinner::Container* container, const std::u16string& name,
                    const std::vector<std::u16string>* labels);

        int get_column_count() override { return 3; }
        int get_column_width(int column) override;
        void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                        bool selected, bool highlighted) override;
        void load_properties() override;

        std::vector<Button>& rows() { return rows_; }

    private:
        void read_widths();

        const std::vector<std::u16string>* labels_;
        int icon_width_ = 0;
        int name_width_ = 0;
        int icon_resolution_ = 0;
    };

    // The commands the buttons can run, in the order the user sees them ("" is none).
    static const std::vector<std::u16string>& action_commands();
    // The command's place in the table; 0 (none) for a command the table does not hold.
    static int find_action(const std::u16string& command);

    SettingsButtons(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsButtons() override;

    void on_selection_changed(skinner::Control* sender) override;
    // After a skin or language reload the pictures are loaded and the texts translated again;
    // every row keeps its action and the combo its choice.
    void load_properties() override;
    // One command per hardware button of the device, in its order, and the joystick's two.
    void apply(Settings& settings);

    skinner::ControlCheckBox& get_unmap() { return *unmap_; }
    skinner::ControlComboBoxStringReadonly& get_assign() { return *assign_; }
    ListButtons& get_list() { return *list_; }

private:
    void load_pictures();
    void translate_labels();
    void translate_joystick_names();

    std::unique_ptr<skinner::ControlCheckBox> unmap_;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> assign_;
    std::vector<std::u16string> labels_;
    std::unique_ptr<ListButtons> list_;
    skinner::PictureRef joy_left_;
    skinner::PictureRef joy_right_;
    std::unique_ptr<skinner::HardwareKeys> keys_;
};
