#include "screens/message_forms.h"

#include <array>
#include <utility>

#include "skin/properties.h"

namespace screens {

void set_form_texts(skinner::Form& form, const std::u16string& caption, const std::u16string& message) {
    if (auto* const frame = dynamic_cast<skinner::ControlFrame*>(form.find_control(u"frmCaption"))) {
        frame->set_text(caption);
    }
    if (auto* const frame = dynamic_cast<skinner::ControlFrame*>(form.find_control(u"frmMessage"))) {
        frame->set_text(message);
    }
}

ErrorForm::ErrorForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"Error", owner), message_(this, u"frmMessage"), caption_(this, u"frmCaption") {}

ErrorForm::~ErrorForm() = default;

void ErrorForm::on_click(skinner::Control* sender) {
    if (sender != nullptr && sender->get_name() == u"btnOk") close();
}

void show_error(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption_key,
                const std::u16string& message_key) {
    ErrorForm form(owner, properties);
    set_form_texts(form, properties->translate(caption_key), properties->translate(message_key));
    form.do_modal();
}

ConfirmForm::ConfirmForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name)
    : skinner::Form(owner, properties, form_name, owner),
      message_(this, u"frmMessage"),
      caption_(this, u"frmCaption") {}

ConfirmForm::~ConfirmForm() = default;

std::int32_t ConfirmForm::run() {
    do_modal();
    return answer_;
}

void ConfirmForm::on_click(skinner::Control* sender) {
    static constexpr std::array<std::pair<const char16_t*, std::int32_t>, 5> buttons{{
        {u"btnYes", CONFIRM_YES},
        {u"btnNo", CONFIRM_NO},
        {u"btnYesAll", CONFIRM_YES_TO_ALL},
        {u"btnNoAll", CONFIRM_NO_TO_ALL},
        {u"btnCancel", CONFIRM_CANCEL},
    }};
    if (sender == nullptr) return;
    for (auto const& [name, answer] : buttons) {
        if (sender->get_name() != name) continue;
        answer_ = answer;
        close();
        return;
    }
}

}  // namespace screens
