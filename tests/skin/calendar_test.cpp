// The calendar control on the platform's native date controls: the three appearances and an
// unknown one, set/get round trips, Tab leaving the native control, a skin reload.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/common_controls.h"
#include "platform/windows.h"
#include "skin/control_calendar.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

using skinner::ControlCalendar;

constexpr int vk_tab = 0x09;

os::DateTime date_time(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return os::DateTime(time);
}

std::string text_of(const os::DateTime& time) {
    auto const& t = time.get_systemtime();
    return std::to_string(t.wYear) + "-" + std::to_string(t.wMonth) + "-" + std::to_string(t.wDay) + " " +
           std::to_string(t.wHour) + ":" + std::to_string(t.wMinute) + ":" + std::to_string(t.wSecond);
}

std::string appearance_record(const std::string& appearance) {
    return appearance.empty() ? "" : "<string name=\"Appearance\" value=\"" + appearance + "\"/>";
}

std::u16string class_of(HWND window) {
    char16_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT rect_in_form(HWND window, HWND form) {
    RECT child{}, parent{};
    GetWindowRect(window, &child);
    GetWindowRect(form, &parent);
    return {child.left - parent.left, child.top - parent.top, child.right - parent.left, child.bottom - parent.top};
}

class CalendarTest : public FormTest {
protected:
    // A form with the calendar "cal" between two focusable probes, "before" and "after".
    void make(const std::string& cal_records) {
        use_skin(form_xml("Dates", 240, 300,
                          control_xml("before", 0, 0, 20, 20, "<integer name=\"TabOrder\" value=\"0\"/>") +
                              control_xml("cal", 10, 30, 150, 24,
                                          cal_records + "<integer name=\"TabOrder\" value=\"1\"/>") +
                              control_xml("after", 200, 0, 20, 20, "<integer name=\"TabOrder\" value=\"2\"/>")));
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Dates", log);
        before = std::make_unique<ProbeControl>(form.get(), "before", log);
        cal = std::make_unique<ControlCalendar>(form.get(), u"cal");
        after = std::make_unique<ProbeControl>(form.get(), "after", log);
    }

    void TearDown() override {
        after.reset();
        cal.reset();
        before.reset();
        form.reset();
    }

    std::unique_ptr<TestForm> form;
    std::unique_ptr<ProbeControl> before;
    std::unique_ptr<ControlCalendar> cal;
    std::unique_ptr<ProbeControl> after;
};

TEST_F(CalendarTest, EachAppearanceHostsItsNativeControl) {
    struct Case {
        std::string appearance;
        std::u16string class_name;
        bool time_format;
    };
    std::vector<Case> const cases = {
        {"", u"SysMonthCal32", false},
        {"Calendar", u"SysMonthCal32", false},
        {"DatePicker", u"SysDateTimePick32", false},
        {"TimePicker", u"SysDateTimePick32", true},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.appearance);
        make(appearance_record(c.appearance) + "<color name=\"Text\" value=\"#102030\"/>"
                                               "<color name=\"TitleBackground\" value=\"#405060\"/>");
        HWND const native = cal->get_native_window();
        ASSERT_NE(native, nullptr);
        EXPECT_EQ(class_of(native), c.class_name);
        EXPECT_EQ(GetParent(native), form->get_window());
        auto const style = static_cast<DWORD>(GetWindowLongW(native, GWL_STYLE));
        EXPECT_EQ(style & DTS_TIMEFORMAT, c.time_format ? DTS_TIMEFORMAT : 0u);
        RECT const placed = rect_in_form(native, form->get_window());
        if (c.class_name == u"SysMonthCal32") {
            RECT minimum{};
            SendMessageW(native, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
            int const width = minimum.right - minimum.left, height = minimum.bottom - minimum.top;
            EXPECT_EQ(cal->get_rect_size(), (skinner::Size{width + 4, height + 4})) << "whatever the skin asked";
            EXPECT_EQ(placed.left, 12);
            EXPECT_EQ(placed.top, 32);
            EXPECT_EQ(placed.right - placed.left, width);
            EXPECT_EQ(SendMessageW(native, MCM_GETCOLOR, MCSC_TEXT, 0), 0x302010);
            EXPECT_EQ(SendMessageW(native, MCM_GETCOLOR, MCSC_TITLEBK, 0), 0x605040);
        } else {
            EXPECT_EQ(placed.left, 10);
            EXPECT_EQ(placed.top, 30);
            EXPECT_EQ(placed.right - placed.left, 150);
            EXPECT_EQ(placed.bottom - placed.top, 24);
        }
        cal->set_visible(false);
        EXPECT_FALSE(IsWindowVisible(native)) << "hiding the control hides its native window";
        TearDown();
    }
}

TEST_F(CalendarTest, TheTimeRoundTripsThroughEachNativeControl) {
    struct Case {
        std::string appearance;
        os::DateTime given;
        std::string read;
    };
    std::vector<Case> const cases = {
        {"Calendar", date_time(2026, 12, 11, 18, 3, 42), "2026-12-11 0:0:0"},
        {"Calendar", date_time(2028, 2, 29), "2028-2-29 0:0:0"},
        {"DatePicker", date_time(2026, 12, 11, 18, 3, 42), "2026-12-11 18:3:42"},
        {"TimePicker", date_time(2027, 1, 1, 23, 59, 59), "2027-1-1 23:59:59"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.appearance + " " + text_of(c.given));
        make(appearance_record(c.appearance));
        cal->set_time(c.given);
        EXPECT_EQ(text_of(cal->get_time()), c.read);
        TearDown();
    }
}

TEST_F(CalendarTest, ANonexistentDateKeepsTheNativeValue) {
    make(appearance_record("DatePicker"));
    cal->set_time(date_time(2026, 3, 5, 7, 8, 9));
    cal->set_time(date_time(2026, 2, 30));
    EXPECT_EQ(text_of(cal->get_time()), "2026-3-5 7:8:9");
}

TEST_F(CalendarTest, TabInTheNativeControlMovesTheSkinFocus) {
    make(appearance_record("DatePicker"));
    SetForegroundWindow(form->get_window());
    form->set_has_focus(true);
    auto& control = screen.control();
    struct Case {
        const char* name;
        std::function<bool()> keys;
        skinner::Control* focused;
    };
    std::vector<Case> const cases = {
        {"Tab", [&] { return control.press(vk_tab); }, after.get()},
        {"Shift+Tab",
         [&] { return control.key(VK_SHIFT, true) && control.press(vk_tab) && control.key(VK_SHIFT, false); },
         before.get()},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        cal->set_focus();
        ASSERT_TRUE(pump_until([&] { return GetFocus() == cal->get_native_window(); }));
        ASSERT_TRUE(pump_until_in_front(form->get_window(), cal->get_native_window()));
        ASSERT_TRUE(c.keys());
        EXPECT_TRUE(pump_until([&] { return form->get_focused() == c.focused; }));
        EXPECT_TRUE(pump_until([&] { return GetFocus() == form->get_window(); })) << "the native control let go";
    }
    // Ctrl+Tab stays with the native control.
    cal->set_focus();
    ASSERT_TRUE(pump_until([&] { return GetFocus() == cal->get_native_window(); }));
    ASSERT_TRUE(control.key(VK_CONTROL, true) && control.press(vk_tab) && control.key(VK_CONTROL, false));
    ASSERT_TRUE(control.press(vk_tab));
    EXPECT_TRUE(pump_until([&] { return form->get_focused() == after.get(); }))
        << "only the plain Tab after it left the native control";
}

TEST_F(CalendarTest, ATapOnTheNativeControlGivesItTheSkinFocus) {
    make(appearance_record("Calendar"));
    SetForegroundWindow(form->get_window());
    form->set_has_focus(true);
    before->set_focus();
    SetFocus(cal->get_native_window());
    EXPECT_EQ(form->get_focused(), cal.get());
}

TEST_F(CalendarTest, ASkinReloadKeepsTheDateShown) {
    for (std::string const appearance : {"Calendar", "DatePicker", "TimePicker"}) {
        SCOPED_TRACE(appearance);
        make(appearance_record(appearance));
        cal->set_time(date_time(2025, 6, 7, 8, 9, 10));
        // The user's choice, made in the native control, is what a reload keeps.
        SYSTEMTIME chosen = date_time(2026, 1, 31, 12, 30, 0).get_systemtime();
        SendMessageW(cal->get_native_window(), 0x1002, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
        std::string const shown = text_of(cal->get_time());
        form->refresh_skin();
        ASSERT_NE(cal->get_native_window(), nullptr);
        EXPECT_EQ(text_of(cal->get_time()), shown);
        TearDown();
    }
}

TEST_F(CalendarTest, AnUnknownAppearanceCreatesNothingAndKeepsTheTime) {
    make(appearance_record("Clock"));
    EXPECT_EQ(cal->get_native_window(), nullptr);
    HWND const form_window = form->get_window();
    EXPECT_EQ(GetWindow(form_window, GW_CHILD), nullptr) << "no native window at all";
    cal->set_time(date_time(2026, 12, 11, 18, 3, 42));
    EXPECT_EQ(text_of(cal->get_time()), "2026-12-11 18:3:42");
    // Layout, visibility, focus and a reload have no window to drive.
    cal->set_rect({5, 5}, {40, 40});
    cal->set_visible(false);
    cal->set_visible(true);
    SetForegroundWindow(form_window);
    form->set_has_focus(true);
    cal->set_focus();
    EXPECT_EQ(GetFocus(), form_window);
    form->refresh_skin();
    EXPECT_EQ(text_of(cal->get_time()), "2026-12-11 18:3:42");
}

}  // namespace
}  // namespace form_test
