// The soft-key menus gathered from a form's menu items, and buttons as those items.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/button.h"
#include "skin/button_impl_soft_keys.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "skin/soft_key_lists.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/test_device.h"

namespace {

using skinner::MenuItemInfo;
using skinner::MenuManager;
using skinner::SoftKey;

// An item of a form's menus, standing alone.
class FakeItem : public MenuManager::Item {
public:
    FakeItem(std::u16string command, std::u16string tag, bool submenu = false, std::uintptr_t receiver = 0)
        : command_(std::move(command)), tag_(std::move(tag)), submenu_(submenu), receiver_(receiver) {}
    void make_menu_entry(MenuItemInfo& entry) override {
        entry.command = command_;
        entry.text = u"T:" + command_;
        entry.id = receiver_;
    }
    bool is_submenu() override { return submenu_; }
    std::u16string get_text() override { return tag_; }
    std::int32_t get_command_id() override { return 0; }

private:
    std::u16string command_, tag_;
    bool submenu_;
    std::uintptr_t receiver_;
};

std::u16string untranslated(const std::u16string&, const std::u16string& default_text) { return default_text; }

std::vector<std::u16string> commands_of(const MenuItemInfo& entry) {
    std::vector<std::u16string> commands;
    for (auto const& child : entry.children) commands.push_back(child.command);
    return commands;
}

TEST(SoftKeyListsTest, ItemsGoToTheirKeyByTag) {
    FakeItem ok1(u"ok1", skinner::soft_key_tag_ok), ok2(u"ok2", skinner::soft_key_tag_ok);
    FakeItem tab(u"tab", skinner::soft_key_tag_tab), menu(u"menu", skinner::soft_key_tag_menu);
    FakeItem plain1(u"plain1", u"btnPlain1"), plain2(u"plain2", u"");
    std::vector<MenuManager::Item*> const items = {&tab, &ok1, &menu, &plain1, &ok2, &plain2};

    struct Case {
        const char* name;
        std::vector<MenuManager::Item*> items;
        SoftKey key;
        std::u16string command, text;
        std::vector<std::u16string> children;
    };
    std::vector<Case> const cases = {
        {"left: the ok items, with the default text", items, SoftKey::left, u"#FakeId#", u"Action", {u"ok1", u"ok2"}},
        {"right: untagged, then menu, then tab", items, SoftKey::right, u"#FakeId#", u"Menu",
         {u"plain1", u"plain2", u"menu", u"tab"}},
        {"a single item stands for the key", {&ok1, &plain1}, SoftKey::left, u"ok1", u"T:ok1", {}},
        {"no items: no text, no children", {&plain1}, SoftKey::left, u"#FakeId#", u"", {}},
    };
    for (auto const& c : cases) {
        MenuItemInfo const key = skinner::build_soft_key(c.items, c.key, untranslated);
        EXPECT_EQ(key.command, c.command) << c.name;
        EXPECT_EQ(key.text, c.text) << c.name;
        EXPECT_EQ(commands_of(key), c.children) << c.name;
    }

    auto const translated = [](const std::u16string& key, const std::u16string&) { return u"[" + key + u"]"; };
    EXPECT_EQ(skinner::build_soft_key(items, SoftKey::left, translated).text, u"[menuSoftButtonOk]");
    EXPECT_EQ(skinner::build_soft_key(items, SoftKey::right, translated, u"#FakeIdSoft2#").text, u"[menuSoftButtonMenu]");
    EXPECT_EQ(skinner::build_soft_key(items, SoftKey::right, translated, u"#FakeIdSoft2#").command, u"#FakeIdSoft2#");
}

// The control of a submenu item decides its children when the menu is built.
class SubmenuForm : public skinner::Form {
public:
    explicit SubmenuForm(skinner::Properties* properties) : Form(nullptr, properties, u"Soft", nullptr) {}
    void on_menu_create(MenuItemInfo& menu) override {
        MenuItemInfo first, second;
        first.command = u"first";
        first.text = u"First";
        second.command = u"second";
        second.id = 99;  // a child that names its own receiver keeps it
        menu.children = {first, second};
    }
};

class SoftKeyFormTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        properties = std::make_unique<skinner::Properties>(skin_test::load(skin_test::compile(
            "<screens><screen width=\"240\" height=\"320\"/></screens>"
            "<form name=\"Soft\"><point name=\"Size\" x=\"240\" y=\"100\"/>"
            "<control name=\"btnOne\"><integer name=\"ZOrder\" value=\"2\"/><string name=\"Text\" value=\"One\"/></control>"
            "<control name=\"btnTwo\"><integer name=\"ZOrder\" value=\"1\"/><string name=\"Text\" value=\"Two\"/></control>"
            "</form>")));
        form = std::make_unique<SubmenuForm>(properties.get());
        one = std::make_unique<skinner::ControlButton>(form.get(), u"btnOne");
        two = std::make_unique<skinner::ControlButton>(form.get(), u"btnTwo");
    }
    void TearDown() override {
        one.reset();
        two.reset();
        form.reset();
    }
    std::unique_ptr<skinner::Properties> properties;
    std::unique_ptr<SubmenuForm> form;
    std::unique_ptr<skinner::ControlButton> one, two;
};

