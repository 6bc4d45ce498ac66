// The menu bar of a form on the device's screen: its buttons come from the form's menu
// buttons in z-order, follow their visibility, open submenus filled anew each time and send
// their commands back to the controls, driven by taps on the bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/menu_bar.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/form_impl.h"
#include "skin/menu_item_info.h"
#include "skin/menu_main_button.h"
#include "skin/menu_manager_impl.h"
#include "tests/skin/form_fixture.h"
#include "tests/support/eventually.h"

namespace form_test {
namespace {

constexpr char popup_class[] = "sonbrix_popup_menu";

// A submenu whose children are decided when its popup opens: "pick<n>.<i>" for the n-th opening.
class CountingSubMenu : public skinner::MenuMainSubMenu {
public:
    using MenuMainSubMenu::MenuMainSubMenu;
    void on_menu_create(skinner::MenuItemInfo& menu) override {
        ++openings;
        for (int i = 0; i < openings; ++i) {
            skinner::MenuItemInfo child;
            child.command = u"pick" + std::u16string(1, char16_t(u'0' + openings)) + u"." +
                            std::u16string(1, char16_t(u'0' + i));
            child.text = child.command;
            menu.children.push_back(child);
        }
    }
    int openings = 0;
};

std::string skin_forms() {
    std::string controls;
    for (auto const* name : {"first", "second", "more", "icon"}) controls += control_xml(name, 0, 0, 0, 0);
    return form_xml("Menus", 240, 200, controls);
}

class MenuBarFormTest : public FormTest {
protected:
    MenuBarFormTest() = default;
    explicit MenuBarFormTest(const char* size) : FormTest(size) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        use_skin(skin_forms());
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Menus", log);
        SetForegroundWindow(form->get_window());
    }
    void TearDown() override {
        buttons.clear();
        form.reset();
    }

    template <class Button = skinner::MenuMainButton>
    Button* add(const std::u16string& name, const std::u16string& caption, int z_order) {
        auto button = std::make_unique<Button>(form.get(), name, caption, z_order);
        Button* const raw = button.get();
        buttons.push_back(std::move(button));
        return raw;
    }

    skinner::MenuManagerImplPocket* manager() {
        return dynamic_cast<skinner::MenuManagerImplPocket*>(form->get_impl()->get_menu_manager());
    }
    // Paints the form, which brings the bar up to date.
    HWND bar() {
        form->invalidate_rect({0, 0}, {1, 1});
        painted();
        return manager()->get_bar();
    }

    // The bar's buttons: their texts, "|" for a separator.
    std::vector<std::u16string> bar_texts() {
        HWND const window = bar();
        std::vector<std::u16string> texts;
        auto const count = SendMessageW(window, TB_BUTTONCOUNT, 0, 0);
        for (LRESULT index = 0; index < count; ++index) {
            TBBUTTON button{};
            SendMessageW(window, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
            if (button.fsStyle & TBSTYLE_SEP) {
                texts.push_back(u"|");
                continue;
            }
            WCHAR text[64] = {};
            TBBUTTONINFOW info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_TEXT;
            info.pszText = text;
            info.cchText = 64;
            SendMessageW(window, TB_GETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&info));
            texts.emplace_back(text);
        }
        return texts;
    }

