// The settings page of the recording schedule: the planned recordings in a list, and a date
// and a time for their begin and end to add a task, change the selected one or delete.
#pragma once

#include <memory>
#include <string>

#include "app/schedule.h"
#include "skin/grid.h"
#include "skin/grid_selection.h"
#include "skin/tab.h"

class Settings;
namespace skinner {
class ControlButton;
class ControlCalendar;
}  // namespace skinner

class SettingsSchedule : public skinner::ControlTabElement {
public:
    // The tasks (a copy of the settings' schedule), one row each: begin, then end.
    class ControlGridSchedule : public skinner::ControlGrid, public skinner::GridSelectionStrategyMultiRowCE {
    public:
        ControlGridSchedule(skinner::Container* container, const std::u16string& name, const Schedule& schedule);

        int get_row_count() override { return static_cast<int>(schedule_.size()); }
        int get_column_count() override { return 2; }
        int get_column_width(int column) override;
        void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                        bool selected, bool highlighted) override;
        void load_properties() override;

        Schedule& get_schedule() { return schedule_; }

    private:
        Schedule schedule_;
        int begin_width_ = 0;
    };

    SettingsSchedule(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings);
    ~SettingsSchedule() override;

    void on_selection_changed(skinner::Control* sender) override;
    void on_click(skinner::Control* sender) override;
    void apply(Settings& settings);

    // The task the four calendars give, inserted in its place and made the only selected
    // row; a task that does not end after it begins, or that overlaps another, is refused
    // with a message and the list stays as it was.
    bool add_task_from_calendars();

    ControlGridSchedule& get_grid() { return *grid_; }
    skinner::ControlButton& get_add() { return *add_; }
    skinner::ControlButton& get_delete() { return *delete_; }
    skinner::ControlButton& get_change() { return *change_; }
    skinner::ControlButton& get_delete_all() { return *delete_all_; }
    skinner::ControlCalendar& get_date_begin() { return *date_begin_; }
    skinner::ControlCalendar& get_date_end() { return *date_end_; }
    skinner::ControlCalendar& get_time_begin() { return *time_begin_; }
    skinner::ControlCalendar& get_time_end() { return *time_end_; }

private:
    void delete_selected();
    void delete_all();
    void change_selected();
    void update_buttons();
    void show_error(const std::u16string& message_key);

    std::unique_ptr<skinner::ControlButton> add_;
    std::unique_ptr<skinner::ControlButton> delete_;
    std::unique_ptr<skinner::ControlButton> change_;
    std::unique_ptr<skinner::ControlButton> delete_all_;
    std::unique_ptr<ControlGridSchedule> grid_;
    std::unique_ptr<skinner::ControlCalendar> date_begin_;
    std::unique_ptr<skinner::ControlCalendar> date_end_;
    std::unique_ptr<skinner::ControlCalendar> time_begin_;
    std::unique_ptr<skinner::ControlCalendar> time_end_;
};
