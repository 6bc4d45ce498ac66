// Forms on the headless device screen for the tests: a small compiled test skin with
// pictures beside it, a control that paints one colour and records what reaches it, a form
// that records its events, and a pump that dispatches as the forms' own loop does.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/control.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "tests/skin/caught_reports.h"
#include "tests/skin/form_actions.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace form_test {

// What reached the controls and forms of a test, in order, as short texts: "a down 5,5 0".
using Log = std::vector<std::string>;

// Paints its rectangle in one colour (0xRRGGBB) and logs its events to the shared log.
class ProbeControl : public skinner::Control {
public:
    ProbeControl(skinner::Container* container, const std::string& name, Log& log, std::uint32_t colour = 0,
                 int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ProbeControl() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void on_stylus_down(skinner::Point point, unsigned flags) override;
    void on_stylus_up(skinner::Point point, unsigned flags) override;
    void on_stylus_move(skinner::Point point, unsigned flags) override;
    void on_button2_down(skinner::Point point, unsigned flags) override;
    void on_button2_up(skinner::Point point, unsigned flags) override;
    void on_button3_up(skinner::Point point, unsigned flags) override;
    bool on_char(const std::u16string& text, unsigned flags) override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    void on_timer(UINT_PTR id, WPARAM word) override;
    void on_focus_gained() override;
    void on_focus_lost(skinner::Control* next) override;

    bool takes_chars = false;
    bool takes_keys = false;
    std::uint32_t colour;

private:
    void note(const std::string& what);
    void note_point(const std::string& what, skinner::Point point, unsigned flags);
    Log& log_;
    std::string label_;
};

// Logs clicks, commands and the text brought to the front; can refuse to close.
class TestForm : public skinner::Form {
public:
    TestForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& name, Log& log);
    ~TestForm() override;

    void on_click(skinner::Control* sender) override;
    bool on_command(const std::u16string& command) override;
    bool can_close() override { return closable; }
    void bring_to_front(const std::u16string& text) override;

    bool closable = true;

private:
    Log& log_;
};

// A form source: its design size, its position on the screen and what is inside.
std::string form_xml(const std::string& name, int width, int height, const std::string& inside, int x = 0, int y = 0);
// A control with its rectangle and further records.
std::string control_xml(const std::string& name, int x, int y, int width, int height, const std::string& more = "");

class FormTest : public testing_support::DeviceTest {
protected:
    FormTest();
    // On a screen of another size ("480x640": the high-density screen), with the shell when asked.
    explicit FormTest(const char* screen_size, bool shell = false);
    ~FormTest() override;

    // Compiles the skin (screens and pictures are added: "half" is 20 x 20, see-through on
    // its left half and red on its right; "back" is 16 x 16 of solid blue).
    void use_skin(const std::string& forms);
    // Dispatches this thread's messages as the forms' loop does, until done() holds; false
    // after ten seconds (a guard, not a timing check).
    bool pump_until(const std::function<bool()>& done);
    // Paints what is due and lets the screen compose it.
    platform::screen::ScreenPicture painted();
    // Pumps until the screen has the window in front with `focus` as its focus window (0: any),
    // so that keys the test gives the screen go to it; false after the pump's guard.
    bool pump_until_in_front(HWND window, HWND focus = nullptr);
    // Runs the action from inside the message loop of this thread (posted to a helper window).
    void post_action(std::function<void()> action);

    testing_support::TestScreen screen;
    skin_test::CaughtReports reports;
    std::unique_ptr<skinner::Properties> properties;
    Log log;

private:
    ActionWindow actions_;
};

}  // namespace form_test