    TBBUTTON button_at(int index) {
        TBBUTTON button{};
        SendMessageW(bar(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        return button;
    }

    POINT middle_of(int index) {
        HWND const window = bar();
        RECT item{}, place{};
        SendMessageW(window, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        GetWindowRect(window, &place);
        return {place.left + (item.left + item.right) / 2, place.top + (item.top + item.bottom) / 2};
    }

    bool logged(const std::string& line) {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    // Opens the drop-down button's popup by a tap and taps its row of the given count.
    void choose(int index, int row, int rows) {
        POINT const button = middle_of(index);
        std::thread user([&] {
            EXPECT_TRUE(screen.control().tap(button.x, button.y));
            platform::screen::ScreenRect menu{};
            EXPECT_TRUE(testing_support::eventually([&] {
                for (auto const& window : screen.windows()) {
                    if (window.class_name == popup_class && window.visible) {
                        menu = window.rect;
                        return true;
                    }
                }
                return false;
            }));
            int const height = (menu.bottom - menu.top) / rows;
            EXPECT_TRUE(screen.control().tap((menu.left + menu.right) / 2, menu.top + row * height + height / 2));
        });
        EXPECT_TRUE(pump_until([&] { return !log.empty(); }));
        user.join();
    }

    std::unique_ptr<TestForm> form;
    std::vector<std::unique_ptr<skinner::MenuMainButton>> buttons;
};

TEST_F(MenuBarFormTest, ButtonsStandInZOrderAndHiddenOnesLeaveAndComeBack) {
    auto* const second = add(u"second", u"&Second", 2);
    auto* const first = add(u"first", u"First", 1);
    add<CountingSubMenu>(u"more", u"More", 3);
    first->set_separator_after(true);
    EXPECT_EQ(bar_texts(), (std::vector<std::u16string>{u"First", u"|", u"Second", u"More"}));

    second->set_visible(false);
    EXPECT_EQ(bar_texts(), (std::vector<std::u16string>{u"First", u"|", u"More"}));
    second->set_visible(true);
    EXPECT_EQ(bar_texts(), (std::vector<std::u16string>{u"First", u"|", u"Second", u"More"}));

    first->set_enabled(false);
    EXPECT_EQ(button_at(0).fsState & TBSTATE_ENABLED, 0) << "a disabled button";
}

TEST_F(MenuBarFormTest, ATapSendsTheCommandToItsControl) {
    add(u"first", u"First", 1);
    add(u"second", u"Second", 2);
    bar();
    POINT const second = middle_of(1);
    ASSERT_TRUE(screen.control().tap(second.x, second.y));
    EXPECT_TRUE(pump_until([&] { return logged("command second"); }));
    EXPECT_EQ(log, (Log{"command second"}));
}

TEST_F(MenuBarFormTest, CommandsOfNoItemOrOfAGoneControlAreIgnored) {
    add(u"first", u"First", 1);
    add(u"second", u"Second", 2);
    HWND const window = bar();
    int const second_id = button_at(1).idCommand;
    ASSERT_GE(second_id, skinner::MenuManagerImplPocket::first_item_id);

    struct Case {
        const char* name;
        std::function<void()> before;
        int id;
    };
    std::vector<Case> const cases = {
        {"an id below the items", [] {}, 5},
        {"an id past the list", [] {}, second_id + 50},
        {"the id of a control destroyed before the bar was rebuilt", [&] { buttons.pop_back(); }, second_id},
    };
    for (auto const& c : cases) {
        c.before();
        SendMessageW(form->get_window(), WM_COMMAND, static_cast<WPARAM>(c.id), reinterpret_cast<LPARAM>(window));
        EXPECT_TRUE(log.empty()) << c.name;
    }
    EXPECT_EQ(bar_texts(), (std::vector<std::u16string>{u"First"})) << "the next paint rebuilt the bar";
}

TEST_F(MenuBarFormTest, ASubmenuIsFilledAnewAtEveryOpening) {
    add(u"first", u"First", 1);
    auto* const more = add<CountingSubMenu>(u"more", u"More", 2);
    bar();
    choose(1, 0, 1);
    EXPECT_EQ(log, (Log{"command pick1.0"}));
    log.clear();
    choose(1, 1, 2);
    EXPECT_EQ(log, (Log{"command pick2.1"})) << "the second opening has two children";
    EXPECT_EQ(more->openings, 2);
}

struct Density {
    const char* screen;
    int image_size;
};

class MenuBarDensityTest : public MenuBarFormTest, public testing::WithParamInterface<Density> {
protected:
    MenuBarDensityTest() : MenuBarFormTest(GetParam().screen) {}
};

TEST_P(MenuBarDensityTest, TheStripOfTheScreensDensityGivesTheImages) {
    auto* const icon = add(u"icon", u"", 1);
    icon->set_image_index(1);
    auto* const beyond = add(u"second", u"Beyond", 2);
    beyond->set_image_index(1000);
    bar();
    EXPECT_GE(button_at(0).iBitmap, 0);
    EXPECT_EQ(button_at(1).iBitmap, I_IMAGENONE) << "an image past the strip gives a text-only button";
    HWND const window = bar();
    RECT item{};
    SendMessageW(window, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    int const width = item.right - item.left;
    EXPECT_GE(width, GetParam().image_size);
    EXPECT_LT(width, GetParam().image_size * 2);
}

INSTANTIATE_TEST_SUITE_P(Screens, MenuBarDensityTest,
                         testing::Values(Density{"240x320", 16}, Density{"480x640", 32}));

}  // namespace
}  // namespace form_test
