// Native menus built from item descriptions, and popup menus answered by a user on the
// device's screen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "native/menu_table.h"
#include "platform/menus.h"
#include "platform/messages.h"
#include "skin/native_menu.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenRect;
using skinner::MenuItemInfo;

MenuItemInfo item(std::u16string command, std::u16string text, std::uintptr_t id = 0) {
    MenuItemInfo info;
    info.command = std::move(command);
    info.text = std::move(text);
    info.id = id;
    return info;
}

// Open\tCtrl+O, a separator, Save (grayed, checked), More > (Alpha), Copy (id 5),
// Copy again (id 6, with a separator after it, but last).
std::vector<MenuItemInfo> sample_items() {
    MenuItemInfo open = item(u"open", u"Open", 1);
    open.shortcut = u"Ctrl+O";
    open.separator_after = true;
    MenuItemInfo save = item(u"save", u"Save", 2);
    save.enabled = false;
    save.checked = true;
    MenuItemInfo more = item(u"more", u"More", 3);
    more.children.push_back(item(u"alpha", u"Alpha", 4));
    MenuItemInfo copy = item(u"copy", u"Copy", 5);
    MenuItemInfo copy_again = item(u"copy", u"Copy again", 6);
    copy_again.separator_after = true;
    return {open, save, more, copy, copy_again};
}

TEST(NativeMenuTest, ItemsBecomeMenuEntriesWithTheirIndexAsCommandId) {
    HMENU const menu = CreatePopupMenu();
    skinner::MenuCommandList commands{u"", u"earlier"};
    skinner::MenuIdList ids{0, 99};
    skinner::append_menu_items(sample_items(), menu, commands, &ids);

    auto const entries = native::menu_items(menu);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 6u) << "no separator after the last item";
    struct Expected {
        UINT flags;
        UINT_PTR id;
        std::u16string text, shortcut;
    };
    std::vector<Expected> const expected = {
        {MF_STRING, 2, u"Open", u"Ctrl+O"},
        {MF_SEPARATOR, 0, u"", u""},
        {MF_GRAYED | MF_CHECKED, 3, u"Save", u""},
        {MF_POPUP, 0, u"More", u""},
        {MF_STRING, 4, u"Copy", u""},
        {MF_STRING, 5, u"Copy again", u""},
    };
    for (std::size_t index = 0; index < expected.size(); ++index) {
        auto const& entry = (*entries)[index];
        EXPECT_EQ(entry.flags & (MF_GRAYED | MF_CHECKED | MF_POPUP | MF_SEPARATOR), expected[index].flags) << index;
        if (!entry.is_submenu()) {
            EXPECT_EQ(entry.id, expected[index].id) << index;
        }
        EXPECT_EQ(entry.text, expected[index].text) << index;
        EXPECT_EQ(entry.shortcut, expected[index].shortcut) << index;
    }
    auto const submenu = native::menu_items((*entries)[3].submenu);
    ASSERT_TRUE(submenu) << "the submenu exists";
    EXPECT_TRUE(submenu->empty()) << "filled when it opens";

    EXPECT_EQ(commands, (skinner::MenuCommandList{u"", u"earlier", u"open", u"save", u"copy", u"copy"}));
    EXPECT_EQ(ids, (skinner::MenuIdList{0, 99, 1, 2, 5, 6}));

    skinner::MenuCommandList without_ids;
    skinner::append_menu_item(item(u"x", u"X"), menu, without_ids, nullptr, true);
    EXPECT_EQ(without_ids, (skinner::MenuCommandList{u"x"}));
    DestroyMenu(menu);
}

constexpr char menu_class[] = "sonbrix_popup_menu";
std::atomic<bool> menu_ended{false};

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

class PopupMenuFromItemsTest : public testing_support::DeviceTest {
public:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = owner_procedure;
        window_class.lpszClassName = u"ItemMenuOwner";
        RegisterClassW(&window_class);
        owner = CreateWindowExW(0, u"ItemMenuOwner", u"", WS_VISIBLE, owner_left, owner_top, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        SetForegroundWindow(owner);
    }
    void TearDown() override {
        DestroyWindow(owner);
        UnregisterClassW(u"ItemMenuOwner", nullptr);
    }

