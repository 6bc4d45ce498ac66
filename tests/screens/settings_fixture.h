// The settings form on the shipped dialog skin, on the headless screen of a test device
// that holds the staged program files.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/types.h"

#include "app/settings.h"
#include "screens/settings_form.h"
#include "skin/tab.h"
#include "tests/screens/dialog_fixture.h"

namespace settings_test {

// A time in December 2026, to the minute.
inline SYSTEMTIME at(int day, int hour, int minute) {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    return time;
}

// Runs a check at each tick of a timer until it returns true. Ticks come only when no other
// message waits, so stylus input given before is handled first; the check runs inside
// whatever modal loop is pumping then.
class TickCheck {
public:
    TickCheck();
    ~TickCheck();
    void start(std::function<bool()> check);

private:
    HWND window_ = nullptr;
};

// The error box that is up, if any.
skinner::Form* find_error_box();

class SettingsFormTest : public dialog_test::DialogTest {
protected:
    explicit SettingsFormTest(const char* screen_size = "240x320");
    ~SettingsFormTest() override;

    // The form over no owner, editing `settings`.
    SettingsForm& open(skinner::Form* owner = nullptr);
    // Writes every page back, as closing the form does, and destroys the form.
    void close();
    // Shows the page and waits until it is painted.
    void show_page(skinner::ControlTabElement& page);
    // Closes the next error box that comes up, keeping its message in `message`.
    void answer_error_box(std::u16string& message);
    // The host path of a device path below the program folder.
    std::string program_file(const std::string& name) const;

    Settings settings;
    std::unique_ptr<SettingsForm> form;

private:
    TickCheck checker_;
};

}  // namespace settings_test
