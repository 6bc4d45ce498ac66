#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <filesystem>
#include <string>

#include "foundation/file_info.h"
#include "platform/errors.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

mode_t permissions(const std::string& host_path) {
    struct stat status {};
    EXPECT_EQ(stat(host_path.c_str(), &status), 0);
    return status.st_mode & 0777;
}

class FileInfo : public DeviceTest {
protected:
    std::string host(const std::string& below_documents) const {
        return device.host_path("My Documents/" + below_documents);
    }
};

TEST_F(FileInfo, OfAMissingPath) {
    struct Case {
        std::u16string path;
        DWORD error;
    };
    Case const cases[] = {
        {u"%my_documents%\\missing.wav", ERROR_FILE_NOT_FOUND},
        {u"%my_documents%\\missing\\a.wav", ERROR_PATH_NOT_FOUND},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        os::FileInfo const info(c.path);
        EXPECT_EQ(info.get_attributes(), 0xFFFFFFFFu);
        EXPECT_FALSE(info.exists());
        EXPECT_FALSE(info.is_directory());
        EXPECT_FALSE(info.is_read_only());
        EXPECT_EQ(info.get_size(), 0u);
        EXPECT_EQ(info.get_creation_time().get_year(), 1601);
        EXPECT_EQ(info.get_last_write_time().get_count(), 0u);
        EXPECT_EQ(info.get_last_error(), c.error);
        EXPECT_EQ(info.get_path(), c.path);
    }
}

TEST_F(FileInfo, OfAFileAndOfAFolder) {
    write_host_file(host("a.wav"), "12345");
    // 2006-11-05 07:30:00 UTC.
    time_t const written = 1162711800;
    struct timespec const times[2] = {{written, 0}, {written, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, host("a.wav").c_str(), times, 0), 0);
    struct tm local {};
    localtime_r(&written, &local);

    os::FileInfo const file(u"%my_documents%\\A.WAV");
    EXPECT_TRUE(file.exists());
    EXPECT_FALSE(file.is_directory());
    EXPECT_FALSE(file.is_read_only());
    EXPECT_EQ(file.get_size(), 5u);
    EXPECT_EQ(file.get_last_write_time().get_year(), local.tm_year + 1900);
    EXPECT_EQ(file.get_last_write_time().get_day(), local.tm_mday);
    EXPECT_EQ(file.get_last_write_time().get_hour(), local.tm_hour);
    EXPECT_EQ(file.get_last_write_time().get_minute(), 30);
    EXPECT_EQ(file.get_last_error(), ERROR_SUCCESS);

    std::filesystem::create_directories(host("folder"));
    os::FileInfo const folder(u"%my_documents%\\folder\\");
    EXPECT_TRUE(folder.is_directory());
    EXPECT_EQ(folder.get_size(), 0u);
}

TEST_F(FileInfo, ReadOnlyIsSetAndClearedOnlyWhenItChanges) {
    write_host_file(host("a.wav"), "x");
    os::FileInfo info(u"%my_documents%\\a.wav");
    ASSERT_TRUE(info.set_read_only(true));
    EXPECT_TRUE(info.is_read_only());
    EXPECT_EQ(permissions(host("a.wav")) & 0222, 0u);
    EXPECT_TRUE(os::FileInfo(u"%my_documents%\\a.wav").is_read_only());

    ASSERT_TRUE(info.set_read_only(false));
    EXPECT_FALSE(info.is_read_only());
    EXPECT_NE(permissions(host("a.wav")) & 0200, 0u);

    // Already clear: no platform call, so a file gone meanwhile does not matter.
    std::filesystem::remove(host("a.wav"));
    EXPECT_TRUE(info.set_read_only(false));
    EXPECT_FALSE(info.set_read_only(true));
    EXPECT_EQ(info.get_last_error(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileInfo, ReadOnlyCannotBeSetOnAMissingEntry) {
    os::FileInfo info(u"%my_documents%\\missing.wav");
    EXPECT_FALSE(info.set_read_only(true));
    EXPECT_EQ(info.get_last_error(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(info.exists());
}

TEST_F(FileInfo, RemoveDeletesAFileOrAnEmptyFolder) {
    write_host_file(host("a.wav"), "x");
    write_host_file(host("full/b.wav"), "x");
    std::filesystem::create_directories(host("empty"));

    EXPECT_TRUE(os::FileInfo(u"%my_documents%\\a.wav").remove());
    EXPECT_FALSE(host_file_exists(host("a.wav")));
    EXPECT_TRUE(os::FileInfo(u"%my_documents%\\empty").remove());
    EXPECT_FALSE(host_file_exists(host("empty")));

    os::FileInfo full(u"%my_documents%\\full");
    EXPECT_FALSE(full.remove());
    EXPECT_EQ(full.get_last_error(), ERROR_DIR_NOT_EMPTY);

    os::FileInfo read_only(u"%my_documents%\\full\\b.wav");
    ASSERT_TRUE(read_only.set_read_only(true));
    EXPECT_FALSE(read_only.remove());
    EXPECT_EQ(read_only.get_last_error(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(host_file_exists(host("full/b.wav")));
}

TEST_F(FileInfo, MoveToFailsOntoAnExistingTargetAndKeepsThePath) {
    write_host_file(host("a.wav"), "a");
    write_host_file(host("b.wav"), "b");
    os::FileInfo info(u"%my_documents%\\a.wav");
    EXPECT_FALSE(info.move_to(u"%my_documents%\\b.wav"));
    EXPECT_EQ(info.get_last_error(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(read_host_file(host("b.wav")), "b");

    EXPECT_TRUE(info.move_to(u"%my_documents%\\c.wav"));
    EXPECT_EQ(read_host_file(host("c.wav")), "a");
    EXPECT_EQ(info.get_path(), u"%my_documents%\\a.wav");
}

TEST_F(FileInfo, CreateSubfolder) {
    std::filesystem::create_directories(host("folder"));
    os::FileInfo info(u"%my_documents%\\folder\\");
    EXPECT_TRUE(info.create_subfolder(u"New"));
    EXPECT_TRUE(std::filesystem::is_directory(host("folder/New")));
    EXPECT_FALSE(info.create_subfolder(u"new"));
    EXPECT_EQ(info.get_last_error(), ERROR_ALREADY_EXISTS);
}

}  // namespace
