// The edit field's context menu on the device's screen: which items it offers for the
// field's state, and what the chosen one does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "native/menu_table.h"
#include "skin/control_subclass.h"
#include "skin/font_ref.h"
#include "tests/skin/edit_fixture.h"

namespace edit_test {
namespace {

using platform::screen::ScreenRect;

constexpr char menu_class[] = "sonbrix_popup_menu";
const std::string password = "<string name=\"PasswordChar\" value=\"*\"/>";
const std::string readonly = "<integer name=\"Readonly\" value=\"1\"/>";

// Notes whether each item of the menu is enabled as the menu opens.
class MenuWatch : public skinner::ControlSubclass {
public:
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override {
        if (message == WM_INITMENUPOPUP) {
            enabled.clear();
            if (auto const items = native::menu_items(reinterpret_cast<HMENU>(wparam))) {
                for (auto const& item : *items) {
                    if (!item.is_separator()) enabled.push_back(item.is_enabled());
                }
            }
        }
        return ControlSubclass::on_message(message, wparam, lparam, pass_on);
    }
    std::vector<bool> enabled;
};

class EditMenuTest : public EditTest {
protected:
    // Runs `open` on this thread, which shows the menu, while `user` acts on the screen from
    // another thread, given the open menu's rectangle.
    void with_menu(const std::function<void()>& open, const std::function<void(const ScreenRect&)>& user) {
        ended = false;
        std::thread user_thread([&] {
            user(menu_on_screen());
            for (int wait = 0; wait < 1000 && !ended; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (ended) return;
            ADD_FAILURE() << "the menu stayed open";
            press(VK_ESCAPE);
        });
        open();
        ended = true;
        user_thread.join();
    }
    ScreenRect menu_on_screen() {
        for (int attempt = 0; attempt < 1000 && !ended; ++attempt) {
            screen.wait_idle();
            for (auto const& window : screen.windows()) {
                if (window.class_name == menu_class && window.visible) return window.rect;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "no menu on the screen";
        return {};
    }
    // The middle of an item's row: rows of 20 pixels and one separator of 7 before the last.
    static POINT row(const ScreenRect& menu, int index) {
        int const top = menu.top + 1 + index * 20 + (index == 4 ? 7 : 0);
        return {(menu.left + menu.right) / 2, top + 10};
    }
    void tap(POINT point) { EXPECT_TRUE(screen.control().tap(point.x, point.y)); }
    void press(UINT vk) { EXPECT_TRUE(screen.control().press(vk)); }

    std::atomic<bool> ended{false};
};

enum Item { cut, copy, paste, erase, select_all, dismiss = -1 };

TEST_F(EditMenuTest, TheItemsFollowTheFieldsStateAndDoWhatTheySay) {
    struct Case {
        const char* name;
        const std::string& records;
        const char* before;
        std::vector<bool> enabled;  // Cut, Copy, Paste, Delete, Select All
        int chosen;
        const char* after;
        std::u16string clipboard;  // before: "xy"
    };
    std::string const none;
    std::vector<Case> const cases = {
        {"Cut", none, "a^bc|d", {true, true, true, true, true}, cut, "a|d", u"bc"},
        {"Copy a right-to-left selection", none, "a|bc^d", {true, true, true, true, true}, copy, "a|bc^d", u"bc"},
        {"Paste over the selection", none, "a^bc|d", {true, true, true, true, true}, paste, "axy|d", u"xy"},
        {"Delete", none, "a^bc|d", {true, true, true, true, true}, erase, "a|d", u"xy"},
        {"Select All without a selection", none, "ab|cd", {false, false, true, false, true}, select_all, "^abcd|", u"xy"},
        {"all selected", none, "^abcd|", {true, true, true, true, false}, dismiss, "^abcd|", u"xy"},
        {"an empty field", none, "|", {false, false, true, false, false}, paste, "xy|", u"xy"},
        {"password: a disabled Copy does nothing", password, "a^bc|d", {false, false, true, true, true}, copy,
         "a^bc|d", u"xy"},
        {"read-only: a disabled Cut does nothing", readonly, "a^bc|d", {false, true, false, false, true}, cut,
         "a^bc|d", u"xy"},
        {"read-only: Copy", readonly, "a^bc|d", {false, true, false, false, true}, copy, "a^bc|d", u"bc"},
    };
    for (auto const& c : cases) {
        make_edit(c.records);
        focus();
        set(c.before);
        put_clipboard(unicode_bytes(u"xy"));
        MenuWatch watch;
        watch.install(form->get_window());
        with_menu([&] { edit->on_button2_up({60, 20}, 0); },
                  [&](const ScreenRect& menu) {
                      if (c.chosen != dismiss) tap(row(menu, c.chosen));
                      bool const enabled = c.chosen != dismiss && c.enabled[static_cast<std::size_t>(c.chosen)];
                      if (!enabled) {
                          screen.wait_idle();
                          press(VK_ESCAPE);
                      }
                  });
        EXPECT_EQ(watch.enabled, c.enabled) << c.name;
        EXPECT_EQ(state(), c.after) << c.name;
        EXPECT_EQ(clipboard_bytes(), unicode_bytes(c.clipboard)) << c.name;
    }
}

TEST_F(EditMenuTest, TheMenuOpensAtTheStylusOrAtTheCaret) {
    make_edit();
    focus();
    set("ab|cd");
    POINT origin{0, 0};
    ClientToScreen(form->get_window(), &origin);
    ScreenRect at_stylus{}, at_caret{};
    with_menu([&] { edit->on_button2_up({60, 20}, 0); },
              [&](const ScreenRect& menu) {
                  at_stylus = menu;
                  press(VK_ESCAPE);
              });
    EXPECT_EQ(at_stylus.left, origin.x + 60);
    EXPECT_EQ(at_stylus.top, origin.y + 20);

    with_menu([&] { EXPECT_TRUE(edit->on_keydown(skinner::KEY_APPS)); },
              [&](const ScreenRect& menu) {
                  at_caret = menu;
                  press(VK_ESCAPE);
              });
    skinner::FontRef font;
    font.set_description(u"12 0 0 0 Tahoma");
    EXPECT_EQ(at_caret.left, origin.x + 10 + 4 + font.measure_text(u"ab").cx);
    EXPECT_EQ(at_caret.top, origin.y + 10 + 3 + (24 - 3 - 3) / 2) << "the middle of the text box";
    EXPECT_EQ(state(), "ab|cd");
}

}  // namespace
}  // namespace edit_test
