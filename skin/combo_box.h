// A combo box: a field and a drop button side by side in a panel. The drop button (or Enter)
// opens a drop-down form below the field, or above it when there is no room below, and runs
// it until it closes; then the combo reports on_combo_changed to itself.
#pragma once

#include <memory>
#include <string>

#include "skin/form_combo.h"
#include "skin/panel.h"

namespace skinner {

class ControlButton;

class ControlComboBox : public ControlPanel {
public:
    // The drop-down form; Escape and Enter that its controls leave close it.
    class CBForm : public FormCombo {
    public:
        CBForm(ControlComboBox* combo, Point position, Size size);
        bool on_keydown(int key) override;
    };

    ControlComboBox(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlComboBox() override;

    // The drop button opens and closes the drop-down; clicks of other children go no further.
    void on_click(Control* sender) override;
    void on_focus_gained() override;
    bool on_keydown(int key) override;
    void set_rect(Point position, Size size) override;
    void load_properties() override;

    virtual Control* get_field() = 0;
    virtual CBForm* create_dropdown_form(Point position, Size size);

    // Returns when the drop-down has closed again (at once when it is open already); the
    // program runs meanwhile through this call's message pump.
    void open_dropdown_window();
    void close_dropdown_window();

    bool is_dropdown_open() const { return dropdown_ != nullptr; }
    CBForm* get_dropdown_form() const { return dropdown_.get(); }
    ControlButton* get_drop_button() const { return button_.get(); }
    int get_button_width() const { return button_width_; }
    Point get_dropdown_size() const { return dropdown_size_; }
    const std::u16string& get_dropdown_form_name() const { return dropdown_form_name_; }

protected:
    // Expires when the combo is destroyed: code that raised an event to the screen checks it
    // before it touches the combo again.
    std::weak_ptr<bool> watch() const { return alive_; }

private:
    void read_keys();
    // Where the drop-down opens, in the form's client coordinates.
    Point dropdown_position(Size size);

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    int button_width_ = 0;
    std::unique_ptr<CBForm> dropdown_;
    Point dropdown_size_;
    std::u16string dropdown_form_name_;
    std::unique_ptr<ControlButton> button_;
};

}  // namespace skinner
