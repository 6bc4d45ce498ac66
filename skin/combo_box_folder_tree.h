// A combo box that picks a folder: its face is a path frame (from the kind named by
// "EditKind") that shows the chosen folder, its drop-down a folder tree (from the kind named
// by "TreeKind") rooted at the folder given to set_path, opened on the way to the chosen one.
#pragma once

#include <memory>
#include <string>

#include "skin/combo_box.h"
#include "skin/path_frame.h"
#include "skin/tree_folder.h"

namespace skinner {

class ControlComboBoxFolderTree : public ControlComboBox {
public:
    ControlComboBoxFolderTree(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlComboBoxFolderTree() override;

    // The folder is both the drop-down tree's root and the one shown.
    void set_path(const std::u16string& path);
    // The folder the user has chosen.
    const std::u16string& get_path() const { return frame_->get_text(); }
    const std::u16string& get_root_folder() const { return root_folder_; }

    Control* get_field() override { return frame_.get(); }
    ControlPathFrame& get_path_frame() { return *frame_; }
    // The tree of the open drop-down; null while it is closed.
    ControlTreeFolderSelectionStrategySingleRow* get_tree() const { return tree_.get(); }

    CBForm* create_dropdown_form(Point position, Size size) override;
    // The tree's current folder becomes the chosen one; the event goes on to the listener.
    void on_selection_changed(Control* sender) override;
    // The listener hears of every close; then the tree goes.
    void on_combo_changed(Control* sender) override;

private:
    std::unique_ptr<ControlPathFrame> frame_;
    std::u16string root_folder_;
    std::unique_ptr<ControlTreeFolderSelectionStrategySingleRow> tree_;
};

}  // namespace skinner
