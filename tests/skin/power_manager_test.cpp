// The display switched off after the idle time while the form is in front, on a moved tick
// count and a scripted display driver.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "skin/display_escape.h"
#include "skin/power_manager.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

// A display driver with or without the power escapes, holding the display's state.
struct FakeDriver {
    bool supported = true;
    std::uint32_t state = 1;
    int sets = 0;

    int escape(int code, int input_size, const char* input, int output_size, char* output) {
        std::uint32_t record[3] = {};
        if (code == QUERYESCSUPPORT) {
            std::int32_t asked = 0;
            if (input_size == 4) std::memcpy(&asked, input, 4);
            return supported && asked == SETPOWERMANAGEMENT ? 1 : 0;
        }
        if (!supported) return -1;
        if (code == SETPOWERMANAGEMENT && input_size == 12) {
            std::memcpy(record, input, 12);
            EXPECT_EQ(record[0], 12u);
            EXPECT_EQ(record[1], 1u);
            state = record[2];
            ++sets;
            return 1;
        }
        if (code == GETPOWERMANAGEMENT && output_size == 12) {
            std::memcpy(record, output, 12);
            EXPECT_EQ(record[0], 12u) << "the caller fills in the length";
            record[2] = state;
            std::memcpy(output, record, 12);
            return 1;
        }
        return -1;
    }
};

class PowerManagerTest : public FormTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        skinner::display::set_escape_override([this](HDC, int code, int in_size, const char* in, int out_size,
                                                     char* out) { return driver.escape(code, in_size, in, out_size, out); });
        use_skin(form_xml("Power", 200, 200, ""));
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Power", log);
        SetForegroundWindow(form->get_window());
        platform::set_tick_offset(offset);
        power = std::make_unique<skinner::PowerManager>(form.get());
    }

    void TearDown() override {
        power.reset();
        form.reset();
        platform::set_tick_offset(0);
        skinner::display::set_escape_override({});
    }

    // Moves the tick count on, then delivers one tick of the manager's timer.
    void tick_after(double seconds) {
        offset += static_cast<DWORD>(seconds * 1000);
        platform::set_tick_offset(offset);
        SendMessageW(form->get_window(), WM_TIMER, power->get_impl()->get_timer_id(), 0);
    }

    bool off() const { return driver.state == 4; }

    FakeDriver driver;
    DWORD offset = 0;
    std::unique_ptr<TestForm> form;
    std::unique_ptr<skinner::PowerManager> power;
};

TEST_F(PowerManagerTest, AnIntervalOfZeroNeverSwitchesOff) {
    tick_after(3600);
    EXPECT_FALSE(off());
    EXPECT_EQ(driver.sets, 0);
    EXPECT_TRUE(power->is_display_on());
}

TEST_F(PowerManagerTest, SwitchesOffAtTheFirstTickAfterTheIntervalAndOnAtATapOrKey) {
    power->set_turn_off_interval(30.0);
    ASSERT_NE(power->get_impl()->get_timer_id(), 0u);
    tick_after(29);
    EXPECT_FALSE(off());
    tick_after(2);
    EXPECT_TRUE(off());
    EXPECT_FALSE(power->is_display_on());

    SendMessageW(form->get_window(), WM_LBUTTONDOWN, 1, 0);
    EXPECT_FALSE(off()) << "a tap switches the display on";
    tick_after(29);
    EXPECT_FALSE(off()) << "and the next interval starts at the tap";
    tick_after(2);
    EXPECT_TRUE(off());

    SendMessageW(form->get_window(), WM_KEYDOWN, 0x41, 0);
    EXPECT_FALSE(off()) << "a key switches it on too";
}

TEST_F(PowerManagerTest, TheIdleTimeRestartsWhileTheDisplayIsOffOrTheFormIsBehind) {
    power->set_turn_off_interval(30.0);
    tick_after(31);
    ASSERT_TRUE(off());
    tick_after(20);
    driver.state = 1;  // switched on by something else
    tick_after(20);
    EXPECT_FALSE(off()) << "a full interval after the display came on";
    tick_after(11);
    EXPECT_TRUE(off());

    tick_after(0);
    driver.state = 1;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = u"PowerManagerOther";
    RegisterClassW(&window_class);
    HWND const other =
        CreateWindowExW(0, u"PowerManagerOther", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(SetForegroundWindow(other));
    tick_after(60);
    EXPECT_FALSE(off()) << "never while another window is in front";
    SetForegroundWindow(form->get_window());
    tick_after(1);
    EXPECT_FALSE(off());
    DestroyWindow(other);
}

TEST_F(PowerManagerTest, ADriverWithoutThePowerEscapesLeavesTheDisplayOn) {
    driver.supported = false;
    power->set_turn_off_interval(30.0);
    tick_after(31);
    EXPECT_EQ(driver.sets, 0);
    EXPECT_TRUE(power->is_display_on());
    SendMessageW(form->get_window(), WM_LBUTTONDOWN, 1, 0);
    EXPECT_EQ(driver.sets, 0);
}

}  // namespace
}  // namespace form_test
