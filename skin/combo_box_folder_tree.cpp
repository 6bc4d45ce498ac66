#include "skin/combo_box_folder_tree.h"

namespace skinner {

namespace {

std::u16string kind_of(ControlComboBox& combo, const std::u16string& key) {
    return combo.get_lookup_mode() == LOOKUP_NONE ? std::u16string() : combo.get_string_property(key, u"");
}

}  // namespace

ControlComboBoxFolderTree::ControlComboBoxFolderTree(Container* container, const std::u16string& name,
                                                     int lookup_mode)
    : ControlComboBox(container, name, lookup_mode),
      frame_(std::make_unique<ControlPathFrame>(get_panel_container(), kind_of(*this, u"EditKind"), LOOKUP_BY_KIND)) {
    update_rect();
}

ControlComboBoxFolderTree::~ControlComboBoxFolderTree() {
    // The tree lives in the drop-down form, which the base deletes after it.
    tree_.reset();
}

void ControlComboBoxFolderTree::set_path(const std::u16string& path) {
    root_folder_ = path;
    frame_->set_text(path);
}

ControlComboBox::CBForm* ControlComboBoxFolderTree::create_dropdown_form(Point position, Size size) {
    CBForm* const form = ControlComboBox::create_dropdown_form(position, size);
    tree_.reset();
    tree_ = std::make_unique<ControlTreeFolderSelectionStrategySingleRow>(form, kind_of(*this, u"TreeKind"),
                                                                          LOOKUP_BY_KIND);
    form->set_content(tree_.get());
    form->set_focus(tree_.get());
    tree_->set_root_folder(root_folder_);
    tree_->select_folder(frame_->get_text());
    return form;
}

void ControlComboBoxFolderTree::on_selection_changed(Control* sender) {
    if (tree_ && sender == tree_.get()) {
        ControlTreeFolderNode* const folder = tree_->get_current_folder();
        frame_->set_text(folder ? folder->get_path() : std::u16string());
    }
    ControlComboBox::on_selection_changed(sender);
}

void ControlComboBoxFolderTree::on_combo_changed(Control* sender) {
    std::weak_ptr<bool> const alive = watch();
    ControlComboBox::on_combo_changed(sender);
    if (alive.expired()) return;
    tree_.reset();
}

}  // namespace skinner
