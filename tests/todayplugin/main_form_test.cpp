// The item's entry and form in this process, on a parent window that answers as the start
// screen does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/comm/sonbrix_status.h"
#include "platform/device.h"
#include "platform/today.h"
#include "skin/button_multistate.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/lcd.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "todayplugin/main_form.h"
#include "todayplugin/today_plugin.h"

namespace {

using todayplugin::MainForm;

LRESULT start_screen_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) return RGB(0x12, 0x34, 0x56);
    if (message == TODAYM_DRAWWATERMARK) return TRUE;
    return DefWindowProcW(window, message, wparam, lparam);
}

class ItemEntryTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        platform::host_path(u"\\");
        for (auto const& file : std::filesystem::directory_iterator(std::string(SONBRIX_DATA_STAGE) + "/Windows"))
            std::filesystem::copy_file(file.path(), device.host_path("Windows/" + file.path().filename().string()));
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = start_screen_procedure;
        window_class.lpszClassName = u"TestStartScreen";
        RegisterClassW(&window_class);
        parent = CreateWindowExW(0, u"TestStartScreen", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                                 nullptr);
        item.fEnabled = TRUE;
    }
    void TearDown() override {
        if (IsWindow(parent)) DestroyWindow(parent);
        todayplugin::detach_plugin();
        UnregisterClassW(u"TestStartScreen", nullptr);
    }

    static MainForm* form_of(HWND window) {
        for (skinner::Form* form : skinner::Form::get_forms()) {
            if (form->get_window() == window) return dynamic_cast<MainForm*>(form);
        }
        return nullptr;
    }
    static std::size_t form_count() { return skinner::Form::get_forms().size(); }

    testing_support::TestScreen screen;
    HWND parent = nullptr;
    TODAYLISTITEM item{};
};

TEST_F(ItemEntryTest, ADisabledItemGetsNoWindow) {
    item.fEnabled = FALSE;
    EXPECT_EQ(todayplugin::initialize_custom_item(&item, parent), nullptr);
    EXPECT_EQ(form_count(), 0u);
}

TEST_F(ItemEntryTest, TheFirstHeightQueryIsAnsweredWithTheFormsHeightTheLaterOnesLeaveItAlone) {
    HWND const window = todayplugin::initialize_custom_item(&item, parent);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 1);
    EXPECT_EQ(item.cyp, 52u);  // the skin's form height
    item.cyp = 7;
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 0);
    EXPECT_EQ(item.cyp, 7u);
}

TEST_F(ItemEntryTest, AFormIsDeletedAtTheNextEntryOnlyOnceItsWindowIsGone) {
    HWND const first = todayplugin::initialize_custom_item(&item, parent);
    HWND const second = todayplugin::initialize_custom_item(&item, parent);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(form_count(), 2u) << "a window still shown keeps its form";

    DestroyWindow(first);
    EXPECT_NE(form_of(first), nullptr) << "kept until the next entry";
    HWND const third = todayplugin::initialize_custom_item(&item, parent);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(form_of(first), nullptr);
    EXPECT_EQ(form_count(), 2u);

    DestroyWindow(second);
    DestroyWindow(third);
    todayplugin::detach_plugin();
    EXPECT_EQ(form_count(), 0u) << "the plug-in object takes the waiting forms with it";
}

// The status record as the form shows it.
class StatusShownTest : public ItemEntryTest {
protected:
    void SetUp() override {
        ItemEntryTest::SetUp();
        form = form_of(todayplugin::initialize_custom_item(&item, parent));
        ASSERT_NE(form, nullptr);
    }

    skinner::Control& control(const char16_t* name) { return *form->find_control(name); }
    std::uint32_t state_of(const char16_t* name) {
        return dynamic_cast<skinner::ControlButtonMultistate&>(control(name)).get_state();
    }
    std::u16string text_of(const char16_t* name) { return dynamic_cast<skinner::ControlFrame&>(control(name)).get_text(); }
    std::u16string time_shown() { return dynamic_cast<skinner::ControlLCD&>(control(u"frmElapsedTime")).get_text(); }

    MainForm* form = nullptr;
};

TEST_F(StatusShownTest, WithoutTheProgramPlayAndRecordStartIt) {
    EXPECT_EQ(text_of(u"frmFilename"), u"Tap icon to start Sonbrix");
    EXPECT_EQ(time_shown(), u"00:00");
    EXPECT_TRUE(control(u"btnPlay").is_enabled());
    EXPECT_TRUE(control(u"btnRec").is_enabled());
    EXPECT_FALSE(control(u"btnStop").is_enabled());
    EXPECT_FALSE(control(u"btnNext").is_enabled());
    EXPECT_FALSE(control(u"btnPrev").is_enabled());
}

TEST_F(StatusShownTest, EachStateEnablesItsButtonsAndSetsThePlayAndRecordLooks) {
    struct Case {
        std::int32_t state;
        bool play, record, stop, skip;
        std::uint32_t play_look, record_look;
    };
    Case const cases[] = {
        {1, true, true, false, false, 0, 0},   // idle
        {2, true, false, true, true, 1, 0},    // playing
        {3, false, true, true, false, 0, 1},   // recording
        {4, true, false, true, true, 0, 0},    // playing, paused
        {5, false, true, true, false, 0, 0},   // recording, paused
        {9, false, false, true, false, 0, 0},  // unknown
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.state);
        StatusData status{};
        status.state = c.state;
        form->show_status(status);
        EXPECT_EQ(control(u"btnPlay").is_enabled(), c.play);
        EXPECT_EQ(control(u"btnRec").is_enabled(), c.record);
        EXPECT_EQ(control(u"btnStop").is_enabled(), c.stop);
        EXPECT_EQ(control(u"btnNext").is_enabled(), c.skip);
        EXPECT_EQ(control(u"btnPrev").is_enabled(), c.skip);
        EXPECT_EQ(state_of(u"btnPlay"), c.play_look);
        EXPECT_EQ(state_of(u"btnRec"), c.record_look);
    }
}

TEST_F(StatusShownTest, TheFileAndTheElapsedTimeAreShown) {
    StatusData status{};
    status.state = 2;
    status.elapsed = 3725999;
    std::u16string const path = u"\\My Documents\\a.mp3";
    std::copy(path.begin(), path.end(), status.current_file);
    form->show_status(status);
    EXPECT_EQ(text_of(u"frmFilename"), path);
    EXPECT_EQ(time_shown(), u"01:02");

    status.current_file[0] = u'\0';
    status.elapsed = 59000;
    form->show_status(status);
    EXPECT_EQ(text_of(u"frmFilename"), u"Tap icon to activate Sonbrix");
    EXPECT_EQ(time_shown(), u"00:59");
}

}  // namespace
