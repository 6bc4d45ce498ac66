// The bookmarks of one sound file as ranges: a range runs from its bookmark to the next one
// or to the end of the sound. The user ticks the ranges that are played, orders them with
// Up and Down, renames and deletes them, and may leave with a request to play from one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screens/control_range.h"
#include "skin/button.h"
#include "skin/edit.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/grid.h"
#include "skin/grid_selection.h"

class Bookmarks;

namespace audio {
class FileReader;
}

namespace screens {

// "05:07:25": the minutes within the hour, the seconds and the hundredths of a time.
std::u16string range_time_text(double seconds);

// One row of the range grid.
struct RangeMark {
    RangeMark(std::int32_t position, std::int32_t length, std::u16string name, bool play, audio::FileReader& reader);

    std::int32_t position;
    std::int32_t length;
    std::u16string end_text;
    std::u16string start_text;
    std::u16string name;
    bool play;
};

// Columns: the play tick, the name, the start and the end; several rows may be selected.
class RangeGrid : public skinner::ControlGrid, public skinner::GridSelectionStrategyMultiRowCE, public RangeSelection {
public:
    RangeGrid(skinner::Container* container, const std::u16string& name, int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~RangeGrid() override;

    int get_row_count() override { return static_cast<int>(rows_.size()); }
    int get_column_count() override { return 4; }
    int get_column_width(int column) override;
    void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                    bool selected, bool highlighted) override;
    void load_properties() override;
    // The selected rows' ranges, for the strip.
    std::vector<Range> get_selected_ranges() const override;

    const std::vector<RangeMark>& get_rows() const { return rows_; }
    RangeMark& row(int index) { return rows_.at(static_cast<std::size_t>(index)); }
    void set_rows(std::vector<RangeMark> rows);
    void swap_rows(int a, int b);
    void remove_row(int index);
    // From the row's position to the next greater position among the rows, or to total.
    std::int32_t range_length(int index, std::int32_t total) const;
    // The field that renames a row in place ("EditKind"), hidden while not editing.
    skinner::ControlEdit& get_editor() { return *editor_; }

private:
    void read_keys();

    std::vector<RangeMark> rows_;
    std::unique_ptr<skinner::ControlEdit> editor_;
    skinner::PictureRef ticked_;
    skinner::PictureRef not_ticked_;
    int start_width_ = 0;
    int end_width_ = 0;
    int check_width_ = 0;
};

// Skin form "Bookmarks" of the main skin.
class BookmarksForm : public skinner::Form {
public:
    BookmarksForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                  audio::FileReader& reader, const std::u16string& name_text);
    ~BookmarksForm() override;

    // Shows the list, runs the form and rewrites the list from the rows however the form
    // was closed; the position chosen with Go, or -1.
    std::int32_t run(Bookmarks& bookmarks);

    void on_click(skinner::Control* sender) override;
    void on_item_click(skinner::Control* sender, skinner::Cell cell) override;
    void on_inplace_edit_done(skinner::Control* grid, const skinner::EditRecord& record) override;
    void on_selection_changed(skinner::Control* sender) override;

    RangeGrid& get_grid() { return grid_; }

private:
    // The single selected row, or -1 when none or several are selected.
    int single_selected_row() const;
    void update_buttons();
    void move_selected(int by);
    void delete_selected();
    void edit_selected();
    void select_only(int row);

    RangeGrid grid_;
    skinner::ControlButton ok_;
    skinner::ControlButton up_;
    skinner::ControlButton down_;
    skinner::ControlButton delete_;
    skinner::ControlButton edit_;
    skinner::ControlButton go_;
    skinner::ControlFrame name_;
    ControlRange range_;
    audio::FileReader& reader_;
    std::int32_t result_ = -1;
};

}  // namespace screens
