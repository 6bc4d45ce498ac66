#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/device.h"
#include "platform/shell.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;

TEST(SpecialFolders, EachKnownFolderHasItsDevicePath) {
    struct Case {
        int csidl;
        std::u16string path;
    };
    Case const cases[] = {
        {CSIDL_PERSONAL, u"\\My Documents"},
        {CSIDL_WINDOWS, u"\\Windows"},
        {CSIDL_STARTUP, u"\\Windows\\StartUp"},
        {CSIDL_STARTMENU, u"\\Windows\\Start Menu"},
        {CSIDL_PROGRAMS, u"\\Windows\\Start Menu\\Programs"},
        {CSIDL_PROGRAM_FILES, u"\\Program Files"},
    };
    for (auto const& c : cases) {
        LPITEMIDLIST list = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, c.csidl, &list), S_OK) << c.csidl;
        char16_t path[MAX_PATH];
        ASSERT_TRUE(SHGetPathFromIDList(list, path)) << c.csidl;
        EXPECT_EQ(std::u16string(path), c.path) << c.csidl;
    }
}

TEST(SpecialFolders, AnUnknownFolderIsRefused) {
    for (int const csidl : {0, 1, 3, 37, 39, -1}) {
        LPITEMIDLIST list = nullptr;
        EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, csidl, &list), E_INVALIDARG) << csidl;
        EXPECT_EQ(list, nullptr);
    }
    char16_t path[MAX_PATH];
    EXPECT_FALSE(SHGetPathFromIDList(nullptr, path));
}

class SpecialFolderLookup : public DeviceTest {};

TEST_F(SpecialFolderLookup, CreatesNothingOnTheDevice) {
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list), S_OK);
    char16_t path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDList(list, path));
    EXPECT_FALSE(std::filesystem::exists(device.fs()));
}

}  // namespace
