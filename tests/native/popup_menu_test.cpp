// Popup menus on the device's screen, driven by the screen's stylus and keys while the menu
// runs its own loop on the test's thread.
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
#include "platform/menus.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "tests/support/message_loop.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenRect;
using platform::screen::ScreenWindow;

constexpr char menu_class[] = "sonbrix_popup_menu";
constexpr UINT_PTR open_id = 11, save_id = 12, alpha_id = 21, beta_id = 22, gamma_id = 31;

std::atomic<int> ticks{0};
// Set once the menu's loop has ended, so the user stops looking for it.
std::atomic<bool> menu_ended{false};
std::vector<MSG> owner_messages;

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER) ++ticks;
    if (message == WM_COMMAND || message == WM_INITMENUPOPUP) owner_messages.push_back(MSG{window, message, wparam, lparam, 0, {}});
    return DefWindowProcW(window, message, wparam, lparam);
}

// Open\tCtrl+O, Save (grayed), a separator, More > (Alpha, Beta (checked), Deep > (Gamma)).
struct MenuFixture {
    HMENU root = CreatePopupMenu();
    HMENU more = CreatePopupMenu();
    HMENU deep = CreatePopupMenu();
    MenuFixture() {
        AppendMenuW(deep, MF_STRING, gamma_id, u"Gamma");
        AppendMenuW(more, MF_STRING, alpha_id, u"Alpha");
        AppendMenuW(more, MF_STRING | MF_CHECKED, beta_id, u"Beta");
        AppendMenuW(more, MF_POPUP, reinterpret_cast<UINT_PTR>(deep), u"Deep");
        AppendMenuW(root, MF_STRING, open_id, u"Open\tCtrl+O");
        AppendMenuW(root, MF_STRING | MF_GRAYED, save_id, u"Save");
        AppendMenuW(root, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(root, MF_POPUP, reinterpret_cast<UINT_PTR>(more), u"More");
    }
    ~MenuFixture() { DestroyMenu(root); }
};

// What the test's second thread does while the menu is open: it sees the screen as a user
// does, and acts on it.
class User {
public:
    explicit User(testing_support::TestScreen& screen) : screen_(screen) {}

    // The open menu windows, the first opened first; waits until there are `count`.
    std::vector<ScreenRect> menus(std::size_t count) {
        for (int attempt = 0; attempt < 1000 && !menu_ended; ++attempt) {
            screen_.wait_idle();
            std::vector<ScreenRect> found;
            for (auto const& window : screen_.windows()) {
                if (window.class_name == menu_class && window.visible) found.insert(found.begin(), window.rect);
            }
            if (found.size() == count) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "no " << count << " menus on the screen";
        return std::vector<ScreenRect>(count);
    }
    int scale() { return screen_.control().metrics().dpi >= 192 ? 2 : 1; }
    // The middle of a row of the menu (rows of 20 pixels, separators of 7, at 96 dpi).
    POINT row(const ScreenRect& menu, int index, int separators_above = 0) {
        int const top = menu.top + 1 + ((index - separators_above) * 20 + separators_above * 7) * scale();
        return {(menu.left + menu.right) / 2, top + 10 * scale()};
    }
    void tap(POINT point) { EXPECT_TRUE(screen_.control().tap(point.x, point.y)); }
    void press(std::uint32_t vk) { EXPECT_TRUE(screen_.control().press(vk)); }
    testing_support::TestScreen& screen() { return screen_; }

private:
    testing_support::TestScreen& screen_;
};

class PopupMenuTest : public testing_support::DeviceTest {
protected:
    explicit PopupMenuTest(const char* size = "240x320") : screen(size) {}
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        ticks = 0;
        owner_messages.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = owner_procedure;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"MenuOwner";
        RegisterClassW(&window_class);
        owner_ = CreateWindowExW(0, u"MenuOwner", u"", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        SetForegroundWindow(owner_);
        SetTimer(owner_, 1, 10, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner_);
        UnregisterClassW(u"MenuOwner", nullptr);
        DeleteObject(brush_);
    }

