// The forms' tests: a hidden window that runs actions from inside whatever message loop the
// thread runs (a form's modal loop included), and a pump that dispatches as the forms' loop
// does.
#pragma once

#include <chrono>
#include <functional>

#include "platform/windows.h"
#include "tests/support/eventually.h"
#include "tests/support/test_screen.h"

namespace form_test {

class ActionWindow {
public:
    ActionWindow();
    ~ActionWindow();
    ActionWindow(const ActionWindow&) = delete;
    ActionWindow& operator=(const ActionWindow&) = delete;

    // Runs the action when this thread's loop reaches it.
    void post(std::function<void()> action);

private:
    HWND window_ = nullptr;
};

// Dispatches this thread's messages as the forms' loop does until done() holds; false when it
// still does not hold after the limit (a guard against a hanging test, not a timing check).
bool pump_forms_until(const std::function<bool()>& done, std::chrono::seconds limit = testing_support::hang_guard);

// Pumps until the screen has the window in front (with the focus on `focus` when one is given).
bool pump_forms_until_in_front(testing_support::TestScreen& screen, HWND window, HWND focus = nullptr);

}  // namespace form_test