    // The open menu on the screen (waits for it).
    ScreenRect menu_on_screen() {
        for (int attempt = 0; attempt < 1000 && !menu_ended; ++attempt) {
            screen.wait_idle();
            for (auto const& window : screen.windows()) {
                if (window.class_name == menu_class && window.visible) return window.rect;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "no menu on the screen";
        return {};
    }
    // The middle of a row: rows of 20 pixels and separators of 7 at 96 dpi.
    static POINT row(const ScreenRect& menu, int index, int separators_above) {
        int const top = menu.top + 1 + (index - separators_above) * 20 + separators_above * 7;
        return {(menu.left + menu.right) / 2, top + 10};
    }
    void tap(POINT point) { EXPECT_TRUE(screen.control().tap(point.x, point.y)); }
    void press(std::uint32_t vk) { EXPECT_TRUE(screen.control().press(vk)); }

    // Tracks the sample menu on this thread while `user` acts on the screen from another.
    std::u16string track(skinner::MenuAlignment alignment, std::uintptr_t& id,
                         const std::function<void(const ScreenRect&)>& user, skinner::Point point = {20, 30}) {
        menu_ended = false;
        std::thread user_thread([&] {
            user(menu_on_screen());
            for (int wait = 0; wait < 1000 && !menu_ended; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (menu_ended) return;
            ADD_FAILURE() << "the menu stayed open";
            press(VK_ESCAPE);
            press(VK_ESCAPE);
        });
        id = 77;
        std::u16string const chosen = skinner::track_popup_menu(owner, sample_items(), point, alignment, &id);
        menu_ended = true;
        user_thread.join();
        return chosen;
    }

    static constexpr int owner_left = 10, owner_top = 40;
    testing_support::TestScreen screen;
    HWND owner = nullptr;
};

TEST_F(PopupMenuFromItemsTest, TheChosenItemGivesItsCommandAndId) {
    struct Case {
        const char* name;
        std::function<void(PopupMenuFromItemsTest&, const ScreenRect&)> act;
        std::u16string command;
        std::uintptr_t id;
    };
    std::vector<Case> const cases = {
        {"the first item", [](auto& t, const ScreenRect& menu) { t.tap(row(menu, 0, 0)); }, u"open", 1},
        {"equal commands: the first", [](auto& t, const ScreenRect& menu) { t.tap(row(menu, 4, 1)); }, u"copy", 5},
        {"equal commands: the second", [](auto& t, const ScreenRect& menu) { t.tap(row(menu, 5, 1)); }, u"copy", 6},
        {"dismissed", [](auto& t, const ScreenRect&) { t.press(VK_ESCAPE); }, u"", 0},
        {"a disabled item does nothing",
         [](auto& t, const ScreenRect& menu) {
             t.tap(row(menu, 2, 1));
             t.screen.wait_idle();
             t.press(VK_ESCAPE);
         },
         u"", 0},
    };
    for (auto const& c : cases) {
        std::uintptr_t id = 0;
        EXPECT_EQ(track({}, id, [&](const ScreenRect& menu) { c.act(*this, menu); }), c.command) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
}

TEST_F(PopupMenuFromItemsTest, TheMenuIsPlacedAtTheOwnersPointByTheAlignment) {
    struct Case {
        skinner::MenuAlignment alignment;
        skinner::Point point;  // in the owner, which starts at (owner_left, owner_top)
        std::function<void(const ScreenRect&, int x, int y)> check;
    };
    std::vector<Case> const cases = {
        {{0, 0}, {20, 30}, [](const ScreenRect& r, int x, int y) { EXPECT_EQ(r.left, x); EXPECT_EQ(r.top, y); }},
        {{2, 2}, {190, 190}, [](const ScreenRect& r, int x, int y) { EXPECT_EQ(r.right, x); EXPECT_EQ(r.bottom, y); }},
        {{1, 1}, {100, 100},
         [](const ScreenRect& r, int x, int y) {
             EXPECT_LE(std::abs((r.left + r.right) / 2 - x), 1);
             EXPECT_LE(std::abs((r.top + r.bottom) / 2 - y), 1);
         }},
    };
    for (auto const& c : cases) {
        std::uintptr_t id = 0;
        track(c.alignment, id, [&](const ScreenRect& menu) {
            c.check(menu, owner_left + c.point.x, owner_top + c.point.y);
            press(VK_ESCAPE);
        }, c.point);
    }
}

}  // namespace
