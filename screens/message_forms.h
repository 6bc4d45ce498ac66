// The small boxes every screen shows: an error (one OK) and a question answered by up to five
// buttons. Both show a caption and a message, laid out by the skin.
#pragma once

#include <cstdint>
#include <string>

#include "skin/form.h"
#include "skin/frame.h"

namespace screens {

// Sets the texts of the form's "frmCaption" and "frmMessage" frames.
void set_form_texts(skinner::Form& form, const std::u16string& caption, const std::u16string& message);

// Skin form "Error"; "btnOk" (or the platform's close) ends it.
class ErrorForm : public skinner::Form {
public:
    ErrorForm(skinner::Form* owner, skinner::Properties* properties);
    ~ErrorForm() override;

    void on_click(skinner::Control* sender) override;

private:
    skinner::ControlFrame message_;
    skinner::ControlFrame caption_;
};

// Shows an error form over the owner with the translations of the two language keys.
void show_error(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption_key,
                const std::u16string& message_key);

// The answers of a confirmation, the same for every caller.
enum ConfirmAnswer : std::int32_t {
    CONFIRM_YES = 0,
    CONFIRM_NO = 1,  // also when the form is closed without a button
    CONFIRM_YES_TO_ALL = 2,
    CONFIRM_NO_TO_ALL = 3,
    CONFIRM_CANCEL = 4,
};

// Skin forms "ConfirmYesNo" or "Confirm5Way": the caller chooses, sets the texts and runs it.
class ConfirmForm : public skinner::Form {
public:
    ConfirmForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name);
    ~ConfirmForm() override;

    // Runs the form modally; the answer of the button pressed.
    std::int32_t run();
    void on_click(skinner::Control* sender) override;

    std::int32_t get_answer() const { return answer_; }

private:
    skinner::ControlFrame message_;
    skinner::ControlFrame caption_;
    std::int32_t answer_ = CONFIRM_NO;
};

}  // namespace screens
