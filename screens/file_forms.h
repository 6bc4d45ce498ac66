// The small forms of the file explorer: the progress of a running file operation with its
// Cancel button, and the modal box that shows an error.
#pragma once

#include <string>

#include "skin/button.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/progress.h"

namespace screens {

// Sets the texts of the frames "frmCaption" and "frmMessage" of a form that has them.
void set_form_texts(skinner::Form& form, const std::u16string& caption, const std::u16string& message);

// Shown without a modal loop while an operation runs on this thread; the operation reads
// the cancel flag after letting pending messages through.
class FileProgressForm : public skinner::Form {
public:
    FileProgressForm(skinner::Form* owner, skinner::Properties* properties);

    void on_click(skinner::Control* sender) override;

    void set_file_name(const std::u16string& name) { file_name_.set_text(name); }
    void set_fractions(double file_fraction, double total_fraction);
    // Once set, stays set for the form's life.
    bool is_cancelled() const { return cancelled_; }

    skinner::ControlProgress& get_file_progress() { return file_progress_; }
    skinner::ControlProgress& get_total_progress() { return total_progress_; }
    skinner::ControlFrame& get_file_name() { return file_name_; }
    skinner::ControlButton& get_cancel_button() { return cancel_; }

private:
    skinner::ControlFrame file_name_;
    skinner::ControlFrame caption_;
    skinner::ControlFrame message_;
    skinner::ControlProgress file_progress_;
    skinner::ControlProgress total_progress_;
    skinner::ControlButton cancel_;
    bool cancelled_ = false;
};

// A modal box with a caption and a message, closed by its OK button.
class ErrorForm : public skinner::Form {
public:
    ErrorForm(skinner::Form* owner, skinner::Properties* properties);

    void on_click(skinner::Control* sender) override;

private:
    skinner::ControlFrame message_;
    skinner::ControlFrame caption_;
};

// Builds an ErrorForm over the owner, shows the texts and returns when it is closed.
void show_error(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption,
                const std::u16string& message);

}  // namespace screens
