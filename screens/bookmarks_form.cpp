#include "screens/bookmarks_form.h"

#include <algorithm>
#include <utility>

#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "audio/file_reader.h"
#include "skin/canvas.h"

namespace screens {

std::u16string range_time_text(double seconds) {
    auto const whole = static_cast<std::int64_t>(seconds);
    std::int64_t const minutes = (whole - whole / 3600 * 3600) / 60;
    std::int64_t const secs = whole - whole / 60 * 60;
    std::int64_t const hundredths = static_cast<std::int64_t>(seconds * 100) % 100;
    return two_digit_text(static_cast<int>(minutes)) + u":" + two_digit_text(static_cast<int>(secs)) + u":" +
           two_digit_text(static_cast<int>(hundredths));
}

RangeMark::RangeMark(std::int32_t position, std::int32_t length, std::u16string name, bool play,
                     audio::FileReader& reader)
    : position(position),
      length(length),
      end_text(range_time_text(reader.bytes_to_time(static_cast<std::uint32_t>(position + length)))),
      start_text(range_time_text(reader.bytes_to_time(static_cast<std::uint32_t>(position)))),
      name(std::move(name)),
      play(play) {}

RangeGrid::RangeGrid(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : skinner::ControlGrid(container, name, lookup_mode),
      editor_(skinner::create_edit_of_kind(*this, get_panel_container(), u"EditKind")) {
    editor_->set_visible(false);
    read_keys();
    refresh();
}

RangeGrid::~RangeGrid() { end_inplace_edit(false); }

void RangeGrid::read_keys() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    ticked_ = get_picture_property(u"CheckEnabled", ticked_);
    not_ticked_ = get_picture_property(u"CheckDisabled", not_ticked_);
    start_width_ = get_scaled_integer_property(u"StartWidth", start_width_);
    end_width_ = get_scaled_integer_property(u"DurationWidth", end_width_);
    check_width_ = get_scaled_integer_property(u"CheckBoxWidth", check_width_);
}

void RangeGrid::load_properties() {
    skinner::ControlGrid::load_properties();
    read_keys();
}

int RangeGrid::get_column_width(int column) {
    switch (column) {
    case 0: return check_width_;
    case 2: return start_width_;
    case 3: return end_width_;
    default: return -1;
    }
}

void RangeGrid::paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                           bool selected, bool highlighted) {
    if (row < 0 || row >= get_row_count()) return;
    RangeMark const& mark = rows_[static_cast<std::size_t>(row)];
    skinner::StateLook const& look = get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    if (column == 0) {
        POINT const box = ticked_.get_size();
        // The tick is centred in a square as wide as its column.
        (mark.play ? ticked_ : not_ticked_)
            .draw(canvas, POINT{position.x + (check_width_ - box.x) / 2, position.y + (check_width_ - box.y) / 2}, box);
        return;
    }
    // The field over the cell being renamed shows the name.
    if (get_inplace_edit() != nullptr && get_inplace_cell() == skinner::Cell{column, row}) return;
    std::u16string const& text = column == 1 ? mark.name : column == 2 ? mark.start_text : mark.end_text;
    look.font.draw_text(canvas, look.colour, text, POINT{position.x, position.y}, POINT{size.width, size.height}, 0, 1);
}

std::vector<RangeSelection::Range> RangeGrid::get_selected_ranges() const {
    std::vector<Range> ranges;
    for (int const row : get_selected_rows()) {
        if (row < 0 || row >= static_cast<int>(rows_.size())) continue;
        RangeMark const& mark = rows_[static_cast<std::size_t>(row)];
        ranges.push_back({mark.position, mark.length});
    }
    return ranges;
}

void RangeGrid::set_rows(std::vector<RangeMark> rows) {
    rows_removed_at(0, get_row_count());
    rows_ = std::move(rows);
    rows_inserted_at(0, get_row_count());
    refresh();
}

void RangeGrid::swap_rows(int a, int b) {
    std::swap(row(a), row(b));
    refresh();
}

void RangeGrid::remove_row(int index) {
    rows_.erase(rows_.begin() + index);
    rows_removed_at(index, 1);
    refresh();
}

std::int32_t RangeGrid::range_length(int index, std::int32_t total) const {
    std::int32_t const position = rows_.at(static_cast<std::size_t>(index)).position;
    std::int32_t next = total;
    for (RangeMark const& mark : rows_) {
        if (mark.position > position && mark.position < next) next = mark.position;
    }
    return next - position;
}

BookmarksForm::BookmarksForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                             audio::FileReader& reader, const std::u16string& name_text)
    : skinner::Form(owner, properties, form_name, owner),
      grid_(this, u"grdBookmarks"),
      ok_(this, u"btnOk"),
      up_(this, u"btnUp"),
      down_(this, u"btnDown"),
      delete_(this, u"btnDelete"),
      edit_(this, u"btnEdit"),
      go_(this, u"btnGo"),
      name_(this, u"frmName"),
      range_(this, u"Range", skinner::LOOKUP_BY_NAME, &grid_, reader.get_size()),
      reader_(reader) {
    name_.set_text(name_text);
}

BookmarksForm::~BookmarksForm() = default;

