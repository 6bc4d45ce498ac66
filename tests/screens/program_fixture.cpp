#include "tests/screens/program_fixture.h"

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "tests/screens/main_form_fixture.h"
#include "tests/support/eventually.h"
#include "todayplugin/command_senders.h"

namespace screens_test {

ProgramTest::ProgramTest() {
    put_staged_files(device);
    screen_ = std::make_unique<testing_support::TestScreen>("240x320", true);
    EXPECT_TRUE(setup_command_channel());
}

ProgramTest::~ProgramTest() {
    remove_comm_module(comm_identifiers::main_module_id);
    CCommClipboard::install(new CCommClipboard);
}

std::unique_ptr<testing_support::ChildProcess> ProgramTest::start(const std::string& command_line) {
    std::vector<std::string> arguments;
    if (!command_line.empty()) arguments.push_back(command_line);
    return std::make_unique<testing_support::ChildProcess>(SONBRIX_PROGRAM, arguments);
}

std::optional<platform::screen::ScreenWindow> ProgramTest::main_window() {
    for (auto const& window : screen_->windows()) {
        if (window.class_name == "SkinnerClass_Sonbrix") return window;
    }
    return std::nullopt;
}

bool ProgramTest::wait_for_main_window(bool visible) {
    return testing_support::eventually([&] {
        auto const window = main_window();
        return window && window->visible == visible && (!visible || window->foreground);
    }) && screen_->wait_idle();
}

std::optional<StatusData> ProgramTest::status() {
    StatusData data{};
    if (!request_status(&data, false)) return std::nullopt;
    return data;
}

bool ProgramTest::wait_for_state(std::int32_t state) {
    return testing_support::eventually([&] {
        auto const now = status();
        return now && now->state == state;
    });
}

bool ProgramTest::tap(int x, int y) { return screen_->control().tap(x, y) && screen_->wait_idle(); }

bool ProgramTest::exit_by_menu() {
    // "File" at the left of the menu bar; its last item is "Exit".
    return tap(16, 307) && tap(27, 282);
}

bool differ_within(const platform::screen::ScreenPicture& a, const platform::screen::ScreenPicture& b, int left,
                   int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            std::uint32_t const p = a.at(x, y);
            std::uint32_t const q = b.at(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                int const difference = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF);
                if (difference > 8 || difference < -8) return true;
            }
        }
    }
    return false;
}

}  // namespace screens_test
