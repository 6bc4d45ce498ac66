// The item's form in this process, on a parent window that answers as the start screen does.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
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

constexpr COLORREF start_screen_text = RGB(0x12, 0x34, 0x56);

LRESULT start_screen_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) return wparam == TODAYCOLOR_TEXT ? start_screen_text : 0;
    if (message == TODAYM_DRAWWATERMARK) return TRUE;
    return DefWindowProcW(window, message, wparam, lparam);
}

class MainFormTest : public testing_support::DeviceTest {
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

    todayplugin::MainForm* form_of(HWND window) {
        for (skinner::Form* form : skinner::Form::get_forms()) {
            if (form->get_window() == window) return dynamic_cast<todayplugin::MainForm*>(form);
        }
        return nullptr;
    }

    testing_support::TestScreen screen;
    HWND parent = nullptr;
    TODAYLISTITEM item{};
};

TEST_F(MainFormTest, Debug) {
    HWND const window = todayplugin::initialize_custom_item(&item, parent);
    ASSERT_NE(window, nullptr);
    auto* const form = form_of(window);
    ASSERT_NE(form, nullptr);
    std::cerr << "form " << form->get_size().width << "x" << form->get_size().height << "\n";
    for (auto* control : form->get_controls()) {
        std::cerr << std::string(control->get_name().begin(), control->get_name().end()) << " " << control->get_position().x
                  << "," << control->get_position().y << " " << control->get_rect_size().width << "x"
                  << control->get_rect_size().height << " visible " << control->is_visible() << "\n";
    }
}

}  // namespace
