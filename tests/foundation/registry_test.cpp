#include "foundation/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/unicode.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using Names = std::vector<std::u16string>;

std::string narrow(const std::u16string& text) { return platform::utf16_to_utf8(text); }

bool key_exists(HKEY root, const char16_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Stores a value as it stands, whatever its type and size.
void set_raw(const char16_t* path, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(SplitRegistryPath, TakesTheRootByItsExactNameAndOneSeparator) {
    struct Case {
        std::u16string path;
        HKEY root;
        std::u16string subkey;
    };
    Case const cases[] = {
        {u"HKEY_CURRENT_USER\\Software\\XELO", HKEY_CURRENT_USER, u"Software\\XELO"},
        {u"HKEY_CLASSES_ROOT\\.mp3", HKEY_CLASSES_ROOT, u".mp3"},
        {u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix", HKEY_LOCAL_MACHINE, u"SOFTWARE\\APPS\\XELO Sonbrix"},
        {u"HKEY_USERS\\Default", HKEY_USERS, u"Default"},
        {u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT, u""},
        {u"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT, u""},
        {u"hkey_current_user\\Software\\XELO", nullptr, u""},
        {u"HKEY_CURRENT_CONFIG\\Software", nullptr, u""},
        {u"", nullptr, u""},
    };
    for (auto const& c : cases) {
        HKEY root = HKEY_USERS;
        EXPECT_EQ(os::split_registry_path(c.path, root), c.subkey) << narrow(c.path);
        EXPECT_EQ(root, c.root) << narrow(c.path);
    }
}

using RegistryAccess = DeviceTest;

TEST_F(RegistryAccess, EveryOperationFailsOnAPathThatNamesNoRoot) {
    for (std::u16string const path : {u"hkey_current_user\\Software\\XELO", u"HKEY_CURRENT_CONFIG\\Software"}) {
        EXPECT_FALSE(os::write_registry_string(path, u"Name", u"text")) << narrow(path);
        EXPECT_FALSE(os::write_registry_dword(path, u"Log", 1)) << narrow(path);
        std::u16string text = u"unchanged";
        EXPECT_FALSE(os::read_registry_string(path, u"Name", text)) << narrow(path);
        EXPECT_EQ(text, u"unchanged");
        DWORD number = 77;
        EXPECT_FALSE(os::read_registry_dword(path, u"Log", number)) << narrow(path);
        EXPECT_EQ(number, 77u);
        EXPECT_EQ(os::enum_registry_subkeys(path), Names{}) << narrow(path);
    }
    // HKEY_CURRENT_USER is left out: the log reads its switch under "Software\XELO" there.
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_USERS}) {
        EXPECT_FALSE(key_exists(root, u"Software"));
    }
    // A new device's machine root holds only the buttons under "SOFTWARE\Microsoft".
    EXPECT_EQ(os::enum_registry_subkeys(u"HKEY_LOCAL_MACHINE\\SOFTWARE"), Names{u"Microsoft"});
}

TEST_F(RegistryAccess, StringsAndNumbersReadBackAsWritten) {
    std::u16string const key = u"HKEY_CURRENT_USER\\Software\\XELO";
    for (std::u16string const& text : {std::u16string(), std::u16string(u"Default.skin"),
                                      std::u16string(u"\"\\Program Files\\Sonbrix\\Sonbrix.exe\" %1"),
                                      std::u16string(u"\u00e9t\u00e9 \U0001F3B5"), std::u16string(3000, u'x')}) {
        ASSERT_TRUE(os::write_registry_string(key, u"Text", text));
        std::u16string read;
        EXPECT_TRUE(os::read_registry_string(key, u"Text", read));
        EXPECT_EQ(read, text);
    }
    for (DWORD const number : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(os::write_registry_dword(key, u"Number", number));
        DWORD read = 12345;
        EXPECT_TRUE(os::read_registry_dword(key, u"Number", read));
        EXPECT_EQ(read, number);
    }
    // The default value of a key, as the file associations use it.
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CLASSES_ROOT\\.mp3", u"", u"mp3sound"));
    std::u16string type_class;
    EXPECT_TRUE(os::read_registry_string(u"HKEY_CLASSES_ROOT\\.mp3", u"", type_class));
    EXPECT_EQ(type_class, u"mp3sound");
}

TEST_F(RegistryAccess, WrittenValuesHaveTheirTypeAndSize) {
    ASSERT_TRUE(os::write_registry_string(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix", u"TodaySkin", u"abc"));
    ASSERT_TRUE(os::write_registry_dword(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix", u"Enabled", 1));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\APPS\\XELO Sonbrix", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"TodaySkin", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u);  // three characters and the terminator
    EXPECT_EQ(RegQueryValueExW(key, u"Enabled", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

TEST_F(RegistryAccess, ReadingUnderAMissingKeyCreatesTheKey) {
    DWORD number = 77;
    EXPECT_TRUE(os::read_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Log", number));
    EXPECT_EQ(number, 77u);
    EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, u"Software\\XELO"));

    std::u16string text = u"unchanged";
    EXPECT_FALSE(os::read_registry_string(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix", u"TodaySkin", text));
    EXPECT_EQ(text, u"unchanged");
    EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\APPS\\XELO Sonbrix"));
}

TEST_F(RegistryAccess, AStringReadTakesOnlyAStringValue) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        bool read;
        std::u16string text;
    };
    Case const cases[] = {
        {"a number", REG_DWORD, {1, 0, 0, 0}, false, u"unchanged"},
        {"an expandable text", REG_EXPAND_SZ, {'a', 0, 0, 0}, false, u"unchanged"},
        {"a text list", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}, false, u"unchanged"},
        {"a text without terminator", REG_SZ, {'H', 0, 'i', 0}, true, u"Hi"},
        {"a text with an inner terminator", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, true, u"a"},
        {"an empty value", REG_SZ, {}, true, u""},
        {"a one-byte value of any type", REG_BINARY, {'x'}, true, u""},
    };
    for (auto const& c : cases) {
        set_raw(u"Software\\XELO", u"Value", c.type, c.data);
        std::u16string text = u"unchanged";
        EXPECT_EQ(os::read_registry_string(u"HKEY_CURRENT_USER\\Software\\XELO", u"Value", text), c.read) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST_F(RegistryAccess, ANumberReadTakesOnlyAFourByteNumberAndStillSucceedsOtherwise) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
    };
    Case const cases[] = {
        {"a number of eight bytes", REG_DWORD, {1, 0, 0, 0, 2, 0, 0, 0}},
        {"a number of two bytes", REG_DWORD, {1, 0}},
        {"a number of one byte", REG_DWORD, {1}},
        {"four bytes of another type", REG_BINARY, {1, 0, 0, 0}},
        {"a text", REG_SZ, {'1', 0, 0, 0}},
    };
    for (auto const& c : cases) {
        set_raw(u"Software\\XELO", u"Log", c.type, c.data);
        DWORD number = 77;
        EXPECT_TRUE(os::read_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Log", number)) << c.what;
        EXPECT_EQ(number, 77u) << c.what;
    }
}

TEST_F(RegistryAccess, SubkeysAreListedInEnumerationOrder) {
    std::u16string const keys = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Keys";
    EXPECT_EQ(os::enum_registry_subkeys(keys), Names{});
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Test"));  // listing creates nothing

    for (auto const* name : {u"40C1", u"40C2", u"Wheel", u"40C5"}) {
        ASSERT_TRUE(os::write_registry_string(keys + u"\\" + name, u"Name", name));
    }
    EXPECT_EQ(os::enum_registry_subkeys(keys), (Names{u"40C1", u"40C2", u"Wheel", u"40C5"}));
    EXPECT_EQ(os::enum_registry_subkeys(keys + u"\\Wheel"), Names{});
}

}  // namespace
