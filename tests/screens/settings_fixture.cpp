#include "tests/screens/settings_fixture.h"

#include <functional>

#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "screens/message_forms.h"
#include "skin/frame.h"
#include "skin/tab.h"

namespace settings_test {

SettingsForm& SettingsFormTest::open(skinner::Form* owner) {
    form = std::make_unique<SettingsForm>(owner, dialogs.get(), &settings);
    return *form;
}

void SettingsFormTest::close() {
    if (!form) return;
    form->can_close();
    form.reset();
}

void SettingsFormTest::show_page(skinner::ControlTabElement& page) {
    page.set_visible(true);
    settle();
}

namespace {

std::function<bool()> pending_check;

LRESULT checker_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER && pending_check && pending_check()) {
        KillTimer(window, wparam);
        pending_check = nullptr;
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

TickCheck::TickCheck() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = checker_procedure;
    window_class.lpszClassName = u"SettingsTestChecker";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, u"SettingsTestChecker", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

TickCheck::~TickCheck() {
    pending_check = nullptr;
    DestroyWindow(window_);
    UnregisterClassW(u"SettingsTestChecker", nullptr);
}

void TickCheck::start(std::function<bool()> check) {
    pending_check = std::move(check);
    SetTimer(window_, 1, 10, nullptr);
}

skinner::Form* find_error_box() {
    for (skinner::Form* shown : skinner::Form::get_forms()) {
        if (dynamic_cast<screens::ErrorForm*>(shown)) return shown;
    }
    return nullptr;
}

SettingsFormTest::SettingsFormTest(const char* screen_size) : DialogTest(screen_size) {}

SettingsFormTest::~SettingsFormTest() = default;

void SettingsFormTest::answer_error_box(std::u16string& message) {
    checker_.start([&message] {
        skinner::Form* const box = find_error_box();
        if (!box) return false;
        auto* const text = dynamic_cast<skinner::ControlFrame*>(box->find_control(u"frmMessage"));
        message = text ? text->get_text() : u"(no message frame)";
        PostMessageW(box->get_window(), WM_CLOSE, 0, 0);
        return true;
    });
}

std::string SettingsFormTest::program_file(const std::string& name) const {
    return device.fs() + "/Program Files/Sonbrix/" + name;
}

}  // namespace settings_test
