// Display power through the display driver's escapes, and the device-wide cursor, on a
// headless screen driven through its control link.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cursors.h"
#include "platform/gdi.h"
#include "platform/messages.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

constexpr std::uint32_t red = 0xFFC00000u;
std::atomic<int> taps{0};
std::atomic<int> keys{0};

LRESULT counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN) ++taps;
    if (message == WM_KEYDOWN) ++keys;
    return DefWindowProcW(window, message, wparam, lparam);
}

int escape(int code, const void* input = nullptr, int input_size = 0, void* output = nullptr, int output_size = 0) {
    HDC const dc = GetDC(nullptr);
    int const answer = ExtEscape(dc, code, input_size, static_cast<LPCSTR>(input), output_size, static_cast<LPSTR>(output));
    ReleaseDC(nullptr, dc);
    return answer;
}

int supports(DWORD code) { return escape(QUERYESCSUPPORT, &code, sizeof code); }

int set_power(ULONG state, ULONG length = sizeof(VIDEO_POWER_MANAGEMENT)) {
    VIDEO_POWER_MANAGEMENT record{length, 1, state};
    return escape(SETPOWERMANAGEMENT, &record, sizeof record);
}

// 0 when the escape fails.
ULONG power_state() {
    VIDEO_POWER_MANAGEMENT record{sizeof record, 1, 0};
    return escape(GETPOWERMANAGEMENT, nullptr, 0, &record, sizeof record) > 0 ? record.PowerState : 0;
}

class DisplayPowerTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        taps = 0;
        keys = 0;
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = counting_procedure;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"PowerWatcher";
        RegisterClassW(&window_class);
        window_ = CreateWindowExW(0, u"PowerWatcher", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        ASSERT_TRUE(screen_shows(red));
    }
    void TearDown() override {
        DestroyWindow(window_);
        UnregisterClassW(u"PowerWatcher", nullptr);
        DeleteObject(brush_);
    }

    bool screen_shows(std::uint32_t colour) {
        return testing_support::pump_messages_until([&] {
            auto const picture = screen.screenshot();
            return picture.width > 0 && picture.at(120, 160) == colour;
        });
    }
    bool display_on() {
        bool on = false;
        return screen.control().display_on(on) && on;
    }

    testing_support::TestScreen screen;
    HBRUSH brush_ = CreateSolidBrush(RGB(0xC0, 0, 0));
    HWND window_ = nullptr;
};

TEST_F(DisplayPowerTest, OffDarkensTheScreenUntilATapWhichGoesToNoWindow) {
    EXPECT_GT(supports(SETPOWERMANAGEMENT), 0);
    EXPECT_GT(supports(GETPOWERMANAGEMENT), 0);
    EXPECT_EQ(power_state(), VideoPowerOn);

    ASSERT_EQ(set_power(VideoPowerOff), 1);
    EXPECT_EQ(power_state(), VideoPowerOff);
    EXPECT_FALSE(display_on());
    EXPECT_TRUE(screen_shows(0xFF000000u)) << "the screen is not dark";

    ASSERT_TRUE(screen.control().tap(120, 160));
    EXPECT_TRUE(testing_support::eventually([&] { return display_on(); }));
    EXPECT_TRUE(screen_shows(red)) << "the screen stayed dark";
    EXPECT_EQ(power_state(), VideoPowerOn);
    ASSERT_TRUE(screen.control().wait_idle(10000));
    testing_support::pump_messages_until([] { return false; }, 50);
    EXPECT_EQ(taps.load(), 0) << "the waking tap reached the window";

    ASSERT_TRUE(screen.control().tap(120, 160));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return taps == 1; })) << "the next tap is lost";
}

