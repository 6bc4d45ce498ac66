// The skinned list of one folder's files and sub-folders: an icon, the name, the creation
// date and the size per row. Only files whose lower-case extension is registered with an
// icon are listed, and sub-folders only while the type "Folder" is registered. Rows sort by
// one of seven orders, several may be selected, and one (the file being played) is drawn in
// its own font.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/playlist/entry.h"
#include "app/type_icon_sink.h"
#include "foundation/date_time.h"
#include "skin/edit.h"
#include "skin/font_ref.h"
#include "skin/grid.h"
#include "skin/grid_selection.h"
#include "skin/picture_ref.h"

namespace screens {

// The sort orders; also the codes kept in the settings.
enum FileSort {
    SORT_FOLDERS_FIRST = 0,
    SORT_NAME = 1,
    SORT_DATE = 2,
    SORT_SIZE = 3,
    SORT_NAME_DESCENDING = 4,
    SORT_DATE_DESCENDING = 5,
    SORT_SIZE_DESCENDING = 6,
};

class ControlListFiles : public skinner::ControlGrid,
                         public skinner::GridSelectionStrategyMultiRowCE,
                         public TypeIconSink {
public:
    static constexpr const char16_t* folder_type = u"Folder";

    struct Row {
        std::u16string type;  // "Folder" or the lower-case extension
        std::u16string file_name;
        std::u16string date_text;  // "05.03.06"; empty for the year 0
        std::u16string size_text;  // empty for 0 bytes
        bool is_folder = false;
        bool is_playlist = false;
        playlist::Entry entry;  // entry.path is the full path
        std::int64_t size = 0;
        os::DateTime creation_time;
        bool saved_selection = false;
    };

    enum Column { COLUMN_ICON = 0, COLUMN_NAME = 2, COLUMN_DATE = 4, COLUMN_SIZE = 6, COLUMN_COUNT = 7 };

    ControlListFiles(skinner::Container* container, const std::u16string& name,
                     int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlListFiles() override;

    void load_properties() override;
    int get_column_width(int column) override;
    void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                    bool selected, bool highlighted) override;
    int get_row_count() override { return static_cast<int>(rows_.size()); }
    int get_column_count() override { return COLUMN_COUNT; }

    // Registers a type with the picture "Icon" + type; a registered type keeps its picture.
    void add_type_icon(const std::u16string& type) override;
    int remove_type_icon(const std::u16string& type);
    void clear_type_icons();
    bool is_type_registered(const std::u16string& type) const { return types_.count(type) != 0; }

    // Lists the folder: its files, then its sub-folders, sorted.
    void set_folder(const std::u16string& path);
    const std::u16string& get_folder() const { return folder_; }
    // Appends a row for a file of a registered type; neither sorts nor repaints.
    virtual void add_file(const std::u16string& path);
    // Appends a row for a sub-folder while "Folder" is registered.
    void add_folder(const std::u16string& path);

    void set_sort(int order);
    int get_sort() const { return sort_; }

    void set_current_row(int row) { current_row_ = row; }
    int get_current_row() const { return current_row_; }
    // The first row whose path names the same file, or -1.
    void find_current_row(const std::u16string& path);
    // As find_current_row, then shows the row and the one below it, and repaints.
    void set_current_path(const std::u16string& path);
    std::u16string get_current_path() const;
    // Selects only the row of the path (none for an empty or unknown path).
    void select_path(const std::u16string& path);

    // Raises std::out_of_range outside the rows.
    const Row& get_row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    // Open to the owner, which erases or exchanges rows in place and then refreshes the grid.
    std::vector<Row>& get_rows() { return rows_; }
    const std::vector<Row>& get_rows() const { return rows_; }
    // The lowest selected row; -1 / null when nothing is selected.
    int get_first_selected_index() const;
    const Row* get_first_selected_row() const;
    // The path of the one selected row; empty unless exactly one is selected.
    std::u16string get_single_selected_path() const;
    // The current folder joined with each selected row's name, in row order.
    std::vector<std::u16string> get_selected_paths() const;

    // The field that the owner hands to start_inplace_edit to rename a row in place (skin
    // kind "EditInListKind"); hidden while nothing is edited.
    skinner::ControlEdit& get_editor() { return *editor_; }
    // Appends a row of the type with the name alone (no file behind it yet), as the new row
    // whose name is then typed in place.
    void append_new_row(const std::u16string& type);

protected:
    // The row of a path accepted under a type, with its texts made ready to draw.
    static Row make_row(const std::u16string& path, const std::u16string& type, const playlist::Entry& entry);
    void append_row(Row row);
    // Removes every row and clears the selection.
    void clear_rows();

private:
    void load_skin_properties();
    void sort_rows();
    void show_row_and_next(int row);
    void paint_row_look(const skinner::StateLook& look, int column, skinner::Canvas& canvas, skinner::Point position,
                        skinner::Size size);

    std::vector<Row> rows_;
    std::unique_ptr<skinner::ControlEdit> editor_;
    std::map<std::u16string, skinner::PictureRef> types_;
    int icon_width_ = 0;
    int name_width_ = 0;
    int date_width_ = 0;
    int size_width_ = -1;
    int indent_width_ = 0;
    std::u16string folder_;
    skinner::FontRef current_font_;
    int current_row_ = -1;
    int sort_ = SORT_FOLDERS_FIRST;
};

}  // namespace screens
