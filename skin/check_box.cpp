#include "skin/check_box.h"

namespace skinner {

ControlCheckBox::ControlCheckBox(Container* container, const std::u16string& name, int lookup_mode)
    : ControlButtonBase(container, name, lookup_mode) {
    load_check_box_properties();
    make_impl();
}

ControlCheckBox::~ControlCheckBox() = default;

void ControlCheckBox::load_check_box_properties() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    checked_ = get_integer_property(u"Checked", checked_) != 0;
    checked_looks_ = build_state_looks(*this, u"Checked");
    unchecked_text_ = get_string_property(u"Text", unchecked_text_);
    checked_text_ = get_string_property(u"CheckedText", unchecked_text_);
    show_state_text();
}

void ControlCheckBox::load_properties() {
    ControlButtonBase::load_properties();
    load_check_box_properties();
    make_impl();
}

void ControlCheckBox::make_impl() {
    set_impl(nullptr);
    auto impl = std::make_unique<ControlCheckBoxImpl>(this);
    check_impl_ = impl.get();
    set_impl(std::move(impl));
    set_want_focus(get_want_focus());
}

void ControlCheckBox::show_state_text() { ControlButtonBase::set_text(checked_ ? checked_text_ : unchecked_text_); }

void ControlCheckBox::set_text(const std::u16string& text) {
    unchecked_text_ = text;
    checked_text_ = text;
    ControlButtonBase::set_text(text);
}

void ControlCheckBox::set_state_text(const std::u16string& text, bool checked) {
    (checked ? checked_text_ : unchecked_text_) = text;
    show_state_text();
}

void ControlCheckBox::set_checked(bool checked, int flag) {
    if (checked == checked_) return;
    checked_ = checked;
    if (check_impl_) check_impl_->set_checked(checked, flag);
    if (checked_text_ != unchecked_text_) show_state_text();
    repaint();
}

void ControlCheckBox::click(const ButtonEvent& event) {
    set_checked(!checked_);
    ControlButtonBase::click(event);
}

const StateLooks& ControlCheckBox::get_looks() const {
    return checked_ ? checked_looks_ : ControlButtonBase::get_looks();
}

}  // namespace skinner
