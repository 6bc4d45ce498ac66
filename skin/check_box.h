// A skinned button that flips a checked flag on every activation, with a second set of looks
// ("CheckedNormal", ...) and optionally a second text ("CheckedText") while checked.
#pragma once

#include <memory>
#include <string>

#include "skin/button.h"

namespace skinner {

// The platform side of a check box: told of every change of the checked flag. On this
// platform it does nothing and the skinned looks are painted and focusable.
class ControlCheckBoxImpl : public ControlButtonImpl {
public:
    explicit ControlCheckBoxImpl(ControlButtonBase* button) : ControlButtonImpl(button, true, true) {}
    virtual void set_checked(bool /*checked*/, int /*flag*/) {}
};

class ControlCheckBox : public ControlButtonBase {
public:
    ControlCheckBox(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlCheckBox() override;

    void load_properties() override;
    // Replaces both texts.
    void set_text(const std::u16string& text) override;
    // Flips the flag first, so that the listener of on_click reads the new state.
    void click(const ButtonEvent& event) override;
    const StateLooks& get_looks() const override;

    // Nothing when unchanged; else stores it, tells the platform side, shows the text of
    // the new state and repaints.
    virtual void set_checked(bool checked, int flag = 0);
    // Stores the text of one state and shows the text of the current state.
    virtual void set_state_text(const std::u16string& text, bool checked);

    bool is_checked() const { return checked_; }
    const std::u16string& get_unchecked_text() const { return unchecked_text_; }
    const std::u16string& get_checked_text() const { return checked_text_; }

private:
    void load_check_box_properties();
    void make_impl();
    void show_state_text();

    std::u16string unchecked_text_;
    std::u16string checked_text_;
    bool checked_ = false;
    StateLooks checked_looks_;
    ControlCheckBoxImpl* check_impl_ = nullptr;
};

}  // namespace skinner
