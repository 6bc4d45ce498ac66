// The menu bar on the device's screen, driven by the screen's stylus: its buttons send their
// commands to the owner, drop-down buttons open their popup, and the bar follows its owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/menu_bar.h"
#include "platform/menus.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenPicture;
using platform::screen::ScreenRect;

constexpr char bar_class[] = "sonbrix_menu_bar";
constexpr char menu_class[] = "sonbrix_popup_menu";
constexpr int file_id = 101, image_id = 102, menu_id = 103, off_id = 104, play_id = 105;
constexpr UINT_PTR first_item = 501, second_item = 502;
constexpr int crowded_id = 200, crowded_count = 9;

std::vector<MSG> owner_messages;

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND || message == WM_INITMENUPOPUP) owner_messages.push_back(MSG{window, message, wparam, lparam, 0, {}});
    return DefWindowProcW(window, message, wparam, lparam);
}

std::vector<std::pair<UINT, WPARAM>> received() {
    std::vector<std::pair<UINT, WPARAM>> list;
    for (auto const& m : owner_messages) list.emplace_back(m.message, m.wParam);
    return list;
}

bool has_command(WPARAM id) {
    return std::any_of(owner_messages.begin(), owner_messages.end(), [&](const MSG& m) { return m.message == WM_COMMAND && m.wParam == id; });
}

TBBUTTON button(int image, int command, BYTE state, BYTE style, const char16_t* text, HMENU popup = nullptr) {
    return TBBUTTON{image, command, state, style, reinterpret_cast<DWORD_PTR>(popup), reinterpret_cast<INT_PTR>(text)};
}


// The screen once everything is painted; this thread paints meanwhile.
ScreenPicture painted_screen(testing_support::TestScreen& screen) {
    ScreenPicture picture;
    std::atomic<bool> taken{false};
    std::thread photographer([&] {
        EXPECT_TRUE(screen.wait_idle());
        picture = screen.screenshot();
        taken = true;
    });
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return taken.load(); }));
    photographer.join();
    return picture;
}

class MenuBarTest : public testing_support::DeviceTest {
public:
    explicit MenuBarTest(const char* size = "240x320", bool shell = false) : screen(size, shell) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        owner_messages.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = owner_procedure;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"BarOwner";
        RegisterClassW(&window_class);
        owner_ = CreateWindowExW(0, u"BarOwner", u"", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        SetForegroundWindow(owner_);
        popup_ = CreatePopupMenu();
        AppendMenuW(popup_, MF_STRING, first_item, u"First");
        AppendMenuW(popup_, MF_STRING, second_item, u"Second");
    }
    void TearDown() override {
        if (IsWindow(owner_)) DestroyWindow(owner_);
        DestroyMenu(popup_);
        UnregisterClassW(u"BarOwner", nullptr);
        DeleteObject(brush_);
    }

