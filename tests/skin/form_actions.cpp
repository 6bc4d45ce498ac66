#include "tests/skin/form_actions.h"

#include <cstdint>
#include <memory>
#include <thread>

#include "platform/messages.h"
#include "skin/form_impl.h"

namespace form_test {

namespace {

constexpr UINT run_action = WM_USER + 100;
constexpr char16_t class_name[] = u"FormTestActions";

LRESULT action_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == run_action) {
        std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lparam));
        (*action)();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

ActionWindow::ActionWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = action_procedure;
    window_class.lpszClassName = class_name;
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, class_name, u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

ActionWindow::~ActionWindow() {
    DestroyWindow(window_);
    UnregisterClassW(class_name, nullptr);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void ActionWindow::post(std::function<void()> action) {
    auto* const posted = new std::function<void()>(std::move(action));
    PostMessageW(window_, run_action, 0, reinterpret_cast<LPARAM>(posted));
}

bool pump_forms_until(const std::function<bool()>& done, std::chrono::seconds limit) {
    auto const end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            skinner::dispatch_message(message);
            if (done()) return true;
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool pump_forms_until_in_front(testing_support::TestScreen& screen, HWND window, HWND focus) {
    auto const as_id = [](HWND handle) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle)); };
    return pump_forms_until([&] {
        for (auto const& listed : screen.windows()) {
            if (listed.window == as_id(window) && listed.foreground) return !focus || listed.focus == as_id(focus);
        }
        return false;
    });
}

}  // namespace form_test
