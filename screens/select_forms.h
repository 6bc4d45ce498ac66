// The forms the explorer opens to add a folder or files: a folder picked in a folder tree,
// and sound files picked in a folder's file list, filtered by a type combo.
#pragma once

#include <string>
#include <vector>

#include "screens/control_list_files.h"
#include "skin/combo_box_folder_tree.h"
#include "skin/combo_box_generic.h"
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

// The file list with a header row naming the name, date and size columns.
class ControlListFilesWithHeader : public ControlListFiles {
public:
    using ControlListFiles::ControlListFiles;

    int get_header_height() override { return get_item_height(); }
    void paint_header(int column, skinner::Canvas& canvas, skinner::Point position, skinner::Size size) override;
};

// Skin form "SelectFiles": sound files picked in the list of the folder chosen in the
// folder combo.
class SelectFileForm : public skinner::Form {
public:
    class TypeCombo : public skinner::ControlComboBoxGenericReadonly<std::vector<FileType>> {
    public:
        TypeCombo(skinner::Container* container, const std::u16string& name, int lookup_mode = skinner::LOOKUP_BY_NAME);

        std::u16string get_item_text(int index) override;
        void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                        bool selected, bool highlighted) override;
    };

    SelectFileForm(skinner::Form* owner, skinner::Properties* properties);
    ~SelectFileForm() override;

    // Runs the form; true when it was closed with "btnOk".
    bool run();
    // The full paths of the files selected in the list, in row order.
    std::vector<std::u16string> get_selected_files() const { return files_.get_selected_paths(); }
    // Shows the folder in the combo and lists it.
    void show_folder(const std::u16string& path);

    void on_click(skinner::Control* sender) override;
    void on_selection_changed(skinner::Control* sender) override;
    void on_combo_changed(skinner::Control* sender) override;

    skinner::ControlComboBoxFolderTree& get_folder_combo() { return tree_; }
    TypeCombo& get_type_combo() { return types_; }
    ControlListFilesWithHeader& get_list() { return files_; }

private:
    void list_shown_folder();
    void apply_type(int index);

    skinner::ControlComboBoxFolderTree tree_;
    TypeCombo types_;
    ControlListFilesWithHeader files_;
    bool result_ = false;
};

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