    // A bar as the program builds it: the toolbar resource, the strip for the screen, then
    // its buttons: text, image only, a drop-down, a separator, a disabled one, image and text.
    HWND make_bar() {
        SHMENUBARINFO info{};
        info.cbSize = 36;
        info.hwndParent = owner_;
        info.nToolBarId = 121;
        EXPECT_TRUE(SHCreateMenuBar(&info)) << GetLastError();
        HWND const bar = info.hwndMB;
        HDC const dc = GetDC(nullptr);
        bool const large = GetDeviceCaps(dc, LOGPIXELSX) == 192;
        ReleaseDC(nullptr, dc);
        int const size = large ? 32 : 16;
        HBITMAP const strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(large ? 125 : 115));
        BITMAP bitmap{};
        EXPECT_TRUE(GetObjectW(strip, sizeof bitmap, &bitmap));
        DeleteObject(strip);
        first_image_ = CommandBar_AddBitmap(bar, nullptr, large ? 125 : 115, bitmap.bmWidth / size, size, size);
        EXPECT_EQ(first_image_, 0);
        TBBUTTON const buttons[] = {
            button(I_IMAGENONE, file_id, TBSTATE_ENABLED, TBSTYLE_AUTOSIZE, u"File"),
            button(first_image_ + 5, image_id, TBSTATE_ENABLED, 0, nullptr),
            button(I_IMAGENONE, menu_id, TBSTATE_ENABLED, 0x98, u"Menu", popup_),
            button(I_IMAGENONE, 0, 0, TBSTYLE_SEP, nullptr),
            button(I_IMAGENONE, off_id, 0, TBSTYLE_AUTOSIZE, u"Off"),
            button(first_image_ + 1, play_id, TBSTATE_ENABLED, TBSTYLE_AUTOSIZE, u"Play"),
        };
        for (std::size_t index = 0; index < std::size(buttons); ++index)
            EXPECT_TRUE(SendMessageW(bar, TB_INSERTBUTTON, index, reinterpret_cast<LPARAM>(&buttons[index])));
        return bar;
    }

    // A text button and eight image buttons, commands crowded_id and on: at full spacing
    // they would reach under the input-panel button.
    HWND make_crowded_bar() {
        SHMENUBARINFO info{};
        info.cbSize = 36;
        info.hwndParent = owner_;
        info.dwFlags = SHCMBF_EMPTYBAR;
        EXPECT_TRUE(SHCreateMenuBar(&info)) << GetLastError();
        HWND const bar = info.hwndMB;
        int const size = 16 * scale();
        EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, scale() == 2 ? 125 : 115, 8, size, size), 0);
        for (int index = 0; index < crowded_count; ++index) {
            TBBUTTON const added = index == 0 ? button(I_IMAGENONE, crowded_id, TBSTATE_ENABLED, TBSTYLE_AUTOSIZE, u"File")
                                              : button(index - 1, crowded_id + index, TBSTATE_ENABLED, 0, nullptr);
            EXPECT_TRUE(SendMessageW(bar, TB_INSERTBUTTON, index, reinterpret_cast<LPARAM>(&added)));
        }
        return bar;
    }

    static int scale() { return GetSystemMetrics(SM_CXSCREEN) >= 480 ? 2 : 1; }

    // The middle of a button on the screen.
    static POINT middle_of(HWND bar, int index) {
        RECT item{}, place{};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        GetWindowRect(bar, &place);
        return {place.left + (item.left + item.right) / 2, place.top + (item.top + item.bottom) / 2};
    }

    void tap(POINT point) { EXPECT_TRUE(screen.control().tap(point.x, point.y)); }

    std::optional<platform::screen::ScreenWindow> bar_on_screen() {
        for (auto const& window : screen.windows()) {
            if (window.class_name == bar_class) return window;
        }
        return std::nullopt;
    }

    // The open popup menu's rectangle, once it is on the screen.
    ScreenRect open_menu() {
        ScreenRect found{};
        testing_support::eventually([&] {
            for (auto const& window : screen.windows()) {
                if (window.class_name == menu_class && window.visible) {
                    found = window.rect;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    testing_support::TestScreen screen;
    HBRUSH brush_ = CreateSolidBrush(RGB(0, 96, 0));
    HWND owner_ = nullptr;
    HMENU popup_ = nullptr;
    int first_image_ = -1;
};

class LargeMenuBarTest : public MenuBarTest {
protected:
    LargeMenuBarTest() : MenuBarTest("480x640") {}
};

TEST_F(MenuBarTest, TapsOnButtonsSendTheirCommandsAndDisabledOnesNothing) {
    HWND const bar = make_bar();
    struct Case {
        const char* name;
        std::vector<int> taps;  // button indexes, the last one's command ends the wait
        std::vector<std::pair<UINT, WPARAM>> expected;
    };
    std::vector<Case> const cases = {
        {"text button", {0}, {{WM_COMMAND, file_id}}},
        {"image button", {1}, {{WM_COMMAND, image_id}}},
        {"image and text", {5}, {{WM_COMMAND, play_id}}},
        {"disabled, then text", {4, 0}, {{WM_COMMAND, file_id}}},
        {"separator, then text", {3, 0}, {{WM_COMMAND, file_id}}},
    };
    for (auto const& c : cases) {
        owner_messages.clear();
        for (int index : c.taps) tap(middle_of(bar, index));
        EXPECT_TRUE(testing_support::pump_messages_until([&] { return has_command(c.expected.back().second); })) << c.name;
        EXPECT_EQ(received(), c.expected) << c.name;
    }
}

TEST_F(MenuBarTest, ADropDownButtonAnnouncesItsPopupAndSendsTheChosenItem) {
    HWND const bar = make_bar();
    struct Case {
        const char* name;
        std::function<void(MenuBarTest&)> act;  // with the popup open
        std::vector<std::pair<UINT, WPARAM>> expected;
    };
    std::vector<Case> const cases = {
        {"second item",
         [](MenuBarTest& t) {
             ScreenRect const menu = t.open_menu();
             int const row = (menu.bottom - menu.top) / 2;
             t.tap({(menu.left + menu.right) / 2, menu.top + row + row / 2});
         },
         {{WM_INITMENUPOPUP, 0}, {WM_COMMAND, second_item}}},
        {"dismissed by a tap outside, then a text button",
         [bar](MenuBarTest& t) {
             t.open_menu();
             t.tap({200, 20});
             // Input goes where the stylus is held when it arrives: wait for the menu to go.
             EXPECT_TRUE(testing_support::eventually([&] {
                 auto const windows = t.screen.windows();
                 return std::none_of(windows.begin(), windows.end(), [](const auto& w) { return w.class_name == menu_class; });
             }));
             t.tap(middle_of(bar, 0));
         },
         {{WM_INITMENUPOPUP, 0}, {WM_COMMAND, file_id}}},
    };
    for (auto const& c : cases) {
        owner_messages.clear();
        std::thread user([&] {
            tap(middle_of(bar, 2));
            c.act(*this);
        });
        EXPECT_TRUE(testing_support::pump_messages_until([&] { return has_command(c.expected.back().second); })) << c.name;
        user.join();
        ASSERT_EQ(owner_messages.size(), c.expected.size()) << c.name;
        EXPECT_EQ(owner_messages[0].message, static_cast<UINT>(WM_INITMENUPOPUP)) << c.name;
        EXPECT_EQ(owner_messages[0].wParam, reinterpret_cast<WPARAM>(popup_)) << c.name;
        EXPECT_EQ(owner_messages[0].lParam, menu_id) << c.name << ": the button's command id";
        EXPECT_EQ(owner_messages[1].wParam, c.expected[1].second) << c.name;
    }
}

TEST_F(MenuBarTest, TheToolbarMessagesChangeTheButtons) {
    HWND const bar = make_bar();
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_TRUE(SendMessageW(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_DELETEBUTTON, 5, 0)) << "past the end";
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, file_id, 0), -1);

    // The disabled button enabled and renamed: it now sends its command.
    char16_t text[] = u"On";
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STATE | TBIF_TEXT;
    info.fsState = TBSTATE_ENABLED;
    info.pszText = text;
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFO, off_id, reinterpret_cast<LPARAM>(&info)));
    EXPECT_FALSE(SendMessageW(bar, TB_SETBUTTONINFO, 9999, reinterpret_cast<LPARAM>(&info))) << "no such button";
    char16_t read_back[16] = {};
    TBBUTTONINFO query{};
    query.cbSize = sizeof query;
    query.dwMask = TBIF_TEXT | TBIF_STATE;
    query.pszText = read_back;
    query.cchText = 16;
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFO, off_id, reinterpret_cast<LPARAM>(&query)), 3);
    EXPECT_EQ(std::u16string(read_back), u"On");
    tap(middle_of(bar, 3));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return has_command(off_id); }));
    EXPECT_EQ(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_ESCAPE, 0x30003), TRUE) << "the Back key is taken over";
}

