// The device's buttons from the registry's list, held as hot keys while the form is active
// and turned into the form's commands when pressed.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "foundation/registry.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/hardware_keys.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

TEST(VirtualKeyFromKeyName, ReadsTheLastTwoCharactersAsHexadecimal) {
    struct Case {
        const char16_t* name;
        std::uint32_t expected;
    };
    Case const cases[] = {
        {u"40C1", 0xC1}, {u"40c5", 0xC5}, {u"C6", 0xC6}, {u"40zz", 0},  {u"40gC", 0x0C},
        {u"4", 0},       {u"", 0},        {u"0x7f", 0x7F}, {u"40C-", 0xC0},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(skinner::virtual_key_from_key_name(c.name), c.expected) << "case with key " << c.expected;
    }
}

class HardwareKeysTest : public FormTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        // The device lists "40C1" to "40C6" ("Button 1" ...); these come after them.
        add_button(u"3FFF", u"Low");
        add_button(u"40b0", u"Side");
        use_skin(form_xml("Keys", 200, 200, ""));
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Keys", log);
        SetForegroundWindow(form->get_window());
        keys = std::make_unique<skinner::HardwareKeys>(form.get());
        log.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.lpszClassName = u"HardwareKeysProbe";
        RegisterClassW(&window_class);
        probe = CreateWindowExW(0, u"HardwareKeysProbe", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }

    void TearDown() override {
        DestroyWindow(probe);
        keys.reset();
        form.reset();
    }

    static void add_button(const std::u16string& subkey, const std::u16string& name) {
        ASSERT_TRUE(os::write_registry_string(std::u16string(skinner::hardware_keys_registry_path) + u"\\" + subkey,
                                              u"Name", name));
    }

    // Whether some window holds the button: another window cannot take it then.
    bool held(UINT vk) {
        if (!RegisterHotKey(probe, 1, MOD_WIN, vk)) return true;
        UnregisterHotKey(probe, 1);
        return false;
    }

    void activate(bool active) { SendMessageW(form->get_window(), WM_ACTIVATE, active ? 1 : 0, 0); }

    std::unique_ptr<TestForm> form;
    std::unique_ptr<skinner::HardwareKeys> keys;
    HWND probe = nullptr;
};

TEST_F(HardwareKeysTest, ReadsTheButtonsSortedByKey) {
    auto const& entries = keys->get_keys();
    std::vector<std::uint32_t> found;
    for (auto const& entry : entries) found.push_back(entry.virtual_key);
    EXPECT_EQ(found, (std::vector<std::uint32_t>{0xB0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xFF}));
    EXPECT_EQ(entries.front().name, u"Side");
    EXPECT_EQ(entries[1].name, u"Button 1");
    EXPECT_EQ(entries.back().name, u"Low");
    EXPECT_TRUE(entries[1].action.empty());
    EXPECT_EQ(skinner::HardwareKeys::count_keys(), 8);
    EXPECT_FALSE(held(0xC1)) << "an unbound button is not taken";
}

TEST_F(HardwareKeysTest, BoundButtonsAreHeldWhileActiveAndReleasedOnDeactivationOnlyWhenAsked) {
    keys->set_key_action(1, u"play");
    keys->set_key_action(8, u"ignored");
    keys->set_key_action(-1, u"ignored");
    EXPECT_TRUE(held(0xC1));
    EXPECT_FALSE(held(0xC3));

    activate(false);
    EXPECT_TRUE(held(0xC1)) << "with the flag clear the button stays with the program";

    keys->set_unmap_when_inactive(true);
    activate(false);
    EXPECT_FALSE(held(0xC1));
    activate(true);
    EXPECT_TRUE(held(0xC1)) << "activation takes it again";

    keys->set_key_action(1, u"");
    EXPECT_FALSE(held(0xC1)) << "clearing the action releases the button";
}

TEST_F(HardwareKeysTest, APressedButtonBecomesItsCommand) {
    keys->set_key_action(1, u"play");
    keys->set_key_action(3, u"record");
    ASSERT_TRUE(screen.control().button(3));
    ASSERT_TRUE(screen.control().button(1));
    EXPECT_TRUE(pump_until([&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (Log{"command record", "command play"}));

    log.clear();
    SendMessageW(form->get_window(), WM_HOTKEY, 0xA0, static_cast<LPARAM>(0xA0u << 16 | MOD_WIN));
    EXPECT_TRUE(log.empty()) << "a key that is not in the list";
}

}  // namespace
}  // namespace form_test
