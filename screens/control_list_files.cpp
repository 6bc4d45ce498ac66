#include "screens/control_list_files.h"

#include <algorithm>

#include "app/text_utils.h"
#include "foundation/file_info.h"
#include "foundation/finder.h"
#include "foundation/paths.h"
#include "skin/canvas.h"

namespace screens {
namespace {

// Fills the list from a folder walk; never stops it.
class FilesFinder : public os::Finder {
public:
    explicit FilesFinder(ControlListFiles& list) : list_(list) {}
    bool on_file(const std::u16string& path) override {
        list_.add_file(path);
        return true;
    }
    bool on_folder(const std::u16string& path) override {
        list_.add_folder(path);
        return true;
    }

private:
    ControlListFiles& list_;
};

std::u16string date_text(const os::DateTime& time) {
    if (time.get_year() == 0) return {};
    return two_digit_text(time.get_day()) + u"." + two_digit_text(time.get_month()) + u"." +
           two_digit_text(time.get_year());
}

// -1: a first, 1: b first, 0: alike. Folders first, then playlists, in every order.
int kind_order(const ControlListFiles::Row& a, const ControlListFiles::Row& b) {
    if (a.is_folder != b.is_folder) return a.is_folder ? -1 : 1;
    if (a.is_playlist != b.is_playlist) return a.is_playlist ? -1 : 1;
    return 0;
}

bool name_before(const ControlListFiles::Row& a, const ControlListFiles::Row& b) {
    return os::to_lower(a.file_name) < os::to_lower(b.file_name);
}

bool before(int order, const ControlListFiles::Row& a, const ControlListFiles::Row& b) {
    if (int const kind = kind_order(a, b)) return kind < 0;
    switch (order) {
    case SORT_NAME: return name_before(a, b);
    case SORT_NAME_DESCENDING: return name_before(b, a);
    case SORT_DATE:
    case SORT_DATE_DESCENDING: {
        if (a.creation_time == b.creation_time) return name_before(a, b);
        return order == SORT_DATE ? a.creation_time < b.creation_time : b.creation_time < a.creation_time;
    }
    case SORT_SIZE:
    case SORT_SIZE_DESCENDING:
        if (a.size == b.size) return name_before(a, b);
        return order == SORT_SIZE ? a.size < b.size : b.size < a.size;
    default: return false;
    }
}

}  // namespace

ControlListFiles::ControlListFiles(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : ControlGrid(container, name, lookup_mode),
      editor_(skinner::create_edit_of_kind(*this, get_panel_container(), u"EditInListKind")) {
    editor_->set_visible(false);
    load_skin_properties();
    update_rect();
}

ControlListFiles::~ControlListFiles() { end_inplace_edit(false); }

void ControlListFiles::append_new_row(const std::u16string& type) {
    Row row;
    row.type = type;
    row.is_folder = type == folder_type;
    row.is_playlist = type == u"m3u";
    rows_.push_back(std::move(row));
}

void ControlListFiles::load_properties() {
    ControlGrid::load_properties();
    load_skin_properties();
}

void ControlListFiles::load_skin_properties() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    current_font_ = get_font_property(u"ItemCurrent", current_font_);
    icon_width_ = get_scaled_integer_property(u"IconWidth", icon_width_);
    date_width_ = get_scaled_integer_property(u"DateWidth", date_width_);
    name_width_ = get_scaled_integer_property(u"NameWidth", name_width_);
    size_width_ = get_scaled_integer_property(u"SizeWidth", date_width_);
    indent_width_ = get_scaled_integer_property(u"IndentWidth", indent_width_);
    std::vector<std::u16string> names;
    for (const auto& [type, picture] : types_) names.push_back(type);
    types_.clear();
    for (const std::u16string& type : names) add_type_icon(type);
}

int ControlListFiles::get_column_width(int column) {
    switch (column) {
    case COLUMN_ICON: return icon_width_;
    case COLUMN_NAME: return name_width_;
    case COLUMN_DATE: return date_width_;
    case COLUMN_SIZE: return size_width_;
    default: return indent_width_;
    }
}

void ControlListFiles::add_type_icon(const std::u16string& type) {
    if (types_.count(type)) return;
    types_.emplace(type, get_picture_property(u"Icon" + type, skinner::PictureRef()));
}

int ControlListFiles::remove_type_icon(const std::u16string& type) { return static_cast<int>(types_.erase(type)); }

void ControlListFiles::clear_type_icons() { types_.clear(); }

void ControlListFiles::clear_rows() {
    clear_selection();
    int const count = get_row_count();
    rows_.clear();
    rows_removed_at(0, count);
}

void ControlListFiles::set_folder(const std::u16string& path) {
    clear_rows();
    current_row_ = -1;
    folder_ = path;
    FilesFinder finder(*this);
    os::find_files(finder, path, u"*", u"*", false);
    clear_selection();
    refresh();
    sort_rows();
}

ControlListFiles::Row ControlListFiles::make_row(const std::u16string& path, const std::u16string& type,
                                                 const playlist::Entry& entry) {
    Row row;
    row.type = type;
    row.file_name = os::get_file_name(path);
    row.entry = entry;
    os::FileInfo const info(path);
    row.is_folder = info.is_directory();
    row.is_playlist = !row.is_folder && os::to_lower(os::get_extension(path)) == u"m3u";
    row.size = static_cast<std::int64_t>(info.get_full_size());
    row.size_text = format_file_size(row.size);
    row.creation_time = info.get_creation_time();
    row.date_text = date_text(row.creation_time);
    return row;
}

void ControlListFiles::append_row(Row row) {
    rows_.push_back(std::move(row));
    rows_inserted_at(get_row_count() - 1, 1);
}

void ControlListFiles::add_file(const std::u16string& path) {
    auto const found = types_.find(os::to_lower(os::get_extension(path)));
    if (found == types_.end()) return;
    playlist::Entry entry;
    entry.path = path;
    append_row(make_row(path, found->first, entry));
}

void ControlListFiles::add_folder(const std::u16string& path) {
    if (!is_type_registered(folder_type)) return;
    playlist::Entry entry;
    entry.path = path;
    append_row(make_row(path, folder_type, entry));
}

void ControlListFiles::set_sort(int order) {
    sort_ = order;
    sort_rows();
}

void ControlListFiles::sort_rows() {
    if (sort_ < SORT_FOLDERS_FIRST || sort_ > SORT_SIZE_DESCENDING) return;
    for (int index = 0; index < get_row_count(); ++index)
        rows_[static_cast<std::size_t>(index)].saved_selection = is_row_selected(index);
    int const order = sort_;
    std::stable_sort(rows_.begin(), rows_.end(), [order](const Row& a, const Row& b) { return before(order, a, b); });
    for (int index = 0; index < get_row_count(); ++index)
        set_row_selected(index, rows_[static_cast<std::size_t>(index)].saved_selection);
    repaint();
}

void ControlListFiles::find_current_row(const std::u16string& path) {
    current_row_ = -1;
    for (int index = 0; index < get_row_count(); ++index) {
        if (os::paths_equal(rows_[static_cast<std::size_t>(index)].entry.path, path)) {
            current_row_ = index;
            return;
        }
    }
}

void ControlListFiles::show_row_and_next(int row) {
    if (row + 1 < get_row_count()) ensure_row_visible(row + 1);
    ensure_row_visible(row);
}

void ControlListFiles::set_current_path(const std::u16string& path) {
    find_current_row(path);
    if (current_row_ >= 0) show_row_and_next(current_row_);
    repaint();
}

std::u16string ControlListFiles::get_current_path() const {
    if (current_row_ < 0 || current_row_ >= static_cast<int>(rows_.size())) return {};
    return rows_[static_cast<std::size_t>(current_row_)].entry.path;
}

void ControlListFiles::select_path(const std::u16string& path) {
    clear_selection();
    if (!path.empty()) {
        for (int index = 0; index < get_row_count(); ++index) {
            if (!os::paths_equal(rows_[static_cast<std::size_t>(index)].entry.path, path)) continue;
            set_row_selected(index, true);
            show_row_and_next(index);
            break;
        }
    }
    repaint();
}

int ControlListFiles::get_first_selected_index() const {
    const auto& selected = get_selected_rows();
    return selected.empty() ? -1 : *selected.begin();
}

const ControlListFiles::Row* ControlListFiles::get_first_selected_row() const {
    int const index = get_first_selected_index();
    return index < 0 || index >= static_cast<int>(rows_.size()) ? nullptr : &rows_[static_cast<std::size_t>(index)];
}

std::u16string ControlListFiles::get_single_selected_path() const {
    if (get_selected_rows().size() != 1) return {};
    const Row* row = get_first_selected_row();
    return row ? row->entry.path : std::u16string();
}

std::vector<std::u16string> ControlListFiles::get_selected_paths() const {
    std::vector<std::u16string> paths;
    for (int index : get_selected_rows()) {
        if (index < static_cast<int>(rows_.size()))
            paths.push_back(os::join_path(folder_, rows_[static_cast<std::size_t>(index)].file_name));
    }
    return paths;
}

// Each cell shows its part of one picture laid over the whole row, so that a row's look
// (its selection mark, its rounded ends) is drawn once across the columns.
void ControlListFiles::paint_row_look(const skinner::StateLook& look, int column, skinner::Canvas& canvas,
                                      skinner::Point position, skinner::Size size) {
    const std::vector<int>& positions = get_column_positions();
    if (positions.size() != static_cast<std::size_t>(COLUMN_COUNT) + 1) {
        look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
        return;
    }
    int const row_left = position.x - (positions[static_cast<std::size_t>(column)] - positions.front());
    canvas.push_clip(POINT{position.x, position.y}, POINT{size.width, size.height});
    look.picture.draw(canvas, POINT{row_left, position.y}, POINT{positions.back() - positions.front(), size.height});
    canvas.pop_clip();
}

void ControlListFiles::paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position,
                                  skinner::Size size, bool selected, bool highlighted) {
    if (row < 0 || row >= get_row_count()) return;
    const Row& shown = rows_[static_cast<std::size_t>(row)];
    const skinner::StateLook& look = get_item_look(selected, highlighted);
    paint_row_look(look, column, canvas, position, size);
    const skinner::FontRef& font = row == current_row_ && !current_font_.is_empty() ? current_font_ : look.font;
    POINT const at{position.x, position.y};
    POINT const extent{size.width, size.height};
    switch (column) {
    case COLUMN_ICON: {
        auto const icon = types_.find(shown.type);
        if (icon == types_.end()) return;
        POINT const icon_size = icon->second.get_size();
        icon->second.draw(canvas, POINT{position.x + (size.width - icon_size.x) / 2, position.y + (size.height - icon_size.y) / 2},
                          icon_size);
        break;
    }
    case COLUMN_NAME:
        // The edit field lies over the name being typed.
        if (get_inplace_edit() != nullptr && get_inplace_cell() == skinner::Cell{column, row}) return;
        font.draw_text_ellipsis(canvas, look.colour, shown.file_name, at, extent, 0, 1); break;
    case COLUMN_DATE: font.draw_text(canvas, look.colour, shown.date_text, at, extent, 0, 1); break;
    case COLUMN_SIZE: font.draw_text(canvas, look.colour, shown.size_text, at, extent, 0, 1); break;
    default: break;
    }
}

}  // namespace screens