std::int32_t BookmarksForm::run(Bookmarks& bookmarks) {
    bookmarks.add(0, u"Start");
    auto const total = static_cast<std::int32_t>(reader_.get_size());
    std::vector<RangeMark> rows;
    rows.reserve(static_cast<std::size_t>(bookmarks.size()));
    for (int place = 0; place < bookmarks.get_play_count(); ++place) {
        Bookmark const& mark = bookmarks.get_played(place);
        rows.emplace_back(mark.position, bookmarks.get_played_length(place, total), mark.name, true, reader_);
    }
    for (int index = 0; index < bookmarks.size(); ++index) {
        Bookmark const& mark = bookmarks.get(index);
        if (mark.play != -1) continue;
        rows.emplace_back(mark.position, bookmarks.get_length(index, total), mark.name, false, reader_);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const RangeMark& a, const RangeMark& b) { return a.position < b.position; });
    grid_.set_rows(std::move(rows));
    grid_.clear_selection();
    update_buttons();
    do_modal();
    bookmarks = Bookmarks();
    for (RangeMark const& mark : grid_.get_rows()) bookmarks.insert(mark.position, mark.name, mark.play);
    return result_;
}

int BookmarksForm::single_selected_row() const {
    std::set<int> const& rows = grid_.get_selected_rows();
    if (rows.size() != 1) return -1;
    int const row = *rows.begin();
    return row < static_cast<int>(grid_.get_rows().size()) ? row : -1;
}

void BookmarksForm::update_buttons() {
    int const row = single_selected_row();
    int const count = static_cast<int>(grid_.get_rows().size());
    up_.set_enabled(row >= 1);
    down_.set_enabled(row >= 0 && row < count - 1);
    delete_.set_enabled(!grid_.get_selected_rows().empty());
    edit_.set_enabled(row >= 0);
    go_.set_enabled(row >= 0);
}

void BookmarksForm::select_only(int row) {
    grid_.clear_selection();
    grid_.set_row_selected(row, true);
    grid_.repaint();
}

void BookmarksForm::move_selected(int by) {
    int const row = single_selected_row();
    int const other = row + by;
    if (row < 0 || other < 0 || other >= static_cast<int>(grid_.get_rows().size())) return;
    grid_.swap_rows(row, other);
    select_only(other);
}

void BookmarksForm::delete_selected() {
    auto const total = static_cast<std::int32_t>(reader_.get_size());
    std::set<int> const selected = grid_.get_selected_rows();
    if (selected.empty()) return;
    grid_.clear_selection();
    int removed = 0;
    for (int const chosen : selected) {
        int const index = chosen - removed;
        if (index < 0 || index >= static_cast<int>(grid_.get_rows().size())) continue;
        std::int32_t const position = grid_.row(index).position;
        grid_.remove_row(index);
        ++removed;
        // The range before the deleted one now reaches to the range after it.
        int before = -1;
        for (int i = 0; i < static_cast<int>(grid_.get_rows().size()); ++i) {
            std::int32_t const p = grid_.row(i).position;
            if (p < position && (before < 0 || p > grid_.row(before).position)) before = i;
        }
        if (before < 0) continue;
        RangeMark& mark = grid_.row(before);
        mark = RangeMark(mark.position, grid_.range_length(before, total), mark.name, mark.play, reader_);
    }
    grid_.repaint();
    update_buttons();
}

void BookmarksForm::on_click(skinner::Control* sender) {
    if (sender == &ok_) {
        close();
    } else if (sender == &up_) {
        move_selected(-1);
    } else if (sender == &down_) {
        move_selected(1);
    } else if (sender == &delete_) {
        delete_selected();
    } else if (sender == &edit_) {
        edit_selected();
    } else if (sender == &go_) {
        int const row = single_selected_row();
        if (row < 0) return;
        result_ = grid_.row(row).position;
        close();
    }
}

void BookmarksForm::on_item_click(skinner::Control* sender, skinner::Cell cell) {
    if (sender != &grid_ || cell.column != 0 || cell.row < 0 || cell.row >= static_cast<int>(grid_.get_rows().size())) {
        return;
    }
    grid_.row(cell.row).play = !grid_.row(cell.row).play;
    grid_.repaint();
}

void BookmarksForm::edit_selected() {
    int const row = single_selected_row();
    if (row < 0) return;
    skinner::ControlEdit& editor = grid_.get_editor();
    editor.set_text(grid_.row(row).name);
    editor.set_selection(0, static_cast<int>(editor.get_text().size()));
    grid_.start_inplace_edit(&editor, 1, row);
    editor.set_focus();
}

void BookmarksForm::on_inplace_edit_done(skinner::Control* grid, const skinner::EditRecord& record) {
    // A cancelled edit (Escape, or the form losing the screen) keeps the old name.
    if (grid != &grid_ || !record.accepted) return;
    if (record.row < 0 || record.row >= static_cast<int>(grid_.get_rows().size())) return;
    grid_.row(record.row).name = grid_.get_editor().get_text();
    grid_.repaint();
}

void BookmarksForm::on_selection_changed(skinner::Control* sender) {
    if (sender != &grid_) return;
    update_buttons();
    range_.repaint();
}

}  // namespace screens
