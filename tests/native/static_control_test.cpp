// The "STATIC" class on the device's screen: its text, alignment and repaint, the form's
// private messages, and subclassing its window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "native/native_controls.h"
#include "native/static_control.h"
#include "platform/gdi.h"
#include "platform/messages.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenPicture;

// Where the text's dark pixels lie inside a rectangle of the screen.
struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    bool any() const { return right >= 0; }
};

Ink ink_in(const ScreenPicture& picture, const RECT& area) {
    Ink ink;
    if (picture.width == 0) return ink;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if ((picture.at(x, y) & 0xFF) >= 128) continue;  // the blue of white or light grey
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

std::atomic<int> subclass_taps{0};
std::vector<UINT> subclass_seen;
WNDPROC previous_procedure = nullptr;

LRESULT counting_subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    subclass_seen.push_back(message);
    if (message == WM_LBUTTONDOWN) ++subclass_taps;
    return CallWindowProcW(previous_procedure, window, message, wparam, lparam);
}

class StaticControlTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        native::start_native_controls();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"StaticParent";
        RegisterClassW(&window_class);
        parent_ = CreateWindowExW(0, u"StaticParent", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        SetForegroundWindow(parent_);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        UnregisterClassW(u"StaticParent", nullptr);
        DeleteObject(brush_);
    }

    HWND make_static(LPCWSTR text, DWORD style, RECT place) {
        return CreateWindowExW(0, u"STATIC", text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, parent_, nullptr, nullptr, nullptr);
    }

    // Pumps this thread's messages until the screen shows what `check` wants in the area.
    bool shown(const RECT& client_area, const std::function<bool(const Ink&)>& check, Ink* seen = nullptr) {
        POINT origin{0, 0};
        ClientToScreen(parent_, &origin);
        RECT const area{client_area.left + origin.x, client_area.top + origin.y, client_area.right + origin.x,
                        client_area.bottom + origin.y};
        return testing_support::pump_messages_until([&] {
            Ink const ink = ink_in(screen.screenshot(), area);
            if (seen) *seen = ink;
            return check(ink);
        });
    }

    testing_support::TestScreen screen;
    HBRUSH brush_ = CreateSolidBrush(RGB(0, 128, 0));
    HWND parent_ = nullptr;
};

struct AlignmentCase {
    const char* name;
    DWORD style;
    std::function<bool(const Ink&, const RECT&)> placed;
};

TEST_F(StaticControlTest, TheTextIsAlignedAsItsStyleSays) {
    RECT const place{20, 40, 220, 60};
    std::vector<AlignmentCase> const cases = {
        {"left", native::SS_LEFT, [](const Ink& ink, const RECT& r) { return ink.left - r.left < 4; }},
        {"right", native::SS_RIGHT, [](const Ink& ink, const RECT& r) { return r.right - 1 - ink.right < 4; }},
        {"centre", native::SS_CENTER,
         [](const Ink& ink, const RECT& r) { return std::abs((ink.left + ink.right) / 2 - (r.left + r.right) / 2) <= 3; }},
    };
    for (auto const& c : cases) {
        HWND const label = make_static(u"Volume", c.style, place);
        ASSERT_NE(label, nullptr) << c.name;
        Ink ink;
        EXPECT_TRUE(shown(place, [&](const Ink& i) { return i.any() && c.placed(i, place); }, &ink))
            << c.name << ": ink from " << ink.left << " to " << ink.right;
        DestroyWindow(label);
    }
}

TEST_F(StaticControlTest, NewTextIsDrawnAtOnceAndALongTextBreaksBetweenWords) {
    RECT const place{20, 40, 120, 100};
    HWND const label = make_static(u"", native::SS_LEFT, place);
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(shown(place, [](const Ink& ink) { return !ink.any(); })) << "an empty text draws nothing";

    SetWindowTextW(label, u"Hello");
    Ink one_line;
    ASSERT_TRUE(shown(place, [](const Ink& ink) { return ink.any(); }, &one_line)) << "WM_SETTEXT did not repaint";

    SetWindowTextW(label, u"Recording will start at seven tomorrow");
    Ink lines;
    EXPECT_TRUE(shown(place, [&](const Ink& ink) { return ink.bottom > one_line.bottom + 8; }, &lines))
        << "the long text stays on one line (ink down to " << lines.bottom << ")";
    EXPECT_LT(lines.right, place.right) << "the text runs past the control";
}

TEST_F(StaticControlTest, TheFormsPrivateMessagesChangeNothing) {
    HWND const label = make_static(u"Keep", native::SS_LEFT, {20, 40, 120, 60});
    for (UINT message : {WM_USER + 2, WM_USER + 4, WM_USER + 33}) {
        EXPECT_EQ(SendMessageW(label, message, 7, 7), 0) << message;
    }
    char16_t text[16] = {};
    GetWindowTextW(label, text, 16);
    EXPECT_EQ(std::u16string(text), u"Keep");
}

TEST_F(StaticControlTest, ASubclassProcedureSeesTheControlsMessagesFirstAndPassesThemOn) {
    RECT const place{20, 40, 220, 80};
    HWND const label = make_static(u"", native::SS_LEFT, place);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(GetWindowLongW(label, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&native::static_procedure));
    subclass_taps = 0;
    subclass_seen.clear();
    previous_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(label, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&counting_subclass)));
    ASSERT_EQ(previous_procedure, &native::static_procedure);

    ASSERT_TRUE(shown(place, [](const Ink& ink) { return !ink.any(); })) << "the empty control is not on the screen";
    POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    ClientToScreen(parent_, &middle);
    ASSERT_TRUE(screen.control().tap(middle.x, middle.y));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return subclass_taps == 1; })) << "the tap went past the subclass";

    SetWindowTextW(label, u"Subclassed");
    EXPECT_NE(std::find(subclass_seen.begin(), subclass_seen.end(), WM_SETTEXT), subclass_seen.end());
    EXPECT_TRUE(shown(place, [](const Ink& ink) { return ink.any(); })) << "the control no longer paints its text";

    SetWindowLongW(label, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_procedure));
    subclass_seen.clear();
    SetWindowTextW(label, u"Plain");
    EXPECT_TRUE(subclass_seen.empty()) << "the subclass still sees messages after it was taken out";
}

}  // namespace