TEST_F(SoftKeyFormTest, TaggedSubmenusGiveTheirChildrenToTheKeyUntaggedOnesStayWhole) {
    auto const receiver = reinterpret_cast<std::uintptr_t>(static_cast<skinner::Control*>(one.get()));
    FakeItem tagged(u"sub", skinner::soft_key_tag_ok, true, receiver);
    FakeItem untagged(u"sub", u"", true, receiver);
    FakeItem plain(u"plain", u"");

    MenuItemInfo const left = skinner::build_soft_key({&tagged}, SoftKey::left, untranslated);
    EXPECT_EQ(left.text, u"T:sub") << "the key takes the submenu's text";
    EXPECT_EQ(commands_of(left), (std::vector<std::u16string>{u"first", u"second"}));
    EXPECT_EQ(left.children[0].id, receiver);
    EXPECT_EQ(left.children[1].id, 99u);

    MenuItemInfo const right = skinner::build_soft_key({&untagged, &plain}, SoftKey::right, untranslated);
    EXPECT_EQ(commands_of(right), (std::vector<std::u16string>{u"sub", u"plain"}));
    EXPECT_EQ(commands_of(right.children[0]), (std::vector<std::u16string>{u"first", u"second"}));
    EXPECT_EQ(right.children[0].children[0].id, receiver);
}

TEST_F(SoftKeyFormTest, ButtonsAreTheFormsMenuItemsWhileShownInZOrder) {
    skinner::ControlButtonImplMenu5Pocket item_one(one.get(), skinner::soft_key_tag_ok);
    skinner::ControlButtonImplMenu5Pocket item_two(two.get(), u"");
    EXPECT_EQ(MenuManager::get_items(form.get()), (std::vector<MenuManager::Item*>{&item_two, &item_one}));
    EXPECT_EQ(item_one.get_command_id(), 1000002);

    MenuItemInfo entry;
    one->set_enabled(false);
    item_one.make_menu_entry(entry);
    EXPECT_EQ(entry.command, u"btnOne");
    EXPECT_EQ(entry.text, u"One");
    EXPECT_EQ(entry.id, reinterpret_cast<std::uintptr_t>(static_cast<skinner::Control*>(one.get())));
    EXPECT_FALSE(entry.enabled);
    EXPECT_EQ(item_one.get_text(), skinner::soft_key_tag_ok);

    MenuManager::take_dirty(form.get());
    item_one.on_shown_changed(false);
    EXPECT_EQ(MenuManager::get_items(form.get()), (std::vector<MenuManager::Item*>{&item_two}));
    EXPECT_TRUE(MenuManager::take_dirty(form.get()));
    item_one.on_shown_changed(true);
    EXPECT_EQ(MenuManager::get_items(form.get()), (std::vector<MenuManager::Item*>{&item_two, &item_one}));
    MenuManager::take_dirty(form.get());
    item_two.set_text(u"Deux");
    EXPECT_TRUE(MenuManager::take_dirty(form.get())) << "a new text rebuilds the menus";
}

}  // namespace