    // Runs the menu on this thread while `act` plays the user on another.
    UINT_PTR track(HMENU menu, UINT flags, int x, int y, const std::function<void(User&)>& act) {
        menu_ended = false;
        std::thread user_thread([&] {
            User user(screen);
            act(user);
            // A guard against a hanging test: a menu still open long after is closed.
            for (int wait = 0; wait < 1000 && !menu_ended; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (menu_ended) return;
            ADD_FAILURE() << "the menu stayed open";
            for (int level = 0; level < 3; ++level) user.press(VK_ESCAPE);
        });
        BOOL const answer = TrackPopupMenuEx(menu, flags, x, y, owner_, nullptr);
        menu_ended = true;
        user_thread.join();
        return static_cast<UINT_PTR>(answer);
    }

    testing_support::TestScreen screen;
    HBRUSH brush_ = CreateSolidBrush(RGB(0, 128, 0));
    HWND owner_ = nullptr;
};

struct ChoiceCase {
    const char* name;
    std::function<void(User&)> act;
    UINT_PTR chosen;
};

TEST_F(PopupMenuTest, AUserChoosesANestedItemOrDismissesTheMenu) {
    std::vector<ChoiceCase> const cases = {
        {"stylus through two submenus",
         [](User& user) {
             user.tap(user.row(user.menus(1)[0], 3, 1));
             user.tap(user.row(user.menus(2)[1], 2));
             user.tap(user.row(user.menus(3)[2], 0));
         },
         gamma_id},
        {"keys through two submenus",
         [](User& user) {
             user.menus(1);
             for (auto vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) user.press(vk);
             user.menus(2);
             for (auto vk : {VK_DOWN, VK_DOWN, VK_RIGHT}) user.press(vk);
             user.menus(3);
             user.press(VK_RETURN);
         },
         gamma_id},
        {"up wraps past the first item, return chooses",
         [](User& user) {
             user.menus(1);
             for (auto vk : {VK_DOWN, VK_UP, VK_DOWN, VK_RETURN}) user.press(vk);
         },
         open_id},
        {"a tap outside dismisses", [](User& user) { user.menus(1); user.tap({230, 310}); }, 0},
        {"a grayed item is not chosen",
         [](User& user) {
             user.tap(user.row(user.menus(1)[0], 1));
             user.tap(user.row(user.menus(1)[0], 2, 1));  // the separator's row: nothing either
             user.menus(1);
             user.press(VK_ESCAPE);
         },
         0},
        {"grayed by keys is not chosen",
         [](User& user) {
             user.menus(1);
             for (auto vk : {VK_DOWN, VK_DOWN, VK_RETURN}) user.press(vk);
             user.menus(1);
             user.press(VK_ESCAPE);
         },
         0},
        {"escape closes a submenu, then the menu",
         [](User& user) {
             user.tap(user.row(user.menus(1)[0], 3, 1));
             user.menus(2);
             user.press(VK_ESCAPE);
             user.menus(1);
             user.press(VK_ESCAPE);
         },
         0},
        {"left closes a submenu, a tap on the menu then chooses",
         [](User& user) {
             user.tap(user.row(user.menus(1)[0], 3, 1));
             user.menus(2);
             user.press(VK_LEFT);
             user.tap(user.row(user.menus(1)[0], 0));
         },
         open_id},
        {"timers of other windows keep ticking while it is open",
         [](User& user) {
             user.menus(1);
             for (int wait = 0; wait < 1000 && ticks < 3; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
             EXPECT_GE(ticks.load(), 3);
             user.press(VK_ESCAPE);
         },
         0},
    };
    for (auto const& c : cases) {
        MenuFixture menu;
        EXPECT_EQ(track(menu.root, TPM_RETURNCMD, 20, 20, c.act), c.chosen) << c.name;
        EXPECT_TRUE(testing_support::pump_messages_until([&] {
            for (auto const& window : screen.windows()) if (window.class_name == menu_class) return false;
            return true;
        })) << c.name << ": left open";
    }
}

TEST_F(PopupMenuTest, WithoutReturnCommandTheOwnerGetsTheChoiceAsACommand) {
    MenuFixture menu;
    EXPECT_EQ(track(menu.root, 0, 20, 20, [](User& user) { user.tap(user.row(user.menus(1)[0], 0)); }), 1u);
    ASSERT_TRUE(testing_support::pump_messages_until([] {
        for (auto const& m : owner_messages) if (m.message == WM_COMMAND) return true;
        return false;
    }));
    auto const command = std::find_if(owner_messages.begin(), owner_messages.end(), [](const MSG& m) { return m.message == WM_COMMAND; });
    EXPECT_EQ(command->wParam, open_id);
    EXPECT_EQ(owner_messages.front().message, static_cast<UINT>(WM_INITMENUPOPUP));
    EXPECT_EQ(owner_messages.front().wParam, reinterpret_cast<WPARAM>(menu.root));
}

class LargePopupMenuTest : public PopupMenuTest {
protected:
    LargePopupMenuTest() : PopupMenuTest("480x640") {}
};

void expect_drawn(HMENU menu_root, const char* look, const std::function<UINT_PTR(HMENU, const std::function<void(User&)>&)>& track_it) {
    track_it(menu_root, [look](User& user) {
        ScreenRect const root = user.menus(1)[0];
        user.press(VK_DOWN);
        user.screen().wait_idle();
        auto const picture = user.screen().screenshot();
        POINT const selected = user.row(root, 0);
        POINT const plain = user.row(root, 3, 1);
        EXPECT_EQ(picture.at(root.left, root.top), 0xFF000000u) << "frame";
        EXPECT_EQ(picture.at(root.right - 1, root.bottom - 1), 0xFF000000u) << "frame";
        EXPECT_EQ(picture.at(root.left + 2, selected.y), 0xFF000080u) << "selected row";
        EXPECT_EQ(picture.at(root.left + 2, plain.y), 0xFFFFFFFFu) << "plain row";
        EXPECT_EQ(picture.at(root.right + 5, root.top + 5), 0xFF008000u) << "the owner beside it";
        EXPECT_EQ(testing_support::compare_with_expected(picture, SONBRIX_NATIVE_EXPECTED, look), "");
        user.press(VK_ESCAPE);
    });
}

TEST_F(PopupMenuTest, TheOpenMenuIsDrawnFramedWithItsSelectedItemHighlighted) {
    MenuFixture menu;
    expect_drawn(menu.root, "popup_menu_240x320", [&](HMENU m, const std::function<void(User&)>& act) { return track(m, TPM_RETURNCMD, 20, 20, act); });
}

TEST_F(LargePopupMenuTest, TheOpenMenuIsDrawnFramedWithItsSelectedItemHighlighted) {
    MenuFixture menu;
    expect_drawn(menu.root, "popup_menu_480x640", [&](HMENU m, const std::function<void(User&)>& act) { return track(m, TPM_RETURNCMD, 20, 20, act); });
}

struct PlaceCase {
    UINT flags;
    int x, y;
    std::function<void(const ScreenRect&)> check;
};

TEST_F(PopupMenuTest, TheMenuIsPlacedByItsAlignmentAndKeptOnTheScreen) {
    std::vector<PlaceCase> const cases = {
        {TPM_LEFTALIGN | TPM_TOPALIGN, 30, 40, [](const ScreenRect& r) { EXPECT_EQ(r.left, 30); EXPECT_EQ(r.top, 40); }},
        {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 200, 300, [](const ScreenRect& r) { EXPECT_EQ(r.right, 200); EXPECT_EQ(r.bottom, 300); }},
        {TPM_CENTERALIGN | TPM_VCENTERALIGN, 120, 160,
         [](const ScreenRect& r) { EXPECT_LE(std::abs((r.left + r.right) / 2 - 120), 1); EXPECT_LE(std::abs((r.top + r.bottom) / 2 - 160), 1); }},
        {TPM_LEFTALIGN | TPM_TOPALIGN, 235, 315, [](const ScreenRect& r) { EXPECT_EQ(r.right, 240); EXPECT_EQ(r.bottom, 320); }},
        {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 5, 5, [](const ScreenRect& r) { EXPECT_EQ(r.left, 0); EXPECT_EQ(r.top, 0); }},
    };
    for (auto const& c : cases) {
        MenuFixture menu;
        track(menu.root, c.flags | TPM_RETURNCMD, c.x, c.y, [&](User& user) {
            c.check(user.menus(1)[0]);
            user.press(VK_ESCAPE);
        });
    }
}

TEST_F(PopupMenuTest, ASubmenuWithoutRoomOnTheRightOpensOnTheLeft) {
    MenuFixture menu;
    track(menu.root, TPM_RETURNCMD | TPM_RIGHTALIGN, 240, 20, [](User& user) {
        ScreenRect const root = user.menus(1)[0];
        user.tap(user.row(root, 3, 1));
        ScreenRect const sub = user.menus(2)[1];
        EXPECT_LT(sub.left, root.left);
        EXPECT_GE(sub.left, 0);
        user.press(VK_ESCAPE);
        user.press(VK_ESCAPE);
    });
}

TEST(PopupMenuTable, WrongHandlesAndItemsFailWithTheirErrors) {
    HMENU const menu = CreatePopupMenu();
    HMENU const sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 5, u"Five"));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub"));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 6, u"Six"));