TEST_F(MenuBarTest, TheBarLiesInTheBottomBarAndFollowsItsOwner) {
    HWND const bar = make_bar();
    painted_screen(screen);
    auto shown = bar_on_screen();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->visible);
    EXPECT_EQ(shown->rect.left, 0);
    EXPECT_EQ(shown->rect.right, 240);
    EXPECT_EQ(shown->rect.top, 320 - 26);
    EXPECT_EQ(shown->rect.bottom, 320);
    EXPECT_EQ(SHGetMenuBarHeight(), 26);

    ShowWindow(owner_, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar)) << "hidden with its owner";
    ShowWindow(owner_, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(bar)) << "shown with its owner";

    HWND const other = CreateWindowExW(0, u"BarOwner", u"", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    EXPECT_FALSE(IsWindowVisible(bar)) << "hidden while another window is in front";
    SetForegroundWindow(owner_);
    EXPECT_TRUE(IsWindowVisible(bar)) << "back with its owner";
    DestroyWindow(other);

    DestroyWindow(owner_);
    EXPECT_FALSE(IsWindow(bar)) << "destroyed with its owner";
    painted_screen(screen);
    EXPECT_FALSE(bar_on_screen());
}

TEST_F(MenuBarTest, TheProgramsStripsHaveTheirImageSizes) {
    struct Case {
        WORD id;
        int height;
    };
    for (auto const& c : {Case{115, 16}, Case{125, 32}}) {
        HBITMAP const strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(c.id));
        ASSERT_NE(strip, nullptr) << c.id;
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectW(strip, sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmHeight, c.height) << c.id;
        EXPECT_EQ(bitmap.bmWidth % c.height, 0) << c.id;
        EXPECT_GE(bitmap.bmWidth / c.height, 8) << c.id;
        DeleteObject(strip);
    }
}

