#include "tests/screens/dialog_fixture.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "platform/linux/user/screen_windows.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "skin/form_impl.h"
#include "tests/skin/form_actions.h"
#include "tests/support/expected_image.h"

namespace dialog_test {

const char16_t* const settings_skin_path = u"\\Program Files\\Sonbrix\\skins\\settings\\settings.skin";
const char16_t* const main_skin_path = u"\\Program Files\\Sonbrix\\skins\\Default\\Default.skin";

namespace {

constexpr UINT run_action = WM_USER + 100;
constexpr UINT_PTR check_timer = 1;

// The conditions waited for, checked on a timer so that the queue stays free for the forms'
// own timers.
std::vector<std::pair<std::function<bool()>, std::function<void()>>> waiting;

void check_waiting() {
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        if (!waiting[i].first()) continue;
        auto const action = std::move(waiting[i].second);
        waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(i));
        action();
        return;
    }
}

LRESULT action_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER && wparam == check_timer) {
        check_waiting();
        return 0;
    }
    if (message == run_action) {
        std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lparam));
        (*action)();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

DialogTest::DialogTest(const char* screen_size) : screen(screen_size, true) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = action_procedure;
    window_class.lpszClassName = u"DialogTestActions";
    RegisterClassW(&window_class);
    actions_ = CreateWindowExW(0, u"DialogTestActions", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

DialogTest::~DialogTest() {
    waiting.clear();
    DestroyWindow(actions_);
    UnregisterClassW(u"DialogTestActions", nullptr);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void DialogTest::SetUp() {
    ASSERT_TRUE(screen.connected());
    std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(), std::filesystem::copy_options::recursive);
    dialogs = load_skin(settings_skin_path);
}

std::unique_ptr<skinner::Properties> DialogTest::load_skin(const std::u16string& device_path) {
    int const width = GetSystemMetrics(SM_CXSCREEN);
    int const height = GetSystemMetrics(SM_CYSCREEN);
    auto properties = std::make_unique<skinner::Properties>(device_path, skinner::Size{width, height});
    EXPECT_TRUE(properties->is_loaded());
    EXPECT_TRUE(properties->set_language(u"\\Program Files\\Sonbrix\\English.lng"));
    return properties;
}

bool DialogTest::pump_until(const std::function<bool()>& done) {
    return form_test::pump_forms_until(done);
}

bool DialogTest::pump_until_in_front(HWND window, HWND focus) {
    return form_test::pump_forms_until_in_front(screen, window, focus);
}

void DialogTest::post_action(std::function<void()> action) {
    auto* const posted = new std::function<void()>(std::move(action));
    PostMessageW(actions_, run_action, 0, reinterpret_cast<LPARAM>(posted));
}

void DialogTest::when(std::function<bool()> condition, std::function<void()> action) {
    waiting.emplace_back(std::move(condition), std::move(action));
    SetTimer(actions_, check_timer, 5, nullptr);
}

void DialogTest::tap(skinner::Control& control) {
    skinner::Point const position = control.get_position();
    skinner::Size const size = control.get_rect_size();
    POINT point{position.x + size.width / 2, position.y + size.height / 2};
    ClientToScreen(control.get_form()->get_window(), &point);
    tap_at(point.x, point.y);
}

void DialogTest::tap_at(int x, int y) {
    platform::detail::sync_screen();
    EXPECT_TRUE(screen.control().tap(x, y));
}

bool DialogTest::settle() {
    auto const nothing_to_paint = [] {
        for (skinner::Form* form : skinner::Form::get_forms()) {
            RECT rect;
            if (GetUpdateRect(form->get_window(), &rect, FALSE)) return false;
        }
        return true;
    };
    // The end of a modal loop is left for that loop: it is put back and settling stops.
    auto const dispatch_all = [] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (skinner::dispatch_message(message)) continue;
            PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
            return false;
        }
        return true;
    };
    // The input the screen sends is handled here, so the screen is asked in short waits.
    for (int round = 0; round < 500; ++round) {
        if (!dispatch_all()) return true;
        if (nothing_to_paint() && platform::detail::sync_screen() && screen.control().wait_idle(20)) {
            if (!dispatch_all()) return true;
            if (nothing_to_paint()) return true;
        }
    }
    return false;
}

platform::screen::ScreenPicture DialogTest::painted() {
    EXPECT_TRUE(settle());
    return screen.screenshot();
}

void DialogTest::expect_looks_like(const std::string& name) {
    EXPECT_EQ(testing_support::compare_with_expected(painted(), SONBRIX_SCREENS_EXPECTED, name), "");
}

}  // namespace dialog_test
