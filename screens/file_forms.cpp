#include "screens/file_forms.h"

namespace screens {

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

}  // namespace screens
