#include "screens/select_forms.h"

namespace screens {

std::vector<FileType> make_file_types() {
    return {
        {u"Sound Files(*.mp3,*.wav,*.ogg,*.wma)", {u"mp3", u"wav", u"ogg", u"wma"}},
        {u"Mp3 files (*.mp3)", {u"mp3"}},
        {u"Wav files (*.wav)", {u"wav"}},
        {u"Ogg files (*.ogg)", {u"ogg"}},
        {u"Wma files (*.wma)", {u"wma"}},
    };
}

SelectFolderForm::SelectFolderForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"SelectFolder", owner), name_(this, u"frmName"), tree_(this, u"treeFolders") {
    tree_.set_root_folder(u"\\");
    name_.set_text(u"\\");
}

SelectFolderForm::~SelectFolderForm() = default;

bool SelectFolderForm::run() {
    do_modal();
    return result_;
}

std::u16string SelectFolderForm::get_current_folder() {
    skinner::ControlTreeFolderNode* const node = tree_.get_current_folder();
    return node != nullptr ? node->get_path() : std::u16string();
}

void SelectFolderForm::on_click(skinner::Control* sender) {
    if (sender == nullptr) return;
    if (sender->get_name() == u"btnOk") {
        result_ = true;
        close();
    } else if (sender->get_name() == u"btnCancel") {
        result_ = false;
        close();
    }
}

void SelectFolderForm::on_selection_changed(skinner::Control* sender) {
    if (sender != &tree_) return;
    name_.set_text(get_current_folder());
}

}  // namespace screens
