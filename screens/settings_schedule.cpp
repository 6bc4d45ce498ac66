#include "screens/settings_schedule.h"

#include <cstdint>
#include <vector>

#include "app/settings.h"
#include "app/text_utils.h"
#include "screens/message_forms.h"
#include "skin/button.h"
#include "skin/control_calendar.h"
#include "skin/form.h"

namespace {

// The date of the one, the time of day of the other.
os::DateTime date_with_time(const os::DateTime& date, const os::DateTime& time) {
    SYSTEMTIME combined = date.get_systemtime();
    combined.wHour = static_cast<WORD>(time.get_hour());
    combined.wMinute = static_cast<WORD>(time.get_minute());
    combined.wSecond = static_cast<WORD>(time.get_second());
    combined.wMilliseconds = 0;
    return os::DateTime(combined);
}

// Now to the minute, and an hour later: a task the user only has to move.
void suggest_task(os::DateTime& begin, os::DateTime& end) {
    constexpr std::uint64_t hour = 36000000000ULL;  // in file-time units of 100 ns
    begin = os::DateTime::now();
    begin.set_time(begin.get_hour(), begin.get_minute(), 0);
    FILETIME const start = begin.get_filetime();
    std::uint64_t const later =
        ((static_cast<std::uint64_t>(start.dwHighDateTime) << 32) | start.dwLowDateTime) + hour;
    end.set_filetime(FILETIME{static_cast<DWORD>(later & 0xFFFFFFFFu), static_cast<DWORD>(later >> 32)});
}

}  // namespace

SettingsSchedule::ControlGridSchedule::ControlGridSchedule(skinner::Container* container, const std::u16string& name,
                                                           const Schedule& schedule)
    : ControlGrid(container, name), schedule_(schedule) {
    begin_width_ = get_scaled_integer_property(u"BeginWidth", begin_width_);
    refresh();
}

void SettingsSchedule::ControlGridSchedule::load_properties() {
    ControlGrid::load_properties();
    begin_width_ = get_scaled_integer_property(u"BeginWidth", begin_width_);
}

int SettingsSchedule::ControlGridSchedule::get_column_width(int column) {
    return column == 0 ? begin_width_ : -1;
}

void SettingsSchedule::ControlGridSchedule::paint_item(int column, int row, skinner::Canvas& canvas,
                                                       skinner::Point position, skinner::Size size, bool selected,
                                                       bool highlighted) {
    if (row < 0 || row >= get_row_count()) return;
    const skinner::StateLook& look = get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    ScheduleTask const& task = schedule_[static_cast<std::size_t>(row)];
    skinner::Point const low = get_item_border_min();
    skinner::Point const high = get_item_border_max();
    look.font.draw_text(canvas, look.colour, format_short_date_time(column == 0 ? task.Begin : task.End),
                        POINT{position.x + low.x, position.y + low.y},
                        POINT{size.width - low.x - high.x, size.height - low.y - high.y}, 0, 1);
}

SettingsSchedule::SettingsSchedule(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    skinner::Container* const inner = get_panel_container();
    add_ = std::make_unique<skinner::ControlButton>(inner, u"btnAdd");
    delete_ = std::make_unique<skinner::ControlButton>(inner, u"btnDelete");
    change_ = std::make_unique<skinner::ControlButton>(inner, u"btnChange");
    delete_all_ = std::make_unique<skinner::ControlButton>(inner, u"btnDeleteAll");
    grid_ = std::make_unique<ControlGridSchedule>(inner, u"grdSchedule", settings.schedule);
    date_begin_ = std::make_unique<skinner::ControlCalendar>(inner, u"calDateBegin");
    date_end_ = std::make_unique<skinner::ControlCalendar>(inner, u"calDateEnd");
    time_begin_ = std::make_unique<skinner::ControlCalendar>(inner, u"calTimeBegin");
    time_end_ = std::make_unique<skinner::ControlCalendar>(inner, u"calTimeEnd");
    os::DateTime begin;
    os::DateTime end;
    suggest_task(begin, end);
    date_begin_->set_time(begin);
    time_begin_->set_time(begin);
    date_end_->set_time(end);
    time_end_->set_time(end);
    delete_->set_enabled(false);
    change_->set_enabled(false);
    delete_all_->set_enabled(false);
}

SettingsSchedule::~SettingsSchedule() = default;

void SettingsSchedule::on_selection_changed(skinner::Control* sender) {
    if (!grid_ || sender != grid_.get()) return;
    auto const& rows = grid_->get_selected_rows();
    if (rows.size() == 1) {
        ScheduleTask const& task = grid_->get_schedule()[static_cast<std::size_t>(*rows.begin())];
        date_begin_->set_time(task.Begin);
        time_begin_->set_time(task.Begin);
        date_end_->set_time(task.End);
        time_end_->set_time(task.End);
    }
    update_buttons();
}

void SettingsSchedule::update_buttons() {
    std::size_t const selected = grid_->get_selected_rows().size();
    delete_->set_enabled(selected >= 1);
    change_->set_enabled(selected == 1);
    delete_all_->set_enabled(!grid_->get_schedule().empty());
}

void SettingsSchedule::on_click(skinner::Control* sender) {
    if (sender == add_.get()) add_task_from_calendars();
    else if (sender == delete_.get()) delete_selected();
    else if (sender == delete_all_.get()) delete_all();
    else if (sender == change_.get()) change_selected();
}

void SettingsSchedule::delete_selected() {
    std::vector<int> const rows(grid_->get_selected_rows().rbegin(), grid_->get_selected_rows().rend());
    for (int row : rows) grid_->get_schedule().remove(row);
    grid_->clear_selection();
    grid_->refresh();
    update_buttons();
}

void SettingsSchedule::delete_all() {
    grid_->get_schedule().clear();
    grid_->clear_selection();
    grid_->refresh();
    update_buttons();
}

void SettingsSchedule::change_selected() {
    auto const& rows = grid_->get_selected_rows();
    if (rows.size() != 1) return;
    int const row = *rows.begin();
    ScheduleTask const kept = grid_->get_schedule()[static_cast<std::size_t>(row)];
    grid_->get_schedule().remove(row);
    if (!add_task_from_calendars()) grid_->get_schedule().insert(kept);
    grid_->refresh();
    update_buttons();
}

bool SettingsSchedule::add_task_from_calendars() {
    ScheduleTask task;
    task.Begin = date_with_time(date_begin_->get_time(), time_begin_->get_time());
    task.End = date_with_time(date_end_->get_time(), time_end_->get_time());
    if (!(task.Begin < task.End)) {
        show_error(u"SettingsScheduleBadStopStart");
        return false;
    }
    int const row = grid_->get_schedule().insert(task);
    if (row < 0) {
        show_error(u"SettingsScheduleOverlaped");
        return false;
    }
    grid_->clear_selection();
    grid_->set_row_selected(row, true);
    grid_->refresh();
    update_buttons();
    return true;
}

void SettingsSchedule::show_error(const std::u16string& message_key) {
    screens::show_error(get_form(), &get_properties(), u"form.Main.Caption.Text", message_key);
}

void SettingsSchedule::apply(Settings& settings) { settings.schedule = grid_->get_schedule(); }
