// The schedule page: adding, changing and deleting tasks with the calendars and the
// buttons, the refusals with their messages, and what the page writes back.
#include <gtest/gtest.h>

#include "screens/settings_schedule.h"
#include "skin/button.h"
#include "skin/control_calendar.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

ScheduleTask task(int day, int begin_hour, int end_hour) {
    return ScheduleTask(at(day, begin_hour, 0), at(day, end_hour, 0));
}

class SettingsScheduleTest : public SettingsFormTest {
protected:
    SettingsSchedule& open_page() {
        SettingsSchedule& page = open().get_schedule();
        show_page(page);
        return page;
    }

    // The dates and times go into the calendars as a user picks them: the date from one,
    // the time of day from the other.
    void pick(SettingsSchedule& page, const ScheduleTask& task) {
        os::DateTime const noon_elsewhere(at(1, 12, 0));
        SYSTEMTIME begin_date = task.Begin.get_systemtime();
        begin_date.wHour = 23;  // the date's own time of day must not count
        page.get_date_begin().set_time(os::DateTime(begin_date));
        SYSTEMTIME begin_time = noon_elsewhere.get_systemtime();
        begin_time.wHour = static_cast<WORD>(task.Begin.get_hour());
        begin_time.wMinute = static_cast<WORD>(task.Begin.get_minute());
        page.get_time_begin().set_time(os::DateTime(begin_time));
        page.get_date_end().set_time(task.End);
        SYSTEMTIME end_time = noon_elsewhere.get_systemtime();
        end_time.wHour = static_cast<WORD>(task.End.get_hour());
        end_time.wMinute = static_cast<WORD>(task.End.get_minute());
        page.get_time_end().set_time(os::DateTime(end_time));
    }

    // Taps the button and handles what it brings up.
    void press(skinner::ControlButton& button) {
        tap(button);
        settle();
    }

    // Taps the button and answers the error box it brings up; its message.
    std::u16string press_refused(skinner::ControlButton& button) {
        std::u16string message;
        answer_error_box(message);
        tap(button);
        EXPECT_TRUE(pump_until([&] { return !message.empty(); }));
        return message;
    }

    static std::vector<int> begin_hours(SettingsSchedule& page) {
        std::vector<int> hours;
        for (ScheduleTask const& each : page.get_grid().get_schedule()) hours.push_back(each.Begin.get_hour());
        return hours;
    }
};

TEST_F(SettingsScheduleTest, AddedTasksTakeTheirSortedPlaceAndBecomeTheSelection) {
    settings.schedule.insert(task(12, 8, 9));
    SettingsSchedule& page = open_page();
    // Until the selection first changes, the buttons stay off even with tasks listed.
    EXPECT_FALSE(page.get_delete().is_enabled());
    EXPECT_FALSE(page.get_change().is_enabled());
    EXPECT_FALSE(page.get_delete_all().is_enabled());

    pick(page, task(12, 6, 7));
    press(page.get_add());
    EXPECT_EQ(begin_hours(page), (std::vector<int>{6, 8}));
    EXPECT_EQ(page.get_grid().get_selected_rows(), (std::set<int>{0}));
    EXPECT_TRUE(page.get_change().is_enabled());
    EXPECT_TRUE(page.get_delete().is_enabled());
    EXPECT_TRUE(page.get_delete_all().is_enabled());

    close();
    ASSERT_EQ(settings.schedule.size(), 2u);
    EXPECT_EQ(settings.schedule[0].Begin.get_hour(), 6);
    EXPECT_EQ(settings.schedule[0].Begin.get_day(), 12);
    EXPECT_EQ(settings.schedule[0].End.get_hour(), 7);
}

TEST_F(SettingsScheduleTest, ABadStopStartOrAnOverlapIsRefusedWithItsMessage) {
    struct Case {
        ScheduleTask task;
        const char16_t* message_key;
    };
    settings.schedule.insert(task(12, 8, 10));
    Case const cases[] = {
        {task(12, 14, 14), u"SettingsScheduleBadStopStart"},  // no length
        {task(12, 15, 14), u"SettingsScheduleBadStopStart"},
        {task(12, 9, 11), u"SettingsScheduleOverlaped"},
        {task(12, 7, 9), u"SettingsScheduleOverlaped"},
    };
    SettingsSchedule& page = open_page();
    for (Case const& refused : cases) {
        pick(page, refused.task);
        EXPECT_EQ(press_refused(page.get_add()), dialogs->translate(refused.message_key));
        EXPECT_EQ(begin_hours(page), (std::vector<int>{8}));
    }
    close();
    EXPECT_EQ(settings.schedule.size(), 1u);
}

TEST_F(SettingsScheduleTest, ChangeMovesAValidTaskAndKeepsTheOldOneOtherwise) {
    for (int hour : {2, 6, 10}) settings.schedule.insert(task(12, hour, hour + 1));
    SettingsSchedule& page = open_page();
    page.get_grid().select_only_row(0);
    ASSERT_TRUE(page.get_change().is_enabled());
    // The selected task is shown in the calendars.
    EXPECT_EQ(page.get_time_begin().get_time().get_hour(), 2);
    EXPECT_EQ(page.get_time_end().get_time().get_hour(), 3);

    pick(page, task(12, 5, 7));  // overlaps 6-7
    EXPECT_EQ(press_refused(page.get_change()), dialogs->translate(u"SettingsScheduleOverlaped"));
    EXPECT_EQ(begin_hours(page), (std::vector<int>{2, 6, 10}));

    page.get_grid().select_only_row(0);
    pick(page, task(12, 8, 9));
    press(page.get_change());
    EXPECT_EQ(begin_hours(page), (std::vector<int>{6, 8, 10}));
    EXPECT_EQ(page.get_grid().get_selected_rows(), (std::set<int>{1}));
    close();
}

TEST_F(SettingsScheduleTest, DeleteRemovesExactlyTheSelectedTasksAndClearRemovesAll) {
    for (int hour : {1, 3, 5, 7, 9}) settings.schedule.insert(task(13, hour, hour + 1));
    SettingsSchedule& page = open_page();
    page.get_grid().set_row_selected(1, true);
    page.get_grid().set_row_selected(3, true);
    EXPECT_FALSE(page.get_change().is_enabled());  // two rows
    press(page.get_delete());
    EXPECT_EQ(begin_hours(page), (std::vector<int>{1, 5, 9}));
    EXPECT_TRUE(page.get_grid().get_selected_rows().empty());
    EXPECT_FALSE(page.get_delete().is_enabled());
    EXPECT_TRUE(page.get_delete_all().is_enabled());

    press(page.get_delete_all());
    EXPECT_TRUE(page.get_grid().get_schedule().empty());
    EXPECT_FALSE(page.get_delete_all().is_enabled());
    close();
    EXPECT_TRUE(settings.schedule.empty());
}

}  // namespace
}  // namespace settings_test