    struct Case {
        const char* name;
        std::function<BOOL()> call;
        DWORD error;
    };
    HMENU const bogus = reinterpret_cast<HMENU>(0x1234);
    std::vector<Case> const cases = {
        {"append to no menu", [&] { return AppendMenuW(bogus, MF_STRING, 1, u"x"); }, ERROR_INVALID_HANDLE},
        {"append no submenu", [&] { return AppendMenuW(menu, MF_POPUP, 0x1234, u"x"); }, ERROR_INVALID_HANDLE},
        {"append a menu to itself", [&] { return AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), u"x"); }, ERROR_INVALID_HANDLE},
        {"delete from no menu", [&] { return DeleteMenu(bogus, 0, MF_BYPOSITION); }, ERROR_INVALID_HANDLE},
        {"delete no such command", [&] { return DeleteMenu(menu, 77, MF_BYCOMMAND); }, ERROR_MENU_ITEM_NOT_FOUND},
        {"delete past the end", [&] { return DeleteMenu(menu, 3, MF_BYPOSITION); }, ERROR_MENU_ITEM_NOT_FOUND},
        {"destroy no menu", [&] { return DestroyMenu(bogus); }, ERROR_INVALID_HANDLE},
        {"track no menu", [&] { return TrackPopupMenuEx(bogus, TPM_RETURNCMD, 0, 0, nullptr, nullptr); }, ERROR_INVALID_HANDLE},
    };
    for (auto const& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }

    EXPECT_TRUE(DeleteMenu(menu, 6, MF_BYCOMMAND));
    EXPECT_TRUE(DeleteMenu(menu, 1, MF_BYPOSITION)) << "the submenu";
    EXPECT_FALSE(DestroyMenu(sub)) << "a deleted submenu is destroyed with its item";
    // Deleting position 0 until it fails empties the menu, as the menu bar does.
    EXPECT_TRUE(DeleteMenu(menu, 0, MF_BYPOSITION));
    EXPECT_FALSE(DeleteMenu(menu, 0, MF_BYPOSITION));
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
}

TEST(PopupMenuTable, DestroyingAMenuDestroysItsSubmenus) {
    MenuFixture* menu = new MenuFixture;
    HMENU const deep = menu->deep;
    delete menu;
    EXPECT_FALSE(DestroyMenu(deep));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
