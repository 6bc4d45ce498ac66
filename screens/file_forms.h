// The progress of a running file operation, with its Cancel button.
#pragma once

#include <string>

#include "skin/button.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/progress.h"

namespace screens {

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

}  // namespace screens
