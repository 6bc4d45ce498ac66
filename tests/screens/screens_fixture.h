// The screens on the headless device screen with the program's own skins and language file,
// as the build stages them, on a fresh device folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/application.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "tests/skin/form_actions.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace screens_test {

// "<program folder>\skins\settings\settings.skin" and "...\Default\Default.skin".
extern const char16_t* const settings_skin;
extern const char16_t* const main_skin;

class ScreensTest : public testing_support::DeviceTest {
protected:
    explicit ScreensTest(const char* screen_size = "240x320");
    ~ScreensTest() override;

    // The skin with the English language file, for the screen's size.
    std::unique_ptr<skinner::Properties> load_skin(const std::u16string& skin_path);
    // Dispatches this thread's messages as the forms' loop does until done() holds; false
    // after ten seconds (a guard, not a timing check).
    bool pump_until(const std::function<bool()>& done);
    // Runs the action from inside the next message loop of this thread.
    void post_action(std::function<void()> action);
    // Paints what is due and takes the screen.
    platform::screen::ScreenPicture painted();
    // Compares with tests/screens/expected/<name>.png.
    void expect_looks_like(const std::string& name);
    // Runs `act` on another thread, as a user at the screen, while this thread runs `serve`
    // (a modal form, or a pump); joins the user afterwards.
    void as_user(const std::function<void()>& act, const std::function<void()>& serve);
    // A stylus tap at screen coordinates, through the device's input (from the user thread).
    void tap(int x, int y);
    // Waits (from the user thread) until a window of this size is shown, the topmost first;
    // its rectangle, or an empty one after ten seconds.
    platform::screen::ScreenRect wait_for_window(int width, int height);

    void put(const std::string& path, const std::string& bytes = "data");
    bool has(const std::string& path) const;
    std::string content(const std::string& path) const;

    testing_support::TestScreen screen;
    os::Application application{nullptr, u"ScreensTest"};
    int width;
    int height;

private:
    form_test::ActionWindow actions_;
};

}  // namespace screens_test
