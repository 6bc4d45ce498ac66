// The program Sonbrix run as a process on a test device that holds the staged skins, with
// the headless screen (and its shell) and the virtual sound device; the plug-in's senders
// of this process drive it over the command channel.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/comm/sonbrix_status.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace screens_test {

class ProgramTest : public testing_support::DeviceTest {
protected:
    ProgramTest();
    ~ProgramTest() override;

    // Starts the program with the command line (none when empty).
    std::unique_ptr<testing_support::ChildProcess> start(const std::string& command_line = {});
    // The program's main window on the screen.
    std::optional<platform::screen::ScreenWindow> main_window();
    // Waits until the main window is there, visible as asked (and in front when visible).
    bool wait_for_main_window(bool visible);
    // The program's status over the channel; nothing when it does not answer.
    std::optional<StatusData> status();
    bool wait_for_state(std::int32_t state);
    bool tap(int x, int y);
    // Waits until the program has drawn what the last input changed.
    bool wait_idle() { return screen_->wait_idle(); }
    platform::screen::ScreenPicture screenshot() { return screen_->screenshot(); }
    // Opens the menu bar's File menu and picks Exit.
    bool exit_by_menu();

    testing_support::ScopedEnvironment audio_{"SONBRIX_AUDIO", "virtual"};
    testing_support::ScopedEnvironment input_{"SONBRIX_AUDIO_INPUT", "tone:440"};
    std::unique_ptr<testing_support::TestScreen> screen_;
};

// Whether the pictures differ anywhere inside the rectangle by more than a rounding step
// (a see-through edge blended again over itself when a panel is shown again moves by one).
bool differ_within(const platform::screen::ScreenPicture& a, const platform::screen::ScreenPicture& b, int left,
                   int top, int right, int bottom);

}  // namespace screens_test
