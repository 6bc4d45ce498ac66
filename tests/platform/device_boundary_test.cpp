// The device's file system is a boundary: symbolic links planted inside it lead nowhere
// outside, and no two device names reach one host file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/file_attributes.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/find.h"
#include "platform/handles.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

class DeviceBoundary : public testing_support::DeviceTest {
protected:
    DeviceBoundary() {
        std::filesystem::create_directories(outside());
        write_host_file(outside() + "/secret.txt", "secret");
        write_host_file(device.host_path("in/a.txt"), "a");
        plant(outside(), "out");
        plant(outside() + "/secret.txt", "secret.txt");
        plant(outside() + "/missing.txt", "dangling.txt");
        plant(device.host_path("in"), "inside");
    }

    std::string outside() const { return device.folder() + "/outside"; }
    void plant(const std::string& target, const std::string& name) {
        ASSERT_EQ(symlink(target.c_str(), device.host_path(name).c_str()), 0);
    }

    static bool opens(const char16_t* path, DWORD access, DWORD creation) {
        HANDLE const file = CreateFileW(path, access, 0, nullptr, creation, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }
};

TEST_F(DeviceBoundary, NoFileOperationReachesOutsideThroughALink) {
    struct Case {
        const char* what;
        bool done;
    };
    Case const cases[] = {
        {"create in a linked folder", opens(u"\\out\\new.txt", GENERIC_WRITE, CREATE_ALWAYS)},
        {"create through a dangling link", opens(u"\\dangling.txt", GENERIC_WRITE, CREATE_ALWAYS)},
        {"read a linked file", opens(u"\\secret.txt", GENERIC_READ, OPEN_EXISTING)},
        {"read in a linked folder", opens(u"\\out\\secret.txt", GENERIC_READ, OPEN_EXISTING)},
        {"overwrite a linked file", opens(u"\\secret.txt", GENERIC_WRITE, TRUNCATE_EXISTING)},
        {"delete in a linked folder", DeleteFileW(u"\\out\\secret.txt") != FALSE},
        {"move out of a linked folder", MoveFileW(u"\\out\\secret.txt", u"\\in\\taken.txt") != FALSE},
        {"move into a linked folder", MoveFileW(u"\\in\\a.txt", u"\\out\\a.txt") != FALSE},
        {"copy out of a linked folder", CopyFileW(u"\\out\\secret.txt", u"\\in\\copy.txt", TRUE) != FALSE},
        {"copy into a linked folder", CopyFileW(u"\\in\\a.txt", u"\\out\\copy.txt", TRUE) != FALSE},
        {"make a folder in a linked folder", CreateDirectoryW(u"\\out\\made", nullptr) != FALSE},
        {"change attributes", SetFileAttributesW(u"\\out\\secret.txt", FILE_ATTRIBUTE_READONLY) != FALSE},
        {"read attributes", GetFileAttributesW(u"\\out\\secret.txt") != INVALID_FILE_ATTRIBUTES},
    };
    for (auto const& c : cases) {
        EXPECT_FALSE(c.done) << c.what;
    }
    EXPECT_EQ(read_host_file(outside() + "/secret.txt"), "secret");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside()), {}), 1) << "nothing made outside";
    EXPECT_FALSE(host_file_exists(device.host_path("in/taken.txt")));
    EXPECT_FALSE(host_file_exists(device.host_path("in/copy.txt")));
    EXPECT_EQ(read_host_file(device.host_path("in/a.txt")), "a");

    WIN32_FIND_DATAW data;
    EXPECT_EQ(FindFirstFileW(u"\\out\\*", &data), INVALID_HANDLE_VALUE) << "a search does not list the outside";
    EXPECT_EQ(platform::host_path(u"\\out\\secret.txt"), std::nullopt);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(DeviceBoundary, LinksThatStayInsideTheDeviceWork) {
    EXPECT_TRUE(opens(u"\\inside\\a.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_TRUE(opens(u"\\inside\\b.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_TRUE(host_file_exists(device.host_path("in/b.txt")));
    EXPECT_TRUE(MoveFileW(u"\\inside\\b.txt", u"\\inside\\c.txt"));
}

TEST_F(DeviceBoundary, ANameWithHalfASurrogatePairIsRefused) {
    std::u16string const lone_high = u"\\in\\x\xD800.txt";
    std::u16string const lone_low = u"\\in\\x\xDC00.txt";
    for (auto const& name : {lone_high, lone_low}) {
        EXPECT_FALSE(opens(name.c_str(), GENERIC_WRITE, CREATE_ALWAYS));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(device.host_path("in")), {}), 1);
    // A whole pair is a character like any other.
    EXPECT_TRUE(opens(u"\\in\\x\xD83D\xDE00.txt", GENERIC_WRITE, CREATE_ALWAYS));
}

}  // namespace