TEST_F(DisplayPowerTest, AKeyWakesTheDisplayAndTheNextKeyIsTyped) {
    ASSERT_EQ(set_power(VideoPowerOff), 1);
    ASSERT_TRUE(screen.control().press('A'));
    EXPECT_TRUE(testing_support::eventually([&] { return display_on(); }));
    ASSERT_TRUE(screen.control().press('B'));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return keys == 1; }));
    testing_support::pump_messages_until([] { return false; }, 50);
    EXPECT_EQ(keys.load(), 1) << "the waking key was typed too";
}

TEST_F(DisplayPowerTest, StandByAndSuspendDarkenTooAndOnComesBackWithoutATap) {
    for (ULONG state : {VideoPowerStandBy, VideoPowerSuspend}) {
        ASSERT_EQ(set_power(state), 1) << state;
        EXPECT_EQ(power_state(), VideoPowerOff) << state;
        ASSERT_EQ(set_power(VideoPowerOn), 1);
        EXPECT_TRUE(screen_shows(red)) << state;
    }
}

TEST_F(DisplayPowerTest, BadRecordsAndOtherEscapesAreRefused) {
    DWORD const code = SETPOWERMANAGEMENT;
    VIDEO_POWER_MANAGEMENT record{sizeof record, 1, VideoPowerOff};
    struct Case {
        const char* name;
        int answer;
        int expected;
    };
    std::vector<Case> const cases = {
        {"query without its code", escape(QUERYESCSUPPORT, &code, 2), -1},
        {"query of an unknown escape", supports(4242), 0},
        {"the query itself", supports(QUERYESCSUPPORT), 1},
        {"a short record", escape(SETPOWERMANAGEMENT, &record, 8), -1},
        {"a record that says it is short", set_power(VideoPowerOff, 8), -1},
        {"no state of the four", set_power(7), -1},
        {"state zero", set_power(0), -1},
        {"get into a short record", escape(GETPOWERMANAGEMENT, nullptr, 0, &record, 8), -1},
        {"an unknown escape", escape(4242), 0},
    };
    for (auto const& c : cases) EXPECT_EQ(c.answer, c.expected) << c.name;
    EXPECT_TRUE(display_on()) << "a refused escape switched the display off";

    HDC const gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_EQ(ExtEscape(gone, QUERYESCSUPPORT, sizeof code, reinterpret_cast<LPCSTR>(&code), 0, nullptr), 0) << "no device context";
}

TEST_F(DisplayPowerTest, TheEnvironmentSwitchMakesTheEscapesUnsupported) {
    testing_support::ScopedEnvironment unsupported("SONBRIX_DISPLAY_POWER", "unsupported");
    EXPECT_EQ(supports(SETPOWERMANAGEMENT), 0);
    EXPECT_EQ(supports(GETPOWERMANAGEMENT), 0);
    EXPECT_EQ(set_power(VideoPowerOff), 0);
    EXPECT_EQ(power_state(), 0u);
    EXPECT_TRUE(display_on());
}

TEST_F(DisplayPowerTest, TheCursorTheProgramSetsIsTheScreens) {
    struct Case {
        LPCWSTR name;
        std::uint32_t id;
    };
    std::vector<Case> const cases = {{IDC_WAIT, 32514}, {IDC_HAND, 32649}, {IDC_IBEAM, 32513}, {IDC_ARROW, 32512},
                                     {IDC_SIZEALL, 32646}, {IDC_APPSTARTING, 32650}, {nullptr, 0}};
    for (auto const& c : cases) {
        HCURSOR const cursor = c.name ? LoadCursorW(nullptr, c.name) : nullptr;
        if (c.name) {
            ASSERT_NE(cursor, nullptr) << c.id;
        }
        SetCursor(cursor);
        EXPECT_EQ(GetCursor(), cursor);
        std::uint32_t shown = 0xFFFFFFFFu;
        EXPECT_TRUE(testing_support::eventually([&] { return screen.control().cursor(shown) && shown == c.id; }))
            << "the screen shows " << shown << ", not " << c.id;
    }
    EXPECT_EQ(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(32700))), nullptr);
}

}  // namespace
