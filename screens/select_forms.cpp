#include "screens/select_forms.h"

#include "app/text_utils.h"
#include "foundation/paths.h"
#include "skin/canvas.h"
#include "skin/drop_down_list.h"

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

void ControlListFilesWithHeader::paint_header(int column, skinner::Canvas& canvas, skinner::Point position,
                                              skinner::Size size) {
    const skinner::StateLook& look = get_header_look();
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    const char16_t* key = column == COLUMN_NAME   ? u"ControlListFilesHeaderName"
                          : column == COLUMN_DATE ? u"ControlListFilesHeaderDate"
                          : column == COLUMN_SIZE ? u"ControlListFilesHeaderSize"
                                                  : nullptr;
    if (key == nullptr) return;
    look.font.draw_text_ellipsis(canvas, look.colour, translate(key), POINT{position.x, position.y},
                                 POINT{size.width, size.height}, 0, 1);
}

SelectFileForm::TypeCombo::TypeCombo(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : ControlComboBoxGenericReadonly(container, name, lookup_mode) {
    set_items(make_file_types());
}

std::u16string SelectFileForm::TypeCombo::get_item_text(int index) {
    if (index < 0 || index >= get_item_count()) return {};
    return items_[static_cast<std::size_t>(index)].label;
}

void SelectFileForm::TypeCombo::paint_item(int, int row, skinner::Canvas& canvas, skinner::Point position,
                                           skinner::Size size, bool selected, bool highlighted) {
    skinner::List* const list = get_list();
    if (!list || row < 0 || row >= get_item_count()) return;
    const skinner::StateLook& look = list->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    look.font.draw_text(canvas, look.colour, items_[static_cast<std::size_t>(row)].label, POINT{position.x, position.y},
                        POINT{size.width, size.height}, 0, 1);
}

SelectFileForm::SelectFileForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"SelectFiles", owner),
      tree_(this, u"cbTree"),
      types_(this, u"cbTypes"),
      files_(this, u"lstFiles") {
    tree_.set_path(u"\\");
    types_.set_selected_index(0);
    add_sound_extensions(files_);
    list_shown_folder();
}

SelectFileForm::~SelectFileForm() = default;

bool SelectFileForm::run() {
    do_modal();
    return result_;
}

void SelectFileForm::show_folder(const std::u16string& path) {
    tree_.set_path(path);
    list_shown_folder();
}

void SelectFileForm::list_shown_folder() { files_.set_folder(tree_.get_path()); }

void SelectFileForm::apply_type(int index) {
    if (index < 0 || index >= types_.get_item_count()) return;
    files_.clear_type_icons();
    for (const std::u16string& extension : types_.get_items()[static_cast<std::size_t>(index)].extensions)
        files_.add_type_icon(extension);
    list_shown_folder();
}

void SelectFileForm::on_click(skinner::Control* sender) {
    if (sender == nullptr) return;
    std::u16string const& name = sender->get_name();
    if (name == u"btnOk" || name == u"btnCancel") {
        result_ = name == u"btnOk";
        close();
    } else if (name == u"btnUp") {
        std::u16string const parent = os::get_parent_folder(tree_.get_path());
        if (!parent.empty()) show_folder(parent);
    }
}

void SelectFileForm::on_selection_changed(skinner::Control* sender) {
    // The combo's drop-down tree reports each folder the user moves to.
    if (sender == &tree_ || (sender != nullptr && sender == tree_.get_tree())) {
        list_shown_folder();
    } else if (sender == &types_) {
        apply_type(types_.get_selected_index());
    }
}

void SelectFileForm::on_combo_changed(skinner::Control* sender) {
    if (sender == &tree_ && tree_.get_path() != files_.get_folder()) list_shown_folder();
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
