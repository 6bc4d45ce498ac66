// The forms the explorer opens to add a folder or files: a folder picked in a folder tree,
// and the types of sound file the file picker filters by.
#pragma once

#include <string>
#include <vector>

#include "skin/form.h"
#include "skin/path_frame.h"
#include "skin/tree_folder.h"

namespace screens {

// A file type of the picker's type list: its label (not translated) and its extensions,
// lower case, without the dot.
struct FileType {
    std::u16string label;
    std::vector<std::u16string> extensions;
};

// All sound files first, then each type alone.
std::vector<FileType> make_file_types();

// Skin form "SelectFolder": the folder chosen in the tree, shown in the name frame.
class SelectFolderForm : public skinner::Form {
public:
    SelectFolderForm(skinner::Form* owner, skinner::Properties* properties);
    ~SelectFolderForm() override;

    // Runs the form; true when it was closed with "btnOk".
    bool run();
    // The folder of the tree's current row; empty when there is none.
    std::u16string get_current_folder();
    // The folder shown in the name frame: the choice.
    const std::u16string& get_chosen_folder() const { return name_.get_text(); }

    void on_click(skinner::Control* sender) override;
    void on_selection_changed(skinner::Control* sender) override;

    skinner::ControlTreeFolderSelectionStrategySingleRow& get_tree() { return tree_; }

private:
    skinner::ControlPathFrame name_;
    skinner::ControlTreeFolderSelectionStrategySingleRow tree_;
    bool result_ = false;
};

}  // namespace screens
