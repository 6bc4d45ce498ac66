// The dialog forms on the headless device screen: the program's staged skins and English
// texts on a test device, a pump that dispatches as the forms' loop does, actions run from
// inside a modal loop, taps and keys as the device's user gives them, and screenshots.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/linux/screen/screen_control.h"
#include "skin/control.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace dialog_test {

class DialogTest : public testing_support::DeviceTest {
protected:
    explicit DialogTest(const char* screen_size = "240x320");
    ~DialogTest() override;
    void SetUp() override;

    // The dialog skin (settings.skin) or the main skin (Default.skin) with English texts.
    std::unique_ptr<skinner::Properties> load_skin(const std::u16string& device_path);

    // Dispatches this thread's messages until done() holds; false after thirty seconds (a
    // guard against a hang, not a timing check).
    bool pump_until(const std::function<bool()>& done);
    // Pumps until the screen has the window in front with `focus` as its focus window (0: any),
    // so that keys the test gives the screen go to it; false after the pump's guard.
    bool pump_until_in_front(HWND window, HWND focus = nullptr);
    // Runs the action from inside the message loop of this thread.
    void post_action(std::function<void()> action);
    // Runs the action once the condition holds, checked from inside the loop.
    void when(std::function<bool()> condition, std::function<void()> action);
    // A stylus tap at the centre of the control, through the device screen.
    void tap(skinner::Control& control);
    void tap_at(int x, int y);
    // Handles the input given and paints what is due, until the screen is idle; false when
    // that does not come.
    bool settle();
    // Paints what is due and takes the screen.
    platform::screen::ScreenPicture painted();
    // Compares with tests/screens/expected/<name>.png (SONBRIX_UPDATE_EXPECTED_IMAGES=1
    // writes it).
    void expect_looks_like(const std::string& name);

    std::unique_ptr<skinner::Properties> dialogs;
    testing_support::TestScreen screen;

private:
    HWND actions_ = nullptr;
};

// The device path of the staged dialog skin and of the main skin.
extern const char16_t* const settings_skin_path;
extern const char16_t* const main_skin_path;

}  // namespace dialog_test