void expect_like_expected(testing_support::TestScreen& screen, const std::string& name) {
    EXPECT_EQ(testing_support::compare_with_expected(painted_screen(screen), SONBRIX_NATIVE_EXPECTED, name), "");
}

TEST_F(MenuBarTest, LooksLikeTheExpectedPicture) {
    make_bar();
    expect_like_expected(screen, "menu_bar_240x320");
}

TEST_F(LargeMenuBarTest, LooksLikeTheExpectedPictureWithTheLargeStrip) {
    HWND const bar = make_bar();
    RECT image_button{};
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&image_button));
    EXPECT_GE(image_button.right - image_button.left, 32) << "a 32-pixel image";
    EXPECT_EQ(SHGetMenuBarHeight(), 52);
    expect_like_expected(screen, "menu_bar_480x640");
}

// With the shell, whose input-panel button takes the bar's right 32 pixels (at scale 1).
class ShellMenuBarTest : public MenuBarTest, public testing::WithParamInterface<const char*> {
protected:
    ShellMenuBarTest() : MenuBarTest(GetParam(), true) {}
};

// The buttons of a crowded bar close up left of the input-panel button, each with its whole
// image or text, and the last one takes a tap.
TEST_P(ShellMenuBarTest, ButtonsThatWouldReachUnderTheInputPanelButtonCloseUpLeftOfIt) {
    HWND const bar = make_crowded_bar();
    int const input_panel_button_left = GetSystemMetrics(SM_CXSCREEN) - 32 * scale();
    for (int index = 0; index < crowded_count; ++index) {
        RECT item{};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        EXPECT_LE(item.right, input_panel_button_left) << index;
        if (index > 0) {
            EXPECT_GE(item.right - item.left, 16 * scale()) << index;
        }
    }
    expect_like_expected(screen, std::string("menu_bar_crowded_") + GetParam());
    tap(middle_of(bar, crowded_count - 1));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return has_command(crowded_id + crowded_count - 1); }));
    EXPECT_EQ(received(), (std::vector<std::pair<UINT, WPARAM>>{{WM_COMMAND, crowded_id + crowded_count - 1}}));
}

INSTANTIATE_TEST_SUITE_P(Screens, ShellMenuBarTest, testing::Values("240x320", "480x640"));

}  // namespace
