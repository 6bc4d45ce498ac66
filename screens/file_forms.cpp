#include "screens/file_forms.h"

namespace screens {

void set_form_texts(skinner::Form& form, const std::u16string& caption, const std::u16string& message) {
    if (auto* frame = dynamic_cast<skinner::ControlFrame*>(form.find_control(u"frmCaption"))) frame->set_text(caption);
    if (auto* frame = dynamic_cast<skinner::ControlFrame*>(form.find_control(u"frmMessage"))) frame->set_text(message);
}

FileProgressForm::FileProgressForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"FileProgress", nullptr),
      file_name_(this, u"frmFileName"),
      caption_(this, u"frmCaption"),
      message_(this, u"frmMessage"),
      file_progress_(this, u"pbProgressFile"),
      total_progress_(this, u"pbProgressTotal"),
      cancel_(this, u"btnCancel") {}

void FileProgressForm::on_click(skinner::Control* sender) {
    if (sender == &cancel_) cancelled_ = true;
}

void FileProgressForm::set_fractions(double file_fraction, double total_fraction) {
    file_progress_.set_progress(file_fraction);
    total_progress_.set_progress(total_fraction);
}

ErrorForm::ErrorForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"Error", nullptr), message_(this, u"frmMessage"), caption_(this, u"frmCaption") {}

void ErrorForm::on_click(skinner::Control* sender) {
    auto const* button = dynamic_cast<skinner::ControlButtonBase*>(sender);
    if (button && button->get_action() == skinner::ACTION_BUTTON_OK) close();
}

void show_error(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption,
                const std::u16string& message) {
    ErrorForm form(owner, properties);
    set_form_texts(form, caption, message);
    form.do_modal();
}

}  // namespace screens
